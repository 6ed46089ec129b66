#include "video/WallViews.h"

#include "ui/ShowMsgTip.h"
#include "video/CvyrProDlg.h"
#include "video/SavedViewsPanel.h"

#include <glog/logging.h>

#include <QLayout>
#include <QTimer>

WallViews::WallViews(Setup setup)
    : setup_(std::move(setup)), views_(setup_.filePath), mainPlacer_(*setup_.mainWall, setup_.addresses)
{
}

WallViews::~WallViews() = default;

void WallViews::Load()
{
    if (views_.Load() == SavedViews::LoadResult::Corrupt) {
        const QString text =
            views_.AsidePath().empty()
                ? QStringLiteral("保存的视图文件无法读取，现在没有保存的视图（该文件不会被覆盖，新的视图无法保存）：") +
                      QString::fromStdString(views_.Path())
                : QStringLiteral("保存的视图文件已损坏，已另存为 ") + QString::fromStdString(views_.AsidePath()) +
                      QStringLiteral("，现在没有保存的视图");
        QTimer::singleShot(0, [owner = setup_.mainWindow, text] { ShowMsgTip(owner, text); });
    }
    RefreshPanel();
}

void WallViews::RestoreAtLogin()
{
    if (loginRestoreDone_)
        return;
    loginRestoreDone_ = true;
    if (views_.RestoreAtLogin() && !views_.LastView().empty() && views_.Find(views_.LastView()) != nullptr)
        Restore(views_.LastView());
}

bool WallViews::Save(const std::string& name)
{
    if (name.empty()) {
        Tell(QStringLiteral("请输入视图名称"));
        return false;
    }
    views_.Put(mainPlacer_.Capture(name));
    views_.SetLastView(name);
    const bool stored = Store();
    RefreshPanel();
    return stored;
}

bool WallViews::Restore(const std::string& name)
{
    const SavedView* view = views_.Find(name);
    if (view == nullptr)
        return false;
    const SavedView applicable = Applicable(*view);
    mainPlacer_.Restore(applicable);
    RecordWatched(applicable);
    if (views_.LastView() != name) {
        views_.SetLastView(name);
        Store();
    }
    return true;
}

ViewWindow* WallViews::OpenInWindow(const std::string& name)
{
    const SavedView* view = views_.Find(name);
    if (view == nullptr)
        return nullptr;
    ViewWindow* window = nullptr;
    for (const auto& candidate : windows_)
        if (!candidate->IsOpen()) {
            window = candidate.get();
            break;
        }
    if (window == nullptr) {
        windows_.push_back(std::make_unique<ViewWindow>(setup_.addresses, setup_.mainWindow, setup_.openPlayback));
        window = windows_.back().get();
        window->Wall()->SetNodeMembership(setup_.mainWall->GetNodeMembership());
    }
    const SavedView applicable = Applicable(*view);
    window->ShowView(applicable);
    RecordWatched(applicable);
    return window;
}

void WallViews::RecordWatched(const SavedView& view) const
{
    if (setup_.recordWatched)
        for (const auto& [cell, camera] : view.cameras)
            setup_.recordWatched(camera);
}

bool WallViews::Remove(const std::string& name)
{
    if (!views_.Remove(name))
        return false;
    const bool stored = Store();
    RefreshPanel();
    return stored;
}

bool WallViews::SetRestoreAtLogin(bool restore)
{
    views_.SetRestoreAtLogin(restore);
    return Store();
}

SavedView WallViews::Applicable(const SavedView& view) const
{
    if (!setup_.hasCamera)
        return view;
    std::vector<std::string> gone;
    SavedView kept = view.KeepCamerasOf(setup_.hasCamera, &gone);
    if (!gone.empty()) {
        QString list;
        for (const std::string& camera : gone)
            list += (list.isEmpty() ? "" : "、") + QString::fromStdString(camera);
        LOG(INFO) << "view " << view.name << ": " << gone.size() << " cameras are gone, their cells stay empty";
        // After the restore: the cells should already be placed when the box shows.
        QTimer::singleShot(0, [owner = setup_.mainWindow, list] {
            ShowMsgTip(owner, QStringLiteral("以下摄像头已不在本账号中，其画面留空：") + list);
        });
    }
    return kept;
}

bool WallViews::Store()
{
    if (views_.Save())
        return true;
    Tell(QStringLiteral("视图保存失败，无法写入 ") + QString::fromStdString(views_.Path()));
    return false;
}

void WallViews::AttachPanel(QWidget* chooser)
{
    if (chooser == nullptr || (panel_ != nullptr && panel_->window() == chooser))
        return;
    // Beside the layouts where the skin has room for it ("viewshost"), else below them.
    QWidget* host = chooser->findChild<QWidget*>(QStringLiteral("viewshost"));
    if (host == nullptr || host->layout() == nullptr)
        host = chooser;
    if (host->layout() == nullptr)
        return;
    SavedViewsPanel::Actions actions;
    actions.save = [this](const std::string& name) { Save(name); };
    actions.restore = [this](const std::string& name) { Restore(name); };
    actions.openInWindow = [this](const std::string& name) { OpenInWindow(name); };
    actions.remove = [this](const std::string& name) { Remove(name); };
    actions.setRestoreAtLogin = [this](bool restore) { SetRestoreAtLogin(restore); };
    panel_ = new SavedViewsPanel(host, std::move(actions));
    host->layout()->addWidget(panel_);
    RefreshPanel();
}

void WallViews::RefreshPanel()
{
    if (panel_ != nullptr)
        panel_->Show(views_.Views(), views_.RestoreAtLogin());
}

void WallViews::Tell(const QString& text) const
{
    ShowMsgTip(setup_.mainWindow, text);
}

void WallViews::OfferAddress(const std::string& deviceId, const std::string& url)
{
    for (const auto& window : windows_)
        window->Wall()->OfferAddress(deviceId, url);
}

void WallViews::SuspendCamera(const std::string& deviceId)
{
    for (const auto& window : windows_)
        window->Wall()->SuspendCamera(deviceId);
}

void WallViews::ResumeCamera(const std::string& deviceId)
{
    for (const auto& window : windows_)
        window->Wall()->ResumeCamera(deviceId);
}

void WallViews::StopAll()
{
    for (ViewWindow* window : OpenWindows())
        window->Wall()->StopAll();
}

void WallViews::StopNode(const std::string& nodeId)
{
    for (ViewWindow* window : OpenWindows())
        window->Wall()->StopNode(nodeId);
}

std::vector<ViewWindow*> WallViews::OpenWindows() const
{
    std::vector<ViewWindow*> open;
    for (const auto& window : windows_)
        if (window->IsOpen())
            open.push_back(window.get());
    return open;
}
