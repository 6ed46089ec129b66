#pragma once

#include "ui/CLabelUI.h"

// A one-line edit (QLineEdit in the layouts). Sends "textchanged" and, on Enter, "return".
// Attributes: "password", "readonly", "maxchar".
class CEditUI : public CLabelUI {
public:
    CEditUI();
    explicit CEditUI(QWidget* widget);
    QString GetClass() const override { return QStringLiteral("EditUI"); }
    void SetAttribute(const QString& name, const QString& value) override;
    void OnAttached() override;

    void SetPasswordMode(bool password);
    bool IsPasswordMode() const;
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    void SetMaxChar(int max);
};
