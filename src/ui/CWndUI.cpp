#include "ui/CWndUI.h"

#include "ui/WidgetHandles.h"
#include "ui/WindowRegistry.h"

#include <QEvent>
#include <QWidget>

// The placeholder widget standing in the layout; it moves the hosted widget with it.
class WndHostWidget : public QWidget {
public:
    explicit WndHostWidget(CWndUI* control) : control_(control) {}
    ~WndHostWidget() override
    {
        // Hand the hosted widget back before Qt deletes children: its owner destroys it.
        if (control_ && control_->hostedWidget_) {
            control_->hostedWidget_->hide();
            control_->hostedWidget_->setParent(nullptr);
        }
    }
    void Detach() { control_ = nullptr; }

protected:
    bool event(QEvent* event) override
    {
        if (control_) {
            if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
                control_->PlaceHosted();
            else if (event->type() == QEvent::Show)
                control_->SetInternVisible(true);
            else if (event->type() == QEvent::Hide)
                control_->SetInternVisible(false);
        }
        return QWidget::event(event);
    }

private:
    CWndUI* control_;
};

CWndUI::CWndUI()
{
    AdoptWidget(new WndHostWidget(this));
}

CWndUI::~CWndUI()
{
    if (auto* host = dynamic_cast<WndHostWidget*>(GetWidget())) {
        if (hostedWidget_) {
            hostedWidget_->hide();
            hostedWidget_->setParent(nullptr);
        }
        host->Detach();
    }
}

bool CWndUI::Attach(HWND hwnd)
{
    QWidget* widget = IsWindow(hwnd) ? WidgetHandles::Widget(hwnd) : nullptr;
    if (widget == nullptr || GetWidget() == nullptr)
        return false;
    hosted_ = hwnd;
    hostedWidget_ = widget;
    widget->setParent(GetWidget());
    widget->setWindowFlags(Qt::Widget);
    PlaceHosted();
    widget->setVisible(GetWidget()->isVisible() || !GetWidget()->isHidden());
    return true;
}

void CWndUI::PlaceHosted()
{
    if (hostedWidget_ && GetWidget())
        hostedWidget_->setGeometry(GetWidget()->rect());
}

void CWndUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    PlaceHosted();
}

void CWndUI::SetInternVisible(bool visible)
{
    CControlUI::SetInternVisible(visible);
    if (hostedWidget_)
        hostedWidget_->setVisible(visible);
}
