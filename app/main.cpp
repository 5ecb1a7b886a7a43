// heatplate: the window.
#include <QApplication>

#include "app/desktop_start.h"
#include "app/form1.h"

int main(int argc, char** argv) {
    if (const auto status = heatplate::answer_without_window(argc, argv)) {
        return *status;
    }
    const auto app = heatplate::open_application(argc, argv);
    QApplication::setApplicationName(heatplate::kApplicationTitle);
    QApplication::setWindowIcon(heatplate::application_icon());
    heatplate::Form1 form;
    form.show();
    return QApplication::exec();
}
