#include "ui/CControlUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/SkinImage.h"

#include <QAbstractButton>
#include <QColor>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVariant>
#include <QWidget>

namespace {

constexpr const char* kControlProperty = "kelvue_control";

// "#FFRRGGBB" (alpha first, as the layouts write colours) or any name QColor knows.
QString CssColor(const QString& value)
{
    QString v = value.trimmed();
    if (v.startsWith('#') && v.size() == 9) {
        QColor c(QStringLiteral("#") + v.mid(3));
        c.setAlpha(v.mid(1, 2).toInt(nullptr, 16));
        return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
    }
    return v;
}

bool IsTrue(const QString& value)
{
    return value.compare("true", Qt::CaseInsensitive) == 0 || value == "1";
}

// Turns the left mouse button's presses and releases on a control's widget into its low-level events.
class ControlEventFilter : public QObject {
public:
    ControlEventFilter(QWidget* widget, std::function<bool(int type, QPoint pos)> deliver)
        : QObject(widget), deliver_(std::move(deliver))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        int type = 0;
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            type = UIEVENT_BUTTONDOWN;
        else if (event->type() == QEvent::MouseButtonRelease)
            type = UIEVENT_BUTTONUP;
        if (type == 0)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        return !deliver_(type, mouse->position().toPoint());
    }

private:
    std::function<bool(int, QPoint)> deliver_;
};

}  // namespace

CControlUI::CControlUI() = default;

CControlUI::CControlUI(QWidget* widget)
{
    AdoptWidget(widget);
}

CControlUI::~CControlUI()
{
    if (managerAlive_)
        manager_->RemoveControl(this);
    QObject::disconnect(widgetGone_);
    if (widget_) {
        widget_->setProperty(kControlProperty, QVariant());
        delete widget_.data();
    }
}

void CControlUI::AdoptWidget(QWidget* widget)
{
    widget_ = widget;
    widget->setProperty(kControlProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    // The control dies with its widget (when its window or parent widget goes away).
    widgetGone_ = QObject::connect(widget, &QObject::destroyed, [this] {
        widget_ = nullptr;
        delete this;
    });
}

CControlUI* CControlUI::FromWidget(const QWidget* widget)
{
    if (widget == nullptr)
        return nullptr;
    QVariant value = widget->property(kControlProperty);
    return value.isValid() ? reinterpret_cast<CControlUI*>(value.value<quintptr>()) : nullptr;
}

CControlUI* CControlUI::NearestControl(const QWidget* widget)
{
    for (; widget != nullptr; widget = widget->parentWidget())
        if (CControlUI* control = FromWidget(widget))
            return control;
    return nullptr;
}

QString CControlUI::GetClass() const
{
    return QStringLiteral("ControlUI");
}

CPaintManagerUI* CControlUI::GetManager() const
{
    return manager_;
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent)
{
    manager_ = manager;
    managerAlive_ = manager ? manager->Hub() : nullptr;
    if (!widget_)
        parent_ = parent;
}

CControlUI* CControlUI::GetParent() const
{
    if (widget_)
        return NearestControl(widget_->parentWidget());
    return parent_;
}

QString CControlUI::GetName() const
{
    return widget_ ? widget_->objectName() : name_;
}

void CControlUI::SetName(const QString& name)
{
    if (widget_)
        widget_->setObjectName(name);
    name_ = name;
}

QString CControlUI::GetText() const
{
    QWidget* w = widget_;
    if (w == nullptr)
        return text_;
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    if (auto* picker = qobject_cast<QDateTimeEdit*>(w))
        return picker->text();
    return w->property("text").toString();
}

void CControlUI::SetText(const QString& text)
{
    QWidget* w = widget_;
    if (w == nullptr) {
        text_ = text;
        Invalidate();
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(w))
        combo->setCurrentText(text);
    else
        w->setProperty("text", text);
}

QString CControlUI::GetToolTip() const
{
    return widget_ ? widget_->toolTip() : toolTip_;
}

void CControlUI::SetToolTip(const QString& text)
{
    if (widget_)
        widget_->setToolTip(text);
    toolTip_ = text;
}

bool CControlUI::IsVisible() const
{
    return widget_ ? !widget_->isHidden() : visible_;
}

void CControlUI::SetVisible(bool visible)
{
    if (widget_)
        widget_->setVisible(visible);
    visible_ = visible;
    Invalidate();
}

void CControlUI::SetInternVisible(bool) {}

bool CControlUI::IsEnabled() const
{
    return widget_ ? widget_->isEnabled() : enabled_;
}

void CControlUI::SetEnabled(bool enabled)
{
    if (widget_)
        widget_->setEnabled(enabled);
    enabled_ = enabled;
    Invalidate();
}

bool CControlUI::IsFocused() const
{
    return widget_ && widget_->hasFocus();
}

void CControlUI::SetFocus()
{
    if (widget_)
        widget_->setFocus(Qt::OtherFocusReason);
}

RECT CControlUI::GetPos() const
{
    RECT rc;
    if (!widget_)
        return rc;
    QWidget* root = manager_ && manager_->GetRootWidget() ? manager_->GetRootWidget() : widget_->window();
    QPoint topLeft = widget_ == root || !root->isAncestorOf(widget_) ? QPoint(0, 0) : widget_->mapTo(root, QPoint(0, 0));
    rc.left = topLeft.x();
    rc.top = topLeft.y();
    rc.right = rc.left + widget_->width();
    rc.bottom = rc.top + widget_->height();
    return rc;
}

void CControlUI::SetPos(RECT rc, bool)
{
    if (!widget_)
        return;
    QPoint topLeft(rc.left, rc.top);
    QWidget* root = manager_ ? manager_->GetRootWidget() : nullptr;
    if (root && widget_->parentWidget() && widget_->parentWidget() != root && root->isAncestorOf(widget_))
        topLeft = widget_->parentWidget()->mapFrom(root, topLeft);
    widget_->setGeometry(QRect(topLeft, QSize(rc.right - rc.left, rc.bottom - rc.top)));
}

int CControlUI::GetWidth() const
{
    RECT rc = GetPos();
    return rc.right - rc.left;
}

int CControlUI::GetHeight() const
{
    RECT rc = GetPos();
    return rc.bottom - rc.top;
}

int CControlUI::GetFixedWidth() const
{
    if (!widget_)
        return 0;
    return widget_->minimumWidth() == widget_->maximumWidth() ? widget_->maximumWidth() : 0;
}

void CControlUI::SetFixedWidth(int cx)
{
    if (widget_)
        widget_->setFixedWidth(cx);
}

int CControlUI::GetFixedHeight() const
{
    if (!widget_)
        return 0;
    return widget_->minimumHeight() == widget_->maximumHeight() ? widget_->maximumHeight() : 0;
}

void CControlUI::SetFixedHeight(int cy)
{
    if (widget_)
        widget_->setFixedHeight(cy);
}

void CControlUI::SetAttribute(const QString& name, const QString& value)
{
    attributes_[name] = value;
    if (name == "text")
        SetText(value);
    else if (name == "tooltip")
        SetToolTip(value);
    else if (name == "visible")
        SetVisible(IsTrue(value));
    else if (name == "enabled")
        SetEnabled(IsTrue(value));
    else if (name == "name")
        SetName(value);
    else if (name == "userdata")
        SetUserData(value);
    else if (name == "tag")
        SetTag(value.toULongLong());
    else if (name == "width")
        SetFixedWidth(value.toInt());
    else if (name == "height")
        SetFixedHeight(value.toInt());
    else if (name == "menu")
        SetContextMenuUsed(IsTrue(value));
    else if (widget_ && (name == "bkcolor" || name == "textcolor" || name == "bkimage")) {
        // Colours and the background picture become the widget's own style sheet.
        QString sheet;
        if (attributes_.contains("bkcolor"))
            sheet += QStringLiteral("background-color:%1;").arg(CssColor(attributes_["bkcolor"]));
        if (attributes_.contains("textcolor"))
            sheet += QStringLiteral("color:%1;").arg(CssColor(attributes_["textcolor"]));
        if (!attributes_.value("bkimage").isEmpty()) {  // an empty picture clears it
            SkinImage image = SkinImage::Parse(attributes_["bkimage"]);
            sheet += QStringLiteral("border-image:url(%1) %2 %3 %4 %5 stretch stretch;")
                         .arg(CPaintManagerUI::GetResourceFile(image.file))
                         .arg(image.cornerTop).arg(image.cornerRight).arg(image.cornerBottom).arg(image.cornerLeft);
        }
        // Scoped to this widget by name, so children keep the theme; an unnamed widget takes the
        // plain declarations (which Qt applies to the widget itself).
        const QString name = widget_->objectName();
        widget_->setStyleSheet(name.isEmpty() ? sheet : QStringLiteral("#%1{%2}").arg(name, sheet));
    }
    Invalidate();
}

QString CControlUI::GetAttribute(const QString& name) const
{
    return attributes_.value(name);
}

void CControlUI::DoEvent(TEventUI& event)
{
    if (event.Type == UIEVENT_CONTEXTMENU && contextMenu_ && manager_)
        manager_->SendNotify(this, QStringLiteral("menu"), event.wParam, event.lParam, event.ptMouse);
}

void CControlUI::AddEventHandler(EventHandler handler)
{
    eventHandlers_.push_back(std::move(handler));
    if (eventFilter_ || !widget_)
        return;
    QWidget* widget = widget_;
    eventFilter_ = new ControlEventFilter(widget, [this, widget](int type, QPoint pos) {
        TEventUI event;
        event.Type = type;
        event.pSender = this;
        event.dwTimestamp = static_cast<DWORD>(QDateTime::currentMSecsSinceEpoch());
        const QPoint client = widget->mapTo(widget->window(), pos);
        event.ptMouse = POINT{client.x(), client.y()};
        bool passOn = true;
        // A handler may add handlers; iterate over a copy.
        const std::vector<EventHandler> handlers = eventHandlers_;
        for (const EventHandler& handler : handlers)
            passOn = handler(event) && passOn;
        return passOn;
    });
}

void CControlUI::Invalidate()
{
    if (widget_)
        widget_->update();
}

void CControlUI::NeedParentUpdate()
{
    if (CControlUI* parent = GetParent())
        parent->Invalidate();
}

void CControlUI::Attach()
{
    if (manager_ == nullptr || attachedTo_ == manager_)
        return;
    attachedTo_ = manager_;
    OnAttached();
}
