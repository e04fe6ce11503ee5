// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's side of publishing: the workspace's publishing settings start and stop the
// publisher, "数据发布..." opens their dialog, and a status bar field shows the broker's state
// and the queue's length. Messages (a refusal, a lost broker, dropped messages) go to the
// status line.
#include <QObject>

class QLabel;
class QMenu;
class QStatusBar;
class QWidget;

namespace vantor {

class LinkController;
class Publisher;
class Workspace;

class PublishControls : public QObject {
    Q_OBJECT
public:
    PublishControls(Workspace* workspace, LinkController* link, QWidget* window);
    ~PublishControls() override;

    // The menu entry and the status bar field.
    void addTo(QMenu* menu, QStatusBar* bar);
    void openDialog();
    Publisher* publisher() const { return m_publisher; }
    QLabel* statusField() const { return m_field; }

private:
    void apply();
    void showMessage(const QString& text);

    Workspace* m_workspace;
    QWidget* m_window;
    Publisher* m_publisher;
    QLabel* m_field = nullptr;
    QStatusBar* m_bar = nullptr;
};

} // namespace vantor
