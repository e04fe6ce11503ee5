// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user-defined point names: the communication panel's "用户自定义名称" / "点位序列号名称"
// button switches the grid labels between point numbers and the names kept in the current
// project file. The button is on once a project was saved or opened; while names are on, every
// label rebuild (configure) takes them from the project file again.
#include <QObject>
#include <QPointer>

class QPushButton;

namespace vantor {

class CCommPanelDlg;
class Workspace;

class UserNames : public QObject {
    Q_OBJECT
public:
    explicit UserNames(Workspace* workspace, QObject* parent = nullptr);
    void attachPanel(CCommPanelDlg* panel);
    void applyNames(); // the names of the current project file into the grids

signals:
    void statusMessage(const QString& text);

private:
    void showButton();

    Workspace* m_workspace;
    QPointer<QPushButton> m_button;
    bool m_applying = false;
};

} // namespace vantor
