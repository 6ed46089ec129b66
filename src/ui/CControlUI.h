#pragma once

#include "ui/UIDefs.h"

#include <QMap>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class CPaintManagerUI;

// One control of a window. Most controls wrap a Qt widget that the layout loader created (or that the
// control created itself when code makes it with `new`); the wrapper lives exactly as long as its
// widget. Items of lists, combos and trees are controls without a widget: their owner draws them.
//
// Everything here runs on the UI thread.
class CControlUI {
public:
    CControlUI();
    // Wraps a widget the loader (or code) made.
    explicit CControlUI(QWidget* widget);
    virtual ~CControlUI();

    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // The control of a widget (null when the widget has none).
    static CControlUI* FromWidget(const QWidget* widget);
    // The control of the widget or of its nearest ancestor that has one.
    static CControlUI* NearestControl(const QWidget* widget);

    // Class name as the windows compare it: "ControlUI", "ButtonUI", "OptionUI", "LabelUI", "TextUI", ...
    virtual QString GetClass() const;
    QWidget* GetWidget() const { return widget_; }
    CPaintManagerUI* GetManager() const;
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);
    virtual CControlUI* GetParent() const;

    virtual QString GetName() const;
    virtual void SetName(const QString& name);
    virtual QString GetText() const;
    virtual void SetText(const QString& text);
    virtual QString GetToolTip() const;
    virtual void SetToolTip(const QString& text);

    // Own visibility flag (what SetVisible set), whatever the parents show.
    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    // Visibility imposed by a parent; controls hosting something outside the toolkit react to it.
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();

    UINT_PTR GetTag() const { return tag_; }
    void SetTag(UINT_PTR tag) { tag_ = tag; }
    QString GetUserData() const { return userData_; }
    void SetUserData(const QString& data) { userData_ = data; }

    bool IsContextMenuUsed() const { return contextMenu_; }
    void SetContextMenuUsed(bool used) { contextMenu_ = used; }

    // Position in the window's client coordinates (left, top, right, bottom).
    virtual RECT GetPos() const;
    // Places a control that no Qt layout manages (the rectangle is in its window's coordinates).
    virtual void SetPos(RECT rc, bool needInvalidate = true);
    int GetWidth() const;
    int GetHeight() const;
    // The fixed size from the layout (0 when the size is not fixed).
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);

    // Layout attributes ("text", "tooltip", "visible", "enabled", "name", "userdata", "width", "height",
    // "bkcolor", "bkimage", "textcolor", "menu", and those of each control class). Every attribute is
    // also remembered and readable with GetAttribute.
    virtual void SetAttribute(const QString& name, const QString& value);
    QString GetAttribute(const QString& name) const;
    void SetBkImage(const QString& description) { SetAttribute("bkimage", description); }

    virtual void DoEvent(TEventUI& event);
    // Low-level events of the control as the user gives them: UIEVENT_BUTTONDOWN (also the second
    // press of a double click) and UIEVENT_BUTTONUP of the left mouse button over its widget, seen
    // before the control's default handling. A handler returns true to pass the event on, false to
    // consume it. A release reaches the control that saw the press, wherever the pointer went.
    using EventHandler = std::function<bool(TEventUI&)>;
    void AddEventHandler(EventHandler handler);
    virtual void Invalidate();
    void NeedUpdate() { Invalidate(); }
    void NeedParentUpdate();

    // Connects the control to its window's notifications, once per window (the loader and
    // containers call it when the control joins a window).
    void Attach();

protected:
    // Connects the widget's signals to the manager's notifications (manager_ is set).
    virtual void OnAttached() {}

public:

protected:
    // Makes `widget` this control's widget: ties the lifetimes and lets FromWidget find the control.
    void AdoptWidget(QWidget* widget);
    CPaintManagerUI* manager_ = nullptr;
    QPointer<QObject> managerAlive_;  // the manager's hub: null once the manager is gone
    CControlUI* parent_ = nullptr;  // for controls without a widget (items)
    QString name_, text_, toolTip_;  // for controls without a widget
    bool visible_ = true;
    bool enabled_ = true;

private:
    QPointer<QWidget> widget_;
    QMetaObject::Connection widgetGone_;
    QMap<QString, QString> attributes_;
    std::vector<EventHandler> eventHandlers_;
    QObject* eventFilter_ = nullptr;  // child of the widget, made by the first AddEventHandler
    QString userData_;
    UINT_PTR tag_ = 0;
    bool contextMenu_ = false;
    CPaintManagerUI* attachedTo_ = nullptr;
};
