#pragma once

// The unseen-alarm count fed by the cameras' cmd 82 notices, and the local switch that turns counting
// on or off. The program's implementation sits on LocalConfig ("revalarm") and AlarmMgr.
class AlarmNoticeCounter {
public:
    virtual ~AlarmNoticeCounter() = default;
    virtual bool NoticesWanted() = 0;
    // Counts one notice; returns the new unseen count.
    virtual int AddNotice() = 0;
};
