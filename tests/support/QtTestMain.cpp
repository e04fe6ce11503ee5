// SPDX-License-Identifier: GPL-3.0-or-later
// GoogleTest main for tests that need a Qt event loop (timers, sockets, serial ports).
#include <QApplication>
#include <gtest/gtest.h>

#include "widgets/MessageBox.h"

int main(int argc, char** argv) {
    // Tests never need a display (test discovery runs them without ctest's environment too).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A question never waits for a hand that is not there: "否" unless a test answers itself.
    vantor::SetQuestionSink([](QWidget*, const QString&, const QString&) { return false; });
    vantor::SetChoiceSink(
        [](QWidget*, const QString&, const QString&) { return vantor::Answer::No; });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
