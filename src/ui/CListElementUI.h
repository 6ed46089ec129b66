#pragma once

#include "ui/CControlUI.h"

class IListOwnerUI;

// An item of a list or combo: a control without a widget that its owner draws. A list row may carry
// a check box ("itemclickcheck" = true): a click on the row toggles it and the list raises
// "itemclickcheck" with the row as sender (wParam 1 ticked / 0 cleared), then "itemclick".
class CListElementUI : public CControlUI {
public:
    CListElementUI();
    ~CListElementUI() override;
    QString GetClass() const override { return QStringLiteral("ListElementUI"); }

    IListOwnerUI* GetOwner() const { return owner_; }
    void SetOwner(IListOwnerUI* owner) { owner_ = owner; }
    int GetIndex() const { return index_; }
    void SetIndex(int index) { index_ = index; }

    bool IsSelected() const;
    bool Select(bool select = true);

    CControlUI* GetParent() const override;
    RECT GetPos() const override;
    void Invalidate() override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const QString& name, const QString& value) override;

    bool IsCheckable() const { return checkable_; }
    void SetCheckable(bool checkable);
    bool GetCheck() const { return checked_; }
    void SetCheck(bool checked);

private:
    IListOwnerUI* owner_ = nullptr;
    int index_ = -1;
    bool checkable_ = false;
    bool checked_ = false;
};
