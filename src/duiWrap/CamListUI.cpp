#include "duiWrap/CamListUI.h"

#include "duiWrap/CListLabelExElementUI.h"
#include "duiWrap/RowMarkup.h"
#include "ui/CPaintManagerUI.h"

CamListUI::CamListUI()
{
    SetShowHtml(true);
    rows_.SetObserver(this);
}

CamListUI::~CamListUI()
{
    rows_.SetObserver(nullptr);
}

DeviceNode* CamListUI::AddNode(const std::string& text, bool isGroup, const std::string& id, DeviceNode* parent)
{
    return rows_.AddNode(text, isGroup, id, parent);
}

DeviceNode* CamListUI::NodeAt(int row) const
{
    return row < 0 ? nullptr : rows_.NodeAt(static_cast<size_t>(row));
}

DeviceNode* CamListUI::NodeOf(CControlUI* row) const
{
    auto* element = dynamic_cast<CListLabelExElementUI*>(row);
    return element && element->GetOwner() == this ? reinterpret_cast<DeviceNode*>(element->GetTag()) : nullptr;
}

CListLabelExElementUI* CamListUI::ElementOf(const DeviceNode* node)
{
    const long row = rows_.RowOf(node);
    return row < 0 ? nullptr : static_cast<CListLabelExElementUI*>(ElementAt(static_cast<int>(row)));
}

bool CamListUI::Add(CControlUI* control)
{
    return AddAt(control, GetCount());
}

bool CamListUI::AddAt(CControlUI*, int)
{
    return false;  // a row without a node would break the tree; rows come from AddNode
}

bool CamListUI::Remove(CControlUI* control)
{
    DeviceNode* node = NodeOf(control);
    if (!node)
        return false;
    rows_.Remove(node);
    return true;
}

bool CamListUI::RemoveAt(int index)
{
    DeviceNode* node = NodeAt(index);
    if (!node)
        return false;
    rows_.Remove(node);
    return true;
}

void CamListUI::RemoveAll()
{
    rows_.RemoveAll();
}

void CamListUI::SetVisible(bool visible)
{
    if (visible != IsVisible())
        CListUI::SetVisible(visible);
}

void CamListUI::SetInternVisible(bool visible)
{
    CControlUI::SetInternVisible(visible);
}

void CamListUI::DoEvent(TEventUI& event)
{
    if (event.Type == UIEVENT_TIMER && event.wParam == SmoothScroll::kTimerId) {
        SIZE pos = GetScrollPos();
        const int move = scroll_.Step(pos.cy <= 0, pos.cy >= GetScrollRange().cy);
        if (move != 0) {
            pos.cy += move;
            SetScrollPos(pos);
        } else if (manager_) {
            manager_->KillTimer(this, SmoothScroll::kTimerId);
        }
        return;
    }
    if (event.Type == UIEVENT_SCROLLWHEEL) {
        scroll_.Wheel(event.wParam == SB_LINEUP);
        if (manager_)
            manager_->SetTimer(this, SmoothScroll::kTimerId, SmoothScroll::kPeriodMs);
        return;
    }
    CListUI::DoEvent(event);
}

QString CamListUI::RowName() const
{
    return GetName() + QStringLiteral("item");
}

CListLabelExElementUI* CamListUI::MakeElement(DeviceNode* node, const QString& rowName)
{
    auto* element = new CListLabelExElementUI;
    element->SetContextMenuUsed(true);
    element->SetName(rowName);
    element->SetTag(reinterpret_cast<UINT_PTR>(node));
    element->SetText(QString::fromStdString(node->rowText));
    if (node->level == 0)
        element->SetBkImage(QString::fromUtf8(RowMarkup::kTopRowBackground));
    if (!node->rowVisible)
        element->SetVisible(false);
    return element;
}

void CamListUI::ApplyRowState(size_t row)
{
    CListElementUI* element = ElementAt(static_cast<int>(row));
    const DeviceNode* node = rows_.NodeAt(row);
    if (!element || !node)
        return;
    const QString text = QString::fromStdString(node->rowText);
    if (element->GetText() != text)
        element->SetText(text);
    if (element->IsVisible() != node->rowVisible)
        element->SetVisible(node->rowVisible);
}

void CamListUI::RowsInserted(size_t first, size_t count)
{
    const QString rowName = RowName();
    for (size_t i = first; i < first + count; ++i)
        CListUI::AddAt(MakeElement(rows_.NodeAt(i), rowName), static_cast<int>(i));
}

void CamListUI::RowsAboutToBeRemoved(size_t first, size_t count)
{
    for (size_t i = first + count; i-- > first;)
        CListUI::RemoveAt(static_cast<int>(i));
}

void CamListUI::RowsChanged(size_t first, size_t last)
{
    for (size_t i = first; i <= last; ++i)
        ApplyRowState(i);
}

void CamListUI::RowsReset()
{
    const QString rowName = RowName();
    std::vector<CListElementUI*> elements;
    elements.reserve(rows_.RowCount());
    for (size_t i = 0; i < rows_.RowCount(); ++i)
        elements.push_back(MakeElement(rows_.NodeAt(i), rowName));
    CListUI::ReplaceAll(std::move(elements));
}
