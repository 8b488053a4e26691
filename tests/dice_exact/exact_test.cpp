// The fills' fast path gives the bytes of their plain definition: whole frames of the die in the whole-degree
// orientations, in every rounding mode. CTest draws every 251st of the 360 x 360 orientations; all 129,600 with
//     DICE_EXACT_STRIDE=1 build/default/tests/dice_exact/dice_exact_tests
#include <gtest/gtest.h>
#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>
#include "dice/die.h"
#include "dice/fill.h"
#include "dice/spans.h"
#include "shell/display.h"
#include "shell/sinetable.h"
#include "testing/memory_surface.h"
namespace {
int Stride() { const char* s = std::getenv("DICE_EXACT_STRIDE"); return s ? std::max(1, std::atoi(s)) : 251; }
class ExactFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildSineTable(), ScreenRect = {0, 0, 640, 480};
        // Neighbouring texels differ in every direction: a pixel that takes the texel next to the right one shows it.
        for (int i = 0; i < 400 * 200; ++i) texels[i] = static_cast<BYTE>(i % 400 * 31 + i / 400 * 17);
        BackSurface = platform::CreateMemorySurface(640, 480, 8, 640, screen.data());
        TextureSurface = platform::CreateMemorySurface(400, 200, 8, 400, texels.data());
    }
    void TearDown() override {
        FastFills = 1, BackSurface->Release(), TextureSurface->Release(), BackSurface = TextureSurface = NULL;
    }
    const std::vector<BYTE>& Frame(int degreesX, int degreesY, int fast) {
        std::fill(screen.begin(), screen.end(), BYTE{0});
        FastFills = fast, DieAngleX = degreesX * 256, DieAngleY = -degreesY * 256;
        return DrawTexturedDie(BackSurface, 0), screen;
    }
    std::vector<BYTE> screen = std::vector<BYTE>(640 * 480), texels = std::vector<BYTE>(400 * 200);
};
// Orientation k * stride is DieAngleX's degree index / 360 and the negated DieAngleY's index % 360. The fast path's
// rounding of texel coordinates must not follow the mode, as RoundHalfEven does not; and in the other modes every
// division rounds otherwise, so those see a sparser sample.
TEST_F(ExactFrameTest, FastFramesAreThePlainOnesInEveryOrientationAndRoundingMode) {
    for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        ASSERT_EQ(std::fesetround(mode), 0);
        EXPECT_EQ(RoundsToNearest(), mode == FE_TONEAREST);
        int compared = 0, differing = 0;
        for (int index = 0; index < 360 * 360; index += Stride() * (mode == FE_TONEAREST ? 1 : 11), ++compared) {
            const std::vector<BYTE> plain = Frame(index / 360, index % 360, 0);
            ASSERT_GT(std::count_if(plain.begin(), plain.end(), [](BYTE b) { return b != 0; }), 5000) << index;
            for (const int fast : {1, 2, 3})
                if (Frame(index / 360, index % 360, fast) != plain && ++differing <= 5)
                    ADD_FAILURE() << "fast path " << fast << " differs at " << index / 360 << " and -" << index % 360;
        }
        EXPECT_EQ(differing, 0) << "of " << compared << " orientations in mode " << mode;
        std::fesetround(FE_TONEAREST);
    }
}
// The fast loop samples pixel i at offset + i, which is the plain loop's running sum only where no step of that sum
// rounds: 0.7 keeps fewer of -0.3's bits.
TEST(RunningSumTest, IsCalledExactOnlyWhereNoStepRounds) {
    EXPECT_TRUE(RunningSumIsExact(-0.5, 640) == 1 && RunningSumIsExact(-0.3, 2) == 0);
    EXPECT_TRUE(RunningSumIsExact(255 + 0x1p-45, 2) == 0 && RunningSumIsExact(NAN, 2) == 0);
    std::mt19937_64 random(15);
    int exact = 0;
    for (int k = 0; k < 20000; ++k) {
        // Up to 53 significant bits, at magnitudes from 1/8 to 256.
        const int64_t bits = static_cast<int64_t>(random() >> 11) - (int64_t{1} << 52);
        const double offset = std::ldexp(static_cast<double>(bits), -44 - static_cast<int>(random() % 12));
        const int32_t n = 1 + static_cast<int32_t>(random() % 700);
        if (!RunningSumIsExact(offset, n)) continue;
        ++exact;
        double sum = offset;
        for (int32_t i = 0; i < n; ++i, sum += 1.0) ASSERT_EQ(sum, offset + i) << offset << " + " << i;
    }
    EXPECT_TRUE(exact > 2000 && exact < 18000) << exact;
}
// The quick fractions' texel coordinates, in double and in single precision, lie within the bounds that the fast loop
// keeps them by, on spans across 3-D segments seen at every angle down to grazing, where the depth's denominator
// nearly vanishes and amplifies every rounding; the bounds are not so loose that nothing comes near them. Where a
// span's u passes half-way between texels at a pixel, quick and plain coordinates there may round apart, and the
// check must not keep them.
TEST(QuickFractionTest, StayWithinTheirBound) {
    std::mt19937_64 random(53);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto between = [&](double low, double high) { return low + (high - low) * unit(random); };
    int measured[2] = {}, grazing = 0;
    double largest[2] = {}, largestGrazing = 0.0;
    for (int k = 0; k < 40000; ++k) {
        const double scale = std::ldexp(between(1.0, 2.0), static_cast<int>(random() % 13));
        const double zLeft = std::ldexp(between(1.0, 2.0), static_cast<int>(random() % 24) - 8);
        const double xLeft = between(-1.0, 1.0) * zLeft;
        // The other end along the ray through the first, turned off it by as little as 2^-40.
        const double turn = k % 2 ? std::ldexp(between(-1.0, 1.0), -static_cast<int>(random() % 40)) : between(-1, 1);
        const double length = std::ldexp(between(0.5, 1.0), static_cast<int>(random() % 12) - 6) * zLeft;
        const double zRight = zLeft + length, xRight = xLeft + length * (xLeft / zLeft + turn);
        if (!(zRight > 0.0)) continue;
        PerspectiveSpan span = {};
        // Samples on a 2^-20 grid from the left end's column, at most 700 of them, as far as the right end's.
        span.offset = std::ldexp(std::nearbyint(std::ldexp(xLeft / zLeft * scale, 20)), -20);
        span.n = static_cast<int32_t>(std::clamp(std::fabs(xRight / zRight - xLeft / zLeft) * scale + 1.0, 1.0, 700.0));
        span.scale = scale, span.xLeft = xLeft, span.zLeft = zLeft;
        span.dX = xRight - xLeft, span.dZ = zRight - zLeft, span.k = span.dX * zLeft - span.dZ * xLeft;
        span.measureByDepth = std::fabs(span.dX) <= std::fabs(span.dZ);
        span.du = between(-400.0, 400.0) * unit(random), span.uL = between(0.0, 400.0);
        if (k % 3 == 0) {  // half-way at the middle pixel, to within a few roundings
            const double sx = (span.offset + span.n / 2) / scale, z = span.k / (span.dX - sx * span.dZ);
            const double f = span.measureByDepth ? (z - zLeft) / span.dZ : (z * sx - xLeft) / span.dX;
            span.uL = std::floor(span.uL) + 0.5 - std::clamp(f, 0.0, 1.0) * span.du;
        }
        span.vL = between(0.0, 200.0), span.dv = between(-200.0, 200.0) * unit(random);
        for (const int single : {0, 1}) {
            const double share = QuickFractionErrorShare(&span, single);
            if (share < 0.0) continue;
            ASSERT_LE(share, 1.0) << "span " << k << (single ? " in single precision" : "")
                                  << (std::isinf(share) ? ": kept apart" : "");
            ++measured[single], largest[single] = std::max(largest[single], share);
            if (!single && std::fabs(turn) < 0x1p-10) ++grazing, largestGrazing = std::max(largestGrazing, share);
        }
    }
    EXPECT_TRUE(measured[0] > 20000 && grazing > 1000) << measured[0] << " spans, " << grazing << " grazing";
    EXPECT_TRUE(largest[0] > 0.01 && largestGrazing > 0.01) << largest[0] << ", grazing " << largestGrazing;
    // Single precision is taken where the processor has AVX2.
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
        EXPECT_TRUE(measured[1] > 5000 && largest[1] > 0.01) << measured[1] << " spans, " << largest[1];
    }
#endif
}
}  // namespace
