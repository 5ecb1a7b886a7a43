// The window at rest: its start state, where its controls stand, the
// keyboard, and the angle scroll bar.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <cmath>
#include <filesystem>

#include "tests/app/window/window_support.h"
#include "tests/support/temp_dir.h"
#include "view/box_geometry.h"

namespace heatplate {
namespace {

using namespace heatplate::testing;

constexpr PictureId kBoxes[] = {PictureId::Picture_Paint, PictureId::Picture_3DGraph,
                                PictureId::Picture3};

class Form1Test : public ::testing::Test {
  protected:
    Form1Test() : cwd_(dir_.path()) {}
    void show() {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    int px(int twips) const { return std::lround(twips * form.logicalDpiX() / 1440.0); }
    static std::string focused() { return QApplication::focusWidget()->objectName().toStdString(); }
    static void key(int k) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(k)); }

    TempDir dir_;
    ScopedWorkingDir cwd_;
    Form1 form;
};

TEST_F(Form1Test, StartsWithTheDesignedTextsSelectionAndBlankBoxes) {
    EXPECT_EQ(form.windowTitle(), "Form1");
    const struct {
        const char* name;
        const char* text;
        bool enabled;
    } boxes[] = {
        {"Text_Nx", "20", true},    {"Text_Ny", "20", true},    {"Text_MaxTime", "50", true},
        {"Text_Tw1", "100", true},  {"Text_Tw2", "100", true},  {"Text_Tw3", "100", true},
        {"Text_Tw4", "100", true},  {"Text_Tfield", "0", true}, {"Text_Alfa", "30", true},
        {"Text_iTime", "0", false}, {"Text_dx", "", false},     {"Text_dy", "", false},
        {"Text_RMS", "", false}};
    for (const auto& b : boxes) {
        EXPECT_EQ(text_of(form, b.name), b.text) << b.name;
        EXPECT_EQ(control(form, b.name)->isEnabled(), b.enabled) << b.name;
    }
    EXPECT_TRUE(control<QRadioButton>(form, "Option_Explicit")->isChecked());
    EXPECT_FALSE(control<QRadioButton>(form, "Option_ADI")->isChecked());
    EXPECT_EQ(control<QScrollBar>(form, "HScroll_Alfa")->value(), 30);
    EXPECT_EQ(control<QScrollBar>(form, "HScroll_Alfa")->maximum(), 90);
    EXPECT_EQ(control<QLabel>(form, "Label12")->text(), QString::fromUtf8("α"));
    for (PictureId id : kBoxes) {
        EXPECT_TRUE(is_blank(form.image(id)));
    }
}

TEST_F(Form1Test, PlacesControlsByTheirTwipsInsideTheirContainers) {
    EXPECT_EQ(form.size(), QSize(px(11880), px(8295)));
    EXPECT_EQ(control(form, "Command1")->geometry(), QRect(px(495), px(1680), px(1800), px(615)));
    // In a frame, from the frame's corner.
    EXPECT_EQ(control(form, "Text_Tfield")->parentWidget()->objectName(), "Frame3");
    EXPECT_EQ(control(form, "Text_Tfield")->pos(), QPoint(px(2520), px(3720)));
    // In a drawing box, from the corner of the client area inside the 2-pixel border.
    EXPECT_EQ(control(form, "Text_Alfa")->parentWidget()->objectName(), "Picture_3DGraph");
    EXPECT_EQ(control(form, "Text_Alfa")->pos(), QPoint(px(840) + 2, px(3120) + 2));
    EXPECT_EQ(control(form, "Text_RMS")->parentWidget()->objectName(), "Picture3");
    // The pictures are as large as the headless runner's when a unit is a pixel.
    if (form.logicalDpiX() == 96 && form.devicePixelRatioF() == 1) {
        for (PictureId id : kBoxes) {
            EXPECT_EQ(form.image(id).size(),
                      QSize(box_geometry(id).width, box_geometry(id).height));
        }
    }
}

TEST_F(Form1Test, TabVisitsTheFocusableControlsByTabPositionOptionsAsOneStop) {
    show();
    EXPECT_EQ(focused(), "Option_Explicit");
    for (const char* name :
         {"Command1", "Text_MaxTime", "Text_Nx", "Text_Ny", "Text_Tw3", "Text_Tw4", "Text_Tw2",
          "Text_Tw1", "Text_Tfield", "HScroll_Alfa", "Text_Alfa", "Option_Explicit"}) {
        key(Qt::Key_Tab);
        EXPECT_EQ(focused(), name);
    }
    key(Qt::Key_Backtab);
    EXPECT_EQ(focused(), "Text_Alfa");
    // The option stop follows the selection; arrows move both.
    control<QRadioButton>(form, "Option_ADI")->setChecked(true);
    key(Qt::Key_Tab);
    EXPECT_EQ(focused(), "Option_ADI");
    key(Qt::Key_Up);
    EXPECT_EQ(focused(), "Option_Explicit");
    EXPECT_TRUE(control<QRadioButton>(form, "Option_Explicit")->isChecked());
}

TEST_F(Form1Test, KeysThatMustNotRunOrReachADisabledBox) {
    show();
    auto* nx = control<QLineEdit>(form, "Text_Nx");
    nx->setFocus();
    for (int k : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        key(k);
    }
    auto* dx = control<QLineEdit>(form, "Text_dx");
    QTest::mouseClick(dx, Qt::LeftButton);
    dx->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), nx);
    QTest::keyClicks(dx, "12");
    EXPECT_EQ(dx->text(), "");

    control(form, "Command1")->setFocus();
    key(Qt::Key_Return);
    key(Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(text_of(form, "Text_iTime"), "0");
    EXPECT_FALSE(std::filesystem::exists("results.txt"));
    key(Qt::Key_Space);  // a click
    EXPECT_EQ(text_of(form, "Text_iTime"), "50");
}

TEST_F(Form1Test, ScrollBarWritesTheAngleAndRedrawsTheView) {
    auto* scroll = control<QScrollBar>(form, "HScroll_Alfa");
    const QImage& view = form.image(PictureId::Picture_3DGraph);
    // Before any run: the frame alone, black on yellow.
    scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(text_of(form, "Text_Alfa"), "31");
    EXPECT_FALSE(is_blank(view));
    for (int y = 0; y < view.height(); ++y) {
        for (int x = 0; x < view.width(); ++x) {
            const QRgb p = view.pixel(x, y) & 0xFFFFFFu;
            ASSERT_TRUE(p == 0 || p == 0xFFFFC0u);
        }
    }

    control<QPushButton>(form, "Command1")->click();
    const QImage after_run = view.copy();
    // A typed angle waits for the next run; the bar goes on from its own value.
    type_into(form, "Text_Alfa", "45");
    QApplication::processEvents();
    EXPECT_EQ(view, after_run);
    scroll->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(text_of(form, "Text_Alfa"), "41");
    EXPECT_NE(view, after_run);

    // A dragged thumb acts when let go.
    scroll->setSliderDown(true);
    scroll->setSliderPosition(70);
    EXPECT_EQ(text_of(form, "Text_Alfa"), "41");
    scroll->setSliderDown(false);
    EXPECT_EQ(text_of(form, "Text_Alfa"), "70");
}

}  // namespace
}  // namespace heatplate
