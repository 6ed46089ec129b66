// The alarm query window's rows and details, without windows.
#include "duiWrap/AlarmRows.h"

#include <gtest/gtest.h>

#include <map>

namespace {

AlarmRecord Alarm(int key, const std::string& deviceId, int warnType, const std::string& time)
{
    AlarmRecord alarm;
    alarm.key = key;
    alarm.deviceId = deviceId;
    alarm.deviceAlias = "alias of " + deviceId;
    alarm.warnType = warnType;
    alarm.createTime = time;
    return alarm;
}

const std::map<std::string, std::string> kTree = {{"kv1", "一楼大厅"}, {"kv2", "机房"}};

bool InTree(const std::string& deviceId, std::string& nodeName)
{
    const auto found = kTree.find(deviceId);
    if (found == kTree.end())
        return false;
    nodeName = found->second;
    return true;
}

}  // namespace

TEST(AlarmRows, CamerasOutsideTheTreeAreLeftOutAndPositionsSkipThem)
{
    const std::vector<AlarmRecord> page = {Alarm(7, "kv1", 1, "2026-12-09 10:00:00"), Alarm(8, "kv9", 1, "t"),
                                           Alarm(9, "kv2", 2, "2026-12-09 09:00:00"), Alarm(10, "kv1", 5, "t2")};
    const std::vector<AlarmRows::Row> rows = AlarmRows::Build(page, InTree);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].key, 7);
    EXPECT_EQ(rows[1].key, 9);
    EXPECT_EQ(rows[2].key, 10);
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].position, std::to_string(i + 1));
    EXPECT_EQ(rows[1].nodeName, "机房");
    EXPECT_EQ(rows[1].alias, "alias of kv2");
    EXPECT_EQ(rows[0].typeName, "移动侦测报警");
    EXPECT_EQ(rows[1].typeName, "外部报警");
    EXPECT_EQ(rows[2].typeName, "");  // a type without a name
    EXPECT_EQ(rows[1].createTime, "2026-12-09 09:00:00");
    EXPECT_TRUE(AlarmRows::Build({Alarm(1, "kv9", 1, "t")}, InTree).empty());
}

TEST(AlarmRows, DetailsDayAndHoursAreWrittenAsTheWindowShowsAndSendsThem)
{
    AlarmRows::Row row;
    row.nodeName = "机房";
    row.alias = "机房通道";
    row.typeName = "外部报警";
    row.createTime = "2026-12-09 09:00:00";
    EXPECT_EQ(AlarmRows::Details("1", 0, row),
              "第1页/第0条\n\n结点/摄像机:  机房/机房通道\n\n报警时间: 2026-12-09 09:00:00\n\n报警内容: 外部报警");
    EXPECT_EQ(AlarmRows::DayText(2026, 3, 7), "2026-03-07");
    EXPECT_EQ(AlarmRows::DayText(999, 12, 31), "999-12-31");
    const std::vector<std::pair<std::string, int>> hours = {{"", 0}, {"7", 7}, {"23", 23}, {"x", 0}, {"08", 8}};
    for (const auto& [text, value] : hours)
        EXPECT_EQ(AlarmRows::HoursValue(text), value) << text;
}
