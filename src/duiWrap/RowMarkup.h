#pragma once

#include <string>

// Texts of the device list's rows in the toolkit's inline markup: the icon prefixes of the node tree
// and of the recently-watched list, and the row text built from a node's level and state.
class RowMarkup {
public:
    static constexpr const char* kAccountIcon = "{x 4}{i gameicons.png 18 7}{x 4}";
    static constexpr const char* kNodeIcon = "{x 4}{i gameicons.png 18 7}{x }";
    static constexpr const char* kCameraOnlineIcon = "{x 4}{i gameicons.png 18 4}{x 4}";
    static constexpr const char* kCameraOfflineIcon = "{x 4}{i gameicons.png 18 3}{x 4}";
    static constexpr const char* kRecentTitle = "最近观看";
    static constexpr const char* kTopRowBackground = "file='tree_top.png' corner='2,1,2,1' fade='100'";

    // Pixels between the row's left edge and its first level of indentation, and per level.
    static constexpr int kLeftMargin = 6;
    static constexpr int kIndent = 24;

    static const char* CameraIcon(bool online) { return online ? kCameraOnlineIcon : kCameraOfflineIcon; }

    // "<x 6>", "<x 24>" per level, the expander of a node, then the node's own text.
    static std::string RowText(int level, bool isGroup, bool expanded, const std::string& text);

    // A name (from the service, the history or the user) as markup that shows it as written: the
    // characters of the markup ("\\", "{", "}", "<", ">") get a backslash before them.
    static std::string Name(const std::string& name);

    // The name shown without the icon markup: what follows the last "}" of a tag (all of it without
    // one), with its escapes undone.
    static std::string LabelOf(const std::string& text);
};
