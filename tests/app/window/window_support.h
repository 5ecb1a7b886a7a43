#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <string>
#include <vector>

#include "app/form1.h"

namespace heatplate::testing {

template <typename T = QWidget>
T* control(const Form1& form, const char* name) {
    T* found = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline std::string text_of(const Form1& form, const char* name) {
    return control<QLineEdit>(form, name)->text().toStdString();
}

inline void type_into(const Form1& form, const char* name, const char* text) {
    control<QLineEdit>(form, name)->setText(QString::fromUtf8(text));
}

inline bool is_blank(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != image.pixel(0, 0)) {
                return false;
            }
        }
    }
    return true;
}

// Answers the message boxes that come up while it lives: "title|text".
class MessageBoxAnswerer {
  public:
    MessageBoxAnswerer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen.push_back((box->windowTitle() + "|" + box->text()).toStdString());
                box->accept();
            }
        });
        timer_.start(5);
    }
    std::vector<std::string> seen;

  private:
    QTimer timer_;
};

}  // namespace heatplate::testing
