// Files read as a colour table is: header by header, then up to a fixed amount the file may not fill.
#include <windows.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "bitmap.h"

namespace {
TEST(Files, ReadInPiecesShortAtTheEndAndOnlyForReading) {
    std::vector<BYTE> contents;
    for (int i = 0; i < 100; ++i) contents.push_back(static_cast<BYTE>(i * 7 + 1));
    const TempFile data(contents, "data.bin");
    HFILE file = _lopen(data.path(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    std::vector<BYTE> read(14 + 40 + 1024, 0xEE);
    const UINT reads[][3] = {{0, 14, 14}, {14, 0, 0}, {14, 40, 40}, {54, 1024, 46}, {54, 1024, 0}};  // at, asked, got
    for (const auto& r : reads) EXPECT_EQ(_lread(file, &read[r[0]], r[1]), r[2]) << r[0] << " " << r[1];
    EXPECT_TRUE(_lread(file, nullptr, 4) == static_cast<UINT>(HFILE_ERROR) && _lclose(file) == 0);
    contents.resize(read.size(), 0xEE);  // what the file did not fill keeps what the caller had there
    EXPECT_EQ(read, contents);
    // A closed handle, or one that _lopen did not hand out, is no file.
    for (HFILE bad : {file, HFILE(STDIN_FILENO), HFILE(STDERR_FILENO), HFILE_ERROR})
        EXPECT_TRUE(_lread(bad, &read[0], 1) == static_cast<UINT>(HFILE_ERROR) && _lclose(bad) == HFILE_ERROR) << bad;
    const std::string folder = data.folder();
    for (const auto& [path, mode] : {std::pair{folder + "/missing.bmp", OF_READ}, {folder, OF_READ},
                                     {std::string(data.path()), OF_WRITE}, {std::string(data.path()), OF_READWRITE},
                                     {folder + "/new.bin", OF_WRITE}, {std::string(), OF_READ}})
        EXPECT_EQ(_lopen(path.empty() ? nullptr : path.c_str(), mode), HFILE_ERROR) << path << " " << mode;
    EXPECT_TRUE(!std::filesystem::exists(folder + "/new.bin") && std::filesystem::file_size(data.path()) == 100u);
}
}  // namespace
