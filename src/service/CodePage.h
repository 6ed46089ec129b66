#pragma once

#include <string>

// Code pages the program speaks: 0 is the locale's charset (UTF-8 under the C locale, because the
// program's own texts are UTF-8), 936 is GBK, 65001 is UTF-8.
constexpr int CP_ACP = 0;
constexpr int CP_GBK = 936;
constexpr int CP_UTF8 = 65001;

// Converts text up to its first NUL from one code page to another. Bytes the source cannot decode become
// U+FFFD; characters the target lacks become "?". Unknown code pages give an empty text.
std::string ConvertCodePage(const std::string& text, int sourceCodePage, int targetCodePage);

// The two conversions of the requests: typed text to UTF-8, and service text to the local code page.
inline std::string ToUtf8(const std::string& text) { return ConvertCodePage(text, CP_ACP, CP_UTF8); }
inline std::string FromUtf8(const std::string& text) { return ConvertCodePage(text, CP_UTF8, CP_ACP); }
