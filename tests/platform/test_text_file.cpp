#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/text_file.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

TEST(SaveFileAtomically, ReplacesTheWholeFile) {
    testing::TempDir dir;
    const auto path = dir.path() / "out.txt";
    std::ofstream(path) << "a much longer earlier content\n";
    ASSERT_FALSE(save_file_atomically(path.string(), "new\r\n").has_value());
    EXPECT_EQ(testing::read_file(path), "new\r\n");
}

TEST(SaveFileAtomically, ReportsADirectoryInTheWayByName) {
    testing::TempDir dir;
    const auto path = dir.path() / "results.txt";
    std::filesystem::create_directory(path);
    const auto error = save_file_atomically(path.string(), "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("results.txt"), std::string::npos) << *error;
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(SaveFileAtomically, ReportsAMissingFolderAndLeavesNothingBehind) {
    testing::TempDir dir;
    const auto path = dir.path() / "no" / "such" / "out.txt";
    const auto error = save_file_atomically(path.string(), "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("out.txt"), std::string::npos) << *error;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace heatplate
