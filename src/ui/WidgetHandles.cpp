#include "ui/WidgetHandles.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <unordered_map>

namespace {

constexpr const char* kHandleProperty = "kelvue_hwnd";

std::unordered_map<HWND, QPointer<QWidget>>& Map()
{
    static std::unordered_map<HWND, QPointer<QWidget>> map;
    return map;
}

}  // namespace

void WidgetHandles::Bind(HWND hwnd, QWidget* widget)
{
    Map()[hwnd] = widget;
    widget->setProperty(kHandleProperty, QVariant::fromValue(reinterpret_cast<quintptr>(hwnd)));
}

void WidgetHandles::Unbind(HWND hwnd)
{
    auto it = Map().find(hwnd);
    if (it == Map().end())
        return;
    if (it->second)
        it->second->setProperty(kHandleProperty, QVariant());
    Map().erase(it);
}

QWidget* WidgetHandles::Widget(HWND hwnd)
{
    auto it = Map().find(hwnd);
    return it == Map().end() ? nullptr : it->second.data();
}

HWND WidgetHandles::NearestHandle(const QWidget* widget)
{
    for (; widget != nullptr; widget = widget->parentWidget()) {
        QVariant value = widget->property(kHandleProperty);
        if (value.isValid())
            return reinterpret_cast<HWND>(value.value<quintptr>());
    }
    return nullptr;
}
