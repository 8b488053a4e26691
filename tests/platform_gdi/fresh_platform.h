// A fresh run of the platform for every test, and no object alive after it,
// so that a leak shows as a failure of the test that caused it.
#ifndef TESTS_PLATFORM_GDI_FRESH_PLATFORM_H
#define TESTS_PLATFORM_GDI_FRESH_PLATFORM_H

#include <gtest/gtest.h>

#include <api/directdraw.h>
#include <api/gdi.h>
#include <api/palette.h>
#include <api/surface.h>
#include <testing/runtime_control.h>

#include <string>
#include <vector>

#include "bitmap.h"

class FreshPlatform : public ::testing::Test {
protected:
    void SetUp() override { platform::testing::ResetPlatform(); }
    void TearDown() override {
        EXPECT_EQ(platform::LiveSurfaceCount(), 0u) << "surfaces leaked";
        EXPECT_EQ(platform::LivePaletteCount(), 0u) << "palettes leaked";
        EXPECT_EQ(platform::LiveDirectDrawCount(), 0u) << "DirectDraw objects leaked";
        EXPECT_EQ(platform::LiveGdiObjectCount(), 0u) << "bitmaps or device contexts leaked";
    }
};

inline std::vector<BYTE> Corpus(const std::string& name) { return ReadBytes(TEST_DATA_DIR "/bmpsuite/" + name); }

#endif
