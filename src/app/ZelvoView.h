#pragma once
// The main view: the tabs "通信状态" and "趋势曲线" over the communication panel and the trend
// panel. It owns the link thread with the communication session, the register image and the
// serial choices, and keeps the resize quiet flag.
#include <QTimer>
#include <QWidget>
#include <memory>

class QTabWidget;

namespace vantor {

class CCommPanelDlg;
class CommSession;
class LinkThread;
class RegisterStore;
class SerialSelection;

class CZelvoView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kQuietMs = 500;
    static constexpr int kMinimumWidth = 400;
    static constexpr int kCommTab = 0;
    static constexpr int kTrendTab = 1;

    explicit CZelvoView(QWidget* parent = nullptr);
    ~CZelvoView() override;

    CommSession* session() const;
    RegisterStore* store() const { return m_store; }
    SerialSelection* serialSelection() const { return m_selection; }
    CCommPanelDlg* commPanel() const { return m_commPanel; }
    QWidget* trendPanel() const { return m_trendPanel; }
    QTabWidget* tabs() const { return m_tabs; }

public slots:
    void showPanel(int tab); // 0 communication, 1 trend

signals:
    void panelShown(int tab);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<LinkThread> m_link;
    RegisterStore* m_store;
    SerialSelection* m_selection;
    QTabWidget* m_tabs;
    CCommPanelDlg* m_commPanel;
    QWidget* m_trendPanel;
    QTimer m_quietTimer; // clears the resize quiet flag 500 ms after the last repaint
};

} // namespace vantor
