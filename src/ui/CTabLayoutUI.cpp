#include "ui/CTabLayoutUI.h"

#include "ui/CPaintManagerUI.h"

#include <QStackedWidget>
#include <QTabWidget>

CTabLayoutUI::CTabLayoutUI()
    : CTabLayoutUI(new QStackedWidget)
{
}

CTabLayoutUI::CTabLayoutUI(QWidget* widget)
    : CContainerUI(widget)
{
}

int CTabLayoutUI::GetCount() const
{
    if (auto* s = qobject_cast<QStackedWidget*>(GetWidget()))
        return s->count();
    if (auto* t = qobject_cast<QTabWidget*>(GetWidget()))
        return t->count();
    return 0;
}

CControlUI* CTabLayoutUI::GetItemAt(int index) const
{
    if (auto* s = qobject_cast<QStackedWidget*>(GetWidget()))
        return CControlUI::FromWidget(s->widget(index));
    if (auto* t = qobject_cast<QTabWidget*>(GetWidget()))
        return CControlUI::FromWidget(t->widget(index));
    return nullptr;
}

int CTabLayoutUI::GetItemIndex(CControlUI* control) const
{
    if (control == nullptr)
        return -1;
    if (auto* s = qobject_cast<QStackedWidget*>(GetWidget()))
        return s->indexOf(control->GetWidget());
    if (auto* t = qobject_cast<QTabWidget*>(GetWidget()))
        return t->indexOf(control->GetWidget());
    return -1;
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index)
{
    if (control == nullptr || control->GetWidget() == nullptr)
        return false;
    if (auto* s = qobject_cast<QStackedWidget*>(GetWidget()))
        s->insertWidget(index, control->GetWidget());
    else if (auto* t = qobject_cast<QTabWidget*>(GetWidget()))
        t->insertTab(index, control->GetWidget(), control->GetText());
    else
        return false;
    control->SetManager(manager_, this);
    control->Attach();
    return true;
}

int CTabLayoutUI::GetCurSel() const
{
    if (auto* s = qobject_cast<QStackedWidget*>(GetWidget()))
        return s->currentIndex();
    if (auto* t = qobject_cast<QTabWidget*>(GetWidget()))
        return t->currentIndex();
    return -1;
}

bool CTabLayoutUI::SelectItem(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    if (auto* s = qobject_cast<QStackedWidget*>(GetWidget()))
        s->setCurrentIndex(index);
    else if (auto* t = qobject_cast<QTabWidget*>(GetWidget()))
        t->setCurrentIndex(index);
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* page)
{
    return SelectItem(GetItemIndex(page));
}

void CTabLayoutUI::SetAttribute(const QString& name, const QString& value)
{
    if (name == "selectedid")
        SelectItem(value.toInt());
    CContainerUI::SetAttribute(name, value);
}

void CTabLayoutUI::OnAttached()
{
    if (manager_ == nullptr)
        return;
    current_ = GetCurSel();
    auto changed = [this](int index) {
        const int old = current_;
        current_ = index;
        manager_->SendNotify(this, QStringLiteral("tabselect"), static_cast<WPARAM>(index), old);
    };
    if (auto* s = qobject_cast<QStackedWidget*>(GetWidget()))
        QObject::connect(s, &QStackedWidget::currentChanged, manager_->Hub(), changed);
    else if (auto* t = qobject_cast<QTabWidget*>(GetWidget()))
        QObject::connect(t, &QTabWidget::currentChanged, manager_->Hub(), changed);
}
