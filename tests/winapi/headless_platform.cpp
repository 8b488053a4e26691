// On Linux a program's main starts the platform: here the tests start it once,
// headless, as on Windows they share one desktop.
#include <gtest/gtest.h>

#include "testing/runtime_control.h"

namespace {
struct HeadlessPlatform : ::testing::Environment {
    void SetUp() override { platform::testing::ResetPlatform(); }
};
const auto* const headless = ::testing::AddGlobalTestEnvironment(new HeadlessPlatform);
}  // namespace
