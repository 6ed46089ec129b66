#include "ui/CHorizontalLayoutUI.h"

#include <QHBoxLayout>
#include <QWidget>

CHorizontalLayoutUI::CHorizontalLayoutUI()
    : CContainerUI(new QWidget)
{
    auto* layout = new QHBoxLayout(GetWidget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}
