// The instance marker within one process: marks are found by name only.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/InstanceMarker.h"

namespace vardex {
namespace {

// Other test runs of the same user share the marker namespace: every name is fresh.
std::string FreshName(const std::string& label) {
    std::random_device random;
    return "vardex-test-" + std::to_string(random()) + "-" + label;
}

TEST(InstanceMarker, FindsAMarkByItsNameOnly) {
    const std::string name = FreshName("a");
    const std::string other = FreshName("b");
    EXPECT_FALSE(IsInstanceRunning(name));
    ASSERT_TRUE(MarkInstanceRunning(name));
    EXPECT_TRUE(IsInstanceRunning(name));
    EXPECT_FALSE(IsInstanceRunning(other));
    EXPECT_FALSE(IsInstanceRunning(name + "x"));
}

TEST(InstanceMarker, TellsApartLongAndGbkNames) {
    // Too long for a socket address: the two differ only at the end, so a cut would merge them.
    const std::string stem = FreshName(std::string(300, 'n'));
    ASSERT_TRUE(MarkInstanceRunning(stem + "1"));
    EXPECT_TRUE(IsInstanceRunning(stem + "1"));
    EXPECT_FALSE(IsInstanceRunning(stem + "2"));

    const std::string gbk = FreshName("\xBE\xDF\xB9\xA4");  // 具工
    ASSERT_TRUE(MarkInstanceRunning(gbk));
    EXPECT_TRUE(IsInstanceRunning(gbk));
    EXPECT_FALSE(IsInstanceRunning(FreshName("\xB9\xA4\xBE\xDF")));  // 工具
}

TEST(InstanceMarker, AnEmptyNameMarksNothing) {
    EXPECT_FALSE(MarkInstanceRunning(""));
    EXPECT_FALSE(IsInstanceRunning(""));
}

}  // namespace
}  // namespace vardex
