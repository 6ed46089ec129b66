// The configuration file and capture folders of LocalConfig, and the remembered-accounts file.
#include "TempFolder.h"

#include "app/LocalConfig.h"
#include "app/RememberedAccounts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

class LocalConfigTest : public ::testing::Test {
protected:
    void SetUp() override { config_->InitAt(folder_.Path(), folder_.Path() + "kelvue"); }
    TempFolder folder_;
    LocalConfig* config_ = LocalConfig::Instance();
};

TEST_F(LocalConfigTest, FirstStartCreatesTheFileAndUsesDefaultFoldersUnderTheProgramFolder)
{
    const std::string& dir = folder_.Path();
    EXPECT_TRUE(std::filesystem::exists(dir + "config.ini"));
    EXPECT_FALSE(config_->IsReceiveAlarm());
    EXPECT_EQ(config_->GetExePath(), dir + "kelvue");
    struct Case {
        std::string (LocalConfig::*get)();
        std::string folder;
    } cases[] = {{&LocalConfig::GetVideoPath, dir + "REC/"},
                 {&LocalConfig::GetPicPath, dir + "Pic/"},
                 {&LocalConfig::GetReVideoPath, dir + "PlayBackRec/"},
                 {&LocalConfig::GetRePicPath, dir + "PlayBackPic/"}};
    LocalConfig* config = config_;  // UBSan's vptr check misreads a member pointer called on config_ itself
    for (const Case& c : cases) {
        EXPECT_EQ((config->*c.get)(), c.folder);
        EXPECT_TRUE(std::filesystem::is_directory(c.folder)) << c.folder;
    }
    ASSERT_TRUE(config_->SetVideoPath(dir + "mine"));
    EXPECT_EQ(config_->GetVideoPath(), dir + "mine/");  // stored without "/", returned with it
    EXPECT_TRUE(std::filesystem::is_directory(dir + "mine"));
}

TEST_F(LocalConfigTest, StoredSettingsAreReadBack)
{
    const std::string& dir = folder_.Path();
    WriteFile(dir + "config.ini", "[config]\nrevalarm=5\npicpath=\nrepicpath=" + dir + "snaps/\n");
    config_->InitAt(dir, dir + "kelvue");
    EXPECT_TRUE(config_->IsReceiveAlarm());         // any value but 0
    EXPECT_EQ(config_->GetPicPath(), dir + "Pic/");  // present but empty: the default folder
    EXPECT_EQ(config_->GetRePicPath(), dir + "snaps/");
    ASSERT_TRUE(config_->SetReceiveAlarm(true));
    EXPECT_NE(ReadFile(dir + "config.ini").find("revalarm=1"), std::string::npos);
    ASSERT_TRUE(config_->SetReceiveAlarm(false));
    EXPECT_FALSE(config_->IsReceiveAlarm());
}

TEST_F(LocalConfigTest, AFailedWriteChangesNothing)
{
    const std::string& dir = folder_.Path();
    std::string gone = dir + "gone/";
    std::filesystem::create_directory(gone);
    config_->InitAt(gone, gone + "kelvue");
    std::filesystem::remove_all(gone);
    EXPECT_FALSE(config_->SetReceiveAlarm(true));
    EXPECT_FALSE(config_->IsReceiveAlarm());
    EXPECT_FALSE(config_->SetPicPath("/x"));
}

class RememberedAccountsTest : public ::testing::Test {
protected:
    std::string Path() const { return folder_.Path() + "Vyr/LoginAccount.ini"; }
    TempFolder folder_;
};

TEST_F(RememberedAccountsTest, AccountsKeepTheirPlaceAndTakeTheLatestPassword)
{
    RememberedAccounts file(Path());
    ASSERT_TRUE(file.EnsureFolder());
    file.LoadRememberedAccounts();
    ASSERT_TRUE(file.SaveRememberedAccount("X", "px", true, false));
    ASSERT_TRUE(file.SaveRememberedAccount("Y", "py", false, true));
    ASSERT_TRUE(file.SaveRememberedAccount("X", "px2", true, true));

    RememberedAccounts again(Path());
    again.LoadRememberedAccounts();
    ASSERT_EQ(again.Accounts().size(), 2u);
    EXPECT_EQ(again.Accounts()[0].account, "X");
    EXPECT_EQ(again.Accounts()[0].password, "px2");
    EXPECT_EQ(again.Accounts()[1].account, "Y");
    EXPECT_EQ(again.Accounts()[1].password, "");  // remember-password was cleared
    EXPECT_TRUE(again.AutoLogin());
    IniFile raw(Path());
    EXPECT_EQ(raw.ReadInt("AccountCount", "AccountCount", 0), 2);
    struct stat info {};
    ASSERT_EQ(stat(Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// A changed password replaces only a remembered one; the automatic log-in switch stays as it was.
TEST_F(RememberedAccountsTest, APasswordChangeFollowsOnlyARememberedPassword)
{
    RememberedAccounts file(Path());
    ASSERT_TRUE(file.EnsureFolder());
    ASSERT_TRUE(file.SaveRememberedAccount("X", "px", true, false));
    ASSERT_TRUE(file.SaveRememberedAccount("Y", "py", false, true));
    ASSERT_TRUE(RememberedAccounts(Path()).FollowPasswordChange("X", "new-x"));
    ASSERT_TRUE(RememberedAccounts(Path()).FollowPasswordChange("Y", "new-y"));
    ASSERT_TRUE(RememberedAccounts(Path()).FollowPasswordChange("Z", "new-z"));

    RememberedAccounts again(Path());
    again.LoadRememberedAccounts();
    ASSERT_EQ(again.Accounts().size(), 2u);
    EXPECT_EQ(again.Accounts()[0].password, "new-x");
    EXPECT_EQ(again.Accounts()[1].password, "");
    EXPECT_TRUE(again.AutoLogin());
}

TEST_F(RememberedAccountsTest, LongValuesAreCutToTheirBuffersAndMissingKeysReadEmpty)
{
    RememberedAccounts file(Path());
    ASSERT_TRUE(file.EnsureFolder());
    WriteFile(Path(), "[AccountCount]\nAccountCount=2\n[AccountIndex]\naccount0=" + std::string(25, '1') +
                          "\n[PassIndex]\npass0=" + std::string(40, 'p') + "\n");
    file.LoadRememberedAccounts();
    ASSERT_EQ(file.Accounts().size(), 2u);
    EXPECT_EQ(file.Accounts()[0].account, std::string(19, '1'));
    EXPECT_EQ(file.Accounts()[0].password, std::string(29, 'p'));
    EXPECT_EQ(file.Accounts()[1].account, "");
}

// A damaged count once made start-up read the file again for every claimed entry, without end.
TEST_F(RememberedAccountsTest, ADamagedCountGivesOnlyTheEntriesTheFileHolds)
{
    RememberedAccounts file(Path());
    ASSERT_TRUE(file.EnsureFolder());
    const std::string entries = "[AccountIndex]\naccount0=X\naccount1=123456789012345678 9\n[PassIndex]\npass0=px\n";
    for (const char* count : {"20000", "100000000"}) {
        WriteFile(Path(), std::string("[AccountCount]\nAccountCount=") + count + "\n" + entries);
        file.LoadRememberedAccounts();
        ASSERT_EQ(file.Accounts().size(), 3u) << count;  // three keys: at most three entries
        EXPECT_EQ(file.Accounts()[0].password, "px");
        EXPECT_EQ(file.Accounts()[1].account, "123456789012345678");  // cut to 19 bytes, no blank left at its end
        EXPECT_EQ(file.Accounts()[2].account, "");
    }
    // What was read is written back and reads the same.
    ASSERT_TRUE(file.SaveRememberedAccount("X", "px", true, false));
    RememberedAccounts again(Path());
    again.LoadRememberedAccounts();
    ASSERT_EQ(again.Accounts().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(again.Accounts()[i].account, file.Accounts()[i].account);
        EXPECT_EQ(again.Accounts()[i].password, file.Accounts()[i].password);
    }
}

TEST_F(RememberedAccountsTest, UserSwitchFlag)
{
    RememberedAccounts file(Path());
    ASSERT_TRUE(file.EnsureFolder());
    EXPECT_FALSE(file.UserSwitched());
    EXPECT_FALSE(file.AutoLogin());
    ASSERT_TRUE(file.SetUserSwitched(true));
    EXPECT_TRUE(file.UserSwitched());
    ASSERT_TRUE(file.SetUserSwitched(false));
    EXPECT_FALSE(file.UserSwitched());
    EXPECT_NE(ReadFile(Path()).find("[windows]\nChange=false\n"), std::string::npos);
}

}  // namespace
