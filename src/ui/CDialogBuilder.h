#pragma once

#include "ui/UIDefs.h"

class CControlUI;
class CPaintManagerUI;
class QWidget;

// Builds a control tree from a layout: a Qt Designer UI file of the skin folder (or its XML text),
// read by SkinLoader. Every widget of it gets its control (CControlUI::FromWidget finds it), the
// dynamic properties of each widget are applied as the control's attributes, and class names Qt
// and the toolkit do not know are asked of `callback` (null answer: the element is skipped).
// With `parent` (a container) the new tree is added to it. A layout whose top element is an item class
// ("TreeNodeUI", "ListLabelElementUI", "ListTextElementUI") is an item template: the result is that
// item (with child nodes for nested "TreeNodeUI" elements), ready to add to a tree, list or combo.
class CDialogBuilder {
public:
    // `xml`: a file name relative to the resource path, or XML text starting with '<'.
    // `type` is accepted for compatibility and ignored. Null on failure (see GetLastError).
    CControlUI* Create(const QString& xml, const QString& type = QString(), IDialogBuilderCallback* callback = nullptr,
                       CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // As Create, with the layout's top widget built as a child of `host` (a window's widget, whose
    // layout then takes it) rather than moved there once built (see SkinLoader::Load).
    CControlUI* CreateIn(QWidget* host, const QString& xml, IDialogBuilderCallback* callback, CPaintManagerUI* manager);
    QString GetLastError() const { return error_; }

    // The control class the toolkit gives a widget of the layouts (a button → CButtonUI, ...).
    static CControlUI* WrapWidget(QWidget* widget);
    // The skin's shared style sheet ("theme.qss" of the resource path), read once per path.
    static QString ThemeStyleSheet();
    // Makes ThemeStyleSheet the application's style sheet (once per resource path; no application
    // with widgets: nothing), so that every widget of every window, a child of another window or
    // not, is drawn in the theme while Qt parses the sheet once; the sheet's "#ThemeFont" rule gives the
    // application font.
    static void ApplyTheme();

private:
    CControlUI* Build(const QString& xml, IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                      CControlUI* parent, QWidget* host);
    CControlUI* BuildItem(QWidget* root, CPaintManagerUI* manager);
    QString error_;
};
