#include "gdi_colour.h"

#include <algorithm>
#include <climits>

namespace platform {
namespace {

// Parts this small or with this few entries are not cut further. Listing a
// part's eighth costs two looks at each of the part's entries, all eight as
// much as sixteen searches in the part itself: a part is cut only once that
// many colours have been searched in it.
constexpr int kSmallestSide = 4;
constexpr uint32_t kFewEntries = 4;
constexpr uint32_t kVisitsBeforeCut = 16;

int Square(int value) { return value * value; }

// Per channel, the distance from a value to the nearest and to the farthest
// of the `side` values from `low` on.
int Nearest(int value, int low, int side) {
    return value < low ? low - value : value >= low + side ? value - (low + side - 1) : 0;
}

int Farthest(int value, int low, int side) { return std::max(value - low, low + side - 1 - value); }

}  // namespace

BYTE WidenField(DWORD value, unsigned bits) {
    return static_cast<BYTE>(value * 255 / ((DWORD{1} << bits) - 1));
}

BYTE NearestEntry(const PALETTEENTRY* palette, COLORREF colour) {
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    unsigned best = 0;
    int bestDistance = 3 * 256 * 256;
    for (unsigned i = 0; i < 256; ++i) {
        const int dr = palette[i].peRed - r, dg = palette[i].peGreen - g, db = palette[i].peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<BYTE>(best);
}

// The whole cube lists each colour of the palette once, at its lowest index:
// a repeated entry can never be the nearest. Colours are told apart through
// a small table by hash; where two share a slot a repeat may stay listed,
// which costs a look but changes no answer.
NearestEntries::NearestEntries(const PALETTEENTRY* palette) : palette_(palette) {
    std::array<COLORREF, 512> seen;
    seen.fill(CLR_INVALID);  // no colour has the top byte set
    for (unsigned i = 0; i < 256; ++i) {
        const COLORREF colour = EntryColour(palette[i]);
        COLORREF& slot = seen[(colour ^ colour >> 9 ^ colour >> 18) % seen.size()];
        if (slot == colour) continue;
        slot = colour;
        entries_.push_back(static_cast<BYTE>(i));
    }
    parts_.push_back(Part{0, static_cast<uint32_t>(entries_.size()), -1, 0});
    colours_.fill(CLR_INVALID);
}

BYTE NearestEntries::Find(COLORREF colour) {
    const unsigned slot = (colour ^ colour >> 12) % kRemembered;
    if (colours_[slot] != colour) {
        colours_[slot] = colour;
        found_[slot] = Search(colour);
    }
    return found_[slot];
}

// An entry can be the nearest to a colour of a part only if its least
// distance to the part is no more than some entry's greatest distance to it.
// Entries that may tie stay, and each list keeps index order.
void NearestEntries::List(size_t part, const Part& parent, const int low[3], int side) {
    int bound = INT_MAX;
    for (uint32_t k = 0; k < parent.count; ++k) {
        const PALETTEENTRY& e = palette_[entries_[parent.first + k]];
        bound = std::min(bound, Square(Farthest(e.peRed, low[0], side)) + Square(Farthest(e.peGreen, low[1], side)) +
                                    Square(Farthest(e.peBlue, low[2], side)));
    }
    const auto first = static_cast<uint32_t>(entries_.size());
    for (uint32_t k = 0; k < parent.count; ++k) {
        const BYTE entry = entries_[parent.first + k];
        const PALETTEENTRY& e = palette_[entry];
        if (Square(Nearest(e.peRed, low[0], side)) + Square(Nearest(e.peGreen, low[1], side)) +
                Square(Nearest(e.peBlue, low[2], side)) <= bound)
            entries_.push_back(entry);
    }
    parts_[part].first = first;
    parts_[part].count = static_cast<uint32_t>(entries_.size()) - first;
}

// Down from the whole cube into the eighth that holds the colour, while the
// part lists many entries and has been searched often, then the nearest of
// the part's entries.
BYTE NearestEntries::Search(COLORREF colour) {
    const int rgb[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    int low[3] = {0, 0, 0};
    size_t part = 0;
    for (int side = 256; parts_[part].count > kFewEntries && side > kSmallestSide; side /= 2) {
        if (++parts_[part].visits <= kVisitsBeforeCut) break;
        if (parts_[part].children < 0) {
            parts_[part].children = static_cast<int32_t>(parts_.size());
            parts_.insert(parts_.end(), 8, Part{0, kUnlisted, -1, 0});
        }
        const int half = side / 2;
        int child = 0;
        for (int c = 0; c < 3; ++c) {
            const bool upper = rgb[c] & half;
            child = child << 1 | upper;
            if (upper) low[c] += half;
        }
        const Part parent = parts_[part];
        part = static_cast<size_t>(parent.children) + child;
        if (parts_[part].count == kUnlisted) List(part, parent, low, half);
    }
    const Part& found = parts_[part];
    BYTE best = entries_[found.first];
    int bestDistance = INT_MAX;
    for (uint32_t k = 0; k < found.count; ++k) {
        const PALETTEENTRY& e = palette_[entries_[found.first + k]];
        const int distance = Square(e.peRed - rgb[0]) + Square(e.peGreen - rgb[1]) + Square(e.peBlue - rgb[2]);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = entries_[found.first + k];
        }
    }
    return best;
}

COLORREF EntryColour(const PALETTEENTRY& entry) { return RGB(entry.peRed, entry.peGreen, entry.peBlue); }

DWORD PackColour(DWORD bitCount, COLORREF colour) {
    const DWORD r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    if (bitCount == 16) return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    return (r << 16) | (g << 8) | b;
}

COLORREF UnpackColour(DWORD bitCount, DWORD pixel) {
    if (bitCount == 16)
        return RGB(WidenField((pixel >> 11) & 0x1F, 5), WidenField((pixel >> 5) & 0x3F, 6),
                   WidenField(pixel & 0x1F, 5));
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

DWORD ReadPixel(const BYTE* at, DWORD bytesPerPixel) {
    DWORD pixel = 0;
    for (DWORD i = 0; i < bytesPerPixel; ++i) pixel |= static_cast<DWORD>(at[i]) << (8 * i);
    return pixel;
}

void WritePixel(BYTE* at, DWORD bytesPerPixel, DWORD pixel) {
    for (DWORD i = 0; i < bytesPerPixel; ++i) at[i] = static_cast<BYTE>(pixel >> (8 * i));
}

}  // namespace platform
