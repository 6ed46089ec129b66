// The prosody of the peers fixture accepts the accounts provisioned from cloudsim's database: a user
// logs in with the IM password of its log-in reply and receives its cameras as roster items named by
// device id; a camera logs in with the password cloudsim keeps for it.
#include <gloox/client.h>
#include <gloox/connectionlistener.h>
#include <gloox/rostermanager.h>
#include <httplib.h>
#include <json/json.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <set>

namespace {

Json::Value PostJson(const std::string& path, const std::string& body) {
    httplib::Client client("127.0.0.1", 8000);
    client.set_read_timeout(20);
    // An empty path reads the camera list of the control interface.
    auto result = path.empty() ? client.Get("/sim/cameras") : client.Post(path.c_str(), body, "application/json");
    Json::Value reply;
    if (!result) return reply;
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    reader->parse(result->body.data(), result->body.data() + result->body.size(), &reply, &errors);
    return reply;
}

// One XMPP log-in: connects, waits (bounded) for the session and the roster, then disconnects.
class ImLogin : public gloox::ConnectionListener {
public:
    ImLogin(const std::string& user, const std::string& password, const std::string& host, int port)
        : client(gloox::JID(user + "@" + KELVUE_DEVICE_DOMAIN + "/fixture-check"), password, port) {
        client.setServer(host);
        client.setTls(gloox::TLSDisabled);
        client.registerConnectionListener(this);
    }

    // True once connected; the roster names are read when the server sent them.
    bool Run() {
        if (!client.connect(false)) return false;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!connected && !failed && std::chrono::steady_clock::now() < deadline) client.recv(100000);
        // The roster arrives right after the session starts.
        for (int i = 0; connected && i < 10; ++i) client.recv(50000);
        for (const auto& [jid, item] : *client.rosterManager()->roster()) names.insert(item->name());
        client.disconnect();
        return connected;
    }

    void onConnect() override { connected = true; }
    void onDisconnect(gloox::ConnectionError) override { failed = !connected; }
    bool onTLSConnect(const gloox::CertInfo&) override { return true; }

    std::set<std::string> names;

private:
    gloox::Client client;
    bool connected = false;
    bool failed = false;
};

TEST(ProsodyLoginTest, ProvisionedUserAndCameraLogIn) {
    Json::Value login = PostJson("/vyr-api/ws/api/reqCmd",
                                 R"({"mobile": "13900139000","password" : "kelvue456","cmd":1,"clientType":0})");
    ASSERT_EQ(login["code"].asInt(), 0) << "cloudsim of the peers fixture is not answering";
    const Json::Value& result = login["result"];
    ImLogin user("13900139000", result["imPassword"].asString(), result["im_server_ip"].asString(),
                 result["im_server_port"].asInt());
    ASSERT_TRUE(user.Run());
    EXPECT_EQ(user.names, (std::set<std::string>{"kv100106", "kv100107", "kv100112"}));

    ImLogin wrong("13900139000", "not-the-password", result["im_server_ip"].asString(),
                  result["im_server_port"].asInt());
    EXPECT_FALSE(wrong.Run());

    std::string cameraPassword;
    Json::Value cameras = PostJson("", "");
    for (const Json::Value& camera : cameras["result"])
        if (camera["deviceId"].asString() == "kv100112") cameraPassword = camera["imPassword"].asString();
    ASSERT_FALSE(cameraPassword.empty());
    ImLogin camera("kv100112", cameraPassword, result["im_server_ip"].asString(), result["im_server_port"].asInt());
    ASSERT_TRUE(camera.Run());
    EXPECT_EQ(camera.names, (std::set<std::string>{"13800138000", "13900139000"}));
}

TEST(ProsodyLoginTest, CameraBoundLaterGetsItsAccountAndJoinsTheRoster) {
    ASSERT_EQ(PostJson("/sim/reset", "")["code"].asInt(), 0) << "cloudsim of the peers fixture is not answering";
    Json::Value login = PostJson("/vyr-api/ws/api/reqCmd",
                                 R"({"mobile": "13800138000","password" : "kelvue123","cmd":1,"clientType":0})");
    const Json::Value& result = login["result"];
    std::string host = result["im_server_ip"].asString();
    int port = result["im_server_port"].asInt();
    std::string cameraPassword;
    Json::Value cameras = PostJson("", "");
    for (const Json::Value& camera : cameras["result"])
        if (camera["deviceId"].asString() == "kv100203") cameraPassword = camera["imPassword"].asString();
    ASSERT_FALSE(cameraPassword.empty());
    ImLogin before("kv100203", cameraPassword, host, port);
    EXPECT_FALSE(before.Run());  // bound to no account: no IM account yet

    // Read the user's roster once, so the server holds it, then bind the camera.
    ImLogin first("13800138000", result["imPassword"].asString(), host, port);
    ASSERT_TRUE(first.Run());
    EXPECT_FALSE(first.names.count("kv100203"));
    ASSERT_EQ(PostJson("/api/bindIpcToNodes.htdy",
                       R"({"nodeId":"2002", "deviceId":"kv100203", "clientInfoId":"10001", "alias": "test"})")["code"]
                  .asInt(),
              0);
    ImLogin after("kv100203", cameraPassword, host, port);
    EXPECT_TRUE(after.Run());
    ImLogin again("13800138000", result["imPassword"].asString(), host, port);
    ASSERT_TRUE(again.Run());
    EXPECT_TRUE(again.names.count("kv100203"));
    PostJson("/sim/reset", "");
}

}  // namespace
