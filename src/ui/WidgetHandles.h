#pragma once

#include "ui/WinDef.h"

class QWidget;

// Which widget a window handle designates: toolkit windows, native widgets and video surfaces bind
// their handle here so that hosting (CWndUI), forwarding and frame delivery can find the widget.
// UI thread only.
namespace WidgetHandles {
void Bind(HWND hwnd, QWidget* widget);
void Unbind(HWND hwnd);
QWidget* Widget(HWND hwnd);
// The handle of the widget itself or of its nearest ancestor that has one; null when none has.
HWND NearestHandle(const QWidget* widget);
}  // namespace WidgetHandles
