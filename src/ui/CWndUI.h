#pragma once

#include "ui/CControlUI.h"

#include <QPointer>

// A control that hosts a native child widget (one with a window handle: a NativeWidget such as the
// video wall, or another toolkit window) in a layout: the hosted widget takes the control's place,
// size and visibility. The control does not own it: when the control goes away the hosted widget is
// handed back unparented and hidden, for its owner to destroy.
class CWndUI : public CControlUI {
public:
    CWndUI();
    ~CWndUI() override;
    QString GetClass() const override { return QStringLiteral("WndUI"); }

    // False (and nothing changes) when the handle designates no live widget.
    bool Attach(HWND hwnd);
    HWND GetHostedWindow() const { return hosted_; }
    void SetPos(RECT rc, bool needInvalidate) override;
    // The rectangle-only placement.
    void SetPos(RECT rc) { SetPos(rc, true); }
    void SetInternVisible(bool visible = true) override;

private:
    friend class WndHostWidget;
    void PlaceHosted();
    HWND hosted_ = nullptr;
    QPointer<QWidget> hostedWidget_;
};
