#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "run/control_table.h"
#include "run/controls.h"
#include "run/form1_core.h"
#include "window/input_gate.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace heatplate {

class ImageDrawingBox;
class PictureBox;
class TeeDrawingBox;
class PictureMenu;
class WindowLossWatch;
class WindowRecording;

// The main window: the controls, laid out in twips as the window was
// designed, and the window object that runs the calculation behind them.
//
// A run keeps the window's thread from start to end, as CALCULATE always
// has, but shows its progress: after a step, at most at the display's rate,
// it puts the outputs and pictures on the screen. The user's input waits for
// the end of the run, except Escape, which ends the run after the current
// step as if that step had been the last, and a close request, which ends it
// without writing the results file and then closes the window. Another
// program destroying the window ends a run the same way, and the window.
// The pictures a run shows are recorded, for the pictures' menus to save as
// animations.
class Form1 final : public QWidget, public Controls {
    Q_OBJECT

  public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    Form1Core& core() { return core_; }
    bool running() const { return running_; }
    // The picture of a drawing box. It shares the box's pixels, so it shows
    // whatever the box shows from then on; copy() keeps a moment of it.
    QImage image(PictureId box) const;
    // The context menu of a drawing box.
    PictureMenu& picture_menu(PictureId box) {
        return *picture_menus_[static_cast<std::size_t>(box)];
    }
    // The frames of the last run, which the menus save as animations.
    WindowRecording& recording() { return *recording_; }

    std::string text(TextBoxId box) const override;
    void set_text(TextBoxId box, const std::string& text) override;
    bool selected(OptionId option) const override;
    int scroll_value() const override;
    DrawingBox& picture(PictureId box) override;
    void message(const std::string& text) override;
    void end_program() override;
    NumberSeparators separators() const override;
    StepVerdict step_done(std::int64_t iTime) override;
    bool defers_view3d() const override { return true; }
    // Off, a run is shown only as often as the display allows, however few
    // of its steps that makes (for tests that make many runs).
    void set_paced(bool on) { paced_ = on; }
    std::optional<std::string> save_results(const std::string& bytes) override;

  signals:
    void run_finished(heatplate::RunOutcome outcome);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Command1_Click();
    void HScroll_Alfa_Change();

    int twips_x(int twips) const;
    int twips_y(int twips) const;
    QRect twips_rect(int left, int top, int width, int height) const;
    // Makes the control of a table entry in its container, which the table
    // lists before it.
    void add_control(const ControlEntry& entry);
    QWidget* container_of(const ControlEntry& entry);
    // Names and places a control in its container (the window, a frame or
    // a drawing box) and gives it its tab position.
    void place(QWidget* control, const ControlEntry& entry, QWidget* container);
    QWidget* add_command_button(const ControlEntry& entry, QWidget* container);
    QWidget* add_option(const ControlEntry& entry, QWidget* container);
    QWidget* add_text_box(const ControlEntry& entry, QWidget* container);
    QWidget* add_label(const ControlEntry& entry, QWidget* container);
    QWidget* add_picture(const ControlEntry& entry, QWidget* container);
    QWidget* add_scroll_bar(const ControlEntry& entry, QWidget* container);
    void chain_tab_order();
    void fit_font();
    // The picture as the user sees it, brought up to date, to save or copy.
    QImage current_picture(PictureId box);
    void window_lost();
    void record_runs();
    // The pictures' menus offer the data behind them and SVG pictures.
    void offer_data();

    // Puts the texts and pictures a run has changed on the screen.
    void show_outputs();
    void present();
    void release_held_input();

    Form1Core core_;
    double dpi_x_ = 96;
    double dpi_y_ = 96;
    std::array<QWidget*, kControlCount> by_tab_{};
    std::array<QLineEdit*, kTextBoxCount> text_boxes_{};
    std::array<PictureBox*, kPictureCount> pictures_{};
    std::array<PictureMenu*, kPictureCount> picture_menus_{};
    std::array<QRadioButton*, 2> options_{};
    QPushButton* Command1 = nullptr;
    QScrollBar* HScroll_Alfa = nullptr;

    // Output texts set during a run wait here until they are shown: a run
    // sets them every step, far more often than the screen can show them.
    std::array<std::string, kTextBoxCount> pending_texts_;
    std::array<bool, kTextBoxCount> text_pending_{};

    bool running_ = false;
    bool close_requested_ = false;  // during a run
    bool ending_ = false;           // the window is closing for good
    bool scroll_change_pending_ = false;
    bool paced_ = true;
    bool ran_ = false;  // a run has been made, whose data the menus offer
    InputGate gate_;
    QElapsedTimer since_shown_;
    std::int64_t frame_interval_ns_ = 16'666'667;
    std::unique_ptr<WindowLossWatch> window_watch_;
    std::unique_ptr<WindowRecording> recording_;
    // The pictures at the size of the saved files, where the screen shows
    // them larger, and the boxes that draw into both.
    std::array<std::unique_ptr<ImageDrawingBox>, kPictureCount> saved_size_;
    std::array<std::unique_ptr<TeeDrawingBox>, kPictureCount> tees_;
};

}  // namespace heatplate
