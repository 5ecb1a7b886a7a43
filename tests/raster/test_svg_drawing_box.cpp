// Pictures as SVG: the raster's geometry (a rectangle on its pixels, a line
// between the centres of its end pixels, a point as its pixel) in vector form.
#include <gtest/gtest.h>

#include <limits>

#include "raster/svg_drawing_box.h"

namespace heatplate {
namespace {

// One user unit a pixel: every shape lands where the raster puts it.
TEST(SvgDrawingBox, ShapesLieOnTheRastersPixelsAndConnectedLinesMakeOnePath) {
    SvgDrawingBox box(10, 8, 0xF0F0F0, 0x0000FF);
    box.line(1, 1, 2, 2, 0);  // gone with the clear
    box.cls();
    box.scale(0, 0, 9, 7);
    box.line(1, 1, 4, 1, 255);
    box.line(4, 1, 4, 5, 255);
    box.line(4, 5, 6, 6, 0x00FF00);
    box.fill_rect(3, 4, 2, 2, 0x123456);
    box.pset(7, 6);
    box.line_to(7, 6, 255);
    box.line(-1e30f, 3, 1e30f, 3, 0);
    box.line(1, 1, 2, std::numeric_limits<float>::infinity(), 0);
    const std::string path = "\" fill=\"none\" stroke=\"";
    const std::string stroke =
        "\" stroke-width=\"1\" stroke-linecap=\"square\" "
        "stroke-linejoin=\"round\"/>\n";
    EXPECT_EQ(box.svg(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"10\" "
              "height=\"8\" viewBox=\"0 0 10 8\">\n"
              "<rect width=\"10\" height=\"8\" fill=\"#f0f0f0\"/>\n"
              "<path d=\"M1.5 1.5L4.5 1.5L4.5 5.5" +
                  path + "#ff0000" + stroke + "<path d=\"M4.5 5.5L6.5 6.5" + path + "#00ff00" +
                  stroke +
                  "<rect x=\"2\" y=\"2\" width=\"2\" height=\"3\" fill=\"#563412\" "
                  "shape-rendering=\"crispEdges\"/>\n"
                  "<rect x=\"7\" y=\"6\" width=\"1\" height=\"1\" fill=\"#ff0000\" "
                  "shape-rendering=\"crispEdges\"/>\n"
                  "<path d=\"M7.5 6.5L7.5 6.5" +
                  path + "#ff0000" + stroke + "<path d=\"M-1048575.5 3.5L1048576.5 3.5" + path +
                  "#000000" + stroke + "</svg>\n");

    // A coordinate system without width draws nothing.
    box.cls();
    box.scale(0, 0, 0, 7);
    box.line(1, 1, 4, 1, 255);
    box.fill_rect(1, 1, 2, 2, 255);
    EXPECT_EQ(box.svg().find("<path"), std::string::npos);
    EXPECT_EQ(box.svg().find("<rect x"), std::string::npos);
}

}  // namespace
}  // namespace heatplate
