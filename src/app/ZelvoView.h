// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main view: the tabs "通信状态" and "趋势曲线" over the communication panel and the trend
// panel, showing the application's workspace and link. It keeps the resize quiet flag.
#include <QTimer>
#include <QWidget>

#include "trend/TrendPanelDlg.h"

class QTabWidget;

namespace vantor {

class CCommPanelDlg;
class LinkController;
class RegisterStore;
class SerialSelection;
class TrendData;
class Workspace;

class CZelvoView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kQuietMs = 500;
    static constexpr int kMinimumWidth = 400;
    static constexpr int kCommTab = 0;
    static constexpr int kTrendTab = 1;

    CZelvoView(Workspace* workspace, TrendData* trend, LinkController* link,
               QWidget* parent = nullptr);
    ~CZelvoView() override;

    Workspace* workspace() const { return m_workspace; }
    LinkController* link() const { return m_link; }
    RegisterStore* store() const;
    SerialSelection* serialSelection() const;
    // The communication panel, built on first use: when its tab is first shown, when a caller
    // needs it, or right after the window's first paint, whichever comes first. Building it
    // (its controls and the first port listing) would otherwise delay the window's appearance.
    CCommPanelDlg* commPanel();
    bool hasCommPanel() const { return m_commPanel != nullptr; }
    CTrendPanelDlg* trendPanel() const { return m_trendPanel; }
    QTabWidget* tabs() const { return m_tabs; }
    // The width and height the view lacks to show the whole communication panel unscrolled.
    QSize missingPanelRoom() const;

public slots:
    void showPanel(int tab); // 0 communication, 1 trend

signals:
    void panelShown(int tab);
    void commPanelBuilt(vantor::CCommPanelDlg* panel);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Workspace* m_workspace;
    LinkController* m_link;
    QTabWidget* m_tabs;
    QWidget* m_commHolder;
    CCommPanelDlg* m_commPanel = nullptr;
    CTrendPanelDlg* m_trendPanel;
    QTimer m_quietTimer; // clears the resize quiet flag 500 ms after the last repaint
};

} // namespace vantor
