// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "界面设置": the read-out and legend fonts, the legend's row spacing, the curves' line width and
// the sampling interval, and whether the bottom axis shows sample numbers or times, stored
// together in the workspace's trend settings on OK. A text that is not a 16-bit integer, or an
// interval below 1 ms, keeps the dialog open with a message.
#include <QDialog>
#include <array>

#include "curves/SettingsInput.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace vantor {

class Workspace;

class CUiSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CUiSettingsDlg(Workspace* workspace, QWidget* parent = nullptr);

    QLineEdit* edit(UiField field) const { return m_edits[static_cast<std::size_t>(field)]; }
    QComboBox* xAxisChoice() const { return m_xAxis; }

    void accept() override;

private:
    Workspace* m_workspace;
    std::array<QLineEdit*, kUiFieldCount> m_edits{};
    QComboBox* m_xAxis;
    QLabel* m_error;
};

// The red message line both settings dialogs show a refusal in (hidden until then).
QLabel* MakeErrorLabel(QWidget* parent);

} // namespace vantor
