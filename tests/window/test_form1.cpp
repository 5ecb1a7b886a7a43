// The window at rest, its runs, and the user's input while a run holds it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include <xcb/xcb.h>

#include "run/control_table.h"
#include "tests/support/fake_controls.h"
#include "tests/window/form1_test.h"
#include "window/picture_box.h"
#include "window/window_recording.h"

namespace heatplate {
namespace {

using namespace heatplate::testing;

// The text a control shows: a box's text, a caption, or none.
std::string shown_text(QWidget* c) {
    if (auto* edit = qobject_cast<QLineEdit*>(c))
        return edit->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(c))
        return button->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(c))
        return label->text().toStdString();
    return "";
}

TEST_F(Form1Test, StartsWithTheDesignedStateAndPlacesControlsByTwips) {
    // Every control in its container, at its nearest whole pixels, with its
    // start text; in a drawing box, from the corner of the client area
    // inside the 2-pixel border. At 96 dpi 2500 twips are 166.7 pixels: 167.
    for (const ControlEntry& entry : control_table()) {
        SCOPED_TRACE(entry.name);
        QWidget* c = control(entry.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->parentWidget()->objectName().toStdString(), entry.container);
        const int border = dynamic_cast<PictureBox*>(c->parentWidget()) != nullptr ? 2 : 0;
        EXPECT_EQ(c->geometry(), QRect(px(entry.left) + border, px(entry.top) + border,
                                       px(entry.width), px(entry.height)));
        EXPECT_EQ(shown_text(c), entry.text);
        EXPECT_EQ(c->isEnabled(), entry.enabled);
    }
    // And as designed, whatever the table says.
    EXPECT_EQ(control("Picture_Paint")->width(), 167);
    EXPECT_EQ(form.size(), QSize(px(11880), px(8295)));
    EXPECT_EQ(control("Command1")->geometry(), QRect(px(495), px(1680), px(1800), px(615)));
    EXPECT_EQ(shown_text(control("Command1")), "CALCULATE");
    EXPECT_EQ(control("Text_Tfield")->parentWidget()->objectName(), "Frame3");
    EXPECT_EQ(control("Text_Tfield")->pos(), QPoint(px(2520), px(3720)));
    EXPECT_EQ(control("Text_Alfa")->parentWidget()->objectName(), "Picture_3DGraph");
    EXPECT_EQ(control("Text_Alfa")->pos(), QPoint(px(840) + 2, px(3120) + 2));
    // The wall boxes frame the map: left and right level, top and bottom in one column.
    EXPECT_EQ(control("Text_Tw2")->y(), control("Text_Tw4")->y());
    EXPECT_EQ(control("Text_Tw1")->x(), control("Text_Tw3")->x());
    const struct {
        const char *name, *text;
        bool enabled;
    } boxes[] = {
        {"Text_Nx", "20", true},    {"Text_Ny", "20", true},    {"Text_MaxTime", "50", true},
        {"Text_Tw1", "100", true},  {"Text_Tw2", "100", true},  {"Text_Tw3", "100", true},
        {"Text_Tw4", "100", true},  {"Text_Tfield", "0", true}, {"Text_Alfa", "30", true},
        {"Text_iTime", "0", false}, {"Text_dx", "", false},     {"Text_dy", "", false},
        {"Text_RMS", "", false}};
    for (const auto& b : boxes) {
        EXPECT_EQ(text_of(b.name), b.text) << b.name;
        EXPECT_EQ(control(b.name)->isEnabled(), b.enabled) << b.name;
    }
    EXPECT_TRUE(control<QRadioButton>("Option_Explicit")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("Option_ADI")->isChecked());
    // An output box's background is the colour of a scroll bar's trough.
    const QPalette output = control("Text_dx")->palette();
    EXPECT_EQ(output.color(QPalette::Disabled, QPalette::Base),
              output.color(QPalette::Active, QPalette::Button));

    // Blank pictures of the boxes' client areas in their backgrounds.
    const std::pair<PictureId, std::array<int, 5>> pictures[] = {
        {PictureId::Picture_Paint, {163, 163, 240, 240, 240}},
        {PictureId::Picture_3DGraph, {261, 229, 255, 255, 192}},
        {PictureId::Picture3, {285, 261, 240, 240, 240}}};
    for (const auto& [id, p] : pictures) {
        const QImage& image = form.image(id);
        EXPECT_EQ(image.size(), QSize(p[0], p[1]));
        EXPECT_TRUE(is_blank(image));
        EXPECT_EQ(image.pixelColor(0, 0), QColor(p[2], p[3], p[4]));
    }

    // Whole degrees from 10 to 90, 30 at start; the view follows the thumb
    // when it is let go, not while it is dragged.
    auto* scroll = control<QScrollBar>("HScroll_Alfa");
    EXPECT_EQ((std::array{scroll->minimum(), scroll->value(), scroll->maximum()}),
              (std::array{10, 30, 90}));
    scroll->setSliderDown(true);
    scroll->setSliderPosition(50);
    EXPECT_EQ(text_of("Text_Alfa"), "30");
    scroll->setSliderDown(false);
    EXPECT_EQ(text_of("Text_Alfa"), "50");
}

TEST_F(Form1Test, KeyboardFollowsTabOrderAndNeitherEnterNorEscapeCalculates) {
    show();
    for (const char* name :
         {"Command1", "Text_MaxTime", "Text_Nx", "Text_Ny", "Text_Tw3", "Text_Tw4", "Text_Tw2",
          "Text_Tw1", "Text_Tfield", "HScroll_Alfa", "Text_Alfa", "Option_Explicit"}) {
        key(Qt::Key_Tab);
        EXPECT_EQ(focused(), name);
    }
    QTest::mouseClick(control("Text_dx"), Qt::LeftButton);  // disabled: no focus
    EXPECT_EQ(focused(), "Option_Explicit");
    // The two options are one stop, at the selected one.
    control<QRadioButton>("Option_ADI")->click();
    control("Text_Alfa")->setFocus();
    for (const char* name : {"Option_ADI", "Command1"}) {
        key(Qt::Key_Tab);
        EXPECT_EQ(focused(), name);
    }

    for (const char* name : {"Text_Nx", "Command1"}) {
        control(name)->setFocus();
        for (int k : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            key(k);
        }
    }
    QApplication::processEvents();
    EXPECT_TRUE(outcomes.empty());
    key(Qt::Key_Space);  // a click
    EXPECT_EQ(outcomes.size(), 1u);
}

TEST_F(Form1Test, CalculateShowsTheRunWritesResultsAndLetsTheScrollBarTurnTheView) {
    // The same run on a stand-in window tells what the window must show.
    FakeControls reference;
    ASSERT_EQ(Form1Core(reference).Command1_Click(), RunOutcome::Completed);
    const std::string reference_results = results();
    std::filesystem::remove("results.txt");
    auto* scroll = control<QScrollBar>("HScroll_Alfa");
    const QImage& view = form.image(PictureId::Picture_3DGraph);
    scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(text_of("Text_Alfa"), "31");
    EXPECT_FALSE(is_blank(view));  // the frame, before any run

    calculate();
    EXPECT_EQ(text_of("Text_iTime"), "50");
    EXPECT_EQ(text_of("Text_dx"), "0.05");
    EXPECT_EQ(text_of("Text_dy"), "0.05");
    EXPECT_EQ(text_of("Text_RMS"), reference[TextBoxId::Text_RMS]);
    EXPECT_EQ(control<QLineEdit>("Text_RMS")->cursorPosition(), 0);  // its start in view
    EXPECT_EQ(results(), reference_results);
    for (PictureId id : kBoxes) {
        EXPECT_FALSE(is_blank(form.image(id)));
    }
    // A typed angle waits for a run; the bar goes on from its own value.
    const QImage after_run = view.copy();
    type_into("Text_Alfa", "45");
    QApplication::processEvents();
    EXPECT_EQ(view, after_run);
    scroll->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(text_of("Text_Alfa"), "41");
    EXPECT_NE(view, after_run);

    // An ADI run leaves the spacings of the explicit run before.
    control<QRadioButton>("Option_ADI")->click();
    type_into("Text_Nx", "10");
    type_into("Text_MaxTime", "3");
    calculate();
    EXPECT_EQ(text_of("Text_iTime"), "3");
    EXPECT_EQ(text_of("Text_dx"), "0.05");
    EXPECT_EQ(text_of("Text_dy"), "0.05");
}

TEST_F(Form1Test, NoMethodShowsATitledMessageAndEndsTheProgram) {
    show();
    std::string seen;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = (box->windowTitle() + "|" + box->text()).toStdString();
            box->accept();
        }
    });
    answerer.start(5);
    // Only a program can clear both options.
    for (const char* name : {"Option_Explicit", "Option_ADI"}) {
        control<QRadioButton>(name)->setAutoExclusive(false);
        control<QRadioButton>(name)->setChecked(false);
    }
    calculate();
    EXPECT_EQ(seen, "heatplate|bir çözüm yöntemi seçiniz");
    EXPECT_FALSE(form.isVisible());
    // The program asked the application to quit, which stops every event
    // loop started after it; let it quit, for the tests after this one.
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
}

TEST_F(Form1Test, InputDuringARunWaitsForItsEndButEscapeEndsItWithResults) {
    show();
    auto* tfield = control<QLineEdit>("Text_Tfield");
    make_endless();
    QTimer::singleShot(50, &form, [this, tfield] {
        send_click(tfield);
        send_key(Qt::Key_End);
        send_key(Qt::Key_5);
        send_click(control("Option_ADI"));
        send_click(control("Command1"));
        // The angle turned by the program, not held as input: handled after the run.
        control<QScrollBar>("HScroll_Alfa")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QTest::keyPress(form.windowHandle(), Qt::Key_Escape);  // the press alone ends it
    });
    on_finished = [&] {
        if (outcomes.size() == 1) {
            EXPECT_EQ(outcomes[0], RunOutcome::Completed);
            // 102 lines of 102 fields of two spaces and three digits, and CR LF.
            EXPECT_EQ(results().size(), 102u * (102u * 5u + 2u));
            EXPECT_EQ(tfield->text(), "0");
            EXPECT_FALSE(control<QRadioButton>("Option_ADI")->isChecked());
            type_into("Text_MaxTime", "4");  // for the second run
        }
    };
    calculate();
    // Then the click into the box and the typing, the option, and a second run.
    ASSERT_TRUE(QTest::qWaitFor([this] { return outcomes.size() == 2; }, 5000));
    EXPECT_EQ(tfield->text(), "05");
    EXPECT_EQ(text_of("Text_iTime"), "4");
    EXPECT_EQ(form.core().state().Tfield, 5);
    EXPECT_EQ(text_of("Text_Alfa"), "31");
}

// A click addressed straight to a control, not through the window, also
// waits for the run and then gives that control the focus as a click does.
TEST_F(Form1Test, AClickDuringARunFocusesItsControlAfterTheRun) {
    show();
    for (const char* name : {"Option_ADI", "Text_Tfield"}) {
        SCOPED_TRACE(name);
        make_endless();
        QTimer::singleShot(50, &form, [this, name] {
            QWidget* target = control(name);
            const QPointF at(8, 8);
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QMouseEvent click(type, at, target->mapToGlobal(at), Qt::LeftButton,
                                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                  Qt::NoModifier);
                QCoreApplication::sendEvent(target, &click);
            }
            send_key(Qt::Key_Escape);
        });
        calculate();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !form.running(); }, 5000));
        QApplication::processEvents();
        EXPECT_EQ(focused(), name);
    }
    EXPECT_TRUE(control<QRadioButton>("Option_ADI")->isChecked());
}

TEST_F(Form1Test, CloseDuringARunAbandonsItWithoutResultsThenCloses) {
    show();
    make_endless(50);
    calculate();
    EXPECT_EQ(outcomes, std::vector<RunOutcome>{RunOutcome::Abandoned});
    EXPECT_FALSE(std::filesystem::exists("results.txt"));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(Form1Test, TheScrollBarsKeysTurnTheViewTheClassicWay) {
    show();
    auto* scroll = control<QScrollBar>("HScroll_Alfa");
    scroll->setFocus(Qt::TabFocusReason);
    const QImage& view = form.image(PictureId::Picture_3DGraph);
    const struct {
        Qt::Key key;
        const char* angle;
        bool turns;
    } presses[] = {{Qt::Key_Right, "31", true},    {Qt::Key_Down, "32", true},
                   {Qt::Key_Left, "31", true},     {Qt::Key_Up, "30", true},
                   {Qt::Key_PageDown, "40", true}, {Qt::Key_PageUp, "30", true},
                   {Qt::Key_End, "90", true},      {Qt::Key_Right, "90", false},
                   {Qt::Key_Home, "10", true},     {Qt::Key_Left, "10", false}};
    for (const auto& p : presses) {
        SCOPED_TRACE(::testing::Message() << "key " << static_cast<int>(p.key));
        const QImage before = view.copy();
        send_key(p.key);
        EXPECT_EQ(text_of("Text_Alfa"), p.angle);
        EXPECT_EQ(std::to_string(scroll->value()), p.angle);
        EXPECT_EQ(view != before, p.turns);
    }
}

TEST_F(Form1Test, EveryFocusableControlShowsTheFocusHoweverItCame) {
    show();
    // No key has been pressed in this window: the focus comes by click or
    // by program, which the toolkit's styles leave unmarked.
    for (const char* name :
         {"Command1", "Option_Explicit", "HScroll_Alfa", "Text_Nx", "Text_MaxTime", "Text_Alfa"}) {
        SCOPED_TRACE(name);
        QWidget* c = control(name);
        control("Text_Tfield")->setFocus(Qt::MouseFocusReason);
        ASSERT_FALSE(c->hasFocus());
        const QImage without = c->grab().toImage();
        c->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(c->hasFocus());
        const QImage with = c->grab().toImage();
        EXPECT_NE(with, without);
        if (std::string_view(name) != "Option_Explicit" &&
            std::string_view(name) != "HScroll_Alfa") {
            continue;  // a text box's or a button's focus mark is the style's own
        }
        // The mark is a whole frame in the highlight colour: all four of its
        // sides show.
        const QRgb highlight = c->palette().color(QPalette::Highlight).rgb();
        QRect frame;
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x)
                if (with.pixel(x, y) == highlight && without.pixel(x, y) != highlight)
                    frame |= QRect(x, y, 1, 1);
        ASSERT_FALSE(frame.isEmpty());
        for (const auto& [from, step, length] :
             {std::tuple{frame.topLeft(), QPoint(1, 0), frame.width()},
              {frame.bottomLeft(), QPoint(1, 0), frame.width()},
              {frame.topLeft(), QPoint(0, 1), frame.height()},
              {frame.topRight(), QPoint(0, 1), frame.height()}}) {
            for (int k = 0; k < length; ++k)
                EXPECT_EQ(with.pixel(from + k * step), highlight) << k;
        }
    }
    // The marks leave every control where the table puts it.
    EXPECT_EQ(control("HScroll_Alfa")->geometry(),
              QRect(px(1200) + 2, px(3120) + 2, px(2055), px(255)));
    EXPECT_EQ(control("Option_ADI")->geometry(), QRect(px(240), px(840), px(1455), px(375)));
}

// Whether the box shows every character of its text: the start stays in
// view with the cursor at the end.
bool shows_whole_text(QLineEdit* box) {
    box->setCursorPosition(static_cast<int>(box->text().size()));
    const QRect inside = box->contentsRect();
    // The toolkit widens the cursor's rectangle on both sides; its centre is the cursor.
    return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x() <= inside.right() &&
           box->cursorPositionAt(QPoint(inside.left() + 1, inside.center().y())) == 0;
}

TEST_F(Form1Test, TheStepBoxesShowSevenDigitsInFullAndKeepTheirSize) {
    show();
    auto* max_time = control<QLineEdit>("Text_MaxTime");
    auto* step = control<QLineEdit>("Text_iTime");
    const QSize max_time_size = max_time->size();
    const QSize step_size = step->size();
    const QFont usual = control("Text_Nx")->font();

    type_into("Text_MaxTime", "1000000");
    form.set_text(TextBoxId::Text_iTime, "1000000");
    EXPECT_TRUE(shows_whole_text(max_time));
    EXPECT_TRUE(shows_whole_text(step));
    // Typing into a box whose text fills it.
    max_time->setFocus();
    QTest::keyClick(max_time, Qt::Key_End);
    QTest::keyClicks(max_time, "0");
    EXPECT_EQ(max_time->text(), "10000000");
    EXPECT_TRUE(shows_whole_text(max_time));
    EXPECT_EQ(max_time->size(), max_time_size);
    EXPECT_EQ(step->size(), step_size);

    // Short numbers go back to the window's font.
    type_into("Text_MaxTime", "50");
    EXPECT_TRUE(shows_whole_text(max_time));
    EXPECT_EQ(QFontInfo(max_time->font()).family(), QFontInfo(usual).family());
    EXPECT_EQ(QFontMetrics(max_time->font()).horizontalAdvance("50"),
              QFontMetrics(usual).horizontalAdvance("50"));

    // A larger font for the window: the long number is fitted again.
    QFont larger = form.font();
    larger.setPointSizeF(larger.pointSizeF() * 1.25);
    form.setFont(larger);
    EXPECT_TRUE(shows_whole_text(step));
}

TEST_F(Form1Test, InputsCalculateTheScrollBarAndPicturesExplainThemselves) {
    const std::string point = "decimal separator is always a point";
    for (const char* name : {"Text_Tw1", "Text_Tw2", "Text_Tw3", "Text_Tw4", "Text_Tfield",
                             "Text_MaxTime", "Text_Alfa"}) {
        EXPECT_NE(control(name)->toolTip().toStdString().find(point), std::string::npos) << name;
    }
    for (const char* name : {"Text_Nx", "Text_Ny"}) {
        EXPECT_NE(control(name)->toolTip().toStdString().find("from 2 to 101"), std::string::npos)
            << name;
    }
    for (const char* name : {"Option_Explicit", "Option_ADI", "HScroll_Alfa"}) {
        EXPECT_FALSE(control(name)->toolTip().isEmpty()) << name;
    }
    const std::string calculate = control("Command1")->toolTip().toStdString();
    EXPECT_NE(calculate.find("Escape ends a run"), std::string::npos) << calculate;
    EXPECT_NE(calculate.find("Closing the window abandons"), std::string::npos) << calculate;
    for (const char* name : {"Picture_Paint", "Picture_3DGraph", "Picture3"}) {
        EXPECT_NE(control(name)->toolTip().toStdString().find("Right-click to save or copy"),
                  std::string::npos)
            << name;
    }
}

TEST_F(Form1Test, AnOverflowLeavesNoResidualOfTheRunBefore) {
    show();
    calculate();
    ASSERT_FALSE(text_of("Text_RMS").empty());
    std::string message;
    answer_modal<QMessageBox>([&](QMessageBox* box) {
        message = box->text().toStdString();
        // The user's key reaches the box, although a run is under way.
        QTest::keyClick(box, Qt::Key_Return);
        QTimer::singleShot(3000, box, [box] {
            ADD_FAILURE() << "the message box took no key";
            box->accept();
        });
    });
    type_into("Text_Tw1", "1e308");
    type_into("Text_Tw3", "-1e308");
    calculate();
    EXPECT_EQ(outcomes.back(), RunOutcome::Diverged);
    EXPECT_NE(message.find("diverged at step 1"), std::string::npos) << message;
    EXPECT_EQ(text_of("Text_iTime"), "1");
    EXPECT_EQ(text_of("Text_RMS"), "overflow");
}

// What the X server reports to the window's owner once another program has
// destroyed the window.
void report_destroyed(WId window) {
    xcb_destroy_notify_event_t event{};
    event.response_type = XCB_DESTROY_NOTIFY;
    event.event = static_cast<xcb_window_t>(window);
    event.window = static_cast<xcb_window_t>(window);
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &event, &result);
}

TEST_F(Form1Test, AWindowDestroyedFromOutsideEndsTheRunWithoutResultsAndCloses) {
    show();
    make_endless();
    QTimer::singleShot(50, &form, [this] {
        // Another window's end, and one that another client only claims.
        report_destroyed(form.winId() + 1);
        xcb_destroy_notify_event_t sent{};
        sent.response_type = XCB_DESTROY_NOTIFY | 0x80;
        sent.window = static_cast<xcb_window_t>(form.winId());
        qintptr result = 0;
        QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &sent,
                                                                &result);
        QTimer::singleShot(100, &form, [this] { report_destroyed(form.winId()); });
    });
    QElapsedTimer clock;
    clock.start();
    calculate();
    EXPECT_LT(clock.elapsed(), 10000);  // not the fallback close
    EXPECT_GE(clock.elapsed(), 100);
    EXPECT_EQ(outcomes, std::vector<RunOutcome>{RunOutcome::Abandoned});
    EXPECT_FALSE(std::filesystem::exists("results.txt"));
    EXPECT_FALSE(form.isVisible());

    // Between runs the window just closes.
    Form1 idle;
    idle.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&idle));
    report_destroyed(idle.winId());
    EXPECT_TRUE(QTest::qWaitFor([&idle] { return !idle.isVisible(); }, 5000));
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Steps per second of live 101 x 101 runs on a real display, without and
// with recording, alternately so that both meet the same load:
// QT_QPA_PLATFORM=xcb xvfb-run -a test_window --gtest_also_run_disabled_tests
// --gtest_filter='*LiveRunSpeed*'
TEST_F(Form1Test, DISABLED_LiveRunSpeed) {
    // Exposed is enough: without a window manager the window is never active.
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    type_into("Text_Nx", "101");
    type_into("Text_Ny", "101");
    type_into("Text_MaxTime", "20000");
    constexpr int kRounds = 7;
    for (const char* method : {"Option_Explicit", "Option_ADI"}) {
        control<QRadioButton>(method)->click();
        std::vector<double> rates[2];  // recording off, on
        for (int round = 0; round < kRounds; ++round) {
            for (const bool on : {round % 2 == 0, round % 2 != 0}) {
                form.recording().set_enabled(on);
                QElapsedTimer clock;
                clock.start();
                calculate();
                rates[on].push_back(20000 / (clock.nsecsElapsed() * 1e-9));
            }
        }
        const double off = median(rates[0]);
        const double on = median(rates[1]);
        std::printf("%s: %.0f steps/s without recording, %.0f with (%+.1f %%), %lld frames\n",
                    method, off, on, 100 * (on / off - 1),
                    static_cast<long long>(form.recording().frames()));
        EXPECT_GE(off, 5000) << method;
        // A frame of the batch's plan redraws the 3-D view, which the screen shows far less often.
        EXPECT_GE(on, 0.7 * off) << method;
    }
    // What one frame costs, without the noise of whole runs.
    struct Discard final : FrameSink {
        std::optional<std::string> take(const PictureFrames&, int) override { return std::nullopt; }
    } discard;
    const char* const names[kPictureCount] = {"Picture_Paint", "Picture_3DGraph", "Picture3"};
    FrameRecorder::Boxes boxes{};
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        boxes[k] = &control<PictureBox>(names[k])->drawing();
    }
    FrameRecorder recorder(form.core(), boxes, discard);
    constexpr int kFrames = 500;
    QElapsedTimer clock;
    clock.start();
    for (int k = 0; k < kFrames; ++k) {
        recorder.capture();
    }
    const double ms = clock.nsecsElapsed() * 1e-6 / kFrames;
    std::printf("one frame of the three pictures: %.3f ms, %.1f %% of a run at 60 frames/s\n", ms,
                ms * 60 / 10);
}

}  // namespace
}  // namespace heatplate
