#pragma once

#include "ui/CControlUI.h"

// A control holding others: a widget with a Qt layout in the layouts (QWidget / QFrame with a box or
// grid layout). Add and Remove place child controls in that layout; Qt's layout sizes them.
class CContainerUI : public CControlUI {
public:
    CContainerUI();
    explicit CContainerUI(QWidget* widget);
    QString GetClass() const override { return QStringLiteral("ContainerUI"); }

    virtual int GetCount() const;
    virtual CControlUI* GetItemAt(int index) const;
    virtual int GetItemIndex(CControlUI* control) const;
    virtual bool Add(CControlUI* control);
    virtual bool AddAt(CControlUI* control, int index);
    // Removes and deletes the control (as the toolkit always did).
    virtual bool Remove(CControlUI* control);
    virtual bool RemoveAt(int index);
    virtual void RemoveAll();

    // Scroll bars of a container that can scroll (a QScrollArea in the layout).
    void EnableScrollBar(bool vertical = true, bool horizontal = false);
    bool HasHScrollBar() const { return hScroll_; }
    bool HasVScrollBar() const { return vScroll_; }

protected:
    // The widget children are placed in (the scroll area's contents for a scroll area).
    QWidget* Body() const;

private:
    bool hScroll_ = false;
    bool vScroll_ = false;
};
