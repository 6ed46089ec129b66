// The node tree: parsing of the device-list reply, the lookups and their search orders.
#include "FakeService.h"
#include "PrivateWorkDir.h"

#include "service/DeviceMgr.h"
#include "service/NodeReply.h"
#include "service/ServiceReply.h"

#include <gtest/gtest.h>

namespace {

// Root "1" (A) holds camera c1 and the child "11" (which holds the shared camera "dup" and the child "111"),
// then the child "12"; root "2" (B) holds "dup" too and is a merged node.
const char kTree[] = R"({"code":0,"msg":"","result":[
  {"nodeId":"1","nodeName":"A","nodeType":1,"childDevices":[{"deviceId":"c1","alias":"Gate","nodeType":2,"warnStatus":1}],
   "childNodes":[{"nodeId":"11","parentId":"1","nodeName":"A1","childDevices":[{"deviceId":"dup","alias":"Shared"}],
                  "childNodes":[{"nodeId":"111","parentId":"11","nodeName":"A11"}]},
                 {"nodeId":"12","parentId":"1","nodeName":"A2"}]},
  {"nodeId":"2","nodeName":"B","isMerge":1,"childDevices":[{"deviceId":"dup","alias":"Again"},{"deviceId":"c3"}]},
  null
]})";

class DeviceTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(LogInThrough(service_), 0);
        service_.SetReply(kTree);
        ASSERT_EQ(DeviceMgr::Instance()->FunQueryDeviceList(), 1);
    }
    FakeService service_;
    DeviceMgr* devices_ = DeviceMgr::Instance();
};

TEST_F(DeviceTree, KeepsReplyOrderAndFillsEveryField)
{
    std::vector<NodeRecord> roots;
    devices_->GetTree(roots);
    ASSERT_EQ(roots.size(), 3u);  // a null element gives an empty record
    EXPECT_EQ(roots[2].nodeId, "");
    const NodeRecord& a = roots[0];
    EXPECT_EQ(a.nodeName, "A");
    EXPECT_EQ(a.nodeType, 1);
    ASSERT_EQ(a.childNodes.size(), 2u);
    EXPECT_EQ(a.childNodes[0].parentId, "1");
    EXPECT_EQ(a.childNodes[1].nodeId, "12");
    const DeviceRecord& gate = a.childDevices[0];
    EXPECT_EQ(gate.alias, "Gate");
    EXPECT_EQ(gate.nodeType, 2);
    EXPECT_EQ(gate.warnStatus, 1);
    EXPECT_EQ(gate.nodeId, "1");
    EXPECT_EQ(gate.nodeName, "A");
    EXPECT_EQ(roots[1].childDevices[1].alias, "");  // no alias, whatever the camera before it had
    EXPECT_EQ(roots[1].isMerge, 1);
}

TEST_F(DeviceTree, FindNodeSearchesDepthFirstInListOrder)
{
    NodeRecord node;
    ASSERT_TRUE(devices_->FindNode("111", node));
    EXPECT_EQ(node.nodeName, "A11");
    ASSERT_TRUE(devices_->FindNode("2", node));
    EXPECT_EQ(node.nodeName, "B");
    NodeRecord untouched;
    untouched.nodeName = "caller's";
    EXPECT_FALSE(devices_->FindNode("nope", untouched));
    EXPECT_EQ(untouched.nodeName, "caller's");
}

TEST_F(DeviceTree, FindDeviceFindsACameraBoundToTwoNodesInTheFirstNodeOfTheSearchOrder)
{
    DeviceRecord device;
    ASSERT_TRUE(devices_->FindDevice("dup", device));
    EXPECT_EQ(device.nodeId, "11");  // below root 1, which comes before root 2
    EXPECT_EQ(device.alias, "Shared");
    EXPECT_FALSE(devices_->FindDevice("nope", device));
    EXPECT_EQ(device.nodeId, "11");
}

TEST_F(DeviceTree, FindDeviceSearchesANodesOwnCamerasBeforeItsChildNodes)
{
    service_.SetReply(R"({"code":0,"result":[{"nodeId":"p","childNodes":[{"nodeId":"child","childDevices":[{"deviceId":"x"}]}],
                          "childDevices":[{"deviceId":"x"}]}]})");
    ASSERT_EQ(devices_->FunQueryDeviceList(), 1);
    DeviceRecord device;
    ASSERT_TRUE(devices_->FindDevice("x", device));
    EXPECT_EQ(device.nodeId, "p");
}

TEST_F(DeviceTree, ContainmentQueries)
{
    struct Case {
        const char* node;
        const char* other;
        bool hasNode;
        bool hasDevice;
    } cases[] = {
        {"1", "1", true, false},     {"1", "111", true, false}, {"11", "1", false, false},
        {"12", "111", false, false}, {"1", "dup", false, true}, {"11", "c1", false, false},
        {"2", "c3", false, true},    {"nope", "nope", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(devices_->NodeHasNode(c.node, c.other), c.hasNode) << c.node << " / " << c.other;
        EXPECT_EQ(devices_->NodeHasDevice(c.node, c.other), c.hasDevice) << c.node << " / " << c.other;
    }
    EXPECT_TRUE(devices_->NodeHasAnyDevice("11"));
    EXPECT_FALSE(devices_->NodeHasAnyDevice("12"));
    EXPECT_TRUE(devices_->IsMergedNode("2"));
    EXPECT_FALSE(devices_->IsMergedNode("1"));
    EXPECT_FALSE(devices_->IsMergedNode("nope"));
}

TEST_F(DeviceTree, ContainsIdLooksAtNodesAndCamerasBelow)
{
    NodeRecord a;
    ASSERT_TRUE(devices_->FindNode("1", a));
    EXPECT_TRUE(a.ContainsId("111"));
    EXPECT_TRUE(a.ContainsId("dup"));
    EXPECT_FALSE(a.ContainsId("c3"));
}

TEST_F(DeviceTree, DeleteNodeIpcSendsTheFirstNodeOfTheCameraAndNothingForAnUnknownOne)
{
    ASSERT_EQ(devices_->DeleteNodeIpc("dup"), 0);
    EXPECT_EQ(service_.Last().body, R"({"nodeId":"11", "deviceId":"dup"})");
    std::size_t sent = service_.RequestCount();
    EXPECT_EQ(devices_->DeleteNodeIpc("ghost"), -1);
    EXPECT_EQ(devices_->ErrorText(), "not exist");
    EXPECT_EQ(service_.RequestCount(), sent);
}

TEST_F(DeviceTree, DeleteNodeIpcForAChosenNodeSendsThatNodeOnlyWhenItListsTheCamera)
{
    // "dup" is listed under "11" (first in the search order) and under "2": each can be named.
    ASSERT_EQ(devices_->DeleteNodeIpc("2", "dup"), 0);
    EXPECT_EQ(service_.Last().path, "api/deleteNodeIpc.htdy");
    EXPECT_EQ(service_.Last().body, R"({"nodeId":"2", "deviceId":"dup"})");
    ASSERT_EQ(devices_->DeleteNodeIpc("11", "dup"), 0);
    EXPECT_EQ(service_.Last().body, R"({"nodeId":"11", "deviceId":"dup"})");

    service_.SetReply(R"({"code":3,"msg":"busy"})");
    EXPECT_EQ(devices_->DeleteNodeIpc("2", "c3"), -1);
    EXPECT_EQ(devices_->ErrorText(), "busy");

    // Listed only below the node, under another node, an unknown node or camera: nothing is sent.
    const std::size_t sent = service_.RequestCount();
    const std::pair<const char*, const char*> notListed[] = {{"1", "dup"}, {"2", "c1"}, {"nope", "dup"}, {"2", "ghost"}};
    for (const auto& [node, camera] : notListed) {
        EXPECT_EQ(devices_->DeleteNodeIpc(node, camera), -1) << node << " / " << camera;
        EXPECT_EQ(devices_->ErrorText(), "not exist");
    }
    EXPECT_EQ(service_.RequestCount(), sent);
}

TEST_F(DeviceTree, BindAsksTheSubscriberOnlyAfterASuccess)
{
    std::vector<std::string> subscribed;
    devices_->SetCameraSubscriber([&](const std::string& id) { subscribed.push_back(id); });
    service_.SetReply(R"({"code":3,"msg":"busy"})");
    EXPECT_EQ(devices_->BindIpcToNodes("1", "camA"), -1);
    service_.SetReply(R"({"code":0})");
    EXPECT_EQ(devices_->BindIpcToNodes("1", "camB"), 0);
    devices_->SetCameraSubscriber(nullptr);
    EXPECT_EQ(subscribed, std::vector<std::string>{"camB"});
}

TEST_F(DeviceTree, EmptyOrMissingResultEmptiesTheTree)
{
    for (const char* reply : {R"({"code":0,"result":[]})", R"({"code":0})", R"({"code":0,"result":{}})"}) {
        service_.SetReply(kTree);
        ASSERT_EQ(devices_->FunQueryDeviceList(), 1);
        service_.SetReply(reply);
        EXPECT_EQ(devices_->FunQueryDeviceList(), 1) << reply;
        std::vector<NodeRecord> roots;
        devices_->GetTree(roots);
        EXPECT_TRUE(roots.empty()) << reply;
    }
}

TEST_F(DeviceTree, RefusalKeepsTheTreeAndTakesTheMessage)
{
    service_.SetReply(R"({"code":2,"msg":"会话已过期"})");
    EXPECT_EQ(devices_->FunQueryDeviceList(), 0);
    EXPECT_EQ(devices_->ErrorText(), "会话已过期");
    NodeRecord node;
    EXPECT_TRUE(devices_->FindNode("111", node));
}

TEST(DeviceListReader, NodeTypeKeepsTheLow16Bits)
{
    std::vector<NodeRecord> roots;
    std::string error;
    ASSERT_EQ(ReadDeviceListReply(R"({"code":0,"result":[{"nodeType":65537}]})", roots, error), 1);
    EXPECT_EQ(roots[0].nodeType, 1);
}

}  // namespace
