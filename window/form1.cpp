#include "window/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "desktop/atomic_file.h"
#include "desktop/image_file.h"
#include "desktop/locale_separators.h"
#include "raster/tee_drawing_box.h"
#include "run/control_table.h"
#include "run/field_data.h"
#include "run/picture_svg.h"
#include "view/box_geometry.h"
#include "window/classic_scroll_bar.h"
#include "window/fitting_line_edit.h"
#include "window/focus_style.h"
#include "window/picture_box.h"
#include "window/picture_menu.h"
#include "window/window_recording.h"
#include "window/window_watch.h"

namespace heatplate {
namespace {

constexpr double kTwipsPerInch = 1440;

std::size_t index(TextBoxId box) {
    return static_cast<std::size_t>(box);
}
std::size_t index(PictureId box) {
    return static_cast<std::size_t>(box);
}

QColor colour_of(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// One for every window, kept until the application ends: a widget must not
// outlive its style.
QStyle* focus_style() {
    static QPointer<FocusStyle> style;
    if (style.isNull()) {
        style = new FocusStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), core_(*this) {
    setObjectName(kWindowName);
    setWindowTitle(kWindowName);
    dpi_x_ = logicalDpiX();
    dpi_y_ = logicalDpiY();
    resize(twips_x(kWindowWidthTwips), twips_y(kWindowHeightTwips));
    for (const ControlEntry& entry : control_table()) {
        add_control(entry);
    }
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(HScroll_Alfa, &QScrollBar::valueChanged, this, &Form1::HScroll_Alfa_Change);
    chain_tab_order();
    fit_font();
    record_runs();
    offer_data();
    window_watch_ = std::make_unique<WindowLossWatch>(*this, [this] { window_lost(); });
}

QWidget* Form1::container_of(const ControlEntry& entry) {
    if (std::string_view(entry.container) == kWindowName) {
        return this;
    }
    return findChild<QWidget*>(QString::fromLatin1(entry.container));
}

void Form1::add_control(const ControlEntry& entry) {
    QWidget* container = container_of(entry);
    QWidget* control = nullptr;
    switch (entry.kind) {
        case ControlKind::Frame: {
            // A frame without a title: an etched line around the controls it groups.
            auto* frame = new QFrame(container);
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
            control = frame;
            break;
        }
        case ControlKind::CommandButton:
            control = add_command_button(entry, container);
            break;
        case ControlKind::OptionButton:
            control = add_option(entry, container);
            break;
        case ControlKind::Label:
            control = add_label(entry, container);
            break;
        case ControlKind::TextBox:
            control = add_text_box(entry, container);
            break;
        case ControlKind::PictureBox:
            control = add_picture(entry, container);
            break;
        case ControlKind::HScrollBar:
            control = add_scroll_bar(entry, container);
            break;
    }
    place(control, entry, container);
}

Form1::~Form1() = default;

void Form1::record_runs() {
    // The animations have the pictures' size in every saved file; on a
    // screen that shows them at more pixels, they are drawn a second time
    // at that size.
    FrameRecorder::Boxes boxes{};
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        ImageDrawingBox& shown = pictures_[k]->drawing();
        const BoxGeometry& g = box_geometry(static_cast<PictureId>(k));
        if (shown.image().width != g.width || shown.image().height != g.height) {
            saved_size_[k] =
                std::make_unique<ImageDrawingBox>(g.width, g.height, g.background, g.foreground);
            tees_[k] = std::make_unique<TeeDrawingBox>(shown, *saved_size_[k]);
        }
        boxes[k] = saved_size_[k] ? saved_size_[k].get() : &shown;
    }
    recording_ = std::make_unique<WindowRecording>(core_, boxes);
    for (std::size_t k = 0; k < picture_menus_.size(); ++k) {
        picture_menus_[k]->add_animation([this, k](const QString& path) {
            return recording_->save(static_cast<PictureId>(k), path);
        });
    }
}

void Form1::offer_data() {
    for (std::size_t k = 0; k < picture_menus_.size(); ++k) {
        const auto id = static_cast<PictureId>(k);
        PictureMenu& menu = *picture_menus_[k];
        menu.set_vector_picture([this, id] {
            core_.refresh_view3d();
            return picture_svg(id, core_, pictures_[index(id)]->drawing().image());
        });
        // The map and the 3-D view show the field; the chart, the residuals.
        if (id == PictureId::Picture3) {
            menu.add_data(
                [this](char separator) { return residual_table(core_.residuals(), separator); });
        } else {
            menu.add_data([this](char separator) { return field_table(core_.state(), separator); });
        }
    }
}

int Form1::twips_x(int twips) const {
    return static_cast<int>(std::lround(twips * dpi_x_ / kTwipsPerInch));
}

int Form1::twips_y(int twips) const {
    return static_cast<int>(std::lround(twips * dpi_y_ / kTwipsPerInch));
}

QRect Form1::twips_rect(int left, int top, int width, int height) const {
    return {twips_x(left), twips_y(top), twips_x(width), twips_y(height)};
}

void Form1::place(QWidget* control, const ControlEntry& entry, QWidget* container) {
    control->setObjectName(entry.name);
    QRect r = twips_rect(entry.left, entry.top, entry.width, entry.height);
    if (const auto* box = dynamic_cast<const PictureBox*>(container)) {
        r.translate(box->client_origin());
    }
    control->setGeometry(r);
    control->setStyle(focus_style());
    if (*entry.tip != '\0') {
        control->setToolTip(QString::fromUtf8(entry.tip));
    }
    by_tab_[static_cast<std::size_t>(entry.tab)] = control;
}

QWidget* Form1::add_command_button(const ControlEntry& entry, QWidget* container) {
    Command1 = new QPushButton(QString::fromUtf8(entry.text), container);
    // Neither default nor cancel button: Enter and Escape never press it.
    Command1->setAutoDefault(false);
    Command1->setDefault(false);
    return Command1;
}

QWidget* Form1::add_option(const ControlEntry& entry, QWidget* container) {
    // Sharing a frame makes the options exclude each other.
    auto* option = new QRadioButton(QString::fromUtf8(entry.text), container);
    option->setChecked(entry.value == 1);
    options_[static_cast<std::size_t>(entry.id)] = option;
    // The options are one stop of the tab order, at the selected one, as in
    // the classic dialogs; the arrow keys move the selection between them.
    auto tab_stop_at_selection = [option](bool checked) {
        option->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    };
    tab_stop_at_selection(option->isChecked());
    connect(option, &QRadioButton::toggled, option, tab_stop_at_selection);
    return option;
}

QWidget* Form1::add_text_box(const ControlEntry& entry, QWidget* container) {
    const auto id = static_cast<TextBoxId>(entry.id);
    const QString text = QString::fromUtf8(entry.text);
    // The step counts grow to seven digits and more in boxes made for four.
    QLineEdit* box = id == TextBoxId::Text_MaxTime || id == TextBoxId::Text_iTime
                         ? new FittingLineEdit(text, container)
                         : new QLineEdit(text, container);
    if (!entry.enabled) {
        box->setEnabled(false);
        // An output box's background is the scroll-bar colour. Qt has no role
        // for that; its styles paint a scroll bar's trough in the button colour.
        QPalette pal = box->palette();
        pal.setColor(QPalette::Disabled, QPalette::Base,
                     pal.color(QPalette::Active, QPalette::Button));
        box->setPalette(pal);
    }
    text_boxes_[index(id)] = box;
    return box;
}

QWidget* Form1::add_label(const ControlEntry& entry, QWidget* container) {
    auto* label = new QLabel(QString::fromUtf8(entry.text), container);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A label lies beneath the boxes it overlaps.
    label->lower();
    // Inside a drawing box a label is opaque in the box's background, so
    // that the chart's line passes under the residual's label.
    if (const auto* box = dynamic_cast<const PictureBox*>(container)) {
        label->setAutoFillBackground(true);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, colour_of(box->background()));
        label->setPalette(pal);
    }
    return label;
}

QWidget* Form1::add_picture(const ControlEntry& entry, QWidget* container) {
    const auto id = static_cast<PictureId>(entry.id);
    const BoxGeometry& colours = box_geometry(id);
    auto* box = new PictureBox(container, QSize(twips_x(entry.width), twips_y(entry.height)),
                               devicePixelRatioF(), colours.background, colours.foreground);
    // A picture box handles no keys; a focus stop that shows nothing would
    // only lose the user's place.
    box->setFocusPolicy(Qt::NoFocus);
    pictures_[index(id)] = box;
    picture_menus_[index(id)] = new PictureMenu(box, QString::fromLatin1(picture_file_stem(id)),
                                                [this, id] { return current_picture(id); });
    return box;
}

QWidget* Form1::add_scroll_bar(const ControlEntry& entry, QWidget* container) {
    HScroll_Alfa = new ClassicScrollBar(container);
    // Whole degrees from 10 to 90: an arrow moves one degree, the trough ten.
    HScroll_Alfa->setRange(10, 90);
    HScroll_Alfa->setSingleStep(1);
    HScroll_Alfa->setPageStep(10);
    HScroll_Alfa->setValue(entry.value);
    // The view is redrawn when the thumb is let go, not while it is dragged.
    HScroll_Alfa->setTracking(false);
    HScroll_Alfa->setFocusPolicy(Qt::StrongFocus);
    return HScroll_Alfa;
}

void Form1::chain_tab_order() {
    // Labels, frames and drawing boxes take no focus, and the toolkit passes
    // over the disabled boxes, so only the rest need chaining.
    std::vector<QWidget*> chain;
    for (QWidget* control : by_tab_) {
        if (control != nullptr && control->focusPolicy() != Qt::NoFocus) {
            chain.push_back(control);
        }
    }
    for (std::size_t k = 1; k < chain.size(); ++k) {
        QWidget::setTabOrder(chain[k - 1], chain[k]);
    }
}

void Form1::fit_font() {
    // The window was laid out for an interface font narrower than most
    // platforms' own; the font gives way until every caption fits its label.
    constexpr double kSmallestPoints = 6;
    const QList<QLabel*> labels = findChildren<QLabel*>();
    auto fits = [&labels](const QFont& f) {
        const QFontMetrics metrics(f);
        return std::all_of(labels.begin(), labels.end(), [&metrics](const QLabel* label) {
            return metrics.horizontalAdvance(label->text()) <= label->width();
        });
    };
    QFont f = font();
    if (f.pointSizeF() <= 0) {
        return;
    }
    while (!fits(f) && f.pointSizeF() - 0.25 >= kSmallestPoints) {
        f.setPointSizeF(f.pointSizeF() - 0.25);
    }
    setFont(f);
}

QImage Form1::image(PictureId box) const {
    return qimage_view(pictures_[index(box)]->drawing().image());
}

QImage Form1::current_picture(PictureId box) {
    // The 3-D view is drawn when it is shown; a run may have moved on since.
    core_.refresh_view3d();
    pictures_[index(box)]->update_if_changed();
    return image(box).copy();
}

std::string Form1::text(TextBoxId box) const {
    if (text_pending_[index(box)]) {
        return pending_texts_[index(box)];
    }
    return text_boxes_[index(box)]->text().toStdString();
}

void Form1::set_text(TextBoxId box, const std::string& text) {
    if (running_) {
        pending_texts_[index(box)] = text;
        text_pending_[index(box)] = true;
        return;
    }
    QLineEdit* edit = text_boxes_[index(box)];
    edit->setText(QString::fromStdString(text));
    // Show the start of a text too long for its box.
    edit->setCursorPosition(0);
}

bool Form1::selected(OptionId option) const {
    return options_[static_cast<std::size_t>(option)]->isChecked();
}

int Form1::scroll_value() const {
    return HScroll_Alfa->value();
}

DrawingBox& Form1::picture(PictureId box) {
    if (tees_[index(box)]) {
        return *tees_[index(box)];
    }
    return pictures_[index(box)]->drawing();
}

void Form1::message(const std::string& text) {
    const InputGate::Pass pass(gate_);
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle),
                    QString::fromStdString(text), QMessageBox::Ok, this);
    box.exec();
}

void Form1::end_program() {
    ending_ = true;
    close();
    QCoreApplication::quit();
}

std::optional<std::string> Form1::save_results(const std::string& bytes) {
    return save_file_atomically(kResultsFile, bytes);
}

NumberSeparators Form1::separators() const {
    return separators_of(locale());
}

void Form1::Command1_Click() {
    if (running_) {
        return;
    }
    running_ = true;
    close_requested_ = false;
    if (const QScreen* s = screen(); s != nullptr && s->refreshRate() >= 1) {
        const double rate = std::min(s->refreshRate(), 60.0);
        frame_interval_ns_ = static_cast<std::int64_t>(1e9 / rate);
    }
    gate_.shut();
    since_shown_.start();
    recording_->begin_run();

    const RunOutcome outcome = core_.Command1_Click();

    recording_->end_run(outcome);
    gate_.open();
    running_ = false;
    show_outputs();
    ran_ = ran_ || outcome != RunOutcome::Refused;
    for (PictureMenu* menu : picture_menus_) {
        menu->enable_animation(recording_->has_run());
        menu->enable_data(ran_);
    }
    emit run_finished(outcome);

    if (ending_) {
        return;
    }
    if (close_requested_) {
        ending_ = true;
        close();
        return;
    }
    if (scroll_change_pending_) {
        scroll_change_pending_ = false;
        HScroll_Alfa_Change();
    }
    if (gate_.holds_input()) {
        QMetaObject::invokeMethod(this, &Form1::release_held_input, Qt::QueuedConnection);
    }
}

void Form1::HScroll_Alfa_Change() {
    // Held input never reaches the scroll bar during a run, but its own
    // repeat timer still can.
    if (running_) {
        scroll_change_pending_ = true;
        return;
    }
    core_.HScroll_Alfa_Change();
    pictures_[index(PictureId::Picture_3DGraph)]->update_if_changed();
}

StepVerdict Form1::step_done(std::int64_t iTime) {
    recording_->step_done(iTime);
    if (paced_ && is_shown_step(iTime, steps_of(core_.MaxTime()))) {
        // A run is seen evolving: this step is shown as a frame of its own,
        // a display frame after the last one.
        const std::int64_t wait_ns = frame_interval_ns_ - since_shown_.nsecsElapsed();
        if (wait_ns > 0) {
            QThread::usleep(static_cast<unsigned long>(wait_ns / 1000));
        }
        present();
    } else if (since_shown_.nsecsElapsed() >= frame_interval_ns_) {
        present();
    }
    if (close_requested_) {
        return StepVerdict::Abandon;
    }
    if (gate_.escape_pressed()) {
        return StepVerdict::StopAndSave;
    }
    return StepVerdict::Continue;
}

void Form1::show_outputs() {
    for (std::size_t k = 0; k < kTextBoxCount; ++k) {
        if (text_pending_[k]) {
            text_pending_[k] = false;
            text_boxes_[k]->setText(QString::fromStdString(pending_texts_[k]));
            text_boxes_[k]->setCursorPosition(0);
        }
    }
    core_.refresh_view3d();
    for (PictureBox* box : pictures_) {
        box->update_if_changed();
    }
}

void Form1::present() {
    show_outputs();
    // Paints, and lets the gate see the user's input; only Escape and a
    // close request act before the run is over.
    QCoreApplication::processEvents();
    since_shown_.restart();
}

void Form1::release_held_input() {
    // A run started since will hand the input back when it ends.
    if (running_) {
        return;
    }
    // Taken out first: a held click on CALCULATE starts a run in the middle
    // of this loop, and that run holds its own input.
    const std::vector<InputGate::HeldEvent> held = gate_.take_held();
    for (const InputGate::HeldEvent& event : held) {
        if (ending_) {
            return;
        }
        InputGate::deliver(event);
    }
}

void Form1::window_lost() {
    if (ending_) {
        return;
    }
    // As a close request: a run ends without writing the results file.
    if (running_) {
        close_requested_ = true;
        return;
    }
    ending_ = true;
    // Not from inside the window system's event.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (running_ && !ending_) {
        close_requested_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace heatplate
