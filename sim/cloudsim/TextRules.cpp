#include "TextRules.h"

#include "Refusal.h"

#include <cstdio>
#include <regex>

namespace cloudsim {

namespace {

// Number of code points of a valid UTF-8 text without control characters; -1 otherwise.
long Utf8Length(const std::string& text) {
    long count = 0;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 4;
        if (extra == 4) return -1;
        if (c < 0x20 || c == 0x7F) return -1;
        unsigned long code = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= text.size()) return -1;
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return -1;
            code = (code << 6) | (next & 0x3F);
        }
        static const unsigned long minimum[] = {0, 0x80, 0x800, 0x10000};
        if (code < minimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
        i += extra + 1;
        ++count;
    }
    return count;
}

std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

std::string CheckName(const std::string& value, const char* field, size_t maxChars) {
    std::string name = Trim(value);
    long length = Utf8Length(name);
    if (length < 0) throw Refusal(kInvalid, std::string(field) + "含有无效字符，请重新输入");
    if (length == 0) throw Refusal(kInvalid, std::string(field) + "不能为空");
    if (static_cast<size_t>(length) > maxChars)
        throw Refusal(kInvalid, std::string(field) + "不能超过" + std::to_string(maxChars) + "个字符");
    return name;
}

void CheckPassword(const std::string& value, const char* field) {
    bool printable = true;
    for (char c : value) printable = printable && c > 0x20 && c < 0x7F;
    if (!printable || value.size() < 6 || value.size() > 32)
        throw Refusal(kInvalid, std::string(field) + "须为6到32位字母、数字或符号，不能含空格");
}

void CheckMobile(const std::string& value) {
    static const std::regex pattern("1[0-9]{10}");
    if (!std::regex_match(value, pattern)) throw Refusal(kInvalid, "手机号码格式不正确，请输入11位手机号码");
}

std::string CheckDay(const std::string& value, const char* field) {
    static const std::regex pattern("([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})");
    std::smatch match;
    if (std::regex_match(value, match, pattern)) {
        int year = std::stoi(match[1]), month = std::stoi(match[2]), day = std::stoi(match[3]);
        static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        if (year >= 1970 && month >= 1 && month <= 12 && day >= 1 &&
            day <= days[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0)) {
            char text[40];
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
            return text;
        }
    }
    throw Refusal(kInvalid, std::string(field) + "不是有效的日期（格式：年-月-日）");
}

void CheckWatchTime(const std::string& value) {
    static const std::regex period("([01][0-9]|2[0-3]):([0-5][0-9]):([0-5][0-9])-([01][0-9]|2[0-3]):([0-5][0-9]):([0-5][0-9])");
    size_t start = 0;
    do {
        size_t end = value.find('#', start);
        std::string item = value.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::smatch match;
        if (!std::regex_match(item, match, period) || item.substr(0, 8) >= item.substr(9))
            throw Refusal(kInvalid, "观看时段格式不正确，应为“时:分:秒-时:分:秒”，开始早于结束，多个时段以#分隔");
        start = end == std::string::npos ? end : end + 1;
    } while (start != std::string::npos);
}

bool IsDecimalId(const std::string& value) {
    return !value.empty() && value.size() <= 15 && value.find_first_not_of("0123456789") == std::string::npos;
}

std::string FormatDay(std::time_t when) {
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &parts);
    return text;
}

std::string FormatDateTime(std::time_t when) {
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

}  // namespace cloudsim
