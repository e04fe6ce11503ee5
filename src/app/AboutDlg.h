// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

namespace vantor {

// "关于 Vantor <version>": the program icon, its version and the release note of the last update
// check.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(const QString& releaseNote, QWidget* parent = nullptr);
};

} // namespace vantor
