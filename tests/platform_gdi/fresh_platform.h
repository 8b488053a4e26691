// A fresh platform for every test and no object alive after it, so that a leak fails the test that caused it.
#ifndef TESTS_PLATFORM_GDI_FRESH_PLATFORM_H
#define TESTS_PLATFORM_GDI_FRESH_PLATFORM_H

#include <api/directdraw.h>
#include <api/gdi.h>
#include <api/palette.h>
#include <api/surface.h>
#include <gtest/gtest.h>
#include <testing/runtime_control.h>

#include "bitmap.h"

class FreshPlatform : public ::testing::Test {
protected:
    void SetUp() override { platform::testing::ResetPlatform(); }
    void TearDown() override {
        EXPECT_EQ(platform::LiveSurfaceCount() + platform::LivePaletteCount() + platform::LiveDirectDrawCount() +
                      platform::LiveGdiObjectCount(), 0u) << "objects leaked";
    }
};

inline std::vector<BYTE> Corpus(const std::string& name) { return ReadBytes(TEST_DATA_DIR "/bmpsuite/" + name); }

#endif
