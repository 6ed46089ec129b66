#pragma once

#include "glooxWrap/DeviceMessenger.h"
#include "service/NodeRecord.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <unordered_set>
#include <vector>

// The benchmark's account: `topCount` top nodes with `subPerTop` sub-nodes each, every node holding
// `camerasPerNode` cameras (defaults: 100 x (1 + 9) = 1,000 nodes, 10,000 cameras).
std::vector<NodeRecord> MakeBenchTree(int topCount = 100, int subPerTop = 9, int camerasPerNode = 10);

// Presence as a contact list of the given size would answer it, in O(1) per question.
class BenchMessenger : public DeviceMessenger {
public:
    explicit BenchMessenger(const std::vector<NodeRecord>& tree);
    void SendMsg(const std::string&, const std::string&) override {}
    void Subscribe(const std::string&) override {}
    bool IsFriend(const std::string& id) override { return friends_.count(id) > 0; }
    bool IsOnline(const std::string& id) override { return friends_.count(id) > 0 && id.back() % 2 == 0; }
    void GetFriends(std::vector<std::string>& out) override { out.assign(friends_.begin(), friends_.end()); }
    bool WaitUntilReady(std::stop_token) override { return true; }

private:
    std::unordered_set<std::string> friends_;
};

// Median wall time of `runs` calls of f, in milliseconds.
template <class F>
double MedianMs(int runs, F&& f)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
