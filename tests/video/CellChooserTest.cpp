#include "video/CellChooser.h"

#include <gtest/gtest.h>

#include <set>

namespace {

CellChooser::BusyTest BusySet(const std::set<int>& busy)
{
    return [busy](int cell) { return busy.count(cell) != 0; };
}

std::set<int> AllBut(std::set<int> free)
{
    std::set<int> busy;
    for (int i = 0; i < 64; ++i)
        if (!free.count(i))
            busy.insert(i);
    return busy;
}

}  // namespace

TEST(CellChooser, PreferredThenFirstFreeThenReplacePreferred)
{
    struct Case {
        const char* name;
        int preferred;
        std::set<int> busy;
        int cell;
        bool replaces;
    };
    const Case cases[] = {
        {"nothing clicked, empty wall", 0, {}, 0, false},
        {"cell 0 busy", 0, {0}, 1, false},
        {"cells 0-2 busy", 0, {0, 1, 2}, 3, false},
        {"selected cell free", 9, {0, 1}, 9, false},
        {"selected busy: first free from 0", 9, {9, 1}, 0, false},
        {"only the last cell free", 5, AllBut({63}), 63, false},
        {"full wall", 5, AllBut({}), 5, true},
    };
    for (const auto& c : cases) {
        const auto choice = CellChooser::ForCamera(c.preferred, 64, BusySet(c.busy));
        EXPECT_EQ(c.cell, choice.cell) << c.name;
        EXPECT_EQ(c.replaces, choice.replacesStream) << c.name;
    }
}

TEST(CameraOpenQueue, FillsFreeCellsInOrderAndDropsTheRest)
{
    std::set<int> busy = AllBut({2, 5, 40});
    CameraOpenQueue queue;
    queue.Add({{"a", "u1"}, {"b", "u2"}});
    queue.Add({{"c", "u3"}, {"d", "u4"}});
    std::vector<std::pair<int, std::string>> placed;
    for (;;) {
        auto next = queue.Next(64, BusySet(busy));
        if (next.cell < 0)
            break;
        placed.emplace_back(next.cell, next.camera.deviceId);
        busy.insert(next.cell);  // the player now opens there
    }
    const std::vector<std::pair<int, std::string>> expected = {{2, "a"}, {5, "b"}, {40, "c"}};
    EXPECT_EQ(expected, placed);
    EXPECT_TRUE(queue.Empty());
}

TEST(CameraOpenQueue, CellThatStaysFreeIsNotReusedWithinOneRequestButANewRequestStartsAtZero)
{
    CameraOpenQueue queue;
    const auto never = BusySet({});
    queue.Add({{"a", "u"}, {"b", "u"}});
    EXPECT_EQ(0, queue.Next(64, never).cell);  // an open that failed at once leaves cell 0 free
    EXPECT_EQ(1, queue.Next(64, never).cell);
    EXPECT_EQ(-1, queue.Next(64, never).cell);
    queue.Add({{"c", "u"}});
    auto next = queue.Next(64, never);
    EXPECT_EQ(0, next.cell);
    EXPECT_EQ("c", next.camera.deviceId);
}

// A node dropped on a cell: its cameras take the free cells from that cell on, never one before it.
TEST(CameraOpenQueue, ADroppedNodeFillsTheFreeCellsFromItsCellOn)
{
    std::set<int> busy = {5, 6};
    CameraOpenQueue queue;
    queue.Add({{"a", "u"}, {"b", "u"}, {"c", "u"}}, 4);
    std::vector<int> cells;
    for (auto next = queue.Next(8, BusySet(busy)); next.cell >= 0; next = queue.Next(8, BusySet(busy))) {
        cells.push_back(next.cell);
        busy.insert(next.cell);
    }
    EXPECT_EQ((std::vector<int>{4, 7}), cells);  // "c" finds no free cell after 7 (cells 0-3 stay free)
    EXPECT_TRUE(queue.Empty());
}
