#include "app/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/picture_box.h"
#include "platform/locale_separators.h"
#include "view/box_geometry.h"

namespace heatplate {
namespace {

constexpr double kTwipsPerInch = 1440;

// Light yellow behind the 3-D view and its angle label.
const QColor kLightYellow(255, 255, 192);

std::size_t index(TextBoxId box) {
    return static_cast<std::size_t>(box);
}
std::size_t index(PictureId box) {
    return static_cast<std::size_t>(box);
}

QColor colour_of(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), core_(*this) {
    setObjectName("Form1");
    setWindowTitle("Form1");
    dpi_x_ = logicalDpiX();
    dpi_y_ = logicalDpiY();
    resize(twips_x(11880), twips_y(8295));

    auto frame = [this](const char* name, int left, int top, int width, int height, int tab) {
        // A frame without a title: an etched line around the controls it groups.
        auto* box = new QFrame(this);
        box->setFrameStyle(QFrame::Box | QFrame::Sunken);
        place(box, name, this, left, top, width, height, tab);
        return box;
    };

    QFrame* Frame1 = frame("Frame1", 480, 120, 1815, 1455, 0);
    Command1 = new QPushButton("CALCULATE", this);
    // Neither default nor cancel button: Enter and Escape never press it.
    Command1->setAutoDefault(false);
    Command1->setDefault(false);
    place(Command1, "Command1", this, 495, 1680, 1800, 615, 3);
    QFrame* Frame2 = frame("Frame2", 240, 2520, 2295, 1695, 4);
    QFrame* Frame3 = frame("Frame3", 2760, 240, 3975, 4095, 18);
    PictureBox* Picture_3DGraph = add_picture(PictureId::Picture_3DGraph, "Picture_3DGraph", this,
                                              2760, 4440, 3975, 3495, 17);
    PictureBox* Picture3 =
        add_picture(PictureId::Picture3, "Picture3", this, 6840, 360, 4335, 3975, 30);

    // Sharing Frame1 makes the two options exclude each other.
    Option_Explicit = new QRadioButton("Explicit", Frame1);
    Option_Explicit->setChecked(true);
    place(Option_Explicit, "Option_Explicit", Frame1, 240, 240, 975, 375, 2);
    Option_ADI = new QRadioButton("ADI", Frame1);
    place(Option_ADI, "Option_ADI", Frame1, 240, 840, 1455, 375, 1);
    // The two options are one stop of the tab order, at the selected one, as
    // in the classic dialogs; the arrow keys move the selection between them.
    auto tab_stop_at_selection = [](QRadioButton* option, bool checked) {
        option->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QRadioButton* option : {Option_Explicit, Option_ADI}) {
        tab_stop_at_selection(option, option->isChecked());
        connect(option, &QRadioButton::toggled, option,
                [option, tab_stop_at_selection](bool on) { tab_stop_at_selection(option, on); });
    }

    add_label("Label1", Frame2, 360, 360, 375, 375, 12, "Nx");
    add_text_box(TextBoxId::Text_Nx, "Text_Nx", Frame2, 600, 360, 495, 285, 8, "20");
    add_label("Label4", Frame2, 1260, 360, 375, 255, 9, "dx");
    add_text_box(TextBoxId::Text_dx, "Text_dx", Frame2, 1560, 360, 585, 285, 5, "", false);
    add_label("Label9", Frame2, 360, 720, 255, 255, 15, "Ny");
    add_text_box(TextBoxId::Text_Ny, "Text_Ny", Frame2, 600, 720, 495, 285, 16, "20");
    add_label("Label8", Frame2, 1260, 720, 255, 255, 13, "dy");
    add_text_box(TextBoxId::Text_dy, "Text_dy", Frame2, 1560, 720, 585, 285, 14, "", false);
    add_label("Label3", Frame2, 120, 1200, 495, 255, 10, "t Max");
    add_text_box(TextBoxId::Text_MaxTime, "Text_MaxTime", Frame2, 600, 1200, 495, 285, 6, "50");
    add_label("Label2", Frame2, 1365, 1200, 375, 375, 11, "t");
    add_text_box(TextBoxId::Text_iTime, "Text_iTime", Frame2, 1560, 1200, 585, 285, 7, "0", false);

    add_label("Label10", Frame3, 1560, 240, 495, 255, 21, "Tw3");
    add_text_box(TextBoxId::Text_Tw3, "Text_Tw3", Frame3, 2040, 120, 375, 285, 20, "100");
    add_label("Label11", Frame3, 120, 1440, 375, 255, 23, "Tw4");
    add_text_box(TextBoxId::Text_Tw4, "Text_Tw4", Frame3, 120, 1680, 495, 285, 22, "100");
    add_picture(PictureId::Picture_Paint, "Picture_Paint", Frame3, 720, 480, 2500, 2500, 19);
    add_label("Label6", Frame3, 3360, 1440, 495, 375, 25, "Tw2");
    add_text_box(TextBoxId::Text_Tw2, "Text_Tw2", Frame3, 3360, 1680, 495, 285, 24, "100");
    add_label("Label5", Frame3, 1560, 3120, 615, 375, 27, "Tw1");
    add_text_box(TextBoxId::Text_Tw1, "Text_Tw1", Frame3, 2040, 3000, 495, 285, 26, "100");
    add_label("Label7", Frame3, 720, 3720, 1815, 255, 29, "Initial field temperature");
    add_text_box(TextBoxId::Text_Tfield, "Text_Tfield", Frame3, 2520, 3720, 495, 285, 28, "0");

    // The label's letter "a" in the Symbol font was an alpha; the letter
    // itself says the same in any font.
    QLabel* Label12 =
        add_label("Label12", Picture_3DGraph, 600, 3120, 255, 255, 33, QStringLiteral("\u03B1"));
    Label12->setAutoFillBackground(true);
    QPalette yellow = Label12->palette();
    yellow.setColor(QPalette::Window, kLightYellow);
    Label12->setPalette(yellow);
    add_text_box(TextBoxId::Text_Alfa, "Text_Alfa", Picture_3DGraph, 840, 3120, 375, 285, 32, "30");
    HScroll_Alfa = new QScrollBar(Qt::Horizontal, Picture_3DGraph);
    // Whole degrees from 10 to 90: an arrow moves one degree, the trough ten.
    HScroll_Alfa->setRange(10, 90);
    HScroll_Alfa->setSingleStep(1);
    HScroll_Alfa->setPageStep(10);
    HScroll_Alfa->setValue(30);
    // The view is redrawn when the thumb is let go, not while it is dragged.
    HScroll_Alfa->setTracking(false);
    HScroll_Alfa->setFocusPolicy(Qt::StrongFocus);
    place(HScroll_Alfa, "HScroll_Alfa", Picture_3DGraph, 1200, 3120, 2055, 255, 31);
    connect(HScroll_Alfa, &QScrollBar::valueChanged, this, &Form1::HScroll_Alfa_Change);

    // Opaque like the chart behind it, so the residual line passes under it.
    QLabel* Label13 = add_label("Label13", Picture3, 1785, 3570, 645, 225, 34, "residual");
    Label13->setAutoFillBackground(true);
    QPalette chart = Label13->palette();
    chart.setColor(QPalette::Window, colour_of(box_geometry(PictureId::Picture3).background));
    Label13->setPalette(chart);
    add_text_box(TextBoxId::Text_RMS, "Text_RMS", Picture3, 2520, 3570, 1485, 285, 35, "", false);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    chain_tab_order();
    fit_font();
}

Form1::~Form1() = default;

int Form1::twips_x(int twips) const {
    return static_cast<int>(std::lround(twips * dpi_x_ / kTwipsPerInch));
}

int Form1::twips_y(int twips) const {
    return static_cast<int>(std::lround(twips * dpi_y_ / kTwipsPerInch));
}

QRect Form1::twips_rect(int left, int top, int width, int height) const {
    return {twips_x(left), twips_y(top), twips_x(width), twips_y(height)};
}

void Form1::place(QWidget* control, const char* name, QWidget* container, int left, int top,
                  int width, int height, int tab) {
    control->setObjectName(name);
    QRect r = twips_rect(left, top, width, height);
    if (const auto* box = dynamic_cast<const PictureBox*>(container)) {
        r.translate(box->client_origin());
    }
    control->setGeometry(r);
    by_tab_[static_cast<std::size_t>(tab)] = control;
}

QLineEdit* Form1::add_text_box(TextBoxId id, const char* name, QWidget* container, int left,
                               int top, int width, int height, int tab, const char* text,
                               bool enabled) {
    auto* box = new QLineEdit(QString::fromUtf8(text), container);
    place(box, name, container, left, top, width, height, tab);
    if (!enabled) {
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

QLabel* Form1::add_label(const char* name, QWidget* container, int left, int top, int width,
                         int height, int tab, const QString& caption) {
    auto* label = new QLabel(caption, container);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label, name, container, left, top, width, height, tab);
    // A label lies beneath the boxes it overlaps.
    label->lower();
    return label;
}

PictureBox* Form1::add_picture(PictureId id, const char* name, QWidget* container, int left,
                               int top, int width, int height, int tab) {
    const BoxGeometry& colours = box_geometry(id);
    auto* box = new PictureBox(container, QSize(twips_x(width), twips_y(height)),
                               devicePixelRatioF(), colours.background, colours.foreground);
    // A picture box handles no keys; a focus stop that shows nothing would
    // only lose the user's place.
    box->setFocusPolicy(Qt::NoFocus);
    place(box, name, container, left, top, width, height, tab);
    pictures_[index(id)] = box;
    return box;
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

const QImage& Form1::image(PictureId box) const {
    return pictures_[index(box)]->drawing().image();
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
    return (option == OptionId::Option_Explicit ? Option_Explicit : Option_ADI)->isChecked();
}

int Form1::scroll_value() const {
    return HScroll_Alfa->value();
}

DrawingBox& Form1::picture(PictureId box) {
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

    const RunOutcome outcome = core_.Command1_Click();

    gate_.open();
    running_ = false;
    show_outputs();
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

StepVerdict Form1::step_done(std::int64_t /*iTime*/) {
    if (since_shown_.nsecsElapsed() >= frame_interval_ns_) {
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

void Form1::closeEvent(QCloseEvent* event) {
    if (running_ && !ending_) {
        close_requested_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace heatplate
