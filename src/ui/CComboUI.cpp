#include "ui/CComboUI.h"

#include "ui/CListLabelElementUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/SkinComboBox.h"

#include <QComboBox>
#include <QSignalBlocker>

CComboUI::CComboUI()
    : CComboUI(new SkinComboBox)
{
}

CComboUI::CComboUI(QWidget* widget)
    : CContainerUI(widget)
{
    // Items written in the layout become elements the code can reach.
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        for (int i = 0; i < combo->count(); ++i) {
            auto* element = new CListLabelElementUI;
            element->SetText(combo->itemText(i));
            element->SetOwner(this);
            items_.push_back(element);
        }
    Reindex();
}

CComboUI::~CComboUI()
{
    for (CListElementUI* item : items_)
        delete item;
}

void CComboUI::Reindex()
{
    for (size_t i = 0; i < items_.size(); ++i)
        items_[i]->SetIndex(static_cast<int>(i));
}

void CComboUI::OnAttached()
{
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    if (combo == nullptr || manager_ == nullptr)
        return;
    for (CListElementUI* item : items_)
        item->SetManager(manager_, this);
    current_ = combo->currentIndex();
    QObject::connect(combo, &QComboBox::currentIndexChanged, manager_->Hub(), [this](int index) {
        const int old = current_;
        current_ = index;
        manager_->SendNotify(this, QStringLiteral("itemselect"), static_cast<WPARAM>(index), old);
    });
}

int CComboUI::GetCount() const
{
    return static_cast<int>(items_.size());
}

CControlUI* CComboUI::GetItemAt(int index) const
{
    return index >= 0 && index < GetCount() ? items_[static_cast<size_t>(index)] : nullptr;
}

int CComboUI::GetItemIndex(CControlUI* control) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == control)
            return static_cast<int>(i);
    return -1;
}

bool CComboUI::Add(CControlUI* control)
{
    return AddAt(control, GetCount());
}

bool CComboUI::AddAt(CControlUI* control, int index)
{
    auto* element = dynamic_cast<CListElementUI*>(control);
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    if (element == nullptr || combo == nullptr)
        return false;
    index = qBound(0, index, GetCount());
    items_.insert(items_.begin() + index, element);
    element->SetOwner(this);
    element->SetManager(manager_, this);
    Reindex();
    const bool wasEmpty = combo->count() == 0;
    {
        // Adding the first item makes Qt select it; the toolkit's combos start with no selection.
        QSignalBlocker blocker(combo);
        combo->insertItem(index, element->GetText());
        if (wasEmpty)
            combo->setCurrentIndex(-1);
    }
    current_ = combo->currentIndex();
    return true;
}

bool CComboUI::Remove(CControlUI* control)
{
    return RemoveAt(GetItemIndex(control));
}

bool CComboUI::RemoveAt(int index)
{
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    if (index < 0 || index >= GetCount() || combo == nullptr)
        return false;
    CListElementUI* element = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    Reindex();
    combo->removeItem(index);
    delete element;
    return true;
}

void CComboUI::RemoveAll()
{
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    for (CListElementUI* item : items_)
        delete item;
    items_.clear();
    if (combo) {
        QSignalBlocker blocker(combo);
        combo->clear();
    }
    current_ = -1;
}

int CComboUI::GetCurSel() const
{
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    return combo ? combo->currentIndex() : -1;
}

bool CComboUI::SelectItem(int index, bool takeFocus)
{
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    if (combo == nullptr || index < -1 || index >= GetCount())
        return false;
    if (index == -1) {
        // No item chosen: the box shows nothing, and nobody is told, as when the list is built.
        QSignalBlocker blocker(combo);
        combo->setCurrentIndex(-1);
        current_ = -1;
        return true;
    }
    combo->setCurrentIndex(index);
    if (takeFocus)
        combo->setFocus();
    return true;
}

void CComboUI::ElementChanged(CListElementUI* element)
{
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    const int index = GetItemIndex(element);
    if (combo && index >= 0)
        combo->setItemText(index, element->GetText());
}

RECT CComboUI::ElementPos(const CListElementUI*) const
{
    return GetPos();
}
