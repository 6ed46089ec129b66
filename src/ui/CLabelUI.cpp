#include "ui/CLabelUI.h"

#include <QLabel>

CLabelUI::CLabelUI()
    : CLabelUI(new QLabel)
{
}

CLabelUI::CLabelUI(QWidget* widget)
{
    AdoptWidget(widget);
}

void CLabelUI::SetAttribute(const QString& name, const QString& value)
{
    auto* label = qobject_cast<QLabel*>(GetWidget());
    if (label && name == "align") {
        Qt::Alignment h = value == "center" ? Qt::AlignHCenter : value == "right" ? Qt::AlignRight : Qt::AlignLeft;
        label->setAlignment(h | Qt::AlignVCenter);
    } else if (label && name == "showhtml") {
        label->setTextFormat(value == "true" ? Qt::RichText : Qt::PlainText);
    }
    CControlUI::SetAttribute(name, value);
}
