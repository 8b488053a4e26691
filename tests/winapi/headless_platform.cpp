// On Linux the calls run on our platform, which a program's main starts: here
// the tests start it once, headless, as they share one desktop on Windows.
#include "testing/runtime_control.h"

#include <gtest/gtest.h>

namespace {

struct HeadlessPlatform : ::testing::Environment {
    void SetUp() override { platform::testing::ResetPlatform(); }
};

const auto* const headless = ::testing::AddGlobalTestEnvironment(new HeadlessPlatform);

}  // namespace
