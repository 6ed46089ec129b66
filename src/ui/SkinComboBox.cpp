#include "ui/SkinComboBox.h"

#include <QCoreApplication>
#include <QEvent>

void SkinComboBox::showPopup()
{
    if (!dropDownStyled_) {
        dropDownStyled_ = true;
        QEvent change(QEvent::StyleChange);
        QCoreApplication::sendEvent(this, &change);
    }
    QComboBox::showPopup();
}
