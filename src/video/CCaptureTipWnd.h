#pragma once

#include "ui/WindowImplBase.h"

#include <string>

// A small non-modal window announcing a finished capture, in the lower right corner of the video it
// came from (or of the screen), stacked above the tips still open: "dir" shows the file in the file
// manager and closes the tip, "close" closes it. A tip for an empty path closes at once. The object
// deletes itself when its window is gone.
class CCaptureTipWnd : public WindowImplBase {
public:
    explicit CCaptureTipWnd(std::string filePath) : filePath_(std::move(filePath)) {}

    // Creates, places and shows the tip in the lower right corner of `area` (the screen when null or
    // hidden); returns it (it lives until it is closed).
    CCaptureTipWnd* Show(const QWidget* area = nullptr);
    const std::string& FilePath() const { return filePath_; }

protected:
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    void OnFinalMessage(HWND hWnd) override;

    std::string filePath_;
};

class CRecrodTipWnd : public CCaptureTipWnd {
public:
    using CCaptureTipWnd::CCaptureTipWnd;

protected:
    QString GetWindowClassName() const override { return "CRecrodTipWnd"; }
    CDuiString GetSkinFile() override { return "recrodtip.xml"; }
};

class CSnapnotTipWnd : public CCaptureTipWnd {
public:
    using CCaptureTipWnd::CCaptureTipWnd;

protected:
    QString GetWindowClassName() const override { return "CSnapnotTipWnd"; }
    CDuiString GetSkinFile() override { return "snaptip.xml"; }
    void InitWindow() override;
};
