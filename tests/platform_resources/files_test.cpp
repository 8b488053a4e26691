// Reading files the way a bitmap's colour table is read: header by header, then
// up to a fixed amount that the file may not fill.
#include <windows.h>

#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Files : public ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        for (int i = 0; i < 100; ++i) contents.push_back(static_cast<BYTE>(i * 7 + 1));
        std::ofstream(dir / "data.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(contents.data()), static_cast<std::streamsize>(contents.size()));
    }

    std::string Path(const char* name) const { return (dir / name).string(); }

    std::vector<BYTE> contents;
};

TEST_F(Files, ReadsInPiecesAndShortAtTheEnd) {
    HFILE file = _lopen(Path("data.bin").c_str(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    std::vector<BYTE> header(14), info(40), table(1024, 0xEE);
    EXPECT_EQ(_lread(file, header.data(), 14), 14u);
    EXPECT_EQ(_lread(file, info.data(), 40), 40u);
    EXPECT_EQ(_lread(file, table.data(), 1024), 46u);
    EXPECT_EQ(_lread(file, table.data(), 1024), 0u);
    EXPECT_EQ(_lclose(file), 0);

    EXPECT_EQ(std::vector<BYTE>(contents.begin(), contents.begin() + 14), header);
    EXPECT_EQ(std::vector<BYTE>(contents.begin() + 14, contents.begin() + 54), info);
    EXPECT_EQ(std::vector<BYTE>(contents.begin() + 54, contents.end()), std::vector<BYTE>(table.begin(), table.begin() + 46));
    // What the file did not fill keeps what the caller had there.
    EXPECT_EQ(table[46], 0xEE);
    EXPECT_EQ(table[1023], 0xEE);
}

TEST_F(Files, ClosedAndForeignHandlesAreBad) {
    HFILE file = _lopen(Path("data.bin").c_str(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    ASSERT_EQ(_lclose(file), 0);
    BYTE byte = 0;
    EXPECT_EQ(_lread(file, &byte, 1), static_cast<UINT>(HFILE_ERROR));
    EXPECT_EQ(_lclose(file), HFILE_ERROR);
    // An open descriptor that _lopen did not hand out is no file handle.
    EXPECT_EQ(_lread(STDIN_FILENO, &byte, 1), static_cast<UINT>(HFILE_ERROR));
    EXPECT_EQ(_lclose(STDERR_FILENO), HFILE_ERROR);
    EXPECT_EQ(_lread(HFILE_ERROR, &byte, 1), static_cast<UINT>(HFILE_ERROR));
}

TEST_F(Files, OnlyExistingFilesOpenAndOnlyForReading) {
    EXPECT_EQ(_lopen(Path("missing.bmp").c_str(), OF_READ), HFILE_ERROR);
    EXPECT_EQ(_lopen(dir.string().c_str(), OF_READ), HFILE_ERROR);
    EXPECT_EQ(_lopen(nullptr, OF_READ), HFILE_ERROR);
    EXPECT_EQ(_lopen(Path("data.bin").c_str(), OF_WRITE), HFILE_ERROR);
    EXPECT_EQ(_lopen(Path("data.bin").c_str(), OF_READWRITE), HFILE_ERROR);
    EXPECT_EQ(_lopen(Path("new.bin").c_str(), OF_WRITE), HFILE_ERROR);
    EXPECT_FALSE(fs::exists(dir / "new.bin"));
    EXPECT_EQ(fs::file_size(dir / "data.bin"), contents.size());
}

TEST_F(Files, ReadsIntoNoBufferOnlyNothing) {
    HFILE file = _lopen(Path("data.bin").c_str(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(_lread(file, nullptr, 4), static_cast<UINT>(HFILE_ERROR));
    EXPECT_EQ(_lread(file, nullptr, 0), 0u);
    BYTE first = 0;
    EXPECT_EQ(_lread(file, &first, 1), 1u);
    EXPECT_EQ(first, contents[0]);
    EXPECT_EQ(_lclose(file), 0);
}

}  // namespace
