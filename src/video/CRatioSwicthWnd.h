#pragma once

#include "ui/WindowImplBase.h"

#include <string>

// The stream-quality chooser of a cell: three levels (high definition, balanced, smooth), each a
// row of icon and word that is pressed as a whole. A choice posts WM_SWITCH_STREAM (width, height) to the cell; the chooser closes after a choice, when it
// loses the focus and when the mouse leaves it. UI thread only.
class CRatioSwicthWnd : public WindowImplBase {
public:
    explicit CRatioSwicthWnd(std::string deviceId) : deviceId_(std::move(deviceId)) {}

    // Creates the chooser inside `cell` at its lower right corner, 30 pixels above the bottom, shown.
    void Open(HWND cell);
    const std::string& DeviceId() const { return deviceId_; }

    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

protected:
    QString GetWindowClassName() const override { return "RatioSwicthWnd"; }
    CDuiString GetSkinFile() override { return "QingXiDuWnd.xml"; }
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    void Choose(int width, int height);
    bool ChooseRowAt(const POINT& pt);

    std::string deviceId_;
    HWND cell_ = nullptr;
};
