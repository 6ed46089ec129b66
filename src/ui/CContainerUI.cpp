#include "ui/CContainerUI.h"

#include "ui/CPaintManagerUI.h"

#include <QBoxLayout>
#include <QLayout>
#include <QScrollArea>
#include <QWidget>

namespace {

QList<QWidget*> ChildControls(QWidget* body)
{
    QList<QWidget*> result;
    if (body == nullptr)
        return result;
    if (QLayout* layout = body->layout()) {
        for (int i = 0; i < layout->count(); ++i)
            if (QWidget* w = layout->itemAt(i)->widget(); w && CControlUI::FromWidget(w))
                result.append(w);
        return result;
    }
    for (QObject* child : body->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && CControlUI::FromWidget(w))
            result.append(w);
    return result;
}

}  // namespace

CContainerUI::CContainerUI()
    : CContainerUI(new QWidget)
{
    new QVBoxLayout(GetWidget());
}

CContainerUI::CContainerUI(QWidget* widget)
{
    AdoptWidget(widget);
}

QWidget* CContainerUI::Body() const
{
    if (auto* area = qobject_cast<QScrollArea*>(GetWidget()))
        return area->widget();
    return GetWidget();
}

int CContainerUI::GetCount() const
{
    return static_cast<int>(ChildControls(Body()).size());
}

CControlUI* CContainerUI::GetItemAt(int index) const
{
    QList<QWidget*> children = ChildControls(Body());
    return index >= 0 && index < children.size() ? CControlUI::FromWidget(children[index]) : nullptr;
}

int CContainerUI::GetItemIndex(CControlUI* control) const
{
    QList<QWidget*> children = ChildControls(Body());
    return control ? static_cast<int>(children.indexOf(control->GetWidget())) : -1;
}

bool CContainerUI::Add(CControlUI* control)
{
    return AddAt(control, GetCount());
}

bool CContainerUI::AddAt(CControlUI* control, int index)
{
    QWidget* body = Body();
    if (control == nullptr || control->GetWidget() == nullptr || body == nullptr)
        return false;
    QWidget* child = control->GetWidget();
    if (auto* box = qobject_cast<QBoxLayout*>(body->layout())) {
        // Insert before the index-th child control (other layout items, such as spacers, stay put).
        QList<QWidget*> children = ChildControls(body);
        int at = index >= 0 && index < children.size() ? box->indexOf(children[index]) : -1;
        box->insertWidget(at, child);
    } else if (QLayout* layout = body->layout()) {
        layout->addWidget(child);
    } else {
        child->setParent(body);
    }
    child->show();
    control->SetManager(manager_, this);
    control->Attach();
    return true;
}

bool CContainerUI::Remove(CControlUI* control)
{
    if (control == nullptr || GetItemIndex(control) < 0)
        return false;
    delete control;
    return true;
}

bool CContainerUI::RemoveAt(int index)
{
    return Remove(GetItemAt(index));
}

void CContainerUI::RemoveAll()
{
    for (QWidget* w : ChildControls(Body()))
        delete CControlUI::FromWidget(w);
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal)
{
    vScroll_ = vertical;
    hScroll_ = horizontal;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(GetWidget())) {
        area->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        area->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    }
}
