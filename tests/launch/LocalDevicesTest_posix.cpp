// Linux has no registry: the device value step says so and changes nothing.
#include <gtest/gtest.h>

#include "launch/LocalDevices.h"

namespace vardex {
namespace {

TEST(EnsureLocalDevicesValuePosix, SystemRegistryIsNotAvailable) {
    const auto registry = MakeSystemRegistry();
    EXPECT_EQ(EnsureLocalDevicesValue(*registry, "127.0.0.1"), LocalDevicesOutcome::NotAvailable);
}

}  // namespace
}  // namespace vardex
