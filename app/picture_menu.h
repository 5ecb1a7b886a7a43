#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>

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
    // box: the picture's widget, which owns the menu. file_name: the name
    // the save dialog proposes, in the working directory. picture: the
    // picture as it is now, its device pixels (pictures drawn lazily are
    // brought up to date first).
    PictureMenu(QWidget* box, QString file_name, std::function<QImage()> picture);

    void add(const QString& caption, std::function<void()> action);
    QMenu* menu() const { return menu_; }

    // "Save Picture As…": a save dialog, then the picture as a PNG file; a
    // failure is shown in a message naming the file and the reason.
    void save_as();
    // "Copy Picture": the picture onto the clipboard, where other programs
    // find it as image/png.
    void copy();

    // Writes the image as a PNG file that replaces the one at path only once
    // whole. Returns why it could not be written, or an empty string.
    static QString write_png(const QImage& image, const QString& path);

  private:
    QWidget* box_;
    QString file_name_;
    std::function<QImage()> picture_;
    QMenu* menu_;
};

}  // namespace heatplate
