// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "数据发布": the publishing settings of the set-up, kept in the project. A password is never
// typed here: it comes from the named file (readable by its owner only) or from the environment.
#include <QDialog>

#include "registers/PublishSettings.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;

namespace vantor {

class PublishDlg : public QDialog {
    Q_OBJECT
public:
    explicit PublishDlg(const PublishSettings& settings, QWidget* parent = nullptr);

    PublishSettings settings() const;

    // Refuses settings that cannot be used, with the reason, and stays open.
    void accept() override;

private:
    QLineEdit* fileRow(const char* name, const QString& text, const QString& filter);

    QCheckBox* m_enabled;
    QLineEdit* m_host;
    QSpinBox* m_port;
    QLineEdit* m_clientId;
    QLineEdit* m_prefix;
    QSpinBox* m_interval;
    QDoubleSpinBox* m_deadband;
    QComboBox* m_qos;
    QSpinBox* m_queue;
    QLineEdit* m_user;
    QLineEdit* m_passwordFile;
    QCheckBox* m_tls;
    QLineEdit* m_caFile;
    QLineEdit* m_certFile;
    QLineEdit* m_keyFile;
    QFormLayout* m_form;
};

} // namespace vantor
