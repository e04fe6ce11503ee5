// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QCheckBox;

namespace vantor {

class UpdateCheck;

// "是否升级（Y/N）": offers the newer version. "升级" accepts, "取消" rejects; every click on
// "不再提示该信息" is stored at once, whichever button follows.
class CUpdatePromptDlg : public QDialog {
    Q_OBJECT
public:
    explicit CUpdatePromptDlg(UpdateCheck* check, QWidget* parent = nullptr);
    QCheckBox* dontAskAgain() const { return m_dontAsk; }

private:
    QCheckBox* m_dontAsk;
};

} // namespace vantor
