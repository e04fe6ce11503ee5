// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The range of one trend axis: its maximum and minimum, stored in the workspace's trend settings
// on OK; a text that is not a 16-bit integer keeps the dialog open with a message.
#include <QDialog>

#include "registers/TrendSettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vantor {

class Workspace;

class CAxisRangeDlg : public QDialog {
    Q_OBJECT
public:
    CAxisRangeDlg(Workspace* workspace, TrendAxis axis, QWidget* parent = nullptr);

    TrendAxis axis() const { return m_axis; }
    // "自动": the value axis follows its visible curves (the range stays for "Y轴复位").
    void setAuto(bool on);
    bool autoChecked() const;

    void accept() override;

private:
    Workspace* m_workspace;
    TrendAxis m_axis;
    QLineEdit* m_max;
    QLineEdit* m_min;
    QCheckBox* m_auto;
    QLabel* m_error;
};

} // namespace vantor
