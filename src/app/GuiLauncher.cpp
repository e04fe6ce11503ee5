#include "app/GuiLauncher.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTextStream>
#include <QTimer>

#include "app/DemoPackets.h"
#include "app/MainFrame.h"
#include "app/SimulatedDevice.h"
#include "app/StartupSplash.h"
#include "app/ZelvoView.h"
#include "modbus/CommSession.h"
#include "packets/CommPanelDlg.h"
#include "packets/ConnectionControls.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"

namespace vantor {

namespace {

void Click(QWidget* parent, const char* name) {
    if (auto* button = parent->findChild<QAbstractButton*>(QString::fromLatin1(name)))
        button->click();
}

} // namespace

GuiLauncher::GuiLauncher(const ConsoleOptions& options) : m_options(options) {}

GuiLauncher::~GuiLauncher() = default;

bool GuiLauncher::Start(bool splash) {
    if (m_options.demo && !startDemo())
        return false;
    m_frame = std::make_unique<CMainFrame>();
    if (m_options.demo || m_options.packetCount > 0)
        ApplyOptionsToWindow(*m_frame, m_options);
    if (!splash) {
        m_frame->ShowAtWorkingSize();
        return true;
    }
    auto* screen = new CStartupSplash(m_frame.get());
    QObject::connect(screen, &CStartupSplash::finished, m_frame.get(),
                     [frame = m_frame.get()] { frame->ShowAtWorkingSize(); });
    screen->Start();
    return true;
}

bool GuiLauncher::startDemo() {
    m_device = std::make_unique<SimulatedDevice>();
    if (StartDemoDevice(*m_device, m_options))
        return true;
    QTextStream(stderr) << "cannot start the simulated device: " << m_device->errorString() << '\n';
    return false;
}

void ApplyOptionsToWindow(CMainFrame& frame, const ConsoleOptions& options) {
    CZelvoView* view = frame.view();
    CCommPanelDlg* panel = view->commPanel();
    ConnectionControls* controls = panel->connectionControls();
    panel->setRows(options.rows);
    for (const CellFormatOption& f : options.formats)
        view->store()->setCellFormat(f.packet, f.cell, f.code);
    view->store()->setAddressBase(options.addressBase);
    panel->setSendInterval(options.intervalMs);
    view->showPanel(CZelvoView::kCommTab);
    if (options.link == LinkKind::Tcp) {
        if (auto* mode = controls->findChild<QComboBox*>(QStringLiteral("modeCombo")))
            mode->setCurrentIndex(1);
        controls->setServerAddress(options.tcpHost);
        if (auto* port = controls->findChild<QWidget*>(QStringLiteral("tcpPortEdit")))
            port->setProperty("text", options.tcpPort);
        panel->Configure();
        // "开始" once the connection stands, as a user would wait for the connect line.
        QObject::connect(
            view->session(), &CommSession::tcpConnected, controls,
            [controls] { Click(controls, "tcpStartButton"); }, Qt::SingleShotConnection);
        Click(controls, "connectButton");
        return;
    }
    view->serialSelection()->setTypedPort(options.serial.portName);
    panel->Configure();
    Click(controls, "openButton");
}

} // namespace vantor
