#pragma once

#include <string>

class CComboUI;
class CListLabelElementUI;
class CPaintManagerUI;

// Reads and writes of a page's controls by their layout names, and the combo items that carry a
// record's id as user data, shared by the pages of the sub-account manager. UI thread only.
class FormControls {
public:
    // The text of the named control; empty when the layout has no such control.
    static std::string Text(const CPaintManagerUI& manager, const char* name);
    static void SetText(CPaintManagerUI& manager, const char* name, const std::string& text);

    // A combo item showing `text` with `id` as its user data.
    static CListLabelElementUI* ComboItem(const std::string& text, const std::string& id);
    // The user data of the combo's chosen item; empty with no combo or nothing chosen.
    static std::string SelectedId(const CComboUI* combo);
};
