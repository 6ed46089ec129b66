#include "ui/CCheckBoxUI.h"

#include "ui/SkinButton.h"

#include <QCheckBox>

CCheckBoxUI::CCheckBoxUI()
    : CCheckBoxUI(new SkinButton<QCheckBox>)
{
}

CCheckBoxUI::CCheckBoxUI(QWidget* widget)
    : COptionUI(widget)
{
}
