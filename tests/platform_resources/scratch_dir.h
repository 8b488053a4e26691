// A folder of its own for each test that writes files, removed afterwards.
#ifndef TESTS_PLATFORM_RESOURCES_SCRATCH_DIR_H
#define TESTS_PLATFORM_RESOURCES_SCRATCH_DIR_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "platform-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }

    void TearDown() override {
        if (!dir.empty()) std::filesystem::remove_all(dir);
    }

    std::filesystem::path dir;
};

#endif
