// The alarm windows through the whole client against cloudsim and camsim: the unseen-alarm badge,
// the alarm query (pages, cameras outside the tree, pictures) and the alarm settings (arming and
// receivers as cloudsim stores them).

#include "ClientEndToEnd.h"

#include "app/LocalConfig.h"
#include "duiWrap/CAlarmQueryfWnd.h"
#include "duiWrap/CAlarmSettingWnd.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "service/AlarmMgr.h"
#include "ui/CCheckBoxUI.h"
#include "ui/CComboUI.h"
#include "ui/CDateTimeUI.h"
#include "ui/CListTextElementUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CTreeNodeUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/MenuCommand.h"
#include "ui/WindowMessages.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <json/json.h>

#include <QApplication>
#include <QDateTime>
#include <QTimer>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>

using namespace e2e;

namespace {

Json::Value CloudsimPost(const std::string& path, const std::string& body)
{
    httplib::Client cloud("127.0.0.1", 8000);
    auto reply = cloud.Post(path.c_str(), body, "application/json");
    Json::Value parsed;
    if (reply)
        Json::Reader().parse(reply->body, parsed);
    return parsed["result"];
}

// "warnStatus" of each camera as cloudsim stores it.
std::map<std::string, int> StoredArming()
{
    httplib::Client cloud("127.0.0.1", 8000);
    auto reply = cloud.Get("/sim/cameras");
    Json::Value parsed;
    std::map<std::string, int> arming;
    if (reply && Json::Reader().parse(reply->body, parsed))
        for (const Json::Value& camera : parsed["result"])
            arming[camera["deviceId"].asString()] = camera["warnStatus"].asInt();
    return arming;
}

// The receivers' switches of a camera as cloudsim stores them (warnSettingId -> warnStatus).
std::map<std::string, int> StoredReceivers(const std::string& deviceId)
{
    std::map<std::string, int> receivers;
    EXPECT_EQ(AlarmMgr::Instance()->ReqWarnSettings(deviceId), 0);
    std::vector<WarnSetting> settings;
    AlarmMgr::Instance()->GetWarnSettings(deviceId, settings);
    for (const WarnSetting& setting : settings)
        receivers[setting.warnSettingId] = setting.warnStatus;
    return receivers;
}

// Runs `inside` in the modal loop of the window of type W that `open` shows, then closes the window
// with `closeButton` (if it is still open) so that `open` returns.
template <typename W>
void InWindow(const std::function<void()>& open, const std::function<void(W&)>& inside, const char* closeButton)
{
    bool ran = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        W* window = uitest::ShownWindow<W>();
        if (!window || ran)
            return;
        ran = true;
        poll.stop();
        inside(*window);
        if (uitest::ShownWindow<W>() == window)
            uitest::Click(window->FindControl(QString::fromUtf8(closeButton)));
    });
    poll.start();
    open();
    EXPECT_TRUE(ran) << "the window did not open";
}

void InQueryWindow(const std::function<void(CAlarmQueryfWnd&)>& inside)
{
    InWindow<CAlarmQueryfWnd>([] { uitest::Click(ClientEndToEnd::Main()->FindControl(QStringLiteral("Query_VYR"))); },
                              inside, "IDC_AlarmQuery_CLOSE");
}

void InSettingWindow(const std::function<void(CAlarmSettingWnd&)>& inside)
{
    InWindow<CAlarmSettingWnd>(
        [] {
            // What the menu does when its item is chosen (the record is the window's to free).
            auto* command = new MenuCommand;
            std::strcpy(command->szName, "ID_ALARMCONTROL");
            ::SendMessage(ClientEndToEnd::Main()->GetHWND(), WM_MENU_COMMAND, reinterpret_cast<WPARAM>(command), 0);
        },
        inside, "IDC_BTN_CANCEL");
}

CListUI* AlarmList(CAlarmQueryfWnd& window)
{
    return uitest::Find<CListUI>(window, QStringLiteral("Alarmlist"));
}

std::vector<int> RowKeys(CListUI* list)
{
    std::vector<int> keys;
    for (int i = 0; i < list->GetCount(); ++i)
        keys.push_back(static_cast<int>(list->GetItemAt(i)->GetTag()));
    return keys;
}

QString Cell(CListUI* list, int row, int column)
{
    return static_cast<CListTextElementUI*>(list->GetItemAt(row))->GetText(column);
}

int RowOfKey(CListUI* list, int key)
{
    const std::vector<int> keys = RowKeys(list);
    const auto found = std::find(keys.begin(), keys.end(), key);
    return found == keys.end() ? -1 : static_cast<int>(found - keys.begin());
}

// The key of the listed alarm whose picture file is named by `fileId` (0 when none).
int KeyOfFile(CListUI* list, const std::string& fileId)
{
    for (int key : RowKeys(list)) {
        AlarmRecord alarm;
        if (AlarmMgr::Instance()->FindAlarm(key, alarm) && alarm.localPath.find(fileId) != std::string::npos)
            return key;
    }
    return 0;
}

}  // namespace

class AlarmsEndToEnd : public ClientEndToEnd {
public:
    static void SetUpTestSuite()
    {
        ClientEndToEnd::SetUpTestSuite();
        StartClient();
    }
};

TEST_F(AlarmsEndToEnd, BadgeCountsCameraAlarmsOnlyWhileReceivingAndOpeningTheQueryHidesIt)
{
    CControlUI* badge = Main()->FindControl(QStringLiteral("IDC_BTN_TOOLTIP_ALARM"));
    ASSERT_NE(badge, nullptr);
    const bool receiving = LocalConfig::Instance()->IsReceiveAlarm();

    LocalConfig::Instance()->SetReceiveAlarm(false);
    ASSERT_TRUE(CamsimPost("kv100101", "alarm"));
    uitest::Pump(1500);
    EXPECT_FALSE(badge->IsVisible());
    EXPECT_EQ(AlarmMgr::Instance()->GetUnseen(), 0);

    LocalConfig::Instance()->SetReceiveAlarm(true);
    ASSERT_TRUE(CamsimPost("kv100102", "alarm"));
    ASSERT_TRUE(CamsimPost("kv100105", "alarm?warnType=2"));
    EXPECT_TRUE(uitest::PumpUntil([&] { return badge->GetText() == "2"; }, 10000)) << badge->GetText().toStdString();
    EXPECT_TRUE(badge->IsVisible());
    EXPECT_TRUE(uitest::SaveScreenshot(*Main(), QString::fromStdString(ScreenshotDir() + "/alarm-badge.png")));

    uitest::MsgTipRecorder boxes;
    InQueryWindow([&](CAlarmQueryfWnd& window) {
        EXPECT_GT(AlarmList(window)->GetCount(), 0);
        uitest::Pump(100);  // the badge refresh the window posted
        EXPECT_FALSE(badge->IsVisible());
    });
    EXPECT_EQ(AlarmMgr::Instance()->GetUnseen(), 0);
    EXPECT_FALSE(badge->IsVisible());
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
    LocalConfig::Instance()->SetReceiveAlarm(receiving);
}

TEST_F(AlarmsEndToEnd, QueryPagesWithinTheTotalAndListsOnlyCamerasOfTheTree)
{
    // Two pages of today's motion alarms (the type the window opens with), whatever the demo drew.
    const std::string today = QDateTime::currentDateTimeUtc().date().toString("yyyy-MM-dd").toStdString();
    const Json::Value shown = CloudsimPost("/vyr-api/ws/api/reqCmd", R"({"cmd":39,"mobile":"13800138000","pn":0,"pageSize":20,"day":")" +
                                                                         today + R"(","hours":0,"warnType":1})");
    for (int total = shown["total"].asInt(); total < 24; ++total)
        ASSERT_TRUE(CloudsimPost("/sim/alarm", R"({"deviceId":"kv100102","warnType":1})").isObject());
    // An alarm of another account's camera that the service lists to this account too.
    const Json::Value stray =
        CloudsimPost("/sim/alarm/staged", R"({"deviceId":"kv100301","warnType":1,"listedTo":"13800138000"})");
    ASSERT_TRUE(stray.isObject()) << "cloudsim did not stage the alarm";
    uitest::MsgTipRecorder boxes;
    InQueryWindow([&](CAlarmQueryfWnd& window) {
        CListUI* list = AlarmList(window);
        const QDate today = QDateTime::currentDateTimeUtc().date();
        EXPECT_EQ(window.Day(), today.toString("yyyy-MM-dd").toStdString());
        EXPECT_EQ(uitest::Find<CControlUI>(window, "IDC_EDIT_Type")->GetText(), QStringLiteral("账号查询"));
        EXPECT_EQ(uitest::Find<CControlUI>(window, "IDC_EDIT_Value")->GetText(), QString(kAccount));
        ASSERT_EQ(AlarmMgr::Instance()->GetTotalPage(), 2);

        // The service sent 20 alarms, the stray one among them: it is not listed and the positions
        // go on without it.
        std::vector<AlarmRecord> page;
        AlarmMgr::Instance()->GetAlarms(page);
        ASSERT_EQ(page.size(), 20u);
        EXPECT_TRUE(std::any_of(page.begin(), page.end(), [](const AlarmRecord& a) { return a.deviceId == "kv100301"; }));
        ASSERT_EQ(list->GetCount(), 19);
        for (int row = 0; row < list->GetCount(); ++row) {
            EXPECT_EQ(Cell(list, row, 0), QString::number(row + 1));
            EXPECT_NE(Cell(list, row, 2), QStringLiteral("收银台"));
        }
        EXPECT_EQ(Cell(list, 0, 3), QStringLiteral("移动侦测报警"));

        // Paging stops at both ends: nothing is queried again (a query would give new keys).
        const std::vector<int> first = RowKeys(list);
        uitest::Click(window.FindControl("IDC_BTN_UP"));
        EXPECT_EQ(window.Page(), 0);
        EXPECT_EQ(RowKeys(list), first);
        uitest::Click(window.FindControl("IDC_BTN_DOWN"));
        EXPECT_EQ(window.Page(), 1);
        EXPECT_EQ(uitest::Find<CControlUI>(window, "IDC_EDIT_PAGENUM")->GetText(), "1");
        const std::vector<int> second = RowKeys(list);
        EXPECT_FALSE(second.empty());
        EXPECT_LT(second.size(), 20u);
        uitest::Click(window.FindControl("IDC_BTN_DOWN"));
        EXPECT_EQ(window.Page(), 1);
        EXPECT_EQ(RowKeys(list), second);
        uitest::Click(window.FindControl("IDC_BTN_UP"));
        EXPECT_EQ(window.Page(), 0);
        EXPECT_EQ(list->GetCount(), 19);

        // A query the service refuses says why and keeps the page it had.
        const std::vector<int> shownKeys = RowKeys(list);
        uitest::Type(window.FindControl("IDC_EDIT_HOUR"), "25");
        uitest::Click(window.FindControl("IDC_BTN_SELECT"));
        EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("小时应在0到23之间（0表示查询全天）")});
        EXPECT_EQ(RowKeys(list), shownKeys);
        boxes.texts.clear();
        uitest::Find<CControlUI>(window, "IDC_EDIT_HOUR")->SetText(QString());

        // Yesterday's external alarms, chosen with the day picker and the type.
        const QDate yesterday = today.addDays(-1);
        SYSTEMTIME day;
        day.wYear = static_cast<WORD>(yesterday.year());
        day.wMonth = static_cast<WORD>(yesterday.month());
        day.wDay = static_cast<WORD>(yesterday.day());
        uitest::Find<CDateTimeUI>(window, "conDate_AlarmQuery")->SetTime(&day);
        uitest::ChooseComboItem(uitest::Find<CComboUI>(window, "IDC_COMBO_ALARMTYPE"), 1);
        uitest::Click(window.FindControl("IDC_BTN_SELECT"));
        EXPECT_EQ(window.Day(), yesterday.toString("yyyy-MM-dd").toStdString());
        EXPECT_EQ(window.Page(), 0);
        for (int row = 0; row < list->GetCount(); ++row) {
            EXPECT_TRUE(Cell(list, row, 4).startsWith(yesterday.toString("yyyy-MM-dd"))) << row;
            EXPECT_EQ(Cell(list, row, 3), QStringLiteral("外部报警"));
        }
    });
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
}

TEST_F(AlarmsEndToEnd, SelectedAlarmShowsItsPictureOnceDownloadedAndAFailedOneShowsNone)
{
    const Json::Value broken =
        CloudsimPost("/sim/alarm/staged", R"({"deviceId":"kv100103","warnType":1,"brokenPicture":true})");
    ASSERT_TRUE(broken.isObject()) << "cloudsim did not stage the alarm";
    uitest::MsgTipRecorder boxes;
    InQueryWindow([&](CAlarmQueryfWnd& window) {
        CListUI* list = AlarmList(window);
        ASSERT_GE(list->GetCount(), 3);
        const int brokenRow = RowOfKey(list, KeyOfFile(list, broken["fileId"].asString()));
        ASSERT_GE(brokenRow, 0);

        // A picture that is not there yet: none at first, then the downloaded one.
        const int row = brokenRow == 1 ? 2 : 1;
        AlarmRecord alarm;
        ASSERT_TRUE(AlarmMgr::Instance()->FindAlarm(static_cast<int>(list->GetItemAt(row)->GetTag()), alarm));
        ASSERT_TRUE(uitest::PumpUntil([&] { return std::filesystem::exists(alarm.localPath); }, 10000));
        std::filesystem::remove(alarm.localPath);
        uitest::ClickRow(list, row);
        EXPECT_EQ(window.SelectedKey(), alarm.key);
        EXPECT_TRUE(window.ShownPicture().isEmpty());
        EXPECT_TRUE(uitest::PumpUntil([&] { return window.ShownPicture() == QString::fromStdString(alarm.localPath); }, 10000));
        EXPECT_TRUE(std::filesystem::exists(alarm.localPath));
        const QString details = uitest::Find<CControlUI>(window, "IDC_EDIT_SHOWALARMMSG")->GetText();
        EXPECT_TRUE(details.startsWith(QStringLiteral("第0页/第%1条\n\n结点/摄像机:  %2/%3").arg(row).arg(Cell(list, row, 1), Cell(list, row, 2))))
            << details.toStdString();
        EXPECT_TRUE(details.endsWith(QStringLiteral("报警内容: ") + Cell(list, row, 3))) << details.toStdString();
        uitest::Pump(200);
        EXPECT_TRUE(uitest::SaveScreenshot(window, QString::fromStdString(ScreenshotDir() + "/alarm-query.png")));

        // The picture that fails: the row shows without one, and no message box says so.
        uitest::ClickRow(list, brokenRow);
        uitest::Pump(1500);
        EXPECT_TRUE(window.ShownPicture().isEmpty());
        EXPECT_TRUE(uitest::Find<CControlUI>(window, "IDC_EDIT_SHOWALARMMSG")->GetText().endsWith(QStringLiteral("移动侦测报警")));
        AlarmRecord failed;
        ASSERT_TRUE(AlarmMgr::Instance()->FindAlarm(window.SelectedKey(), failed));
        EXPECT_FALSE(std::filesystem::exists(failed.localPath));

        // The thumbnail view and back.
        uitest::Click(window.FindControl("ThumbnailModule"));
        EXPECT_EQ(uitest::Find<CTabLayoutUI>(window, "switch_AlarmQuery")->GetCurSel(), 1);
        uitest::Click(window.FindControl("ListModule"));
        EXPECT_EQ(uitest::Find<CTabLayoutUI>(window, "switch_AlarmQuery")->GetCurSel(), 0);
    });
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
}

TEST_F(AlarmsEndToEnd, SettingsArmWhatIsTickedAndSwitchReceiversOfOneCameraOnly)
{
    const std::map<std::string, int> armingBefore = StoredArming();
    ASSERT_EQ(armingBefore.at("kv100103"), 0);
    ASSERT_EQ(armingBefore.at("kv100101"), 1);
    const std::map<std::string, int> receiversBefore = StoredReceivers("kv100103");
    ASSERT_EQ(receiversBefore.size(), 3u);

    uitest::MsgTipRecorder boxes;
    InSettingWindow([&](CAlarmSettingWnd& window) {
        auto* tree = uitest::Find<CTreeViewUI>(window, "movenode_tree");
        auto* receivers = uitest::Find<CListUI>(window, "IDC_LIST");
        auto* armSwitch = uitest::Find<CCheckBoxUI>(window, "IDC_AlarmSwitch");
        ASSERT_TRUE(tree && receivers && armSwitch);
        ASSERT_EQ(tree->GetCount(), 1);
        EXPECT_EQ(tree->GetItemAt(0)->GetText(), QString(kAccount));
        CTreeNodeUI* office = window.ItemOf("kv100103", true);
        CTreeNodeUI* gate = window.ItemOf("kv100101", true);
        ASSERT_TRUE(office && gate);
        EXPECT_EQ(office->GetItemText(), QStringLiteral("{x 4}{i gameicons.png 18 4}{x 7}开放办公区"));
        EXPECT_EQ(office->GetTag(), 2u);
        EXPECT_EQ(office->GetParentNode()->GetUserData(), QString::fromStdString("2003"));

        // Nothing ticked: says what to do and changes nothing.
        uitest::Click(window.FindControl("IDC_BTN_OK"));
        EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("请完成相关配置")});
        EXPECT_EQ(StoredArming(), armingBefore);

        // One camera: its receivers, ticked as the service has them; arm it and switch one receiver off.
        uitest::ClickNodeCheck(tree, office);
        EXPECT_EQ(window.CheckedCameras(), std::vector<std::string>{"kv100103"});
        ASSERT_EQ(receivers->GetCount(), 3);
        EXPECT_FALSE(armSwitch->GetCheck());
        std::string switchedOff;
        for (int i = 0; i < receivers->GetCount(); ++i) {
            auto* row = static_cast<CListTextElementUI*>(receivers->GetItemAt(i));
            const std::string id = row->GetUserData().toStdString();
            EXPECT_EQ(row->GetCheck(), receiversBefore.at(id) != 0) << id;
            if (row->GetCheck() && switchedOff.empty()) {
                switchedOff = id;
                uitest::ClickRowCheck(receivers, i);
                EXPECT_FALSE(row->GetCheck());
            }
        }
        ASSERT_FALSE(switchedOff.empty());
        EXPECT_EQ(Cell(receivers, 0, 1), QString(kAccount));
        EXPECT_EQ(Cell(receivers, 0, 2), QStringLiteral("pc"));
        uitest::Click(armSwitch);
        EXPECT_TRUE(armSwitch->GetCheck());
        uitest::Pump(100);
        EXPECT_TRUE(uitest::SaveScreenshot(window, QString::fromStdString(ScreenshotDir() + "/alarm-settings.png")));
        boxes.texts.clear();
        uitest::Click(window.FindControl("IDC_BTN_OK"));
        EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("设置成功")});
        EXPECT_EQ(StoredArming().at("kv100103"), 1);
        std::map<std::string, int> expected = receiversBefore;
        expected[switchedOff] = 0;
        const std::map<std::string, int> receiversArmed = StoredReceivers("kv100103");
        EXPECT_EQ(receiversArmed, expected);

        // Two cameras: no receivers shown or sent, whatever was shown before; both disarmed.
        uitest::ClickNodeCheck(tree, gate);
        EXPECT_EQ(window.CheckedCameras(), (std::vector<std::string>{"kv100101", "kv100103"}));
        EXPECT_EQ(receivers->GetCount(), 0);
        EXPECT_FALSE(armSwitch->GetCheck());
        boxes.texts.clear();
        uitest::Click(window.FindControl("IDC_BTN_OK"));
        EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("设置成功")});
        const std::map<std::string, int> armingAfter = StoredArming();
        EXPECT_EQ(armingAfter.at("kv100103"), 0);
        EXPECT_EQ(armingAfter.at("kv100101"), 0);
        EXPECT_EQ(StoredReceivers("kv100103"), receiversArmed);
    });
    // The window released itself when it was closed.
    EXPECT_EQ(uitest::ShownWindow<CAlarmSettingWnd>(), nullptr);
}
