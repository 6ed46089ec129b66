#pragma once

#include "ui/WindowImplBase.h"

#include <functional>
#include <string>
#include <vector>

class CPlayInnerWnd;
class COptionUI;

// The 30-pixel toolbar along the bottom of a play cell, shown while the mouse is over the cell. It
// never acts itself: its buttons post the cell's messages to the cell, and it follows the player's
// state (RefreshFromState). UI thread only.
class CCPlayToolBarWnd : public WindowImplBase {
public:
    static constexpr int kHeight = 30;
    static const char* const kMoreHint;

    // Whose rights hide buttons: by default the signed-in account (UserSession).
    struct Rights {
        std::function<bool()> isSubAccount;
        std::function<bool(const std::string& resourceId)> hasRight;
    };
    static void SetRights(Rights rights);
    // The rights set last (or the default). A wall keeps those in force when it was made for the
    // toolbars of all its cells, also of cells it builds later.
    static Rights CurrentRights();

    // Creates the (hidden) toolbar as a child window of the cell.
    CCPlayToolBarWnd(CPlayInnerWnd* cell, int playerId);

    void ShowToolbar(bool show);
    // Lays the toolbar along the cell's bottom edge, shown or not; false before both windows exist.
    bool PlaceAlongBottom();
    bool IsShown() const;
    void RefreshFromState();
    void ShowQualityIcon(int width);
    void EnableButtons(bool enable);
    // A keyboard shortcut presses the button as a click would, when it is shown (the account's
    // rights) and enabled (the player's state); false when it is not.
    bool PressButton(const QString& name);

    int ButtonsWidth() const { return buttonsWidth_; }
    int QualityWidth() const { return qualityWidth_; }

    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

protected:
    QString GetWindowClassName() const override { return "CCPlayToolBarWnd"; }
    CDuiString GetSkinFile() override { return "play_toolbar.xml"; }
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;

private:
    static constexpr UINT kShowSoundState = WM_APP + 0x20;

    void OnButton(const QString& name, CControlUI* sender);
    void ToggleSound();
    void ShowSoundState();
    void OpenQualityChooser();
    void Post(UINT message);
    void UpdateTooltips(int cellWidth);
    COptionUI* Option(const char* name) const;

    CPlayInnerWnd* cell_;
    int playerId_;
    HWND target_ = nullptr;
    HWND chooser_ = nullptr;  // the quality chooser this toolbar opened last (gone once closed)
    std::vector<QString> buttonNames_;
    std::vector<QString> buttonLabels_;
    int buttonsWidth_ = 0;
    int qualityWidth_ = 0;
};
