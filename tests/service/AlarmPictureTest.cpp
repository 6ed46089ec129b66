// The alarm picture thread: downloads into "tmp/", tells the requesting window, refuses unsafe names.
#include "FakeService.h"
#include "PrivateWorkDir.h"

#include "service/AlarmMgr.h"
#include "ui/MessageTarget.h"
#include "ui/WindowMessages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fstream>
#include <map>
#include <sstream>

namespace {

class PictureWindow : public MessageTarget {
public:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        results[static_cast<int>(wParam)] = message;
        return 0;
    }
    std::map<int, UINT> results;
};

bool PumpUntil(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

class AlarmPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "alarm_picture_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr)
            new QCoreApplication(argc, argv);
    }

    // Queries one page whose rows name the given picture files, all served from /pic/<fileId>.
    std::vector<AlarmRecord> Query(const std::vector<std::string>& fileIds)
    {
        std::string rows;
        for (const std::string& id : fileIds)
            rows += (rows.empty() ? "" : ",") + std::string("{\"deviceId\":\"cam1\",\"deviceAlias\":\"门口\",\"warnType\":1,") +
                    "\"fileId\":\"" + id + "\",\"imgUrl\":\"" + service_.Url("/pic/" + id) + "\",\"createTime\":\"2026-01-05 10:00:00\"}";
        service_.SetReply("{\"code\":0,\"result\":{\"totalPage\":3,\"rows\":[" + rows + "]}}");
        EXPECT_EQ(AlarmMgr::Instance()->ReqAlarmList("2026-01-05", 0, 1, 1), 0);
        std::vector<AlarmRecord> alarms;
        AlarmMgr::Instance()->GetAlarms(alarms);
        return alarms;
    }

    void SetUp() override { ASSERT_EQ(LogInThrough(service_), 0); }

    FakeService service_;
};

TEST_F(AlarmPictures, DownloadsIntoTheProgramsPictureFolderAndTellsTheWindow)
{
    service_.ServeFile("/pic/p1", "JPEG-1");
    std::vector<AlarmRecord> alarms = Query({"p1", "absent"});
    ASSERT_EQ(alarms.size(), 2u);
    EXPECT_EQ(alarms[0].localPath, PrivateWorkDir::Folder() + "tmp/p1.jpeg");
    EXPECT_EQ(alarms[0].deviceAlias, "门口");
    EXPECT_EQ(AlarmMgr::Instance()->GetTotalPage(), 3);
    PictureWindow window;
    for (const AlarmRecord& alarm : alarms)
        AlarmMgr::Instance()->RequestPicture(alarm.key, window.GetHWND());
    ASSERT_TRUE(PumpUntil([&] { return window.results.size() == 2; }));
    EXPECT_EQ(window.results[alarms[0].key], WM_ALARM_PICTURE_READY);
    EXPECT_EQ(window.results[alarms[1].key], WM_ALARM_PICTURE_FAILED);
    EXPECT_EQ(ReadFile(alarms[0].localPath), "JPEG-1");
    EXPECT_NE(access(alarms[1].localPath.c_str(), F_OK), 0);
}

TEST_F(AlarmPictures, APictureAlreadyOnDiskIsNotFetchedAgain)
{
    service_.ServeFile("/pic/p2", "JPEG-2");
    std::vector<AlarmRecord> first = Query({"p2"});
    PictureWindow window;
    AlarmMgr::Instance()->RequestPicture(first[0].key, window.GetHWND());
    ASSERT_TRUE(PumpUntil([&] { return window.results.count(first[0].key) == 1; }));
    int fetches = service_.GetCount("/pic/p2");
    std::vector<AlarmRecord> second = Query({"p2"});
    EXPECT_NE(second[0].key, first[0].key);  // the same alarm read twice gets two keys
    AlarmMgr::Instance()->RequestPicture(second[0].key, window.GetHWND());
    ASSERT_TRUE(PumpUntil([&] { return window.results.count(second[0].key) == 1; }));
    EXPECT_EQ(window.results[second[0].key], WM_ALARM_PICTURE_READY);
    EXPECT_EQ(service_.GetCount("/pic/p2"), fetches);
}

TEST_F(AlarmPictures, AFileIdThatIsNotAPlainNameIsRefused)
{
    service_.ServeFile("/pic/..", "EVIL");
    std::vector<AlarmRecord> alarms = Query({"../escape", "..", "a\\\\b", ""});
    PictureWindow window;
    for (const AlarmRecord& alarm : alarms) {
        EXPECT_EQ(alarm.localPath, "");
        AlarmMgr::Instance()->RequestPicture(alarm.key, window.GetHWND());
    }
    ASSERT_TRUE(PumpUntil([&] { return window.results.size() == alarms.size(); }));
    for (const auto& result : window.results)
        EXPECT_EQ(result.second, WM_ALARM_PICTURE_FAILED);
    EXPECT_NE(access((PrivateWorkDir::Folder() + "escape.jpeg").c_str(), F_OK), 0);
}

TEST_F(AlarmPictures, RecordsWithoutAFileIdGetOnePictureFileEachFromTheirAddress)
{
    service_.ServeFile("/pic/a", "JPEG-A");
    service_.ServeFile("/pic/b", "JPEG-B");
    service_.SetReply("{\"code\":0,\"result\":{\"totalPage\":1,\"rows\":[{\"deviceId\":\"cam1\",\"imgUrl\":\"" +
                      service_.Url("/pic/a") + "\"},{\"deviceId\":\"cam1\",\"imgUrl\":\"" + service_.Url("/pic/b") + "\"}]}}");
    ASSERT_EQ(AlarmMgr::Instance()->ReqAlarmList("2026-01-05", 0, 0, 1), 0);
    std::vector<AlarmRecord> alarms;
    AlarmMgr::Instance()->GetAlarms(alarms);
    ASSERT_EQ(alarms.size(), 2u);
    EXPECT_EQ(alarms[0].localPath.rfind(PrivateWorkDir::Folder() + "tmp/", 0), 0u);
    EXPECT_NE(alarms[0].localPath, alarms[1].localPath);
    PictureWindow window;
    for (const AlarmRecord& alarm : alarms)
        AlarmMgr::Instance()->RequestPicture(alarm.key, window.GetHWND());
    ASSERT_TRUE(PumpUntil([&] { return window.results.size() == 2; }));
    EXPECT_EQ(window.results[alarms[0].key], WM_ALARM_PICTURE_READY);
    EXPECT_EQ(window.results[alarms[1].key], WM_ALARM_PICTURE_READY);
    EXPECT_EQ(ReadFile(alarms[0].localPath), "JPEG-A");
    EXPECT_EQ(ReadFile(alarms[1].localPath), "JPEG-B");
}

TEST_F(AlarmPictures, UnseenCountRisesAndReadingTheListResetsItEvenAfterAFailedQuery)
{
    AlarmMgr* alarms = AlarmMgr::Instance();
    std::vector<AlarmRecord> list;
    alarms->GetAlarms(list);
    alarms->AddUnseen();
    alarms->AddUnseen();
    EXPECT_EQ(alarms->GetUnseen(), 2);
    service_.SetReply(R"({"code":1,"msg":"err"})");
    EXPECT_EQ(alarms->ReqAlarmList("2026-01-05", 0, 1, 1), -1);
    alarms->GetAlarms(list);
    EXPECT_EQ(alarms->GetUnseen(), 0);
}

TEST_F(AlarmPictures, EmptyPageEmptiesTheList)
{
    Query({"p3"});
    service_.SetReply(R"({"code":0,"result":{"totalPage":0,"rows":[]}})");
    ASSERT_EQ(AlarmMgr::Instance()->ReqAlarmList("2026-01-05", 0, 1, 1), 0);
    std::vector<AlarmRecord> list{AlarmRecord{}};
    AlarmMgr::Instance()->GetAlarms(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(AlarmMgr::Instance()->GetTotalPage(), 0);
}

}  // namespace
