#include "../device/FakeMessenger.h"
#include "UiTestKit.h"

#include "duiWrap/CamListUI.h"
#include "duiWrap/DeviceListBuilder.h"
#include "duiWrap/RowMarkup.h"
#include "service/NodeRecord.h"
#include "ui/MarkupText.h"

#include <gtest/gtest.h>

namespace {

const char* kLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0"><class>ListWnd</class>
 <widget class="QWidget" name="ListWnd">
  <property name="geometry"><rect><x>0</x><y>0</y><width>260</width><height>200</height></rect></property>
  <layout class="QVBoxLayout" name="column"><item><widget class="MonitorLis" name="gamelist"/></item></layout>
 </widget></ui>)";

class CamListWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        uitest::EnsureApp();
        window_.create = [](const QString& cls) -> CControlUI* { return cls == "MonitorLis" ? new CamListUI : nullptr; };
        window_.Build();
        window_.ShowWindow(true);
        list_ = uitest::Find<CamListUI>(window_, "gamelist");
        ASSERT_NE(list_, nullptr);
    }
    void TearDown() override { window_.DestroyWindow(); }

    // A site with one camera and a floor holding thirty cameras (more than the window shows).
    void Fill()
    {
        list_->Rows().BeginReset();
        top_ = list_->AddNode("{x 4}{i gameicons.png 18 7}{x 4}account", true, "", nullptr);
        site_ = list_->AddNode("{x 4}{i gameicons.png 18 7}{x }Site", true, "n1", top_);
        list_->AddNode("{x 4}{i gameicons.png 18 4}{x 4}Gate", false, "c0", site_);
        floor_ = list_->AddNode("{x 4}{i gameicons.png 18 7}{x }Floor", true, "n2", site_);
        for (int i = 1; i <= 30; ++i)
            list_->AddNode("{x 4}{i gameicons.png 18 4}{x 4}Cam " + std::to_string(i), false, "c" + std::to_string(i), floor_);
        list_->SetChildVisible(top_, false);
        list_->SetChildVisible(top_, true);
        list_->Rows().EndReset();
        uitest::Pump(20);
    }

    uitest::TestWindow window_{QString::fromUtf8(kLayout), QStringLiteral("ListWnd")};
    CamListUI* list_ = nullptr;
    DeviceNode* top_ = nullptr;
    DeviceNode* site_ = nullptr;
    DeviceNode* floor_ = nullptr;
};

TEST_F(CamListWindow, RowsFollowTheNodeTreeIncludingHiddenState)
{
    Fill();
    ASSERT_EQ(list_->GetCount(), 34);
    EXPECT_EQ(list_->GetItemAt(0)->GetText(), QString::fromStdString(top_->rowText));
    EXPECT_EQ(list_->GetItemAt(0)->GetName(), "gamelistitem");
    EXPECT_TRUE(list_->GetItemAt(0)->IsContextMenuUsed());
    EXPECT_TRUE(list_->GetItemAt(1)->IsVisible());
    EXPECT_FALSE(list_->GetItemAt(2)->IsVisible());
    EXPECT_EQ(list_->NodeOf(list_->GetItemAt(1)), site_);

    // Expanding one node at a time, row by row, through the list as a user's clicks would.
    list_->SetChildVisible(site_, true);
    list_->SetChildVisible(floor_, true);
    for (int i = 0; i < list_->GetCount(); ++i)
        EXPECT_TRUE(list_->GetItemAt(i)->IsVisible()) << i;
    EXPECT_EQ(list_->GetItemAt(1)->GetText().toStdString(), site_->rowText);

    // Removing a node removes its whole subtree.
    EXPECT_TRUE(list_->Remove(list_->GetItemAt(3)));
    EXPECT_EQ(list_->GetCount(), 3);
    EXPECT_EQ(list_->NodeAt(2)->id, "c0");
    // Elements that are not rows of this list are refused.
    auto* stranger = new CListLabelElementUI;
    EXPECT_FALSE(list_->Add(stranger));
    delete stranger;
}

TEST_F(CamListWindow, DoubleClickActivatesTheRowItShows)
{
    Fill();
    list_->SetChildVisible(site_, true);
    list_->SetChildVisible(floor_, true);
    uitest::Pump(20);
    const int last = list_->GetCount() - 1;
    list_->EnsureVisible(last);
    uitest::Pump(20);
    window_.notifications.clear();
    uitest::DoubleClickRow(list_, last);
    ASSERT_TRUE(window_.notifications.contains("itemactivate:gamelistitem")) << window_.notifications.join(",").toStdString();
}

// Names come from the service and the history as they are: one that looks like the rows' markup
// ("{x 999999}" once made a space too wide to leave anything of the row visible) shows as written.
TEST_F(CamListWindow, NamesThatLookLikeMarkupShowAsWritten)
{
    NodeRecord site;
    site.nodeId = "n1";
    site.nodeName = "{x 999999}";
    DeviceRecord camera;
    camera.deviceId = "c1";
    camera.alias = "<i gameicons.png 18 4>\\{a}";
    site.childDevices.push_back(camera);
    FakeMessenger im;
    DeviceNode* account = DeviceListBuilder::RebuildDeviceTree(list_->Rows(), "138<a>", {site}, im);
    list_->SetChildVisible(account->children.front().get(), true);
    uitest::Pump(20);

    const std::vector<std::string> names = {"138<a>", "{x 999999}", "<i gameicons.png 18 4>\\{a}"};
    ASSERT_EQ(list_->GetCount(), 3);
    auto shown = [&](int row) { return MarkupText::PlainText(list_->GetItemAt(row)->GetText()).toStdString(); };
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(shown(row), names[row]) << "what the row draws";
        EXPECT_EQ(list_->NodeAt(row)->label, names[row]);
    }
    ASSERT_TRUE(DeviceListBuilder::MarkCameraOffline(list_->Rows(), "c1", "{x 40}}"));
    EXPECT_EQ(shown(2), "{x 40}}");
    EXPECT_TRUE(uitest::SaveScreenshot(window_, QStringLiteral("devicelist_markup_names.png")));

    DeviceListBuilder::RefreshRecentList(list_->Rows(), {{"2016-3-9", {"<x 999>id"}}});
    list_->SetChildVisible(list_->NodeAt(1), true);
    ASSERT_EQ(list_->GetCount(), 3);
    EXPECT_EQ(shown(2), "<x 999>id");
    EXPECT_EQ(list_->NodeAt(2)->label, "<x 999>id");  // the label is the id a double click plays
}

TEST_F(CamListWindow, WheelGlidesTheRowsInSteps)
{
    Fill();
    list_->SetChildVisible(site_, true);
    list_->SetChildVisible(floor_, true);
    uitest::Pump(50);
    ASSERT_GT(list_->GetScrollRange().cy, 19);
    TEventUI wheel;
    wheel.Type = UIEVENT_SCROLLWHEEL;
    wheel.wParam = SB_LINEDOWN;
    list_->DoEvent(wheel);
    EXPECT_EQ(list_->GetScrollPos().cy, 0);  // the glide moves on the timer
    uitest::PumpUntil([&] { return list_->GetScrollPos().cy == 19; }, 2000);
    uitest::Pump(200);
    EXPECT_EQ(list_->GetScrollPos().cy, 19);
}

}  // namespace
