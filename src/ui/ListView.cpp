#include "ui/ListView.h"

#include "ui/CListElementUI.h"
#include "ui/CListUI.h"
#include "ui/CPaintManagerUI.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>

namespace {

POINT ClientPoint(CListUI* list, QWidget* from, const QPoint& pos)
{
    POINT pt;
    CPaintManagerUI* manager = list->GetManager();
    QWidget* root = manager ? manager->GetRootWidget() : nullptr;
    QPoint p = root && root->isAncestorOf(from) ? from->mapTo(root, pos) : pos;
    pt.x = p.x();
    pt.y = p.y();
    return pt;
}

}  // namespace

ListView::ListView(CListUI* list)
    : list_(list)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
}

void ListView::mousePressEvent(QMouseEvent* event)
{
    if (list_ == nullptr) {
        QTreeView::mousePressEvent(event);
        return;
    }
    CListUI* list = list_;
    CPaintManagerUI* manager = list->GetManager();
    const POINT pt = ClientPoint(list, viewport(), event->position().toPoint());
    const QModelIndex index = indexAt(event->position().toPoint());
    CListElementUI* element = index.isValid() ? list->ElementAt(index.row()) : nullptr;
    QPointer<ListView> guard(this);
    if (event->button() == Qt::LeftButton) {
        if (element && element->IsEnabled() && manager) {
            // A checkable row is ticked or cleared by a click anywhere on it.
            if (element->IsCheckable()) {
                element->SetCheck(!element->GetCheck());
                manager->SendNotify(element, QStringLiteral("itemclickcheck"), element->GetCheck() ? 1 : 0, 0, pt);
            }
            if (guard)
                manager->SendNotify(element, QStringLiteral("itemclick"), 0, 0, pt);
        }
        if (guard)
            QTreeView::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::RightButton) {
        event->accept();
        TEventUI menu;
        menu.Type = UIEVENT_CONTEXTMENU;
        menu.ptMouse = pt;
        if (element && element->IsEnabled()) {
            if (manager)
                manager->SendNotify(element, QStringLiteral("itemrclick"), 0, 0, pt);
            if (!guard || list_ == nullptr || list->ElementAt(index.row()) != element)
                return;
            list->SelectItem(index.row());
            menu.pSender = element;
            element->DoEvent(menu);
        } else {
            menu.pSender = list;
            list->DoEvent(menu);
        }
        return;
    }
    QTreeView::mousePressEvent(event);
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (list_ && event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        CListElementUI* element = index.isValid() ? list_->ElementAt(index.row()) : nullptr;
        if (element && element->IsEnabled() && list_->GetManager()) {
            list_->GetManager()->SendNotify(element, QStringLiteral("itemactivate"), 0, 0,
                                            ClientPoint(list_, viewport(), event->position().toPoint()));
            event->accept();
            return;
        }
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void ListView::wheelEvent(QWheelEvent* event)
{
    if (list_ == nullptr) {
        QTreeView::wheelEvent(event);
        return;
    }
    TEventUI wheel;
    wheel.Type = UIEVENT_SCROLLWHEEL;
    wheel.pSender = list_;
    wheel.wParam = event->angleDelta().y() > 0 ? SB_LINEUP : SB_LINEDOWN;
    wheel.ptMouse = ClientPoint(list_, viewport(), event->position().toPoint());
    list_->DoEvent(wheel);
    event->accept();
}

void ListView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();  // handled on the right press
}
