#pragma once

#include <QDateTimeEdit>

#include <type_traits>

class QPaintEvent;
class QWidget;

// Paints the theme's drop-down arrow, a chevron in the widget's text colour, centred on the drop-down
// button that the style sheet lays out for `widget`.
void PaintDropDownArrow(QWidget& widget);

// The toolkit's widgets with a drop-down (combo boxes, date pickers with a calendar) draw their arrow
// themselves instead of taking a picture from the style sheet. Qt reads a style sheet's picture through
// its image plugins (loading every one of them) or, for a vector picture, through its SVG module:
// either costs the log-in window's combo box about a millisecond before the window's first paint,
// where a few strokes cost microseconds.
template <typename Base>
class SkinDropDown : public Base {
public:
    using Base::Base;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        Base::paintEvent(event);
        if constexpr (std::is_base_of_v<QDateTimeEdit, Base>) {
            if (!this->calendarPopup())
                return;
        }
        PaintDropDownArrow(*this);
    }
};
