// The installed programs as a user or a desktop starts them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace heatplate {
namespace {

struct Process {
    bool exited = false;  // false when a signal (an abort, say) ended it
    int status = -1;
    std::string out;  // standard output and standard error together
};

// Runs a command through the shell, which the test uses to set the
// environment the way a desktop session or a terminal would.
Process run(const std::string& command) {
    Process p;
    if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
            p.out.append(buf, n);
        const int raw = ::pclose(pipe);
        p.exited = WIFEXITED(raw);
        p.status = p.exited ? WEXITSTATUS(raw) : -1;
    }
    return p;
}

// No display of any kind, and no core file if the program aborts after all.
const std::string kNoDisplay = "ulimit -c 0; env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

TEST(Programs, BothNameTheProjectsVersion) {
    const Process gui = run(kNoDisplay + HEATPLATE_GUI " --version");
    EXPECT_EQ(gui.status, 0);
    EXPECT_EQ(gui.out, "heatplate " HEATPLATE_VERSION "\n");

    const Process batch = run(kNoDisplay + HEATPLATE_BATCH " --version");
    EXPECT_EQ(batch.status, 0);
    EXPECT_EQ(batch.out, "heatplate-batch " HEATPLATE_VERSION "\n");
}

TEST(Programs, WindowProgramWithoutDisplaySaysSoInOneLineAndPointsToTheBatchRunner) {
    const Process p = run(kNoDisplay + HEATPLATE_GUI);
    ASSERT_TRUE(p.exited) << "ended by a signal: " << p.out;
    EXPECT_TRUE(p.status == 1 || p.status == 2) << p.status;
    EXPECT_EQ(p.out.find('\n'), p.out.size() - 1) << p.out;
    EXPECT_NE(p.out.find("heatplate-batch"), std::string::npos) << p.out;
}

TEST(Programs, WindowProgramHelpNeedsNoDisplay) {
    const Process p = run(kNoDisplay + HEATPLATE_GUI " --help");
    EXPECT_EQ(p.status, 0);
    EXPECT_NE(p.out.find("heatplate-batch"), std::string::npos) << p.out;
}

// Every way of naming a display is taken as a display to try, and one that
// cannot be opened ends the program with a hint instead of an abort.
TEST(Programs, WindowProgramOnADisplayThatCannotBeOpenedEndsWithAHintInsteadOfAborting) {
    for (const char* named :
         {"DISPLAY=:9137 QT_QPA_PLATFORM=xcb " HEATPLATE_GUI,
          "WAYLAND_DISPLAY=heatplate-nowhere " HEATPLATE_GUI,
          HEATPLATE_GUI " -platform heatplate-nowhere", HEATPLATE_GUI " -display :9137"}) {
        SCOPED_TRACE(named);
        const Process p = run(kNoDisplay + named);
        ASSERT_TRUE(p.exited) << "ended by a signal: " << p.out;
        EXPECT_EQ(p.status, 1);
        EXPECT_NE(p.out.find("cannot be opened on this display; heatplate-batch"),
                  std::string::npos)
            << p.out;
    }
}

}  // namespace
}  // namespace heatplate
