// heatplate: the window.
#include <QApplication>

#include <csignal>

#include "app/form1.h"

int main(int argc, char** argv) {
    // Past a file-size limit a write should fail and be reported, as on a
    // full disk, rather than end the program with the results half written.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(heatplate::kApplicationTitle);
    heatplate::Form1 form;
    form.show();
    return QApplication::exec();
}
