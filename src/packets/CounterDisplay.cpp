// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/CounterDisplay.h"

#include "widgets/ButtonIcon.h"
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

namespace vantor {

namespace {

struct CounterField {
    const char* label;
    const char* objectName;
};

constexpr std::array<CounterField, 6> kFields = {
    {{QT_TRANSLATE_NOOP("vantor::CounterDisplay", "地址修正"), "counterAddress"},
     {QT_TRANSLATE_NOOP("vantor::CounterDisplay", "命令修正"), "counterCommand"},
     {QT_TRANSLATE_NOOP("vantor::CounterDisplay", "CRC 校验"), "counterCrc"},
     {QT_TRANSLATE_NOOP("vantor::CounterDisplay", "数据错误"), "counterData"},
     {QT_TRANSLATE_NOOP("vantor::CounterDisplay", "有效时间"), "counterValidTime"},
     {QT_TRANSLATE_NOOP("vantor::CounterDisplay", "收包数量"), "counterReceived"}}};

constexpr int kEditWidth = 70;

QLineEdit* ReadOnlyEdit(const char* objectName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setMinimumWidth(kEditWidth);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

std::array<int, 6> Values(const Counters& c) {
    return {c.addressCorrections, c.commandCorrections, c.crcErrors,
            c.dataErrors,         c.validTime,          c.receivedPackets};
}

// An edit whose text stays the same is left alone, so it does not repaint.
void SetChangedText(QLineEdit* edit, int value) {
    const QString text = QString::number(value);
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

CounterDisplay::CounterDisplay(QWidget* parent)
    : QGroupBox(parent), m_lastGood(ReadOnlyEdit("lastGoodCountEdit", this)),
      m_clear(new QPushButton(tr("计数清零"), this)) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4); // tight: the log below gets the height this saves
    grid->setVerticalSpacing(4);
    // Two counters per row: label, edit, label, edit.
    for (std::size_t k = 0; k < kFields.size(); ++k) {
        m_edits[k] = ReadOnlyEdit(kFields[k].objectName, this);
        const int row = static_cast<int>(k / 2);
        const int column = static_cast<int>(k % 2) * 2;
        auto* label = new QLabel(tr(kFields[k].label), this);
        label->setBuddy(m_edits[k]);
        grid->addWidget(label, row, column);
        grid->addWidget(m_edits[k], row, column + 1);
    }
    auto* lastGood = new QLabel(tr("有效个数"), this);
    lastGood->setBuddy(m_lastGood);
    grid->addWidget(lastGood, 3, 0);
    grid->addWidget(m_lastGood, 3, 1);
    m_clear->setObjectName(QStringLiteral("clearCountersButton"));
    SetButtonIcon(m_clear, "clear");
    grid->addWidget(m_clear, 3, 2, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    clearCounters();
}

QLineEdit* CounterDisplay::counterEdit(int k) const {
    return k >= 0 && k < static_cast<int>(m_edits.size()) ? m_edits[static_cast<std::size_t>(k)]
                                                          : nullptr;
}

void CounterDisplay::showCounters(const Counters& counters) {
    m_counters = counters;
    schedule();
}

// At once: counts that were still waiting are older than the clearing and must not come back.
void CounterDisplay::clearCounters() {
    m_counters = Counters{};
    flush();
}

void CounterDisplay::showLastGoodCount(int count) {
    m_lastGoodCount = count;
    schedule();
}

void CounterDisplay::schedule() {
    m_showTimer.schedule();
}

void CounterDisplay::flush() {
    m_showTimer.cancel();
    if (m_counters) {
        const std::array<int, 6> values = Values(*std::exchange(m_counters, std::nullopt));
        for (std::size_t k = 0; k < values.size(); ++k)
            SetChangedText(m_edits[k], values[k]);
    }
    if (m_lastGoodCount)
        SetChangedText(m_lastGood, *std::exchange(m_lastGoodCount, std::nullopt));
}

} // namespace vantor
