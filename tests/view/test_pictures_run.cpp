// The pictures a whole run leaves, in the window's boxes and as the
// headless runner saves them.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <utility>

#include "app/batch_controls.h"
#include "app/form1_core.h"
#include "tests/support/fake_controls.h"
#include "tests/support/temp_dir.h"
#include "tests/view/view_test_support.h"
#include "view/box_geometry.h"

namespace heatplate {
namespace {

using testing::colour_at;

class PicturesRun : public ::testing::Test {
  protected:
    testing::TempDir dir_;
    testing::ScopedWorkingDir cwd_{dir_.path()};
    BatchPictures boxes_;  // the window's sizes and colours
    testing::FakeControls controls_;
    Form1Core form_{controls_};

    void SetUp() override { controls_.boxes = {&boxes_.map, &boxes_.view3d, &boxes_.residual}; }
};

TEST_F(PicturesRun, MapShowsTheFinalFieldAtEveryCellCentre) {
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    const SimulationState& s = form_.state();
    // Heating from the walls only raises the cells: one at index 0 now has
    // never been painted.
    for (int i = 1; i <= 20; ++i) {
        for (int j = 1; j <= 20; ++j) {
            const double mean = (s.T(i, j) + s.T(i, j - 1) + s.T(i - 1, j - 1) + s.T(i - 1, j)) / 4;
            const int index = static_cast<int>(std::nearbyint(255 * (mean / 100)));
            const int px = static_cast<int>(std::lround((i - 0.5) / 20 * 162));
            const int py = static_cast<int>(std::lround((1 - (j - 0.5) / 20) * 162));
            EXPECT_EQ(colour_at(boxes_.map.image(), px, py),
                      index > 0 ? s.Palette(index) : kDefaultBoxBackground)
                << "cell " << i << ',' << j;
        }
    }
}

TEST_F(PicturesRun, FirstResidualSegmentLandsOnItsPixels) {
    controls_.on_step = [](std::int64_t) { return StepVerdict::StopAndSave; };
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    // (0, 0) to (1, 0.12694115...) on a chart from (0, 0) to (50, 1), 285 x 261
    // pixels: pixel (0, 0) to (round(284 / 50), round(0.12694 * 260)) = (6, 33).
    std::set<std::pair<int, int>> expected, drawn;
    for (int y = 0; y <= 33; ++y)
        expected.insert({static_cast<int>(std::floor(y * 6.0 / 33 + 0.5)), y});
    const QImage& img = boxes_.residual.image();
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (colour_at(img, x, y) != kDefaultBoxBackground)
                drawn.insert({x, y});
        }
    }
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(testing::count_pixels(img, 0), 34);
}

TEST_F(PicturesRun, BatchSavesWhatTheWindowShows) {
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);

    BatchControls batch;
    BatchPictures pictures;
    pictures.attach(batch);
    Form1Core batch_form(batch);
    ASSERT_EQ(batch_form.Command1_Click(), RunOutcome::Completed);
    EXPECT_EQ(pictures.view3d.version(), 0u);  // waits until it is saved
    ASSERT_EQ(pictures.save(batch_form, dir_.path().string()), std::nullopt);
    for (const auto& [name, shown] : {std::pair{"map.png", &boxes_.map},
                                      {"view3d.png", &boxes_.view3d},
                                      {"residual.png", &boxes_.residual}}) {
        const QImage saved(QString::fromStdString((dir_.path() / name).string()));
        EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown->image()) << name;
    }
    EXPECT_TRUE(pictures.save(batch_form, (dir_.path() / "missing").string()).has_value());
}

TEST_F(PicturesRun, BatchRunnerWritesThePicturesIntoTheFolder) {
    const std::string batch = HEATPLATE_BATCH;
    ASSERT_EQ(std::system((batch + " --images pictures/out > /dev/null").c_str()), 0);
    EXPECT_EQ(QImage("pictures/out/map.png").size(), QSize(163, 163));
    EXPECT_EQ(QImage("pictures/out/view3d.png").size(), QSize(261, 229));
    EXPECT_EQ(QImage("pictures/out/residual.png").size(), QSize(285, 261));

    std::ofstream("blocker") << "a file, not a folder";
    const int status = std::system((batch + " --images blocker/out > /dev/null 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

}  // namespace
}  // namespace heatplate
