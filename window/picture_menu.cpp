#include "window/picture_menu.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <utility>

#include "desktop/atomic_file.h"
#include "desktop/image_file.h"
#include "run/control_table.h"

namespace heatplate {

PictureMenu::PictureMenu(QWidget* box, QString name, std::function<QImage()> picture)
    : QObject(box),
      box_(box),
      name_(std::move(name)),
      picture_(std::move(picture)),
      menu_(new QMenu(box)) {
    add(QStringLiteral("&Save Picture As\u2026"), [this] { save_as(); });
    add(QStringLiteral("&Copy Picture"), [this] { copy(); });
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    // popup(), not exec(): the window goes on painting and the menu closes
    // like any other when the user clicks elsewhere.
    connect(box, &QWidget::customContextMenuRequested, menu_,
            [this](const QPoint& pos) { menu_->popup(box_->mapToGlobal(pos)); });
}

QAction* PictureMenu::add(const QString& caption, std::function<void()> action) {
    QAction* entry = menu_->addAction(caption);
    connect(entry, &QAction::triggered, this, [action = std::move(action)] { action(); });
    return entry;
}

void PictureMenu::add_animation(AnimationWriter write) {
    write_animation_ = std::move(write);
    animation_ = add(QStringLiteral("Save &Animation As\u2026"), [this] { save_animation_as(); });
    animation_->setEnabled(false);
}

void PictureMenu::enable_animation(bool on) {
    if (animation_ != nullptr) {
        animation_->setEnabled(on);
    }
}

void PictureMenu::add_data(DataTable table) {
    table_ = std::move(table);
    save_data_ = add(QStringLiteral("Save &Data As\u2026"), [this] { save_data_as(); });
    copy_data_ = add(QStringLiteral("C&opy Data"), [this] { copy_data(); });
    enable_data(false);
}

void PictureMenu::enable_data(bool on) {
    for (QAction* entry : {save_data_, copy_data_}) {
        if (entry != nullptr) {
            entry->setEnabled(on);
        }
    }
}

namespace {

// "png" of "PNG images (*.png)".
QString suffix_of(const QString& filter) {
    const qsizetype dot = filter.lastIndexOf(QLatin1Char('.'));
    return filter.mid(dot + 1).chopped(1);
}

}  // namespace

QString PictureMenu::ask_path(const QString& title, const QString& name,
                              const QStringList& filters) const {
    QFileDialog dialog(box_->window(), title, QDir::currentPath(), filters.join(";;"));
    // Qt's own dialog behaves the same on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix_of(filters.constFirst()));
    // A name typed without its suffix gets the one of the kind chosen.
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffix_of(filter)); });
    dialog.selectFile(name);
    // The name is chosen and ready to be typed over, so that a whole path
    // and Enter save there: once the dialog is up, whatever the platform
    // gave the focus to.
    QTimer::singleShot(0, &dialog, [&dialog] {
        if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            name->setFocus(Qt::OtherFocusReason);
            name->selectAll();
        }
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void PictureMenu::show_failure(const QString& text) const {
    QMessageBox::warning(box_->window(), QString::fromUtf8(kApplicationTitle), text);
}

void PictureMenu::save_as() {
    // What the user saw when choosing the entry is what is saved.
    const QImage image = picture_();
    const std::string svg = svg_ ? svg_() : std::string();
    QStringList filters{QStringLiteral("PNG images (*.png)")};
    if (svg_) {
        filters << QStringLiteral("SVG pictures (*.svg)");
    }
    const QString path = ask_path(QStringLiteral("Save Picture As"), name_ + ".png", filters);
    if (path.isEmpty()) {
        return;
    }
    // The message names the file and the reason.
    const auto error = svg_ && path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)
                           ? save_file_atomically(path.toStdString(), svg)
                           : save_png_atomically(image, path);
    if (error) {
        show_failure(QString::fromStdString(*error));
    }
}

void PictureMenu::save_data_as() {
    const QString path = ask_path(QStringLiteral("Save Data As"), name_ + ".csv",
                                  {QStringLiteral("CSV tables (*.csv)")});
    if (path.isEmpty()) {
        return;
    }
    if (const auto error = save_file_atomically(path.toStdString(), table_(','))) {
        show_failure(QString::fromStdString(*error));
    }
}

void PictureMenu::copy_data() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(table_('\t')));
}

void PictureMenu::save_animation_as() {
    const QString path = ask_path(QStringLiteral("Save Animation As"), name_ + ".gif",
                                  {QStringLiteral("GIF animations (*.gif)")});
    if (path.isEmpty()) {
        return;
    }
    // Hundreds of frames take a moment to encode.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<std::string> error = write_animation_(path);
    QApplication::restoreOverrideCursor();
    // The message names the file and the reason.
    if (error) {
        show_failure(QString::fromStdString(*error));
    }
}

void PictureMenu::copy() {
    // The clipboard offers an image as image/png, among other types, to
    // programs that ask for it.
    QGuiApplication::clipboard()->setImage(picture_());
}

}  // namespace heatplate
