// GoogleTest main for tests that need a Qt event loop (timers, sockets, serial ports).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Tests never need a display (test discovery runs them without ctest's environment too).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
