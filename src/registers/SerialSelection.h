// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial line choices shared by the communication panel and the communication settings
// dialog: both show the same selection, and a change made in one shows at once in the other.
#include <QObject>
#include <QStringList>
#include <array>

#include "transport/SerialPortInfo.h"
#include "transport/SerialSettings.h"

namespace vantor {

// The baud list is kBaudRates (transport/SerialSettings.h), shown as numbers.
inline constexpr std::array<const char*, 3> kParityTexts = {"NONE", "ODD", "EVEN"};
inline constexpr std::array<char, 3> kParityLetters = {'N', 'O', 'E'};
inline constexpr std::array<int, 3> kDataBitsValues = {8, 7, 6};
inline constexpr std::array<int, 2> kStopBitsValues = {1, 2};

// The device to open for a port list entry: the name inside a trailing "(...)" of a friendly
// name ("USB Serial (ttyUSB0)" -> "ttyUSB0"), or the text itself (a typed path).
QString PortNameFromDisplayText(const QString& text);

// The port status line: "STATUS：<port> OPENED，19200,N,8,2" (CLOSED while closed), in the
// user's language.
QString PortStatusText(const SerialSettings& settings, bool open);
// The status line while no port was opened yet: kPortClosedStatus in the user's language.
QString PortClosedStatusText();
inline constexpr const char* kPortClosedStatus =
    QT_TRANSLATE_NOOP("vantor::SerialSelection", "STATUS：COM Port Closed");

bool SameSettings(const SerialSettings& a, const SerialSettings& b);

// The entries of the line-setting lists, in table order.
enum class SerialChoice { Baud, Parity, DataBits, StopBits };
QStringList ChoiceTexts(SerialChoice choice);

class SerialSelection : public QObject {
    Q_OBJECT
public:
    explicit SerialSelection(QObject* parent = nullptr);

    const QStringList& ports() const { return m_ports; } // friendly names
    int portIndex() const { return m_portIndex; }        // -1: none, or a typed text
    QString portText() const;                            // the entry shown in the port combo
    bool hasTypedPort() const { return m_portIndex < 0 && !m_typedPort.isEmpty(); }
    int baudIndex() const { return m_baud; }         // 6 (19200) at start
    int parityIndex() const { return m_parity; }     // 0 (NONE)
    int dataBitsIndex() const { return m_dataBits; } // 0 (8)
    int stopBitsIndex() const { return m_stopBits; } // 1 (2)
    SerialSettings settings() const;                 // what the port is opened with
    // The panel's record of the port: set from the press of "打开串口" (also when the open then
    // fails) until the press of "关闭串口" or a line failure.
    bool portOpen() const { return m_portOpen; }

public slots:
    void setPortIndex(int index);
    void setTypedPort(const QString& text); // a device path typed into the port combo
    void setBaudIndex(int index);           // indexes outside a table change nothing
    void setParityIndex(int index);
    void setDataBitsIndex(int index);
    void setStopBitsIndex(int index);
    void setPortOpen(bool open);
    // Baud rate, parity, data and stop bits; a value the lists do not offer is left as it was.
    void setLineSettings(const vantor::SerialSettings& settings);

public:
    // Replaces the port list (entry 0 selected) and tells whether the port named
    // previousText is gone: true when the list is empty, or when previousText is not empty and
    // matches no entry. A typed port is not in the list: it stays selected, and it is gone
    // only when previousText names it and its device no longer exists.
    bool RebuildPorts(const QList<SerialPortInfo>& ports, const QString& previousText);

signals:
    void changed(); // any selection or the list changed
    void portOpenChanged(bool open);

private:
    bool setIndex(int& member, int index, std::size_t tableSize);

    QStringList m_ports;
    int m_portIndex = -1;
    QString m_typedPort;
    int m_baud = 6, m_parity = 0, m_dataBits = 0, m_stopBits = 1;
    bool m_portOpen = false;
};

} // namespace vantor
