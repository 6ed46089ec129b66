#include "app/LocalConfig.h"

#include "app/ProgramFolders.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kSection[] = "config";

std::string ReadExePath()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

std::string LocalConfig::ExecutableDirectory()
{
    std::string exe = ReadExePath();
    std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

void LocalConfig::Init()
{
    const ProgramFolders folders = ProgramFolders::ForExecutable(ExecutableDirectory());
    InitAt(folders.ProgramDirectory(), ReadExePath());
    skinDirectory_ = folders.SkinDirectory();
}

void LocalConfig::InitAt(const std::string& programDirectory, const std::string& exePath)
{
    SetCurrentCameraText("");
    programDirectory_ = programDirectory;
    if (programDirectory_.empty() || programDirectory_.back() != '/')
        programDirectory_ += '/';
    skinDirectory_ = programDirectory_ + "skin/";
    recordDir_ = programDirectory_ + "REC/";
    picDir_ = programDirectory_ + "Pic/";
    replayRecDir_ = programDirectory_ + "PlayBackRec/";
    replayPicDir_ = programDirectory_ + "PlayBackPic/";
    exePath_ = exePath;
    configFilePath_ = programDirectory_ + "config.ini";
    configFile_.Bind(configFilePath_);
    if (access(configFilePath_.c_str(), F_OK) == 0) {
        receiveAlarm_ = configFile_.ReadInt(kSection, "revalarm", 0) != 0;
        return;
    }
    if (FILE* created = std::fopen(configFilePath_.c_str(), "w"))
        std::fclose(created);
    receiveAlarm_ = false;
}

std::string LocalConfig::FolderSetting(const char* key, const std::string& defaultFolder)
{
    // A key present with an empty value delivers nothing, so `folder` keeps the default.
    std::string folder = defaultFolder;
    configFile_.ReadString(kSection, key, defaultFolder, folder);
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0)
        mkdir(folder.c_str(), 0755);  // one level; a failure shows when a capture is written
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string LocalConfig::GetVideoPath() { return FolderSetting("videopath", recordDir_); }
std::string LocalConfig::GetPicPath() { return FolderSetting("picpath", picDir_); }
std::string LocalConfig::GetReVideoPath() { return FolderSetting("revideopath", replayRecDir_); }
std::string LocalConfig::GetRePicPath() { return FolderSetting("repicpath", replayPicDir_); }

bool LocalConfig::SetVideoPath(const std::string& folder) { return configFile_.WriteString(kSection, "videopath", folder); }
bool LocalConfig::SetPicPath(const std::string& folder) { return configFile_.WriteString(kSection, "picpath", folder); }
bool LocalConfig::SetReVideoPath(const std::string& folder) { return configFile_.WriteString(kSection, "revideopath", folder); }
bool LocalConfig::SetRePicPath(const std::string& folder) { return configFile_.WriteString(kSection, "repicpath", folder); }

bool LocalConfig::SetReceiveAlarm(bool receive)
{
    if (!configFile_.WriteInt(kSection, "revalarm", receive ? 1 : 0))
        return false;
    receiveAlarm_ = receive;
    return true;
}

std::string LocalConfig::GetCurrentCameraText() const
{
    std::lock_guard<std::mutex> lock(textMutex_);
    return currentCameraText_;
}

void LocalConfig::SetCurrentCameraText(const std::string& text)
{
    std::lock_guard<std::mutex> lock(textMutex_);
    currentCameraText_ = text;
}
