#include "duiWrap/DeviceNodeRows.h"

#include <algorithm>

namespace {
std::unique_ptr<DeviceNode> NewRoot()
{
    return std::make_unique<DeviceNode>(nullptr, -1, true, true, std::string(), std::string());
}
}  // namespace

DeviceNodeRows::DeviceNodeRows() : root_(NewRoot()) {}

DeviceNodeRows::~DeviceNodeRows() = default;

long DeviceNodeRows::RowOf(const DeviceNode* node)
{
    if (!node || node->IsRoot())
        return -1;
    if (node->rowHint_ < rows_.size() && rows_[node->rowHint_] == node)
        return static_cast<long>(node->rowHint_);
    // Hints above the first row that moved are stale: renumber once, every later lookup is O(1).
    for (size_t i = hintsValidBelow_; i < rows_.size(); ++i)
        rows_[i]->rowHint_ = i;
    hintsValidBelow_ = rows_.size();
    if (node->rowHint_ < rows_.size() && rows_[node->rowHint_] == node)
        return static_cast<long>(node->rowHint_);
    return -1;
}

size_t DeviceNodeRows::InsertionRow(DeviceNode* parent)
{
    if (!parent->children.empty())
        return static_cast<size_t>(RowOf(parent->LastDescendant()) + 1);
    if (parent->IsRoot())
        return 0;
    return static_cast<size_t>(RowOf(parent) + 1);
}

DeviceNode* DeviceNodeRows::AddNode(const std::string& text, bool isGroup, const std::string& id, DeviceNode* parent)
{
    if (!parent)
        parent = root_.get();
    const int level = parent->level + 1;
    auto node = std::make_unique<DeviceNode>(parent, level, level == 0, isGroup, id, text);
    const size_t row = InsertionRow(parent);
    rows_.insert(rows_.begin() + static_cast<long>(row), node.get());
    node->rowHint_ = row;
    if (row + 1 < rows_.size())
        hintsValidBelow_ = std::min(hintsValidBelow_, row);
    else if (hintsValidBelow_ == row)
        hintsValidBelow_ = row + 1;
    DeviceNode* added = node.get();
    parent->children.push_back(std::move(node));
    if (observer_ && resetDepth_ == 0)
        observer_->RowsInserted(row, 1);
    return added;
}

void DeviceNodeRows::Remove(DeviceNode* node)
{
    const long first = RowOf(node);
    if (first < 0)
        return;
    const long last = RowOf(node->LastDescendant());
    const size_t count = static_cast<size_t>(last - first + 1);
    if (observer_ && resetDepth_ == 0)
        observer_->RowsAboutToBeRemoved(static_cast<size_t>(first), count);
    rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
    hintsValidBelow_ = std::min(hintsValidBelow_, static_cast<size_t>(first));
    auto& siblings = node->parent->children;
    siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                                [node](const std::unique_ptr<DeviceNode>& child) { return child.get() == node; }));
    if (observer_ && resetDepth_ == 0)
        observer_->RowsRemoved();
}

void DeviceNodeRows::RemoveAll()
{
    BeginReset();
    rows_.clear();
    hintsValidBelow_ = 0;
    root_ = NewRoot();
    EndReset();
}

void DeviceNodeRows::SetChildVisible(DeviceNode* node, bool expanded)
{
    if (!node || node->IsRoot() || node->expanded == expanded)
        return;
    node->expanded = expanded;
    node->RefreshRowText();
    const long row = RowOf(node);
    if (row < 0)
        return;
    if (!node->rowVisible || node->children.empty()) {
        ReportChanged(static_cast<size_t>(row), static_cast<size_t>(row));
        return;
    }
    const size_t last = static_cast<size_t>(RowOf(node->LastDescendant()));
    // Parents come before their children, so each row can follow its parent's fresh state.
    for (size_t i = static_cast<size_t>(row) + 1; i <= last; ++i) {
        DeviceNode* child = rows_[i];
        child->rowVisible = child->parent->expanded && child->parent->rowVisible;
    }
    ReportChanged(static_cast<size_t>(row), last);
}

int DeviceNodeRows::SetCameraText(DeviceNode* from, const std::string& deviceId, const std::string& text)
{
    if (!from || deviceId.empty())
        return -1;
    for (auto& child : from->children) {
        if (!child->isGroup && child->id == deviceId) {
            child->SetText(text);
            const long row = RowOf(child.get());
            if (row >= 0)
                ReportChanged(static_cast<size_t>(row), static_cast<size_t>(row));
            return 0;
        }
        if (SetCameraText(child.get(), deviceId, text) == 0)
            return 0;
    }
    return -1;
}

std::pair<int, int> DeviceNodeRows::ExpanderRange(const DeviceNode* node)
{
    if (!node || node->IsRoot())
        return {0, 0};
    const int start = 24 * node->level + 2;
    return {start, start + 24};
}

void DeviceNodeRows::BeginReset()
{
    if (resetDepth_++ == 0 && observer_)
        observer_->RowsAboutToBeReset();
}

void DeviceNodeRows::EndReset()
{
    if (--resetDepth_ == 0 && observer_)
        observer_->RowsReset();
}

void DeviceNodeRows::ReportChanged(size_t first, size_t last)
{
    if (observer_ && resetDepth_ == 0)
        observer_->RowsChanged(first, last);
}

void DeviceNodeRows::ForEachDescendant(DeviceNode* from, const std::function<void(DeviceNode*)>& visit)
{
    for (auto& child : from->children) {
        visit(child.get());
        ForEachDescendant(child.get(), visit);
    }
}
