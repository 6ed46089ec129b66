// The profile file reader and writer, and its agreement with Python's configparser both ways.
#include "TempFolder.h"

#include "app/IniFile.h"
#include "support/AsOrdinaryUser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const { return folder_.Path() + name; }
    TempFolder folder_;
};

TEST_F(IniFileTest, ReadsAsTheProfileReaderDoes)
{
    std::string path = PathOf("a.ini");
    WriteFile(path, "; comment\r\n[Config]\r\n  VideoPath = /data/rec  \r\nempty=\r\nurl=http://h/p?a=b\r\nlong=" +
                        std::string(300, 'x') + "\r\nwide=" + std::string(254, 'a') + "中\r\n[other]\r\nvideopath=/wrong\r\n");
    IniFile ini(path);
    struct Case {
        const char* section;
        const char* key;
        const char* def;
        std::string expected;
        int length;
    } cases[] = {
        {"config", "videopath", "d", "/data/rec", 9},  // sections and keys ignore case, blanks trimmed
        {"CONFIG", "VIDEOPATH", "d", "/data/rec", 9},
        {"config", "url", "d", "http://h/p?a=b", 14},   // only the first "=" separates
        {"config", "absent", "dflt", "dflt", 4},        // absent: the default
        {"nosuch", "videopath", "dflt", "dflt", 4},
        {"config", "empty", "dflt", "unchanged", 0},    // present but empty: nothing delivered
        {"config", "absent", "", "unchanged", 0},
        {"config", "long", "", std::string(255, 'x'), 255},  // at most 255 characters
        {"config", "wide", "", std::string(254, 'a'), 254},  // never cut inside a character
    };
    for (const Case& c : cases) {
        std::string out = "unchanged";
        EXPECT_EQ(ini.ReadString(c.section, c.key, c.def, out), c.length) << c.section << "/" << c.key;
        EXPECT_EQ(out, c.expected) << c.section << "/" << c.key;
    }
}

TEST_F(IniFileTest, ReadsIntegers)
{
    std::string path = PathOf("n.ini");
    WriteFile(path, "[s]\nfive=5\nneg=-3\nword=abc\nmixed=12abc\nempty=\nhuge=99999999999\n");
    IniFile ini(path);
    struct Case {
        const char* key;
        int expected;
    } cases[] = {{"five", 5}, {"neg", -3}, {"word", 0}, {"mixed", 12}, {"empty", 7}, {"absent", 7}, {"huge", 2147483647}};
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadInt("s", c.key, 7), c.expected) << c.key;
    EXPECT_EQ(IniFile(PathOf("missing.ini")).ReadInt("s", "five", 7), 7);
}

TEST_F(IniFileTest, WritesChangeOnlyTheirLineAndKeepTheRest)
{
    std::string path = PathOf("w.ini");
    WriteFile(path, "; keep me\r\n[config]\r\nVideoPath=/old\r\npicpath=/pic\r\n\r\n[other]\r\nx=1\r\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.WriteString("CONFIG", "videopath", "/new"));
    ASSERT_TRUE(ini.WriteInt("config", "revalarm", -1));
    ASSERT_TRUE(ini.WriteString("fresh", "k", "v"));
    EXPECT_EQ(ReadFile(path),
              "; keep me\r\n[config]\r\nvideopath=/new\r\npicpath=/pic\r\nrevalarm=-1\r\n\r\n[other]\r\nx=1\r\n[fresh]\r\nk=v\r\n");
    ASSERT_TRUE(ini.DeleteSection("OTHER"));
    EXPECT_EQ(ReadFile(path), "; keep me\r\n[config]\r\nvideopath=/new\r\npicpath=/pic\r\nrevalarm=-1\r\n\r\n[fresh]\r\nk=v\r\n");
}

TEST_F(IniFileTest, RefusesWhatWouldBreakTheFileAndReportsUnwritableFolders)
{
    IniFile ini(PathOf("r.ini"));
    EXPECT_FALSE(ini.WriteString("s", "k", "two\nlines"));
    EXPECT_FALSE(ini.WriteString("s", "k=x", "v"));
    EXPECT_FALSE(ini.WriteString("s", " ", "v"));
    EXPECT_FALSE(IniFile(PathOf("no-folder/r.ini")).WriteString("s", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(PathOf("r.ini")));
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNotRewrittenFromNothing)
{
    const std::string path = PathOf("unreadable.ini");
    const std::string content = "[config]\nvideopath=/rec\npicpath=/pic\n";
    WriteFile(path, content);
    chmod(path.c_str(), 0200);
    EXPECT_FALSE(AsOrdinaryUser(folder_.Path(), [&] { return IniFile(path).WriteString("config", "revalarm", "1"); }));
    chmod(path.c_str(), 0600);
    EXPECT_EQ(content, ReadFile(path));
}

// A read-only file refuses writes, as writing it in place would; the folder's permission to rename
// over it must not override that.
TEST_F(IniFileTest, AReadOnlyFileIsNotReplaced)
{
    const std::string path = PathOf("readonly.ini");
    const std::string content = "[config]\nvideopath=/rec\n";
    WriteFile(path, content);
    chmod(path.c_str(), 0444);
    EXPECT_FALSE(AsOrdinaryUser(folder_.Path(), [&] {
        IniFile ini(path);
        return ini.WriteString("config", "revalarm", "1") || ini.DeleteSection("config");
    }));
    EXPECT_EQ(content, ReadFile(path));
}

// A byte order mark that an editor put in front is not part of the first section's name.
TEST_F(IniFileTest, AByteOrderMarkIsSkippedAndKept)
{
    const std::string path = PathOf("bom.ini");
    WriteFile(path, "\xEF\xBB\xBF[config]\r\nvideopath=/rec\r\n[windows]\r\nload=true\r\n");
    IniFile ini(path);
    std::string value;
    ini.ReadString("config", "videopath", "", value);
    EXPECT_EQ(value, "/rec");
    ASSERT_TRUE(ini.WriteString("config", "picpath", "/pic"));
    ASSERT_TRUE(ini.DeleteSection("windows"));
    EXPECT_EQ(ReadFile(path), "\xEF\xBB\xBF[config]\r\nvideopath=/rec\r\npicpath=/pic\r\n");
}

TEST_F(IniFileTest, OwnerOnlyFilesStaySoAndNoTemporaryFileIsLeft)
{
    std::string path = PathOf("secret.ini");
    WriteFile(path, "[s]\n");
    chmod(path.c_str(), 0644);
    IniFile ini(path);
    ini.SetOwnerOnly(true);
    ASSERT_TRUE(ini.WriteString("s", "pass0", "x"));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
        ++files;
    EXPECT_EQ(files, 1);
}

// Runs Python's configparser over `path` and returns "section|key|value" lines, sorted.
std::string ConfigParserDump(const std::string& path)
{
    std::string script = "import configparser,sys\n"
                         "cp=configparser.RawConfigParser()\n"
                         "cp.read(sys.argv[1],encoding='utf-8')\n"
                         "print('\\n'.join(sorted(s+'|'+k+'|'+v for s in cp.sections() for k,v in cp.items(s))))\n";
    std::string scriptPath = path + ".py";
    WriteFile(scriptPath, script);
    std::string dump;
    if (FILE* pipe = popen(("python3 '" + scriptPath + "' '" + path + "'").c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            dump.append(buffer, n);
        pclose(pipe);
    }
    return dump;
}

TEST_F(IniFileTest, WhatItWritesReadsTheSameInConfigParser)
{
    std::string path = PathOf("ours.ini");
    IniFile ini(path);
    ASSERT_TRUE(ini.WriteString("config", "videopath", "/home/u/录像/"));
    ASSERT_TRUE(ini.WriteString("config", "picpath", "/a b/c=d%e"));
    ASSERT_TRUE(ini.WriteInt("config", "revalarm", 1));
    ASSERT_TRUE(ini.WriteString("AccountIndex", "account0", "13800000000"));
    ASSERT_TRUE(ini.WriteString("config", "VIDEOPATH", "/rec/"));  // replaces, whatever the case
    EXPECT_EQ(ConfigParserDump(path),
              "AccountIndex|account0|13800000000\nconfig|picpath|/a b/c=d%e\nconfig|revalarm|1\nconfig|videopath|/rec/\n");
}

TEST_F(IniFileTest, WhatConfigParserAndHandsWriteReadsTheSameHere)
{
    std::string path = PathOf("theirs.ini");
    std::string script = "import configparser\n"
                         "cp=configparser.RawConfigParser()\n"
                         "cp['windows']={'load':'true','Change':'false'}\n"
                         "cp['PassIndex']={'pass0':'p w','pass1':''}\n"
                         "cp.write(open('" + path + "','w',encoding='utf-8'))\n";
    WriteFile(path + ".py", script);
    ASSERT_EQ(std::system(("python3 '" + path + ".py'").c_str()), 0);
    IniFile ini(path);
    std::string value = "-";
    ini.ReadString("windows", "Change", "", value);
    EXPECT_EQ(value, "false");
    ini.ReadString("PassIndex", "PASS0", "", value);
    EXPECT_EQ(value, "p w");
    value = "-";
    EXPECT_EQ(ini.ReadString("PassIndex", "pass1", "", value), 0);

    std::string hand = PathOf("hand.ini");
    WriteFile(hand, "# written by hand\r\n[config]\r\nvideopath = /v/\r\n; note\r\nrevalarm=5\r\n\r\n[Other]\r\nname = 中文 值\r\n");
    EXPECT_EQ(ConfigParserDump(hand), "Other|name|中文 值\nconfig|revalarm|5\nconfig|videopath|/v/\n");
    IniFile handIni(hand);
    ASSERT_GT(handIni.ReadString("other", "NAME", "", value), 0);
    EXPECT_EQ(value, "中文 值");
    EXPECT_EQ(handIni.ReadInt("config", "revalarm", 0), 5);
}

}  // namespace
