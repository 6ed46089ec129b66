#include "ui/SkinComboBox.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QEvent>

namespace {

class DropDownInWindow : public QObject {
public:
    DropDownInWindow(QComboBox* combo, QWidget* dropDown) : QObject(dropDown), combo_(combo)
    {
        dropDown->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            KeepInside(static_cast<QWidget*>(watched));
        return false;
    }

private:
    void KeepInside(QWidget* dropDown) const
    {
        const QWidget* window = combo_->window();
        const QRect area(window->mapToGlobal(QPoint(0, 0)), window->size());
        QRect at = dropDown->geometry();
        if (at.width() > area.width())
            return;
        if (at.right() > area.right())
            at.moveRight(area.right());
        if (at.left() < area.left())
            at.moveLeft(area.left());
        if (at.topLeft() != dropDown->pos())
            dropDown->move(at.topLeft());
    }

    QComboBox* combo_;
};

}  // namespace

void SkinComboBox::showPopup()
{
    if (!dropDownPrepared_) {
        dropDownPrepared_ = true;
        QEvent change(QEvent::StyleChange);
        QCoreApplication::sendEvent(this, &change);
        if (QWidget* dropDown = view()->window(); dropDown != window())
            new DropDownInWindow(this, dropDown);
    }
    QComboBox::showPopup();
}
