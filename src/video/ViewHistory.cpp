#include "video/ViewHistory.h"

#include "base/AtomicFile.h"
#include "base/Sigleton.h"

#include <glog/logging.h>
#include <tinyxml.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

constexpr const char* kEntryName = "devinfo";
constexpr const char* kCameraAttribute = "cameraid";

std::string DayName(const ViewHistory::Date& day)
{
    char name[48];
    std::snprintf(name, sizeof name, "D%d-%d-%d", day.year, day.month, day.day);
    return name;
}

TiXmlElement* NewEntry(const std::string& deviceId)
{
    auto* entry = new TiXmlElement(kEntryName);
    entry->SetAttribute(kCameraAttribute, deviceId.c_str());
    return entry;
}

bool IsEntryOf(const TiXmlElement* entry, const std::string& deviceId)
{
    const char* id = entry->Attribute(kCameraAttribute);
    return id != nullptr && deviceId == id;
}

// Removes the first child of `day` recorded for the camera; removes the day when it is left empty.
void RemoveFromDay(TiXmlDocument& doc, TiXmlElement* day, const std::string& deviceId)
{
    for (TiXmlElement* entry = day->FirstChildElement(); entry != nullptr; entry = entry->NextSiblingElement()) {
        if (IsEntryOf(entry, deviceId)) {
            day->RemoveChild(entry);
            break;
        }
    }
    if (day->FirstChild() == nullptr)
        doc.RemoveChild(day);
}

// True when some top-level element is a day ("D..."): XML without one (another program's file, "<!x>")
// is not a history, and a new history must not replace it.
bool HoldsADay(const TiXmlDocument& doc)
{
    for (const TiXmlElement* e = doc.FirstChildElement(); e != nullptr; e = e->NextSiblingElement())
        if (e->Value()[0] == 'D')
            return true;
    return false;
}

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(" \t\n") == std::string::npos;
}

// Line ends as TinyXML's own file loader makes them: CR LF and a lone CR become LF.
std::string WithLineFeeds(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            result += text[i];
        else if (i + 1 >= text.size() || text[i + 1] != '\n')
            result += '\n';
    }
    return result;
}

// TinyXML parses nested elements by recursion: a file nested some ten thousand levels deep would
// overflow the stack. A history is two levels deep; anything much deeper is not one.
constexpr int kMaxNesting = 256;

// True when the elements of `text` nest deeper than `limit`. Comments, CDATA sections, declarations and
// quoted attribute values are skipped, so only real element tags count.
bool NestsDeeperThan(const std::string& text, int limit)
{
    int depth = 0;
    std::size_t pos = 0;
    auto skipPast = [&](const char* end) {
        const std::size_t found = text.find(end, pos);
        pos = found == std::string::npos ? text.size() : found + std::strlen(end);
    };
    while ((pos = text.find('<', pos)) != std::string::npos) {
        if (text.compare(pos, 4, "<!--") == 0) {
            skipPast("-->");
        } else if (text.compare(pos, 9, "<![CDATA[") == 0) {
            skipPast("]]>");
        } else if (text.compare(pos, 2, "<?") == 0 || text.compare(pos, 2, "<!") == 0) {
            skipPast(">");
        } else if (text.compare(pos, 2, "</") == 0) {
            --depth;
            skipPast(">");
        } else {
            char quote = 0;
            std::size_t end = pos + 1;
            for (; end < text.size() && (quote != 0 || text[end] != '>'); ++end)
                if (quote == 0 && (text[end] == '"' || text[end] == '\''))
                    quote = text[end];
                else if (text[end] == quote)
                    quote = 0;
            if (end >= text.size() || text[end - 1] != '/')
                ++depth;
            if (depth > limit)
                return true;
            pos = end;
        }
    }
    return false;
}

TiXmlElement* FindTopLevel(TiXmlDocument& doc, const std::string& name)
{
    for (TiXmlElement* e = doc.FirstChildElement(); e != nullptr; e = e->NextSiblingElement())
        if (name == e->Value())
            return e;
    return nullptr;
}

}  // namespace

ViewHistory* ViewHistory::Instance()
{
    return base::Sigleton<ViewHistory>::Instance();
}

ViewHistory::ViewHistory(std::string fileName) : fileName_(std::move(fileName)) {}

ViewHistory::Date ViewHistory::Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool ViewHistory::AddCamera(const std::string& deviceId)
{
    return AddCamera(deviceId, Today());
}

bool ViewHistory::AddCamera(const std::string& deviceId, const Date& day)
{
    const std::string today = DayName(day);
    TiXmlDocument doc;
    LoadForChange(doc);
    // Today's element is normally the first; it is looked up among all days so that a clock set back
    // or a foreign element at the top never lists a camera twice on one day.
    TiXmlElement* element = FindTopLevel(doc, today);
    if (element == nullptr) {
        TiXmlElement fresh(today.c_str());
        fresh.LinkEndChild(NewEntry(deviceId));
        if (TiXmlElement* first = doc.FirstChildElement())
            doc.InsertBeforeChild(first, fresh);
        else
            doc.InsertEndChild(fresh);
    } else {
        for (const TiXmlElement* e = element->FirstChildElement(); e != nullptr; e = e->NextSiblingElement())
            if (IsEntryOf(e, deviceId))
                return Save(doc);
        element->LinkEndChild(NewEntry(deviceId));
    }
    return Save(doc);
}

void ViewHistory::LoadGroups(std::map<std::string, std::vector<std::string>>& groups) const
{
    groups.clear();
    TiXmlDocument doc;
    if (Load(doc) != LoadResult::Loaded)
        return;
    for (const TiXmlElement* day = doc.FirstChildElement(); day != nullptr; day = day->NextSiblingElement()) {
        const std::string name = day->Value();
        if (name.empty() || name[0] != 'D')
            continue;
        auto& ids = groups[name.substr(1)];
        for (const TiXmlElement* e = day->FirstChildElement(kEntryName); e != nullptr;
             e = e->NextSiblingElement(kEntryName)) {
            const char* id = e->Attribute(kCameraAttribute);
            ids.push_back(id != nullptr ? id : "");
        }
    }
}

bool ViewHistory::RemoveGroup(const std::string& key)
{
    TiXmlDocument doc;
    if (LoadForChange(doc))
        if (TiXmlElement* day = FindTopLevel(doc, "D" + key))
            doc.RemoveChild(day);
    return Save(doc);
}

bool ViewHistory::RemoveEntry(const std::string& key, const std::string& deviceId)
{
    TiXmlDocument doc;
    if (LoadForChange(doc))
        if (TiXmlElement* day = FindTopLevel(doc, "D" + key))
            RemoveFromDay(doc, day, deviceId);
    return Save(doc);
}

bool ViewHistory::RemoveCamera(const std::string& deviceId)
{
    TiXmlDocument doc;
    if (LoadForChange(doc)) {
        TiXmlElement* day = doc.FirstChildElement();
        while (day != nullptr) {
            TiXmlElement* next = day->NextSiblingElement();
            RemoveFromDay(doc, day, deviceId);
            day = next;
        }
    }
    return Save(doc);
}

bool ViewHistory::ClearAll()
{
    TiXmlDocument doc;
    return Save(doc);
}

ViewHistory::LoadResult ViewHistory::Load(TiXmlDocument& doc) const
{
    std::error_code ec;
    if (!std::filesystem::exists(fileName_, ec))
        return LoadResult::Missing;
    std::ifstream in(fileName_, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    const std::string text = WithLineFeeds(content.str());
    if (IsBlank(text))  // what ClearAll leaves: an empty history
        return in ? LoadResult::Loaded : LoadResult::Unreadable;
    // TinyXML stops quietly at what it does not understand (text, a NUL, "<!" junk) and reads random
    // bytes as an empty document; saving then would drop the rest. Only a file read to its end that holds
    // a day is the history.
    if (NestsDeeperThan(text, kMaxNesting)) {
        LOG(WARNING) << "viewing history " << fileName_ << " nests deeper than " << kMaxNesting << " levels";
        return LoadResult::Unreadable;
    }
    const char* end = doc.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (!doc.Error() && end != nullptr && IsBlank(text.substr(static_cast<std::size_t>(end - text.c_str()))) &&
        HoldsADay(doc))
        return LoadResult::Loaded;
    if (doc.Error())
        LOG(WARNING) << "viewing history " << fileName_ << " unreadable: " << doc.ErrorDesc() << " (row "
                     << doc.ErrorRow() << ")";
    else
        LOG(WARNING) << "viewing history " << fileName_ << " is not a history of days";
    doc.Clear();
    doc.ClearError();
    return LoadResult::Unreadable;
}

bool ViewHistory::LoadForChange(TiXmlDocument& doc) const
{
    const LoadResult result = Load(doc);
    if (result == LoadResult::Unreadable) {
        const std::string aside = fileName_ + ".bad";
        if (std::rename(fileName_.c_str(), aside.c_str()) != 0)
            LOG(ERROR) << "cannot move unreadable history aside to " << aside << ": " << std::strerror(errno);
        else
            LOG(WARNING) << "unreadable viewing history kept as " << aside;
    }
    return result == LoadResult::Loaded;
}

bool ViewHistory::Save(TiXmlDocument& doc) const
{
    // The document's own writer, into memory: the file keeps the bytes it has always had.
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* memory = open_memstream(&buffer, &size);
    bool printed = memory != nullptr && doc.SaveFile(memory);
    printed = memory != nullptr && std::fclose(memory) == 0 && printed;
    const std::string content = printed ? std::string(buffer, size) : std::string();
    std::free(buffer);
    // A history the user made read-only stays as it is (AtomicFile refuses it).
    if (!printed || !AtomicFile::Write(fileName_, content)) {
        LOG(ERROR) << "cannot save viewing history " << fileName_ << ": " << std::strerror(errno);
        return false;
    }
    return true;
}
