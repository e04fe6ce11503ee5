// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include "app/ConsoleOptions.h"
#include "app/ProjectController.h"
#include "packets/CommPanelDlg.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"

namespace vantor {

Application::Application(LinkController::Placement placement, QObject* parent)
    : QObject(parent), m_link(placement) {
    RegisterStore* store = m_workspace.store();
    connect(&m_link, &LinkController::registerReplyAccepted, store,
            &RegisterStore::onRegisterReply);
    connect(&m_link, &LinkController::bitReplyAccepted, store, &RegisterStore::onBitReply);
    connect(&m_link, &LinkController::noReply, store, &RegisterStore::onNoReply);
    ConnectWorkspaceToLink(&m_workspace, &m_link);
    connect(&m_workspace, &Workspace::replyTimeoutChanged, &m_link,
            &LinkController::setReplyTimeout);
}

Application::~Application() = default;

ProjectController* Application::projects() {
    if (!m_projects)
        m_projects = std::make_unique<ProjectController>(&m_workspace, &m_link);
    return m_projects.get();
}

void Application::fillWorkspace(const ConsoleOptions& options) {
    m_workspace.setRows(options.rows);
    RegisterStore* store = m_workspace.store();
    for (const CellFormatOption& f : options.formats)
        store->setCellFormat(f.point, f.code);
    store->setAddressBase(options.addressBase);
    m_workspace.setSendInterval(options.intervalMs);
    m_workspace.setReplyTimeout(options.replyTimeoutMs);
    m_workspace.setLinkKind(options.link);
    if (UsesTcpConnection(options.link)) {
        TcpSettings tcp = m_workspace.tcp();
        tcp.host = options.tcpHost;
        tcp.port = options.tcpPort;
        tcp.header = options.tcp;
        m_workspace.setTcp(tcp);
    } else {
        SerialSelection* serial = m_workspace.serial();
        serial->setTypedPort(options.serial.portName);
        serial->setLineSettings(options.serial);
    }
}

ConfigureResult Application::configure() {
    ConfigureResult result = m_workspace.configure();
    m_link.configure(result.images, m_workspace.sendInterval());
    return result;
}

void Application::openLink() {
    if (UsesTcpConnection(m_workspace.linkKind())) {
        connect(
            &m_link, &LinkController::opened, this,
            [this](LinkKind link) {
                if (link == LinkKind::Tcp)
                    m_link.tcpStart();
            },
            Qt::SingleShotConnection);
        m_link.connectTcp(m_workspace.tcp().host, m_workspace.tcp().port);
        return;
    }
    m_link.openSerial(m_workspace.serial()->settings());
}

} // namespace vantor
