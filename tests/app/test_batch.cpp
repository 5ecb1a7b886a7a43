// The headless runner as a user calls it: a process, its output and the file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

struct Process {
    int status;
    std::string out;
};

Process run_batch_as(const std::string& prefix, const std::string& args) {
    const std::string command = prefix + " " + HEATPLATE_BATCH + " " + args + " 2>stderr.txt";
    Process p{-1, {}};
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
            p.out.append(buf, n);
        const int raw = ::pclose(pipe);
        p.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return p;
}

Process run_batch(const std::string& args) {
    return run_batch_as("", args);
}

// The default run computed here from the scheme's formula, independently of
// the program: 50 explicit steps on 20 x 20 intervals, walls 100, interior 0.
struct Reference {
    double T[21][21] = {};
    double rms = 0;
};

Reference default_run() {
    Reference r;
    for (int k = 0; k <= 20; ++k) {
        r.T[k][0] = r.T[k][20] = r.T[0][k] = r.T[20][k] = 100;
    }
    for (int step = 1; step <= 50; ++step) {
        double old[21][21];
        std::copy(&r.T[0][0], &r.T[0][0] + 21 * 21, &old[0][0]);
        double sum = 0;
        for (int i = 1; i < 20; ++i) {
            for (int j = 1; j < 20; ++j) {
                const double sx = 0.05 * ((old[i - 1][j] - 2 * old[i][j]) + old[i + 1][j]);
                const double sy = 0.05 * ((old[i][j - 1] - 2 * old[i][j]) + old[i][j + 1]);
                r.T[i][j] = (old[i][j] + sx) + sy;
            }
        }
        for (int i = 1; i < 20; ++i) {
            for (int j = 1; j < 20; ++j)
                sum = sum + (r.T[i][j] - old[i][j]) * (r.T[i][j] - old[i][j]);
        }
        r.rms = std::sqrt(sum) / 361;
    }
    return r;
}

class BatchTest : public ::testing::Test {
  protected:
    testing::TempDir dir_;
    testing::ScopedWorkingDir cwd_{dir_.path()};
};

TEST_F(BatchTest, DefaultRunWritesTheFieldByteForByte) {
    const Process p = run_batch("");
    ASSERT_EQ(p.status, 0) << testing::read_file("stderr.txt");

    const Reference ref = default_run();
    std::string expected;
    for (int j = 0; j <= 20; ++j) {
        for (int i = 0; i <= 20; ++i) {
            char field[16];
            std::snprintf(field, sizeof field, "  %03.0f", std::round(ref.T[i][j]));
            expected += field;
        }
        expected += "\r\n";
    }
    EXPECT_EQ(testing::read_file("results.txt"), expected);

    char rms[32];
    std::snprintf(rms, sizeof rms, "%.8f", ref.rms);
    EXPECT_EQ(p.out, "t=50\ndx=0.05\ndy=0.05\nresidual=" + std::string(rms) + "\n");
}

TEST_F(BatchTest, TracePrintsOneLinePerStepBeforeTheOutputs) {
    const Process p = run_batch("--maxtime 3 --trace --nx 4 --ny 4");
    ASSERT_EQ(p.status, 0);
    std::istringstream lines(p.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "1 12.42259987");  // sqrt(SumSq) / 9 after the first step
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("2 ", 0), 0u) << line;
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("3 ", 0), 0u) << line;
    std::getline(lines, line);
    EXPECT_EQ(line, "t=3");
}

TEST_F(BatchTest, FailuresExitWithTheirStatusAMessageAndNoResults) {
    const std::pair<const char*, int> cases[] = {
        {"--nx 1", 2},
        {"--maxtime 0", 2},
        {"--tw1 1e400", 2},
        {"--bogus 1", 2},
        {"--method foo", 2},
        {"--nx", 2},
        {"--tw1 1e308 --tw3 -1e308", 1},
    };
    for (const auto& [args, status] : cases) {
        SCOPED_TRACE(args);
        const Process p = run_batch(args);
        EXPECT_EQ(p.status, status);
        EXPECT_EQ(p.out, "");
        EXPECT_FALSE(testing::read_file("stderr.txt").empty());
        EXPECT_FALSE(std::filesystem::exists("results.txt"));
    }
    EXPECT_NE(testing::read_file("stderr.txt").find("diverged at step 1"), std::string::npos);
}

TEST_F(BatchTest, AReadOnlyFolderIsReportedAndTheEarlierResultsStay) {
    // Permission bits do not stop root, so the runner is started as nobody.
    if (::geteuid() != 0 || ::access("/usr/bin/setpriv", X_OK) != 0) {
        GTEST_SKIP() << "needs root to drop to another user";
    }
    namespace fs = std::filesystem;
    fs::permissions(dir_.path(), fs::perms::all);  // let nobody reach the folder
    std::ofstream("results.txt", std::ios::binary) << "  007\r\n";
    fs::permissions(".", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    fs::permissions("results.txt", fs::perms::others_read, fs::perm_options::add);
    const std::string as_nobody = "/usr/bin/setpriv --reuid=nobody --regid=nogroup --clear-groups";
    if (std::system((as_nobody + " test -x " + HEATPLATE_BATCH).c_str()) != 0) {
        fs::permissions(".", fs::perms::owner_write, fs::perm_options::add);
        GTEST_SKIP() << "nobody may not run the program from this build folder";
    }
    const Process p = run_batch_as(as_nobody, "");
    fs::permissions(".", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(testing::read_file("stderr.txt").find("results.txt"), std::string::npos)
        << testing::read_file("stderr.txt");
    EXPECT_EQ(testing::read_file("results.txt"), "  007\r\n");
}

}  // namespace
}  // namespace heatplate
