#include "ui/CListElementUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/IListOwnerUI.h"

CListElementUI::CListElementUI() = default;

CListElementUI::~CListElementUI() = default;

bool CListElementUI::IsSelected() const
{
    return owner_ && index_ >= 0 && owner_->GetCurSel() == index_;
}

bool CListElementUI::Select(bool select)
{
    if (owner_ == nullptr || !select)
        return false;
    return owner_->SelectItem(index_);
}

CControlUI* CListElementUI::GetParent() const
{
    return owner_ ? owner_->ElementParent() : CControlUI::GetParent();
}

RECT CListElementUI::GetPos() const
{
    return owner_ ? owner_->ElementPos(this) : RECT{};
}

void CListElementUI::Invalidate()
{
    if (owner_)
        owner_->ElementChanged(this);
}

void CListElementUI::DoEvent(TEventUI& event)
{
    if (event.Type == UIEVENT_CONTEXTMENU && IsContextMenuUsed() && manager_)
        manager_->SendNotify(this, QStringLiteral("menu"), event.wParam, event.lParam, event.ptMouse);
}

void CListElementUI::SetAttribute(const QString& name, const QString& value)
{
    if (name == "itemclickcheck")
        SetCheckable(value == "true");
    CControlUI::SetAttribute(name, value);
}

void CListElementUI::SetCheckable(bool checkable)
{
    checkable_ = checkable;
    Invalidate();
}

void CListElementUI::SetCheck(bool checked)
{
    checked_ = checked;
    Invalidate();
}
