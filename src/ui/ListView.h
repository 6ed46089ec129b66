#pragma once

#include <QTreeView>

class CListUI;

// The Qt view of a CListUI: a flat tree view with uniform row heights whose presses, double clicks
// and wheel turns become the list's notifications and events.
class ListView : public QTreeView {
public:
    explicit ListView(CListUI* list);
    void Detach() { list_ = nullptr; }
    // Qt's own wheel scrolling (the list's default handling of a wheel step).
    void DefaultWheel(QWheelEvent* event) { QTreeView::wheelEvent(event); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CListUI* list_;
};
