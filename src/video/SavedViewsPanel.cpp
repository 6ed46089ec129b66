#include "video/SavedViewsPanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QPushButton* SmallButton(QWidget* parent, const QString& text, const QString& tip, const char* role,
                         const std::string& name)
{
    auto* button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus);
    button->setProperty("viewrole", role);
    button->setProperty("viewname", QString::fromStdString(name));
    return button;
}

}  // namespace

SavedViewsPanel::SavedViewsPanel(QWidget* parent, Actions actions) : QWidget(parent), actions_(std::move(actions))
{
    setObjectName("savedviews");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    setFixedWidth(240);
    column->setSpacing(4);
    column->addWidget(new QLabel(QStringLiteral("视图"), this));

    auto* saveRow = new QHBoxLayout;
    nameField_ = new QLineEdit(this);
    nameField_->setObjectName("viewname");
    nameField_->setPlaceholderText(QStringLiteral("视图名称"));
    nameField_->setMaxLength(64);
    auto* save = new QPushButton(QStringLiteral("保存视图"), this);
    save->setObjectName("saveview");
    save->setToolTip(QStringLiteral("以此名称保存当前的分屏和每个画面的摄像头"));
    saveButton_ = save;
    saveRow->addWidget(nameField_, 1);
    saveRow->addWidget(save);
    column->addLayout(saveRow);

    // Four rows show at once; more scroll.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("viewrows");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFixedHeight(4 * 26);
    rows_ = new QWidget(scroll);
    rowsLayout_ = new QVBoxLayout(rows_);
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(2);
    rowsLayout_->setAlignment(Qt::AlignTop);
    scroll->setWidget(rows_);
    column->addWidget(scroll);

    restoreAtLogin_ = new QCheckBox(QStringLiteral("登录时恢复上次的视图"), this);
    restoreAtLogin_->setObjectName("restoreatlogin");
    column->addWidget(restoreAtLogin_);

    const auto saveTyped = [this] {
        if (actions_.save)
            actions_.save(nameField_->text().trimmed().toStdString());
    };
    QObject::connect(save, &QPushButton::clicked, saveTyped);
    QObject::connect(nameField_, &QLineEdit::returnPressed, saveTyped);
    QObject::connect(restoreAtLogin_, &QCheckBox::toggled, [this](bool on) {
        if (actions_.setRestoreAtLogin)
            actions_.setRestoreAtLogin(on);
    });
}

void SavedViewsPanel::Show(const std::vector<SavedView>& views, bool restoreAtLogin)
{
    while (QLayoutItem* item = rowsLayout_->takeAt(0)) {
        if (QWidget* row = item->widget()) {
            // Later: the row may hold the button whose click is being handled.
            row->hide();
            row->setParent(nullptr);
            row->deleteLater();
        }
        delete item;
    }
    for (const SavedView& view : views) {
        auto* row = new QWidget(rows_);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        const QString name = QString::fromStdString(view.name);
        QPushButton* restore = SmallButton(row, name, QStringLiteral("在主窗口中恢复此视图"), "restore", view.name);
        restore->setStyleSheet("text-align: left;");
        QPushButton* window = SmallButton(row, QStringLiteral("新窗口"), QStringLiteral("在新窗口中打开此视图"), "window", view.name);
        QPushButton* remove = SmallButton(row, QStringLiteral("删除"), QStringLiteral("删除此视图"), "remove", view.name);
        line->addWidget(restore, 1);
        line->addWidget(window);
        line->addWidget(remove);
        rowsLayout_->addWidget(row);
        const std::string id = view.name;
        QObject::connect(restore, &QPushButton::clicked, [this, id] { if (actions_.restore) actions_.restore(id); });
        QObject::connect(window, &QPushButton::clicked, [this, id] { if (actions_.openInWindow) actions_.openInWindow(id); });
        QObject::connect(remove, &QPushButton::clicked, [this, id] { if (actions_.remove) actions_.remove(id); });
    }
    const QSignalBlocker quiet(restoreAtLogin_);
    restoreAtLogin_->setChecked(restoreAtLogin);
    if (QWidget* top = window(); top != this)
        top->adjustSize();
}

QWidget* SavedViewsPanel::RowButton(const char* role, const std::string& name) const
{
    for (QPushButton* button : rows_->findChildren<QPushButton*>())
        if (button->property("viewrole").toString() == role && button->property("viewname").toString().toStdString() == name)
            return button;
    return nullptr;
}

QWidget* SavedViewsPanel::RestoreButton(const std::string& name) const { return RowButton("restore", name); }
QWidget* SavedViewsPanel::WindowButton(const std::string& name) const { return RowButton("window", name); }
QWidget* SavedViewsPanel::RemoveButton(const std::string& name) const { return RowButton("remove", name); }
