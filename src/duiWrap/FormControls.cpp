#include "duiWrap/FormControls.h"

#include "ui/CComboUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/CPaintManagerUI.h"

std::string FormControls::Text(const CPaintManagerUI& manager, const char* name)
{
    CControlUI* control = manager.FindControl(QString::fromUtf8(name));
    return control ? control->GetText().toStdString() : std::string();
}

void FormControls::SetText(CPaintManagerUI& manager, const char* name, const std::string& text)
{
    if (CControlUI* control = manager.FindControl(QString::fromUtf8(name)))
        control->SetText(QString::fromStdString(text));
}

CListLabelElementUI* FormControls::ComboItem(const std::string& text, const std::string& id)
{
    auto* item = new CListLabelElementUI;
    item->SetText(QString::fromStdString(text));
    item->SetUserData(QString::fromStdString(id));
    return item;
}

std::string FormControls::SelectedId(const CComboUI* combo)
{
    CControlUI* item = combo ? combo->GetItemAt(combo->GetCurSel()) : nullptr;
    return item ? item->GetUserData().toStdString() : std::string();
}
