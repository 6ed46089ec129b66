// Fuzz target for the service reply readers: the device list and the sub-account detail (RapidJSON),
// and the jsoncpp envelope with the member readers the requests use. Besides "never crash", it checks
// one property: a tree read from any reply, written back with NodeToJson, reads back the same.
#include "service/ChildAccountMgr.h"
#include "service/DeviceMgr.h"
#include "service/NodeReply.h"
#include "service/ServiceReply.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool SameTree(const NodeRecord& a, const NodeRecord& b)
{
    if (a.nodeId != b.nodeId || a.nodeName != b.nodeName || a.nodeType != b.nodeType ||
        a.childDevices.size() != b.childDevices.size() || a.childNodes.size() != b.childNodes.size())
        return false;
    for (std::size_t i = 0; i < a.childDevices.size(); ++i)
        if (a.childDevices[i].deviceId != b.childDevices[i].deviceId || a.childDevices[i].alias != b.childDevices[i].alias)
            return false;
    for (std::size_t i = 0; i < a.childNodes.size(); ++i)
        if (!SameTree(a.childNodes[i], b.childNodes[i]))
            return false;
    return true;
}

void CheckRoundTrip(const std::vector<NodeRecord>& roots)
{
    for (const NodeRecord& root : roots) {
        std::vector<NodeRecord> again;
        std::string error;
        if (ReadDeviceListReply("{\"code\":0,\"result\":[" + DeviceMgr::NodeToJson(root) + "]}", again, error) != 1 ||
            again.size() != 1 || !SameTree(root, again[0]))
            std::abort();
    }
}

// Reads "result" the way the account, alarm and role readers do.
void ReadLikeTheRequests(const Json::Value& result)
{
    try {
        JsonText(result, "clientInfoId");
        JsonInt(result, "im_server_port");
        JsonUtf8Text(result, "imPassword");
        ForEachObject(JsonArray(result, "rows"), [](const Json::Value& row) {
            JsonInt(row, "warnType");
            JsonText(row, "fileId");
        });
    } catch (const ReplyFormatError&) {
    }
    try {
        ForEachObject(result, [](const Json::Value& element) {
            JsonText(element, "clientRoleId");
            JsonInt(element, "resourceType");
        });
    } catch (const ReplyFormatError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string reply(reinterpret_cast<const char*>(data), size);
    std::string error;

    std::vector<NodeRecord> roots;
    if (ReadDeviceListReply(reply, roots, error) == 1)
        CheckRoundTrip(roots);
    else if (error.empty())
        std::abort();  // every failure names its reason

    ChildAccount account;
    error.clear();
    if (ChildAccountMgr::ReadAccountDetail(reply, account, error) == 0)
        CheckRoundTrip(account.nodes);
    else if (error.empty())
        std::abort();

    for (CodeForm form : {CodeForm::Text, CodeForm::Integer}) {
        Json::Value result;
        error.clear();
        if (OpenJsonReply(reply, form, result, error))
            ReadLikeTheRequests(result);
        else if (error.empty())
            std::abort();
    }
    return 0;
}
