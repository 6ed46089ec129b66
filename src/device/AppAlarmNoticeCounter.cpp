#include "device/AppAlarmNoticeCounter.h"

#include "app/LocalConfig.h"
#include "service/AlarmMgr.h"

bool AppAlarmNoticeCounter::NoticesWanted()
{
    return LocalConfig::Instance()->IsReceiveAlarm();
}

int AppAlarmNoticeCounter::AddNotice()
{
    AlarmMgr::Instance()->AddUnseen();
    return AlarmMgr::Instance()->GetUnseen();
}
