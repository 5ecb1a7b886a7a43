#pragma once

#include <gif_lib.h>

#include <QImage>
#include <QRect>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace heatplate::testing {

// An animated GIF as giflib reads it: every frame composed onto the canvas
// as a viewer shows it, with its delay and its rectangle.
struct DecodedGif {
    std::string error;  // empty when the file was read
    QSize size;
    std::vector<QImage> frames;  // Format_RGB32
    std::vector<int> delays;     // hundredths of a second
    std::vector<QRect> rects;
    int loop_count = -1;  // -1: no loop extension; 0: for ever
};

// The loop count of a NETSCAPE2.0 application extension among the blocks.
inline int loop_count_in(const SavedImage& image) {
    for (int k = 0; k + 1 < image.ExtensionBlockCount; ++k) {
        const ExtensionBlock& app = image.ExtensionBlocks[k];
        const ExtensionBlock& data = image.ExtensionBlocks[k + 1];
        if (app.Function == APPLICATION_EXT_FUNC_CODE && app.ByteCount == 11 &&
            std::memcmp(app.Bytes, "NETSCAPE2.0", 11) == 0 && data.ByteCount == 3 &&
            data.Bytes[0] == 1) {
            return data.Bytes[1] | (data.Bytes[2] << 8);
        }
    }
    return -1;
}

// Draws one frame over the canvas: frames that leave the picture before in
// place (disposal 0 or 1, and no transparency) are all the writer makes; a
// frame asking for anything else is reported.
inline bool draw_frame(const GifFileType& gif, const SavedImage& image,
                       const GraphicsControlBlock& control, QImage& canvas) {
    const GifImageDesc& d = image.ImageDesc;
    const ColorMapObject* map = d.ColorMap != nullptr ? d.ColorMap : gif.SColorMap;
    if (map == nullptr || control.DisposalMode > DISPOSE_DO_NOT ||
        control.TransparentColor != NO_TRANSPARENT_COLOR) {
        return false;
    }
    for (int y = 0; y < d.Height; ++y) {
        for (int x = 0; x < d.Width; ++x) {
            const int index = image.RasterBits[y * d.Width + x];
            if (index >= map->ColorCount) {
                return false;
            }
            const GifColorType c = map->Colors[index];
            canvas.setPixel(d.Left + x, d.Top + y, qRgb(c.Red, c.Green, c.Blue));
        }
    }
    return true;
}

inline DecodedGif decode_gif(const std::filesystem::path& path) {
    DecodedGif out;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr) {
        out.error = GifErrorString(error);
        return out;
    }
    if (DGifSlurp(gif) == GIF_ERROR) {
        out.error = GifErrorString(gif->Error);
    } else {
        out.size = QSize(gif->SWidth, gif->SHeight);
        out.loop_count = gif->ImageCount > 0 ? loop_count_in(gif->SavedImages[0]) : -1;
        // Pixels no frame has covered stay an unlikely colour, to show up.
        QImage canvas(out.size, QImage::Format_RGB32);
        canvas.fill(qRgb(1, 2, 3));
        for (int k = 0; k < gif->ImageCount && out.error.empty(); ++k) {
            GraphicsControlBlock control{};
            DGifSavedExtensionToGCB(gif, k, &control);
            const SavedImage& image = gif->SavedImages[k];
            if (!draw_frame(*gif, image, control, canvas)) {
                out.error = "frame " + std::to_string(k) + " is not drawn over the one before";
            }
            out.frames.push_back(canvas.copy());
            out.delays.push_back(control.DelayTime);
            const GifImageDesc& d = image.ImageDesc;
            out.rects.emplace_back(d.Left, d.Top, d.Width, d.Height);
        }
    }
    DGifCloseFile(gif, &error);
    return out;
}

}  // namespace heatplate::testing
