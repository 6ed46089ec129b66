// The IM accounts written for prosody follow the database: users, bound cameras, rosters.
#include "ImProvisioner.h"
#include "ServiceRig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class ImProvisionerTest : public ::testing::Test {
protected:
    fs::path Host() const { return fs::path(rig.ImFolder()) / cloudsim::ImProvisioner::EncodeName(KELVUE_DEVICE_DOMAIN); }
    std::set<std::string> Accounts() const {
        std::set<std::string> users;
        for (const auto& entry : fs::directory_iterator(Host() / "accounts")) users.insert(entry.path().stem().string());
        return users;
    }
    std::string Read(const char* store, const std::string& user) const {
        std::ifstream in(Host() / store / (user + ".dat"));
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }
    bool RosterHas(const std::string& user, const std::string& contact) const {
        return Read("roster", user).find("[\"" + contact + "@" + KELVUE_DEVICE_DOMAIN + "\"]") != std::string::npos;
    }

    ServiceRig rig{true};
};

TEST_F(ImProvisionerTest, EncodesNamesAsProsodyDoes) {
    EXPECT_EQ(cloudsim::ImProvisioner::EncodeName("kelvue.local"), "kelvue%2elocal");
    EXPECT_EQ(cloudsim::ImProvisioner::EncodeName("a-b_c9"), "a%2db%5fc9");
}

TEST_F(ImProvisionerTest, UsersAndBoundCamerasHaveAccountsAndRosters) {
    std::set<std::string> users = Accounts();
    EXPECT_EQ(users.size(), 16u);
    for (const char* user : {"13800138000", "13900139000", "13700137000", "kv100101", "kv100112", "kv100301"})
        EXPECT_TRUE(users.count(user)) << user;
    EXPECT_FALSE(users.count("kv100201"));  // bound to no account

    Json::Value login = rig.Command(R"({"mobile": "13900139000","password" : "kelvue456","cmd":1,"clientType":0})");
    EXPECT_NE(Read("accounts", "13900139000").find("\"" + login["result"]["imPassword"].asString() + "\""),
              std::string::npos);
    // The sub-account's roster names exactly its cameras, by device id.
    std::string roster = Read("roster", "13900139000");
    for (const char* camera : {"kv100106", "kv100107", "kv100112"}) {
        EXPECT_TRUE(RosterHas("13900139000", camera)) << camera;
        EXPECT_NE(roster.find(std::string("[\"name\"] = \"") + camera + "\""), std::string::npos);
    }
    EXPECT_FALSE(RosterHas("13900139000", "kv100101"));
    EXPECT_TRUE(RosterHas("kv100112", "13800138000"));
    EXPECT_TRUE(RosterHas("kv100112", "13900139000"));
    EXPECT_FALSE(RosterHas("kv100101", "13900139000"));
}

TEST_F(ImProvisionerTest, ChangesOfTheDatabaseReachTheImAccounts) {
    rig.Named("bindIpcToNodes", R"({"nodeId":"2002", "deviceId":"kv100201", "clientInfoId":"10001", "alias": "test"})");
    EXPECT_TRUE(Accounts().count("kv100201"));
    EXPECT_TRUE(RosterHas("13800138000", "kv100201"));
    EXPECT_TRUE(RosterHas("kv100201", "13800138000"));

    rig.Named("deleteNodeIpc", R"({"nodeId":"2002", "deviceId":"kv100201"})");
    EXPECT_FALSE(Accounts().count("kv100201"));
    EXPECT_FALSE(RosterHas("13800138000", "kv100201"));

    rig.Command(R"({ "cmd":19,"clientInfoId":"10001","mobile":"13600136000","name":"n","password":"patrol88","clientRoleId":"302","expireTime":"2099-1-5","clientType":"0","maxLoginCount":"1","watchTime":"00:00:00-23:59:59","result":[{"nodeId":"2004","nodeType":1,"nodeName":"机房","childDevices":[ { "deviceId":"kv100105","alias":"a"}]}]})");
    EXPECT_TRUE(Accounts().count("13600136000"));
    EXPECT_TRUE(RosterHas("13600136000", "kv100105"));
    EXPECT_TRUE(RosterHas("kv100105", "13600136000"));
}

}  // namespace
