#include "video/CCPlayToolBarWnd.h"

#include "app/LocalConfig.h"
#include "app/UserSession.h"
#include "ui/CContainerUI.h"
#include "ui/COptionUI.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CRatioSwicthWnd.h"
#include "video/CvyrProDlg.h"
#include "video/PlayerManager.h"

#include <QWidget>

#include <algorithm>

const char* const CCPlayToolBarWnd::kMoreHint = "  ( 滑动鼠标显示更多功能 )";

namespace {

struct ButtonSpec {
    const char* name;
    const char* label;
};
constexpr ButtonSpec kButtons[] = {
    {"btn_play", "播放"},       {"btn_record", "录制"},     {"btn_audiotoggle", "语音开关"},
    {"btn_snapshot", "截图"},   {"btn_speek", "对讲"},      {"btn_fullscreen", "全屏"},
    {"btn_bitrateswitch", ""},  {"btn_playback", "回放"},
};

// Buttons a sub-account sees only with the right.
struct GuardedButton {
    const char* name;
    const char* right;
};
constexpr GuardedButton kGuarded[] = {
    {"btn_playback", "2016031505"},
    {"btn_bitrateswitch", "2016031509"},
    {"btn_snapshot", "2016031506"},
    {"btn_record", "2016031508"},
};

struct QualityIcon {
    int width;
    const char* file;
    const char* tooltip;
};
constexpr QualityIcon kQualityIcons[] = {
    {320, "Toolbar/gj_ico_9.png", "流畅"},
    {640, "Toolbar/gj_ico_10.png", "均衡"},
    {1280, "Toolbar/gj_ico_11.png", "高清"},
};

CCPlayToolBarWnd::Rights& RightsInForce()
{
    static CCPlayToolBarWnd::Rights rights{
        [] { return UserSession::Instance()->IsSonAccount(); },
        [](const std::string& id) { return UserSession::Instance()->HasRight(id); },
    };
    return rights;
}

QString Piece(const char* file, const char* source)
{
    return QString("file='%1' source='%2' dest='0,0,22,22'").arg(file, source);
}

}  // namespace

void CCPlayToolBarWnd::SetRights(Rights rights)
{
    RightsInForce() = std::move(rights);
}

CCPlayToolBarWnd::Rights CCPlayToolBarWnd::CurrentRights()
{
    return RightsInForce();
}

CCPlayToolBarWnd::CCPlayToolBarWnd(CPlayInnerWnd* cell, int playerId) : cell_(cell), playerId_(playerId)
{
    Create(cell->GetHWND(), "CCPlayToolBarWnd", WS_CHILD, 0);
    ShowWindow(false, false);  // a child Qt would otherwise show with its cell
    target_ = cell->GetHWND();
}

COptionUI* CCPlayToolBarWnd::Option(const char* name) const
{
    return dynamic_cast<COptionUI*>(FindControl(name));
}

void CCPlayToolBarWnd::InitWindow()
{
    for (const ButtonSpec& button : kButtons) {
        buttonNames_.emplace_back(button.name);
        buttonLabels_.emplace_back(QString::fromUtf8(button.label));
    }
    const Rights& rights = cell_->Panel()->Wall()->ToolbarRights();
    if (rights.isSubAccount && rights.isSubAccount()) {
        for (const GuardedButton& guarded : kGuarded)
            if (CControlUI* button = FindControl(guarded.name))
                button->SetVisible(rights.hasRight && rights.hasRight(guarded.right));
    }
    buttonsWidth_ = 0;
    for (const QString& name : buttonNames_)
        if (CControlUI* button = FindControl(name); button != nullptr && button->IsVisible())
            buttonsWidth_ += button->GetFixedWidth();
    EnableButtons(false);
}

bool CCPlayToolBarWnd::IsShown() const
{
    return GetWidget() != nullptr && GetWidget()->isVisible();
}

void CCPlayToolBarWnd::ShowToolbar(bool show)
{
    QWidget* bar = GetWidget();
    if (bar == nullptr || !PlaceAlongBottom())
        return;
    UpdateTooltips(bar->width());
    bar->setVisible(show);
    if (show)
        bar->raise();
}

bool CCPlayToolBarWnd::PlaceAlongBottom()
{
    QWidget* bar = GetWidget();
    const QWidget* cell = cell_->GetWidget();
    if (bar == nullptr || cell == nullptr)
        return false;
    const QRect along(0, cell->height() - kHeight, cell->width(), kHeight);
    if (bar->geometry() != along) {
        bar->setGeometry(along);
        UpdateTooltips(cell->width());
    }
    return true;
}

// A cell too narrow for every button scrolls the row; the tooltips then say so.
void CCPlayToolBarWnd::UpdateTooltips(int cellWidth)
{
    const bool fits = buttonsWidth_ < cellWidth;
    const QString hint = fits ? QString() : QString::fromUtf8(kMoreHint);
    for (const char* name : {"hl_toolbar", "hl_space"})
        if (CControlUI* control = FindControl(name))
            control->SetToolTip(hint);
    for (size_t i = 0; i < buttonNames_.size(); ++i)
        if (CControlUI* button = FindControl(buttonNames_[i]))
            button->SetToolTip(buttonLabels_[i] + hint);
    if (auto* row = dynamic_cast<CContainerUI*>(FindControl("hl_toolbar")))
        row->EnableScrollBar(false, !fits);
}

void CCPlayToolBarWnd::EnableButtons(bool enable)
{
    for (const QString& name : buttonNames_)
        if (CControlUI* button = FindControl(name))
            button->SetEnabled(enable);
}

void CCPlayToolBarWnd::RefreshFromState()
{
    COptionUI* play = Option("btn_play");
    COptionUI* record = Option("btn_record");
    switch (PlayerManager::Instance()->GetState(playerId_)) {
    case 2:
        EnableButtons(true);
        if (record != nullptr)
            record->Selected(false);
        if (play != nullptr)
            play->Selected(true);
        break;
    case 4:
    case 7:
        EnableButtons(false);
        if (play != nullptr) {
            play->SetEnabled(true);
            play->Selected(false);
        }
        break;
    case 5:
        if (record != nullptr)
            record->Selected(true);
        break;
    default:
        break;
    }
}

void CCPlayToolBarWnd::ShowQualityIcon(int width)
{
    CControlUI* button = FindControl("btn_bitrateswitch");
    if (button == nullptr)
        return;
    qualityWidth_ = width;
    for (const QualityIcon& icon : kQualityIcons) {
        if (icon.width != width)
            continue;
        button->SetAttribute("normalimage", Piece(icon.file, "0,0,22,22"));
        button->SetAttribute("hotimage", Piece(icon.file, "22,0,44,22"));
        button->SetAttribute("disabledimage", Piece(icon.file, "66,0,88,22"));
        button->SetToolTip(QString::fromUtf8(icon.tooltip));
        // The quality's name is the button's label from now on: showing the toolbar sets every
        // tooltip from the labels, and an empty label erased the name before it could be seen.
        const auto at = std::find(buttonNames_.begin(), buttonNames_.end(), QStringLiteral("btn_bitrateswitch"));
        if (at != buttonNames_.end())
            buttonLabels_[static_cast<size_t>(at - buttonNames_.begin())] = QString::fromUtf8(icon.tooltip);
    }
}

void CCPlayToolBarWnd::Post(UINT message)
{
    ::PostMessage(target_, message, 0, 0);
}

void CCPlayToolBarWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "click" && msg.pSender != nullptr)
        OnButton(msg.pSender->GetName(), msg.pSender);
    WindowImplBase::Notify(msg);
}

bool CCPlayToolBarWnd::PressButton(const QString& name)
{
    CControlUI* button = FindControl(name);
    if (button == nullptr || !button->IsVisible() || !button->IsEnabled())
        return false;
    OnButton(name, button);
    if (auto* option = dynamic_cast<COptionUI*>(button))
        option->Selected(!option->IsSelected());  // as the toolkit toggles a clicked option
    return true;
}

void CCPlayToolBarWnd::OnButton(const QString& name, CControlUI* sender)
{
    auto* option = dynamic_cast<COptionUI*>(sender);
    // An option's state is the one it had when the click arrived, before the toolkit toggles it.
    const bool selected = option != nullptr && option->IsSelected();
    if (name == "btn_play")
        Post(selected ? WM_CELL_STOP : WM_CELL_REPLAY);
    else if (name == "btn_record")
        Post(selected ? WM_CELL_RECORD_STOP : WM_CELL_RECORD_START);
    else if (name == "btn_audiotoggle")
        ToggleSound();
    else if (name == "btn_snapshot")
        Post(WM_CELL_SNAPSHOT);
    else if (name == "btn_fullscreen")
        Post(WM_TOGGLE_FULLSCREEN);
    else if (name == "btn_bitrateswitch")
        OpenQualityChooser();
    else if (name == "btn_playback")
        Post(WM_CELL_PLAYBACK);
    // "btn_speek": talking to the camera is not offered.
}

void CCPlayToolBarWnd::ToggleSound()
{
    COptionUI* audio = Option("btn_audiotoggle");
    if (audio == nullptr)
        return;
    PlayerManager::Instance()->SetMute(playerId_, audio->IsSelected());
    // The toolkit toggles the option after this click; the state is set from the player after that.
    PostMessage(kShowSoundState, 0, 0);
}

void CCPlayToolBarWnd::ShowSoundState()
{
    if (COptionUI* audio = Option("btn_audiotoggle"))
        audio->Selected(PlayerManager::Instance()->IsMuted(playerId_) == 0);
}

void CCPlayToolBarWnd::OpenQualityChooser()
{
    // A second press closes the open chooser, as a drop-down button does, instead of stacking another
    // (the chooser only closes by itself when the mouse leaves it or it loses the focus).
    if (::IsWindow(chooser_)) {
        ::SendMessage(chooser_, WM_CLOSE, 0, 0);
        chooser_ = nullptr;
        return;
    }
    auto* chooser = new CRatioSwicthWnd(cell_->DeviceId());
    chooser->Open(target_);
    chooser_ = chooser->GetHWND();
}

LRESULT CCPlayToolBarWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    const bool locked = LocalConfig::Instance()->IsScreenLocked();
    switch (uMsg) {
    case WM_LBUTTONDOWN:
        if (locked) {
            ::PostMessage(cell_->MainWindow(), WM_SHOW_LOCKSCREEN, 0, 0);
            return 0;
        }
        break;
    case WM_RBUTTONDOWN:
        if (locked)
            ::PostMessage(cell_->MainWindow(), WM_SHOW_LOCKSCREEN, 0, 0);
        return 0;
    case WM_MOUSELEAVE:
        ::PostMessage(target_, WM_MOUSELEAVE, 0, 0);
        break;
    case kShowSoundState:
        ShowSoundState();
        return 0;
    default:
        break;
    }
    return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}
