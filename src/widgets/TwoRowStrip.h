// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A strip of controls in two rows that stand on one line where the strip is wide enough for
// both, and wrap into two rows where it is not.
#include <QWidget>

class QHBoxLayout;
class QVBoxLayout;

namespace vantor {

class TwoRowStrip : public QWidget {
public:
    explicit TwoRowStrip(int rowHeight, QWidget* parent = nullptr);

    // The rows to fill: make the controls children of the row and add them to its layout.
    QWidget* first() const { return m_first; }
    QWidget* second() const { return m_second; }
    QHBoxLayout* firstLayout() const;
    QHBoxLayout* secondLayout() const;
    // Ends both rows once they are filled.
    void finish();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    QVBoxLayout* m_rows;
    QWidget* m_first;
    QWidget* m_second;
    int m_firstWidth = 0; // measured when first laid out: the texts' fonts load on demand
    int m_secondWidth = 0;
};

} // namespace vantor
