#pragma once

#include "ui/CVerticalLayoutUI.h"
#include "ui/IListOwnerUI.h"

#include <QStringList>

#include <vector>

class CListElementUI;
class ListModel;
class ListView;

// A list of rows (class "ListUI" in the layouts: <widget class="ListUI" name="...">). Rows are list
// elements (CListLabelElementUI, CListTextElementUI) owned by the list and drawn by it; with markup
// on ("itemshowhtml" = true, or SetShowHtml) row texts use the inline markup of MarkupText.
//
// Notifications: "itemclick" (sender = the row, on the press, before the selection moves),
// "itemselect" (sender = the list, wParam = new index, lParam = old), "itemactivate" (double click,
// sender = the row), "itemrclick" then "menu" (right press; "menu" only when the row's context menu
// is on), and "menu" from the list itself when its own context menu is on and no row is hit.
// Attributes: "itemshowhtml", "itemheight", "header" ("title:width|title:width"), "menu".
// A row hidden with SetVisible(false) takes no space. Scrolling is per pixel.
class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
public:
    CListUI();
    ~CListUI() override;
    QString GetClass() const override { return QStringLiteral("ListUI"); }
    void SetAttribute(const QString& name, const QString& value) override;
    void DoEvent(TEventUI& event) override;
    void OnAttached() override;

    int GetCount() const override;
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    // Only list elements are accepted (false otherwise); the list owns them from then on.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // Remove / RemoveAt delete the row.
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;
    // Replaces every row at once (the old rows are deleted): one reset of the view instead of a
    // change per row, for lists rebuilt whole. Rows not visible go in hidden.
    void ReplaceAll(std::vector<CListElementUI*> elements);

    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false) override;
    void EnsureVisible(int index);

    void SetShowHtml(bool show);
    bool IsShowHtml() const { return showHtml_; }
    void SetItemHeight(int height);
    int GetItemHeight() const { return itemHeight_; }
    void SetHeaderColumns(const QStringList& titles, const QList<int>& widths = {});
    int GetColumnCount() const;

    // Scroll position and range in pixels (cx horizontal, cy vertical).
    SIZE GetScrollPos() const;
    SIZE GetScrollRange() const;
    void SetScrollPos(SIZE pos);
    void LineUp();
    void LineDown();

    void ElementChanged(CListElementUI* element) override;
    CControlUI* ElementParent() override { return body_; }
    RECT ElementPos(const CListElementUI* element) const override;

    ListView* View() const;
    CListElementUI* ElementAt(int index) const;

private:
    void Reindex(int from);
    std::vector<CListElementUI*> items_;
    std::vector<bool> hidden_;
    ListModel* model_;
    CControlUI* body_;  // the parent of the rows, as the windows expect (row → body → list)
    bool showHtml_ = false;
    int itemHeight_ = 24;
};
