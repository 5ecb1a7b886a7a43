// The window's recording of its runs: the animations the pictures' menus
// save are the pictures the window showed, in their order, within a bound
// on memory, and end on the picture the run left.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QRadioButton>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "desktop/image_file.h"
#include "tests/support/gif_support.h"
#include "tests/window/form1_test.h"
#include "window/picture_box.h"
#include "window/window_recording.h"

namespace heatplate {
namespace {

namespace fs = std::filesystem;
using namespace heatplate::testing;

std::size_t index(PictureId id) {
    return static_cast<std::size_t>(id);
}

// Every new picture the boxes showed, taken as each was painted on the screen.
class PaintedPictures final : public QObject {
  public:
    explicit PaintedPictures(Form1& form) {
        for (const WindowPicture& p : kPictures) {
            PictureBox* box = form.findChild<PictureBox*>(p.box);
            boxes_[index(p.id)] = box;
            versions_[index(p.id)] = box->drawing().version();
            box->installEventFilter(this);
        }
    }
    const std::vector<QImage>& of(PictureId id) const { return painted_[index(id)]; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        for (std::size_t k = 0; k < boxes_.size(); ++k) {
            const ImageDrawingBox& drawing = boxes_[k]->drawing();
            if (watched == boxes_[k] && event->type() == QEvent::Paint &&
                drawing.version() != versions_[k]) {
                versions_[k] = drawing.version();
                painted_[k].push_back(qimage_view(drawing.image()).copy());
            }
        }
        return false;
    }

  private:
    std::array<PictureBox*, kPictureCount> boxes_{};
    std::array<std::uint64_t, kPictureCount> versions_{};
    std::array<std::vector<QImage>, kPictureCount> painted_;
};

class RecordingTest : public Form1Test {
  protected:
    // The last run's animation of a picture, written by the recording and read back.
    DecodedGif animation(PictureId id) {
        const fs::path path = fs::current_path() / "decoded.gif";
        const auto error = form.recording().save(id, QString::fromStdString(path.string()));
        EXPECT_FALSE(error) << *error;
        return decode_gif(path);
    }
    // A run that ends with Escape after about the given time.
    void calculate_for(int ms) {
        make_endless();
        QTimer::singleShot(ms, &form, [this] { send_key(Qt::Key_Escape); });
        calculate();
        ASSERT_EQ(outcomes.back(), RunOutcome::Completed);
    }
};

// The frames are the painted pictures, each shown for the same time, so
// that the whole run plays in about ten seconds.
void expect_frames(const DecodedGif& gif, const std::vector<QImage>& expected) {
    ASSERT_EQ(gif.error, "");
    ASSERT_EQ(gif.frames.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_TRUE(gif.frames[k] == expected[k]) << "frame " << k << " of " << expected.size();
    }
    const int delay =
        delay_for_playing_time(static_cast<std::int64_t>(expected.size()), kAnimationPlayingTimeMs);
    EXPECT_EQ(gif.delays, std::vector<int>(expected.size(), delay));
    EXPECT_EQ(gif.loop_count, 0);
}

TEST_F(RecordingTest, TheAnimationsAreThePicturesTheWindowShowedInTheirOrder) {
    show();
    const PaintedPictures painted(form);
    calculate_for(300);
    QCoreApplication::processEvents();  // paints whatever the run left unshown
    ASSERT_GE(painted.of(PictureId::Picture_Paint).size(), 3u);
    EXPECT_EQ(form.recording().frames(), painted.of(PictureId::Picture_Paint).size());
    EXPECT_EQ(form.recording().stride(), 1);
    for (const WindowPicture& p : kPictures) {
        SCOPED_TRACE(p.name);
        EXPECT_TRUE(painted.of(p.id).back() == pixels_of(form.image(p.id)));
        expect_frames(animation(p.id), painted.of(p.id));
    }
}

TEST_F(RecordingTest, TheLastFrameIsThePictureTheRunEndedOnAsHeatplateBatchImagesSavesIt) {
    show();
    type_into("Text_Nx", "41");
    type_into("Text_Ny", "41");
    type_into("Text_Tw2", "20");
    type_into("Text_MaxTime", "2000");
    control<QRadioButton>("Option_ADI")->click();
    const PaintedPictures painted(form);
    calculate();
    QCoreApplication::processEvents();

    TempDir batch_dir;
    ASSERT_TRUE(
        run_batch_in(batch_dir.path(), {"--nx", "41", "--ny", "41", "--tw2", "20", "--maxtime",
                                        "2000", "--method", "adi", "--images", "."}));

    fs::create_directory("kept");
    const std::string here = fs::current_path().string();
    for (const WindowPicture& p : kPictures) {
        SCOPED_TRACE(p.name);
        const std::string file = std::string(p.name) + ".gif";
        const std::string path = here + "/kept/" + file;
        EXPECT_EQ(save_by_dialog(p.id, path, 2), here + "|" + file);
        const DecodedGif gif = decode_gif(path);
        expect_frames(gif, painted.of(p.id));
        ASSERT_FALSE(gif.frames.empty());
        EXPECT_TRUE(gif.frames.back() == pixels_of(form.image(p.id)));
        const fs::path png = batch_dir.path() / (std::string(p.name) + ".png");
        EXPECT_TRUE(gif.frames.back() == pixels_of(QImage(png.c_str())));
    }
}

TEST_F(RecordingTest, ABoundThinsTheFramesEvenlyAndKeepsTheLastPicture) {
    show();
    constexpr std::int64_t kBound = 1 << 20;
    form.recording().set_bound(kBound);
    const PaintedPictures painted(form);
    calculate_for(600);
    QCoreApplication::processEvents();
    const std::vector<QImage>& shown = painted.of(PictureId::Picture_Paint);
    const std::int64_t stride = form.recording().stride();
    // Every second frame dropped at a time, and never more than that.
    ASSERT_GE(stride, 2);
    EXPECT_EQ(stride & (stride - 1), 0);
    const std::int64_t frames = form.recording().frames();
    const std::int64_t bytes = form.recording().bytes();
    EXPECT_LE(bytes, kBound);
    EXPECT_GT(2 * (bytes + bytes / frames), kBound);
    for (const WindowPicture& p : kPictures) {
        SCOPED_TRACE(p.name);
        std::vector<QImage> kept;
        for (std::size_t k = 0; k < shown.size(); k += static_cast<std::size_t>(stride)) {
            kept.push_back(painted.of(p.id)[k]);
        }
        if ((shown.size() - 1) % static_cast<std::size_t>(stride) != 0) {
            kept.push_back(painted.of(p.id).back());
        }
        expect_frames(animation(p.id), kept);
    }

    // Less room than one frame needs: the run's last picture all the same.
    form.recording().set_bound(1);
    calculate_for(100);
    EXPECT_EQ(form.recording().frames(), 1);
    for (const WindowPicture& p : kPictures) {
        expect_frames(animation(p.id), {pixels_of(form.image(p.id))});
    }
}

TEST_F(RecordingTest, ARunReplacesTheFramesARefusedPressKeepsThemAndAnOverflowEndsOnItsPicture) {
    show();
    calculate_for(150);
    const DecodedGif first = animation(PictureId::Picture_Paint);
    ASSERT_EQ(first.error, "");
    ASSERT_GE(first.frames.size(), 2u);
    EXPECT_TRUE(first.frames.back() == pixels_of(form.image(PictureId::Picture_Paint)));

    std::vector<std::string> messages;
    auto answer = [&](QMessageBox* box) {
        messages.push_back(box->text().toStdString());
        box->accept();
    };
    answer_modal<QMessageBox>(answer);
    type_into("Text_Nx", "1");
    calculate();
    ASSERT_EQ(outcomes.back(), RunOutcome::Refused);
    EXPECT_TRUE(entry(PictureId::Picture_Paint, 2)->isEnabled());
    const DecodedGif kept = animation(PictureId::Picture_Paint);
    EXPECT_EQ(kept.frames, first.frames);

    answer_modal<QMessageBox>(answer);
    type_into("Text_Nx", "20");
    type_into("Text_Tw1", "1e308");
    type_into("Text_Tw3", "-1e308");
    calculate();
    ASSERT_EQ(outcomes.back(), RunOutcome::Diverged);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(form.recording().frames(), 1);
    for (const WindowPicture& p : kPictures) {
        SCOPED_TRACE(p.name);
        expect_frames(animation(p.id), {pixels_of(form.image(p.id))});
    }
}

TEST_F(RecordingTest, AFailedSaveNamesTheFileAndTheReasonAndChangesNothingElse) {
    show();
    calculate();
    const std::string earlier_results = results();
    const std::int64_t frames = form.recording().frames();
    const fs::path path = fs::current_path() / "no such folder" / "map.gif";
    std::string message;
    answer_modal<QMessageBox>([&](QMessageBox* box) {
        message = box->text().toStdString();
        box->accept();
    });
    save_by_dialog(PictureId::Picture_Paint, path.string(), 2);
    EXPECT_NE(message.find(path.string()), std::string::npos) << message;
    EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(path.parent_path()));
    EXPECT_EQ(results(), earlier_results);
    EXPECT_EQ(form.recording().frames(), frames);
    EXPECT_TRUE(animation(PictureId::Picture_Paint).frames.back() ==
                pixels_of(form.image(PictureId::Picture_Paint)));
}

TEST_F(RecordingTest, APictureOfMoreColoursThanAFrameHoldsIsReportedAndNothingWritten) {
    show();
    // Drawn into the chart while the run goes on, before a picture is shown.
    QTimer::singleShot(50, &form, [this] {
        DrawingBox& chart = form.picture(PictureId::Picture3);
        chart.scale(0, 0, 300, 1);
        for (int k = 0; k < 300; ++k) {
            chart.fill_rect(k, 0, k + 1, 1, static_cast<Colour>(k * 40000));
        }
    });
    calculate_for(200);
    EXPECT_TRUE(entry(PictureId::Picture_Paint, 2)->isEnabled());
    std::string message;
    answer_modal<QMessageBox>([&](QMessageBox* box) {
        message = box->text().toStdString();
        box->accept();
    });
    const fs::path path = fs::current_path() / "map.gif";
    save_by_dialog(PictureId::Picture_Paint, path.string(), 2);
    EXPECT_NE(message.find("residual chart has more than 256 colours"), std::string::npos)
        << message;
    EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace heatplate
