// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the event loop until a condition holds or the time runs out (generous limits: tests
// assert order and content, not speed).
#include <QDeadlineTimer>
#include <QTest>

namespace vantor::test {

template <class Condition> bool WaitUntil(Condition condition, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

} // namespace vantor::test
