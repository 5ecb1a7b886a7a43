#pragma once

#include <string>

#include "raster/raster.h"
#include "run/form1_core.h"
#include "view/box_geometry.h"

namespace heatplate {

// A picture of the window as an SVG document the size of `shown`, the
// picture its box shows now: the 3-D view's frame and curves and the
// residual chart's line drawn anew from what the last run left, as lines
// and paths, and the map as its cells, each in the colour it shows.
std::string picture_svg(PictureId id, const Form1Core& form, const RasterImage& shown);

}  // namespace heatplate
