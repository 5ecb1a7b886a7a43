// Recording a run as animations: which steps become frames, and
// heatplate-batch --animate as a user calls it, its GIFs decoded frame by
// frame and compared with the pictures of the run.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_animation.h"
#include "batch/batch_controls.h"
#include "batch/batch_options.h"
#include "desktop/image_file.h"
#include "run/form1_core.h"
#include "tests/support/batch_process.h"
#include "tests/support/gif_support.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

namespace fs = std::filesystem;
using testing::DecodedGif;
using testing::Process;
using testing::run_batch;

const char* const kGifs[kPictureCount] = {"map.gif", "view3d.gif", "residual.gif"};
const char* const kPngs[kPictureCount] = {"map.png", "view3d.png", "residual.png"};

// The edges the runs below do not reach: a step count just past 300 steps,
// t Max beyond any run, and the longest and shortest delays chosen.
TEST(FramePlan, AFrameEveryKStepsAndAfterTheLastAtMost300ByDefault) {
    EXPECT_EQ(steps_of(2.5), 2);  // steps 1 and 2: 3 > 2.5
    EXPECT_EQ(steps_of(std::nan("")), 0);
    EXPECT_EQ(steps_of(1e300), std::numeric_limits<std::int64_t>::max());
    const FramePlan just_past = plan_frames(301, std::nullopt, std::nullopt);
    EXPECT_EQ(just_past.every, 2);
    EXPECT_EQ(just_past.frames(), 151);
    EXPECT_TRUE(just_past.due(300));
    EXPECT_TRUE(just_past.due(301));
    EXPECT_FALSE(just_past.due(299));
    const FramePlan endless = plan_frames(steps_of(1e300), std::nullopt, std::nullopt);
    EXPECT_LE(endless.frames(), 300);
    EXPECT_EQ(plan_frames(23, 100, 655350).delay, 65535);
    EXPECT_EQ(plan_frames(23, std::nullopt, 4).delay, 0);
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

QImage png(const fs::path& path) {
    return QImage(QString::fromStdString(path.string())).convertToFormat(QImage::Format_RGB32);
}

using Pictures = std::array<QImage, kPictureCount>;

// The three pictures of the run the arguments describe, taken in this
// process after each of the given steps, the 3-D view drawn for them.
std::vector<Pictures> pictures_after(const std::string& args, std::set<std::int64_t> steps) {
    const std::vector<std::string> argv = words(args);
    std::vector<const char*> pointers;
    for (const std::string& a : argv)
        pointers.push_back(a.c_str());
    const BatchCommand command = parse_batch_options(pointers);
    EXPECT_TRUE(command.options.has_value()) << command.error;
    BatchControls controls;
    for (const auto& [box, text] : command.options->inputs)
        controls.set_input(box, text);
    controls.choose_method(option_of(command.options->method));
    BatchPictures boxes;
    boxes.attach(controls);
    Form1Core form(controls);
    std::vector<Pictures> out;
    controls.set_step_observer([&](std::int64_t iTime) {
        if (steps.count(iTime) != 0) {
            form.refresh_view3d();
            out.push_back({qimage_view(boxes.map.image()).copy(),
                           qimage_view(boxes.view3d.image()).copy(),
                           qimage_view(boxes.residual.image()).copy()});
        }
    });
    EXPECT_EQ(form.Command1_Click(), RunOutcome::Completed);
    return out;
}

class AnimationTest : public ::testing::Test {
  protected:
    std::array<DecodedGif, kPictureCount> decode(const fs::path& dir) {
        std::array<DecodedGif, kPictureCount> out;
        for (std::size_t k = 0; k < out.size(); ++k) {
            out[k] = testing::decode_gif(dir / kGifs[k]);
            EXPECT_EQ(out[k].error, "") << kGifs[k];
        }
        return out;
    }

    testing::TempDir dir_;
    testing::ScopedWorkingDir cwd_{dir_.path()};
};

// Four different walls on 12 x 9 intervals, 23 steps, a frame every 5: the
// frames show steps 5, 10, 15, 20 and 23, each as the run showed it then,
// in an endless loop of about 10 seconds; the last is the picture --images
// saves, and the map and 3-D view of step 10 are the last pictures of a run
// of 10 steps. The numbers and results.txt are those of a run without
// --animate.
TEST_F(AnimationTest, FramesShowTheRunStepByStepAndEndOnTheSavedPictures) {
    for (const char* method : {"explicit", "adi"}) {
        SCOPED_TRACE(method);
        const std::string run = std::string("--nx 12 --ny 9 --tw1 90 --tw2 60 --tw3 35 --tw4 20 ") +
                                "--tfield 15 --method " + method + " --maxtime ";
        const Process plain = run_batch(run + "23");
        ASSERT_EQ(plain.status, 0) << testing::read_file("stderr.txt");
        const std::string plain_results = testing::read_file("results.txt");
        const Process p = run_batch(run + "23 --frame-every 5 --animate anim --images pics");
        ASSERT_EQ(p.status, 0) << testing::read_file("stderr.txt");
        EXPECT_EQ(p.out, plain.out);
        EXPECT_EQ(testing::read_file("results.txt"), plain_results);
        EXPECT_EQ(testing::files_in("anim"),
                  (std::vector<std::string>{"map.gif", "residual.gif", "view3d.gif"}));

        const auto gifs = decode("anim");
        const std::vector<Pictures> expected = pictures_after(run + "23", {5, 10, 15, 20, 23});
        ASSERT_EQ(expected.size(), 5u);
        for (std::size_t k = 0; k < kPictureCount; ++k) {
            SCOPED_TRACE(kGifs[k]);
            const DecodedGif& gif = gifs[k];
            EXPECT_EQ(gif.loop_count, 0);
            EXPECT_EQ(gif.delays, std::vector<int>(5, 200));
            ASSERT_EQ(gif.frames.size(), 5u);
            for (std::size_t n = 0; n < 5; ++n)
                EXPECT_EQ(gif.frames[n], expected[n][k]) << "frame " << n;
            EXPECT_EQ(gif.frames.back(), png(fs::path("pics") / kPngs[k]));
        }

        ASSERT_EQ(run_batch(run + "10 --images short").status, 0);
        EXPECT_EQ(gifs[0].frames[1], png("short/map.png"));
        EXPECT_EQ(gifs[1].frames[1], png("short/view3d.png"));
    }
}

// 650 steps make 217 frames, every third step and the last, of 5
// hundredths of a second; a chosen step count beyond the run leaves the
// last step alone, for the chosen delay; a run of no step has its starting
// pictures as its one frame.
TEST_F(AnimationTest, FrameCountsAndDelaysFollowTheRunOrTheOptions) {
    struct Case {
        const char* args;
        std::size_t frames;
        int delay;
    };
    for (const Case& c : {Case{"--maxtime 650", 217, 5},
                          Case{"--maxtime 650 --frame-every 1000 --frame-delay 125", 1, 13},
                          Case{"--maxtime 0.5", 1, 1000}}) {
        SCOPED_TRACE(c.args);
        fs::remove_all("anim");
        const Process p =
            run_batch(std::string("--nx 4 --ny 4 ") + c.args + " --animate anim --images pics");
        ASSERT_EQ(p.status, 0) << testing::read_file("stderr.txt");
        const auto gifs = decode("anim");
        for (std::size_t k = 0; k < kPictureCount; ++k) {
            EXPECT_EQ(gifs[k].delays, std::vector<int>(c.frames, c.delay)) << kGifs[k];
            ASSERT_FALSE(gifs[k].frames.empty());
            EXPECT_EQ(gifs[k].frames.back(), png(fs::path("pics") / kPngs[k])) << kGifs[k];
        }
    }
}

// A command line or an input that cannot run, and a folder or a file that
// cannot be made, stop before the run with status 2 and a message, and
// leave no animation, temporary file or results behind.
TEST_F(AnimationTest, WhatCannotBeRecordedIsRefusedBeforeTheRun) {
    std::ofstream("blocker") << "a file, not a folder";
    fs::create_directories("taken/map.gif");
    const char* const cases[] = {
        "--frame-every 0 --animate anim",  // the rest of the command line's checks: BatchOptions
        "--animate blocker/anim",
        "--nx 1 --animate anim",
        "--animate taken",
    };
    for (const char* args : cases) {
        SCOPED_TRACE(args);
        const Process p = run_batch(args);
        EXPECT_EQ(p.status, 2);
        EXPECT_EQ(p.out, "");
        EXPECT_FALSE(testing::read_file("stderr.txt").empty());
        EXPECT_FALSE(fs::exists("results.txt"));
        EXPECT_EQ(testing::files_in("anim"), std::vector<std::string>{});
        EXPECT_EQ(testing::files_in("taken"), std::vector<std::string>{"map.gif"});
    }
    EXPECT_NE(testing::read_file("stderr.txt").find("taken/map.gif"), std::string::npos)
        << testing::read_file("stderr.txt");
}

// A file-size limit makes the animations fail part way, as a full disk
// would: the failure is reported, and the earlier animations stay whole with
// nothing left beside them; the run's results, which belong with them, are
// not written either.
TEST_F(AnimationTest, AWriteFailingMidwayKeepsTheEarlierAnimationsWhole) {
    fs::create_directory("anim");
    for (const char* name : kGifs)
        std::ofstream(fs::path("anim") / name) << "old";
    // The results take 2.2 kB against a limit of 4 kB, the map's frames far more.
    const Process p = testing::run_batch_as("ulimit -f 8;", "--animate anim");
    EXPECT_EQ(p.status, 1);
    EXPECT_EQ(p.out, "");
    EXPECT_NE(testing::read_file("stderr.txt").find(".gif: File too large"), std::string::npos)
        << testing::read_file("stderr.txt");
    EXPECT_FALSE(fs::exists("results.txt"));
    for (const char* name : kGifs)
        EXPECT_EQ(testing::read_file(fs::path("anim") / name), "old") << name;
    EXPECT_EQ(testing::files_in("anim"),
              (std::vector<std::string>{"map.gif", "residual.gif", "view3d.gif"}));
}

// Interrupted (Ctrl-C, or a TERM signal), a run in any mode ends after the
// step it is at and leaves nothing new: no file, no temporary file, no
// folder it made, the earlier results and a folder that was there kept;
// the status tells which signal it was.
TEST_F(AnimationTest, AnInterruptedRunLeavesNothingBehind) {
    const std::pair<const char*, const char*> cases[] = {
        {"--animate anim", "INT"},
        {"", "INT"},
        {"--images new/pics", "INT"},
        {"--svg kept", "TERM"},
        {"--field f.csv --residuals r.csv", "INT"}};
    fs::create_directory("kept");
    std::ofstream("results.txt") << "earlier";
    for (const auto& [mode, signal] : cases) {
        SCOPED_TRACE(std::string(mode) + " " + signal);
        // The signal comes once the run is under way (its trace has begun),
        // however slowly the machine starts the program.
        const std::string interrupt_when_running =
            std::string("sh -c 'rm -f trace.txt; \"$0\" \"$@\" > trace.txt & p=$!; n=0; ") +
            "while [ ! -s trace.txt ] && [ $n -lt 1200 ]; do sleep 0.05; n=$((n+1)); done; " +
            "kill -" + signal + " $p; wait $p'";
        const Process p = testing::run_batch_as(
            interrupt_when_running, std::string("--trace --nx 101 --ny 101 --maxtime 1e9 ") + mode);
        EXPECT_EQ(p.status, std::string(signal) == "INT" ? 130 : 143);
        EXPECT_NE(testing::read_file("stderr.txt").find("interrupted after step"),
                  std::string::npos)
            << testing::read_file("stderr.txt");
        EXPECT_EQ(testing::files_in("."),
                  (std::vector<std::string>{"kept", "results.txt", "stderr.txt", "trace.txt"}));
        EXPECT_EQ(testing::files_in("kept"), std::vector<std::string>{});
        EXPECT_EQ(testing::read_file("results.txt"), "earlier");
    }
}

// A run that overflows at its first step still shows how far it got: one
// frame, the pictures --images saves.
TEST_F(AnimationTest, ARunThatStopsBetweenFramesEndsOnThePicturesItLeft) {
    const Process p = run_batch("--tw1 1e308 --tw3 -1e308 --animate anim --images pics");
    EXPECT_EQ(p.status, 1);
    const auto gifs = decode("anim");
    for (std::size_t k = 0; k < kPictureCount; ++k) {
        ASSERT_EQ(gifs[k].frames.size(), 1u) << kGifs[k];
        EXPECT_EQ(gifs[k].frames[0], png(fs::path("pics") / kPngs[k])) << kGifs[k];
    }
}

}  // namespace
}  // namespace heatplate
