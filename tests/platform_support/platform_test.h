// The fixture of the DirectDraw and graphics tests: a fresh run of the platform
// for every test, and no object left alive after it, so that a leak or a
// missing reference shows as a failure of the test that caused it.
#ifndef TESTS_PLATFORM_SUPPORT_PLATFORM_TEST_H
#define TESTS_PLATFORM_SUPPORT_PLATFORM_TEST_H

#include <gtest/gtest.h>

#include <api/directdraw.h>
#include <api/gdi.h>
#include <api/palette.h>
#include <api/surface.h>
#include <api/hosted.h>
#include <testing/runtime_control.h>

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override { platform::testing::ResetPlatform(); }

    void TearDown() override {
        EXPECT_EQ(platform::LiveSurfaceCount(), 0u) << "surfaces leaked";
        EXPECT_EQ(platform::LivePaletteCount(), 0u) << "palettes leaked";
        EXPECT_EQ(platform::LiveDirectDrawCount(), 0u) << "DirectDraw objects leaked";
        EXPECT_EQ(platform::LiveGdiObjectCount(), 0u) << "bitmaps or device contexts leaked";
    }

    static const std::vector<platform::testing::PresentedFrame>& Frames() {
        return platform::testing::PresentedFrames();
    }

    // Refreshes that went by without a frame: the headless clock moves on by
    // one refresh for every presented frame and every missed refresh.
    static LONGLONG MissedRefreshes() {
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        return counter.QuadPart / platform::kRefreshCounts - static_cast<LONGLONG>(Frames().size());
    }
};

#endif
