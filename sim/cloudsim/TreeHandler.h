#pragma once
// The node tree: the device-list query (cmd 11) and every change of nodes and camera bindings
// (add, rename, delete, move, merge and split nodes; bind, rename and unbind cameras).
#include "CommandTable.h"
#include "Database.h"
#include "ImAccounts.h"

namespace cloudsim {

class TreeHandler {
public:
    TreeHandler(Database& db, ImAccounts& im) : db(db), im(im) {}
    void Register(CommandTable& table);

private:
    Json::Value DeviceList(const RequestBody& body);
    Json::Value AddNode(const RequestBody& body);
    Json::Value RenameNode(const RequestBody& body);
    Json::Value DeleteNode(const RequestBody& body);
    Json::Value MoveNode(const RequestBody& body);
    Json::Value MergeNodes(const RequestBody& body);
    Json::Value SplitNode(const RequestBody& body);
    Json::Value BindCamera(const RequestBody& body);
    Json::Value UnbindCamera(const RequestBody& body);
    Json::Value RenameCamera(const RequestBody& body);

    Database& db;
    ImAccounts& im;
};

}  // namespace cloudsim
