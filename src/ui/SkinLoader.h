#pragma once

#include <QList>
#include <QPointer>
#include <QtUiTools/QUiLoader>

class CControlUI;
class IDialogBuilderCallback;
class PluginFoldersHidden;

// QUiLoader that builds the toolkit's widgets: Qt's buttons become the skinned buttons, the toolkit's
// own class names ("ListUI", "TreeViewUI", "MenuElementUI", "VideoSurface", "WndUI", "DateTimeUI",
// "DateUI", "TimeUI") become their controls, item classes ("TreeNodeUI", "ListLabelElementUI",
// "ListTextElementUI") become stand-ins the builder turns into items, and any other unknown class
// name is asked of the callback (a window's CreateControl); an element nobody knows is skipped.
class SkinLoader : public QUiLoader {
public:
    explicit SkinLoader(IDialogBuilderCallback* callback);
    QWidget* createWidget(const QString& className, QWidget* parent = nullptr, const QString& name = QString()) override;
    // Widgets made by this loader, parents before children.
    const QList<QPointer<QWidget>>& Created() const { return created_; }

private:
    SkinLoader(IDialogBuilderCallback* callback, const PluginFoldersHidden&);

    IDialogBuilderCallback* callback_;
    QList<QPointer<QWidget>> created_;
};
