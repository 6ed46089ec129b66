#pragma once

#include "ui/SkinDropDown.h"

#include <QComboBox>

// The toolkit's combo box. Its drop-down is built when it first shows, not with the window (about a
// millisecond of the log-in window's start for the remembered accounts), and then:
// - takes the style sheet's settings for drop-downs. Qt applies them to a drop-down on a style change
//   of its combo box; under the application's style sheet alone none comes, and the drop-down sized
//   its rows for less than its height (a scroll arrow over the last row);
// - opens inside the combo box's window from left to right where it fits: a combo box near the
//   window's right edge would otherwise open its list past that edge.
class SkinComboBox : public SkinDropDown<QComboBox> {
public:
    using SkinDropDown::SkinDropDown;

    void showPopup() override;

private:
    bool dropDownPrepared_ = false;
};
