#include "video/ViewHistory.h"

#include "support/AsOrdinaryUser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using Groups = std::map<std::string, std::vector<std::string>>;

class ViewHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("viewhistory_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path() const { return (dir / "log.xml").string(); }
    std::string Read(const std::string& path) const
    {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void Write(const std::string& text) const { std::ofstream(Path()) << text; }
    std::map<std::string, std::vector<std::string>> Load(ViewHistory& h) const
    {
        std::map<std::string, std::vector<std::string>> groups;
        h.LoadGroups(groups);
        return groups;
    }

    fs::path dir;
    const ViewHistory::Date day1{2016, 3, 9};
    const ViewHistory::Date day2{2016, 3, 10};
};



}  // namespace

TEST_F(ViewHistoryTest, OneEntryPerCameraPerDayNewestDayFirstInPrintedForm)
{
    ViewHistory history(Path());
    ASSERT_TRUE(history.AddCamera("A", day1));
    history.AddCamera("B", day1);
    history.AddCamera("A", day1);
    history.AddCamera("A", day2);  // after midnight: a new day above the old one
    EXPECT_EQ("<D2016-3-10>\n"
              "    <devinfo cameraid=\"A\" />\n"
              "</D2016-3-10>\n"
              "<D2016-3-9>\n"
              "    <devinfo cameraid=\"A\" />\n"
              "    <devinfo cameraid=\"B\" />\n"
              "</D2016-3-9>\n",
              Read(Path()));
    EXPECT_EQ((Groups{{"2016-3-10", {"A"}}, {"2016-3-9", {"A", "B"}}}), Load(history));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(dir), fs::directory_iterator())) << "a temporary file is left";
}

TEST_F(ViewHistoryTest, RemovalsDropEmptiedDaysAndKeepOthers)
{
    ViewHistory history(Path());
    history.AddCamera("A", day1);
    history.AddCamera("B", day1);
    history.AddCamera("A", day2);
    history.AddCamera("C", day2);

    history.RemoveEntry("2016-3-9", "B");
    EXPECT_EQ((Groups{{"2016-3-10", {"A", "C"}}, {"2016-3-9", {"A"}}}), Load(history));
    history.RemoveCamera("A");  // the last camera of 2016-3-9: the day goes
    EXPECT_EQ((Groups{{"2016-3-10", {"C"}}}), Load(history));
    const std::string before = Read(Path());
    history.RemoveGroup("2001-1-1");
    history.RemoveEntry("2001-1-1", "C");
    history.RemoveEntry("2016-3-10", "nobody");
    EXPECT_EQ(before, Read(Path()));
    history.RemoveGroup("2016-3-10");
    EXPECT_TRUE(Load(history).empty());
}

TEST_F(ViewHistoryTest, ForeignTopLevelElementsAreKeptButNotListed)
{
    Write("<note>\n    <devinfo cameraid=\"X\" />\n</note>\n<D2016-3-9>\n    <devinfo cameraid=\"A\" />\n</D2016-3-9>\n");
    ViewHistory history(Path());
    EXPECT_EQ((Groups{{"2016-3-9", {"A"}}}), Load(history));
    history.AddCamera("B", day1);  // today's day is not first: it is found, not duplicated
    history.AddCamera("C", day2);
    EXPECT_EQ((Groups{{"2016-3-10", {"C"}}, {"2016-3-9", {"A", "B"}}}), Load(history));
    EXPECT_NE(std::string::npos, Read(Path()).find("<note>"));
    EXPECT_EQ(0u, Read(Path()).find("<D2016-3-10>"));
}

TEST_F(ViewHistoryTest, ClearedOrMissingFileIsAnEmptyHistory)
{
    ViewHistory history(Path());
    EXPECT_TRUE(Load(history).empty());
    history.RemoveCamera("A");  // a missing file: an empty one is written
    EXPECT_EQ("", Read(Path()));
    history.AddCamera("A", day1);
    ASSERT_TRUE(history.ClearAll());
    EXPECT_EQ("", Read(Path()));
    history.AddCamera("B", day1);
    EXPECT_EQ((Groups{{"2016-3-9", {"B"}}}), Load(history));
    EXPECT_FALSE(fs::exists(Path() + ".bad"));
}

TEST_F(ViewHistoryTest, UnreadableFileIsKeptAsideBeforeANewHistoryStarts)
{
    const std::string broken = "<D2016-3-9>\n    <devinfo cameraid=\"A\" />\n<D2016";
    for (bool add : {true, false}) {
        Write(broken);
        fs::remove(Path() + ".bad");
        ViewHistory history(Path());
        EXPECT_TRUE(Load(history).empty());
        EXPECT_EQ(broken, Read(Path())) << "reading never changes the file";
        if (add)
            history.AddCamera("B", day2);
        else
            history.RemoveGroup("2016-3-9");
        EXPECT_EQ(broken, Read(Path() + ".bad"));
        const Groups expected = add ? Groups{{"2016-3-10", {"B"}}} : Groups{};
        EXPECT_EQ(expected, Load(history)) << add;
    }
}

// TinyXML reads random bytes as an empty document and stops quietly at what it does not understand;
// none of these files is a history, and a change must keep them aside rather than overwrite them.
TEST_F(ViewHistoryTest, FilesThatHoldNoHistoryAreKeptAsideNotOverwritten)
{
    const std::string day = "<D2016-3-9>\n    <devinfo cameraid=\"A\" />\n</D2016-3-9>\n";
    for (const std::string& foreign : {std::string("\x8a\x01 random bytes \xff\xfe"), std::string("<!junk>"),
                                       std::string("<config>\n    <a />\n</config>\n"), day + "trailing text",
                                       day + std::string(1, '\0') + "<D2016-3-10 />"}) {
        Write(foreign);
        fs::remove(Path() + ".bad");
        ViewHistory history(Path());
        EXPECT_TRUE(Load(history).empty()) << foreign;
        ASSERT_TRUE(history.AddCamera("B", day2));
        EXPECT_EQ(foreign, Read(Path() + ".bad"));
        EXPECT_EQ((Groups{{"2016-3-10", {"B"}}}), Load(history)) << foreign;
    }
    Write(" \r\n\t\n");  // blanks only: an emptied history, not a foreign file
    fs::remove(Path() + ".bad");
    ViewHistory history(Path());
    ASSERT_TRUE(history.AddCamera("B", day2));
    EXPECT_FALSE(fs::exists(Path() + ".bad"));
    Write("\xEF\xBB\xBF<?xml version=\"1.0\" ?>\r\n" + day);  // a hand-saved history with a BOM and CR LF
    EXPECT_EQ((Groups{{"2016-3-9", {"A"}}}), Load(history));
}

TEST_F(ViewHistoryTest, SaveFailureLeavesTheOldFileIntact)
{
    ViewHistory history(Path());
    history.AddCamera("A", day1);
    const std::string before = Read(Path());
    chmod(dir.c_str(), 0555);  // the temporary file cannot be created beside it
    EXPECT_FALSE(AsOrdinaryUser(dir.string(), [&] { return history.AddCamera("B", day1); }));
    chmod(dir.c_str(), 0755);
    EXPECT_EQ(before, Read(Path()));
}

// A history the user made read-only is not replaced behind its back (the folder would allow a rename).
TEST_F(ViewHistoryTest, AReadOnlyFileIsNotReplaced)
{
    ViewHistory history(Path());
    history.AddCamera("A", day1);
    const std::string before = Read(Path());
    chmod(Path().c_str(), 0444);
    EXPECT_FALSE(AsOrdinaryUser(dir.string(), [&] {
        return history.AddCamera("B", day1) || history.RemoveCamera("A") || history.ClearAll();
    }));
    EXPECT_EQ(before, Read(Path()));
}

// A file nested far deeper than a history is not one: it must not overflow the parser's stack (the
// history is read at every start), and is kept aside like any other file that is not a history. A long
// history whose ids hold "/" and ">" is still one.
TEST_F(ViewHistoryTest, DeeplyNestedFilesAreKeptAsideWithoutCrashing)
{
    std::string deep;
    for (int i = 0; i < 300000; ++i)
        deep += "<D>";
    Write(deep);
    ViewHistory history(Path());
    EXPECT_TRUE(Load(history).empty());
    ASSERT_TRUE(history.AddCamera("B", day2));
    EXPECT_TRUE(Read(Path() + ".bad") == deep);
    EXPECT_EQ((Groups{{"2016-3-10", {"B"}}}), Load(history));

    std::string day = "<D2016-3-9>\n    <!-- <a><b><c> -->\n";
    std::vector<std::string> ids;
    for (int i = 0; i < 400; ++i) {
        ids.push_back("cam/" + std::to_string(i) + ">x");
        day += "    <devinfo cameraid=\"" + ids.back() + "\" />\n";
    }
    Write(day + "</D2016-3-9>\n");
    EXPECT_EQ((Groups{{"2016-3-9", ids}}), Load(history));
}
