#pragma once

#include <string>

// The start-up steps that need no window, in the order main() runs them before the log-in window:
// LocalConfig bound to the program folder (the executable's own folder, or the user's data folder when
// installed: see ProgramFolders), the program folder made the working directory (where "temp.txt" and
// "log.xml" live) and logging into "GLogFiles/"; once the log-in window shows, the desktop launcher
// rewritten. Every failure here is silent: the program starts anyway. Runs once, on the main thread.
class StartupEnvironment {
public:
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
