#include "duiWrap/DeviceNode.h"

#include "duiWrap/RowMarkup.h"

DeviceNode::DeviceNode(DeviceNode* parentNode, int nodeLevel, bool isExpanded, bool group, std::string nodeId,
                       std::string nodeText)
    : parent(parentNode), level(nodeLevel), expanded(isExpanded), isGroup(group), id(std::move(nodeId))
{
    SetText(std::move(nodeText));
}

DeviceNode* DeviceNode::LastDescendant()
{
    DeviceNode* node = this;
    while (!node->children.empty())
        node = node->children.back().get();
    return node;
}

void DeviceNode::SetText(std::string newText)
{
    text = std::move(newText);
    label = parent ? RowMarkup::LabelOf(text) : std::string();
    RefreshRowText();
}

void DeviceNode::RefreshRowText()
{
    rowText = parent ? RowMarkup::RowText(level, isGroup, expanded, text) : std::string();
}
