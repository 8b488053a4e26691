// The build's check of carried bitmaps, on ones the resource compiler takes but the program could not load.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "bitmap.h"
#include "program_run.h"

namespace {
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
}  // namespace
