#include "gdi.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "gdi_colour.h"
#include "surface.h"

namespace platform {
namespace {

struct DeviceContext;

struct GdiObject {
    virtual ~GdiObject() = default;
};

struct Bitmap final : GdiObject {
    DibImage image;
    DeviceContext* selectedInto = nullptr;  // a bitmap is in one memory DC at most
};

struct DeviceContext final : GdiObject {
    Surface* surface = nullptr;  // set: the DC of that surface; null: a memory DC
    Bitmap* selected = nullptr;  // memory DCs: the bitmap drawn from
};

std::unordered_map<const void*, std::unique_ptr<GdiObject>>& LiveObjects() {
    static std::unordered_map<const void*, std::unique_ptr<GdiObject>> live;
    return live;
}

// The 1 x 1 monochrome bitmap that a new memory DC holds. It is shared by all
// of them and cannot be deleted.
Bitmap& StockBitmap() {
    static Bitmap stock = [] {
        Bitmap bitmap;
        bitmap.image = BlankImage(1, 1, 8);
        bitmap.image.colours = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        return bitmap;
    }();
    return stock;
}

template <class Object>
Object* Find(const void* handle) {
    if constexpr (std::is_same_v<Object, Bitmap>) {
        if (handle == &StockBitmap()) return &StockBitmap();
    }
    const auto found = LiveObjects().find(handle);
    return found == LiveObjects().end() ? nullptr : dynamic_cast<Object*>(found->second.get());
}

template <class Handle, class Object>
Handle Register(std::unique_ptr<Object> object) {
    Object* raw = object.get();
    LiveObjects().emplace(raw, std::move(object));
    return reinterpret_cast<Handle>(raw);
}

// The pixel of the surface at (x, y), or null outside it.
BYTE* PixelAt(Surface& surface, int x, int y) {
    if (x < 0 || y < 0 || static_cast<DWORD>(x) >= surface.Width() || static_cast<DWORD>(y) >= surface.Height())
        return nullptr;
    return surface.Bits() + static_cast<ptrdiff_t>(y) * surface.Pitch() +
           static_cast<ptrdiff_t>(x) * (surface.BitCount() / 8);
}

// Turns the colours of a bitmap into the pixel values of a surface. An 8-bit
// bitmap's colour-table entry is mapped when a pixel first uses it; an entry
// that equals the surface's palette entry of the same index keeps its index,
// so a bitmap made for the palette lands unchanged even where the palette
// repeats a colour, and never needs the nearest-colour search built.
class ColourMapper {
public:
    ColourMapper(const DibImage& image, const Surface& surface)
        : image_(image), bitCount_(surface.BitCount()), palette_(surface.Colours()) {
        mapped_.fill(kUnmapped);
    }

    // The source row's pixels at the columns, into consecutive pixels of `to`.
    void Row(LONG y, const std::vector<LONG>& columns, BYTE* to, DWORD bytes) {
        if (image_.bitCount == 8) {
            const BYTE* from = image_.bits.data() + static_cast<size_t>(y) * image_.Stride();
            for (const LONG x : columns) {
                WritePixel(to, bytes, TableEntry(from[x]));
                to += bytes;
            }
            return;
        }
        for (const LONG x : columns) {
            WritePixel(to, bytes, PixelFor(image_.ColourAt(x, y)));
            to += bytes;
        }
    }

private:
    static constexpr DWORD kUnmapped = UINT32_MAX;  // no pixel value is that wide

    DWORD TableEntry(BYTE index) {
        DWORD& mapped = mapped_[index];
        if (mapped == kUnmapped) {
            const COLORREF colour =
                index < image_.colours.size()
                    ? RGB(image_.colours[index].rgbRed, image_.colours[index].rgbGreen, image_.colours[index].rgbBlue)
                    : RGB(0, 0, 0);
            mapped = bitCount_ == 8 && EntryColour(palette_[index]) == colour ? index : PixelFor(colour);
        }
        return mapped;
    }

    DWORD PixelFor(COLORREF colour) {
        if (bitCount_ != 8) return PackColour(bitCount_, colour);
        if (!nearest_) nearest_.emplace(palette_);
        return nearest_->Find(colour);
    }

    const DibImage& image_;
    DWORD bitCount_;
    const PALETTEENTRY* palette_;
    std::optional<NearestEntries> nearest_;
    std::array<DWORD, 256> mapped_;
};

}  // namespace

HBITMAP CreateDibSection(DibImage image) {
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->image = std::move(image);
    return Register<HBITMAP>(std::move(bitmap));
}

const DibImage* DibSectionImage(HGDIOBJ bitmap) {
    const Bitmap* found = Find<Bitmap>(bitmap);
    return found ? &found->image : nullptr;
}

HDC CreateSurfaceDC(Surface* surface) {
    auto dc = std::make_unique<DeviceContext>();
    dc->surface = surface;
    return Register<HDC>(std::move(dc));
}

void DestroySurfaceDC(HDC dc) {
    if (Find<DeviceContext>(dc)) LiveObjects().erase(dc);
}

size_t LiveGdiObjectCount() { return LiveObjects().size(); }

}  // namespace platform

using platform::Bitmap;
using platform::DeviceContext;
using platform::Find;

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !Find<DeviceContext>(hdc)) return nullptr;
    auto dc = std::make_unique<DeviceContext>();
    dc->selected = &platform::StockBitmap();
    return platform::Register<HDC>(std::move(dc));
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    DeviceContext* dc = Find<DeviceContext>(hdc);
    Bitmap* bitmap = Find<Bitmap>(h);
    Bitmap* stock = &platform::StockBitmap();
    // Bitmaps go into memory DCs only, and into one at a time.
    if (!dc || dc->surface || !bitmap) return nullptr;
    if (bitmap != stock && bitmap->selectedInto && bitmap->selectedInto != dc) return nullptr;
    Bitmap* previous = dc->selected;
    if (previous != stock) previous->selectedInto = nullptr;
    dc->selected = bitmap;
    if (bitmap != stock) bitmap->selectedInto = dc;
    return previous;
}

BOOL WINAPI DeleteDC(HDC hdc) {
    DeviceContext* dc = Find<DeviceContext>(hdc);
    if (!dc || dc->surface) return FALSE;  // a surface's DC goes back through ReleaseDC
    if (dc->selected != &platform::StockBitmap()) dc->selected->selectedInto = nullptr;
    platform::LiveObjects().erase(hdc);
    return TRUE;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    Bitmap* bitmap = Find<Bitmap>(ho);
    if (bitmap == &platform::StockBitmap()) return TRUE;
    if (!bitmap || bitmap->selectedInto) return FALSE;  // still selected: it stays
    platform::LiveObjects().erase(ho);
    return TRUE;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    Bitmap* bitmap = Find<Bitmap>(h);
    if (!bitmap) return 0;
    if (!pv) return sizeof(BITMAP);
    if (c < static_cast<int>(sizeof(BITMAP))) return 0;
    const platform::DibImage& image = bitmap->image;
    BITMAP record{};
    record.bmType = 0;
    record.bmWidth = image.width;
    record.bmHeight = image.height;
    record.bmWidthBytes = image.Stride();
    record.bmPlanes = 1;
    record.bmBitsPixel = image.bitCount;
    record.bmBits = bitmap->image.bits.data();
    *static_cast<BITMAP*>(pv) = record;
    return sizeof(BITMAP);
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    DeviceContext* dc = Find<DeviceContext>(hdc);
    if (!dc || !dc->surface) return CLR_INVALID;
    platform::Surface& surface = *dc->surface;
    const BYTE* pixel = platform::PixelAt(surface, x, y);
    if (!pixel) return CLR_INVALID;
    if (surface.BitCount() == 8) return platform::EntryColour(surface.Colours()[*pixel]);
    return platform::UnpackColour(surface.BitCount(), platform::ReadPixel(pixel, surface.BitCount() / 8));
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DeviceContext* dc = Find<DeviceContext>(hdc);
    if (!dc || !dc->surface) return CLR_INVALID;
    platform::Surface& surface = *dc->surface;
    BYTE* pixel = platform::PixelAt(surface, x, y);
    if (!pixel) return CLR_INVALID;
    if (surface.BitCount() == 8) {
        *pixel = platform::NearestEntry(surface.Colours(), color);
        return platform::EntryColour(surface.Colours()[*pixel]);
    }
    const DWORD value = platform::PackColour(surface.BitCount(), color);
    platform::WritePixel(pixel, surface.BitCount() / 8, value);
    return platform::UnpackColour(surface.BitCount(), value);
}

// From a bitmap in a memory DC to a surface's DC, nearest-neighbour: each
// destination pixel shows the source pixel under its centre (see
// platform::SourcePixel). Both extents must be positive (no mirroring) and the
// source rectangle must lie inside the bitmap; the destination is clipped to
// the surface. Rows count from the top of the picture, whatever the row order
// of the bitmap it was loaded from.
BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                       int wSrc, int hSrc, DWORD rop) {
    DeviceContext* to = Find<DeviceContext>(hdcDest);
    DeviceContext* from = Find<DeviceContext>(hdcSrc);
    if (rop != SRCCOPY || !to || !to->surface || !from || from->surface) return FALSE;
    const platform::DibImage& image = from->selected->image;
    if (wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0 || xSrc < 0 || ySrc < 0 ||
        int64_t{xSrc} + wSrc > image.width || int64_t{ySrc} + hSrc > image.height)
        return FALSE;
    platform::Surface& surface = *to->surface;
    platform::ColourMapper mapper(image, surface);
    const DWORD bytes = surface.BitCount() / 8;
    const int64_t top = std::max<int64_t>(0, -int64_t{yDest});
    const int64_t bottom = std::min<int64_t>(hDest, int64_t{surface.Height()} - yDest);
    const int64_t left = std::max<int64_t>(0, -int64_t{xDest});
    const int64_t right = std::min<int64_t>(wDest, int64_t{surface.Width()} - xDest);
    // Every row samples the same columns.
    std::vector<LONG> columns;
    for (int64_t i = left; i < right; ++i)
        columns.push_back(static_cast<LONG>(xSrc + platform::SourcePixel(i, wSrc, wDest)));
    for (int64_t j = top; j < bottom; ++j) {
        const LONG sourceRow = static_cast<LONG>(ySrc + platform::SourcePixel(j, hSrc, hDest));
        mapper.Row(sourceRow, columns, surface.Bits() + (yDest + j) * surface.Pitch() + (xDest + left) * bytes, bytes);
    }
    return TRUE;
}
