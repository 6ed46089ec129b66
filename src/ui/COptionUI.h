#pragma once

#include "ui/CButtonUI.h"

// A button that stays selected (a checkable QPushButton or a QRadioButton in the layouts). Options
// with the same "group" attribute exclude each other. A user click sends "click" while the option
// still has its old state, then "selectchanged" when the state changed.
class COptionUI : public CButtonUI {
public:
    COptionUI();
    explicit COptionUI(QWidget* widget);
    QString GetClass() const override { return QStringLiteral("OptionUI"); }
    void SetAttribute(const QString& name, const QString& value) override;
    void OnAttached() override;

    bool IsSelected() const;
    void Selected(bool selected, bool triggerEvent = true);
    QString GetGroup() const { return group_; }
    void SetGroup(const QString& group);
    void SetSelectedImage(const QString& image) { SetAttribute("selectedimage", image); }

private:
    QString group_;
    bool clickSent_ = false;
};
