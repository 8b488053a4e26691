// The programs' compiled resources: the reader on damaged copies, and the build's check of carried bitmaps on ones
// the resource compiler takes but the program could not load.
#include "api/resources.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <tuple>
#include "bitmap.h"
#include "program_run.h"
namespace {
// A cut copy reads only where it ends between entries (the last may lack its padding), giving those before the
// cut. Refused headers of the first real entry (at 32): data size past the end, header size too small or past
// the end, an empty string type.
TEST(ResourceFile, EveryCutCopyReadsOnlyAtAnEntryBoundaryAndDamagedHeadersNot) {
    const std::vector<BYTE> file = ReadBytes(RES_FILE);
    std::vector<platform::ResourceEntry> whole, entries;
    ASSERT_TRUE(platform::ReadResourceFile(file.data(), file.size(), whole));
    std::vector<size_t> ends;
    for (const platform::ResourceEntry& entry : whole) ends.push_back(static_cast<size_t>(entry.data - file.data()) + entry.size);
    ASSERT_EQ((ends.back() + 3) & ~size_t{3}, file.size());
    for (size_t size = 1; size < file.size(); ++size) {
        const std::vector<BYTE> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(size));
        entries.clear();
        const bool read = platform::ReadResourceFile(cut.data(), cut.size(), entries);
        const auto before = std::count_if(ends.begin(), ends.end(), [&](size_t end) { return end <= size; });
        const bool boundary =
            size == 32 || std::any_of(ends.begin(), ends.end(), [&](size_t end) { return size >= end && size <= ((end + 3) & ~size_t{3}); });
        ASSERT_EQ(read, boundary) << "cut at " << size;
        EXPECT_TRUE(!read || entries.size() == static_cast<size_t>(before)) << size;
    }
    for (const auto& [at, value] : {std::pair<size_t, BYTE>{35, 0x7F}, {36, 8}, {38, 0x7F}, {40, 0}}) {
        std::vector<BYTE> damaged = file;
        damaged[at] = value, damaged[41] = at == 40 ? 0 : damaged[41];
        EXPECT_FALSE(platform::ReadResourceFile(damaged.data(), damaged.size(), entries)) << "byte " << at;
    }
}
#ifdef WITH_TEXTURE
TEST(BitmapCheck, RefusesWhatTheProgramCouldNotLoad) {
    const std::vector<BYTE> texture = ReadBytes(TEXTURE);
    auto rle8 = [](BYTE run) { return BitmapFile({4, 2, 8, BI_RLE8, 40, 2, {{}, {}}, {}, {run, 1, 0, 1}}); };
    const std::tuple<const char*, std::vector<BYTE>, bool> cases[] = {
        {"the texture", texture, true}, {"its first 54 bytes", {texture.begin(), texture.begin() + 54}, false},
        {"a run to the row's edge", rle8(4), true}, {"a run past the row's edge", rle8(5), false}};
    const std::string named = TempPath("named.bmp"), script = TempPath("named.rc"), res = TempPath("named.res");
    std::ofstream(script) << "7 BITMAP \"" << named << "\"\n";
    for (const auto& [what, bmp, loads] : cases) {
        std::ofstream(named, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
        ASSERT_EQ(std::system((WINDRES " -O res -o " + res + " " + script).c_str()), 0);
        const RunResult run = RunToEnd(CHECK_BITMAPS, {res, "named.rc"});
        EXPECT_TRUE(run.exitCode == !loads && run.output == (loads ? "" : "named.rc: bitmap 7 is not one the program can load\n"))
            << what << ": " << run.output;
    }
}
#endif
}  // namespace
