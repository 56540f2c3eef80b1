// The client's option text and command line.
#include <gtest/gtest.h>

#include "LaunchOptionsFor.h"
#include "launch/ClientOptions.h"
#include "platform/CodePage.h"
#include "platform/MstscStandIn.h"

namespace vardex {
namespace {

struct OptionsCase {
    const char* name;
    LaunchOptions options;
    std::string expected;
};

TEST(BuildClientOptions, FivePiecesInTheirFixedOrder) {
    const OptionsCase cases[] = {
        {"800*600", testing::LaunchOptionsFor(1, false), "/w:800 /h:600 "},
        {"800*600 forced", testing::LaunchOptionsFor(1, true), "/w:800 /h:600 /admin "},
        {"1024*768", testing::LaunchOptionsFor(2, false), "/w:1024 /h:768 "},
        {"1024*768 forced", testing::LaunchOptionsFor(2, true), "/admin /w:1024 /h:768 "},
        {"full screen", testing::LaunchOptionsFor(3, false), "/f "},
        {"full screen forced", testing::LaunchOptionsFor(3, true), "/admin /f "},
        {"custom", testing::LaunchOptionsFor(4, false, "1280", "720"), "/w:1280 /h:720 "},
        {"custom forced", testing::LaunchOptionsFor(4, true, "1280", "720"),
         "/admin /w:1280 /h:720 "},
        {"custom with empty boxes", testing::LaunchOptionsFor(4, false), "/w: /h: "},
        {"custom texts as typed", testing::LaunchOptionsFor(4, false, "12a", "\xB0\xA1"),
         "/w:12a /h:\xB0\xA1 "},
        {"custom texts cannot add options",
         testing::LaunchOptionsFor(4, false, "800 /public", "6\"00\t\r\n"),
         "/w:800/public /h:600 "},
        // The system reads 0x80 as the euro sign on its own: the quote after it is a quote.
        {"a quote after a euro sign is left out",
         testing::LaunchOptionsFor(4, false, "1\x80\"2", "3"),
         "/w:1\x80"
         "2 /h:3 "},
        {"no radio", testing::LaunchOptionsFor(0, false), ""},
        {"no radio forced", testing::LaunchOptionsFor(0, true), "/admin "},
    };
    for (const OptionsCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BuildClientOptions(c.options), c.expected);
    }
}

TEST(BuildClientCommandLine, QuotesThePathSoTheClientReadsItWhole) {
    struct Case {
        const char* name;
        std::string path;
        std::string options;
        std::string expected;
    };
    const Case cases[] = {
        {"path with a space", "C:\\t\\my server", "/f ", "mstsc.exe \"C:\\t\\my server\" /f "},
        {"empty options keep the space", "/run/user/1/vardex/web", "",
         "mstsc.exe \"/run/user/1/vardex/web\" "},
        {"forced 1024*768", "P", "/admin /w:1024 /h:768 ",
         "mstsc.exe \"P\" /admin /w:1024 /h:768 "},
        {"trailing backslash is doubled before the quote", "C:\\Temp\\", "",
         "mstsc.exe \"C:\\Temp\\\\\" "},
        {"quotation mark is escaped", "a\"b\\\"c", "", "mstsc.exe \"a\\\"b\\\\\\\"c\" "},
        {"GBK trail byte 0x5C is no backslash", "x\x81\x5C", "", "mstsc.exe \"x\x81\x5C\" "},
        {"a backslash after a euro sign is one", "x\x80\\", "", "mstsc.exe \"x\x80\\\\\" "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BuildClientCommandLine(c.path, c.options), c.expected);
    }
}

TEST(BuildClientCommandLine, TheStandInReadsBackPathAndOptions) {
    const std::string paths[] = {
        "/run/user/1000/vardex/my server",
        "C:\\Users\\a b\\AppData\\Local\\Temp\\",
        "/tmp/vardex-0/a\"b \\\" /admin",
        "/tmp/vardex-0/\xB7\xFE\xCE\xF1\xC6\xF7\x81\x5C",  // 服务器乗
        "/tmp/vardex-0/\x80\" /admin \x80\\",              // € and quotes or backslashes
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const auto request =
            ParseClientCommandLine(BuildClientCommandLine(path, "/w:1024 /h:768 /f "));
        ASSERT_TRUE(request);
        EXPECT_EQ(request->connectionFile, GbkToUtf8(path).value());
        EXPECT_EQ(request->width, 1024);
        EXPECT_EQ(request->height, 768);
        EXPECT_TRUE(request->fullScreen);
        EXPECT_FALSE(request->admin);
    }
}

}  // namespace
}  // namespace vardex
