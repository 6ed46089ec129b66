#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QXmlStreamReader>

class CControlUI;
class IDialogBuilderCallback;
class QComboBox;
class QLayout;
class QObject;
class QWidget;

// Builds the widgets of a skin layout: the part of Qt Designer's UI format the skin's layouts use
// (widgets with their properties, box, grid and form layouts, spacers, stacked widgets, scroll areas
// and drop-down entries).
// Qt's buttons become the skinned buttons, the toolkit's own class names ("ListUI", "TreeViewUI",
// "MenuElementUI", "VideoSurface", "WndUI", "DateTimeUI", "DateUI", "TimeUI") become their controls,
// item classes ("TreeNodeUI", "ListLabelElementUI", "ListTextElementUI") become stand-ins the builder
// turns into items, and any other class name is asked of the callback (a window's CreateControl); an
// element nobody knows is left out with what it holds.
class SkinLoader {
public:
    explicit SkinLoader(IDialogBuilderCallback* callback);
    // The layout's top widget, without parent; null when the text is not such a layout or uses what
    // the reader does not know (ErrorString says what, and where).
    QWidget* Load(const QByteArray& layout);
    QString ErrorString() const { return error_; }
    // Widgets made by this loader, parents before children.
    const QList<QPointer<QWidget>>& Created() const { return created_; }

private:
    QWidget* ReadWidget(QWidget* parent);
    QLayout* ReadLayout(QWidget* owner, bool nested);
    void ReadLayoutItem(QLayout* layout, QWidget* owner);
    void ReadComboItem(QComboBox* combo);
    void ReadProperty(QObject* target, bool topWidget);
    // The value of the <property> the reader stands in, for `target`'s property `name`, the reader
    // then at the property's end; invalid when it cannot be read (the reader then has the error).
    QVariant ReadValue(const QMetaObject& target, const QByteArray& name);
    QWidget* CreateWidget(const QString& className, QWidget* parent, const QString& name);
    void Unexpected(QStringView container);

    IDialogBuilderCallback* callback_;
    QXmlStreamReader xml_;
    QList<QPointer<QWidget>> created_;
    QString error_;
};
