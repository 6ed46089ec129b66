#pragma once

#include "ui/CLabelUI.h"

struct SkinButtonState;

// A push button (QPushButton / QToolButton in the layouts). Sends "click". Picture attributes
// "normalimage", "hotimage", "pushedimage", "disabledimage", "foreimage" take image descriptions.
class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    explicit CButtonUI(QWidget* widget);
    QString GetClass() const override { return QStringLiteral("ButtonUI"); }
    void SetAttribute(const QString& name, const QString& value) override;
    void OnAttached() override;

    void SetNormalImage(const QString& image) { SetAttribute("normalimage", image); }
    void SetHotImage(const QString& image) { SetAttribute("hotimage", image); }
    void SetPushedImage(const QString& image) { SetAttribute("pushedimage", image); }
    void SetDisabledImage(const QString& image) { SetAttribute("disabledimage", image); }
    QString GetNormalImage() const { return GetAttribute("normalimage"); }
    QString GetHotImage() const { return GetAttribute("hotimage"); }
    QString GetDisabledImage() const { return GetAttribute("disabledimage"); }

protected:
    SkinButtonState* Skin() const;
};
