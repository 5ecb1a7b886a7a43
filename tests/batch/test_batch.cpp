// The headless runner as a user calls it: a process, its output and the file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "batch/batch_options.h"
#include "model/simulation_state.h"
#include "run/field_data.h"
#include "tests/support/batch_process.h"
#include "tests/support/reference_scheme.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

using testing::Process;
using testing::run_batch;
using testing::run_batch_as;
using testing::run_command;

class BatchTest : public ::testing::Test {
  protected:
    testing::TempDir dir_;
    testing::ScopedWorkingDir cwd_{dir_.path()};
};

// results.txt as the plain scheme's field formats it: whole numbers of at
// least three digits, no grouping needed below 1000.
std::string results_of(const SimulationState& s, const testing::Plate& p) {
    std::string out;
    for (int j = 0; j <= p.Ny; ++j) {
        for (int i = 0; i <= p.Nx; ++i) {
            char field[16];
            std::snprintf(field, sizeof field, "  %03.0f", std::round(s.T(i, j)));
            out += field;
        }
        out += "\r\n";
    }
    return out;
}

std::string rms_text(double rms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.8f", rms);
    return text;
}

// The start texts stand in for missing options; given ones are read as the
// boxes read them. The file matches the plain scheme's field byte for byte,
// and --field writes it to the bit.
TEST_F(BatchTest, RunsWriteTheFieldOfThePlainScheme) {
    struct Case {
        const char* args;
        testing::Plate plate;
        const char* spacings;
    };
    const Case cases[] = {
        {"", {}, "dx=0.05\ndy=0.05\n"},
        {"--nx 20 --ny 13abc --tw1 90 --tw2 60 --tw3 35 --tw4 20 --tfield 15 --method explicit",
         {20, 13, 90, 60, 35, 20, 15},
         "dx=0.05\ndy=0.077\n"},
    };
    for (const auto& [c, pictures] :
         {std::pair{cases[0], ""}, {cases[1], ""}, {cases[1], " --no-pictures"}}) {
        SCOPED_TRACE(std::string(c.args) + pictures);
        const Process p = run_batch(std::string(c.args) + pictures + " --field field.txt");
        ASSERT_EQ(p.status, 0) << testing::read_file("stderr.txt");
        SimulationState plain;
        const double rms = testing::reference_run(plain, c.plate, 50, false);
        EXPECT_EQ(testing::read_file("results.txt"), results_of(plain, c.plate));
        EXPECT_EQ(p.out, "t=50\n" + std::string(c.spacings) + "residual=" + rms_text(rms) + "\n");
        std::istringstream field(testing::read_file("field.txt"));
        for (int j = 0; j <= c.plate.Ny; ++j) {
            for (int i = 0; i <= c.plate.Nx; ++i) {
                std::string value;
                field >> value;
                ASSERT_EQ(std::strtod(value.c_str(), nullptr), plain.T(i, j)) << i << ',' << j;
            }
        }
    }
}

// One ADI step on 4 x 4 intervals, solved by hand: after the column sweep
// 16800/289, 12400/289 and 6400/289; the residual counts the column sweep's
// change alone, sqrt(291340000 / 289^2) / 9. The spacings are not shown.
TEST_F(BatchTest, MethodAdiRunsTheHandSolvedAdiStep) {
    const Process p = run_batch("--method adi --nx 4 --ny 4 --maxtime 1");
    ASSERT_EQ(p.status, 0) << testing::read_file("stderr.txt");
    EXPECT_EQ(testing::read_file("results.txt"),
              "  100  100  100  100  100\r\n"
              "  100  058  043  058  100\r\n"
              "  100  043  022  043  100\r\n"
              "  100  058  043  058  100\r\n"
              "  100  100  100  100  100\r\n");
    EXPECT_EQ(p.out, "t=1\ndx=\ndy=\nresidual=6.56235478\n");
}

// Under a locale whose grouping separator is a narrow no-break space (three
// bytes in UTF-8) the single-byte file groups with a plain space, while the
// printed outputs take the locale's decimal comma.
TEST_F(BatchTest, AMultiByteGroupingSeparatorBecomesASpaceInTheFile) {
    const Process p = run_batch_as("LC_ALL=fr_FR.UTF-8",
                                   "--nx 3 --ny 2 --tw1 2000 --tw2 2000 "
                                   "--tw3 2000 --tw4 2000 --tfield 1234.4 --maxtime 1");
    ASSERT_EQ(p.status, 0) << testing::read_file("stderr.txt");
    // 1234.4 + (2000 - 2468.8 + 1234.4) / 3 + (2000 - 2468.8 + 2000) / 2 = 2255.2
    EXPECT_EQ(testing::read_file("results.txt"),
              "  2 000  2 000  2 000  2 000\r\n"
              "  2 000  2 255  2 255  2 000\r\n"
              "  2 000  2 000  2 000  2 000\r\n");
    EXPECT_EQ(p.out.rfind("t=1\ndx=0,333\ndy=0,5\nresidual=", 0), 0u) << p.out;
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

// The data files, CSV by name in any case: the residual of every step and
// the field with its nodes' coordinates, each number in the shortest text
// that reads back to it, with a point under a decimal-comma locale.
TEST_F(BatchTest, DataFilesHoldTheResidualsAndTheFieldOfThePlainScheme) {
    const Process p = run_batch_as("LC_ALL=de_DE.UTF-8",
                                   "--nx 4 --ny 3 --tw1 90 --tw2 60 --tw3 35 --tw4 20 --tfield 15 "
                                   "--maxtime 3 --residuals=r.csv --field F.CsV");
    ASSERT_EQ(p.status, 0) << testing::read_file("stderr.txt");
    const testing::Plate plate{4, 3, 90, 60, 35, 20, 15};
    SimulationState plain;
    std::vector<double> residuals;
    for (long steps = 1; steps <= 3; ++steps)
        residuals.push_back(testing::reference_run(plain, plate, steps, false));
    EXPECT_EQ(testing::read_file("r.csv"), residual_table(residuals, ','));
    for (int i = 0; i <= plate.Nx; ++i)  // the nodes' coordinates, as a run sets them up
        for (int j = 0; j <= plate.Ny; ++j)
            plain.X(i, j) = (1.0 / plate.Nx) * i, plain.Y(i, j) = (1.0 / plate.Ny) * j;
    EXPECT_EQ(testing::read_file("F.CsV"), field_table(plain, ','));
    EXPECT_EQ(testing::read_file("F.CsV").substr(0, 23), "x,y,T\n0,0,20\n0.25,0,90\n");
}

// What each program answers to --help, --version and a command line it
// cannot run, on which stream and with which status.
TEST_F(BatchTest, HelpVersionAndABadCommandLineAnswerAsDocumented) {
    const std::string kTry = "Try 'heatplate-batch --help' for more information.\n";
    const std::tuple<std::string, int, std::string, std::string> cases[] = {
        {HEATPLATE_BATCH " --help", 0, kBatchUsage, ""},
        {HEATPLATE_BATCH " --nx 3 -h --bogus", 0, kBatchUsage, ""},
        {HEATPLATE_BATCH " --vers", 0, "heatplate-batch " HEATPLATE_VERSION "\n", ""},
        {HEATPLATE_BATCH " --bogus", 2, "", "heatplate-batch: unknown option '--bogus'\n" + kTry},
        {HEATPLATE_BATCH " --nx 3 --maxtime", 2, "",
         "heatplate-batch: option '--maxtime' needs a value\n" + kTry},
        {HEATPLATE_BATCH " -- 3", 2, "",
         "heatplate-batch: unexpected operand '3': heatplate-batch takes options only\n" + kTry},
        {HEATPLATE_GUI " --version", 0, "heatplate " HEATPLATE_VERSION "\n", ""},
        {HEATPLATE_GUI " -h | head -1", 0,
         "usage: heatplate [--version] [--help] [Qt options such as -platform NAME]\n", ""},
    };
    for (const auto& [command, status, out, err] : cases) {
        SCOPED_TRACE(command);
        const Process p = run_command(command);
        EXPECT_EQ(p.status, status);
        EXPECT_EQ(p.out, out);
        EXPECT_EQ(testing::read_file("stderr.txt"), err);
    }
}

// On a terminal, a run past a second shows its step, share done, speed and
// time left on one line, redrawn over itself and cleared before the outputs;
// --quiet, or standard error in a file, shows nothing of it.
TEST_F(BatchTest, ALongRunShowsItsProgressOnATerminalOnly) {
    const std::string run = "--nx 101 --ny 101 --maxtime 150000 --no-pictures";
    const std::regex line(
        "\rstep (\\d+) of 150000  (\\d+)%  (\\d+) steps/s  (\\d+):(\\d\\d) left\x1b\\[K");
    for (const auto& [quiet, shown] : {std::pair{"", true}, {" --quiet", false}}) {
        SCOPED_TRACE(quiet);
        const auto start = std::chrono::steady_clock::now();
        const Process p = run_command("script -qec '" HEATPLATE_BATCH " " + run + quiet +
                                      "' /dev/null < /dev/null");
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        ASSERT_EQ(p.status, 0) << p.out;
        std::smatch m;
        ASSERT_EQ(std::regex_search(p.out, m, line), shown) << p.out.substr(0, 200);
        EXPECT_EQ(p.out.find("t=150000"), shown ? p.out.rfind("\r\x1b[K") + 4 : 0) << p.out;
        if (shown) {
            const long step = std::stol(m[1]);
            EXPECT_EQ(std::stol(m[2]), step * 100 / 150000);
            const double rate = std::stod(m[3]), left = (150000 - step) / rate;
            EXPECT_LE(rate, step);  // shown after a second, not sooner
            EXPECT_GE(std::stol(m[4]) * 60 + std::stol(m[5]), left - 0.01);  // rounded up
            EXPECT_LT(std::stol(m[4]) * 60 + std::stol(m[5]), left + 1);
            // At most ten a second, from the second second on.
            EXPECT_LE(std::distance(std::sregex_iterator(p.out.begin(), p.out.end(), line), {}),
                      10 * took.count());
        }
    }
    EXPECT_EQ(run_batch(run).status, 0);
    EXPECT_EQ(testing::read_file("stderr.txt"), "");
}

// Both programs' options complete in bash, and so do the values of --method
// and the files and folders the others name; the help text, the manual and
// the completion name every option the program takes.
TEST_F(BatchTest, EveryOptionIsDocumentedAndCompletes) {
    std::filesystem::create_directory("pics");
    std::ofstream("plain.txt") << "";
    const std::string page = std::regex_replace(
        testing::read_file(HEATPLATE_SOURCE "/packaging/man/heatplate-batch.1.in"),
        std::regex("\\\\-"), "-");
    std::string all;
    for (const std::string& name : batch_option_names()) {
        all += (all.empty() ? "" : " ") + name;
        EXPECT_NE(std::string(kBatchUsage).find(name + ' '), std::string::npos) << name;
        EXPECT_NE(page.find(name), std::string::npos) << name;
    }
    const std::pair<const char*, std::string> cases[] = {
        {"heatplate-batch \"\"", all},
        {"heatplate-batch --nx 3 --me", "--method"},
        {"heatplate-batch --method \"\"", "explicit adi"},
        {"heatplate-batch --method = a", "adi"},
        {"heatplate-batch --images \"\"", "pics"},
        {"heatplate-batch --svg=p", "--svg=pics"},
        {"heatplate-batch --residuals p", "pics plain.txt"},
        {"heatplate-batch --maxtime \"\"", ""},
        {"heatplate --", "--help --version"},
        {"heatplate -platform o", "offscreen"},
    };
    for (const auto& [words, expected] : cases) {
        SCOPED_TRACE(words);
        const std::string program = std::string(words).substr(0, std::string(words).find(' '));
        const Process p =
            run_command("bash -c 'source " HEATPLATE_SOURCE "/packaging/completion/" + program +
                        "; COMP_WORDS=(" + words + "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _" +
                        (program == "heatplate" ? "heatplate" : "heatplate_batch") +
                        "; echo \"${COMPREPLY[*]}\"'");
        EXPECT_EQ(p.out, expected + "\n");
    }
}

TEST_F(BatchTest, FailuresExitWithTheirStatusAMessageAndNoResults) {
    const std::pair<const char*, int> cases[] = {
        {"--nx 1 --images pics --svg new/svg --animate anim", 2},
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
        // Not even a folder: a refused run leaves nothing new.
        EXPECT_EQ(testing::files_in("."), std::vector<std::string>{"stderr.txt"});
    }
    EXPECT_NE(testing::read_file("stderr.txt").find("diverged at step 1"), std::string::npos);
}

// Mounts a small tmpfs at the path and fills it up; unmounts it when done.
// Only root may mount, and only where the machine lets a process do so.
class FullFileSystem {
  public:
    explicit FullFileSystem(const std::filesystem::path& at) : at_(at) {
        std::filesystem::create_directories(at);
        const std::string mount = "mount -t tmpfs -o size=256k heatplate-full " + at.string();
        mounted_ = ::geteuid() == 0 && std::system((mount + " 2>/dev/null").c_str()) == 0;
    }
    ~FullFileSystem() {
        if (mounted_) {
            std::system(("umount " + at_.string()).c_str());
        }
    }
    bool mounted() const { return mounted_; }
    // Takes whatever room is left.
    void fill() const {
        std::ofstream filler(at_ / "filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size())) {
        }
    }

  private:
    std::filesystem::path at_;
    bool mounted_ = false;
};

// Every file the runner writes is written whole and put in place, or the
// earlier files stay as they were, nothing new is left and the one line on
// standard error names the file and gives the system's reason. The faults
// are real: a file-size limit on the process, on either side of the 16 kB a
// file library may buffer, and a file system with no room left.
TEST_F(BatchTest, AFailedWriteKeepsEveryEarlierFileAndSaysWhy) {
    namespace fs = std::filesystem;
    struct Case {
        const char* args;
        long limit;  // bytes; 0: a full file system instead
        const char* failing;
        const char* reason;
    };
    const char* const kTooLarge = "File too large";
    const char* const kNoRoom = "No space left on device";
    const Case cases[] = {
        {"--nx 30 --ny 30 --maxtime 1 --no-pictures", 1024, "results.txt", kTooLarge},
        {"--nx 30 --ny 30 --maxtime 1 --no-pictures", 4096, "results.txt", kTooLarge},
        {"--nx 101 --ny 101 --maxtime 1 --no-pictures", 20480, "results.txt", kTooLarge},
        {"--nx 101 --ny 101 --maxtime 1 --no-pictures", 49152, "results.txt", kTooLarge},
        {"--nx 101 --ny 101 --maxtime 1 --images img", 256, "img/map.png", kTooLarge},
        {"--nx 101 --ny 101 --maxtime 300 --animate anim", 1024, "anim/", kTooLarge},
        {"--nx 101 --ny 101 --maxtime 300 --animate anim", 20480, "anim/", kTooLarge},
        {"--nx 101 --ny 101 --maxtime 300 --animate anim", 204800, "anim/", kTooLarge},
        {"--nx 30 --ny 30 --maxtime 1 --no-pictures", 0, "results.txt", kNoRoom},
        {"--nx 101 --ny 101 --maxtime 1 --images img", 0, "img/map.png", kNoRoom},
        {"--nx 101 --ny 101 --maxtime 300 --animate anim", 0, "anim/", kNoRoom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.args) +
                     (c.limit > 0 ? " under a limit of " : " on a full disk") +
                     (c.limit > 0 ? std::to_string(c.limit) : ""));
        const fs::path where = dir_.path() / "run";
        fs::remove_all(where);
        std::optional<FullFileSystem> disk;
        if (c.limit == 0) {
            disk.emplace(where);
        }
        if (disk && !disk->mounted()) {
            std::printf(
                "[  NOTE    ] no tmpfs could be mounted here (root needed): the full-disk "
                "row for '%s' was not run\n",
                c.args);
            continue;
        }
        fs::create_directories(where);
        testing::ScopedWorkingDir in(where);
        std::map<std::string, std::string> earlier{{"results.txt", "  007\r\n"}};
        for (const char* name : {"img/map.png", "img/view3d.png", "img/residual.png",
                                 "anim/map.gif", "anim/view3d.gif", "anim/residual.gif"}) {
            earlier[name] = std::string("earlier ") + name;
        }
        for (const auto& [name, bytes] : earlier) {
            fs::create_directories(fs::path(name).parent_path().empty()
                                       ? fs::path(".")
                                       : fs::path(name).parent_path());
            std::ofstream(name, std::ios::binary) << bytes;
        }
        if (disk) {
            disk->fill();
        }
        const std::string limit = c.limit > 0 ? "prlimit --fsize=" + std::to_string(c.limit) : "";
        const fs::path errors = dir_.path() / "stderr.txt";
        const Process p = run_batch_as(limit, c.args, errors.string());
        const std::string err = testing::read_file(errors);
        EXPECT_EQ(p.status, 1);
        EXPECT_EQ(p.out, "");
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find("Could not write " + (where / c.failing).string()), std::string::npos)
            << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        for (const auto& [name, bytes] : earlier) {
            EXPECT_EQ(testing::read_file(name), bytes) << name;
        }
        std::vector<std::string> top{"anim", "img", "results.txt"};
        if (c.limit == 0) {
            top.insert(top.begin() + 1, "filler");
        }
        EXPECT_EQ(testing::files_in("."), top);
        EXPECT_EQ(testing::files_in("img").size(), 3u);
        EXPECT_EQ(testing::files_in("anim").size(), 3u);
    }
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
