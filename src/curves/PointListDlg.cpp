// SPDX-License-Identifier: GPL-3.0-or-later
#include "curves/PointListDlg.h"

#include <QLabel>
#include <QVBoxLayout>

#include "curves/DropListCtrl.h"

namespace vantor {

namespace {

constexpr int kTipStrip = 20;

} // namespace

CPointListDlg::CPointListDlg(CurveTable* curves, QWidget* parent)
    : QWidget(parent), m_list(new CDropListCtrl(curves, this)) {
    setObjectName(QStringLiteral("pointList"));
    auto* tip = new QLabel(tr(kTip), this);
    tip->setObjectName(QStringLiteral("pointListTip"));
    tip->setMinimumHeight(kTipStrip);
    tip->setWordWrap(true); // a narrow page shows the whole tip on more lines
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tip);
    layout->addWidget(m_list, 1);
}

} // namespace vantor
