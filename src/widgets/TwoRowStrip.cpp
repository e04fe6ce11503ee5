// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TwoRowStrip.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vantor {

TwoRowStrip::TwoRowStrip(int rowHeight, QWidget* parent)
    : QWidget(parent), m_rows(new QVBoxLayout(this)), m_first(new QWidget(this)),
      m_second(new QWidget(this)) {
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    for (QWidget* row : {m_first, m_second}) {
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 1, 0, 1);
        layout->setSpacing(2);
        row->setFixedHeight(rowHeight);
        m_rows->addWidget(row);
    }
}

QHBoxLayout* TwoRowStrip::firstLayout() const {
    return static_cast<QHBoxLayout*>(m_first->layout());
}

QHBoxLayout* TwoRowStrip::secondLayout() const {
    return static_cast<QHBoxLayout*>(m_second->layout());
}

void TwoRowStrip::finish() {
    firstLayout()->addStretch(1);
    secondLayout()->addStretch(1);
}

void TwoRowStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void TwoRowStrip::place() {
    QHBoxLayout* first = firstLayout();
    if (m_firstWidth == 0) {
        m_firstWidth = first->sizeHint().width();
        m_secondWidth = secondLayout()->sizeHint().width();
    }
    const bool oneLine = width() >= m_firstWidth + first->spacing() + m_secondWidth;
    if (oneLine == (m_second->parentWidget() == m_first))
        return;
    if (oneLine) {
        m_rows->removeWidget(m_second);
        first->insertWidget(first->count() - 1, m_second, 1); // before the first row's stretch
    } else {
        first->removeWidget(m_second);
        m_rows->addWidget(m_second);
    }
    m_second->show();
}

} // namespace vantor
