// The remembered nearest-colour search against the plain one: the same entry
// for every colour, ties to the lowest index included.
#include <api/gdi_colour.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Palette = std::vector<PALETTEENTRY>;

// Entries drawn from the given channel values; few values give many repeated
// entries and many colours half-way between two.
Palette RandomPalette(std::mt19937& random, const std::vector<BYTE>& values) {
    std::uniform_int_distribution<size_t> pick(0, values.size() - 1);
    Palette palette(256);
    for (PALETTEENTRY& e : palette) e = {values[pick(random)], values[pick(random)], values[pick(random)], 0};
    return palette;
}

TEST(NearestEntries, AgreeWithThePlainSearch) {
    std::mt19937 random(14);
    std::vector<BYTE> all(256), edges, halves;
    for (int v = 0; v < 256; ++v) all[v] = static_cast<BYTE>(v);
    for (int v = 0; v < 256; v += 16) edges.insert(edges.end(), {BYTE(v), BYTE(v + 15)});
    for (int v = 0; v < 256; v += 25) halves.push_back(static_cast<BYTE>(v));
    const std::vector<Palette> palettes = {RandomPalette(random, all), RandomPalette(random, {0, 50, 100, 150, 200, 250}),
                                           RandomPalette(random, {0, 255}), Palette(256, PALETTEENTRY{9, 9, 9, 0})};
    // A grid across the cube, colours half-way between the few values, and anywhere.
    std::vector<COLORREF> colours;
    for (const auto* set : {&edges, &halves})
        for (BYTE r : *set)
            for (BYTE g : *set)
                for (BYTE b : *set) colours.push_back(RGB(r, g, b));
    for (int k = 0; k < 20000; ++k) colours.push_back(random() & 0xFFFFFF);
    for (const Palette& palette : palettes) {
        platform::NearestEntries nearest(palette.data());
        for (int pass = 0; pass < 2; ++pass)  // the second finds them remembered
            for (const COLORREF colour : colours)
                ASSERT_EQ(nearest.Find(colour), platform::NearestEntry(palette.data(), colour)) << std::hex << colour;
    }
}

}  // namespace
