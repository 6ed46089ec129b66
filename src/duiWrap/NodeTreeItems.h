#pragma once

#include "service/NodeRecord.h"

#include <QString>

#include <string>
#include <vector>

class CPaintManagerUI;
class CTreeNodeUI;
class CTreeViewUI;

// The account's node tree as the merge and move windows show it: a root item (the account, tag 0),
// under it the top nodes, and under each node first its cameras, then its child nodes. Items come
// from the item template "treeitem.xml"; a node's user data is its id and its tag its type (1), a
// camera's user data its device id and its tag its type (2). Every item is expanded. UI thread only.
class NodeTreeItems {
public:
    static constexpr const char* kNodeIcon = "{x 4}{i gameicons.png 18 7}{x 7}";
    static constexpr const char* kCameraIcon = "{x 4}{i gameicons.png 18 4}{x 7}";

    static void Fill(CTreeViewUI& tree, CPaintManagerUI& manager, const std::string& account,
                     const std::vector<NodeRecord>& roots);

    // An item's id (its user data) as the requests take it.
    static std::string IdOf(const CTreeNodeUI* item);
};
