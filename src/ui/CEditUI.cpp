#include "ui/CEditUI.h"

#include "ui/CPaintManagerUI.h"

#include <QLineEdit>

CEditUI::CEditUI()
    : CEditUI(new QLineEdit)
{
}

CEditUI::CEditUI(QWidget* widget)
    : CLabelUI(widget)
{
}

void CEditUI::SetAttribute(const QString& name, const QString& value)
{
    if (name == "password")
        SetPasswordMode(value == "true");
    else if (name == "readonly")
        SetReadOnly(value == "true");
    else if (name == "maxchar")
        SetMaxChar(value.toInt());
    CLabelUI::SetAttribute(name, value);
}

void CEditUI::OnAttached()
{
    auto* edit = qobject_cast<QLineEdit*>(GetWidget());
    if (edit == nullptr || manager_ == nullptr)
        return;
    QObject::connect(edit, &QLineEdit::textEdited, manager_->Hub(), [this] { manager_->SendNotify(this, QStringLiteral("textchanged")); });
    QObject::connect(edit, &QLineEdit::returnPressed, manager_->Hub(), [this] { manager_->SendNotify(this, QStringLiteral("return")); });
}

void CEditUI::SetPasswordMode(bool password)
{
    if (auto* edit = qobject_cast<QLineEdit*>(GetWidget()))
        edit->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
}

bool CEditUI::IsPasswordMode() const
{
    auto* edit = qobject_cast<QLineEdit*>(GetWidget());
    return edit && edit->echoMode() == QLineEdit::Password;
}

void CEditUI::SetReadOnly(bool readOnly)
{
    if (auto* edit = qobject_cast<QLineEdit*>(GetWidget()))
        edit->setReadOnly(readOnly);
}

bool CEditUI::IsReadOnly() const
{
    auto* edit = qobject_cast<QLineEdit*>(GetWidget());
    return edit && edit->isReadOnly();
}

void CEditUI::SetMaxChar(int max)
{
    if (auto* edit = qobject_cast<QLineEdit*>(GetWidget()))
        edit->setMaxLength(max > 0 ? max : 32767);
}
