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

namespace {

bool IsMarkupCharacter(char c)
{
    return c == '\\' || c == '{' || c == '}' || c == '<' || c == '>';
}

}  // namespace

std::string RowMarkup::Name(const std::string& name)
{
    std::string escaped;
    escaped.reserve(name.size());
    for (char c : name) {
        if (IsMarkupCharacter(c))
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string RowMarkup::LabelOf(const std::string& text)
{
    std::string label;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && IsMarkupCharacter(text[i + 1]))
            label += text[++i];
        else if (text[i] == '}')
            label.clear();  // the end of a tag: the label is what follows the last one
        else
            label += text[i];
    }
    return label;
}
