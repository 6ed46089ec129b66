#include "app/SavedViews.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

SavedView View(const std::string& name, int layout, std::map<int, std::string> cameras)
{
    return SavedView{name, layout, std::move(cameras)};
}

TEST(SavedViewsTest, ViewsAndOptionsSurviveSaveAndLoadWithoutLeftovers)
{
    TempFolder folder;
    const std::string path = SavedViews::PathFor(folder.Path(), "13800138000");
    EXPECT_EQ(path, folder.Path() + "Vyr/views_13800138000.json");
    SavedViews views(path);
    EXPECT_EQ(views.Load(), SavedViews::LoadResult::NoFile);
    EXPECT_TRUE(views.Views().empty());

    views.Put(View("大厅", 4, {{0, "kv100101"}, {3, "kv100103"}}));
    views.Put(View("gate", 9, {{8, "kv100112"}}));
    views.Put(View("大厅", 16, {{15, "kv100102"}}));  // same name: replaced in place
    views.SetRestoreAtLogin(true);
    views.SetLastView("gate");
    ASSERT_TRUE(views.Save());  // creates "Vyr"

    SavedViews again(path);
    ASSERT_EQ(again.Load(), SavedViews::LoadResult::Loaded);
    ASSERT_EQ(again.Views().size(), 2u);
    EXPECT_EQ(again.Views()[0], View("大厅", 16, {{15, "kv100102"}}));
    EXPECT_EQ(again.Views()[1], View("gate", 9, {{8, "kv100112"}}));
    EXPECT_TRUE(again.RestoreAtLogin());
    EXPECT_EQ(again.LastView(), "gate");
    EXPECT_NE(ReadFile(path).find("大厅"), std::string::npos) << "names are written as UTF-8";

    EXPECT_TRUE(again.Remove("gate"));
    EXPECT_EQ(again.LastView(), "") << "the last view went with it";
    EXPECT_EQ(again.Find("gate"), nullptr);
    ASSERT_TRUE(again.Save());
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder.Path() + "Vyr"))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1) << "no temporary file is left beside the views";
}

TEST(SavedViewsTest, AccountNamesCannotLeaveTheFolder)
{
    EXPECT_EQ(SavedViews::PathFor("/p/", "../a b/c"), "/p/Vyr/views_..%2Fa%20b%2Fc.json");
    EXPECT_EQ(SavedViews::PathFor("/p/", "user@example.com"), "/p/Vyr/views_user@example.com.json");
}

// Each of these is kept aside byte for byte, is not overwritten by a later save, and leaves no views.
TEST(SavedViewsTest, FilesThatAreNotViewsAreKeptAsideAndNeverOverwritten)
{
    const std::vector<std::string> broken = {
        "{\"views\": [",                                                                      // cut short
        "\x01\x02garbage",                                                                     // not JSON
        "[]",                                                                                  // not an object
        "{\"views\": {}}",                                                                     // views not a list
        "{\"views\": [{\"name\": \"a\", \"layout\": 5, \"cells\": []}]}",                      // no such layout
        "{\"views\": [{\"name\": \"a\", \"layout\": 4, \"cells\": [{\"cell\": 64, \"camera\": \"x\"}]}]}",
        "{\"views\": [{\"name\": \"a\", \"layout\": 4, \"cells\": [{\"cell\": 1, \"camera\": \"x\"}, "
        "{\"cell\": 1, \"camera\": \"y\"}]}]}",                                                // one cell twice
        "{\"views\": [{\"name\": \"a\", \"layout\": 4, \"cells\": []}, {\"name\": \"a\", \"layout\": 9, \"cells\": []}]}",
        "{\"views\": [{\"name\": \"\", \"layout\": 4, \"cells\": []}]}",                       // no name
        "{\"views\": [{\"name\": \"a\", \"layout\": \"4\", \"cells\": []}]}",                  // wrong type
        "{\"views\": [], \"restoreAtLogin\": \"yes\"}",
    };
    for (const std::string& content : broken) {
        SCOPED_TRACE(content);
        TempFolder folder;
        const std::string path = SavedViews::PathFor(folder.Path(), "u");
        fs::create_directories(folder.Path() + "Vyr");
        WriteFile(path + ".bad", "kept earlier");
        WriteFile(path, content);

        SavedViews views(path);
        ASSERT_EQ(views.Load(), SavedViews::LoadResult::Corrupt);
        EXPECT_TRUE(views.Views().empty());
        EXPECT_FALSE(views.RestoreAtLogin());
        EXPECT_EQ(views.AsidePath(), path + ".bad.1");
        EXPECT_EQ(ReadFile(path + ".bad.1"), content);
        EXPECT_EQ(ReadFile(path + ".bad"), "kept earlier");

        views.Put(View("new", 1, {{0, "kv100101"}}));
        ASSERT_TRUE(views.Save());
        EXPECT_EQ(ReadFile(path + ".bad.1"), content);
        SavedViews again(path);
        EXPECT_EQ(again.Load(), SavedViews::LoadResult::Loaded);
        EXPECT_EQ(again.Views().size(), 1u);
    }
}

TEST(SavedViewsTest, AFileThatCannotBeMovedAsideIsNeverWrittenOver)
{
    TempFolder folder;
    const std::string path = SavedViews::PathFor(folder.Path(), "u");
    fs::create_directories(path);  // unreadable as a file, and link() refuses a folder
    SavedViews views(path);
    EXPECT_EQ(views.Load(), SavedViews::LoadResult::Corrupt);
    EXPECT_EQ(views.AsidePath(), "");
    views.Put(View("new", 1, {}));
    EXPECT_FALSE(views.Save());
    EXPECT_TRUE(fs::is_directory(path));
}

TEST(SavedViewsTest, CellsOfCamerasTheAccountNoLongerHasAreLeftEmpty)
{
    const SavedView view = View("v", 4, {{0, "kv100101"}, {1, "gone"}, {3, "kv100103"}});
    std::vector<std::string> dropped;
    const SavedView kept = view.KeepCamerasOf([](const std::string& id) { return id != "gone"; }, &dropped);
    EXPECT_EQ(kept, View("v", 4, {{0, "kv100101"}, {3, "kv100103"}}));
    EXPECT_EQ(dropped, std::vector<std::string>{"gone"});
    EXPECT_TRUE(SavedView::IsLayoutCount(17));
    EXPECT_FALSE(SavedView::IsLayoutCount(0));
}

}  // namespace
