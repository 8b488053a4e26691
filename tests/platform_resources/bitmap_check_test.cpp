// The build's check of the bitmaps a program carries, on bitmaps that the
// resource compiler takes as they stand but the program could not load.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "bitmap.h"
#include "program_run.h"

namespace {

// The check's verdict on the compiled resources of a script that names only
// this bitmap.
RunResult CheckBitmap(const std::vector<BYTE>& bmp) {
    const std::string named = TempPath("named.bmp"), script = TempPath("named.rc"), res = TempPath("named.res");
    std::ofstream(named, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()),
                                                 static_cast<std::streamsize>(bmp.size()));
    std::ofstream(script) << "7 BITMAP \"" << named << "\"\n";
    EXPECT_EQ(std::system((WINDRES " -O res -o " + res + " " + script).c_str()), 0);
    return RunToEnd(CHECK_BITMAPS, {res, "named.rc"});
}

std::vector<BYTE> Rle8(BYTE run) {
    return BitmapFile(Picture{.width = 4, .height = 2, .compression = BI_RLE8, .coloursUsed = 2, .table = {{}, {}},
                              .data = {run, 1, 0, 1}});
}

TEST(BitmapCheck, RefusesWhatTheProgramCouldNotLoad) {
    const std::vector<BYTE> texture = ReadBytes(TEXTURE);
    struct Case {
        const char* what;
        std::vector<BYTE> bmp;
        bool loads;
    };
    for (const Case& c : {Case{"the texture", texture, true},
                          Case{"its first 54 bytes", {texture.begin(), texture.begin() + 54}, false},
                          Case{"a run to the row's edge", Rle8(4), true},
                          Case{"a run past the row's edge", Rle8(5), false}}) {
        const RunResult run = CheckBitmap(c.bmp);
        EXPECT_EQ(run.exitCode, c.loads ? 0 : 1) << c.what;
        EXPECT_EQ(run.output, c.loads ? "" : "named.rc: bitmap 7 is not one the program can load\n") << c.what;
    }
}

}  // namespace
