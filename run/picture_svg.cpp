#include "run/picture_svg.h"

#include <cmath>

#include "model/grid.h"
#include "raster/svg_drawing_box.h"
#include "view/view3d.h"

namespace heatplate {
namespace {

// The map keeps, for a cell a step leaves out, the colour an earlier step
// gave it, which the final field alone no longer tells; the picture shown
// does, at the cell's centre.
std::string map_svg(const SimulationState& s, const RasterImage& shown, Colour background) {
    SvgDrawingBox box(shown.width, shown.height, background);
    const auto x1 = static_cast<float>(s.Xmin);
    const auto y1 = static_cast<float>(s.Ymax);
    const auto x2 = static_cast<float>(s.Xmax);
    const auto y2 = static_cast<float>(s.Ymin);
    box.scale(x1, y1, x2, y2);
    PixelAxis ax{0, 1, shown.width};
    PixelAxis ay{0, 1, shown.height};
    if (!scale_axes(x1, y1, x2, y2, ax, ay)) {
        return box.svg();
    }
    const int Nx = grid_extent(s.Nx);
    const int Ny = grid_extent(s.Ny);
    for (int i = 1; i <= Nx; ++i) {
        for (int j = 1; j <= Ny; ++j) {
            const auto xa = static_cast<float>(s.X(i, j));
            const auto ya = static_cast<float>(s.Y(i, j));
            const auto xb = static_cast<float>(s.X(i - 1, j - 1));
            const auto yb = static_cast<float>(s.Y(i - 1, j - 1));
            if (!std::isfinite(xa) || !std::isfinite(ya) || !std::isfinite(xb) ||
                !std::isfinite(yb)) {
                continue;
            }
            const PixelSpan xs = ax.span(xa, xb);
            const PixelSpan ys = ay.span(ya, yb);
            if (xs.empty() || ys.empty()) {
                continue;
            }
            const Colour colour =
                colour_of_pixel(shown.pixel((xs.lo + xs.hi) / 2, (ys.lo + ys.hi) / 2));
            if (colour != background) {
                box.fill_rect(xa, ya, xb, yb, colour);
            }
        }
    }
    return box.svg();
}

std::string chart_svg(const Form1Core& form, const RasterImage& shown, Colour background) {
    SvgDrawingBox box(shown.width, shown.height, background);
    const std::vector<double>& rms = form.residuals();
    if (form.MaxTime() == 0) {
        return box.svg();  // no run yet
    }
    box.scale(0.0f, 0.0f, static_cast<float>(form.MaxTime()), 1.0f);
    double RMSold = 0;
    for (std::size_t k = 0; k < rms.size(); ++k) {
        const auto iTime = static_cast<double>(k + 1);
        box.line(static_cast<float>(iTime - 1), static_cast<float>(RMSold),
                 static_cast<float>(iTime), static_cast<float>(rms[k]), form.state().Black);
        RMSold = rms[k];
    }
    return box.svg();
}

}  // namespace

std::string picture_svg(PictureId id, const Form1Core& form, const RasterImage& shown) {
    const BoxGeometry& g = box_geometry(id);
    switch (id) {
        case PictureId::Picture_Paint:
            return map_svg(form.state(), shown, g.background);
        case PictureId::Picture_3DGraph: {
            SvgDrawingBox box(shown.width, shown.height, g.background, g.foreground);
            // Until a run or the scroll bar sets an angle, the view is blank.
            if (form.state().SinAlfa == 0 && form.state().CosAlfa == 0) {
                return box.svg();
            }
            scale_D3_Graph(form.state(), box);
            D3_Graph(form.state(), box);
            return box.svg();
        }
        case PictureId::Picture3:
            break;
    }
    return chart_svg(form, shown, g.background);
}

}  // namespace heatplate
