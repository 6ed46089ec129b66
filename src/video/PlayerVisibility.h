#pragma once

#include <QObject>

class QTimer;
class QWidget;

// Tells a player whether the window it draws into can be seen, so that a hidden one decodes and draws
// nothing. It follows the window's show and hide events (a layout leaving the cell out, another cell
// taking the screen and hiding the main window, the main window minimised: Qt sends each of these to
// every shown child) and settles a moment after the last, so that a cell moved to full screen, which
// is hidden and shown again within one step, is not told twice. UI thread only; lives as long as the
// window (a child of it).
class PlayerVisibility : public QObject {
public:
    static constexpr int kSettleMs = 50;

    PlayerVisibility(QWidget* window, int playerId);

    // Can the window be seen now: shown with all its ancestors, and its top window not minimised.
    static bool IsSeen(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Report();

    QWidget* window_;
    int playerId_;
    QTimer* settle_;
};
