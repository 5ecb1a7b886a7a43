#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // Off screen unless told otherwise, so that the tests need no display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
