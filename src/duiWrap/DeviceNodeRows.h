#pragma once

#include "duiWrap/DeviceNode.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// The node tree of one device list and its rows in display order. A new node's row goes right after
// its parent's last descendant, so the rows are always the tree in pre-order (children in the order
// they were added). Row indices are cached in the nodes and checked before use, and bulk changes
// (a rebuild) can be wrapped in BeginReset/EndReset so the view is refilled once: a rebuild of n rows
// costs O(n), not the O(n^2) of searching the rows for each insertion point. UI thread only.
class DeviceNodeRows {
public:
    // What a view needs to follow the rows. Between BeginReset and EndReset only Reset is reported.
    struct Observer {
        virtual ~Observer() = default;
        virtual void RowsInserted(size_t first, size_t count) = 0;
        virtual void RowsAboutToBeRemoved(size_t first, size_t count) = 0;
        virtual void RowsRemoved() = 0;
        virtual void RowsChanged(size_t first, size_t last) = 0;  // texts or visibility
        virtual void RowsAboutToBeReset() = 0;
        virtual void RowsReset() = 0;
    };

    DeviceNodeRows();
    ~DeviceNodeRows();
    DeviceNodeRows(const DeviceNodeRows&) = delete;
    DeviceNodeRows& operator=(const DeviceNodeRows&) = delete;

    void SetObserver(Observer* observer) { observer_ = observer; }

    DeviceNode* Root() const { return root_.get(); }

    // Adds a row under parent (the root when null) and returns its node.
    DeviceNode* AddNode(const std::string& text, bool isGroup, const std::string& id, DeviceNode* parent);

    // Removes the node's row and the rows of its subtree, and deletes them. The root cannot be removed.
    void Remove(DeviceNode* node);

    // Removes every row and starts again with a new root (level -1, expanded).
    void RemoveAll();

    // Expands or collapses a node: the expander changes, and when the node's row is shown, every row
    // of its subtree is shown exactly when all its ancestors are expanded.
    void SetChildVisible(DeviceNode* node, bool expanded);

    // Gives the first camera with this id in the subtree of `from` (tree order) the text; 0 when one
    // was changed, -1 otherwise.
    int SetCameraText(DeviceNode* from, const std::string& deviceId, const std::string& text);

    size_t RowCount() const { return rows_.size(); }
    DeviceNode* NodeAt(size_t row) const { return row < rows_.size() ? rows_[row] : nullptr; }
    // Row index of a node; -1 for the root or a node that is not in this list.
    long RowOf(const DeviceNode* node);

    // Pixels from the row's left edge covered by the expander: [start, end); (0, 0) for the root or none.
    static std::pair<int, int> ExpanderRange(const DeviceNode* node);

    // Wraps a bulk change: the observer sees one reset instead of every row.
    void BeginReset();
    void EndReset();

    // Visits every node of the subtree below `from` in display order (from itself excluded).
    static void ForEachDescendant(DeviceNode* from, const std::function<void(DeviceNode*)>& visit);

private:
    size_t InsertionRow(DeviceNode* parent);
    void ReportChanged(size_t first, size_t last);

    std::unique_ptr<DeviceNode> root_;
    std::vector<DeviceNode*> rows_;
    size_t hintsValidBelow_ = 0;  // every row below this index has a correct rowHint_
    Observer* observer_ = nullptr;
    int resetDepth_ = 0;
};
