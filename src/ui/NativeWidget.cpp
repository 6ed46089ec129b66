#include "ui/NativeWidget.h"

#include "ui/WidgetHandles.h"

NativeWidget::NativeWidget(QWidget* parent)
    : QWidget(parent)
{
    WidgetHandles::Bind(GetHWND(), this);
}

NativeWidget::~NativeWidget()
{
    WidgetHandles::Unbind(GetHWND());
    ReleaseHandle();
}

LRESULT NativeWidget::OnWindowMessage(UINT, WPARAM, LPARAM)
{
    return 0;
}
