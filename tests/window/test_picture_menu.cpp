// The pictures' context menus: what the window shows, kept in a file or on
// the clipboard, exactly as heatplate-batch --images writes it.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

#include <csignal>
#include <filesystem>
#include <random>
#include <string>

#include "tests/window/form1_test.h"
#include "window/picture_box.h"
#include "window/picture_menu.h"

namespace heatplate {
namespace {

using namespace heatplate::testing;

std::string png_of(const WindowPicture& p) {
    return std::string(p.name) + ".png";
}

using PictureMenuTest = Form1Test;

TEST_F(PictureMenuTest, ARightClickOffersSaveCopyAndTheAnimationOnceARunHasMadeOne) {
    show();
    for (bool after_run : {false, true}) {
        if (after_run) {
            calculate();
        }
        for (const WindowPicture& p : kPictures) {
            SCOPED_TRACE(std::string(p.box) + (after_run ? " after a run" : " before"));
            send_right_click(control(p.box));
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            EXPECT_EQ(menu, form.picture_menu(p.id).menu());
            QStringList captions;
            for (const QAction* action : menu->actions()) {
                captions << action->text();
            }
            EXPECT_EQ(captions, QStringList({"&Save Picture As\u2026", "&Copy Picture",
                                             "Save &Animation As\u2026"}));
            EXPECT_TRUE(menu->actions().at(0)->isEnabled());
            EXPECT_EQ(menu->actions().at(2)->isEnabled(), after_run);
            menu->close();
        }
    }
}

TEST_F(PictureMenuTest, SavedAndCopiedPicturesAreWhatHeatplateBatchWritesForTheSameRun) {
    show();
    calculate();
    TempDir batch_dir;
    ASSERT_TRUE(run_batch_in(batch_dir.path(), {"--images", "."}));

    std::filesystem::create_directory("kept");
    const std::string here = std::filesystem::current_path().string();
    for (const WindowPicture& p : kPictures) {
        SCOPED_TRACE(p.name);
        const QImage expected = pixels_of(QImage((batch_dir.path() / png_of(p)).c_str()));
        ASSERT_FALSE(expected.isNull());
        // The box shows the picture pixel for pixel inside its border (the
        // controls it holds lie over it).
        auto* box = control<PictureBox>(p.box);
        QImage shown(box->contentsRect().size(), QImage::Format_RGB32);
        box->render(&shown, {}, QRegion(box->contentsRect()), QWidget::DrawWindowBackground);
        EXPECT_EQ(shown, expected);

        // A whole path typed over the proposed name saves there.
        const std::string path = here + "/kept/" + png_of(p);
        EXPECT_EQ(save_by_dialog(p.id, path), here + "|" + png_of(p));
        EXPECT_EQ(pixels_of(QImage(path.c_str())), expected);

        QApplication::clipboard()->clear();
        entry(p.id, 1)->trigger();
        EXPECT_EQ(pixels_of(QApplication::clipboard()->image()), expected);
    }
}

TEST_F(PictureMenuTest, AFailedSaveNamesTheFileAndTheReasonAndChangesNothingElse) {
    show();
    calculate();
    const std::string earlier_results = results();
    const std::string rms = text_of("Text_RMS");
    const QImage map = form.image(PictureId::Picture_Paint).copy();
    const std::string path =
        (std::filesystem::current_path() / "no such folder" / "map.png").string();
    std::string message;
    answer_modal<QMessageBox>([&](QMessageBox* box) {
        message = box->text().toStdString();
        box->accept();
    });
    save_by_dialog(PictureId::Picture_Paint, path);
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
    EXPECT_FALSE(std::filesystem::exists("no such folder"));
    EXPECT_EQ(results(), earlier_results);
    EXPECT_EQ(text_of("Text_RMS"), rms);
    EXPECT_EQ(form.image(PictureId::Picture_Paint), map);
}

TEST_F(PictureMenuTest, ARightClickDuringARunOpensTheMenuOnlyAfterIt) {
    show();
    make_endless();
    QTimer::singleShot(50, &form, [this] {
        send_right_click(control("Picture3"));
        send_key(Qt::Key_Escape);
    });
    bool open_during_run = true;
    on_finished = [&] { open_during_run = QApplication::activePopupWidget() != nullptr; };
    calculate();
    EXPECT_EQ(outcomes, std::vector<RunOutcome>{RunOutcome::Completed});
    EXPECT_FALSE(open_during_run);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
    EXPECT_EQ(QApplication::activePopupWidget(), form.picture_menu(PictureId::Picture3).menu());
    QApplication::activePopupWidget()->close();
}

}  // namespace
}  // namespace heatplate
