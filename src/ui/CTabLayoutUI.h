#pragma once

#include "ui/CContainerUI.h"

// Pages of which one is shown (a QStackedWidget or QTabWidget in the layouts). Sends "tabselect"
// (wParam = new page, lParam = old page) when the page changes.
class CTabLayoutUI : public CContainerUI {
public:
    CTabLayoutUI();
    explicit CTabLayoutUI(QWidget* widget);
    QString GetClass() const override { return QStringLiteral("TabLayoutUI"); }
    void OnAttached() override;
    void SetAttribute(const QString& name, const QString& value) override;

    int GetCount() const override;
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool AddAt(CControlUI* control, int index) override;

    int GetCurSel() const;
    bool SelectItem(int index);
    bool SelectItem(CControlUI* page);

private:
    int current_ = 0;
};
