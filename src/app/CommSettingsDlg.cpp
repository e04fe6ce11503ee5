#include "app/CommSettingsDlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "registers/SerialSelection.h"
#include "widgets/DropDown.h"

namespace vantor {

namespace {

QComboBox* MakeCombo(const char* name, const QStringList& items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->addItems(items);
    return combo;
}

} // namespace

CCommSettingsDlg::CCommSettingsDlg(SerialSelection* selection, int connectionIndex, QWidget* parent)
    : QDialog(parent), m_selection(selection) {
    setWindowTitle(QStringLiteral("通信设置"));

    auto* connectionGroup = new QGroupBox(QStringLiteral("Connection"), this);
    // Shows the panel's mode; choosing here switches nothing, the panel's combo does that.
    m_connection =
        MakeCombo("connectionCombo",
                  {QStringLiteral("1. Serial Port"), QStringLiteral("2. Tcp/Ip")}, connectionGroup);
    m_connection->setCurrentIndex(connectionIndex);
    (new QVBoxLayout(connectionGroup))->addWidget(m_connection);

    auto* serialGroup = new QGroupBox(QStringLiteral("Serial Settings"), this);
    m_port = MakeCombo("portCombo", {}, serialGroup);
    m_baud = MakeCombo("baudCombo", ChoiceTexts(SerialChoice::Baud), serialGroup);
    m_parity = MakeCombo("parityCombo", ChoiceTexts(SerialChoice::Parity), serialGroup);
    m_dataBits = MakeCombo("dataBitsCombo", ChoiceTexts(SerialChoice::DataBits), serialGroup);
    m_stopBits = MakeCombo("stopBitsCombo", ChoiceTexts(SerialChoice::StopBits), serialGroup);
    auto* grid = new QGridLayout(serialGroup);
    const std::array<std::pair<const char*, QComboBox*>, 5> rows = {{{"串口号", m_port},
                                                                     {"波特率", m_baud},
                                                                     {"校验位", m_parity},
                                                                     {"数据位", m_dataBits},
                                                                     {"停止位", m_stopBits}}};
    int row = 0;
    for (const auto& [label, combo] : rows) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), serialGroup), row, 0);
        grid->addWidget(combo, row++, 1);
    }
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(connectionGroup);
    layout->addWidget(serialGroup);
    layout->addWidget(buttons);

    connect(m_port, &QComboBox::activated, this, &CCommSettingsDlg::onPortChosen);
    // Each choice goes straight into the shared selection, so the panel shows it at once.
    connect(m_baud, &QComboBox::activated, m_selection, &SerialSelection::setBaudIndex);
    connect(m_parity, &QComboBox::activated, m_selection, &SerialSelection::setParityIndex);
    connect(m_dataBits, &QComboBox::activated, m_selection, &SerialSelection::setDataBitsIndex);
    connect(m_stopBits, &QComboBox::activated, m_selection, &SerialSelection::setStopBitsIndex);
    // The port list can be rebuilt while the dialog is open (a device plugged in).
    connect(m_selection, &SerialSelection::changed, this, &CCommSettingsDlg::showSelection);
    showSelection();
}

void CCommSettingsDlg::onPortChosen(int index) {
    if (index < m_selection->ports().size())
        m_selection->setPortIndex(index);
    else
        m_selection->setTypedPort(m_port->itemText(index));
}

void CCommSettingsDlg::showSelection() {
    // The list entries, and a typed device path as an extra last entry so it shows as chosen.
    QStringList entries = m_selection->ports();
    if (m_selection->hasTypedPort())
        entries.append(m_selection->portText());
    QStringList shown;
    for (int i = 0; i < m_port->count(); ++i)
        shown.append(m_port->itemText(i));
    if (shown != entries) {
        m_port->clear();
        m_port->addItems(entries);
        WidenDropDown(m_port);
    }
    m_port->setCurrentIndex(m_selection->hasTypedPort() ? static_cast<int>(entries.size()) - 1
                                                        : m_selection->portIndex());
    m_baud->setCurrentIndex(m_selection->baudIndex());
    m_parity->setCurrentIndex(m_selection->parityIndex());
    m_dataBits->setCurrentIndex(m_selection->dataBitsIndex());
    m_stopBits->setCurrentIndex(m_selection->stopBitsIndex());
}

// The drop-down is only ever widened, so it does not jump while the dialog is open.

} // namespace vantor
