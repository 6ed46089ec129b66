#include "video/FileManager.h"

#include <glog/logging.h>

#include <QFileInfo>
#include <QProcess>

namespace {

std::function<void(const std::string&)>& Launcher()
{
    static std::function<void(const std::string&)> launcher = [](const std::string& folder) {
        if (!QProcess::startDetached("xdg-open", {QString::fromStdString(folder)}))
            LOG(WARNING) << "cannot start xdg-open for " << folder;
    };
    return launcher;
}

}  // namespace

void FileManager::Reveal(const std::string& filePath)
{
    Launcher()(QFileInfo(QString::fromStdString(filePath)).absolutePath().toStdString());
}

void FileManager::SetLauncher(std::function<void(const std::string&)> launcher)
{
    Launcher() = std::move(launcher);
}
