// makeicon: draws the programs' icon, a cube seen from above one corner with
// its three visible faces lit differently, and writes it as an .ico file with a
// 32 x 32 and a 16 x 16 image of 32 bits per pixel.
//
//   makeicon cube.ico
//
// The drawing is fixed, so the file it writes is the same every time.

#include "api/bytes.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

using platform::AppendLE16;
using platform::AppendLE32;

namespace {

struct Point {
    double x, y;
};

struct Face {
    Point corners[4];
    uint8_t red, green, blue;
};

// Corners of the cube's outline in units of the icon's side, y downward.
constexpr Point TOP{0.50, 0.04}, UPPER_RIGHT{0.92, 0.27}, LOWER_RIGHT{0.92, 0.73}, BOTTOM{0.50, 0.96},
    LOWER_LEFT{0.08, 0.73}, UPPER_LEFT{0.08, 0.27}, CENTRE{0.50, 0.50};

// Corners clockwise on the screen; the light comes from above and the left.
const Face FACES[] = {
    {{TOP, UPPER_RIGHT, CENTRE, UPPER_LEFT}, 244, 248, 248},
    {{UPPER_LEFT, CENTRE, BOTTOM, LOWER_LEFT}, 150, 196, 196},
    {{CENTRE, UPPER_RIGHT, LOWER_RIGHT, BOTTOM}, 36, 120, 120},
};

constexpr int SAMPLES = 4;  // per side of a pixel

bool Inside(const Face& face, Point p) {
    for (int i = 0; i < 4; ++i) {
        Point a = face.corners[i], b = face.corners[(i + 1) % 4];
        if ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x) < 0) return false;
    }
    return true;
}

// One image, top row first, as B, G, R, A bytes: each pixel the mean of the
// faces under its samples, its alpha the share of samples that a face covers.
std::vector<uint8_t> Draw(int side) {
    std::vector<uint8_t> bgra;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            int covered = 0, red = 0, green = 0, blue = 0;
            for (int sy = 0; sy < SAMPLES; ++sy) {
                for (int sx = 0; sx < SAMPLES; ++sx) {
                    Point p{(x + (sx + 0.5) / SAMPLES) / side, (y + (sy + 0.5) / SAMPLES) / side};
                    for (const Face& face : FACES) {
                        if (Inside(face, p)) {
                            ++covered;
                            red += face.red;
                            green += face.green;
                            blue += face.blue;
                            break;
                        }
                    }
                }
            }
            int half = covered / 2;
            bgra.push_back(covered ? static_cast<uint8_t>((blue + half) / covered) : 0);
            bgra.push_back(covered ? static_cast<uint8_t>((green + half) / covered) : 0);
            bgra.push_back(covered ? static_cast<uint8_t>((red + half) / covered) : 0);
            constexpr int ALL = SAMPLES * SAMPLES;
            bgra.push_back(static_cast<uint8_t>((covered * 255 + ALL / 2) / ALL));
        }
    }
    return bgra;
}

// The image as an icon stores it: a BITMAPINFOHEADER of twice the height, the
// rows bottom-up, then the mask, set where nothing is drawn.
std::vector<uint8_t> IconImage(int side) {
    std::vector<uint8_t> pixels = Draw(side);
    size_t maskStride = (side + 31) / 32 * 4;
    std::vector<uint8_t> image;
    AppendLE32(image, 40);
    AppendLE32(image, side);
    AppendLE32(image, 2 * side);
    AppendLE16(image, 1);
    AppendLE16(image, 32);
    AppendLE32(image, 0);
    AppendLE32(image, static_cast<uint32_t>(side * side * 4 + maskStride * side));
    for (int i = 0; i < 4; ++i) AppendLE32(image, 0);
    for (int y = side - 1; y >= 0; --y)
        image.insert(image.end(), pixels.begin() + y * side * 4, pixels.begin() + (y + 1) * side * 4);
    for (int y = side - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < side; ++x)
            if (pixels[(y * side + x) * 4 + 3] == 0) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        image.insert(image.end(), row.begin(), row.end());
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: makeicon file.ico\n", stderr);
        return 2;
    }
    const int sides[] = {32, 16};
    constexpr uint32_t DIRECTORY = 6, ENTRY = 16;
    std::vector<uint8_t> file, images;
    AppendLE16(file, 0);
    AppendLE16(file, 1);
    AppendLE16(file, 2);
    for (int side : sides) {
        std::vector<uint8_t> image = IconImage(side);
        file.push_back(static_cast<uint8_t>(side));
        file.push_back(static_cast<uint8_t>(side));
        file.push_back(0);
        file.push_back(0);
        AppendLE16(file, 1);
        AppendLE16(file, 32);
        AppendLE32(file, static_cast<uint32_t>(image.size()));
        AppendLE32(file, static_cast<uint32_t>(DIRECTORY + ENTRY * std::size(sides) + images.size()));
        images.insert(images.end(), image.begin(), image.end());
    }
    file.insert(file.end(), images.begin(), images.end());
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "makeicon: cannot write '%s'\n", argv[1]);
        return 1;
    }
    return 0;
}
