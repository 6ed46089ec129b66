#pragma once

#include <QWidget>

class CWindowWnd;

// The Qt widget of a toolkit window. Turns its own window events (close, resize, state, activation,
// hover) into the window's messages. UI thread only.
class WindowWidget : public QWidget {
public:
    WindowWidget(CWindowWnd* window, QWidget* parent, Qt::WindowFlags flags);
    ~WindowWidget() override;

    CWindowWnd* Window() const { return window_; }
    void Detach() { window_ = nullptr; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    CWindowWnd* window_;
};
