#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>

#include "desktop/atomic_file.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

namespace fs = std::filesystem;

// The new file takes the old one's place and its permissions.
TEST(SaveFileAtomically, ReplacesTheWholeFile) {
    testing::TempDir dir;
    const auto path = dir.path() / "out.txt";
    std::ofstream(path) << "a much longer earlier content\n";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_FALSE(save_file_atomically(path.string(), "new\r\n").has_value());
    EXPECT_EQ(testing::read_file(path), "new\r\n");
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(SaveFileAtomically, ReportsADirectoryInTheWayByName) {
    testing::TempDir dir;
    const auto path = dir.path() / "results.txt";
    fs::create_directory(path);
    const auto error = save_file_atomically(path.string(), "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error,
              "Could not write " + path.string() + ": a directory of that name is in the way");
    EXPECT_TRUE(fs::is_directory(path));
}

TEST(SaveFileAtomically, ADanglingLinkIsReportedWithWhereItLeads) {
    testing::TempDir dir;
    const auto path = dir.path() / "results.txt";
    fs::create_symlink("/nonexistent-heatplate-dir/results.txt", path);
    const auto error = save_file_atomically(path.string(), "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("a link to /nonexistent-heatplate-dir"), std::string::npos) << *error;
    EXPECT_TRUE(fs::is_symlink(path));
}

TEST(SaveFileAtomically, ReportsAMissingFolderAndLeavesNothingBehind) {
    testing::TempDir dir;
    const auto path = dir.path() / "no" / "such" / "out.txt";
    const auto error = save_file_atomically(path.string(), "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("out.txt"), std::string::npos) << *error;
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// A write cut short keeps the old file whole and leaves nothing beside it.
TEST(SaveFileAtomically, AWriteCutShortKeepsTheOldFileWhole) {
    testing::TempDir dir;
    const auto path = dir.path() / "out.txt";
    std::ofstream(path, std::ios::binary) << "old\r\n";
    const auto error = testing::under_a_small_file_size_limit(
        [&] { return save_file_atomically(path.string(), std::string(100000, '7')); });

    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("out.txt"), std::string::npos) << *error;
    EXPECT_EQ(testing::read_file(path), "old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// Where no temporary file can be made beside it, writing the file in place
// could leave it cut short, so the save is refused and the file kept. Root
// may write anywhere, so the attempt is made by nobody, in a child process.
TEST(SaveFileAtomically, AFolderWithoutRoomForATemporaryFileIsReportedNotWrittenInPlace) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "needs root to drop to the user nobody";
    }
    testing::TempDir dir;
    const auto path = dir.path() / "out.txt";
    std::ofstream(path, std::ios::binary) << "old\r\n";
    fs::permissions(path, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                              ~fs::perms::others_exec);
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
            ::setuid(nobody->pw_uid) != 0) {
            ::_exit(3);
        }
        const auto error = save_file_atomically(path.string(), "new\r\n");
        ::_exit(error.has_value() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: reported success, 3: could not become nobody";
    EXPECT_EQ(testing::read_file(path), "old\r\n");
}

}  // namespace
}  // namespace heatplate
