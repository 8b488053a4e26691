// The remembered nearest-colour search gives the plain one's entry for every colour, ties to the lowest included.
#include <api/gdi_colour.h>
#include <gtest/gtest.h>

#include <random>

namespace {
TEST(NearestEntries, AgreeWithThePlainSearch) {
    std::mt19937 random(14);
    // Few channel values give many repeated entries and many colours half-way between two.
    auto palette = [&](std::vector<BYTE> values) {
        std::vector<PALETTEENTRY> entries(256);
        std::uniform_int_distribution<size_t> pick(0, values.size() - 1);
        for (PALETTEENTRY& e : entries) e = {values[pick(random)], values[pick(random)], values[pick(random)], 0};
        return entries;
    };
    std::vector<BYTE> all(256), edges, halves;
    for (int v = 0; v < 256; ++v) all[v] = BYTE(v);
    for (int v = 0; v < 256; v += 16) edges.insert(edges.end(), {BYTE(v), BYTE(v + 15)});
    for (int v = 0; v < 256; v += 25) halves.push_back(BYTE(v));
    std::vector<COLORREF> colours;  // a grid across the cube, half-way colours, and anywhere
    for (const auto* set : {&edges, &halves})
        for (BYTE r : *set)
            for (BYTE g : *set)
                for (BYTE b : *set) colours.push_back(RGB(r, g, b));
    for (int k = 0; k < 20000; ++k) colours.push_back(random() & 0xFFFFFF);
    for (const auto& entries : {palette(all), palette({0, 50, 100, 150, 200, 250}), palette({0, 255}), palette({9})}) {
        platform::NearestEntries nearest(entries.data());
        for (int pass = 0; pass < 2; ++pass)  // the second finds them remembered
            for (const COLORREF colour : colours)
                ASSERT_EQ(nearest.Find(colour), platform::NearestEntry(entries.data(), colour)) << std::hex << colour;
    }
}
}  // namespace
