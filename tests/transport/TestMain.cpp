// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's serial ports, sockets and notifiers need an application object for their event loop.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
