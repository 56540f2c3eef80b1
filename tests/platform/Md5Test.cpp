// MD5 digests against published and independently computed values.
#include <gtest/gtest.h>

#include "platform/Md5.h"

namespace vardex {
namespace {

TEST(Md5Hex, GivesLowerCaseDigests) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* digest;
    } const cases[] = {
        {"empty", "", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "abc", "900150983cd24fb0d6963f7d28e17f72"},
        // 你懒得输入，我就写死，略略: the guard's name for a program in the root of a drive
        {"fallback seed",
         "\xC4\xE3\xC0\xC1\xB5\xC3\xCA\xE4\xC8\xEB\xA3\xAC\xCE\xD2\xBE\xCD\xD0\xB4\xCB\xC0\xA3\xAC"
         "\xC2\xD4\xC2\xD4",
         "917b41c1b5ace220c8b4dcacd5857727"},
        {"a million a", std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
        {"zero bytes count", std::string(3, '\0'), "693e9af84d3dfcc71e640e005bdc5e2e"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Md5Hex(c.bytes), c.digest);
    }
}

}  // namespace
}  // namespace vardex
