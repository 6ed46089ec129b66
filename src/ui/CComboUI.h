#pragma once

#include "ui/CContainerUI.h"
#include "ui/IListOwnerUI.h"

#include <vector>

class CListElementUI;

// A drop-down list (QComboBox in the layouts) whose items are list elements (CListLabelElementUI
// with their "text"). Sends "itemselect" (wParam = new index, lParam = old) when the selection
// changes. Items that the layout itself lists become label elements too.
class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    explicit CComboUI(QWidget* widget);
    ~CComboUI() override;
    QString GetClass() const override { return QStringLiteral("ComboUI"); }
    void OnAttached() override;

    int GetCount() const override;
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    // Only list elements are accepted; the combo owns them.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    int GetCurSel() const override;
    // -1 clears the selection without an "itemselect".
    bool SelectItem(int index, bool takeFocus = false) override;
    void ElementChanged(CListElementUI* element) override;
    CControlUI* ElementParent() override { return this; }
    RECT ElementPos(const CListElementUI* element) const override;

private:
    void Reindex();
    std::vector<CListElementUI*> items_;
    int current_ = -1;
};
