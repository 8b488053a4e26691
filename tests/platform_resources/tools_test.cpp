// The resource compiler's refusals and the icon drawer's repeatability, run as
// the build runs them.
#include "scratch_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void Spill(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

struct BadScript {
    const char* script;
    const char* message;
};

class Tools : public ScratchDir {
protected:
    struct Run {
        int status;
        std::string errors;
    };

    Run Command(const std::string& command) {
        int status = std::system((command + " 2> " + Quoted(dir / "errors.txt")).c_str());
        return Run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir / "errors.txt")};
    }

    // Compiles a script written into the test's folder, which also holds the
    // files written there; the shared resources and the test data are on the
    // search path.
    Run Compile(const std::string& script) {
        Spill(dir / "test.rc", script);
        return Command(std::string(RESGEN) + " -I " + Quoted(SOURCE_DIR "/resources") + " -I " +
                       Quoted(SOURCE_DIR "/platform/include") + " -I " + Quoted(TEST_DATA) + " --depfile " +
                       Quoted(dir / "out.d") + " -o " + Quoted(dir / "out.cpp") + " " + Quoted(dir / "test.rc"));
    }

    template <size_t N>
    void ExpectRefused(const BadScript (&cases)[N]) {
        for (const BadScript& bad : cases) {
            SCOPED_TRACE(bad.script);
            Run run = Compile(bad.script);
            EXPECT_EQ(run.status, 1);
            EXPECT_THAT(run.errors, HasSubstr(bad.message));
            EXPECT_FALSE(fs::exists(dir / "out.cpp"));
        }
    }
};

TEST_F(Tools, BadScriptsFailWithTheirPlaceAndWriteNothing) {
    const BadScript cases[] = {
        {"1 ICON \"nothere.ico\"", "test.rc:1: cannot find 'nothere.ico'"},
        {"#include \"nothere.h\"", "test.rc:1: cannot find 'nothere.h'"},
        {"1 ACCELERATORS\n  27, 5, VIRTKEY\nEND", "test.rc:1: expected BEGIN or { after ACCELERATORS"},
        {"1 ACCELERATORS BEGIN 27, 5", "test.rc:1: ACCELERATORS without its END"},
        {"1 ACCELERATORS BEGIN END", "test.rc:1: ACCELERATORS without entries"},
        {"1 MENU BEGIN END", "test.rc:1: unsupported resource type 'MENU'"},
        {"1 ACCELERATORS BEGIN\n  27, ID_NOWHERE, VIRTKEY\nEND", "test.rc:2: 'ID_NOWHERE' is not defined"},
        {"#define A B\n#define B A\n1 ACCELERATORS BEGIN 27, A END", "test.rc:2: 'A' expands into itself"},
        {"1 ACCELERATORS BEGIN\n  27 5\nEND", "test.rc:2: expected , and a command after the key"},
        {"1 ACCELERATORS BEGIN 27, 5, VIRTKEY, END", "test.rc:1: expected an accelerator option after ,"},
        {"1 ACCELERATORS BEGIN \"x\", 5, VIRTKEY END", "test.rc:1: a VIRTKEY key given as a string must be"},
        {"1 ACCELERATORS BEGIN \"ab\", 5 END", "test.rc:1: the key \"ab\" is not one character"},
        {"1 ACCELERATORS BEGIN \"a\", 5, SHIFT END", "test.rc:1: SHIFT and CONTROL need VIRTKEY"},
        {"1 ACCELERATORS BEGIN 65, 5, VIRTKEY, ASCII END", "test.rc:1: an accelerator is either VIRTKEY or ASCII"},
        {"1 ACCELERATORS BEGIN 27, 70000 END", "test.rc:1: command 70000 is out of range 0 to 65535"},
        {"\n70000 BITMAP \"small.bmp\"", "test.rc:2: resource identifier 70000 is out of range 1 to 65535"},
        {"0 BITMAP \"small.bmp\"", "test.rc:1: resource identifier 0 is out of range 1 to 65535"},
        {"1 ACCELERATORS BEGIN 27, 5 END\n1 ACCELERATORS BEGIN 27, 6 END", "test.rc:2: resource defined twice"},
        {"pic BITMAP \"small.bmp\"\nPIC BITMAP \"small.bmp\"", "test.rc:2: resource defined twice"},
        {"/* never closed\n1 ICON \"cube.ico\"", "test.rc:1: comment without its closing */"},
        {"#if 1\n#endif", "test.rc:1: unsupported directive #if"},
        {"#define F(x) x", "test.rc:1: macros with arguments are not supported"},
        {"1 BITMAP \"small.bmp\"\n#", "test.rc:2: unsupported directive #"},
        {"#define", "test.rc:1: #define without a name"},
        {"1 BITMAP small", "test.rc:1: expected a quoted file name"},
        {"1 ICON", "test.rc:1: script ends where a file name should be"},
        {"1 BITMAP \"small.bmp\" @", "test.rc:1: unexpected character '@'"},
        {"1 BITMAP \"small.bmp", "test.rc:1: string without its closing quote"},
        {"1 ACCELERATORS BEGIN 0x1FFFFFFFF, 5 END", "test.rc:1: bad number '0x1FFFFFFFF'"},
        {"// nothing but a comment", "test.rc: no resources"},
    };
    ExpectRefused(cases);
}

TEST_F(Tools, FilesThatAreNotWhatTheirStatementSaysAreRefused) {
    std::string bmp = Slurp(TEST_DATA "/small.bmp");
    std::string gap = bmp;
    gap[10] = static_cast<char>(gap[10] + 2);  // the pixels two bytes after the colour table
    gap.insert(70, 2, '\0');
    Spill(dir / "gap.bmp", gap);
    Spill(dir / "text.bmp", "BM" + std::string(30, 'x'));
    Spill(dir / "short.bmp", bmp.substr(0, 54));  // headers only
    std::string rle = bmp;
    rle[30] = 1;                      // run-length encoded, 8 bits
    rle.replace(70, 4, std::string("\5\1\0\1", 4));  // a run of 5 in a row of 4
    Spill(dir / "rle.bmp", rle);
    Spill(dir / "text.ico", "hello");
    std::string ico = Slurp(SOURCE_DIR "/resources/cube.ico");
    std::string paletted = ico;
    paletted[38 + 14] = 8;  // the first image's bits per pixel
    Spill(dir / "paletted.ico", paletted);
    std::string cut = ico.substr(0, ico.size() - 1);
    Spill(dir / "cut.ico", cut);

    const BadScript cases[] = {
        {"1 BITMAP \"gap.bmp\"", "test.rc:1: the pixels of 'gap.bmp' do not follow its colour table"},
        {"1 BITMAP \"text.bmp\"", "test.rc:1: 'text.bmp' has a broken information header"},
        {"1 BITMAP \"cube.ico\"", "test.rc:1: 'cube.ico' is not a bitmap file"},
        {"1 BITMAP \"short.bmp\"", "test.rc:1: 'short.bmp' is not a bitmap the program can load"},
        {"1 BITMAP \"rle.bmp\"", "test.rc:1: 'rle.bmp' is not a bitmap the program can load"},
        {"1 ICON \"text.ico\"", "test.rc:1: 'text.ico' is not an icon file"},
        {"1 ICON \"small.bmp\"", "test.rc:1: 'small.bmp' is not an icon file"},
        {"1 ICON \"paletted.ico\"", "test.rc:1: image 1 of 'paletted.ico' is not an uncompressed 32-bit image"},
        {"1 ICON \"cut.ico\"", "test.rc:1: image 2 of 'cut.ico' lies beyond its end"},
    };
    ExpectRefused(cases);
}

TEST_F(Tools, MissingScriptOrOutputIsAnError) {
    Run missing = Command(std::string(RESGEN) + " -o " + Quoted(dir / "out.cpp") + " " + Quoted(dir / "none.rc"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_THAT(missing.errors, HasSubstr("cannot open"));
    Run usage = Command(std::string(RESGEN) + " " + Quoted(SOURCE_DIR "/wirecube/wirecube.rc"));
    EXPECT_EQ(usage.status, 2);
    EXPECT_THAT(usage.errors, HasSubstr("usage: resgen"));
    EXPECT_FALSE(fs::exists(dir / "out.cpp"));
}

// The build compiles a script again when it or any file that it reads changes.
TEST_F(Tools, DependenciesNameEveryFileRead) {
    Spill(dir / "keys.h", "#define KEY_ID 9\n");
    Run run = Compile("#include \"keys.h\"\n#include <windows.h>\n1 ICON \"cube.ico\"\n"
                      "KEY_ID ACCELERATORS BEGIN VK_ESCAPE, 1, VIRTKEY END\n2 BITMAP \"small.bmp\"\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    std::string rule = Slurp(dir / "out.d");
    EXPECT_EQ(rule.rfind((dir / "out.cpp").string() + ":", 0), 0u) << rule;
    for (const char* file : {"test.rc", "keys.h", "windows.h", "cube.ico", "small.bmp"}) EXPECT_THAT(rule, HasSubstr(file));
    EXPECT_THAT(Slurp(dir / "out.cpp"), HasSubstr("platform::RegisterResources"));
}

TEST_F(Tools, IconDrawerRedrawsTheCommittedIcon) {
    fs::path drawn = dir / "cube.ico";
    Run run = Command(std::string(MAKEICON) + " " + Quoted(drawn));
    ASSERT_EQ(run.status, 0) << run.errors;
    std::string committed = Slurp(SOURCE_DIR "/resources/cube.ico");
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(Slurp(drawn) == committed) << "resources/cube.ico differs from what tools/makeicon draws";
}

}  // namespace
