#include "duiWrap/RowMarkup.h"

std::string RowMarkup::RowText(int level, bool isGroup, bool expanded, const std::string& text)
{
    std::string row = "<x 6>";
    row.reserve(row.size() + 7 * static_cast<size_t>(level > 0 ? level : 0) + 40 + text.size());
    for (int i = 0; i < level; ++i)
        row += "<x 24>";
    if (isGroup)
        row += expanded ? "<a><i tree_expand.png 2 1></a>" : "<a><i tree_expand.png 2 0></a>";
    row += text;
    return row;
}

std::string RowMarkup::LabelOf(const std::string& text)
{
    const auto brace = text.rfind('}');
    return brace == std::string::npos ? text : text.substr(brace + 1);
}
