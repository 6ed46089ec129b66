#pragma once

#include "duiWrap/DeviceNodeRows.h"
#include "duiWrap/SmoothScroll.h"
#include "ui/CListUI.h"

#include <utility>

class CListLabelExElementUI;

// The toolkit list turned into a tree: the device tree ("gamelist") and the recently-watched list
// ("loglist") of the main window. The node tree and the row order live in DeviceNodeRows; this control
// mirrors them into the list's rows (markup text, hidden state) and glides on the wheel. Rows are
// made only through AddNode (Add and AddAt refuse other elements, which would have no node). UI thread only.
class CamListUI : public CListUI, private DeviceNodeRows::Observer {
public:
    CamListUI();
    ~CamListUI() override;

    DeviceNodeRows& Rows() { return rows_; }
    DeviceNode* Root() const { return rows_.Root(); }

    DeviceNode* AddNode(const std::string& text, bool isGroup, const std::string& id, DeviceNode* parent);
    void SetChildVisible(DeviceNode* node, bool expanded) { rows_.SetChildVisible(node, expanded); }
    static std::pair<int, int> ExpanderRange(const DeviceNode* node) { return DeviceNodeRows::ExpanderRange(node); }
    DeviceNode* NodeAt(int row) const;
    int SetCameraText(DeviceNode* from, const std::string& deviceId, const std::string& text)
    {
        return rows_.SetCameraText(from, deviceId, text);
    }
    // The node of a row of this list (null for anything else).
    DeviceNode* NodeOf(CControlUI* row) const;
    CListLabelExElementUI* ElementOf(const DeviceNode* node);

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // A row leaves with its whole subtree, whose nodes are deleted.
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void DoEvent(TEventUI& event) override;

private:
    // DeviceNodeRows::Observer: the rows changed, the list follows.
    void RowsInserted(size_t first, size_t count) override;
    void RowsAboutToBeRemoved(size_t first, size_t count) override;
    void RowsRemoved() override {}
    void RowsChanged(size_t first, size_t last) override;
    void RowsAboutToBeReset() override {}
    void RowsReset() override;

    // rowName: the name every row of this list has (made once per batch of rows).
    static CListLabelExElementUI* MakeElement(DeviceNode* node, const QString& rowName);
    QString RowName() const;
    void ApplyRowState(size_t row);

    DeviceNodeRows rows_;
    SmoothScroll scroll_;
};
