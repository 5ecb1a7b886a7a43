#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace heatplate {

// The context menu of one of the window's pictures: a right click on the
// picture opens it, and its entries keep the picture, as it is at that
// moment, in a file or on the clipboard. Each entry is a caption and what
// it does, so that another one is a single add().
class PictureMenu final : public QObject {
  public:
    // box: the picture's widget, which owns the menu. name: what the save
    // dialog proposes in the working directory, with ".png" for the picture
    // and ".gif" for its animation, as heatplate-batch names them. picture:
    // the picture as it is now, its device pixels (pictures drawn lazily are
    // brought up to date first).
    PictureMenu(QWidget* box, QString name, std::function<QImage()> picture);

    QAction* add(const QString& caption, std::function<void()> action);
    QMenu* menu() const { return menu_; }

    // Writes an animation of the picture to a path; returns a message naming
    // the file and the reason when it cannot.
    using AnimationWriter = std::function<std::optional<std::string>(const QString& path)>;
    // Adds "Save Animation As…", disabled until there is an animation to save.
    void add_animation(AnimationWriter write);
    void enable_animation(bool on);

    // The picture as an SVG document, for "Save Picture As…" to a name
    // ending in .svg.
    void set_vector_picture(std::function<std::string()> svg) { svg_ = std::move(svg); }

    // The data behind the picture as a table, its fields split by the given
    // separator.
    using DataTable = std::function<std::string(char separator)>;
    // Adds "Save Data As…" and "Copy Data", disabled until there are data.
    void add_data(DataTable table);
    void enable_data(bool on);

    // "Save Picture As…": a save dialog, then the picture as a PNG file, or
    // as an SVG file when the name ends in .svg; a failure is shown in a
    // message naming the file and the reason.
    void save_as();
    // "Save Data As…": the same dialog, proposing the picture's name as a
    // CSV file, then the table with commas between the fields.
    void save_data_as();
    // "Copy Data": the table on the clipboard as text, the fields split by
    // tabs, so that a spreadsheet pastes it into cells.
    void copy_data();
    // "Save Animation As…": the same save dialog, proposing the picture's
    // name as a GIF, then the animation into that file; a failure is shown.
    void save_animation_as();
    // "Copy Picture": the picture onto the clipboard, where other programs
    // find it as image/png.
    void copy();

  private:
    // The path the user chose in a save dialog that proposes name in the
    // working directory, or an empty string.
    // filters: "Kind (*.ext)" each, the first proposed.
    QString ask_path(const QString& title, const QString& name, const QStringList& filters) const;
    void show_failure(const QString& text) const;

    QWidget* box_;
    QString name_;
    std::function<QImage()> picture_;
    QMenu* menu_;
    AnimationWriter write_animation_;
    QAction* animation_ = nullptr;
    std::function<std::string()> svg_;
    DataTable table_;
    QAction* save_data_ = nullptr;
    QAction* copy_data_ = nullptr;
};

}  // namespace heatplate
