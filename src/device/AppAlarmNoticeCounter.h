#pragma once

#include "device/AlarmNoticeCounter.h"

// The program's alarm notice counter: counting follows the "revalarm" setting of config.ini and the
// count is AlarmMgr's unseen count (reset when the alarm list is read). UI thread.
class AppAlarmNoticeCounter : public AlarmNoticeCounter {
public:
    bool NoticesWanted() override;
    int AddNotice() override;
};
