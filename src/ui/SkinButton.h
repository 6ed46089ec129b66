#pragma once

#include "ui/SkinImage.h"

#include <QAbstractButton>
#include <QPainter>
#include <QStyleOptionButton>

#include <functional>

// What the toolkit adds to Qt's buttons: state pictures from the skin ("normalimage", "hotimage",
// "pushedimage", "disabledimage", "selectedimage", "foreimage"), and a hook that runs before a
// checkable button changes its state, so "click" is reported with the state the user saw.
struct SkinButtonState {
    SkinImage normal, hot, pushed, disabled, selected, fore;
    std::function<void()> beforeToggle;
    bool HasImages() const { return !normal.IsNull() || !hot.IsNull() || !pushed.IsNull() || !selected.IsNull(); }
};

template <typename Base>
class SkinButton : public Base, public SkinButtonState {
public:
    explicit SkinButton(QWidget* parent = nullptr)
        : Base(parent)
    {
        this->setAttribute(Qt::WA_Hover);
    }

protected:
    // Only a user's click goes through the hook; an exclusive group also calls nextCheckState on
    // the option it clears.
    void nextCheckState() override
    {
        if (userClick_ && beforeToggle)
            beforeToggle();
        Base::nextCheckState();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        userClick_ = true;
        Base::mouseReleaseEvent(event);
        userClick_ = false;
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        userClick_ = true;
        Base::keyReleaseEvent(event);
        userClick_ = false;
    }

    void paintEvent(QPaintEvent* event) override
    {
        if (!HasImages()) {
            Base::paintEvent(event);
            return;
        }
        QPainter painter(this);
        const SkinImage* image = &normal;
        if (!this->isEnabled() && !disabled.IsNull())
            image = &disabled;
        else if (this->isDown() && !pushed.IsNull())
            image = &pushed;
        else if (this->isChecked() && !selected.IsNull())
            image = &selected;
        else if (this->underMouse() && !hot.IsNull())
            image = &hot;
        image->Draw(painter, this->rect());
        if (!fore.IsNull())
            fore.Draw(painter, this->rect());
        if (!this->text().isEmpty()) {
            painter.setPen(this->palette().color(this->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
            painter.drawText(this->rect(), Qt::AlignCenter, this->text());
        }
    }

private:
    bool userClick_ = false;
};
