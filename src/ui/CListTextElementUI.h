#pragma once

#include "ui/CListLabelElementUI.h"

#include <QStringList>

// A row with one text per column of the list's header.
class CListTextElementUI : public CListLabelElementUI {
public:
    QString GetClass() const override { return QStringLiteral("ListTextElementUI"); }
    QString GetText(int column) const
    {
        if (column == 0)
            return CListLabelElementUI::GetText();
        return column > 0 && column < columns_.size() ? columns_[column] : QString();
    }
    void SetText(int column, const QString& text);
    using CListLabelElementUI::GetText;
    using CListLabelElementUI::SetText;

private:
    QStringList columns_;
};
