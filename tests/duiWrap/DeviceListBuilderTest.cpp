#include "duiWrap/DeviceListBuilder.h"
#include "duiWrap/RowMarkup.h"
#include "glooxWrap/DeviceMessenger.h"
#include "service/NodeRecord.h"
#include "video/ViewHistory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

class FakeMessenger : public DeviceMessenger {
public:
    std::set<std::string> friends, online;
    std::vector<std::string> subscribed;

    void SendMsg(const std::string&, const std::string&) override {}
    void Subscribe(const std::string& jid) override { subscribed.push_back(jid); }
    bool IsFriend(const std::string& id) override { return friends.count(id) > 0; }
    bool IsOnline(const std::string& id) override { return online.count(id) > 0; }
    void GetFriends(std::vector<std::string>& out) override { out.assign(friends.begin(), friends.end()); }
    bool WaitUntilReady(std::stop_token) override { return true; }
};

DeviceRecord Camera(const std::string& id, const std::string& alias)
{
    DeviceRecord d;
    d.deviceId = id;
    d.alias = alias;
    return d;
}

std::vector<std::string> Labels(DeviceNodeRows& rows, bool onlyVisible)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < rows.RowCount(); ++i)
        if (!onlyVisible || rows.NodeAt(i)->rowVisible)
            out.push_back(rows.NodeAt(i)->label);
    return out;
}

TEST(DeviceListBuilder, TreePutsCamerasBeforeSubNodesWithPresenceIcons)
{
    NodeRecord floor;
    floor.nodeId = "n2";
    floor.nodeName = "Floor";
    floor.childDevices = {Camera("c3", "Hall")};
    NodeRecord site;
    site.nodeId = "n1";
    site.nodeName = "Site";
    site.childDevices = {Camera("c1", "Gate"), Camera("c2", "Yard")};
    site.childNodes = {floor};
    NodeRecord depot;
    depot.nodeId = "n3";
    depot.nodeName = "Depot";

    FakeMessenger im;
    im.friends = {"c1", "c3"};
    im.online = {"c1"};
    DeviceNodeRows rows;
    DeviceNode* account = DeviceListBuilder::RebuildDeviceTree(rows, "13800000000", {site, depot}, im);

    EXPECT_EQ(Labels(rows, false),
              (std::vector<std::string>{"13800000000", "Site", "Gate", "Yard", "Floor", "Hall", "Depot"}));
    EXPECT_EQ(Labels(rows, true), (std::vector<std::string>{"13800000000", "Site", "Depot"}));
    EXPECT_EQ(account, rows.NodeAt(0));
    EXPECT_EQ(rows.NodeAt(2)->text, std::string(RowMarkup::kCameraOnlineIcon) + "Gate");
    EXPECT_EQ(rows.NodeAt(3)->text, std::string(RowMarkup::kCameraOfflineIcon) + "Yard");
    EXPECT_EQ(rows.NodeAt(1)->text, std::string(RowMarkup::kNodeIcon) + "Site");
    EXPECT_EQ(rows.NodeAt(1)->id, "n1");
    EXPECT_EQ(im.subscribed, (std::vector<std::string>{"c2@" KELVUE_DEVICE_DOMAIN}));

    // Going offline relabels the camera; a camera the tree lacks changes nothing.
    EXPECT_TRUE(DeviceListBuilder::MarkCameraOffline(rows, "c1", "Gate"));
    EXPECT_EQ(rows.NodeAt(2)->text, std::string(RowMarkup::kCameraOfflineIcon) + "Gate");
    EXPECT_FALSE(DeviceListBuilder::MarkCameraOffline(rows, "zz", ""));

    // A second rebuild starts from scratch.
    DeviceListBuilder::RebuildDeviceTree(rows, "13800000000", {depot}, im);
    EXPECT_EQ(Labels(rows, false), (std::vector<std::string>{"13800000000", "Depot"}));
}

class HistoryFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() / ("devlist-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        history_ = std::make_unique<ViewHistory>((dir_ / "log.xml").string());
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
    std::unique_ptr<ViewHistory> history_;
};

TEST_F(HistoryFile, RecentListGroupsDaysAndPruneDropsCamerasOutsideTheTree)
{
    history_->AddCamera("c1", {2026, 12, 8});
    history_->AddCamera("gone", {2026, 12, 8});
    history_->AddCamera("c2", {2026, 12, 9});
    history_->AddCamera("c1", {2026, 12, 9});

    DeviceListBuilder::PruneHistory(*history_, [](const std::string& id) { return id != "gone"; });
    DeviceListBuilder::HistoryGroups groups;
    history_->LoadGroups(groups);

    DeviceNodeRows rows;
    DeviceListBuilder::RefreshRecentList(rows, groups);
    EXPECT_EQ(Labels(rows, false), (std::vector<std::string>{"最近观看", "2026-12-8", "c1", "2026-12-9", "c2", "c1"}));
    EXPECT_EQ(Labels(rows, true), (std::vector<std::string>{"最近观看", "2026-12-8", "2026-12-9"}));
    EXPECT_EQ(rows.NodeAt(2)->text, std::string(RowMarkup::kCameraOnlineIcon) + "c1");
    EXPECT_EQ(rows.NodeAt(2)->id, "c1");
    EXPECT_FALSE(rows.NodeAt(2)->isGroup);
}

}  // namespace
