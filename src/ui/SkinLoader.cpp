#include "ui/SkinLoader.h"

#include "ui/CDateTimeUI.h"
#include "ui/CListUI.h"
#include "ui/CMenuElementUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/CWndUI.h"
#include "ui/SkinButton.h"
#include "ui/SkinComboBox.h"
#include "ui/UIDefs.h"
#include "ui/VideoSurface.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QToolButton>

namespace {

CControlUI* ToolkitControl(const QString& className)
{
    if (className == "ListUI")
        return new CListUI;
    if (className == "TreeViewUI")
        return new CTreeViewUI;
    if (className == "MenuElementUI")
        return new CMenuElementUI;
    if (className == "WndUI")
        return new CWndUI;
    if (className == "DateTimeUI")
        return new CDateTimeUI(CDateTimeUI::DateAndTime);
    if (className == "DateUI")
        return new CDateTimeUI(CDateTimeUI::DateOnly);
    if (className == "TimeUI")
        return new CDateTimeUI(CDateTimeUI::TimeOnly);
    return nullptr;
}

}  // namespace

// A QUiLoader loads every Designer plugin in Qt's plugin folders as it is built; the one installed
// with Qt (the Qt Quick widget) brings the QML engine and eight libraries into the process. The skin
// uses no plugin widget, so loaders are built while Qt's library paths are hidden from them.
class PluginFoldersHidden {
public:
    PluginFoldersHidden() : paths_(QCoreApplication::libraryPaths()) { QCoreApplication::setLibraryPaths({}); }
    ~PluginFoldersHidden() { QCoreApplication::setLibraryPaths(paths_); }
    PluginFoldersHidden(const PluginFoldersHidden&) = delete;
    PluginFoldersHidden& operator=(const PluginFoldersHidden&) = delete;

private:
    const QStringList paths_;
};

SkinLoader::SkinLoader(IDialogBuilderCallback* callback)
    : SkinLoader(callback, PluginFoldersHidden())
{
}

SkinLoader::SkinLoader(IDialogBuilderCallback* callback, const PluginFoldersHidden&)
    : callback_(callback)
{
}

QWidget* SkinLoader::createWidget(const QString& className, QWidget* parent, const QString& name)
{
    static const QSet<QString> known = [] {
        const PluginFoldersHidden hidden;
        QUiLoader probe;
        const QStringList names = probe.availableWidgets();
        return QSet<QString>(names.begin(), names.end());
    }();
    QWidget* widget = nullptr;
    if (className == "QPushButton")
        widget = new SkinButton<QPushButton>(parent);
    else if (className == "QToolButton")
        widget = new SkinButton<QToolButton>(parent);
    else if (className == "QCheckBox")
        widget = new SkinButton<QCheckBox>(parent);
    else if (className == "QRadioButton")
        widget = new SkinButton<QRadioButton>(parent);
    else if (className == "QComboBox")
        widget = new SkinComboBox(parent);
    else if (className == "VideoSurface")
        widget = new VideoSurface(parent);
    else if (className == "TreeNodeUI" || className == "ListLabelElementUI" || className == "ListTextElementUI") {
        // An item template: a stand-in that carries the item's properties until the builder makes
        // the item itself (items have no widget of their own).
        widget = new QWidget(parent);
        widget->setProperty("kelvue_item", className);
    }
    else if (known.contains(className))
        widget = QUiLoader::createWidget(className, parent, name);
    else {
        CControlUI* control = ToolkitControl(className);
        if (control == nullptr && callback_ != nullptr)
            control = callback_->CreateControl(className);
        if (control != nullptr) {
            widget = control->GetWidget();
            if (widget == nullptr) {
                delete control;  // an item cannot stand in a layout
                return nullptr;
            }
            widget->setParent(parent);
        }
    }
    if (widget == nullptr)
        return nullptr;
    widget->setObjectName(name);
    created_.append(widget);
    return widget;
}
