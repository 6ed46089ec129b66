#include "video/WallShortcuts.h"

#include "app/LocalConfig.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CCPlayToolBarWnd.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CellNavigation.h"
#include "video/CvyrProDlg.h"
#include "video/WallLayout.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

bool IsTextField(const QWidget* widget)
{
    if (widget == nullptr)
        return false;
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->isEditable();
    return qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

// A list keeps its own moves, its Enter (which activates a row) and its Delete; a slider or a combo
// box its moves.
bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}

bool NavigatesByKeys(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(w) != nullptr || qobject_cast<const QAbstractSlider*>(w) != nullptr ||
            qobject_cast<const QComboBox*>(w) != nullptr)
            return true;
    return false;
}

}  // namespace

WallShortcuts::WallShortcuts(CvyrProDlg* wall, QWidget* window) : QObject(wall), wall_(wall), window_(window)
{
    qApp->installEventFilter(this);
}

WallShortcuts::~WallShortcuts()
{
    qApp->removeEventFilter(this);
}

bool WallShortcuts::InScope(QWidget* widget) const
{
    if (widget == nullptr)
        return false;
    if (widget == wall_ || wall_->isAncestorOf(widget))
        return true;
    // A cell of this wall out in full screen is a window of its own.
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget())
        if (const auto* panel = dynamic_cast<const CDlgPanel*>(w))
            return panel->Wall() == wall_;
    return window_ != nullptr && widget->window() == window_->window();
}

CDlgPanel* WallShortcuts::SelectedPanel() const
{
    const int cell = wall_->SelectedCell();
    return cell >= 0 && cell < CvyrProDlg::kCellCount ? wall_->Panel(cell) : nullptr;
}

bool WallShortcuts::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // While the screen is locked every key belongs to the lock.
    if (LocalConfig::Instance()->IsScreenLocked() || !InScope(widget))
        return false;
    return HandleKey(*static_cast<QKeyEvent*>(event), QApplication::focusWidget());
}

bool WallShortcuts::HandleKey(const QKeyEvent& key, QWidget* focus)
{
    const int code = key.key();
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (code == Qt::Key_F11 && modifiers == Qt::NoModifier) {
        ::SendMessage(wall_->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
        return true;
    }
    if (IsTextField(focus) || (IsNavigationKey(code) && NavigatesByKeys(focus)))
        return false;
    if (modifiers == Qt::ControlModifier) {
        switch (code) {
        case Qt::Key_1: ::SendMessage(wall_->GetHWND(), WM_LAYOUT_1, 0, 0); return true;
        case Qt::Key_2: ::SendMessage(wall_->GetHWND(), WM_LAYOUT_4, 0, 0); return true;
        case Qt::Key_3: ::SendMessage(wall_->GetHWND(), WM_LAYOUT_9, 0, 0); return true;
        case Qt::Key_4: ::SendMessage(wall_->GetHWND(), WM_LAYOUT_16, 0, 0); return true;
        case Qt::Key_S:
        case Qt::Key_R: {
            CDlgPanel* panel = SelectedPanel();
            CCPlayToolBarWnd* toolbar = panel != nullptr && panel->Inner() ? panel->Inner()->Toolbar() : nullptr;
            if (toolbar != nullptr)
                toolbar->PressButton(code == Qt::Key_S ? "btn_snapshot" : "btn_record");
            return true;
        }
        default:
            return false;
        }
    }
    if (modifiers != Qt::NoModifier)
        return false;
    switch (code) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        MoveSelection(code);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (CDlgPanel* panel = SelectedPanel())
            panel->ToggleFullScreen();
        return true;
    case Qt::Key_Delete:
        if (CDlgPanel* panel = SelectedPanel(); panel != nullptr && panel->IsActive())
            panel->Stop();
        return true;
    default:
        return false;
    }
}

void WallShortcuts::MoveSelection(int key)
{
    const CellNavigation::Direction direction = key == Qt::Key_Left    ? CellNavigation::Direction::Left
                                                : key == Qt::Key_Right ? CellNavigation::Direction::Right
                                                : key == Qt::Key_Up    ? CellNavigation::Direction::Up
                                                                       : CellNavigation::Direction::Down;
    const QRect area = wall_->rect();
    const auto shown = WallLayout::Arrange(wall_->LayoutCount(), wall_->SelectedCell(), area.width(), area.height());
    const int cell = CellNavigation::Neighbour(shown, wall_->SelectedCell(), direction);
    if (cell < 0)
        return;
    // As a click on the cell, but at once: a second arrow typed before the queue runs moves on from here.
    LocalConfig::Instance()->SetCurrentCameraText(wall_->Panel(cell)->DeviceId());
    ::SendMessage(wall_->GetHWND(), WM_SELECT_CELL, 0, cell);
}
