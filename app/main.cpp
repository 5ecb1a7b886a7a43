// heatplate: the window.
#include <QApplication>

#include "app/form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(heatplate::kApplicationTitle);
    heatplate::Form1 form;
    form.show();
    return QApplication::exec();
}
