// Many clients at once: writes and reads interleave, every request is answered and nothing is lost.
#include "ServiceRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

int CountChildren(const Json::Value& nodes, const std::string& parent) {
    int count = 0;
    for (const Json::Value& node : nodes) {
        if (node["parentId"].asString() == parent) ++count;
        count += CountChildren(node["childNodes"], parent);
    }
    return count;
}

TEST(CloudServiceConcurrencyTest, ParallelWritersAndReadersAreAllServed) {
    ServiceRig rig;
    constexpr int kThreads = 6, kRounds = 15;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                std::string name = "n" + std::to_string(t) + "-" + std::to_string(round);
                Json::Value added =
                    rig.Named("addUserNode", R"({"nodeName":")" + name + R"(", "clientInfoId":"10001", "parentId":"2001"})");
                std::string id = added["result"]["nodeId"].asString();
                Json::Value renamed = rig.Named("updateUserNode", R"({"orgId":"1500", "nodeName":")" + name +
                                                                      R"(x", "clientInfoId":"10001", "nodeId":")" + id + "\"}");
                Json::Value tree = rig.Command(R"({"clientInfoId":"10001", "cmd":11, "loginUUID":"token_PC_CODE", "clientType":"0"})");
                Json::Value bad;
                rig.PostRaw("/vyr-api/ws/api/reqCmd", "{\"cmd\":", bad);
                if (added["code"].asInt() != 0 || renamed["code"].asInt() != 0 || tree["code"].asInt() != 0 ||
                    bad["code"].asInt() != 1001)
                    ++failures;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures.load(), 0);
    Json::Value tree = rig.Command(R"({"clientInfoId":"10001", "cmd":11, "loginUUID":"token_PC_CODE", "clientType":"0"})");
    EXPECT_EQ(CountChildren(tree["result"], "2001"), 2 + kThreads * kRounds);
}

}  // namespace
