#pragma once

#include <QImage>

namespace heatplate {

// An exact copy of the picture with one byte per pixel and its own colours
// in the colour table, in the order they first appear row by row; a null
// image when it has more than 256 colours. Nothing is dithered or rounded:
// every pixel keeps its colour (alpha aside, which neither a GIF nor the
// drawing boxes have).
QImage exact_indexed8(const QImage& image);

}  // namespace heatplate
