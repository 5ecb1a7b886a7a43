// heatplate: the window.
#include <QApplication>

#include <csignal>

#include "window/desktop_start.h"
#include "window/form1.h"

int main(int argc, char** argv) {
    if (const auto status = heatplate::answer_without_window(argc, argv)) {
        return *status;
    }
    // Past a file-size limit a write should fail and be reported, as on a
    // full disk, rather than end the program with the results half written.
    std::signal(SIGXFSZ, SIG_IGN);
    const auto app = heatplate::open_application(argc, argv);
    QApplication::setApplicationName(heatplate::kApplicationTitle);
    QApplication::setWindowIcon(heatplate::application_icon());
    heatplate::Form1 form;
    form.show();
    return QApplication::exec();
}
