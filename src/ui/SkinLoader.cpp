#include "ui/SkinLoader.h"

#include "ui/CDateTimeUI.h"
#include "ui/CListUI.h"
#include "ui/CMenuElementUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/CWndUI.h"
#include "ui/SkinButton.h"
#include "ui/SkinComboBox.h"
#include "ui/SkinDropDown.h"
#include "ui/SkinPropertyValue.h"
#include "ui/UIDefs.h"
#include "ui/VideoSurface.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOption>
#include <QTimeEdit>
#include <QToolButton>

#include <functional>

namespace {

template <typename Widget>
QWidget* Make(QWidget* parent)
{
    return new Widget(parent);
}

// The widgets of the layouts that are no control of their own: Qt's (buttons, combo boxes and date
// pickers are the toolkit's skinned ones) and the video surface.
QWidget* PlainWidget(const QString& className, QWidget* parent)
{
    static const QHash<QString, QWidget* (*)(QWidget*)> makers = {
        {"QWidget", Make<QWidget>},
        {"QLabel", Make<QLabel>},
        {"QLineEdit", Make<QLineEdit>},
        {"QPushButton", Make<SkinButton<QPushButton>>},
        {"QToolButton", Make<SkinButton<QToolButton>>},
        {"QCheckBox", Make<SkinButton<QCheckBox>>},
        {"QRadioButton", Make<SkinButton<QRadioButton>>},
        {"QComboBox", Make<SkinComboBox>},
        {"QFrame", Make<QFrame>},
        {"QSlider", Make<QSlider>},
        {"QProgressBar", Make<QProgressBar>},
        {"QStackedWidget", Make<QStackedWidget>},
        {"QScrollArea", Make<QScrollArea>},
        {"QDateEdit", Make<SkinDropDown<QDateEdit>>},
        {"QTimeEdit", Make<SkinDropDown<QTimeEdit>>},
        {"QDateTimeEdit", Make<SkinDropDown<QDateTimeEdit>>},
        {"VideoSurface", Make<VideoSurface>},
    };
    const auto make = makers.constFind(className);
    return make == makers.constEnd() ? nullptr : (*make)(parent);
}

CControlUI* ToolkitControl(const QString& className)
{
    if (className == "ListUI")
        return new CListUI;
    if (className == "TreeViewUI")
        return new CTreeViewUI;
    if (className == "MenuElementUI")
        return new CMenuElementUI;
    if (className == "WndUI")
        return new CWndUI;
    if (className == "DateTimeUI")
        return new CDateTimeUI(CDateTimeUI::DateAndTime);
    if (className == "DateUI")
        return new CDateTimeUI(CDateTimeUI::DateOnly);
    if (className == "TimeUI")
        return new CDateTimeUI(CDateTimeUI::TimeOnly);
    return nullptr;
}

// The margins the style gives a window's own layout: Designer's for a layout that names none.
QMargins WindowMargins(const QWidget& owner)
{
    QStyleOption window;
    window.state |= QStyle::State_Window;
    const QStyle* style = owner.style();
    return QMargins(style->pixelMetric(QStyle::PM_LayoutLeftMargin, &window, &owner),
                    style->pixelMetric(QStyle::PM_LayoutTopMargin, &window, &owner),
                    style->pixelMetric(QStyle::PM_LayoutRightMargin, &window, &owner),
                    style->pixelMetric(QStyle::PM_LayoutBottomMargin, &window, &owner));
}

// "0,1,0": the stretch factors of a layout's items, or of a grid's rows or columns.
void SetStretches(const QStringView factors, const std::function<void(int, int)>& set)
{
    int index = 0;
    for (const QStringView factor : factors.split(u','))
        set(index++, factor.toInt());
}

// A spacer's size type ("QSizePolicy::Expanding"); an unknown one is Expanding, the spacer's default.
QSizePolicy::Policy SizeType(const QByteArray& key)
{
    bool ok = false;
    const int policy = QMetaEnum::fromType<QSizePolicy::Policy>().keyToValue(key.constData(), &ok);
    return ok ? static_cast<QSizePolicy::Policy>(policy) : QSizePolicy::Expanding;
}

Qt::Alignment Alignment(const QStringView keys)
{
    bool ok = false;
    const int value = QMetaEnum::fromType<Qt::Alignment>().keysToValue(keys.toLatin1().constData(), &ok);
    return ok ? Qt::Alignment(value) : Qt::Alignment();
}

}  // namespace

SkinLoader::SkinLoader(IDialogBuilderCallback* callback)
    : callback_(callback)
{
}

QWidget* SkinLoader::Load(const QByteArray& layout, QWidget* parent)
{
    xml_.clear();
    xml_.addData(layout);
    created_.clear();
    error_.clear();
    QWidget* root = nullptr;
    if (xml_.readNextStartElement() && xml_.name() == u"ui") {
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"widget" && root == nullptr)
                root = ReadWidget(parent, true);
            else  // the class name, custom widgets' headers, resources and connections: nothing to build
                xml_.skipCurrentElement();
        }
    } else if (!xml_.hasError()) {
        xml_.raiseError(QStringLiteral("not a layout (its top element is not <ui>)"));
    }
    if (!xml_.hasError() && root == nullptr)
        xml_.raiseError(QStringLiteral("the layout has no widget the toolkit knows"));
    if (xml_.hasError()) {
        error_ = QStringLiteral("line %1: %2").arg(xml_.lineNumber()).arg(xml_.errorString());
        delete root;  // with every widget made, all of them within it
        created_.clear();
        return nullptr;
    }
    return root;
}

QWidget* SkinLoader::ReadWidget(QWidget* parent, bool asWindow)
{
    const QXmlStreamAttributes attributes = xml_.attributes();
    QWidget* widget =
        CreateWidget(attributes.value("class").toString(), parent, attributes.value("name").toString());
    if (widget == nullptr) {
        xml_.skipCurrentElement();
        return nullptr;
    }
    auto* stack = qobject_cast<QStackedWidget*>(widget);
    while (xml_.readNextStartElement()) {
        if (xml_.name() == u"property") {
            ReadProperty(widget, asWindow);
        } else if (xml_.name() == u"widget") {
            // A page is laid out as a window (its layout's margins are a window's, as Designer shows them).
            QWidget* child = ReadWidget(widget, stack != nullptr);
            if (stack && child)
                stack->addWidget(child);
            else if (auto* scrollArea = qobject_cast<QScrollArea*>(widget); scrollArea && child)
                scrollArea->setWidget(child);
        } else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && xml_.name() == u"item") {
            ReadComboItem(combo);
        } else if (xml_.name() == u"layout") {
            ReadLayout(widget, asWindow ? LayoutOwner::Window : LayoutOwner::Widget);
        } else {
            Unexpected(u"widget");
        }
    }
    return widget;
}

QLayout* SkinLoader::ReadLayout(QWidget* owner, LayoutOwner belongsTo)
{
    const QXmlStreamAttributes attributes = xml_.attributes();
    const QStringView kind = attributes.value("class");
    QLayout* layout = kind == u"QVBoxLayout"   ? new QVBoxLayout
                      : kind == u"QHBoxLayout" ? new QHBoxLayout
                      : kind == u"QGridLayout" ? static_cast<QLayout*>(new QGridLayout)
                      : kind == u"QFormLayout" ? static_cast<QLayout*>(new QFormLayout)
                                               : nullptr;
    if (layout == nullptr) {
        xml_.raiseError(QStringLiteral("a layout of class \"%1\", which the reader does not know").arg(kind));
        return nullptr;
    }
    layout->setObjectName(attributes.value("name").toString());
    if (belongsTo != LayoutOwner::Nested)
        owner->setLayout(layout);
    // Margins the layout does not name are none, but for a window's own layout, which keeps the
    // style's (as Designer has it).
    QMargins margins = belongsTo == LayoutOwner::Window ? WindowMargins(*owner) : QMargins();
    auto* grid = qobject_cast<QGridLayout*>(layout);
    auto* form = qobject_cast<QFormLayout*>(layout);
    while (xml_.readNextStartElement()) {
        if (xml_.name() == u"item") {
            ReadLayoutItem(layout, owner);
            continue;
        }
        if (xml_.name() != u"property") {
            Unexpected(u"layout");
            continue;
        }
        const QString name = xml_.attributes().value("name").toString();
        const QVariant number = ReadValue(*layout->metaObject(), name.toUtf8());
        if (number.typeId() != QMetaType::Int) {
            if (!xml_.hasError())
                xml_.raiseError(QStringLiteral("the layout's property \"%1\" is not a number").arg(name));
            break;
        }
        const int value = number.toInt();
        if (name == u"leftMargin")
            margins.setLeft(value);
        else if (name == u"topMargin")
            margins.setTop(value);
        else if (name == u"rightMargin")
            margins.setRight(value);
        else if (name == u"bottomMargin")
            margins.setBottom(value);
        else if (name == u"margin")
            margins = QMargins(value, value, value, value);
        else if (name == u"spacing")
            layout->setSpacing(value);
        else if (name == u"horizontalSpacing" && (grid || form))
            grid ? grid->setHorizontalSpacing(value) : form->setHorizontalSpacing(value);
        else if (name == u"verticalSpacing" && (grid || form))
            grid ? grid->setVerticalSpacing(value) : form->setVerticalSpacing(value);
        else
            xml_.raiseError(QStringLiteral("a layout property \"%1\", which the reader does not know").arg(name));
    }
    layout->setContentsMargins(margins);
    if (auto* box = qobject_cast<QBoxLayout*>(layout))
        SetStretches(attributes.value("stretch"), [box](int i, int f) { if (i < box->count()) box->setStretch(i, f); });
    if (grid) {
        SetStretches(attributes.value("rowstretch"), [grid](int i, int f) { grid->setRowStretch(i, f); });
        SetStretches(attributes.value("columnstretch"), [grid](int i, int f) { grid->setColumnStretch(i, f); });
    }
    return layout;
}

void SkinLoader::ReadLayoutItem(QLayout* layout, QWidget* owner)
{
    const QXmlStreamAttributes place = xml_.attributes();
    const Qt::Alignment alignment = Alignment(place.value("alignment"));
    const int row = place.value("row").toInt(), column = place.value("column").toInt();
    const int rows = place.hasAttribute("rowspan") ? place.value("rowspan").toInt() : 1;
    const int columns = place.hasAttribute("colspan") ? place.value("colspan").toInt() : 1;
    const auto add = [&](QWidget* widget, QLayout* nested, QLayoutItem* spacer) {
        if (auto* form = qobject_cast<QFormLayout*>(layout)) {
            const auto role = columns > 1 ? QFormLayout::SpanningRole
                              : column == 0 ? QFormLayout::LabelRole
                                            : QFormLayout::FieldRole;
            if (widget)
                form->setWidget(row, role, widget);
            else if (nested)
                form->setLayout(row, role, nested);
            else
                form->setItem(row, role, spacer);
        } else if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
            if (widget)
                grid->addWidget(widget, row, column, rows, columns, alignment);
            else if (nested)
                grid->addLayout(nested, row, column, rows, columns, alignment);
            else
                grid->addItem(spacer, row, column, rows, columns, alignment);
        } else {
            auto* box = static_cast<QBoxLayout*>(layout);
            if (widget)
                box->addWidget(widget, 0, alignment);
            else if (nested)
                box->addLayout(nested);
            else
                box->addItem(spacer);
        }
    };
    while (xml_.readNextStartElement()) {
        if (xml_.name() == u"widget") {
            if (QWidget* widget = ReadWidget(owner, false))
                add(widget, nullptr, nullptr);
        } else if (xml_.name() == u"layout") {
            if (QLayout* nested = ReadLayout(owner, LayoutOwner::Nested))
                add(nullptr, nested, nullptr);
        } else if (xml_.name() == u"spacer") {
            QSize hint(0, 0);
            bool vertical = false;
            auto policy = QSizePolicy::Expanding;
            while (xml_.readNextStartElement()) {
                const QString name = xml_.attributes().value("name").toString();
                if (xml_.name() != u"property") {
                    Unexpected(u"spacer");
                    break;
                }
                if (name == u"sizeHint") {
                    hint = ReadValue(QObject::staticMetaObject, "sizeHint").toSize();
                    continue;
                }
                if (!xml_.readNextStartElement()) {
                    xml_.raiseError(QStringLiteral("the spacer's property \"%1\" without a value").arg(name));
                    break;
                }
                // The spacer is no object with properties: its two enumerations are read by name.
                const QByteArray key = xml_.readElementText().toLatin1();
                if (name == u"orientation")
                    vertical = key == "Qt::Vertical";
                else if (name == u"sizeType")
                    policy = SizeType(key);
                xml_.skipCurrentElement();
            }
            add(nullptr, nullptr,
                vertical ? new QSpacerItem(hint.width(), hint.height(), QSizePolicy::Minimum, policy)
                         : new QSpacerItem(hint.width(), hint.height(), policy, QSizePolicy::Minimum));
        } else {
            Unexpected(u"item");
        }
    }
}

void SkinLoader::ReadComboItem(QComboBox* combo)
{
    QString text;
    while (xml_.readNextStartElement()) {
        if (xml_.name() != u"property" || xml_.attributes().value("name") != u"text" || !xml_.readNextStartElement() ||
            xml_.name() != u"string") {
            xml_.raiseError(QStringLiteral("a drop-down entry with what the reader does not know: only a text"));
            return;
        }
        text = xml_.readElementText();
        xml_.skipCurrentElement();
    }
    combo->addItem(text);
}

QVariant SkinLoader::ReadValue(const QMetaObject& target, const QByteArray& name)
{
    if (!xml_.readNextStartElement()) {
        xml_.raiseError(QStringLiteral("property \"%1\" without a value").arg(QString::fromUtf8(name)));
        return QVariant();
    }
    QString error;
    const QVariant value = SkinPropertyValue::Read(xml_, target, name, &error);
    if (!value.isValid()) {
        xml_.raiseError(error);
        return QVariant();
    }
    xml_.skipCurrentElement();
    return value;
}

void SkinLoader::ReadProperty(QWidget* target, bool asWindow)
{
    const QByteArray name = xml_.attributes().value("name").toUtf8();
    const QVariant value = ReadValue(*target->metaObject(), name);
    if (!value.isValid())
        return;
    if (asWindow && name == "geometry")
        target->resize(value.toRect().size());  // where it shows is the window's business
    else
        target->setProperty(name.constData(), value);
}

void SkinLoader::Unexpected(QStringView container)
{
    xml_.raiseError(QStringLiteral("<%1> in <%2>, which the reader does not know").arg(xml_.name(), container));
}

QWidget* SkinLoader::CreateWidget(const QString& className, QWidget* parent, const QString& name)
{
    QWidget* widget = PlainWidget(className, parent);
    if (widget == nullptr && (className == "TreeNodeUI" || className == "ListLabelElementUI" ||
                              className == "ListTextElementUI")) {
        // An item template: a stand-in that carries the item's properties until the builder makes
        // the item itself (items have no widget of their own).
        widget = new QWidget(parent);
        widget->setProperty("kelvue_item", className);
    } else if (widget == nullptr) {
        CControlUI* control = ToolkitControl(className);
        if (control == nullptr && callback_ != nullptr)
            control = callback_->CreateControl(className);
        if (control != nullptr) {
            widget = control->GetWidget();
            if (widget == nullptr) {
                delete control;  // an item cannot stand in a layout
                return nullptr;
            }
            widget->setParent(parent);
        }
    }
    if (widget == nullptr)
        return nullptr;
    widget->setObjectName(name);
    created_.append(widget);
    return widget;
}
