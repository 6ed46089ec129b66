// The sub-account manager against a service that writes a sub-account's validity day in its own way
// (a stand-in service on loopback): the day is read at its "-" separators, so what follows the day
// does not turn it into today, and a save without changes sends the day the service holds.
#include "UiTestKit.h"

#include "app/LocalConfig.h"
#include "duiWrap/CChildAccountMgrWnd.h"
#include "service/FakeService.h"
#include "ui/CComboUI.h"
#include "ui/CDateTimeUI.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QTimer>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class SubAccountExpiry : public ::testing::Test {
protected:
    void SetUp() override
    {
        uitest::EnsureApp();
        dir_ = fs::temp_directory_path().string() + "/kelvue-expiry-" + std::to_string(::getpid()) + "/";
        fs::create_directories(dir_);
        LocalConfig::Instance()->InitAt(dir_, dir_ + "kelvue");
        service_.UseAsService();
    }
    void TearDown() override { fs::remove_all(dir_); }

    // One sub-account "S1" whose detail carries `expireTime`, one role; every other request succeeds empty.
    void Serve(const std::string& expireTime)
    {
        service_.SetHandler([expireTime](const FakeService::Request& request) -> std::string {
            if (request.path == "api/getClientChildAcount.htdy")
                return R"({"code":0,"result":[{"clientInfoId":"S1","mobile":"13600000001","name":"值班"}]})";
            if (request.body.find("\"cmd\":22") != std::string::npos)
                return R"({"code":0,"result":{"maxLoginCount":2,"password":"pw123456","clientRoleId":"R1","expireTime":")" +
                       expireTime + R"(","watchTime":"00:00:00-23:59:59","result":[]}})";
            if (request.path == "api/getClientRoleList.htdy")
                return R"({"code":0,"result":[{"clientRoleId":"R1","clientRoleName":"值班员"}]})";
            return R"({"code":0,"result":[]})";
        });
    }

    // Opens the window, shows "S1" and saves it unchanged; returns the day the picker showed and
    // the body of the modification sent.
    void ShowAndSave(QDate& shown, std::string& sent)
    {
        // The window's requests run posted events while it is built: wait until it is shown.
        QTimer poll;
        int polls = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            CChildAccountMgrWnd* window = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* found = dynamic_cast<CChildAccountMgrWnd*>(CWindowWnd::FromWidget(top)); found && top->isVisible())
                    window = found;
            if (window == nullptr) {
                if (++polls == 200) {
                    ADD_FAILURE() << "no sub-account window";
                    PostQuitMessage(0);
                }
                return;
            }
            poll.stop();
            uitest::ChooseComboItem(uitest::Find<CComboUI>(*window, QStringLiteral("IDC_COMBO_SUBUSERLIST")), 1);
            const SYSTEMTIME& day = uitest::Find<CDateTimeUI>(*window, QStringLiteral("dt_expiretime"))->GetTime();
            shown = QDate(day.wYear, day.wMonth, day.wDay);
            uitest::Click(window->FindControl(QStringLiteral("IDC_BTN_SAVEUSER")));
            for (const FakeService::Request& request : service_.Requests())
                if (request.body.find("\"cmd\":21") != std::string::npos)
                    sent = request.body;
            uitest::Click(window->FindControl(QStringLiteral("IDC_BTN_CLOSE")));
        });
        poll.start(20);
        CChildAccountMgrWnd::Show(nullptr);
    }

    std::string dir_;
    FakeService service_;
    uitest::MsgTipRecorder boxes_;
};

TEST_F(SubAccountExpiry, DayIsReadAtItsSeparatorsWhateverFollowsIt)
{
    for (const char* written : {"2030-12-31", "2030-12-31 23:59:59", "2030-12-31T00:00:00"}) {
        Serve(written);
        QDate shown;
        std::string sent;
        ShowAndSave(shown, sent);
        EXPECT_EQ(shown.toString(Qt::ISODate), QStringLiteral("2030-12-31")) << written;
        EXPECT_NE(sent.find("\"expireTime\":\"2030-12-31\""), std::string::npos) << written << ": " << sent;
    }
    EXPECT_EQ(boxes_.texts, QStringList(3, QStringLiteral("修改成功！")));
}

TEST_F(SubAccountExpiry, NoDayOrNotADayShowsToday)
{
    for (const char* written : {"", "2030-2-30", "never"}) {
        Serve(written);
        QDate shown;
        std::string sent;
        ShowAndSave(shown, sent);
        EXPECT_EQ(shown.toString(Qt::ISODate), QDate::currentDate().toString(Qt::ISODate)) << written;
    }
}

}  // namespace
