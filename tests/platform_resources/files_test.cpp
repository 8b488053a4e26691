// Files read the way a bitmap's colour table is read: header by header, then
// up to a fixed amount that the file may not fill.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "bitmap.h"

namespace {

std::vector<BYTE> Contents() {
    std::vector<BYTE> contents;
    for (int i = 0; i < 100; ++i) contents.push_back(static_cast<BYTE>(i * 7 + 1));
    return contents;
}

TEST(Files, ReadInPiecesAndShortAtTheEnd) {
    const std::vector<BYTE> contents = Contents();
    const TempFile data(contents, "data.bin");
    HFILE file = _lopen(data.path(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    std::vector<BYTE> read(14 + 40 + 1024, 0xEE);
    EXPECT_EQ(_lread(file, read.data(), 14), 14u);
    EXPECT_EQ(_lread(file, nullptr, 0), 0u);
    EXPECT_EQ(_lread(file, nullptr, 4), static_cast<UINT>(HFILE_ERROR));
    EXPECT_EQ(_lread(file, &read[14], 40), 40u);
    EXPECT_EQ(_lread(file, &read[54], 1024), 46u);
    EXPECT_EQ(_lread(file, &read[54], 1024), 0u);
    EXPECT_EQ(_lclose(file), 0);
    EXPECT_EQ(std::vector<BYTE>(read.begin(), read.begin() + 100), contents);
    // What the file did not fill keeps what the caller had there.
    EXPECT_EQ(std::vector<BYTE>(read.begin() + 100, read.end()), std::vector<BYTE>(read.size() - 100, 0xEE));

    // A closed handle, or one that _lopen did not hand out, is no file.
    BYTE byte = 0;
    for (HFILE bad : {file, HFILE(STDIN_FILENO), HFILE(STDERR_FILENO), HFILE_ERROR}) {
        EXPECT_EQ(_lread(bad, &byte, 1), static_cast<UINT>(HFILE_ERROR)) << bad;
        EXPECT_EQ(_lclose(bad), HFILE_ERROR) << bad;
    }
}

TEST(Files, OnlyExistingFilesOpenAndOnlyForReading) {
    const TempFile data(Contents(), "data.bin");
    const std::string folder = data.folder();
    for (const auto& [path, mode] : {std::pair{folder + "/missing.bmp", OF_READ}, {folder, OF_READ},
                                     {std::string(data.path()), OF_WRITE}, {std::string(data.path()), OF_READWRITE},
                                     {folder + "/new.bin", OF_WRITE}})
        EXPECT_EQ(_lopen(path.c_str(), mode), HFILE_ERROR) << path << " " << mode;
    EXPECT_EQ(_lopen(nullptr, OF_READ), HFILE_ERROR);
    EXPECT_FALSE(std::filesystem::exists(folder + "/new.bin"));
    EXPECT_EQ(std::filesystem::file_size(data.path()), 100u);
}

}  // namespace
