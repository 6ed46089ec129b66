#include "app/SavedViews.h"

#include "base/AtomicFile.h"

#include <glog/logging.h>
#include <json/json.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFormatVersion = 1;

bool IsPlainNameByte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
           c == '_' || c == '@';
}

// One view of the file, or false when any member is missing, of the wrong type or out of range.
bool ReadView(const Json::Value& value, SavedView& view)
{
    if (!value.isObject() || !value["name"].isString() || !value["layout"].isInt() || !value["cells"].isArray())
        return false;
    view.name = value["name"].asString();
    view.layoutCount = value["layout"].asInt();
    if (view.name.empty() || !SavedView::IsLayoutCount(view.layoutCount))
        return false;
    for (const Json::Value& cell : value["cells"]) {
        if (!cell.isObject() || !cell["cell"].isInt() || !cell["camera"].isString())
            return false;
        const int index = cell["cell"].asInt();
        const std::string camera = cell["camera"].asString();
        if (index < 0 || index >= SavedView::kCellCount || camera.empty() || !view.cameras.emplace(index, camera).second)
            return false;
    }
    return true;
}

}  // namespace

std::string SavedViews::PathFor(const std::string& programDirectory, const std::string& account)
{
    std::string name;
    for (unsigned char c : account) {
        if (IsPlainNameByte(c)) {
            name += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            name += escaped;
        }
    }
    return programDirectory + "Vyr/views_" + name + ".json";
}

SavedViews::LoadResult SavedViews::Load()
{
    views_.clear();
    restoreAtLogin_ = false;
    lastView_.clear();
    asidePath_.clear();
    struct stat info {};
    if (stat(path_.c_str(), &info) != 0 && errno == ENOENT)
        return LoadResult::NoFile;
    std::string text;
    if (AtomicFile::Read(path_, text) && Parse(text))
        return LoadResult::Loaded;
    views_.clear();
    restoreAtLogin_ = false;
    lastView_.clear();
    MoveAside();
    return LoadResult::Corrupt;
}

bool SavedViews::Parse(const std::string& text)
{
    Json::Value root;
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["rejectDupKeys"] = true;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
        LOG(WARNING) << "saved views " << path_ << " are no JSON: " << errors;
        return false;
    }
    if (!root.isObject() || !root["views"].isArray() || !root.get("restoreAtLogin", false).isBool() ||
        !root.get("lastView", "").isString()) {
        LOG(WARNING) << "saved views " << path_ << " lack their members";
        return false;
    }
    std::set<std::string> names;
    for (const Json::Value& value : root["views"]) {
        SavedView view;
        if (!ReadView(value, view) || !names.insert(view.name).second) {
            LOG(WARNING) << "saved views " << path_ << " hold a view that is not one";
            return false;
        }
        views_.push_back(std::move(view));
    }
    restoreAtLogin_ = root.get("restoreAtLogin", false).asBool();
    lastView_ = root.get("lastView", "").asString();
    return true;
}

// link() refuses an existing name, so a file kept aside earlier is never replaced.
void SavedViews::MoveAside()
{
    for (int n = 0; n < 100; ++n) {
        const std::string aside = path_ + ".bad" + (n == 0 ? std::string() : "." + std::to_string(n));
        if (::link(path_.c_str(), aside.c_str()) == 0) {
            ::unlink(path_.c_str());
            asidePath_ = aside;
            LOG(WARNING) << "unreadable saved views kept as " << aside;
            return;
        }
        if (errno != EEXIST)
            break;
    }
    LOG(ERROR) << "cannot move unreadable saved views " << path_ << " aside: " << std::strerror(errno)
               << "; they will not be overwritten";
    blocked_ = true;
}

bool SavedViews::Save() const
{
    if (blocked_)
        return false;
    const std::string folder = path_.substr(0, path_.find_last_of('/') + 1);
    if (!folder.empty())
        ::mkdir(folder.c_str(), 0700);  // an existing folder is fine; a failure shows in the write
    Json::Value root(Json::objectValue);
    root["version"] = kFormatVersion;
    root["restoreAtLogin"] = restoreAtLogin_;
    root["lastView"] = lastView_;
    Json::Value& views = root["views"] = Json::Value(Json::arrayValue);
    for (const SavedView& view : views_) {
        Json::Value value(Json::objectValue);
        value["name"] = view.name;
        value["layout"] = view.layoutCount;
        Json::Value& cells = value["cells"] = Json::Value(Json::arrayValue);
        for (const auto& [cell, camera] : view.cameras) {
            Json::Value entry(Json::objectValue);
            entry["cell"] = cell;
            entry["camera"] = camera;
            cells.append(entry);
        }
        views.append(value);
    }
    Json::StreamWriterBuilder writer;
    writer["emitUTF8"] = true;
    writer["indentation"] = "  ";
    if (AtomicFile::Write(path_, Json::writeString(writer, root) + "\n"))
        return true;
    LOG(ERROR) << "cannot save the views to " << path_ << ": " << std::strerror(errno);
    return false;
}

const SavedView* SavedViews::Find(const std::string& name) const
{
    const auto it = std::find_if(views_.begin(), views_.end(), [&](const SavedView& v) { return v.name == name; });
    return it != views_.end() ? &*it : nullptr;
}

void SavedViews::Put(const SavedView& view)
{
    const auto it = std::find_if(views_.begin(), views_.end(), [&](const SavedView& v) { return v.name == view.name; });
    if (it != views_.end())
        *it = view;
    else
        views_.push_back(view);
}

bool SavedViews::Remove(const std::string& name)
{
    const auto it = std::find_if(views_.begin(), views_.end(), [&](const SavedView& v) { return v.name == name; });
    if (it == views_.end())
        return false;
    views_.erase(it);
    if (lastView_ == name)
        lastView_.clear();
    return true;
}
