#include "duiWrap/NodeTreeItems.h"

#include "duiWrap/RowMarkup.h"
#include "ui/CDialogBuilder.h"
#include "ui/CTreeNodeUI.h"
#include "ui/CTreeViewUI.h"

namespace {

CTreeNodeUI* NewItem(CPaintManagerUI& manager, const std::string& text, const std::string& id, int tag)
{
    CDialogBuilder builder;
    auto* item = dynamic_cast<CTreeNodeUI*>(builder.Create(QStringLiteral("treeitem.xml"), QString(), nullptr, &manager));
    if (item == nullptr)
        item = new CTreeNodeUI;  // a skin without the template still shows the tree
    item->SetText(QString::fromStdString(text));
    item->SetUserData(QString::fromStdString(id));
    item->SetTag(static_cast<UINT_PTR>(tag));
    return item;
}

void AddNode(CPaintManagerUI& manager, CTreeNodeUI& parent, const NodeRecord& node)
{
    CTreeNodeUI* item = NewItem(manager, NodeTreeItems::kNodeIcon + RowMarkup::Name(node.nodeName), node.nodeId,
                                node.nodeType);
    parent.Add(item);
    for (const DeviceRecord& camera : node.childDevices)
        item->Add(NewItem(manager, NodeTreeItems::kCameraIcon + RowMarkup::Name(camera.alias), camera.deviceId,
                          camera.nodeType));
    for (const NodeRecord& child : node.childNodes)
        AddNode(manager, *item, child);
    item->SetExpanded(true);
}

}  // namespace

void NodeTreeItems::Fill(CTreeViewUI& tree, CPaintManagerUI& manager, const std::string& account,
                         const std::vector<NodeRecord>& roots)
{
    CTreeNodeUI* root = NewItem(manager, account, std::string(), 0);
    tree.Add(root);
    for (const NodeRecord& node : roots)
        AddNode(manager, *root, node);
    root->SetExpanded(true);
}

std::string NodeTreeItems::IdOf(const CTreeNodeUI* item)
{
    return item ? item->GetUserData().toStdString() : std::string();
}
