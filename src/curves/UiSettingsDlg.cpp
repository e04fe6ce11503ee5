// SPDX-License-Identifier: GPL-3.0-or-later
#include "curves/UiSettingsDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "registers/Workspace.h"

namespace vantor {

QLabel* MakeErrorLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("errorLabel"));
    label->setStyleSheet(QStringLiteral("color: red;"));
    label->setWordWrap(true);
    label->hide();
    return label;
}

CUiSettingsDlg::CUiSettingsDlg(Workspace* workspace, QWidget* parent)
    : QDialog(parent), m_workspace(workspace) {
    setWindowTitle(tr("界面设置"));
    auto* grid = new QGridLayout(this);
    const TrendSettings& settings = workspace->trendSettings();
    for (int i = 0; i < kUiFieldCount; ++i) {
        const auto field = static_cast<UiField>(i);
        auto* edit = new QLineEdit(QString::number(UiFieldValue(settings, field)), this);
        m_edits[static_cast<std::size_t>(i)] = edit;
        grid->addWidget(new QLabel(UiFieldCaption(field), this), i, 0);
        grid->addWidget(edit, i, 1);
    }
    grid->addWidget(new QLabel(QStringLiteral("ms"), this), static_cast<int>(UiField::SampleMs), 2);
    m_xAxis = new QComboBox(this);
    m_xAxis->setObjectName(QStringLiteral("xAxisChoice"));
    m_xAxis->addItems({tr("采样序号"), tr("时间")});
    m_xAxis->setCurrentIndex(settings.timeAxis != 0 ? 1 : 0);
    grid->addWidget(new QLabel(tr("X轴刻度"), this), kUiFieldCount, 0);
    grid->addWidget(m_xAxis, kUiFieldCount, 1);
    m_error = MakeErrorLabel(this);
    grid->addWidget(m_error, kUiFieldCount + 1, 0, 1, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CUiSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, kUiFieldCount + 2, 0, 1, 3);
}

void CUiSettingsDlg::accept() {
    std::array<QString, kUiFieldCount> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = m_edits[i]->text();
    const UiSettingsInput input = ReadUiSettings(m_workspace->trendSettings(), texts);
    if (!input.settings) {
        m_error->setText(input.error);
        m_error->show();
        adjustSize(); // room for the wrapped message
        return;
    }
    TrendSettings settings = *input.settings;
    settings.timeAxis = m_xAxis->currentIndex() == 1 ? 1 : 0;
    m_workspace->setTrendSettings(settings);
    QDialog::accept();
}

} // namespace vantor
