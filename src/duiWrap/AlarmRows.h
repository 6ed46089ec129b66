#pragma once

#include "service/AlarmRecord.h"

#include <functional>
#include <string>
#include <vector>

// What the alarm query window shows, computed without widgets: the rows of a page of alarm records
// and the details text of a selected row.
namespace AlarmRows {

// One row of the alarm list: the record's key (the row's tag) and its five columns.
struct Row {
    int key = 0;
    std::string position;   // 1 for the first listed row
    std::string nodeName;   // the node that holds the camera in the user's tree
    std::string alias;      // "deviceAlias"
    std::string typeName;   // the alarm type's name, empty for an unknown type
    std::string createTime;
};

// Answers whether the camera is in the user's tree and, if so, the name of the node that holds it.
using TreeLookup = std::function<bool(const std::string& deviceId, std::string& nodeName)>;

// The rows of the records whose camera is in the tree, in order; the others are left out, and the
// positions count only the rows listed.
std::vector<Row> Build(const std::vector<AlarmRecord>& records, const TreeLookup& inTree);

// The details of a selected row: page text, row index (0 for the first), node/camera, time, content.
std::string Details(const std::string& pageText, int rowIndex, const Row& row);

// The day as the alarm query sends it: four-digit year, two-digit month and day joined by "-".
std::string DayText(int year, int month, int day);

// The hours filter as typed: its leading decimal value, 0 when empty or not a number.
int HoursValue(const std::string& text);

}  // namespace AlarmRows
