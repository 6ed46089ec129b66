#pragma once

class CControlUI;
class CListElementUI;

// What a list element knows of the list or combo holding it.
class IListOwnerUI {
public:
    virtual ~IListOwnerUI() = default;
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index, bool takeFocus = false) = 0;
    // An element changed its text, visibility, enabled state or attributes: redraw / relayout it.
    virtual void ElementChanged(CListElementUI* element) = 0;
    // The control that is the element's parent (a list's body, or the combo).
    virtual CControlUI* ElementParent() = 0;
    // The element's rectangle in its window's client coordinates (empty when not shown).
    virtual struct RECT ElementPos(const CListElementUI* element) const = 0;
};
