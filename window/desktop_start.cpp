#include "window/desktop_start.h"

#include <QApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "heatplate/version.h"

namespace heatplate {
namespace {

constexpr const char* kUsage =
    "usage: heatplate [--version] [--help] [Qt options such as -platform NAME]\n"
    "\n"
    "Opens the heatplate window: type the plate's inputs, choose Explicit or ADI\n"
    "and press CALCULATE. The final field is written to results.txt in the\n"
    "current directory.\n"
    "\n"
    "The window needs a display (DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM).\n"
    "heatplate-batch makes the same run without a window; see heatplate-batch --help.\n";

constexpr const char* kBatchHint = "heatplate-batch runs the calculation without a window";

bool set_in_environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Qt picks its platform from these, or from a -platform argument; -display
// names an X display. With none of them it aborts in QApplication's
// constructor, so the check has to come first.
bool display_named(int argc, char** argv) {
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (arg == "-platform" || arg == "--platform" || arg == "-display" || arg == "--display")
            return true;
    }
    return set_in_environment("DISPLAY") || set_in_environment("WAYLAND_DISPLAY") ||
           set_in_environment("QT_QPA_PLATFORM");
}

QtMessageHandler qt_handler = nullptr;

// Qt reports a display it cannot open as a fatal message and then aborts,
// leaving a core dump; its own warning above already names the display.
void on_startup_message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "heatplate: the window cannot be opened on this display; %s\n",
                     kBatchHint);
        std::_Exit(1);
    }
    if (qt_handler != nullptr) {
        qt_handler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
}

}  // namespace

std::optional<int> answer_without_window(int argc, char** argv) {
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (arg == "--version") {
            std::printf("heatplate %s\n", kVersion);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (!display_named(argc, argv)) {
        std::fprintf(stderr,
                     "heatplate: no display to open the window on (DISPLAY, WAYLAND_DISPLAY and "
                     "QT_QPA_PLATFORM are unset); %s\n",
                     kBatchHint);
        return 1;
    }
    return std::nullopt;
}

std::unique_ptr<QApplication> open_application(int& argc, char** argv) {
    qt_handler = qInstallMessageHandler(on_startup_message);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(qt_handler);
    QApplication::setApplicationVersion(kVersion);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(kApplicationId);
    return app;
}

QIcon application_icon() {
    QIcon icon;
    for (const char* size : {"32x32", "128x128"}) {
        icon.addFile(QStringLiteral(":/icons/%1/apps/%2.png").arg(size, kApplicationId));
    }
    return icon;
}

}  // namespace heatplate
