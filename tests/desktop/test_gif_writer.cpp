// The animated GIF writer: what it writes decodes to exactly the frames it
// was given, and what it cannot write leaves nothing behind.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desktop/gif_writer.h"
#include "tests/support/gif_support.h"
#include "tests/support/qimage_support.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

namespace fs = std::filesystem;

// The picture as the writer takes it.
IndexedImage indexed(const QImage& image) {
    return exact_indexed8(testing::raster_of(image)).value();
}

QImage filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Every colour a different one: (x, y) on a 16 x 16 picture is colour
// number 16 y + x, 256 in all.
QImage many_colours() {
    QImage image(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < 16; ++x) {
            image.setPixel(x, y, qRgb(16 * y + x, 255 - x, 7 * y));
        }
    }
    return image;
}

class GifWriterTest : public ::testing::Test {
  protected:
    std::string path(const char* name) const { return (dir_.path() / name).string(); }
    testing::TempDir dir_;
};

// Frames of two colours and of 256, a frame that changes a small patch, one
// that repeats the last and one that changes two far corners: giflib and
// Qt's reader both give back every picture
// exactly, with its delay, in a loop that never ends, and the frames after
// the first cover only what changed.
TEST_F(GifWriterTest, FramesDecodeExactlyWithTheirDelaysInAnEndlessLoop) {
    std::vector<QImage> pictures;
    QImage picture = filled(16, 16, qRgb(240, 240, 240));
    picture.setPixel(3, 4, qRgb(0, 0, 0));
    pictures.push_back(picture);
    pictures.push_back(many_colours());
    QImage patched = many_colours();
    for (int y = 5; y <= 6; ++y)
        for (int x = 9; x <= 11; ++x)
            patched.setPixel(x, y, qRgb(255, 0, 0));
    pictures.push_back(patched);
    pictures.push_back(patched);
    QImage corners = patched;
    corners.setPixel(0, 15, qRgb(1, 1, 1));
    corners.setPixel(15, 0, qRgb(2, 2, 2));
    pictures.push_back(corners);
    const std::vector<int> delays{0, 7, kGifMaxDelay, 3, 3};
    std::vector<GifFrame> frames;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        frames.push_back({indexed(pictures[k]), delays[k]});
    }
    ASSERT_EQ(save_gif(path("a.gif"), frames), std::nullopt);

    const testing::DecodedGif gif = testing::decode_gif(dir_.path() / "a.gif");
    ASSERT_EQ(gif.error, "");
    EXPECT_EQ(gif.size, QSize(16, 16));
    EXPECT_EQ(gif.loop_count, 0);
    ASSERT_EQ(gif.frames.size(), frames.size());
    for (std::size_t k = 0; k < frames.size(); ++k) {
        EXPECT_EQ(gif.frames[k], pictures[k]) << k;
        EXPECT_EQ(gif.delays[k], frames[k].delay) << k;
    }
    EXPECT_EQ(gif.rects[0], QRect(0, 0, 16, 16));
    EXPECT_EQ(gif.rects[2], QRect(9, 5, 3, 2));
    EXPECT_EQ(gif.rects[3].width() * gif.rects[3].height(), 1);
    EXPECT_EQ(gif.rects[4], QRect(0, 0, 16, 16));

    QImageReader reader(QString::fromStdString(path("a.gif")), "gif");
    EXPECT_EQ(reader.imageCount(), static_cast<int>(frames.size()));
    for (std::size_t k = 0; k < frames.size(); ++k) {
        EXPECT_EQ(reader.read().convertToFormat(QImage::Format_RGB32), pictures[k])
            << k << ' ' << reader.errorString().toStdString();
    }
}

// Whatever goes wrong, the file at the path keeps its old content and no
// temporary file stays beside it; the message names the file and the reason.
TEST_F(GifWriterTest, AnythingAGifCannotHoldIsRefusedAndTheOldFileStays) {
    std::ofstream(dir_.path() / "old.gif") << "old";
    const IndexedImage small = indexed(filled(4, 4, qRgb(9, 9, 9)));
    struct Case {
        const char* what;
        std::function<std::optional<std::string>(GifWriter&)> write;
    };
    const Case cases[] = {
        {"outside 0 to 65535", [&](GifWriter& w) { return w.add(small, kGifMaxDelay + 1); }},
        {"outside 0 to 65535", [&](GifWriter& w) { return w.add(small, -1); }},
        {"a frame of 16 x 16 pixels in an animation of 4 x 4",
         [&](GifWriter& w) {
             EXPECT_EQ(w.add(small, 1), std::nullopt);
             return w.add(indexed(many_colours()), 1);
         }},
        {"at least one frame", [](GifWriter& w) { return w.commit(); }},
        {"without pixels", [](GifWriter& w) { return w.add(IndexedImage(), 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GifWriter writer(path("old.gif"));
        ASSERT_EQ(writer.open(), std::nullopt);
        const auto error = c.write(writer);
        ASSERT_TRUE(error.has_value());
        EXPECT_NE(error->find(c.what), std::string::npos) << *error;
        EXPECT_NE(error->find("old.gif"), std::string::npos) << *error;
        // Refused for good: nothing more is taken.
        EXPECT_EQ(writer.add(small, 1), error);
        EXPECT_EQ(writer.commit(), error);
        EXPECT_EQ(testing::read_file(dir_.path() / "old.gif"), "old");
        EXPECT_EQ(testing::files_in(dir_.path()), std::vector<std::string>{"old.gif"});
    }
    {
        GifWriter dropped(path("old.gif"));
        ASSERT_EQ(dropped.add(small, 1), std::nullopt);
    }
    EXPECT_EQ(testing::read_file(dir_.path() / "old.gif"), "old");
    EXPECT_EQ(testing::files_in(dir_.path()), std::vector<std::string>{"old.gif"});
}

TEST_F(GifWriterTest, AFileThatCannotBeMadeIsReportedWhenOpened) {
    fs::create_directory(dir_.path() / "taken.gif");
    for (const char* name : {"missing/a.gif", "taken.gif"}) {
        GifWriter writer(path(name));
        const auto error = writer.open();
        ASSERT_TRUE(error.has_value()) << name;
        EXPECT_NE(error->find(name), std::string::npos) << *error;
    }
    EXPECT_EQ(testing::files_in(dir_.path()), std::vector<std::string>{"taken.gif"});
}

}  // namespace
}  // namespace heatplate
