#pragma once

#include <QObject>
#include <QPointer>

class CDlgPanel;
class CvyrProDlg;
class QKeyEvent;
class QWidget;

// The keyboard of one wall: arrows move the selected cell, Enter steps the selected cell's full
// screen (as its toolbar button does), Delete closes the selected cell, Ctrl+1/2/3/4 pick the 1, 4, 9
// and 16 layouts, Ctrl+S takes a snapshot of the selected cell and Ctrl+R starts or stops its
// recording (as the toolbar buttons do, so the account's rights and the cell's state apply), F11
// toggles the wall's full screen. Escape keeps its own handling (the window and the cells).
//
// It hears the keys of its window (`window`: the main window, or a wall window of its own), of the
// wall in full screen and of its cells out in full screen. Keys a text field or a list needs stay
// theirs: with a text field focused only F11 acts; with a list, a slider or a combo box focused its
// arrows, Enter and Delete stay its own. Nothing acts while the screen is locked. A child of the
// wall: one per wall.
class WallShortcuts : public QObject {
public:
    WallShortcuts(CvyrProDlg* wall, QWidget* window);
    ~WallShortcuts() override;

    // Performs the shortcut of this key, if any, for keys typed while `focus` has the focus; false
    // when the key is not a shortcut here.
    bool HandleKey(const QKeyEvent& key, QWidget* focus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InScope(QWidget* widget) const;
    CDlgPanel* SelectedPanel() const;
    void MoveSelection(int key);

    CvyrProDlg* wall_;
    QPointer<QWidget> window_;
};
