// SPDX-License-Identifier: GPL-3.0-or-later
#include "curves/AxisRangeDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "curves/SettingsInput.h"
#include "curves/UiSettingsDlg.h"
#include "registers/Workspace.h"

namespace vantor {

CAxisRangeDlg::CAxisRangeDlg(Workspace* workspace, TrendAxis axis, QWidget* parent)
    : QDialog(parent), m_workspace(workspace), m_axis(axis) {
    setWindowTitle(AxisRangeCaption(axis));
    const AxisRange range = workspace->trendSettings().range(axis);
    m_max = new QLineEdit(QString::number(range.max), this);
    m_max->setObjectName(QStringLiteral("maxEdit"));
    m_min = new QLineEdit(QString::number(range.min), this);
    m_min->setObjectName(QStringLiteral("minEdit"));
    m_auto = new QCheckBox(tr("自动"), this);
    m_auto->setObjectName(QStringLiteral("autoCheck"));
    m_auto->setToolTip(tr("数值轴随可见曲线自动缩放"));
    m_auto->setVisible(axis != TrendAxis::X);
    m_error = MakeErrorLabel(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAxisRangeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("最大值"), this), 0, 0);
    grid->addWidget(m_max, 0, 1);
    grid->addWidget(new QLabel(tr("点/页"), this), 0, 2);
    grid->addWidget(new QLabel(tr("最小值"), this), 1, 0);
    grid->addWidget(m_min, 1, 1);
    grid->addWidget(m_auto, 2, 1);
    grid->addWidget(m_error, 3, 0, 1, 3);
    grid->addWidget(buttons, 4, 0, 1, 3);
}

void CAxisRangeDlg::setAuto(bool on) {
    m_auto->setChecked(on);
}

bool CAxisRangeDlg::autoChecked() const {
    return m_axis != TrendAxis::X && m_auto->isChecked();
}

void CAxisRangeDlg::accept() {
    const AxisRangeInput input = ReadAxisRange(m_max->text(), m_min->text());
    if (!input.range) {
        m_error->setText(input.error);
        m_error->show();
        adjustSize(); // room for the wrapped message
        return;
    }
    TrendSettings settings = m_workspace->trendSettings();
    settings.range(m_axis) = *input.range;
    m_workspace->setTrendSettings(settings);
    QDialog::accept();
}

} // namespace vantor
