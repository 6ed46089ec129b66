#include "FakeMessenger.h"
#include "RecordingView.h"

#include "app/LocalConfig.h"
#include "device/AppAlarmNoticeCounter.h"
#include "device/CamParamMgr.h"
#include "device/DeviceReplyRouter.h"
#include "device/StreamRequestMgr.h"
#include "service/AlarmMgr.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cstdlib>
#include <filesystem>

// cmd 82 notices counted by the program's counter: the "revalarm" setting and AlarmMgr's unseen count.
TEST(AppAlarmNoticeCounter, CountsIntoAlarmMgrOnlyWhileTheSettingIsOn)
{
    static int argc = 1;
    static char name[] = "device_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        new QCoreApplication(argc, argv);
    char pattern[] = "/tmp/kelvue-alarmcount-XXXXXX";
    const std::string folder = std::string(::mkdtemp(pattern)) + "/";
    LocalConfig::Instance()->InitAt(folder, folder + "kelvue");

    FakeMessenger im;
    CamParamMgr params(im);
    StreamRequestMgr streams(params);
    RecordingView view;
    AppAlarmNoticeCounter counter;
    DeviceReplyRouter router(im, params, streams, counter, view);

    const int before = AlarmMgr::Instance()->GetUnseen();
    ASSERT_TRUE(LocalConfig::Instance()->SetReceiveAlarm(false));
    router.OnDeviceReply("c1", R"({"cmd":82,"warnType":1})");
    EXPECT_EQ(before, AlarmMgr::Instance()->GetUnseen());
    ASSERT_TRUE(LocalConfig::Instance()->SetReceiveAlarm(true));
    router.OnDeviceReply("c1", R"({"cmd":82,"warnType":1})");
    EXPECT_EQ(before + 1, AlarmMgr::Instance()->GetUnseen());
    EXPECT_EQ((std::vector<std::string>{"alarms " + std::to_string(before + 1)}), view.Take());
    std::filesystem::remove_all(folder);
}
