#include "TreeHandler.h"

#include "AccountStore.h"
#include "NodeTree.h"
#include "Refusal.h"
#include "TextRules.h"

#include <algorithm>

namespace cloudsim {

namespace {

constexpr size_t kMaxNameChars = 32;

// The main account that changes its tree; sub-accounts only look at theirs.
AccountRow RequireMain(Transaction& tx, const std::string& clientInfoId) {
    return AccountStore(tx).RequireMain(clientInfoId, "子账号不能修改设备树，请使用主账号操作");
}

// A node of the tree named by a request's id text.
const NodeTree::Node& RequireNode(const NodeTree& tree, const std::string& nodeId) {
    static const char* const kGone = "节点不存在或已被删除，请刷新设备列表";
    if (!IsDecimalId(nodeId)) throw Refusal(kNotFound, kGone);
    const NodeTree::Node* node = tree.Find(std::stoll(nodeId));
    if (!node) throw Refusal(kNotFound, kGone);
    return *node;
}

// The owner of a node named by id when the request does not say which account it comes from.
int64_t OwnerOfNode(Transaction& tx, const std::string& nodeId) {
    auto owner = IsDecimalId(nodeId) ? tx.Int("SELECT ownerId FROM node WHERE nodeId = ?", std::stoll(nodeId)) : std::nullopt;
    if (!owner) throw Refusal(kNotFound, "节点不存在或已被删除，请刷新设备列表");
    return *owner;
}

bool IsTopParent(const std::string& parentId) { return parentId.empty() || parentId == "0"; }

void SetParent(Transaction& tx, int64_t nodeId, int64_t parentId) {
    auto statement = tx.Query("UPDATE node SET parentId = ? WHERE nodeId = ?", parentId, nodeId);
    if (parentId == 0) statement.BindNull(1);
    statement.Step();
}

}  // namespace

void TreeHandler::Register(CommandTable& table) {
    auto bind = [this](Json::Value (TreeHandler::*method)(const RequestBody&)) {
        return [this, method](const RequestBody& body, const RequestContext&) { return (this->*method)(body); };
    };
    table.AddCommand(11, bind(&TreeHandler::DeviceList));
    table.AddCommand(37, bind(&TreeHandler::MoveNode));
    table.AddCommand(38, bind(&TreeHandler::RenameCamera));
    table.AddCommand(42, bind(&TreeHandler::MergeNodes));
    table.AddCommand(43, bind(&TreeHandler::SplitNode));
    table.AddNamed("addUserNode", bind(&TreeHandler::AddNode));
    table.AddNamed("updateUserNode", bind(&TreeHandler::RenameNode));
    table.AddNamed("deleteUserNode", bind(&TreeHandler::DeleteNode));
    table.AddNamed("bindIpcToNodes", bind(&TreeHandler::BindCamera));
    table.AddNamed("deleteNodeIpc", bind(&TreeHandler::UnbindCamera));
}

Json::Value TreeHandler::DeviceList(const RequestBody& body) {
    Transaction tx(db);
    AccountStore accounts(tx);
    AccountRow account = accounts.Require(body.Id("clientInfoId"));
    NodeTree tree(tx, account.OwnerId());
    return account.IsSub() ? tree.ToJson(accounts.GrantsOf(account.clientInfoId)) : tree.ToJson();
}

Json::Value TreeHandler::AddNode(const RequestBody& body) {
    std::string name = CheckName(body.Text("nodeName"), "节点名称", kMaxNameChars);
    std::string parentId = body.OptId("parentId");
    Transaction tx(db);
    AccountRow account = RequireMain(tx, body.Id("clientInfoId"));
    int64_t parent = 0;
    if (!IsTopParent(parentId)) parent = RequireNode(NodeTree(tx, account.clientInfoId), parentId).nodeId;
    auto insert = tx.Query("INSERT INTO node(ownerId, parentId, nodeName) VALUES(?, ?, ?)", account.clientInfoId,
                           parent, name);
    if (parent == 0) insert.BindNull(2);
    insert.Step();
    Json::Value result(Json::objectValue);
    result["nodeId"] = std::to_string(tx.LastInsertId());
    result["nodeName"] = name;
    result["parentId"] = parent ? std::to_string(parent) : std::string();
    tx.Commit();
    return result;
}

Json::Value TreeHandler::RenameNode(const RequestBody& body) {
    std::string name = CheckName(body.Text("nodeName"), "节点名称", kMaxNameChars);
    Transaction tx(db);
    AccountRow account = RequireMain(tx, body.Id("clientInfoId"));
    const int64_t nodeId = RequireNode(NodeTree(tx, account.clientInfoId), body.Id("nodeId")).nodeId;
    tx.Run("UPDATE node SET nodeName = ? WHERE nodeId = ?", name, nodeId);
    tx.Commit();
    return Json::Value(Json::objectValue);
}

Json::Value TreeHandler::DeleteNode(const RequestBody& body) {
    std::string nodeId = body.Id("nodeId");
    Transaction tx(db);
    NodeTree tree(tx, OwnerOfNode(tx, nodeId));
    const NodeTree::Node& node = RequireNode(tree, nodeId);
    if (!node.children.empty() || !node.devices.empty())
        throw Refusal(kConflict, "该节点下还有子节点或摄像机，请先移走或删除它们再删除节点");
    tx.Run("DELETE FROM node WHERE nodeId = ?", node.nodeId);
    tx.Commit();
    return Json::Value(Json::objectValue);
}

Json::Value TreeHandler::MoveNode(const RequestBody& body) {
    std::string source = body.Id("sourceNodeId");
    std::string target = body.OptId("targetNodeId");
    Transaction tx(db);
    AccountRow account = RequireMain(tx, body.Id("clientInfoId"));
    NodeTree tree(tx, account.clientInfoId);
    const NodeTree::Node& node = RequireNode(tree, source);
    int64_t parent = IsTopParent(target) ? 0 : RequireNode(tree, target).nodeId;
    if (parent != 0 && tree.IsWithin(parent, node.nodeId))
        throw Refusal(kInvalid, "不能把节点移动到它自己或它的下级节点下，请选择其他目标节点");
    SetParent(tx, node.nodeId, parent);
    tx.Commit();
    return Json::Value(Json::objectValue);
}

Json::Value TreeHandler::MergeNodes(const RequestBody& body) {
    std::string joined = body.Text("nodeIds");
    std::string name = CheckName(body.Text("nodeName"), "合并后的节点名称", kMaxNameChars);
    Transaction tx(db);
    AccountRow account = RequireMain(tx, body.Id("clientInfoId"));
    NodeTree tree(tx, account.clientInfoId);
    std::vector<int64_t> ids;
    for (size_t start = 0;;) {
        size_t end = joined.find("##", start);
        int64_t id = RequireNode(tree, joined.substr(start, end == std::string::npos ? end : end - start)).nodeId;
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
        if (end == std::string::npos) break;
        start = end + 2;
    }
    if (ids.size() < 2) throw Refusal(kInvalid, "请至少选择两个不同的节点进行合并");
    for (int64_t a : ids)
        for (int64_t b : ids)
            if (a != b && tree.IsWithin(a, b)) throw Refusal(kInvalid, "所选节点之间不能有上下级关系，请重新选择");
    int64_t parent = tree.Find(ids.front())->parentId;
    auto insert = tx.Query("INSERT INTO node(ownerId, parentId, nodeName, isMerge) VALUES(?, ?, ?, 1)",
                           account.clientInfoId, parent, name);
    if (parent == 0) insert.BindNull(2);
    insert.Step();
    int64_t merged = tx.LastInsertId();
    for (int64_t id : ids) SetParent(tx, id, merged);
    Json::Value result(Json::objectValue);
    result["nodeId"] = std::to_string(merged);
    result["nodeName"] = name;
    tx.Commit();
    return result;
}

Json::Value TreeHandler::SplitNode(const RequestBody& body) {
    std::string nodeId = body.Id("nodeId");
    Transaction tx(db);
    NodeTree tree(tx, OwnerOfNode(tx, nodeId));
    const NodeTree::Node& node = RequireNode(tree, nodeId);
    if (node.isMerge != 1) throw Refusal(kInvalid, "该节点不是合并节点，不能拆分");
    if (!node.devices.empty()) {
        if (node.parentId == 0)
            throw Refusal(kConflict, "合并节点下直接绑定了摄像机，请先把它们移到其他节点再拆分");
        for (const std::string& device : node.devices)
            tx.Run("INSERT OR IGNORE INTO binding(nodeId, deviceId) VALUES(?, ?)", node.parentId, device);
    }
    for (int64_t child : node.children) SetParent(tx, child, node.parentId);
    tx.Run("DELETE FROM node WHERE nodeId = ?", node.nodeId);
    tx.Commit();
    im.Sync();
    return Json::Value(Json::objectValue);
}

Json::Value TreeHandler::BindCamera(const RequestBody& body) {
    std::string deviceId = body.Text("deviceId");
    std::string alias = body.OptText("alias");
    Transaction tx(db);
    AccountRow account = RequireMain(tx, body.Id("clientInfoId"));
    const int64_t nodeId = RequireNode(NodeTree(tx, account.clientInfoId), body.Id("nodeId")).nodeId;
    auto camera = tx.Query("SELECT IFNULL(ownerId, 0) FROM camera WHERE deviceId = ?", deviceId);
    if (!camera.Step()) throw Refusal(kNotFound, "设备编号不存在，请核对设备机身标签上的编号");
    int64_t owner = camera.Int(0);
    if (owner != 0 && owner != account.clientInfoId)
        throw Refusal(kConflict, "该设备已被其他账号绑定，请先让对方解除绑定");
    if (tx.Int("SELECT 1 FROM binding WHERE nodeId = ? AND deviceId = ?", nodeId, deviceId))
        throw Refusal(kConflict, "该设备已绑定在此节点下");
    if (owner == 0) {
        std::string name = alias.empty() ? deviceId : CheckName(alias, "设备名称", kMaxNameChars);
        tx.Run("UPDATE camera SET ownerId = ?, alias = ?, warnStatus = 0 WHERE deviceId = ?", account.clientInfoId,
               name, deviceId);
        tx.Run("INSERT INTO receiver(deviceId, mobile, clientType, loginUUID, warnStatus) "
               "VALUES(?, ?, 0, 'token_PC_CODE', 1)",
               deviceId, account.mobile);
    }
    tx.Run("INSERT INTO binding(nodeId, deviceId) VALUES(?, ?)", nodeId, deviceId);
    tx.Commit();
    im.Sync();
    return Json::Value(Json::objectValue);
}

Json::Value TreeHandler::UnbindCamera(const RequestBody& body) {
    std::string nodeId = body.Id("nodeId");
    std::string deviceId = body.Text("deviceId");
    Transaction tx(db);
    RequireNode(NodeTree(tx, OwnerOfNode(tx, nodeId)), nodeId);
    if (tx.Run("DELETE FROM binding WHERE nodeId = CAST(? AS INTEGER) AND deviceId = ?", nodeId, deviceId) == 0)
        throw Refusal(kNotFound, "该摄像机不在此节点下，请刷新设备列表");
    // Bound nowhere any more: the camera leaves the account and can be bound by anyone.
    if (!tx.Int("SELECT 1 FROM binding WHERE deviceId = ?", deviceId)) {
        tx.Run("UPDATE camera SET ownerId = NULL, warnStatus = 0 WHERE deviceId = ?", deviceId);
        tx.Run("DELETE FROM receiver WHERE deviceId = ?", deviceId);
    }
    tx.Commit();
    im.Sync();
    return Json::Value(Json::objectValue);
}

Json::Value TreeHandler::RenameCamera(const RequestBody& body) {
    std::string deviceId = body.Text("deviceId");
    std::string alias = CheckName(body.Text("alias"), "设备名称", kMaxNameChars);
    Transaction tx(db);
    AccountRow account = RequireMain(tx, body.Id("clientInfoId"));
    if (tx.Run("UPDATE camera SET alias = ? WHERE deviceId = ? AND ownerId = ?", alias, deviceId,
               account.clientInfoId) == 0)
        throw Refusal(kNotFound, "该摄像机不存在或不属于本账号，请刷新设备列表");
    tx.Commit();
    return Json::Value(Json::objectValue);
}

}  // namespace cloudsim
