// PNG pictures: exactly the pixels shown, put in place whole or not at all.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <random>

#include "desktop/image_file.h"
#include "raster/image_drawing_box.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/qimage_support.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

namespace fs = std::filesystem;

constexpr Colour kGrey = 0xF0F0F0;

// A picture of at most 256 colours is saved with a table of them, a larger
// one in full colour; either way the file holds exactly the pixels shown.
TEST(SavePngAtomically, SavedPicturesHoldExactlyTheirPixels) {
    testing::TempDir dir;
    for (const int colours : {3, 256, 257}) {
        ImageDrawingBox box(40, 30, kGrey);
        for (int k = 0; k + 1 < colours; ++k)
            box.fill_rect(static_cast<float>(k % 40), static_cast<float>(k / 40),
                          static_cast<float>(k % 40), static_cast<float>(k / 40), k * 65793 + 1);
        const QString path = QString::fromStdString((dir.path() / "picture.png").string());
        ASSERT_FALSE(save_png_atomically(qimage_view(box.image()), path)) << colours;
        const QImage saved(path);
        EXPECT_EQ(saved.format() == QImage::Format_Indexed8, colours <= 256) << colours;
        EXPECT_EQ(testing::raster_of(saved), box.image()) << colours;
    }
}

// A write cut short keeps the old file whole, leaves nothing beside it and
// gives the system's reason, also for a picture larger than any buffer a
// library keeps; once there is room, the file holds its pixels.
TEST(SavePngAtomically, AWriteCutShortKeepsTheOldFileWhole) {
    testing::TempDir dir;
    const auto path = dir.path() / "map.png";
    std::ofstream(path, std::ios::binary) << "earlier";
    // Noise, so that the file outgrows the limit.
    QImage noise(300, 300, QImage::Format_RGB32);
    std::mt19937 random(13);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x) {
            noise.setPixel(x, y, static_cast<QRgb>(random()) | 0xFF000000u);
        }
    }
    const QString where = QString::fromStdString(path.string());
    const auto error = testing::under_a_small_file_size_limit(
        [&] { return save_png_atomically(noise, where); }, 65536);

    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("File too large"), std::string::npos) << *error;
    EXPECT_EQ(testing::read_file(path), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(save_png_atomically(noise, where), std::nullopt);
    EXPECT_EQ(QImage(where), noise);
}

}  // namespace
}  // namespace heatplate
