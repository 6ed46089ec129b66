#pragma once

#include "app/IniFile.h"
#include "base/Sigleton.h"
#include "ui/WinDef.h"

#include <atomic>
#include <mutex>
#include <string>

// Where the program lives and writes, and the few flags the windows share. Process-wide, created on
// first use and never destroyed.
// Threads: Init runs once at start-up before any other thread exists; the folders, paths and configFile_
// are then read and written on the UI thread. The flags are atomics and currentCameraText_ is guarded by
// textMutex_, so a worker may read them too.
class LocalConfig {
public:
    static LocalConfig* Instance() { return base::Sigleton<LocalConfig>::Instance(); }

    // Binds to the program folder of the running program (/proc/self/exe): its own folder, or the
    // user's data folder when it is installed (ProgramFolders has the rule).
    void Init();
    // Binds to another program folder (ending in "/") and program file: start-up of tests and tools.
    void InitAt(const std::string& programDirectory, const std::string& exePath);

    // The program folder, always ending in "/": where every file of the program is written.
    std::string ProgramDirectory() const { return programDirectory_; }
    // The skin folder the layouts are read from, ending in "/" (by default "skin/" in the program folder).
    std::string SkinDirectory() const { return skinDirectory_; }
    // Folder of the running program file (/proc/self/exe) with a trailing "/".
    static std::string ExecutableDirectory();

    // Capture folders: the stored folder, or the default one under the program folder when the key is
    // absent or empty; created (one level) when missing; always ending in "/".
    std::string GetVideoPath();
    std::string GetPicPath();
    std::string GetReVideoPath();
    std::string GetRePicPath();
    // Store the folder unchanged; false when the file cannot be written.
    bool SetVideoPath(const std::string& folder);
    bool SetPicPath(const std::string& folder);
    bool SetReVideoPath(const std::string& folder);
    bool SetRePicPath(const std::string& folder);

    bool IsReceiveAlarm() const { return receiveAlarm_; }
    // Stores "revalarm" as 1 or 0; the flag changes only when the write succeeded.
    bool SetReceiveAlarm(bool receive);

    std::string GetExePath() const { return exePath_; }
    std::string GetConfigFilePath() const { return configFilePath_; }
    bool IsScreenLocked() const { return screenLocked_; }
    void SetScreenLocked(bool locked) { screenLocked_ = locked; }
    HWND GetVideoWallWindow() const { return videoWallWindow_; }
    void SetVideoWallWindow(HWND window) { videoWallWindow_ = window; }
    std::string GetCurrentCameraText() const;
    void SetCurrentCameraText(const std::string& text);

private:
    friend class base::Sigleton<LocalConfig>;
    LocalConfig() = default;

    std::string FolderSetting(const char* key, const std::string& defaultFolder);

    std::string programDirectory_;
    std::string skinDirectory_;
    std::string recordDir_;
    std::string picDir_;
    std::string replayRecDir_;
    std::string replayPicDir_;
    std::atomic<bool> screenLocked_{false};
    std::atomic<HWND> videoWallWindow_{nullptr};
    std::string exePath_;
    std::string configFilePath_;
    std::atomic<bool> receiveAlarm_{false};
    IniFile configFile_;
    mutable std::mutex textMutex_;
    std::string currentCameraText_;
};
