// The start-up steps that need no window: folders, the desktop launcher and the log files.
#include "TempFolder.h"

#include "app/StartupEnvironment.h"

#include <glog/logging.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(StartupEnvironment, DesktopLauncherIsWrittenAndRewrittenEachStart)
{
    TempFolder desktop;
    ASSERT_TRUE(StartupEnvironment::WriteDesktopLauncher(desktop.Path() + ".", "/opt/kelvue/kelvue", "/opt/kelvue/"));
    std::string first = ReadFile(desktop.Path() + "Kelvue.desktop");
    EXPECT_NE(first.find("Exec=\"/opt/kelvue/kelvue\"\n"), std::string::npos);
    EXPECT_NE(first.find("Path=/opt/kelvue/\n"), std::string::npos);
    // Installed: the launcher starts the installed program in the user's data folder.
    ASSERT_TRUE(StartupEnvironment::WriteDesktopLauncher(desktop.Path() + ".", "/usr/bin/kelvue", "/home/u/.local/share/kelvue/"));
    std::string installed = ReadFile(desktop.Path() + "Kelvue.desktop");
    EXPECT_NE(installed.find("Exec=\"/usr/bin/kelvue\"\n"), std::string::npos);
    EXPECT_NE(installed.find("Path=/home/u/.local/share/kelvue/\n"), std::string::npos);
    EXPECT_NE(installed.find("Icon=kelvue\n"), std::string::npos);
    EXPECT_FALSE(StartupEnvironment::WriteDesktopLauncher(desktop.Path() + "missing", "/x", "/"));
}

// Paths are the user's: a space, a quote, "$", "%", a backslash or a line break in them must reach the
// desktop as part of the path, never end the line or the argument.
TEST(StartupEnvironment, DesktopLauncherEscapesWhatThePathsHold)
{
    TempFolder desktop;
    ASSERT_TRUE(StartupEnvironment::WriteDesktopLauncher(desktop.Path() + ".", "/opt/my app/100%/a\"b$c\\d`e",
                                                         "/home/u/x\nExec=evil\\"));
    const std::string launcher = ReadFile(desktop.Path() + "Kelvue.desktop");
    EXPECT_NE(launcher.find("\nExec=\"/opt/my app/100%%/a\\\\\"b\\\\$c\\\\\\\\d\\\\`e\"\n"), std::string::npos) << launcher;
    EXPECT_NE(launcher.find("\nPath=/home/u/x\\nExec=evil\\\\\n"), std::string::npos) << launcher;
    EXPECT_EQ(launcher.find("\nExec=evil"), std::string::npos);

    // The desktop's own reader starts the program from such a folder (GLib's, when it is installed;
    // its check that the program exists does not take "%%", so the folder has none).
    if (std::system("command -v gio >/dev/null 2>&1") != 0)
        return;
    TempFolder folder;
    const std::string odd = folder.Path() + "my \"odd\" $dir\\`x/";
    ASSERT_TRUE(std::filesystem::create_directory(odd));
    WriteFile(odd + "kelvue", "#!/bin/sh\ntouch started\n");
    chmod((odd + "kelvue").c_str(), 0755);
    ASSERT_TRUE(StartupEnvironment::WriteDesktopLauncher(desktop.Path() + ".", odd + "kelvue", folder.Path()));
    ASSERT_EQ(0, std::system(("gio launch '" + desktop.Path() + "Kelvue.desktop' 2>&1").c_str()));
    for (int i = 0; i < 100 && !std::filesystem::exists(folder.Path() + "started"); ++i)
        usleep(20000);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() + "started"));
}

// The session bus is named only where libdbus would otherwise search for dbus-launch in vain, and
// named so that a bus daemon reads the same place from the address (a folder with a space and a "%").
TEST(StartupEnvironment, SessionBusIsNamedOnlyWhereNoneCouldBeFoundOrStarted)
{
    TempFolder programs;
    TempFolder runtime;
    const std::string folder = runtime.Path() + "run 100%";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string noLauncher = programs.Path() + "none:" + programs.Path() + "empty";
    const std::string address = StartupEnvironment::SessionBusFallback(nullptr, folder.c_str(), noLauncher);
    EXPECT_EQ("unix:path=" + runtime.Path() + "run%20100%25/bus", address);
    EXPECT_EQ(address, StartupEnvironment::SessionBusFallback("", folder.c_str(), noLauncher));

    EXPECT_EQ("", StartupEnvironment::SessionBusFallback("unix:path=/elsewhere", folder.c_str(), noLauncher));
    EXPECT_EQ("", StartupEnvironment::SessionBusFallback(nullptr, nullptr, noLauncher));
    EXPECT_EQ("", StartupEnvironment::SessionBusFallback(nullptr, "relative", noLauncher));
    // A dbus-launch anywhere along the folders can start a bus: libdbus is left to it.
    ASSERT_TRUE(std::filesystem::create_directory(programs.Path() + "bin"));
    WriteFile(programs.Path() + "bin/dbus-launch", "#!/bin/sh\n");
    chmod((programs.Path() + "bin/dbus-launch").c_str(), 0755);
    EXPECT_EQ("", StartupEnvironment::SessionBusFallback(nullptr, folder.c_str(), noLauncher + ":" + programs.Path() + "bin"));

    if (std::system("command -v dbus-daemon >/dev/null 2>&1") != 0)
        return;
    const std::string pidFile = runtime.Path() + "daemon.pid";
    ASSERT_EQ(0, std::system(("dbus-daemon --session --fork --nopidfile --print-pid=1 --address='" + address + "' > '" +
                              pidFile + "'").c_str()));
    const std::string pid = ReadFile(pidFile);
    const bool listening = std::filesystem::is_socket(folder + "/bus");
    const std::string withBus = StartupEnvironment::SessionBusFallback(nullptr, folder.c_str(), noLauncher);
    std::system(("kill " + pid).c_str());
    EXPECT_TRUE(listening) << "the daemon did not listen where the address points";
    EXPECT_EQ("", withBus);
}

TEST(StartupEnvironment, EnsureFolderCreatesOneLevelAndReusesAnExistingOne)
{
    TempFolder folder;
    EXPECT_TRUE(StartupEnvironment::EnsureFolder(folder.Path() + "GLogFiles/"));
    EXPECT_TRUE(StartupEnvironment::EnsureFolder(folder.Path() + "GLogFiles/"));
    EXPECT_FALSE(StartupEnvironment::EnsureFolder(folder.Path() + "a/b/"));
}

TEST(StartupEnvironment, LogFilesGoIntoGLogFilesUnderTheProgramFolderAndWarningsAreWrittenAtOnce)
{
    TempFolder folder;
    StartupEnvironment::StartLogging(folder.Path());
    LOG(INFO) << "start-up test line";
    google::FlushLogFiles(google::GLOG_INFO);
    std::string logs = folder.Path() + "GLogFiles/";
    ASSERT_TRUE(std::filesystem::is_directory(logs));
    bool found = false;
    for (const auto& entry : std::filesystem::directory_iterator(logs))
        found = found || ReadFile(entry.path()).find("start-up test line") != std::string::npos;
    EXPECT_TRUE(found);
    EXPECT_TRUE(std::filesystem::exists(logs + "mylog.INFO"));

    // Informational lines wait in the buffer; a warning takes them and itself to the file at once,
    // so a process that is killed next keeps them. FlushLog empties the buffer on the way out.
    LOG(INFO) << "line held in the buffer";
    const std::string held = ReadFile(logs + "mylog.INFO");
    EXPECT_EQ(held.find("line held in the buffer"), std::string::npos) << "informational lines are buffered";
    LOG(WARNING) << "warning line";
    const std::string warned = ReadFile(logs + "mylog.INFO");
    EXPECT_NE(warned.find("line held in the buffer"), std::string::npos);
    EXPECT_NE(warned.find("warning line\n"), std::string::npos);
    LOG(INFO) << "last line";
    StartupEnvironment::FlushLog();
    EXPECT_NE(ReadFile(logs + "mylog.INFO").find("last line\n"), std::string::npos);
}

}  // namespace
