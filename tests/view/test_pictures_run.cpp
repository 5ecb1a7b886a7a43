// The pictures a whole run with the default inputs leaves, in the window's
// boxes and as the headless runner saves them.
#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/batch_controls.h"
#include "app/form1_core.h"
#include "tests/support/fake_controls.h"
#include "tests/support/temp_dir.h"
#include "tests/view/view_test_support.h"
#include "view/box_geometry.h"

namespace heatplate {
namespace {

using testing::colour_at;

TEST(PicturesRun, DefaultRunShowsAndSavesTheExpectedPictures) {
    testing::TempDir dir;
    testing::ScopedWorkingDir cwd(dir.path());
    BatchPictures boxes;  // the window's sizes and colours
    testing::FakeControls controls;
    controls.boxes = {&boxes.map, &boxes.view3d, &boxes.residual};
    QImage first_residual;
    controls.on_step = [&](std::int64_t) {
        if (first_residual.isNull())
            first_residual = boxes.residual.image().copy();
        return StepVerdict::Continue;
    };
    Form1Core form(controls);
    ASSERT_EQ(form.Command1_Click(), RunOutcome::Completed);

    // (0, 0) to (1, 0.12694115...) on a chart from (0, 0) to (50, 1), 285 x 261
    // pixels: black from pixel (0, 0) to (round(284 / 50), round(0.12694 * 260)).
    testing::Pixels expected;
    for (int y = 0; y <= 33; ++y)
        expected.insert({static_cast<int>(std::floor(y * 6.0 / 33 + 0.5)), y});
    EXPECT_EQ(testing::pixels_in(first_residual, kDefaultBoxBackground, true), expected);
    EXPECT_EQ(testing::pixels_in(first_residual, 0), expected);

    // The map at every cell centre. Heating from the walls only raises the
    // cells: one at index 0 now has never been painted.
    const SimulationState& s = form.state();
    for (int i = 1; i <= 20; ++i) {
        for (int j = 1; j <= 20; ++j) {
            const double mean = (s.T(i, j) + s.T(i, j - 1) + s.T(i - 1, j - 1) + s.T(i - 1, j)) / 4;
            const int index = static_cast<int>(std::nearbyint(255 * (mean / 100)));
            const int px = static_cast<int>(std::lround((i - 0.5) / 20 * 162));
            const int py = static_cast<int>(std::lround((1 - (j - 0.5) / 20) * 162));
            EXPECT_EQ(colour_at(boxes.map.image(), px, py),
                      index > 0 ? s.Palette(index) : kDefaultBoxBackground)
                << "cell " << i << ',' << j;
        }
    }

    // The headless runner saves the same pictures; it fails with status 2
    // when the folder cannot be made.
    const std::string batch = HEATPLATE_BATCH;
    ASSERT_EQ(std::system((batch + " --images pictures/out > /dev/null").c_str()), 0);
    for (const auto& [name, shown] : {std::pair{"map.png", &boxes.map},
                                      {"view3d.png", &boxes.view3d},
                                      {"residual.png", &boxes.residual}}) {
        const QImage saved(QString("pictures/out/") + name);
        EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown->image()) << name;
    }
    std::ofstream("blocker") << "a file, not a folder";
    const int status = std::system((batch + " --images blocker/out > /dev/null 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

}  // namespace
}  // namespace heatplate
