// A program's main starts the platform on Linux: here the tests start it once, headless, sharing one desktop.
#include <gtest/gtest.h>
#include "testing/runtime_control.h"
namespace {
struct HeadlessPlatform : ::testing::Environment {
    void SetUp() override { platform::testing::ResetPlatform(); }
};
const auto* const headless = ::testing::AddGlobalTestEnvironment(new HeadlessPlatform);
}  // namespace
