// Where the program folder and the skin are: the build's self-contained folder, an installed tree, and
// the user's data folder that an installed program writes into.
#include "TempFolder.h"

#include "app/ProgramFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

mode_t PermissionsOf(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST(ProgramFolders, AWritableFolderWithTheSkinBesideTheExecutableStaysTheProgramFolder)
{
    TempFolder build, data;
    fs::create_directory(build.Path() + "skin");
    const ProgramFolders folders = ProgramFolders::Locate(build.Path(), data.Path() + "xdg", data.Path() + "home");
    EXPECT_FALSE(folders.IsInstalled());
    EXPECT_EQ(folders.ProgramDirectory(), build.Path());
    EXPECT_EQ(folders.SkinDirectory(), build.Path() + "skin/");
    EXPECT_TRUE(fs::is_empty(data.Path())) << "nothing is created in the user's data folder";
}

TEST(ProgramFolders, AnInstalledTreeWritesIntoThePrivateUserDataFolderAndReadsTheSharedSkin)
{
    TempFolder prefix, data;
    fs::create_directories(prefix.Path() + "usr/bin");
    fs::create_directories(prefix.Path() + "usr/share/kelvue/skin");
    // The executable's folder is writable here (as /usr/bin is for root): without a skin beside the
    // executable it is still an installed tree.
    const std::string xdg = data.Path() + "state/share";
    const ProgramFolders folders = ProgramFolders::Locate(prefix.Path() + "usr/bin", xdg, data.Path() + "home");
    EXPECT_TRUE(folders.IsInstalled());
    EXPECT_EQ(folders.ProgramDirectory(), xdg + "/kelvue/");
    EXPECT_EQ(folders.SkinDirectory(), prefix.Path() + "usr/share/kelvue/skin/");
    ASSERT_TRUE(fs::is_directory(folders.ProgramDirectory()));
    EXPECT_EQ(PermissionsOf(folders.ProgramDirectory()), 0700u);
    EXPECT_EQ(PermissionsOf(data.Path() + "state"), 0700u) << "missing levels are created private as well";
    EXPECT_FALSE(fs::exists(data.Path() + "home"));
    // The player library is looked for beside the executable, then in the package's private folder.
    EXPECT_EQ(ProgramFolders::LibraryDirectories(prefix.Path() + "usr/bin"),
              (std::vector<std::string>{prefix.Path() + "usr/bin/", prefix.Path() + "usr/lib/kelvue/"}));

    // The next start finds the folder with what the program wrote and keeps both as they are.
    WriteFile(folders.ProgramDirectory() + "config.ini", "[config]\nrevalarm=1\n");
    chmod(folders.ProgramDirectory().c_str(), 0750);
    const ProgramFolders again = ProgramFolders::Locate(prefix.Path() + "usr/bin/", xdg + "/", data.Path() + "home");
    EXPECT_EQ(again.ProgramDirectory(), xdg + "/kelvue/");
    EXPECT_EQ(ReadFile(again.ProgramDirectory() + "config.ini"), "[config]\nrevalarm=1\n");
    EXPECT_EQ(PermissionsOf(again.ProgramDirectory()), 0750u);
}

TEST(ProgramFolders, WithoutAnAbsoluteXdgDataHomeTheDataFolderIsUnderTheHomeFolder)
{
    TempFolder prefix, home;
    fs::create_directories(prefix.Path() + "bin");
    for (const std::string& xdg : {std::string(), std::string("relative/share")}) {
        const ProgramFolders folders = ProgramFolders::Locate(prefix.Path() + "bin", xdg, home.Path());
        EXPECT_EQ(folders.ProgramDirectory(), home.Path() + ".local/share/kelvue/") << "XDG_DATA_HOME=" << xdg;
        EXPECT_TRUE(fs::is_directory(folders.ProgramDirectory()));
    }
    EXPECT_EQ(PermissionsOf(home.Path() + ".local"), 0700u);
    EXPECT_FALSE(fs::exists("relative")) << "a relative XDG_DATA_HOME is ignored";
    EXPECT_EQ(ProgramFolders::UserDataDirectory("", ""), "");
}

}  // namespace
