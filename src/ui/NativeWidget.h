#pragma once

#include "ui/MessageTarget.h"

#include <QWidget>

// A plain Qt widget with a window handle: what the native dialogs (the video wall and its cells) and
// the video surface are built on. Its handle can be hosted by a CWndUI, posted to from any thread,
// and designates this widget in WidgetHandles. Override OnWindowMessage to handle messages.
class NativeWidget : public QWidget, public MessageTarget {
public:
    explicit NativeWidget(QWidget* parent = nullptr);
    ~NativeWidget() override;

    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
