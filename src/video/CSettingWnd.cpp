#include "video/CSettingWnd.h"

#include "app/LocalConfig.h"
#include "ui/COptionUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/ShowMsgTip.h"

#include <QFileDialog>
#include <QStandardPaths>

namespace {

CSettingWnd::FolderChooser& Chooser()
{
    static CSettingWnd::FolderChooser chooser = [](QWidget* parent, const QString& title) {
        return QFileDialog::getExistingDirectory(parent, title,
                                                 QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
                                                 QFileDialog::ShowDirsOnly);
    };
    return chooser;
}

struct FolderButton {
    const char* button;
    const char* edit;
};
constexpr FolderButton kFolderButtons[] = {
    {"btn_pic", "et_picpath"},
    {"btn_video", "et_videopath"},
    {"btn_repic", "et_repicpath"},
    {"btn_revideo", "et_revidoepath"},
};

}  // namespace

void CSettingWnd::SetFolderChooser(FolderChooser chooser)
{
    Chooser() = std::move(chooser);
}

void CSettingWnd::ShowSettings(HWND owner)
{
    auto* settings = new CSettingWnd();
    settings->Create(owner, QString(), UI_WNDSTYLE_DIALOG, WS_EX_WINDOWEDGE);
    settings->CenterWindow();
    settings->ShowModal();
}

void CSettingWnd::InitWindow()
{
    tab_ = FindControl("tab_setting");
    receiveAlarm_ = dynamic_cast<COptionUI*>(FindControl("opt_revalarm"));
    ok_ = FindControl("ok");
    LocalConfig* config = LocalConfig::Instance();
    const std::pair<const char*, std::string> folders[] = {
        {"et_picpath", config->GetPicPath()},
        {"et_videopath", config->GetVideoPath()},
        {"et_repicpath", config->GetRePicPath()},
        {"et_revidoepath", config->GetReVideoPath()},
    };
    for (const auto& [edit, folder] : folders)
        if (CControlUI* control = FindControl(edit))
            control->SetText(QString::fromStdString(folder));
    if (ok_ != nullptr)
        ok_->SetEnabled(false);
    if (receiveAlarm_ != nullptr && config->IsReceiveAlarm())
        receiveAlarm_->Selected(true);
}

void CSettingWnd::ShowPage(int page)
{
    if (auto* tab = dynamic_cast<CTabLayoutUI*>(tab_))
        tab->SelectItem(page);
}

void CSettingWnd::ChooseFolder(const char* editName)
{
    const QString folder = Chooser()(GetWidget(), QString::fromUtf8("请选择一个存储目录："));
    if (folder.isEmpty())
        return;
    if (CControlUI* edit = FindControl(editName))
        edit->SetText(folder);
    if (ok_ != nullptr)
        ok_->SetEnabled(true);
}

bool CSettingWnd::Save()
{
    LocalConfig* config = LocalConfig::Instance();
    auto text = [this](const char* name) {
        CControlUI* control = FindControl(name);
        return control != nullptr ? control->GetText().toStdString() : std::string();
    };
    // Every setting is tried, in this order, even after one failed: those that can be written are.
    bool saved = config->SetPicPath(text("et_picpath"));
    saved = config->SetRePicPath(text("et_repicpath")) && saved;
    saved = config->SetVideoPath(text("et_videopath")) && saved;
    saved = config->SetReVideoPath(text("et_revidoepath")) && saved;
    saved = config->SetReceiveAlarm(receiveAlarm_ != nullptr && receiveAlarm_->IsSelected()) && saved;
    return saved;
}

void CSettingWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "click" && msg.pSender != nullptr) {
        const QString name = msg.pSender->GetName();
        if (name == "close" || name == "cancel") {
            Close(1);
            return;
        }
        if (name == "ok") {
            // A refused write (a read-only or unreadable config.ini) keeps the window open, so the
            // user knows the choices did not take and can cancel or try again.
            if (Save())
                Close(1);
            else
                ShowMsgTip(GetHWND(), QString::fromUtf8("设置保存失败，请检查配置文件config.ini是否可写"));
            return;
        }
        if (name == "opt_pathset")
            ShowPage(0);
        else if (name == "opt_alarmset")
            ShowPage(1);
        else if (name == "opt_revalarm" && ok_ != nullptr)
            ok_->SetEnabled(true);
        for (const FolderButton& folder : kFolderButtons)
            if (name == folder.button)
                ChooseFolder(folder.edit);
    }
    WindowImplBase::Notify(msg);
}

void CSettingWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}
