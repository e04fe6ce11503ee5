// SPDX-License-Identifier: GPL-3.0-or-later
// The connection controls built: the mode, the serial group and the Modbus TCP group.
#include "packets/ConnectionControls.h"

#include <algorithm>

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "modbus/LinkController.h"
#include "packets/SerialSettingsForm.h"
#include "registers/SerialSelection.h"
#include "widgets/ButtonIcon.h"

namespace vantor {

namespace {

// The entries of a table of source texts in the user's language.
template <std::size_t N>
QStringList Texts(const char* context, const std::array<const char*, N>& table) {
    QStringList texts;
    for (const char* entry : table)
        texts.append(QCoreApplication::translate(context, entry));
    return texts;
}

QComboBox* MakeCombo(const char* name, const QStringList& items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->addItems(items);
    return combo;
}

QLineEdit* MakeEdit(const char* name, const QString& text, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

ConnectionControls::ConnectionControls(Workspace* workspace, LinkController* link, QWidget* parent)
    : QWidget(parent), m_workspace(workspace), m_link(link), m_selection(workspace->serial()),
      m_watcher(new PortWatcher({}, this)) {
    auto* modeRow = new QHBoxLayout;
    auto* modeLabel = new QLabel(tr("连接方式："), this);
    modeRow->addWidget(modeLabel);
    m_mode = MakeCombo("modeCombo",
                       {QStringLiteral("1. Serial Port"), QStringLiteral("2. Tcp/Ip"),
                        QStringLiteral("3. RTU over TCP")},
                       this);
    modeLabel->setBuddy(m_mode);
    modeRow->addWidget(m_mode, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(modeRow);
    layout->addWidget(buildSerialGroup());
    layout->addWidget(buildTcpGroup());
    layout->addStretch(1);
    m_tcpGroup->hide();

    connect(m_mode, &QComboBox::currentIndexChanged, this, &ConnectionControls::onModeChosen);
    connect(m_workspace, &Workspace::linkKindChanged, this, &ConnectionControls::onLinkKind);
    m_linkKind = m_workspace->linkKind();
    connectSelection();
    connectTcpEdits();
    connectLink();
    if (m_workspace->linkKind() != LinkKind::Serial)
        onLinkKind(m_workspace->linkKind());

    if (m_selection->ports().isEmpty() && !m_selection->hasTypedPort())
        rebuildPorts(QString());
    onPortOpenChanged(m_selection->portOpen());
    m_shownSettings = m_selection->settings();
    // A source text of the serial selection's, translated in its catalogue.
    showPortState(false, QCoreApplication::translate("vantor::SerialSelection", kPortClosedStatus));
    connect(m_watcher, &PortWatcher::portsChanged, this, &ConnectionControls::onPortsChanged);
    m_watcher->start();
}

QWidget* ConnectionControls::buildSerialGroup() {
    m_serialGroup = new QGroupBox(QStringLiteral("Serial Port"), this);
    m_serialGroup->setObjectName(QStringLiteral("serialGroup"));
    m_form =
        new SerialSettingsForm(m_selection, SerialSettingsForm::PortEntry::Typed, m_serialGroup);
    m_openClose = new QPushButton(m_serialGroup);
    m_openClose->setObjectName(QStringLiteral("openButton"));
    SetButtonIcon(m_openClose, "openport");
    m_indicator = new QLabel(m_serialGroup);
    m_indicator->setObjectName(QStringLiteral("portIndicator"));
    m_indicator->setAccessibleName(tr("串口状态"));
    m_status = new QLabel(m_serialGroup);
    m_status->setObjectName(QStringLiteral("portStatus"));
    m_status->setWordWrap(true);

    // The form, then the open/close button with the indicator and the status beside it.
    auto* grid = new QGridLayout(m_serialGroup);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->addWidget(m_form, 0, 0, 1, 3);
    grid->addWidget(m_openClose, 1, 0);
    grid->addWidget(m_indicator, 1, 1, Qt::AlignCenter);
    grid->addWidget(m_status, 1, 2);
    grid->setColumnStretch(2, 1);
    return m_serialGroup;
}

QWidget* ConnectionControls::buildTcpGroup() {
    m_tcpGroup = new QGroupBox(QStringLiteral("Tcp/Ip"), this);
    m_tcpGroup->setObjectName(QStringLiteral("tcpGroup"));
    m_ip = MakeEdit("ipEdit", QString(), m_tcpGroup);
    m_tcpPort = MakeEdit("tcpPortEdit", QString(), m_tcpGroup);
    m_function =
        MakeCombo("tcpFunctionCombo", Texts("vantor::PacketTable", kTcpFunctionTexts), m_tcpGroup);

    const std::array<const char*, 5> names = {"transactionHiEdit", "transactionLoEdit",
                                              "protocolHiEdit", "protocolLoEdit", "unitEdit"};
    const std::array<QString, 5> tips = {tr("事务标识（高字节）"), tr("事务标识（低字节）"),
                                         tr("协议标识（高字节）"), tr("协议标识（低字节）"),
                                         tr("单元标识")};
    auto* headerRow = new QHBoxLayout;
    for (std::size_t i = 0; i < m_header.size(); ++i) {
        m_header[i] = MakeEdit(names[i], QString(), m_tcpGroup);
        m_header[i]->setValidator(new QIntValidator(0, 255, m_header[i]));
        m_header[i]->setToolTip(tips[i]);
        m_header[i]->setAccessibleName(m_header[i]->toolTip());
        m_header[i]->setMaxLength(3);
        headerRow->addWidget(m_header[i]);
    }

    m_connect = new QPushButton(tr("连接"), m_tcpGroup);
    m_connect->setObjectName(QStringLiteral("connectButton"));
    SetButtonIcon(m_connect, "connect");
    m_tcpStart = new QPushButton(tr("开始"), m_tcpGroup);
    m_tcpStart->setObjectName(QStringLiteral("tcpStartButton"));
    SetButtonIcon(m_tcpStart, "start");
    m_tcpStop = new QPushButton(tr("停止"), m_tcpGroup);
    m_tcpStop->setObjectName(QStringLiteral("tcpStopButton"));
    SetButtonIcon(m_tcpStop, "stop");
    m_tcpStatus = new QLabel(m_tcpGroup);
    m_tcpStatus->setObjectName(QStringLiteral("tcpStatus"));
    // The status takes the room beside the buttons and never widens the panel: at the working
    // size a longer text would push the panel past its window.
    m_tcpStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    // Server and port on one row, then the function, the header bytes, and the buttons with the
    // status after them: as low as the serial group.
    auto* server = new QHBoxLayout;
    server->addWidget(m_ip, 3);
    auto* portLabel = new QLabel(tr("端口"), m_tcpGroup);
    portLabel->setBuddy(m_tcpPort);
    server->addWidget(portLabel);
    server->addWidget(m_tcpPort, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_connect, m_tcpStart, m_tcpStop})
        buttons->addWidget(button);
    buttons->addWidget(m_tcpStatus, 1);
    auto* grid = new QGridLayout(m_tcpGroup);
    grid->setContentsMargins(6, 4, 6, 4);
    const auto labelFor = [this](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, m_tcpGroup);
        label->setBuddy(field); // the field's name for screen readers
        return label;
    };
    grid->addWidget(labelFor(QStringLiteral("IP:"), m_ip), 0, 0);
    grid->addLayout(server, 0, 1);
    grid->addWidget(labelFor(tr("命令"), m_function), 1, 0);
    grid->addWidget(m_function, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("MBAP"), m_tcpGroup), 2, 0);
    grid->addLayout(headerRow, 2, 1);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    connect(m_connect, &QPushButton::clicked, this, &ConnectionControls::onConnect);
    connect(m_tcpStart, &QPushButton::clicked, this, &ConnectionControls::onTcpStart);
    connect(m_tcpStop, &QPushButton::clicked, this, &ConnectionControls::onTcpStop);
    return m_tcpGroup;
}

} // namespace vantor
