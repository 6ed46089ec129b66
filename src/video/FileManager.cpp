#include "video/FileManager.h"

#include <glog/logging.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

constexpr int kShowItemsTimeoutMs = 5000;

void OpenFolder(const QString& folder)
{
    if (!QProcess::startDetached("xdg-open", {folder}))
        LOG(WARNING) << "cannot start xdg-open for " << folder.toStdString();
}

void ShowInFileManager(const std::string& filePath)
{
    const QString file = QFileInfo(QString::fromStdString(filePath)).absoluteFilePath();
    const QString folder = QFileInfo(file).absolutePath();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        OpenFolder(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    call << QStringList{QUrl::fromLocalFile(file).toString()} << QString();
    // Asynchronous: starting a file manager may take a while, and the window keeps drawing.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kShowItemsTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [folder](QDBusPendingCallWatcher* done) {
        if (done->isError())
            OpenFolder(folder);
        done->deleteLater();
    });
}

std::function<void(const std::string&)>& Launcher()
{
    static std::function<void(const std::string&)> launcher = ShowInFileManager;
    return launcher;
}

}  // namespace

void FileManager::Reveal(const std::string& filePath)
{
    Launcher()(filePath);
}

void FileManager::SetLauncher(std::function<void(const std::string&)> launcher)
{
    Launcher() = std::move(launcher);
}
