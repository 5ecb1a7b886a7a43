#include "raster/svg_drawing_box.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "raster/segment.h"

namespace heatplate {
namespace {

bool finite(float v) {
    return std::isfinite(v);
}

std::string whole(std::int64_t v) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

// A pixel's centre: SVG measures from the picture's corner, pixels from
// their centres.
std::string centre(std::int64_t pixel) {
    return pixel >= 0 ? whole(pixel) + ".5" : "-" + whole(-pixel - 1) + ".5";
}

std::string hex_colour(Colour colour) {
    const std::uint32_t rgb = pixel_of(colour) & 0xFFFFFFu;
    static const char kDigits[] = "0123456789abcdef";
    std::string out = "#";
    for (int shift = 20; shift >= 0; shift -= 4) {
        out += kDigits[(rgb >> shift) & 0xFu];
    }
    return out;
}

}  // namespace

SvgDrawingBox::SvgDrawingBox(int width, int height, Colour background, Colour foreground)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      background_(background),
      foreground_(foreground) {
    ax_.size = width_;
    ay_.size = height_;
}

void SvgDrawingBox::scale(float x1, float y1, float x2, float y2) {
    mapping_valid_ = scale_axes(x1, y1, x2, y2, ax_, ay_);
}

void SvgDrawingBox::cls() {
    shapes_.clear();
    move_to(0, 0);
}

void SvgDrawingBox::add_rect(PixelSpan xs, PixelSpan ys, Colour colour) {
    shapes_.push_back({false, colour,
                       "x=\"" + whole(xs.lo) + "\" y=\"" + whole(ys.lo) + "\" width=\"" +
                           whole(xs.hi - xs.lo + 1) + "\" height=\"" + whole(ys.hi - ys.lo + 1) +
                           "\""});
}

void SvgDrawingBox::fill_rect(float x1, float y1, float x2, float y2, Colour colour) {
    if (!mapping_valid_ || !finite(x1) || !finite(y1) || !finite(x2) || !finite(y2)) {
        return;
    }
    const PixelSpan xs = ax_.span(x1, x2);
    const PixelSpan ys = ay_.span(y1, y2);
    if (!xs.empty() && !ys.empty()) {
        add_rect(xs, ys, colour);
    }
}

void SvgDrawingBox::line(float x1, float y1, float x2, float y2, Colour colour) {
    if (!mapping_valid_ || !finite(x1) || !finite(y1) || !finite(x2) || !finite(y2)) {
        return;
    }
    const auto s =
        pixel_segment(ax_.position(x1), ay_.position(y1), ax_.position(x2), ay_.position(y2));
    if (!s || !s->may_cross(width_, height_)) {
        return;
    }
    Shape* last = shapes_.empty() ? nullptr : &shapes_.back();
    if (last == nullptr || !last->path || last->colour != colour || last->end_x != s->x0 ||
        last->end_y != s->y0) {
        shapes_.push_back({true, colour, "M" + centre(s->x0) + " " + centre(s->y0), s->x0, s->y0});
        last = &shapes_.back();
    }
    // A line of one pixel is its pixel: a path must go somewhere to show.
    if (s->x1 == s->x0 && s->y1 == s->y0 && last->geometry.find('L') != std::string::npos) {
        return;
    }
    last->geometry += "L" + centre(s->x1) + " " + centre(s->y1);
    last->end_x = s->x1;
    last->end_y = s->y1;
}

void SvgDrawingBox::pset(float x, float y) {
    if (!move_to(x, y) || !mapping_valid_) {
        return;
    }
    if (const auto pixel = point_pixel(ax_, ay_, x, y)) {
        const PixelSpan xs{pixel->first, pixel->first};
        const PixelSpan ys{pixel->second, pixel->second};
        add_rect(xs, ys, foreground_);
    }
}

std::string SvgDrawingBox::svg() const {
    const std::string w = whole(width_);
    const std::string h = whole(height_);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + w +
           "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
    out += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"" + hex_colour(background_) +
           "\"/>\n";
    for (const Shape& shape : shapes_) {
        if (shape.path) {
            out += "<path d=\"" + shape.geometry + "\" fill=\"none\" stroke=\"" +
                   hex_colour(shape.colour) +
                   "\" stroke-width=\"1\" stroke-linecap=\"square\" stroke-linejoin=\"round\"/>\n";
        } else {
            out += "<rect " + shape.geometry + " fill=\"" + hex_colour(shape.colour) +
                   "\" shape-rendering=\"crispEdges\"/>\n";
        }
    }
    out += "</svg>\n";
    return out;
}

}  // namespace heatplate
