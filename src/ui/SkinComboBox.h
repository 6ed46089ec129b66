#pragma once

#include <QComboBox>

// The toolkit's combo box: its drop-down takes the style sheet's settings for drop-downs before it
// first shows. Qt applies them to a drop-down on a style change of its combo box; under the
// application's style sheet alone none comes, and the drop-down, built when it first shows, sized
// its rows for less than its height (a scroll arrow over the last row). A style sheet of the combo
// box's own would bring the change too, but at once: Qt then builds the drop-down as the window is
// built (about a millisecond of the log-in window's start for the remembered accounts).
class SkinComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;

    void showPopup() override;

private:
    bool dropDownStyled_ = false;
};
