// The pictures' context menus: what the window shows, kept in a file or on
// the clipboard, exactly as heatplate-batch --images writes it.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QXmlStreamReader>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>
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

// The rows of a table after its header, each field read as a double.
std::vector<std::vector<double>> numbers_of(const std::string& table, char separator) {
    std::vector<std::vector<double>> rows;
    std::istringstream lines(table.substr(table.find('\n') + 1));
    for (std::string line; std::getline(lines, line);) {
        std::vector<double> row;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, separator);)
            row.push_back(std::strtod(field.c_str(), nullptr));
        rows.push_back(row);
    }
    return rows;
}

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
                                             "Save &Animation As\u2026", "Save &Data As\u2026",
                                             "C&opy Data"}));
            EXPECT_TRUE(menu->actions().at(0)->isEnabled());
            EXPECT_TRUE(menu->actions().at(1)->isEnabled());
            for (int k : {2, 3, 4}) {
                EXPECT_EQ(menu->actions().at(k)->isEnabled(), after_run) << k;
            }
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

// The numbers behind each picture, saved as CSV and copied for a
// spreadsheet, read back to the run's own doubles; the map and the 3-D view
// give the field, the chart the residual of every step.
TEST_F(PictureMenuTest, SavedAndCopiedDataReadBackToTheRunsNumbersExactly) {
    show();
    type_into("Text_Nx", "7");
    type_into("Text_Ny", "4");
    type_into("Text_Tw2", "33.3");
    type_into("Text_Tfield", "-1e-7");
    type_into("Text_MaxTime", "37");
    calculate();
    const SimulationState& s = form.core().state();
    std::vector<std::vector<double>> field;
    for (int j = 0; j <= 4; ++j)
        for (int i = 0; i <= 7; ++i)
            field.push_back({s.X(i, j), s.Y(i, j), s.T(i, j)});
    std::vector<std::vector<double>> residuals;
    for (std::size_t k = 0; k < form.core().residuals().size(); ++k)
        residuals.push_back({static_cast<double>(k + 1), form.core().residuals()[k]});
    ASSERT_EQ(residuals.size(), 37u);

    const std::string here = std::filesystem::current_path().string();
    for (const WindowPicture& p : kPictures) {
        SCOPED_TRACE(p.name);
        const bool chart = p.id == PictureId::Picture3;
        const std::string csv = std::string(p.name) + ".csv";
        EXPECT_EQ(save_by_dialog(p.id, here + "/" + csv, 3), here + "|" + csv);
        const std::string saved = read_file(csv);
        EXPECT_EQ(saved.substr(0, saved.find('\n')), chart ? "step,residual" : "x,y,T");
        EXPECT_EQ(numbers_of(saved, ','), chart ? residuals : field);

        QApplication::clipboard()->clear();
        entry(p.id, 4)->trigger();
        const std::string copied = QApplication::clipboard()->text().toStdString();
        EXPECT_EQ(numbers_of(copied, '\t'), chart ? residuals : field);
    }
}

// "Save Picture As…" to a name ending in .svg writes a vector picture: an
// SVG document whose map is its cells and whose 3-D view and chart are
// lines, in the picture's size.
TEST_F(PictureMenuTest, APictureSavedAsSvgIsAVectorPictureOfTheSameSize) {
    show();
    type_into("Text_Tw1", "0");  // every cell above the lowest temperature: all painted
    type_into("Text_Tfield", "50");
    calculate();
    const std::string here = std::filesystem::current_path().string();
    for (const WindowPicture& p : kPictures) {
        SCOPED_TRACE(p.name);
        const std::string file = here + "/" + p.name + ".svg";
        save_by_dialog(p.id, file);
        QFile svg(QString::fromStdString(file));
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        std::map<std::string, int> elements;
        QString width;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement) {
                ++elements[xml.name().toString().toStdString()];
                if (xml.name() == QLatin1String("svg"))
                    width = xml.attributes().value("width").toString();
            }
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_EQ(width.toInt(), form.image(p.id).width());
        if (p.id == PictureId::Picture_Paint) {
            EXPECT_EQ(elements["rect"], 1 + 20 * 20);  // the background and every cell
        } else {
            EXPECT_GE(elements["path"], 1);
        }
    }
    // A name typed without a suffix, once SVG pictures are chosen, makes an SVG file.
    answer_modal<QFileDialog>([](QFileDialog* dialog) {
        auto* kinds = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* name = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_TRUE(kinds != nullptr && name != nullptr);
        QTest::keyClick(kinds, Qt::Key_Down);
        name->selectAll();  // the proposed name, now residual.svg, typed over
        QTest::keyClicks(name, "drawing");
        QTest::keyClick(name, Qt::Key_Return);
    });
    entry(PictureId::Picture3, 0)->trigger();
    EXPECT_EQ(read_file("drawing.svg").substr(0, 5), "<?xml");
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
