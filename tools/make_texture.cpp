// Writes the die's texture: a 400 x 200 bitmap, 8 bits per pixel, with a
// 256-entry colour table that also becomes the screen palette.
//
//   make_texture OUTPUT.bmp
//
// Columns 0-299 hold six 100 x 100 cells, one to three pips in the top row and
// four to six in the bottom row: white faces framed by a one-texel light grey
// border, round pips (the single one red, all others black) whose edges take
// intermediate colours by how much of each texel they cover, so that the die
// stays smooth when it turns. Columns 300-399 show the colour table as 16 x 16
// blocks. Only integer arithmetic is used, so the file is the same on every
// machine.
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int WIDTH = 400;
constexpr int HEIGHT = 200;
constexpr int CELL = 100;
constexpr int COLOURS = 256;

struct Colour {
    int r;
    int g;
    int b;
};

// Fixed entries 0, 1 and 2; the display set-up matches white and the
// background colour against this table.
constexpr int WHITE = 0;
constexpr int BORDER = 1;
constexpr Colour WHITE_COLOUR = {255, 255, 255};
constexpr Colour BORDER_COLOUR = {247, 247, 247};
constexpr Colour BACKGROUND_COLOUR = {0x24, 0x78, 0x78};
constexpr Colour PIP_RED = {204, 20, 28};

// Black pips fade into white through GREY_STEPS greys 4 levels apart; grey
// step 2 is the border's colour and step 0 white, so both are shared.
constexpr int GREY_STEPS = 64;
constexpr int FIRST_GREY = 3;
// The red pip fades into white through RED_STEPS mixtures.
constexpr int RED_STEPS = 32;
constexpr int FIRST_RED = FIRST_GREY + GREY_STEPS - 1;

// Coverage is measured on SAMPLES x SAMPLES points per texel, placed at the
// centres of equal sub-squares. Positions are in 1/(2 * SAMPLES) texel, which
// makes every sample point and every pip centre an integer.
constexpr int SAMPLES = 16;
constexpr int UNIT = 2 * SAMPLES;
constexpr int SAMPLE_COUNT = SAMPLES * SAMPLES;

struct Pip {
    int x;  // centre, in texels from the cell's top left
    int y;
    int radius;  // in 1/UNIT texel
};

constexpr int PIP_RADIUS = 10 * UNIT;
constexpr int SINGLE_PIP_RADIUS = 15 * UNIT;

struct Face {
    int count;
    Pip pips[6];
};

// As on a real die: the centre, the diagonals and the two columns.
constexpr Face FACES[6] = {
    {1, {{50, 50, SINGLE_PIP_RADIUS}}},
    {2, {{75, 25, PIP_RADIUS}, {25, 75, PIP_RADIUS}}},
    {3, {{75, 25, PIP_RADIUS}, {50, 50, PIP_RADIUS}, {25, 75, PIP_RADIUS}}},
    {4, {{25, 25, PIP_RADIUS}, {75, 25, PIP_RADIUS}, {25, 75, PIP_RADIUS}, {75, 75, PIP_RADIUS}}},
    {5,
     {{25, 25, PIP_RADIUS},
      {75, 25, PIP_RADIUS},
      {50, 50, PIP_RADIUS},
      {25, 75, PIP_RADIUS},
      {75, 75, PIP_RADIUS}}},
    {6,
     {{25, 25, PIP_RADIUS},
      {25, 50, PIP_RADIUS},
      {25, 75, PIP_RADIUS},
      {75, 25, PIP_RADIUS},
      {75, 50, PIP_RADIUS},
      {75, 75, PIP_RADIUS}}},
};

int GreyLevel(int step) { return step >= GREY_STEPS ? 0 : 255 - 4 * step; }

int GreyEntry(int step) {
    if (step == 0) return WHITE;
    if (step == 2) return BORDER;
    if (step == 1) return FIRST_GREY;
    return FIRST_GREY + step - 2;
}

int RedEntry(int step) { return step == 0 ? WHITE : FIRST_RED + step - 1; }

int Mix(int from, int to, int step, int steps) { return (from * (steps - step) + to * step + steps / 2) / steps; }

bool SameColour(const Colour& a, const Colour& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

bool Contains(const std::vector<Colour>& table, const Colour& colour) {
    for (const Colour& entry : table) {
        if (SameColour(entry, colour)) return true;
    }
    return false;
}

// Every entry is distinct, so that the picture lands in an 8-bit surface index
// for index whatever the matching does. What the die does not use is filled
// from the 6-level colour cube.
bool BuildColourTable(std::vector<Colour>& table) {
    table = {WHITE_COLOUR, BORDER_COLOUR, BACKGROUND_COLOUR};
    for (int step = 1; step <= GREY_STEPS; ++step) {
        if (step == 2) continue;
        const int level = GreyLevel(step);
        table.push_back({level, level, level});
    }
    for (int step = 1; step <= RED_STEPS; ++step) {
        table.push_back({Mix(255, PIP_RED.r, step, RED_STEPS), Mix(255, PIP_RED.g, step, RED_STEPS),
                         Mix(255, PIP_RED.b, step, RED_STEPS)});
    }
    for (int r = 0; r < 6 && table.size() < COLOURS; ++r) {
        for (int g = 0; g < 6 && table.size() < COLOURS; ++g) {
            for (int b = 0; b < 6 && table.size() < COLOURS; ++b) {
                const Colour colour = {51 * r, 51 * g, 51 * b};
                if (!Contains(table, colour)) table.push_back(colour);
            }
        }
    }
    for (size_t i = 0; i < table.size(); ++i) {
        for (size_t j = i + 1; j < table.size(); ++j) {
            if (SameColour(table[i], table[j])) return false;
        }
    }
    return table.size() == COLOURS;
}

// How many of the texel's sample points lie inside one of the face's pips.
int PipCoverage(const Face& face, int column, int row) {
    int covered = 0;
    for (int sy = 0; sy < SAMPLES; ++sy) {
        for (int sx = 0; sx < SAMPLES; ++sx) {
            const int64_t x = int64_t{column} * UNIT + 2 * sx + 1;
            const int64_t y = int64_t{row} * UNIT + 2 * sy + 1;
            for (int p = 0; p < face.count; ++p) {
                const Pip& pip = face.pips[p];
                const int64_t dx = x - int64_t{pip.x} * UNIT;
                const int64_t dy = y - int64_t{pip.y} * UNIT;
                if (dx * dx + dy * dy <= int64_t{pip.radius} * pip.radius) {
                    ++covered;
                    break;
                }
            }
        }
    }
    return covered;
}

uint8_t FaceTexel(int faceIndex, int column, int row) {
    if (column == 0 || row == 0 || column == CELL - 1 || row == CELL - 1) return BORDER;
    const int covered = PipCoverage(FACES[faceIndex], column, row);
    if (faceIndex == 0) return static_cast<uint8_t>(RedEntry((covered * RED_STEPS + SAMPLE_COUNT / 2) / SAMPLE_COUNT));
    return static_cast<uint8_t>(GreyEntry((covered * GREY_STEPS + SAMPLE_COUNT / 2) / SAMPLE_COUNT));
}

// Rows from the top, as the die's faces address them.
std::vector<uint8_t> Picture() {
    std::vector<uint8_t> texels(WIDTH * HEIGHT);
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            uint8_t texel;
            if (x < 3 * CELL) {
                texel = FaceTexel((y / CELL) * 3 + x / CELL, x % CELL, y % CELL);
            } else {
                texel = static_cast<uint8_t>((y * 16 / HEIGHT) * 16 + (x - 3 * CELL) * 16 / (WIDTH - 3 * CELL));
            }
            texels[y * WIDTH + x] = texel;
        }
    }
    return texels;
}

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A file header, a 40-byte information header, the colour table and the rows
// bottom-up; 400 bytes a row needs no padding.
std::vector<uint8_t> BitmapFile(const std::vector<Colour>& table, const std::vector<uint8_t>& texels) {
    constexpr uint32_t headers = 14 + 40;
    constexpr uint32_t bitsOffset = headers + 4 * COLOURS;
    constexpr uint32_t imageSize = WIDTH * HEIGHT;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, bitsOffset + imageSize);
    Put32(out, 0);
    Put32(out, bitsOffset);

    Put32(out, 40);
    Put32(out, WIDTH);
    Put32(out, HEIGHT);
    Put16(out, 1);  // planes
    Put16(out, 8);  // bits per pixel
    Put32(out, 0);  // uncompressed
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, COLOURS);
    Put32(out, 0);

    for (const Colour& colour : table) {
        out.push_back(static_cast<uint8_t>(colour.b));
        out.push_back(static_cast<uint8_t>(colour.g));
        out.push_back(static_cast<uint8_t>(colour.r));
        out.push_back(0);
    }
    for (int y = HEIGHT - 1; y >= 0; --y) {
        out.insert(out.end(), texels.begin() + y * WIDTH, texels.begin() + (y + 1) * WIDTH);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_texture OUTPUT.bmp\n");
        return 2;
    }
    std::vector<Colour> table;
    if (!BuildColourTable(table)) {
        std::fprintf(stderr, "make_texture: the colour table does not come to 256 distinct entries\n");
        return 1;
    }
    const std::vector<uint8_t> file = BitmapFile(table, Picture());
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
