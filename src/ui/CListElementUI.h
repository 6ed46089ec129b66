#pragma once

#include "ui/CControlUI.h"

class IListOwnerUI;

// An item of a list or combo: a control without a widget that its owner draws.
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

private:
    IListOwnerUI* owner_ = nullptr;
    int index_ = -1;
};
