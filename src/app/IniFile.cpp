#include "app/IniFile.h"

#include "base/AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Line {
    std::string text;  // without its line ending
    std::string ending;
};

std::string Trim(const std::string& text)
{
    const char* blanks = " \t\r";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// A UTF-8 byte order mark that an editor put before the first line: not part of the first line's text
// (the first section's header would not be recognised), and kept in front when the file is rewritten.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string TakeByteOrderMark(std::string& content)
{
    if (content.rfind(kByteOrderMark, 0) != 0)
        return {};
    content.erase(0, sizeof kByteOrderMark - 1);
    return kByteOrderMark;
}

std::vector<Line> SplitLines(const std::string& content)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find('\n', pos);
        if (end == std::string::npos) {
            lines.push_back({content.substr(pos), ""});
            break;
        }
        std::size_t textEnd = (end > pos && content[end - 1] == '\r') ? end - 1 : end;
        lines.push_back({content.substr(pos, textEnd - pos), content.substr(textEnd, end + 1 - textEnd)});
        pos = end + 1;
    }
    return lines;
}

// The section name of a "[name]" line, or false for any other line.
bool SectionOf(const std::string& line, std::string& name)
{
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[')
        return false;
    std::size_t close = trimmed.find(']');
    name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

bool IsComment(const std::string& trimmed)
{
    return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// Splits a "key=value" line; false for blank lines, comments and lines without "=".
bool KeyValueOf(const std::string& line, std::string& key, std::string& value)
{
    std::string trimmed = Trim(line);
    if (trimmed.empty() || IsComment(trimmed))
        return false;
    std::size_t equals = trimmed.find('=');
    if (equals == std::string::npos)
        return false;
    key = Trim(trimmed.substr(0, equals));
    value = Trim(trimmed.substr(equals + 1));
    return true;
}

// Index range [begin, end) of the lines belonging to the first section of that name (its header is begin - 1).
bool FindSection(const std::vector<Line>& lines, const std::string& section, std::size_t& begin, std::size_t& end)
{
    std::string name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!SectionOf(lines[i].text, name) || !SameName(name, section))
            continue;
        begin = i + 1;
        end = begin;
        while (end < lines.size() && !SectionOf(lines[end].text, name))
            ++end;
        return true;
    }
    return false;
}

std::string Join(const std::vector<Line>& lines)
{
    std::string content;
    for (const Line& line : lines)
        content += line.text + line.ending;
    return content;
}

bool ValidName(const std::string& text)
{
    return text.find_first_of("\r\n") == std::string::npos;
}

std::string LowerCase(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

}  // namespace

IniFile::Snapshot::Snapshot(std::string content)
{
    TakeByteOrderMark(content);
    std::map<std::string, std::string>* current = nullptr;  // null while outside a section or in a repeated one
    std::string name, key, value;
    for (const Line& line : SplitLines(content)) {
        if (SectionOf(line.text, name)) {
            auto [section, added] = sections_.try_emplace(LowerCase(name));
            current = added ? &section->second : nullptr;
        } else if (current != nullptr && KeyValueOf(line.text, key, value)) {
            current->try_emplace(LowerCase(key), value);
        }
    }
}

bool IniFile::Snapshot::Lookup(const std::string& section, const std::string& key, std::string& value) const
{
    auto found = sections_.find(LowerCase(section));
    if (found == sections_.end())
        return false;
    auto entry = found->second.find(LowerCase(key));
    if (entry == found->second.end())
        return false;
    value = entry->second;
    return true;
}

std::size_t IniFile::Snapshot::KeyCount(const std::string& section) const
{
    auto found = sections_.find(LowerCase(section));
    return found == sections_.end() ? 0 : found->second.size();
}

int IniFile::Snapshot::ReadString(const std::string& section, const std::string& key, const std::string& def,
                                  std::string& out, std::size_t bufferSize) const
{
    std::string value;
    if (!Lookup(section, key, value))
        value = Trim(def);
    std::size_t limit = bufferSize == 0 ? 0 : bufferSize - 1;
    if (value.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
            --cut;
        // A value never ends in blanks (they are trimmed when read), so a cut one does not either: what
        // is read can be written and read back the same.
        value = Trim(value.substr(0, cut));
    }
    if (!value.empty())
        out = value;
    return static_cast<int>(value.size());
}

int IniFile::Snapshot::ReadInt(const std::string& section, const std::string& key, int def) const
{
    std::string value;
    if (!Lookup(section, key, value) || value.empty())
        return def;
    errno = 0;
    long long number = std::strtoll(value.c_str(), nullptr, 10);
    if (number > INT_MAX)
        return INT_MAX;
    if (number < INT_MIN)
        return INT_MIN;
    return static_cast<int>(number);
}

IniFile::Snapshot IniFile::Read() const
{
    std::string content;
    if (!path_.empty())
        AtomicFile::Read(path_, content);
    return Snapshot(content);
}

int IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def, std::string& out,
                        std::size_t bufferSize) const
{
    return Read().ReadString(section, key, def, out, bufferSize);
}

int IniFile::ReadInt(const std::string& section, const std::string& key, int def) const
{
    return Read().ReadInt(section, key, def);
}

bool IniFile::WriteInt(const std::string& section, const std::string& key, int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return WriteString(section, key, text);
}

bool IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    if (path_.empty() || !ValidName(section) || !ValidName(key) || !ValidName(value) || Trim(key).empty() ||
        key.find('=') != std::string::npos)
        return false;
    std::string content;
    // A missing file is created. One that is there but cannot be read is left alone: rewritten from
    // nothing, it would keep this one entry and lose every other setting.
    if (!AtomicFile::Read(path_, content) && access(path_.c_str(), F_OK) == 0)
        return false;
    const std::string mark = TakeByteOrderMark(content);
    std::vector<Line> lines = SplitLines(content);
    std::string eol = (!lines.empty() && lines.front().ending == "\r\n") ? "\r\n" : "\n";
    if (!lines.empty() && lines.back().ending.empty())
        lines.back().ending = eol;
    Line entry{key + "=" + value, eol};

    std::size_t begin = 0, end = 0;
    if (!FindSection(lines, section, begin, end)) {
        lines.push_back({"[" + section + "]", eol});
        lines.push_back(entry);
        return Rewrite(mark + Join(lines));
    }
    std::string lineKey, lineValue;
    std::size_t insertAt = begin;
    for (std::size_t i = begin; i < end; ++i) {
        if (KeyValueOf(lines[i].text, lineKey, lineValue) && SameName(lineKey, key)) {
            lines[i].text = entry.text;
            return Rewrite(mark + Join(lines));
        }
        if (!Trim(lines[i].text).empty())
            insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    return Rewrite(mark + Join(lines));
}

bool IniFile::DeleteSection(const std::string& section)
{
    std::string content;
    if (path_.empty() || !AtomicFile::Read(path_, content))
        return true;
    const std::string mark = TakeByteOrderMark(content);
    std::vector<Line> lines = SplitLines(content);
    std::size_t begin = 0, end = 0;
    if (!FindSection(lines, section, begin, end))
        return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(begin - 1), lines.begin() + static_cast<std::ptrdiff_t>(end));
    return Rewrite(mark + Join(lines));
}

bool IniFile::Rewrite(const std::string& content) const
{
    return AtomicFile::Write(path_, content, ownerOnly_ ? 0600 : AtomicFile::kKeepMode);
}
