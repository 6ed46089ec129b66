// The skin layout reader: what it builds must be what Designer's own loader builds from the same
// file (the layouts were drawn against it), and what it cannot read it refuses, saying where.

#include "UiTestKit.h"

#include "ui/CDialogBuilder.h"
#include "ui/SkinLoader.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTimeEdit>

#include <memory>

using namespace uitest;

namespace {

class NoCustomControls : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const CDuiString& className) override
    {
        asked.append(className);
        return nullptr;
    }
    QStringList asked;
};

const char* kLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Sample</class>
 <widget class="QWidget" name="root">
  <property name="geometry"><rect><x>40</x><y>30</y><width>420</width><height>300</height></rect></property>
  <property name="role" stdset="0"><string>panel</string></property>
  <layout class="QVBoxLayout" name="rootLayout" stretch="0,1">
   <item>
    <widget class="QWidget" name="band">
     <property name="sizePolicy"><sizepolicy hsizetype="Expanding" vsizetype="Fixed"><horstretch>2</horstretch><verstretch>0</verstretch></sizepolicy></property>
     <layout class="QHBoxLayout" name="bandRow">
      <property name="topMargin"><number>4</number></property>
      <item><widget class="QLabel" name="title"><property name="text"><string>标题</string></property><property name="alignment"><set>Qt::AlignRight|Qt::AlignVCenter</set></property></widget></item>
      <item><spacer name="gap"><property name="orientation"><enum>Qt::Horizontal</enum></property></spacer></item>
      <item><widget class="Unknown" name="skipped"><widget class="QLabel" name="insideSkipped"/></widget></item>
      <item><widget class="QLineEdit" name="edit"><property name="echoMode"><enum>QLineEdit::Password</enum></property><property name="cursor"><cursorShape>PointingHandCursor</cursorShape></property></widget></item>
     </layout>
    </widget>
   </item>
   <item>
    <widget class="QStackedWidget" name="pages">
     <widget class="QWidget" name="gridPage">
      <layout class="QGridLayout" name="grid" columnstretch="0,1">
       <property name="horizontalSpacing"><number>8</number></property>
       <item row="0" column="0" colspan="2" alignment="Qt::AlignLeft|Qt::AlignTop"><widget class="QComboBox" name="combo"><item><property name="text"><string>主码流</string></property></item><item><property name="text"><string>子码流</string></property></item></widget></item>
       <item row="1" column="1"><spacer name="down"><property name="orientation"><enum>Qt::Vertical</enum></property><property name="sizeHint" stdset="0"><size><width>5</width><height>7</height></size></property></spacer></item>
      </layout>
     </widget>
     <widget class="QWidget" name="formPage">
      <layout class="QFormLayout" name="form">
       <item row="0" column="0"><widget class="QLabel" name="timeLabel"/></item>
       <item row="0" column="1"><widget class="QTimeEdit" name="time"><property name="time"><time><hour>7</hour><minute>30</minute><second>5</second></time></property></widget></item>
      </layout>
     </widget>
    </widget>
   </item>
  </layout>
 </widget>
 <resources/>
 <connections/>
</ui>)";

// The margins a style gives a window's own layout that names none.
QMargins WindowMargins()
{
    QWidget window;
    return (new QVBoxLayout(&window))->contentsMargins();
}

}  // namespace

TEST(SkinLoader, BuildsTheLayoutAsDesignerDoes)
{
    EnsureApp();
    NoCustomControls callback;
    SkinLoader loader(&callback);
    const std::unique_ptr<QWidget> root(loader.Load(kLayout));
    ASSERT_TRUE(root) << loader.ErrorString().toStdString();

    // The top widget takes the size of its geometry, not its place; dynamic properties stay text.
    EXPECT_EQ(root->size(), QSize(420, 300));
    EXPECT_EQ(root->pos(), QPoint(0, 0));
    EXPECT_EQ(root->property("role").toString(), "panel");

    // Margins a layout does not name: the style's for a window's layout (the top widget's and each
    // stacked page's, which are built as windows), none for any other widget's.
    auto* band = root->findChild<QWidget*>("band");
    ASSERT_TRUE(band);
    EXPECT_EQ(root->layout()->contentsMargins(), WindowMargins());
    EXPECT_EQ(band->layout()->contentsMargins(), QMargins(0, 4, 0, 0));
    EXPECT_EQ(root->findChild<QWidget*>("gridPage")->layout()->contentsMargins(), WindowMargins());
    auto* rootLayout = static_cast<QBoxLayout*>(root->layout());
    EXPECT_EQ(rootLayout->stretch(0), 0);
    EXPECT_EQ(rootLayout->stretch(1), 1);

    // Values of every kind the skin writes.
    EXPECT_EQ(band->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    EXPECT_EQ(band->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    EXPECT_EQ(band->sizePolicy().horizontalStretch(), 2);
    auto* title = root->findChild<QLabel*>("title");
    EXPECT_EQ(title->text(), "标题");
    EXPECT_EQ(title->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    auto* edit = root->findChild<QLineEdit*>("edit");
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(root->findChild<QTimeEdit*>("time")->time(), QTime(7, 30, 5));

    // A class nobody knows is asked of the callback, then left out with what it holds; the items
    // after it keep their order.
    EXPECT_EQ(callback.asked, QStringList{"Unknown"});
    EXPECT_FALSE(root->findChild<QWidget*>("insideSkipped"));
    QLayout* bandRow = band->layout();
    ASSERT_EQ(bandRow->count(), 3);
    EXPECT_EQ(bandRow->itemAt(0)->widget(), title);
    EXPECT_EQ(bandRow->itemAt(1)->spacerItem()->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    EXPECT_EQ(bandRow->itemAt(1)->sizeHint(), QSize(0, 0));
    EXPECT_EQ(bandRow->itemAt(2)->widget(), edit);

    // Pages, grid places and spans, a form's roles, drop-down entries.
    auto* pages = root->findChild<QStackedWidget*>("pages");
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->widget(1)->objectName(), "formPage");
    auto* grid = static_cast<QGridLayout*>(pages->widget(0)->layout());
    EXPECT_EQ(grid->horizontalSpacing(), 8);
    EXPECT_EQ(grid->columnStretch(1), 1);
    int row, column, rows, columns;
    grid->getItemPosition(0, &row, &column, &rows, &columns);
    EXPECT_EQ(QList<int>({row, column, rows, columns}), QList<int>({0, 0, 1, 2}));
    EXPECT_EQ(grid->itemAt(0)->alignment(), Qt::AlignLeft | Qt::AlignTop);
    QSpacerItem* down = grid->itemAtPosition(1, 1)->spacerItem();
    ASSERT_TRUE(down);
    EXPECT_EQ(down->sizeHint(), QSize(5, 7));
    EXPECT_EQ(down->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    auto* form = static_cast<QFormLayout*>(pages->widget(1)->layout());
    EXPECT_EQ(form->itemAt(0, QFormLayout::LabelRole)->widget()->objectName(), "timeLabel");
    EXPECT_EQ(form->itemAt(0, QFormLayout::FieldRole)->widget()->objectName(), "time");
    auto* combo = root->findChild<QComboBox*>("combo");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "子码流");

    // Parents before children, the skipped element not among them.
    EXPECT_EQ(loader.Created().first(), root.get());
    EXPECT_EQ(loader.Created().size(), 10);
}

// A window's layout is built inside the window's widget, laid out as it would be on its own, and under
// the theme a combo box builds its drop-down only when it first opens. Moving a built tree into the
// window (a style change for every widget of it) and a font the theme set on each widget (a font
// change) made every combo box build its drop-down while its window started.
TEST(SkinLoader, BuildsATopWidgetInsideItsHostAsAWindow)
{
    EnsureApp();
    CDialogBuilder::ApplyTheme();
    QWidget host;
    NoCustomControls callback;
    SkinLoader loader(&callback);
    QWidget* root = loader.Load(kLayout, &host);
    ASSERT_TRUE(root) << loader.ErrorString().toStdString();
    EXPECT_EQ(root->parentWidget(), &host);
    EXPECT_EQ(root->size(), QSize(420, 300));
    EXPECT_EQ(root->layout()->contentsMargins(), WindowMargins());
    EXPECT_EQ(root->findChild<QWidget*>("gridPage")->layout()->contentsMargins(), WindowMargins());

    auto* combo = root->findChild<QComboBox*>("combo");
    (new QVBoxLayout(&host))->addWidget(root);
    host.show();
    EXPECT_EQ(combo->font().pixelSize(), 12);  // the theme's font, given to the whole application
    EXPECT_TRUE(combo->findChildren<QAbstractItemView*>().isEmpty());
    combo->showPopup();
    EXPECT_FALSE(combo->findChildren<QAbstractItemView*>().isEmpty());
    combo->hidePopup();
}

TEST(SkinLoader, RefusesWhatItCannotReadAndSaysWhere)
{
    EnsureApp();
    const auto widget = [](const char* inside) {
        return QByteArray(R"(<ui version="4.0"><widget class="QWidget" name="root">
<widget class="QStackedWidget" name="pages"><widget class="QWidget" name="page"/></widget>
)") + inside + "</widget></ui>";
    };
    const struct {
        QByteArray layout;
        const char* said;
    } cases[] = {
        {"", "line 1"},
        {"<html><body/></html>", "not a layout"},
        {"<ui version=\"4.0\"><widget class=\"Nobody\" name=\"x\"/></ui>", "no widget the toolkit knows"},
        {widget("<layout class=\"QStackedLayout\" name=\"s\"/>"), "QStackedLayout"},
        {widget("<property name=\"font\"><font><pointsize>9</pointsize></font></property>"), "<font>"},
        {widget("<property name=\"focusPolicy\"><enum>Qt::Sideways</enum></property>"), "Qt::Sideways"},
        {widget("<property name=\"minimumSize\"><size><width>wide</width></size></property>"), "minimumSize"},
        {widget("<property name=\"madeUp\"><enum>Qt::Horizontal</enum></property>"), "madeUp"},
        {widget("<attribute name=\"title\"><string>页</string></attribute>"), "<attribute>"},
        {widget("<widget class=\"QLabel\" name=\"cut\">"), "line 3"},
    };
    for (const auto& bad : cases) {
        SkinLoader loader(nullptr);
        EXPECT_EQ(loader.Load(bad.layout), nullptr) << bad.layout.constData();
        EXPECT_TRUE(loader.ErrorString().contains(QLatin1String(bad.said)))
            << bad.said << " not in: " << loader.ErrorString().toStdString();
        EXPECT_TRUE(loader.Created().isEmpty());
    }
}
