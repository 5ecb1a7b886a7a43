#pragma once
// The window under test and the ways a user reaches it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "window/form1.h"
#include "window/picture_menu.h"

namespace heatplate::testing {

inline constexpr PictureId kBoxes[] = {PictureId::Picture_Paint, PictureId::Picture_3DGraph,
                                       PictureId::Picture3};

// The three pictures, their boxes and the name their saved files take.
struct WindowPicture {
    PictureId id;
    const char* box;
    const char* name;
};
inline constexpr WindowPicture kPictures[] = {
    {PictureId::Picture_Paint, "Picture_Paint", "map"},
    {PictureId::Picture_3DGraph, "Picture_3DGraph", "view3d"},
    {PictureId::Picture3, "Picture3", "residual"}};

inline bool is_blank(const QImage& image) {
    return image == image.copy(0, 0, 1, 1).scaled(image.size()).convertToFormat(image.format());
}

// A picture's pixels, whatever the format it came in.
inline QImage pixels_of(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// Runs heatplate-batch with these arguments in a folder; whether it ended
// with status 0.
inline bool run_batch_in(const std::filesystem::path& dir, const QStringList& arguments) {
    QProcess batch;
    batch.setWorkingDirectory(QString::fromStdString(dir.string()));
    batch.start(HEATPLATE_BATCH, arguments);
    return batch.waitForFinished(60000) && batch.exitStatus() == QProcess::NormalExit &&
           batch.exitCode() == 0;
}

inline std::string results() {
    return read_file("results.txt");
}

class Form1Test : public ::testing::Test {
  protected:
    Form1Test() : cwd_(dir_.path()) {
        // Runs shown only at the display's rate, as many tests make many runs;
        // the pacing has tests of its own.
        form.set_paced(false);
        QObject::connect(&form, &Form1::run_finished, [this](RunOutcome outcome) {
            outcomes.push_back(outcome);
            if (on_finished) {
                on_finished();
            }
        });
    }
    template <typename T = QWidget>
    T* control(const char* name) {
        T* found = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    std::string text_of(const char* name) { return control<QLineEdit>(name)->text().toStdString(); }
    void type_into(const char* name, const char* text) { control<QLineEdit>(name)->setText(text); }
    void show() {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    int px(int twips) const { return std::lround(twips * form.logicalDpiX() / 1440.0); }
    static std::string focused() { return QApplication::focusWidget()->objectName().toStdString(); }
    static void key(int k) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(k)); }
    void calculate() { QTest::mouseClick(control("Command1"), Qt::LeftButton); }
    // A run that outlasts any test unless ended (timers fire whenever it shows
    // a step); should Escape be lost, the close ends it and the test fails.
    void make_endless(int close_after_ms = 20000) {
        type_into("Text_Nx", "101");
        type_into("Text_Ny", "101");
        type_into("Text_MaxTime", "1e9");
        QTimer::singleShot(close_after_ms, &form, [this] { form.close(); });
    }
    // Input as the window system delivers it: to the window. Clicks land near
    // the left end, since an option takes them on its circle and caption only.
    void send_click(QWidget* target) {
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                          target->mapTo(&form, QPoint(8, target->height() / 2)));
    }
    void send_key(Qt::Key key) { QTest::keyClick(form.windowHandle(), key); }
    void send_right_click(QWidget* target) {
        QTest::mouseClick(form.windowHandle(), Qt::RightButton, {},
                          target->mapTo(&form, target->rect().center()));
    }
    // Hands the next modal window of type T to the answer once it is open
    // and has the keyboard; the test then opens it.
    template <typename T>
    void answer_modal(std::function<void(T*)> answer) {
        auto* poll = new QTimer(&form);
        QObject::connect(poll, &QTimer::timeout, [poll, answer = std::move(answer)] {
            if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
                // Off screen nothing activates a new window but a request.
                if (!modal->isActiveWindow()) {
                    modal->activateWindow();
                    return;
                }
                poll->stop();
                poll->deleteLater();
                answer(modal);
            }
        });
        poll->start(5);
    }

    // An entry of a picture's menu: 0 Save Picture As, 1 Copy Picture, 2
    // Save Animation As.
    QAction* entry(PictureId id, int k) { return form.picture_menu(id).menu()->actions().at(k); }
    // Saves through a menu entry, typing the path into the dialog as a user
    // would; returns the folder and the name the dialog proposed.
    std::string save_by_dialog(PictureId id, const std::string& typed, int k = 0) {
        std::string proposed;
        answer_modal<QFileDialog>([&](QFileDialog* dialog) {
            auto* name = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            if (name == nullptr || name->window() != dialog) {
                ADD_FAILURE() << "the file name does not have the focus";
                dialog->reject();
                return;
            }
            proposed = dialog->directory().absolutePath().toStdString() + "|" +
                       name->selectedText().toStdString();
            QTest::keyClicks(name, QString::fromStdString(typed));
            QTest::keyClick(name, Qt::Key_Return);
        });
        entry(id, k)->trigger();
        return proposed;
    }

    TempDir dir_;
    ScopedWorkingDir cwd_;
    Form1 form;
    std::vector<RunOutcome> outcomes;
    std::function<void()> on_finished;
};

}  // namespace heatplate::testing
