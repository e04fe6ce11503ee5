// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The communication settings dialog: a second place to choose the serial port and its line
// settings. Every choice goes straight into the shared selection, so the panel shows it at
// once and the next open uses it; OK and Cancel only close. Given the workspace, it also sets
// the reply timeout, which the fast mode (send interval 0) waits for an unanswered request.
#include <QDialog>

class QComboBox;

namespace vantor {

class SerialSelection;
class Workspace;

class CCommSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // connectionIndex: the panel's connection mode, shown for information only.
    CCommSettingsDlg(SerialSelection* selection, int connectionIndex, QWidget* parent = nullptr,
                     Workspace* workspace = nullptr);

private:
    QComboBox* m_connection = nullptr;
};

} // namespace vantor
