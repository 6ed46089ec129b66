// Parsing of a large device-list reply (1,000 nodes, 10,000 cameras) and FindDevice over the tree,
// each beside a reference measured in the same run: a bare RapidJSON parse of the same text, and a
// linear std::find over the 10,000 camera ids.
#include "app/UserSession.h"
#include "service/CodePage.h"
#include "service/DeviceMgr.h"
#include "service/NodeReply.h"
#include "service/ServiceEndpoint.h"
#include "service/ServiceReply.h"

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kRoots = 100;
constexpr int kChildrenPerRoot = 9;  // 100 + 900 = 1,000 nodes
constexpr int kCamerasPerNode = 10;  // 10,000 cameras

std::string CameraId(int node, int camera)
{
    return "dev" + std::to_string(node * kCamerasPerNode + camera);
}

std::string NodeJson(int node, const std::string& parent, const std::string& children)
{
    std::string json = "{\"nodeId\":\"" + std::to_string(node) + "\",\"parentId\":\"" + parent + "\",\"nodeName\":\"节点" +
                       std::to_string(node) + "\",\"nodeType\":1,\"isMerge\":0,\"childDevices\":[";
    for (int c = 0; c < kCamerasPerNode; ++c)
        json += std::string(c == 0 ? "" : ",") + "{\"deviceId\":\"" + CameraId(node, c) + "\",\"alias\":\"摄像机" +
                std::to_string(c) + "\",\"nodeType\":2,\"warnStatus\":0}";
    return json + "],\"childNodes\":[" + children + "]}";
}

const std::string& Reply()
{
    static const std::string reply = [] {
        std::string roots;
        int node = 0;
        for (int r = 0; r < kRoots; ++r) {
            int rootId = node++;
            std::string children;
            for (int c = 0; c < kChildrenPerRoot; ++c)
                children += (c == 0 ? "" : ",") + NodeJson(node++, std::to_string(rootId), "");
            roots += (r == 0 ? "" : ",") + NodeJson(rootId, "", children);
        }
        return "{\"code\":0,\"msg\":\"\",\"result\":[" + roots + "]}";
    }();
    return reply;
}

void BM_Reference_RapidJsonParse(benchmark::State& state)
{
    for (auto _ : state) {
        rapidjson::Document document;
        document.Parse(Reply().c_str(), Reply().size());
        benchmark::DoNotOptimize(document.IsObject());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Reply().size()));
}
BENCHMARK(BM_Reference_RapidJsonParse)->Unit(benchmark::kMillisecond);

// The two passes the reader makes before parsing: the conversion to the local code page and the depth check.
void BM_ConvertAndDepthCheck(benchmark::State& state)
{
    for (auto _ : state) {
        std::string text = FromUtf8(Reply());
        benchmark::DoNotOptimize(JsonDepthWithin(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Reply().size()));
}
BENCHMARK(BM_ConvertAndDepthCheck)->Unit(benchmark::kMillisecond);

void BM_ReadDeviceListReply(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<NodeRecord> roots;
        std::string error;
        if (ReadDeviceListReply(Reply(), roots, error) != 1)
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(roots.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Reply().size()));
}
BENCHMARK(BM_ReadDeviceListReply)->Unit(benchmark::kMillisecond);

// The whole query over loopback: request, reply, conversion, parse and the tree swap.
class ServiceOnLoopback {
public:
    ServiceOnLoopback()
    {
        server_.Post(R"(/.*)", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(Reply(), "application/json");
        });
        int port = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        SetServiceEndpointForTesting("127.0.0.1", static_cast<std::uint16_t>(port));
    }
    ~ServiceOnLoopback()
    {
        server_.stop();
        thread_.join();
    }

private:
    httplib::Server server_;
    std::thread thread_;
};

void BM_FunQueryDeviceList(benchmark::State& state)
{
    ServiceOnLoopback service;
    for (auto _ : state)
        if (DeviceMgr::Instance()->FunQueryDeviceList() != 1)
            state.SkipWithError("query failed");
}
BENCHMARK(BM_FunQueryDeviceList)->Unit(benchmark::kMillisecond);

// The last camera in search order: the worst case of a lookup.
const std::string kLastCamera = CameraId(kRoots * (kChildrenPerRoot + 1) - 1, kCamerasPerNode - 1);

void BM_Reference_FindInFlatIdList(benchmark::State& state)
{
    std::vector<std::string> ids;
    for (int n = 0; n < kRoots * (kChildrenPerRoot + 1); ++n)
        for (int c = 0; c < kCamerasPerNode; ++c)
            ids.push_back(CameraId(n, c));
    for (auto _ : state) {
        std::string found = *std::find(ids.begin(), ids.end(), kLastCamera);  // a copy, like FindDevice's
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Reference_FindInFlatIdList)->Unit(benchmark::kMicrosecond);

void BM_FindDevice(benchmark::State& state)
{
    {
        ServiceOnLoopback service;
        if (DeviceMgr::Instance()->FunQueryDeviceList() != 1)
            state.SkipWithError("query failed");
    }
    DeviceRecord device;
    for (auto _ : state)
        benchmark::DoNotOptimize(DeviceMgr::Instance()->FindDevice(kLastCamera, device));
    if (device.deviceId != kLastCamera)
        state.SkipWithError("camera not found");
}
BENCHMARK(BM_FindDevice)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
