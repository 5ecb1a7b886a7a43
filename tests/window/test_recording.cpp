// The window's runs as the user watches and keeps them: a short run is shown
// step by step, a long one at least sixty times, and the animations the
// pictures' menus save are heatplate-batch --animate's, frame for frame.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMessageBox>
#include <QRadioButton>

#include <array>
#include <filesystem>
#include <set>
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

// One frame of the picture the run ended on, in an endless loop.
void expect_one_frame(const DecodedGif& gif, const QImage& picture) {
    ASSERT_EQ(gif.error, "");
    ASSERT_EQ(gif.frames.size(), 1u);
    EXPECT_TRUE(gif.frames[0] == picture);
    EXPECT_EQ(gif.loop_count, 0);
}

// What the screen showed during a run: every new map painted, and every
// step number the step box showed when it was painted.
class WatchedRun final : public QObject {
  public:
    explicit WatchedRun(Form1& form)
        : map_(form.findChild<PictureBox*>("Picture_Paint")),
          step_(form.findChild<QWidget*>("Text_iTime")),
          version_(map_->drawing().version()) {
        map_->installEventFilter(this);
        step_->installEventFilter(this);
    }
    int maps() const { return maps_; }
    const std::set<std::string>& steps() const { return steps_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) {
            return false;
        }
        if (watched == map_ && map_->drawing().version() != version_) {
            version_ = map_->drawing().version();
            ++maps_;
        } else if (watched == step_) {
            steps_.insert(static_cast<QLineEdit*>(step_)->text().toStdString());
        }
        return false;
    }

  private:
    PictureBox* map_;
    QWidget* step_;
    std::uint64_t version_;
    int maps_ = 0;
    std::set<std::string> steps_;
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
};

// The run of the start values plays over about a second, every step shown;
// a long run is shown at least sixty times, at evenly spread steps.
TEST_F(RecordingTest, ARunIsSeenEvolvingStepByStepOrAtLeastSixtyTimes) {
    show();
    form.set_paced(true);
    struct Case {
        const char* max_time;
        std::size_t least_steps;  // shown
        int least_maps;           // new pictures of the map shown
    };
    for (const Case& c : {Case{"50", 50, 45}, Case{"6000", 60, 10}}) {
        SCOPED_TRACE(c.max_time);
        type_into("Text_MaxTime", c.max_time);
        const WatchedRun watched(form);
        QElapsedTimer clock;
        clock.start();
        calculate();
        const qint64 ms = clock.elapsed();
        ASSERT_EQ(outcomes.back(), RunOutcome::Completed);
        EXPECT_GE(watched.steps().size(), c.least_steps);
        EXPECT_GE(watched.maps(), c.least_maps);
        EXPECT_GE(ms, 500);
        EXPECT_LE(ms, 5000);
    }
}

// Whatever the screen showed, the animations of a short and of a long run
// are the batch's: the same frames, pixel for pixel, with the same delays.
TEST_F(RecordingTest, TheAnimationsAreHeatplateBatchsFrameForFrame) {
    show();
    struct Input {
        const char* box;
        const char* option;
        const char* text;
    };
    struct Run {
        std::vector<Input> inputs;
        bool adi;
    };
    const Run runs[] = {{{}, false},
                        {{{"Text_Nx", "--nx", "101"},
                          {"Text_Ny", "--ny", "101"},
                          {"Text_Tw2", "--tw2", "20"},
                          {"Text_Tw4", "--tw4", "60"},
                          {"Text_Tfield", "--tfield", "5"},
                          {"Text_MaxTime", "--maxtime", "3000"}},
                         true}};
    for (const Run& run : runs) {
        SCOPED_TRACE(run.adi ? "3000 ADI steps" : "the start values");
        QStringList arguments{"--animate", "."};
        for (const Input& in : run.inputs) {
            type_into(in.box, in.text);
            arguments << in.option << in.text;
        }
        if (run.adi) {
            control<QRadioButton>("Option_ADI")->click();
            arguments << "--method"
                      << "adi";
        }
        calculate();
        ASSERT_EQ(outcomes.back(), RunOutcome::Completed);
        TempDir batch_dir;
        ASSERT_TRUE(run_batch_in(batch_dir.path(), arguments));
        for (const WindowPicture& p : kPictures) {
            SCOPED_TRACE(p.name);
            const DecodedGif window = animation(p.id);
            const DecodedGif batch = decode_gif(batch_dir.path() / (std::string(p.name) + ".gif"));
            ASSERT_EQ(window.error, "");
            EXPECT_GE(window.frames.size(), 50u);
            EXPECT_TRUE(window.frames == batch.frames);
            EXPECT_EQ(window.delays, batch.delays);
            EXPECT_EQ(window.loop_count, 0);
        }
    }
}

TEST_F(RecordingTest, ARunReplacesTheFramesARefusedPressKeepsThemAndAnOverflowEndsOnItsPicture) {
    show();
    calculate();
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
        expect_one_frame(animation(p.id), pixels_of(form.image(p.id)));
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
    make_endless();
    QTimer::singleShot(300, &form, [this] { send_key(Qt::Key_Escape); });
    calculate();
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
