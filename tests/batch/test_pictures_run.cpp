// The pictures a whole run leaves, in the window's boxes and as the headless
// runner saves them.
#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "batch/batch_controls.h"
#include "run/form1_core.h"
#include "run/picture_svg.h"
#include "tests/support/fake_controls.h"
#include "tests/support/qimage_support.h"
#include "tests/support/temp_dir.h"
#include "view/box_geometry.h"

namespace heatplate {
namespace {

using testing::colour_at;

// Four different walls, the bottom one hottest, on 20 x 13 intervals, with
// the field starting at the coldest input: every cell only warms, so a cell
// shows the colour of its index now, or nothing while that index is 0.
TEST(PicturesRun, RunShowsAndSavesTheExpectedPictures) {
    testing::TempDir dir;
    testing::ScopedWorkingDir cwd(dir.path());
    BatchPictures boxes;  // the window's sizes and colours
    testing::FakeControls controls;
    controls.boxes = {&boxes.map, &boxes.view3d, &boxes.residual};
    const char* const inputs[][2] = {{"nx", "20"},     {"ny", "13"},     {"tw1", "90"},
                                     {"tw2", "60"},    {"tw3", "35"},    {"tw4", "20"},
                                     {"tfield", "15"}, {"maxtime", "50"}};
    const TextBoxId boxes_of[] = {
        TextBoxId::Text_Nx,  TextBoxId::Text_Ny,  TextBoxId::Text_Tw1,    TextBoxId::Text_Tw2,
        TextBoxId::Text_Tw3, TextBoxId::Text_Tw4, TextBoxId::Text_Tfield, TextBoxId::Text_MaxTime};
    std::string options;
    for (std::size_t k = 0; k < std::size(inputs); ++k) {
        controls[boxes_of[k]] = inputs[k][1];
        options += std::string(" --") + inputs[k][0] + " " + inputs[k][1];
    }
    RasterImage first_residual;
    controls.on_step = [&](std::int64_t) {
        if (first_residual.pixels.empty())
            first_residual = boxes.residual.image();
        return StepVerdict::Continue;
    };
    Form1Core form(controls);
    ASSERT_EQ(form.Command1_Click(), RunOutcome::Completed);

    // (0, 0) to (1, RMS) on a chart from (0, 0) to (50, 1), 285 x 261 pixels:
    // black from pixel (0, 0) to (round(284 / 50), round(RMS * 260)).
    const double rms = std::stod(controls.rms_shown.front());
    const int bottom = static_cast<int>(std::lround(rms * 260));
    ASSERT_GT(bottom, 6);
    testing::Pixels expected;
    for (int y = 0; y <= bottom; ++y)
        expected.insert({static_cast<int>(std::floor(y * 6.0 / bottom + 0.5)), y});
    EXPECT_EQ(testing::pixels_in(first_residual, kDefaultBoxBackground, true), expected);
    EXPECT_EQ(testing::pixels_in(first_residual, 0), expected);

    // The map at every cell centre, on the scale from Tmin 15 to Tmax 90.
    const SimulationState& s = form.state();
    const RasterImage& map = boxes.map.image();
    for (int i = 1; i <= 20; ++i) {
        for (int j = 1; j <= 13; ++j) {
            const double mean = (s.T(i, j) + s.T(i, j - 1) + s.T(i - 1, j - 1) + s.T(i - 1, j)) / 4;
            const int index = static_cast<int>(std::nearbyint(255 * ((mean - 15) / 75)));
            const int px = static_cast<int>(std::lround((i - 0.5) / 20 * 162));
            const int py = static_cast<int>(std::lround((1 - (j - 0.5) / 13) * 162));
            EXPECT_EQ(colour_at(map, px, py), index > 0 ? s.Palette(index) : kDefaultBoxBackground)
                << "cell " << i << ',' << j;
        }
    }
    // Red grows with the index: the hot bottom wall is at the bottom, the
    // warmer right wall on the right.
    const auto red = [&map](int x, int y) { return colour_at(map, x, y) & 0xFF; };
    EXPECT_GT(red(81, 158), red(81, 4));
    EXPECT_GT(red(158, 81), red(4, 81));

    // The headless runner saves the same pictures, as PNG and SVG; it fails
    // with status 2 when the folder cannot be made.
    const std::string batch = HEATPLATE_BATCH;
    ASSERT_EQ(
        std::system((batch + options + " --images pictures/out --svg=vec > /dev/null").c_str()), 0);
    for (const auto& [name, id, shown] : {std::tuple{"map", PictureId::Picture_Paint, &boxes.map},
                                          {"view3d", PictureId::Picture_3DGraph, &boxes.view3d},
                                          {"residual", PictureId::Picture3, &boxes.residual}}) {
        const QImage saved(QString("pictures/out/") + name + ".png");
        EXPECT_EQ(testing::raster_of(saved), shown->image()) << name;
        EXPECT_EQ(testing::read_file(std::string("vec/") + name + ".svg"),
                  picture_svg(id, form, shown->image()))
            << name;
    }
    std::ofstream("blocker") << "a file, not a folder";
    const int status = std::system((batch + " --images blocker/out > /dev/null 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

}  // namespace
}  // namespace heatplate
