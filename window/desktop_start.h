#pragma once

#include <QIcon>

#include <memory>
#include <optional>

class QApplication;

namespace heatplate {

// What the window program does before it needs a window: --version and
// --help, and the check that there is a display to open one on. Returns the
// exit status when the program should end here, after printing why.
std::optional<int> answer_without_window(int argc, char** argv);

// Constructs the application. A display that is named but cannot be opened
// ends the program with status 1 and a hint, where Qt alone would abort.
std::unique_ptr<QApplication> open_application(int& argc, char** argv);

// The program's icon, from the PNGs built into it, so that the window needs
// neither an installed icon theme nor an SVG plugin.
QIcon application_icon();

}  // namespace heatplate
