#pragma once

#include "ui/WindowImplBase.h"

#include <functional>

class COptionUI;

// The settings window: the four capture folders (page 0) and the alarm notice switch (page 1). "ok"
// stays disabled until a folder was chosen or the alarm option clicked; it saves through LocalConfig
// and closes, or says so and stays open when the configuration file refused a setting; "close" and
// "cancel" close without saving. Modal; deletes itself when closed.
class CSettingWnd : public WindowImplBase {
public:
    // Runs the settings modally over `owner`.
    static void ShowSettings(HWND owner);

    // The folder dialog; tests replace it. Returns the chosen folder, empty when cancelled.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& title)>;
    static void SetFolderChooser(FolderChooser chooser);

protected:
    QString GetWindowClassName() const override { return "CSettingWnd"; }
    CDuiString GetSkinFile() override { return "setting.xml"; }
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    void ChooseFolder(const char* editName);
    bool Save();  // false when a setting could not be written
    void ShowPage(int page);

    CControlUI* tab_ = nullptr;
    COptionUI* receiveAlarm_ = nullptr;
    CControlUI* ok_ = nullptr;
};
