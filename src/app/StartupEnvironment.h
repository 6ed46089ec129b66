#pragma once

#include <string>

// The start-up steps that need no window, in the order main() runs them before the log-in window:
// LocalConfig bound to the program folder (the executable's own folder, or the user's data folder when
// installed: see ProgramFolders), the program folder made the working directory (where "temp.txt" and
// "log.xml" live) and logging into "GLogFiles/"; once the log-in window shows, the desktop launcher
// rewritten. Every failure here is silent: the program starts anyway. Runs once, on the main thread.
class StartupEnvironment {
public:
    // Before anything else (it sets the environment, so no other thread may run yet): where no session
    // bus is named and none listens at its usual place, libdbus would have dbus-launch start one, and
    // looks for that program along the PATH even where it is not installed. The accessibility bridge
    // asks for the bus as the log-in window sets its first text, and the window waits for that search
    // (some 10 ms). Where no dbus-launch exists the search cannot succeed, so the bus is named at its
    // usual place instead: asking for it then fails at once, or finds a bus started there later.
    static void NameSessionBus();
    // The address NameSessionBus sets: "unix:path=<runtimeFolder>/bus" (escaped as bus addresses are),
    // or empty when `address` names a bus already, `runtimeFolder` is not an absolute folder, something
    // exists at "<runtimeFolder>/bus", or dbus-launch is found in `programFolders` (as PATH is written).
    static std::string SessionBusFallback(const char* address, const char* runtimeFolder,
                                          const std::string& programFolders);
    // All of the above for the running program. The log files are always named "mylog", whatever
    // `argv0` says; it is taken so that main() hands over what it has.
    static void Prepare(const char* argv0);
    // Rewrites the desktop launcher of the running program (after Prepare) on a thread of its own:
    // asking for the desktop folder starts two programs (a shell and xdg-user-dir).
    static void RefreshDesktopLauncher();

    // Creates one folder level when missing; false when it does not exist afterwards.
    static bool EnsureFolder(const std::string& folder);
    // Starts glog once per process: informational files "<folder>GLogFiles/mylog..." under `programFolder`.
    // Informational lines are buffered; a warning or error is written at once, with them.
    static void StartLogging(const std::string& programFolder);
    // Writes the buffered log lines to the files (before the process ends).
    static void FlushLog();
    // The user's desktop folder: `xdg-user-dir DESKTOP`, else $HOME/Desktop; empty when neither is known.
    static std::string DesktopFolder();
    // Writes "<desktopFolder>/Kelvue.desktop" launching `exePath` in `programFolder` (the executable's
    // folder, or the user's data folder of an installed program), replacing an older one.
    static bool WriteDesktopLauncher(const std::string& desktopFolder, const std::string& exePath,
                                     const std::string& programFolder);
};
