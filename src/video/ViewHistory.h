#pragma once

#include <map>
#include <string>
#include <vector>

class TiXmlDocument;

// The history of watched cameras, day by day, in "log.xml" (relative to the current directory):
// one top-level element per day named "D" + year-month-day (no leading zeros), newest first, each
// holding one empty "devinfo" element per camera (attribute "cameraid") in the order of first
// viewing that day. Written in TinyXML's printed form without a declaration.
//
// Every operation loads, changes and saves the file; nothing is kept in memory. The file is written
// to a temporary file beside it and renamed into place, and a file that exists but cannot be read as a
// history (malformed, or XML that holds no day) is renamed to "<name>.bad" before a new history replaces
// it. A file this process may not write (read-only) is never replaced. UI thread only.
class ViewHistory {
public:
    static ViewHistory* Instance();

    explicit ViewHistory(std::string fileName = "log.xml");

    struct Date {
        int year;
        int month;
        int day;
    };
    static Date Today();

    // Records the camera under today's day (or `day`); a camera is listed once per day.
    bool AddCamera(const std::string& deviceId);
    bool AddCamera(const std::string& deviceId, const Date& day);

    // Group key (the day element's name without "D") -> device ids in file order, keys in text order.
    void LoadGroups(std::map<std::string, std::vector<std::string>>& groups) const;

    bool RemoveGroup(const std::string& key);
    bool RemoveEntry(const std::string& key, const std::string& deviceId);
    bool RemoveCamera(const std::string& deviceId);
    bool ClearAll();

    const std::string& FileName() const { return fileName_; }

private:
    enum class LoadResult { Loaded, Missing, Unreadable };
    LoadResult Load(TiXmlDocument& doc) const;
    // Loads for a change; an unreadable file is moved aside so the new history does not destroy it.
    bool LoadForChange(TiXmlDocument& doc) const;
    bool Save(TiXmlDocument& doc) const;

    std::string fileName_;
};
