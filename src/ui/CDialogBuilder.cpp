#include "ui/CDialogBuilder.h"

#include "ui/CButtonUI.h"
#include "ui/CCheckBoxUI.h"
#include "ui/CComboUI.h"
#include "ui/CContainerUI.h"
#include "ui/CDateTimeUI.h"
#include "ui/CEditUI.h"
#include "ui/CHorizontalLayoutUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/CListTextElementUI.h"
#include "ui/CTreeNodeUI.h"
#include "ui/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CProgressUI.h"
#include "ui/CSliderUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CTextUI.h"
#include "ui/CVerticalLayoutUI.h"
#include "ui/SkinLoader.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>

#include <functional>

CControlUI* CDialogBuilder::WrapWidget(QWidget* w)
{
    auto* button = qobject_cast<QAbstractButton*>(w);
    if (qobject_cast<QCheckBox*>(w))
        return new CCheckBoxUI(w);
    if (qobject_cast<QRadioButton*>(w) || (button && (button->isCheckable() || w->property("group").isValid())))
        return new COptionUI(w);
    if (button)
        return new CButtonUI(w);
    if (qobject_cast<QLabel*>(w))
        return w->property("class").toString() == "TextUI" ? new CTextUI(w) : new CLabelUI(w);
    if (qobject_cast<QLineEdit*>(w))
        return new CEditUI(w);
    if (qobject_cast<QComboBox*>(w))
        return new CComboUI(w);
    if (qobject_cast<QSlider*>(w))
        return new CSliderUI(w);
    if (qobject_cast<QProgressBar*>(w))
        return new CProgressUI(w);
    if (qobject_cast<QStackedWidget*>(w) || qobject_cast<QTabWidget*>(w))
        return new CTabLayoutUI(w);
    if (qobject_cast<QDateTimeEdit*>(w))
        return new CDateTimeUI(w);
    if (auto* box = qobject_cast<QBoxLayout*>(w->layout())) {
        if (box->direction() == QBoxLayout::LeftToRight || box->direction() == QBoxLayout::RightToLeft)
            return new CHorizontalLayoutUI(w);
        return new CVerticalLayoutUI(w);
    }
    if (w->layout() != nullptr || qobject_cast<QScrollArea*>(w))
        return new CContainerUI(w);
    return new CControlUI(w);
}

QString CDialogBuilder::ThemeStyleSheet()
{
    static QString path;
    static QString sheet;
    const QString file = CPaintManagerUI::GetResourceFile("theme.qss");
    if (file != path) {
        path = file;
        QFile f(file);
        sheet = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        // Pictures of the style sheet are named relative to the skin folder.
        sheet.replace("url(", "url(" + CPaintManagerUI::GetResourcePath());
    }
    return sheet;
}

void CDialogBuilder::ApplyTheme()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr)
        return;
    const QString sheet = ThemeStyleSheet();
    if (app->styleSheet() == sheet)
        return;
    app->setStyleSheet(sheet);
    // The theme's font (its rule "#ThemeFont") is the application's, which every widget takes as it is
    // built: widgets measure text before they are polished (a line edit lays out its text as it is
    // built), and with another application font the engines of a font that no widget shows were
    // loaded first, several milliseconds of the log-in window's start.
    QWidget themed;
    themed.setObjectName(QStringLiteral("ThemeFont"));
    themed.ensurePolished();
    QApplication::setFont(themed.font());
}

CControlUI* CDialogBuilder::BuildItem(QWidget* root, CPaintManagerUI* manager)
{
    // An item template (treeitem.xml): the item with the template's properties; child templates of a
    // tree node become its child nodes.
    std::function<CControlUI*(QWidget*)> build = [&](QWidget* w) -> CControlUI* {
        const QString cls = w->property("kelvue_item").toString();
        CControlUI* item = cls == "TreeNodeUI"           ? static_cast<CControlUI*>(new CTreeNodeUI)
                           : cls == "ListTextElementUI" ? new CListTextElementUI
                                                        : new CListLabelElementUI;
        item->SetManager(manager, nullptr);
        item->SetName(w->objectName());
        if (!w->toolTip().isEmpty())
            item->SetToolTip(w->toolTip());
        for (const QByteArray& name : w->dynamicPropertyNames())
            if (!name.startsWith("_q_") && !name.startsWith("kelvue_"))
                item->SetAttribute(QString::fromUtf8(name), w->property(name.constData()).toString());
        if (auto* node = dynamic_cast<CTreeNodeUI*>(item))
            for (QObject* child : w->children())
                if (auto* cw = qobject_cast<QWidget*>(child); cw && cw->property("kelvue_item").toString() == "TreeNodeUI")
                    node->Add(static_cast<CTreeNodeUI*>(build(cw)));
        return item;
    };
    CControlUI* item = build(root);
    delete root;
    return item;
}

CControlUI* CDialogBuilder::Create(const QString& xml, const QString&, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent)
{
    return Build(xml, callback, manager, parent, nullptr);
}

CControlUI* CDialogBuilder::CreateIn(QWidget* host, const QString& xml, IDialogBuilderCallback* callback,
                                     CPaintManagerUI* manager)
{
    return Build(xml, callback, manager, nullptr, host);
}

CControlUI* CDialogBuilder::Build(const QString& xml, IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                  CControlUI* parent, QWidget* host)
{
    QByteArray data;
    if (xml.trimmed().startsWith('<')) {
        data = xml.toUtf8();
    } else {
        QFile file(CPaintManagerUI::GetResourceFile(xml));
        if (!file.open(QIODevice::ReadOnly)) {
            error_ = QStringLiteral("cannot read the layout file %1").arg(file.fileName());
            return nullptr;
        }
        data = file.readAll();
    }
    SkinLoader loader(callback);
    QWidget* root = loader.Load(data, host);
    if (root == nullptr) {
        error_ = QStringLiteral("cannot load the layout %1: %2").arg(xml.left(80), loader.ErrorString());
        return nullptr;
    }
    if (root->property("kelvue_item").isValid())
        return BuildItem(root, manager);
    QList<CControlUI*> controls;
    for (const QPointer<QWidget>& w : loader.Created()) {
        if (!w)
            continue;
        CControlUI* control = CControlUI::FromWidget(w);
        if (control == nullptr)
            control = WrapWidget(w);
        control->SetManager(manager, CControlUI::NearestControl(w->parentWidget()));
        for (const QByteArray& name : w->dynamicPropertyNames())
            if (!name.startsWith("_q_") && !name.startsWith("kelvue_"))
                control->SetAttribute(QString::fromUtf8(name), w->property(name.constData()).toString());
        controls.append(control);
    }
    if (manager != nullptr)
        for (CControlUI* control : controls)
            control->Attach();
    CControlUI* result = CControlUI::FromWidget(root);
    if (parent != nullptr)
        if (auto* container = dynamic_cast<CContainerUI*>(parent))
            container->Add(result);
    return result;
}
