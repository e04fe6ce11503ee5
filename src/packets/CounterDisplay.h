// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The six counter edits of the communication panel and the edit with the count of the last good
// register reply. All read-only: the session counts, this group shows. The counts change with
// every reply; the edits show the latest of them at most about 30 times a second.
#include <QGroupBox>
#include <QTimer>
#include <array>
#include <optional>

#include "modbus/Counters.h"
#include "registers/Coalescer.h"

class QLineEdit;
class QPushButton;

namespace vantor {

class CounterDisplay : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int kShowMs = 33;

    explicit CounterDisplay(QWidget* parent = nullptr);

    QLineEdit* counterEdit(int k) const; // 0..5 in the order of Counters
    QLineEdit* lastGoodEdit() const { return m_lastGood; }
    QPushButton* clearButton() const { return m_clear; } // "计数清零"; the panel acts on it

public slots:
    void showCounters(const vantor::Counters& counters);
    void clearCounters(); // all six edits to 0
    void showLastGoodCount(int count);
    // Writes the latest counts into the edits now (the timer does this on its own).
    void flush();

private:
    void schedule();

    std::array<QLineEdit*, 6> m_edits{};
    QLineEdit* m_lastGood;
    QPushButton* m_clear;
    std::optional<Counters> m_counters; // not shown yet
    std::optional<int> m_lastGoodCount; // not shown yet
    Coalescer m_showTimer{kShowMs, [this] { flush(); }};
};

} // namespace vantor
