// SPDX-License-Identifier: GPL-3.0-or-later
// The communication panel's parts: the packet table with its buttons, the data format, the
// parameter buttons with the log's pause and the project file, and the log.
#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <span>

#include "packets/CommLog.h"
#include "packets/CommPanelDlg.h"
#include "packets/CommPanelRules.h"
#include "packets/CounterDisplay.h"
#include "packets/PacketListWidget.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "widgets/ButtonIcon.h"

namespace vantor {

namespace {

constexpr int kIntervalEditWidth = 60;
constexpr int kLogMinimumHeight = 48; // three lines; the log takes whatever height is left

void TightenGroup(QLayout* layout) {
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(CCommPanelDlg::kSpacing);
}

struct RadioEntry {
    const char* caption;
    const char* objectName;
};
constexpr std::array<RadioEntry, 4> kFormatRadios = {{{"Int Default", "formatIntDefault"},
                                                      {"ABCD", "formatABCD"},
                                                      {"CDAB", "formatCDAB"},
                                                      {"BADC", "formatBADC"}}};
constexpr std::array<RadioEntry, 2> kBaseRadios = {
    {{"Base0", "base0Radio"}, {"Base1", "base1Radio"}}};

// One row of the grid: a radio button per entry, numbered in their group from 0.
QButtonGroup* AddRadioRow(QWidget* group, QGridLayout* grid, int row,
                          std::span<const RadioEntry> entries) {
    auto* buttons = new QButtonGroup(group);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(entries[i].caption), group);
        radio->setObjectName(QString::fromLatin1(entries[i].objectName));
        buttons->addButton(radio, static_cast<int>(i));
        grid->addWidget(radio, row, static_cast<int>(i));
    }
    return buttons;
}

} // namespace

QPushButton* CCommPanelDlg::makeButton(const QString& caption, const char* objectName) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(objectName));
    // "configureButton" draws ":/icons/buttons/configure.svg", and so on.
    const QByteArray icon = QByteArray(objectName).replace("Button", "").toLower();
    SetButtonIcon(button, icon.constData());
    return button;
}

QWidget* CCommPanelDlg::buildPacketGroup() {
    auto* group = new QGroupBox(tr("定时发送数据包配置："), this);
    m_list = new PacketListWidget(m_workspace, group);
    m_list->setObjectName(QStringLiteral("packetList"));
    m_list->setAccessibleName(tr("数据包表"));
    m_configure = makeButton(tr("配置数据包"), "configureButton");
    m_start = makeButton(tr("自动发送数据包"), "startButton");
    m_stop = makeButton(tr("停止发送数据包"), "stopButton");
    m_selectAll = makeButton(CommPanelText(kSelectAllCaption), "selectAllButton");
    m_interval = new QLineEdit(m_workspace->sendIntervalText(), group);
    m_interval->setObjectName(QStringLiteral("intervalEdit"));
    m_interval->setFixedWidth(kIntervalEditWidth);
    m_interval->setToolTip(tr("发包间隔（毫秒）；0：应答判定后（或应答超时后）立即发送下一请求"));

    // Configure, select-all and the interval on one row; start and stop side by side below.
    auto* buttons = new QGridLayout;
    buttons->setSpacing(kSpacing);
    buttons->addWidget(m_configure, 0, 0);
    buttons->addWidget(m_selectAll, 0, 1);
    auto* interval = new QHBoxLayout;
    auto* intervalLabel = new QLabel(tr("发包间隔:"), group);
    intervalLabel->setBuddy(m_interval); // the edit's name for screen readers
    interval->addWidget(intervalLabel);
    interval->addWidget(m_interval);
    interval->addWidget(new QLabel(QStringLiteral("ms"), group));
    interval->addStretch(1);
    buttons->addLayout(interval, 0, 2);
    buttons->addWidget(m_start, 1, 0);
    buttons->addWidget(m_stop, 1, 1, 1, 2);

    auto* layout = new QVBoxLayout(group);
    TightenGroup(layout);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_configure, &QPushButton::clicked, this, &CCommPanelDlg::Configure);
    connect(m_start, &QPushButton::clicked, this, &CCommPanelDlg::startSending);
    connect(m_stop, &QPushButton::clicked, this, &CCommPanelDlg::stopSending);
    connect(m_selectAll, &QPushButton::clicked, this, &CCommPanelDlg::toggleSelectAll);
    connect(m_interval, &QLineEdit::textEdited, m_workspace, &Workspace::setSendIntervalText);
    return group;
}

QWidget* CCommPanelDlg::buildFormatGroup() {
    auto* group = new QGroupBox(tr("数据格式"), this);
    // The four formats on one row, the two address bases under them.
    auto* grid = new QGridLayout(group);
    TightenGroup(grid);
    m_formats = AddRadioRow(group, grid, 0, kFormatRadios);
    m_bases = AddRadioRow(group, grid, 1, kBaseRadios);
    m_formats->button(m_store->dataFormat())->setChecked(true);
    m_bases->button(m_store->addressBase())->setChecked(true);
    connect(m_formats, &QButtonGroup::idClicked, this, &CCommPanelDlg::onFormatClicked);
    connect(m_bases, &QButtonGroup::idClicked, m_store, &RegisterStore::setAddressBase);
    connect(m_store, &RegisterStore::dataFormatChanged, this,
            [this](int value) { m_formats->button(value)->setChecked(true); });
    connect(m_store, &RegisterStore::addressBaseChanged, this,
            [this](int base) { m_bases->button(base)->setChecked(true); });
    return group;
}

// The project and parameter buttons, the log's pause and the project file the set-up was last
// saved to or opened from. The write controls enable the four of the writes.
QWidget* CCommPanelDlg::buildLaterButtons() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(kSpacing);
    const std::array<QPushButton*, 5> buttons = {
        makeButton(tr("用户自定义名称"), "userNamesButton"),
        makeButton(tr("16号命令编辑"), "fn16Button"),
        makeButton(tr("写入参数"), "writeParamsButton"),
        makeButton(tr("读取参数"), "readParamsButton"),
        makeButton(tr("保存参数"), "saveParamsButton")};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i]->setEnabled(false);
        grid->addWidget(buttons[i], static_cast<int>(i / 3), static_cast<int>(i % 3));
    }
    m_pause = makeButton(CommPanelText(kPauseCaption), "pauseButton");
    grid->addWidget(m_pause, 1, 2);
    connect(m_pause, &QPushButton::clicked, this, &CCommPanelDlg::togglePause);

    auto* projectRow = new QHBoxLayout;
    auto* projectLabel = new QLabel(tr("当前工程文件地址："), box);
    projectRow->addWidget(projectLabel);
    auto* project = new QLineEdit(box);
    projectLabel->setBuddy(project);
    project->setObjectName(QStringLiteral("projectPathEdit"));
    project->setReadOnly(true);
    project->setMinimumWidth(60);
    const auto showProject = [project](const QString& path) {
        project->setText(QDir::toNativeSeparators(path));
        project->setCursorPosition(0);
        project->setToolTip(project->text());
    };
    showProject(m_workspace->projectPath());
    connect(m_workspace, &Workspace::projectPathChanged, project, showProject);
    projectRow->addWidget(project, 1);
    grid->addLayout(projectRow, 2, 0, 1, 3);
    return box;
}

QWidget* CCommPanelDlg::buildLog() {
    m_log = new CommLog(this);
    m_log->setObjectName(QStringLiteral("logEdit"));
    m_log->setAccessibleName(tr("通信记录"));
    m_log->setMinimumHeight(kLogMinimumHeight);
    connect(m_counters->clearButton(), &QPushButton::clicked, this, &CCommPanelDlg::clearCounters);
    return m_log;
}

} // namespace vantor
