#pragma once

#include "model/colour.h"

namespace heatplate {

// The three pictures: the temperature map, the 3-D view and the residual chart.
enum class PictureId { Picture_Paint, Picture_3DGraph, Picture3 };
inline constexpr int kPictureCount = 3;

// The name of a picture's files: saved pictures add ".png", animations ".gif".
constexpr const char* picture_file_stem(PictureId id) {
    switch (id) {
        case PictureId::Picture_Paint:
            return "map";
        case PictureId::Picture_3DGraph:
            return "view3d";
        case PictureId::Picture3:
            return "residual";
    }
    return "picture";
}

// The three drawing boxes in pixels. The window is laid out in twips
// (1/1440 inch); at 96 dots per inch a pixel is 15 twips. Each box has a
// sunken border two pixels wide on every side, and its pictures fill the
// client area inside it.
struct BoxGeometry {
    int outer_width;
    int outer_height;
    int width;   // client area
    int height;  // client area
    Colour background;
    Colour foreground;
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kBoxBorderPixels = 2;

// Nearest whole pixel.
constexpr int twips_to_pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr BoxGeometry box_geometry(int width_twips, int height_twips, Colour background) {
    const int w = twips_to_pixels(width_twips);
    const int h = twips_to_pixels(height_twips);
    return {w, h, w - 2 * kBoxBorderPixels, h - 2 * kBoxBorderPixels, background, 0};
}

// The toolkit's default window background, light grey (240, 240, 240).
inline constexpr Colour kDefaultBoxBackground = 240 + 256 * 240 + 65536 * 240;
// Light yellow (255, 255, 192) behind the 3-D view.
inline constexpr Colour kView3dBackground = 12648447;

inline constexpr BoxGeometry kPicturePaintGeometry =
    box_geometry(2500, 2500, kDefaultBoxBackground);
inline constexpr BoxGeometry kPicture3DGraphGeometry = box_geometry(3975, 3495, kView3dBackground);
inline constexpr BoxGeometry kPicture3Geometry = box_geometry(4335, 3975, kDefaultBoxBackground);

constexpr const BoxGeometry& box_geometry(PictureId box) {
    switch (box) {
        case PictureId::Picture_Paint:
            return kPicturePaintGeometry;
        case PictureId::Picture_3DGraph:
            return kPicture3DGraphGeometry;
        case PictureId::Picture3:
            break;
    }
    return kPicture3Geometry;
}

static_assert(kPicturePaintGeometry.width == 163 && kPicturePaintGeometry.height == 163);
static_assert(kPicture3DGraphGeometry.width == 261 && kPicture3DGraphGeometry.height == 229);
static_assert(kPicture3Geometry.width == 285 && kPicture3Geometry.height == 261);

}  // namespace heatplate
