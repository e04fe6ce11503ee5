#include "widgets/FitScrollArea.h"

#include <QScrollBar>

namespace vantor {

FitScrollArea::FitScrollArea(QWidget* content, QWidget* parent) : QScrollArea(parent)
{
    setWidget(content);
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
}

void FitScrollArea::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    fit();
}

void FitScrollArea::fit()
{
    if (QWidget* content = widget())
        content->resize(maximumViewportSize().expandedTo(content->minimumSizeHint()));
}

} // namespace vantor
