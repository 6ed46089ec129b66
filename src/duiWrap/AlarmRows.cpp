#include "duiWrap/AlarmRows.h"

#include "service/AlarmMgr.h"

#include <cstdio>
#include <cstdlib>

namespace AlarmRows {

std::vector<Row> Build(const std::vector<AlarmRecord>& records, const TreeLookup& inTree)
{
    std::vector<Row> rows;
    for (const AlarmRecord& record : records) {
        Row row;
        if (!inTree(record.deviceId, row.nodeName))
            continue;
        row.key = record.key;
        row.position = std::to_string(rows.size() + 1);
        row.alias = record.deviceAlias;
        const auto type = AlarmTypeNames().find(record.warnType);
        if (type != AlarmTypeNames().end())
            row.typeName = type->second;
        row.createTime = record.createTime;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string Details(const std::string& pageText, int rowIndex, const Row& row)
{
    return "第" + pageText + "页/第" + std::to_string(rowIndex) + "条\n\n" + "结点/摄像机:  " + row.nodeName + "/" +
           row.alias + "\n\n" + "报警时间: " + row.createTime + "\n\n" + "报警内容: " + row.typeName;
}

std::string DayText(int year, int month, int day)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d", year, month, day);
    return text;
}

int HoursValue(const std::string& text)
{
    return std::atoi(text.c_str());
}

}  // namespace AlarmRows
