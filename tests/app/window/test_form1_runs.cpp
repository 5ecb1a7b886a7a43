// Runs started from the window: what they show and write, their messages,
// and the user's input while a run holds the window.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "app/form1_core.h"
#include "tests/app/window/window_support.h"
#include "tests/support/fake_controls.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

using namespace heatplate::testing;

std::string results() {
    std::ifstream in("results.txt", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class Form1RunTest : public ::testing::Test {
  protected:
    Form1RunTest() : cwd_(dir_.path()) {
        QObject::connect(&form, &Form1::run_finished, [this](RunOutcome outcome) {
            outcomes.push_back(outcome);
            if (on_finished) {
                on_finished();
            }
        });
    }
    void show() {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void calculate() { QTest::mouseClick(control(form, "Command1"), Qt::LeftButton); }
    QRadioButton* option(const char* name) { return control<QRadioButton>(form, name); }
    // Something to do while a run is under way: a run lets timers fire
    // whenever it shows a step.
    void during_run(int ms, std::function<void()> action) {
        QTimer::singleShot(ms, &form, std::move(action));
    }
    // A run that would outlast any test unless something ends it; should
    // Escape be lost, the close ends it and the test fails on its outcome.
    void make_endless() {
        type_into(form, "Text_Nx", "101");
        type_into(form, "Text_Ny", "101");
        type_into(form, "Text_MaxTime", "1e9");
        during_run(20000, [this] { form.close(); });
    }
    // Input as the window system delivers it: to the window.
    void send_click(QWidget* target) {
        // Near the left end: an option takes clicks on its circle and caption only.
        const QPointF at = target->mapTo(&form, QPoint(8, target->height() / 2));
        for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, form.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(form.windowHandle(), &e);
        }
    }
    void send_key(int key, const QString& text = {}) {
        for (auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(type, key, Qt::NoModifier, text);
            QCoreApplication::sendEvent(form.windowHandle(), &e);
        }
    }

    TempDir dir_;
    ScopedWorkingDir cwd_;
    Form1 form;
    std::vector<RunOutcome> outcomes;
    std::function<void()> on_finished;
};

TEST_F(Form1RunTest, CalculateWithTheStartValuesShowsStepFiftyAndWritesResults) {
    // The same run on a stand-in window tells what the window must show.
    FakeControls reference;
    ASSERT_EQ(Form1Core(reference).Command1_Click(), RunOutcome::Completed);
    const std::string reference_results = results();
    std::filesystem::remove("results.txt");

    show();
    calculate();
    ASSERT_EQ(outcomes, std::vector<RunOutcome>{RunOutcome::Completed});
    EXPECT_EQ(text_of(form, "Text_iTime"), "50");
    EXPECT_EQ(text_of(form, "Text_dx"), "0.05");
    EXPECT_EQ(text_of(form, "Text_dy"), "0.05");
    EXPECT_EQ(text_of(form, "Text_RMS"), reference[TextBoxId::Text_RMS]);
    EXPECT_EQ(results(), reference_results);
    for (PictureId id :
         {PictureId::Picture_Paint, PictureId::Picture_3DGraph, PictureId::Picture3}) {
        EXPECT_FALSE(is_blank(form.image(id)));
    }
    // The box on the screen shows the map inside its border.
    const QImage& map = form.image(PictureId::Picture_Paint);
    const QImage shown = control(form, "Picture_Paint")->grab().toImage();
    const QPoint centre(map.width() / 2, map.height() / 2);
    EXPECT_EQ(shown.pixel(centre + QPoint(2, 2)), map.pixel(centre));
}

TEST_F(Form1RunTest, AdiRunLeavesTheSpacingsOfTheExplicitRunBefore) {
    calculate();
    option("Option_ADI")->click();
    type_into(form, "Text_Nx", "10");
    type_into(form, "Text_MaxTime", "3");
    calculate();
    EXPECT_EQ(outcomes, std::vector<RunOutcome>(2, RunOutcome::Completed));
    EXPECT_EQ(text_of(form, "Text_iTime"), "3");
    EXPECT_EQ(text_of(form, "Text_dx"), "0.05");
    EXPECT_EQ(text_of(form, "Text_dy"), "0.05");
}

TEST_F(Form1RunTest, MessagesCarryTheApplicationTitle) {
    MessageBoxAnswerer answers;
    type_into(form, "Text_Nx", "abc");
    calculate();
    type_into(form, "Text_Nx", "20");
    std::filesystem::create_directory("results.txt");  // no file can be written there
    calculate();
    EXPECT_EQ(outcomes, (std::vector<RunOutcome>{RunOutcome::Refused, RunOutcome::NotSaved}));
    ASSERT_EQ(answers.seen.size(), 2u);
    EXPECT_EQ(answers.seen[0].rfind("heatplate|Nx ", 0), 0u) << answers.seen[0];
    EXPECT_EQ(answers.seen[1].rfind("heatplate|", 0), 0u) << answers.seen[1];

    // Only a program can clear both options.
    show();
    for (const char* name : {"Option_Explicit", "Option_ADI"}) {
        option(name)->setAutoExclusive(false);
        option(name)->setChecked(false);
    }
    calculate();
    ASSERT_EQ(answers.seen.size(), 3u);
    EXPECT_EQ(answers.seen[2], "heatplate|bir çözüm yöntemi seçiniz");
    EXPECT_FALSE(form.isVisible());  // the program ends
}

TEST_F(Form1RunTest, EscapeEndsALongRunAfterTheCurrentStepAndSavesTheField) {
    show();
    make_endless();
    during_run(100, [this] { send_key(Qt::Key_Escape); });
    calculate();
    ASSERT_EQ(outcomes, std::vector<RunOutcome>{RunOutcome::Completed});
    const double steps = std::stod(text_of(form, "Text_iTime"));
    EXPECT_GT(steps, 0);
    EXPECT_LT(steps, 1e6);
    // 102 lines of 102 fields of two spaces and three digits, and CR LF.
    EXPECT_EQ(results().size(), 102u * (102u * 5u + 2u));
    EXPECT_TRUE(form.isVisible());
}

TEST_F(Form1RunTest, InputDuringARunIsHandledAfterIt) {
    show();
    auto* tfield = control<QLineEdit>(form, "Text_Tfield");
    make_endless();
    std::vector<bool> toggled_while_running;
    QObject::connect(option("Option_ADI"), &QRadioButton::toggled,
                     [&](bool) { toggled_while_running.push_back(form.running()); });
    during_run(50, [this, tfield] {
        send_click(tfield);
        send_key(Qt::Key_End);
        send_key(Qt::Key_5, "5");
        send_click(option("Option_ADI"));
        send_click(control(form, "Command1"));
        send_key(Qt::Key_Escape);
    });
    std::optional<std::string> tfield_at_first_end;
    on_finished = [&] {
        if (!tfield_at_first_end) {
            tfield_at_first_end = tfield->text().toStdString();
            type_into(form, "Text_MaxTime", "4");  // for the second run
        }
    };
    calculate();
    EXPECT_EQ(tfield_at_first_end, "0");

    // Then the held input follows in its order: the click into the box and
    // the typing, the option, and a second run.
    ASSERT_TRUE(QTest::qWaitFor([this] { return outcomes.size() == 2; }, 5000));
    EXPECT_EQ(tfield->text(), "05");
    EXPECT_EQ(toggled_while_running, std::vector<bool>{false});
    EXPECT_EQ(text_of(form, "Text_iTime"), "4");
    EXPECT_EQ(form.core().state().Tfield, 5);
}

TEST_F(Form1RunTest, CloseDuringARunEndsItWithoutResultsThenCloses) {
    show();
    make_endless();
    during_run(50, [this] { form.close(); });
    calculate();
    EXPECT_EQ(outcomes, std::vector<RunOutcome>{RunOutcome::Abandoned});
    EXPECT_FALSE(std::filesystem::exists("results.txt"));
    EXPECT_FALSE(form.isVisible());
}

// Steps per second of live 101 x 101 runs, for a real display:
// QT_QPA_PLATFORM=xcb xvfb-run -a test_window --gtest_also_run_disabled_tests
// --gtest_filter='*LiveRunSpeed*'
TEST_F(Form1RunTest, DISABLED_LiveRunSpeed) {
    show();
    type_into(form, "Text_Nx", "101");
    type_into(form, "Text_Ny", "101");
    type_into(form, "Text_MaxTime", "20000");
    for (const char* method : {"Option_Explicit", "Option_ADI"}) {
        option(method)->click();
        QElapsedTimer clock;
        clock.start();
        calculate();
        const double rate = 20000 / (clock.nsecsElapsed() * 1e-9);
        std::printf("%s: %.0f steps/s\n", method, rate);
        EXPECT_GE(rate, 5000) << method;
    }
}

}  // namespace
}  // namespace heatplate
