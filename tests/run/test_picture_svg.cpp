// The pictures of a run as SVG: the map's cells in the colours shown, the
// 3-D view's frame and rows, the chart's line from the first residual to
// the last.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "raster/image_drawing_box.h"
#include "run/form1_core.h"
#include "run/picture_svg.h"
#include "tests/support/fake_controls.h"
#include "tests/support/image_support.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(PictureSvg, EachPictureIsWhatItsBoxShowsInVectorForm) {
    testing::TempDir dir;
    testing::ScopedWorkingDir cwd(dir.path());
    testing::FakeControls controls;
    ImageDrawingBox map(163, 163, kDefaultBoxBackground), view(261, 229, kView3dBackground),
        chart(285, 261, kDefaultBoxBackground);
    controls.boxes = {&map, &view, &chart};
    controls[TextBoxId::Text_Nx] = "20";
    controls[TextBoxId::Text_Ny] = "12";
    controls[TextBoxId::Text_Tw1] = "0";
    controls[TextBoxId::Text_Tfield] = "40";
    controls[TextBoxId::Text_MaxTime] = "12";
    Form1Core form(controls);
    ASSERT_EQ(form.Command1_Click(), RunOutcome::Completed);

    // Every cell, in the colour the map shows at its centre.
    const std::string cells = picture_svg(PictureId::Picture_Paint, form, map.image());
    const std::regex rect(
        "<rect x=\"(\\d+)\" y=\"(\\d+)\" width=\"(\\d+)\" height=\"(\\d+)\" "
        "fill=\"#([0-9a-f]{6})\"");
    int rects = 0;
    for (std::sregex_iterator m(cells.begin(), cells.end(), rect), end; m != end; ++m, ++rects) {
        const int x = std::stoi((*m)[1]) + std::stoi((*m)[3]) / 2;
        const int y = std::stoi((*m)[2]) + std::stoi((*m)[4]) / 2;
        const auto rgb = static_cast<unsigned>(std::stoul((*m)[5], nullptr, 16));
        EXPECT_EQ(map.image().pixel(x, y), 0xFF000000u | rgb) << x << ',' << y;
    }
    EXPECT_EQ(rects, 20 * 12);

    // The five lines of the frame and axis in black, a red curve per row.
    const std::string relief = picture_svg(PictureId::Picture_3DGraph, form, view.image());
    EXPECT_EQ(count(relief, "stroke=\"#000000\""), 5);
    EXPECT_EQ(count(relief, "stroke=\"#ff0000\""), 12 + 1);

    // One line from (0, 0) to the last step's residual at the right edge.
    const std::string line = picture_svg(PictureId::Picture3, form, chart.image());
    ASSERT_EQ(count(line, "<path"), 1) << line;  // every residual within the chart
    const double last = form.residuals().back();
    const std::string end = "L284.5 " + std::to_string(static_cast<int>(last * 260 + 0.5)) + ".5\"";
    EXPECT_EQ(line.find("d=\"M0.5 0.5L"), line.find("<path d=") + 6) << line;
    EXPECT_NE(line.find(end), std::string::npos) << line;
}

}  // namespace
}  // namespace heatplate
