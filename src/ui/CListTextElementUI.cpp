#include "ui/CListTextElementUI.h"

void CListTextElementUI::SetText(int column, const QString& text)
{
    if (column < 0)
        return;
    while (columns_.size() <= column)
        columns_.append(QString());
    columns_[column] = text;
    if (column == 0)
        CListLabelElementUI::SetText(text);
    else
        Invalidate();
}
