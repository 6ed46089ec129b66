// The HTTP transport against a real server on loopback, and the code-page conversion.
#include "FakeService.h"
#include "PrivateWorkDir.h"
#include "support/LoopbackPort.h"

#include "app/UserSession.h"
#include "service/CodePage.h"
#include "service/DeviceMgr.h"
#include "service/HttpTransport.h"
#include "service/JsonEscape.h"
#include "service/ServiceReply.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::uint16_t PortOf(const FakeService& service)
{
    return static_cast<std::uint16_t>(service.Port());
}

TEST(HttpPostJson, JoinsAMultiLineReplyWithoutItsLineFeedsAndKeepsCarriageReturns)
{
    FakeService service;
    service.SetReply("{\"code\":0,\r\n\"msg\":\"a\"\n}\n");
    EXPECT_EQ(HttpPostJson("vyr-api/ws/api/reqCmd", "{}", "127.0.0.1", PortOf(service)), "{\"code\":0,\r\"msg\":\"a\"}");
}

TEST(HttpPostJson, PostsTheBodyUnchangedWithTheOneContentTypeLine)
{
    FakeService service;
    std::string body = "{\"name\":\"\xE4\xB8\xAD\"}\n";
    HttpPostJson("api/addUserNode.htdy", body, "127.0.0.1", PortOf(service));
    FakeService::Request sent = service.Last();
    EXPECT_EQ(sent.path, "api/addUserNode.htdy");
    EXPECT_EQ(sent.body, body);
    EXPECT_EQ(sent.contentType, "application/json; charset=utf-8;");
    EXPECT_FALSE(sent.hasAccept);  // the request names no accept types
}

TEST(HttpPostJson, FollowsARedirectOfTheServiceToTheReply)
{
    FakeService service;
    service.Redirect("/old/reqCmd", "/vyr-api/ws/api/reqCmd", 307);
    service.SetReply("{\"code\":0}");
    EXPECT_EQ(HttpPostJson("old/reqCmd", "{\"cmd\":11}", "127.0.0.1", PortOf(service)), "{\"code\":0}");
    EXPECT_EQ(service.Last().path, "vyr-api/ws/api/reqCmd");
    EXPECT_EQ(service.Last().body, "{\"cmd\":11}");
}

TEST(HttpPostJson, TempFileHoldsExactlyTheLastReplyReadableByItsOwnerOnly)
{
    FakeService service;
    service.SetReply("{\"code\":0,\"result\":\"a long first reply\"}");
    HttpPostJson("p", "{}", "127.0.0.1", PortOf(service));
    service.SetReply("{\"code\":1}\n");
    std::string reply = HttpPostJson("p", "{}", "127.0.0.1", PortOf(service));
    EXPECT_EQ(ReadFile("temp.txt"), reply);
    EXPECT_EQ(reply, "{\"code\":1}");
    struct stat info {};
    ASSERT_EQ(stat("temp.txt", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(HttpPostJson, ReturnsTheBodyOfAnHttpErrorPage)
{
    FakeService service;
    service.SetReply("<html>\n<body>Internal error</body>\n</html>", 500);
    EXPECT_EQ(HttpPostJson("p", "{}", "127.0.0.1", PortOf(service)), "<html><body>Internal error</body></html>");
}

TEST(HttpPostJson, EmptyHostSendsNothing)
{
    EXPECT_EQ(HttpPostJson("p", "{}", "", 8000), "");
}

TEST(HttpPostJson, UnreachableHostGivesTheFailureText)
{
    EXPECT_EQ(HttpPostJson("p", "{}", "127.0.0.1", FreeLoopbackPort()), kGetJsonError);
}

TEST(HttpPostJson, RefusesAReplyBeyondTheSizeLimit)
{
    FakeService service;
    service.SetReply(std::string(kMaxReplyBytes + 1, ' '));
    EXPECT_EQ(HttpPostJson("p", "{}", "127.0.0.1", PortOf(service)), kGetJsonError);
}

TEST(ServiceRequests, UnreachableServiceFailsEveryKindOfRequestWithTheConnectionText)
{
    FakeService service;
    ASSERT_EQ(LogInThrough(service), 0);
    SetServiceEndpointForTesting("127.0.0.1", FreeLoopbackPort());
    EXPECT_EQ(UserSession::Instance()->Login("1", "2"), -1);
    EXPECT_EQ(UserSession::Instance()->ErrorText(), "连接总控服务器失败");
    EXPECT_EQ(UserSession::Instance()->ClientInfoId(), "C1");
    EXPECT_EQ(DeviceMgr::Instance()->FunQueryDeviceList(), 0);
    EXPECT_EQ(DeviceMgr::Instance()->ErrorText(), "连接总控服务器失败");
    EXPECT_EQ(DeviceMgr::Instance()->AddUserNode("n", ""), -1);
    EXPECT_EQ(DeviceMgr::Instance()->ErrorText(), "连接总控服务器失败");
}

TEST(DownloadUrlToFile, WritesABodyWhoseLengthIsNotAMultipleOf1024Exactly)
{
    FakeService service;
    std::string picture;
    for (int i = 0; i < 3 * 1024 + 17; ++i)
        picture.push_back(static_cast<char>(i * 7));
    service.ServeFile("/pic/a.jpeg", picture);
    ASSERT_TRUE(DownloadUrlToFile(service.Url("/pic/a.jpeg"), "download.jpeg"));
    EXPECT_EQ(ReadFile("download.jpeg"), picture);
}

TEST(DownloadUrlToFile, LeavesNoFileWhenTheServerHasNone)
{
    FakeService service;
    std::remove("missing.jpeg");
    EXPECT_FALSE(DownloadUrlToFile(service.Url("/pic/none.jpeg"), "missing.jpeg"));
    EXPECT_NE(access("missing.jpeg", F_OK), 0);
    EXPECT_NE(access("missing.jpeg.part", F_OK), 0);
    EXPECT_FALSE(DownloadUrlToFile("http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/x", "missing.jpeg"));
    EXPECT_NE(access("missing.jpeg", F_OK), 0);
}

TEST(DownloadUrlToFile, FollowsRedirectsOverTheWebOnly)
{
    FakeService service;
    service.ServeFile("/pic/real.jpeg", "JPEG");
    service.Redirect("/pic/moved.jpeg", service.Url("/pic/real.jpeg"), 302);
    ASSERT_TRUE(DownloadUrlToFile(service.Url("/pic/moved.jpeg"), "moved.jpeg"));
    EXPECT_EQ(ReadFile("moved.jpeg"), "JPEG");

    // An address from a reply never reads a local file, directly or through a redirect.
    std::ofstream("secret.txt") << "SECRET";
    const std::string localFile = "file://" + PrivateWorkDir::Folder() + "secret.txt";
    EXPECT_FALSE(DownloadUrlToFile(localFile, "local.jpeg"));
    service.Redirect("/pic/local.jpeg", localFile, 302);
    EXPECT_FALSE(DownloadUrlToFile(service.Url("/pic/local.jpeg"), "local.jpeg"));
    EXPECT_NE(access("local.jpeg", F_OK), 0);
}

TEST(ConvertCodePage, ConvertsBetweenGbkAndUtf8BothWays)
{
    const std::string utf8 = "连接总控服务器失败";
    const std::string gbk = ConvertCodePage(utf8, CP_UTF8, CP_GBK);
    EXPECT_EQ(gbk.size(), 18u);  // two bytes per character
    EXPECT_EQ(ConvertCodePage(gbk, CP_GBK, CP_UTF8), utf8);
}

TEST(ConvertCodePage, HandlesTheEdgesOfItsInput)
{
    struct Case {
        std::string input;
        int from;
        int to;
        std::string expected;
    } cases[] = {
        {std::string("ab\0cd", 5), CP_UTF8, CP_UTF8, "ab"},     // stops at the first NUL
        {"a\xFF" "b", CP_UTF8, CP_UTF8, "a\xEF\xBF\xBD" "b"},  // undecodable byte -> U+FFFD
        {"\xE4\xB8", CP_UTF8, CP_UTF8, "\xEF\xBF\xBD\xEF\xBF\xBD"},  // a character cut at the end
        {"\xF0\x9F\x98\x80", CP_UTF8, CP_GBK, "?"},             // a character GBK lacks
        {"", CP_UTF8, CP_ACP, ""},
        {"abc", 12345, CP_UTF8, ""},                             // unknown code page
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertCodePage(c.input, c.from, c.to), c.expected) << c.input;
}

TEST(JsonEscape, EscapesOnlyWhatWouldBreakTheString)
{
    EXPECT_EQ(JsonEscape("plain 中文 value"), "plain 中文 value");
    EXPECT_EQ(JsonEscape("a\"b\\c\nd\x01"), "a\\\"b\\\\c\\nd\\u0001");
}

TEST(JsonDepthWithin, CountsNestingOutsideStringsOnly)
{
    EXPECT_TRUE(JsonDepthWithin("[[[]]]", 3));
    EXPECT_FALSE(JsonDepthWithin("[[[[]]]]", 3));
    EXPECT_TRUE(JsonDepthWithin("[\"[[[[\\\"[[[\"]", 1));
}

}  // namespace
