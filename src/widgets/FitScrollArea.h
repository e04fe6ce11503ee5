// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QScrollArea>

namespace vantor {

// A scroll area that gives its widget the whole viewport, and scrolls only when the viewport is
// smaller than the widget's minimum size. (QScrollArea's own resizing takes a word-wrapped
// label's preferred height as the minimum and scrolls long before it must.) Moving the focus
// scrolls it only up or down to the focused control, never sideways.
class FitScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit FitScrollArea(QWidget* content, QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void fit();
};

} // namespace vantor
