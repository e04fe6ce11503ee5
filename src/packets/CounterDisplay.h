#pragma once
// The six counter edits of the communication panel and the edit with the count of the last good
// register reply. All read-only: the session counts, this group shows.
#include <QGroupBox>
#include <array>

#include "modbus/Counters.h"

class QLineEdit;
class QPushButton;

namespace vantor {

class CounterDisplay : public QGroupBox {
    Q_OBJECT
public:
    explicit CounterDisplay(QWidget* parent = nullptr);

    QLineEdit* counterEdit(int k) const; // 0..5 in the order of Counters
    QLineEdit* lastGoodEdit() const { return m_lastGood; }
    QPushButton* clearButton() const { return m_clear; } // "计数清零"; the panel acts on it

public slots:
    void showCounters(const vantor::Counters& counters);
    void clearCounters(); // all six edits to 0
    void showLastGoodCount(int count);

private:
    std::array<QLineEdit*, 6> m_edits{};
    QLineEdit* m_lastGood;
    QPushButton* m_clear;
};

} // namespace vantor
