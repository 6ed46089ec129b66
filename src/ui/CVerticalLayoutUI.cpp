#include "ui/CVerticalLayoutUI.h"

#include <QVBoxLayout>
#include <QWidget>

CVerticalLayoutUI::CVerticalLayoutUI()
    : CContainerUI(new QWidget)
{
    auto* layout = new QVBoxLayout(GetWidget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}
