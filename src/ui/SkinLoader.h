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
    // The layout's top widget, built as a child of `parent` when one is given (else a window of its
    // own) and laid out as a window either way; null when the text is not such a layout or uses what
    // the reader does not know (ErrorString says what, and where). A top widget built in its place
    // saves moving it there: under the application's style sheet, a move tells every widget of the
    // tree that its style changed, and a combo box then builds its drop-down.
    QWidget* Load(const QByteArray& layout, QWidget* parent = nullptr);
    QString ErrorString() const { return error_; }
    // Widgets made by this loader, parents before children.
    const QList<QPointer<QWidget>>& Created() const { return created_; }

private:
    // What a layout belongs to: the own layout of a widget laid out as a window (the top widget, a
    // stacked widget's page), the own layout of any other widget, or a layout within a layout.
    enum class LayoutOwner { Window, Widget, Nested };

    // `asWindow`: laid out as Designer lays out a window (the top widget and stacked widgets' pages):
    // its geometry gives only its size, its own layout keeps a window's margins.
    QWidget* ReadWidget(QWidget* parent, bool asWindow);
    QLayout* ReadLayout(QWidget* owner, LayoutOwner belongsTo);
    void ReadLayoutItem(QLayout* layout, QWidget* owner);
    void ReadComboItem(QComboBox* combo);
    void ReadProperty(QWidget* target, bool asWindow);
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
