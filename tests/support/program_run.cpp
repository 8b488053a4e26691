#include "program_run.h"
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
extern char** environ;
std::string TempPath(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // Outside a test, as in a suite's set-up, the file belongs to the whole run.
    std::string testName = test ? std::string(test->test_suite_name()) + "_" + test->name() : "run";
    std::replace(testName.begin(), testName.end(), '/', '_');  // parameterised tests have a slash
    // The same test run elsewhere at once must not meet these files.
    static const std::string folder = [] {
        std::string pattern = ::testing::TempDir() + "cubes_XXXXXX";
        return mkdtemp(pattern.data()) ? pattern + "/" : ::testing::TempDir();
    }();
    return folder + testName + "_" + name;
}
std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}
pid_t Start(const std::string& program, const std::vector<std::string>& args, const std::string& outputPath) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // The parent's options with leak detection added last, so that it wins.
    static const std::string sanitizer = [] {
        const char* options = getenv("ASAN_OPTIONS");
        return (options && *options ? std::string(options) + ":" : std::string()) + "detect_leaks=1";
    }();
    setenv("ASAN_OPTIONS", sanitizer.c_str(), 1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {1, 2}) posix_spawn_file_actions_addopen(&actions, fd, outputPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0) << program;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}
int Finish(pid_t pid) {
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    if (!WIFSIGNALED(status)) return WEXITSTATUS(status);
    ADD_FAILURE() << "ended by signal " << WTERMSIG(status);
    return 128 + WTERMSIG(status);
}
RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args) {
    const std::string outputPath = TempPath("output");
    const int exitCode = (std::remove(outputPath.c_str()), Finish(Start(program, args, outputPath)));
    return {exitCode, ReadFile(outputPath)};
}
std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& word) {
    std::vector<std::string> found;
    for (const std::string& line : lines) if (line.rfind(word + " ", 0) == 0) found.push_back(line);
    return found;
}
Recording Decode(const std::string& path) {
    Recording recording;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    EXPECT_NE(gif, nullptr) << path << ": " << GifErrorString(error);
    if (!gif) return recording;
    // The library takes an animation of no images, which the format allows, for an error.
    EXPECT_TRUE(DGifSlurp(gif) == GIF_OK || (gif->Error == D_GIF_ERR_NO_IMAG_DSCR && gif->ImageCount == 0)) << path << ": " << GifErrorString(gif->Error);
    recording.width = gif->SWidth, recording.height = gif->SHeight;
    if (gif->SColorMap) recording.colors.assign(gif->SColorMap->Colors, gif->SColorMap->Colors + gif->SColorMap->ColorCount);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        recording.frames.emplace_back(image.RasterBits, image.RasterBits + image.ImageDesc.Width * image.ImageDesc.Height);
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            recording.loops |= block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                               std::string(reinterpret_cast<char*>(block.Bytes), 11) == "NETSCAPE2.0";
        }
    }
    DGifCloseFile(gif, &error);
    return recording;
}
