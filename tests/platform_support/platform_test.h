// The fixture of the DirectDraw and graphics tests: a fresh runtime stand-in
// for every test, and no object left alive after it, so that a leak or a
// missing reference shows as a failure of the test that caused it.
#ifndef TESTS_PLATFORM_SUPPORT_PLATFORM_TEST_H
#define TESTS_PLATFORM_SUPPORT_PLATFORM_TEST_H

#include <gtest/gtest.h>

#include <api/directdraw.h>
#include <api/gdi.h>
#include <api/palette.h>
#include <api/surface.h>
#include <runtime/runtime.h>

#include "runtime_double.h"

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override { runtime_double::Reset(); }

    void TearDown() override {
        EXPECT_EQ(platform::LiveSurfaceCount(), 0u) << "surfaces leaked";
        EXPECT_EQ(platform::LivePaletteCount(), 0u) << "palettes leaked";
        EXPECT_EQ(platform::LiveDirectDrawCount(), 0u) << "DirectDraw objects leaked";
        EXPECT_EQ(platform::LiveGdiObjectCount(), 0u) << "bitmaps or device contexts leaked";
    }

    runtime_double::State& Runtime() { return runtime_double::Runtime(); }
};

#endif
