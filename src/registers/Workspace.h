// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The working set-up of the program, on the GUI thread: everything a project file, a parameter
// file, the demo start or the console fills in and that the panels show and edit. Widgets are
// views and editors of it; nothing here knows a widget. The application object owns it.
//
// Where each piece lives:
//   packet rows and their check boxes, send interval, link kind, TCP settings, names state: here
//   serial line choices (port, baud, parity, data and stop bits):   serial()
//   values, labels, colours, formats, data format, address base:     store()
//   the trend's curve rows (the point list) and the trend settings:   curves(), trendSettings()
//   the monitoring objects' captions, units and rates:              monitors()
#include <QObject>
#include <QString>
#include <optional>

#include "modbus/CommandImages.h"
#include "registers/PacketTable.h"
#include "registers/PointRef.h"
#include "registers/PublishSettings.h"
#include "registers/TrendSettings.h"

namespace vantor {

class CurveTable;
class MonitorTable;
class RegisterStore;
class SerialSelection;

// The server address starts empty: nothing is reached that the user did not type.
struct TcpSettings {
    QString host;
    QString port = QStringLiteral("502");
    TcpHeader header;
    bool operator==(const TcpSettings&) const = default;
};

class Workspace : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultIntervalMs = 200;
    static constexpr int kDefaultReplyTimeoutMs = 1000;
    static constexpr int kMinReplyTimeoutMs = 10;
    static constexpr int kMaxReplyTimeoutMs = 60000;
    static constexpr int kMaxIntervalMs = 3600000;

    explicit Workspace(QObject* parent = nullptr);
    ~Workspace() override;

    // ---- packet table (packet 1..30) ----
    const PacketRows& rows() const { return m_rows; }
    const DataPacket& row(PacketNo packet) const; // an invalid packet reads as a default row
    bool isChecked(PacketNo packet) const { return row(packet).enabled; }
    std::array<bool, kPacketCount> checks() const; // the 30 check boxes, packet 1 first
    void setRows(const PacketRows& rows);
    void setRow(PacketNo packet, const DataPacket& row); // its texts and its check box
    void setPacketChecked(PacketNo packet, bool checked);
    void setAllChecked(bool checked);

    // ---- sending ----
    QString sendIntervalText() const { return m_intervalText; } // as typed
    int sendInterval() const;                                   // the text read leniently
    // The text as a whole number of milliseconds (blanks around it allowed), or nothing when it
    // is not one or lies outside 0..kMaxIntervalMs: sending is not started on such a text.
    std::optional<int> strictSendInterval() const;
    void setSendIntervalText(const QString& text);
    void setSendInterval(int ms) { setSendIntervalText(QString::number(ms)); }
    // How long a polled request may go unanswered (kept within the limits above); the fast
    // mode (interval 0) sends the next request after it.
    int replyTimeoutMs() const { return m_replyTimeoutMs; }
    void setReplyTimeout(int ms);

    // ---- links ----
    LinkKind linkKind() const { return m_linkKind; }
    void setLinkKind(LinkKind link);
    const TcpSettings& tcp() const { return m_tcp; }
    void setTcp(const TcpSettings& tcp);
    SerialSelection* serial() const { return m_serial; }

    // ---- data ----
    RegisterStore* store() const { return m_store; }
    // Configure: the rows to command images for both links with the workspace's TCP header; the
    // refusals reported are those of the workspace's link kind. The store takes the images as
    // that link sends them and rebuilds its point labels; the caller hands the images to the
    // link.
    ConfigureResult configure();

    // ---- monitoring objects ----
    MonitorTable* monitors() const { return m_monitors; }

    // ---- trend ----
    CurveTable* curves() const { return m_curves; }
    const TrendSettings& trendSettings() const { return m_trend; }
    void setTrendSettings(const TrendSettings& settings);

    // ---- publishing to a broker ----
    const PublishSettings& publishSettings() const { return m_publish; }
    void setPublishSettings(const PublishSettings& settings);

    // The project file the set-up was last saved to or opened from; empty when none.
    QString projectPath() const { return m_projectPath; }
    void setProjectPath(const QString& path);

    // Labels from the user's point names (true) or the point numbers (false).
    bool userNames() const { return m_userNames; }
    void setUserNames(bool on);

signals:
    void rowsChanged();                                // the whole table was replaced
    void rowChanged(int packet);                       // 1..30: texts or check box of one row
    void packetCheckChanged(int packet, bool checked); // 1..30, one check box changed
    void allChecksChanged(bool checked);               // every check box set at once
    void sendIntervalChanged(const QString& text);
    void replyTimeoutChanged(int ms);
    void linkKindChanged(vantor::LinkKind link);
    void tcpChanged();
    void userNamesChanged(bool on);
    void trendSettingsChanged();
    void projectPathChanged(const QString& path);
    void publishSettingsChanged();

private:
    PacketRows m_rows;
    QString m_intervalText = QString::number(kDefaultIntervalMs);
    int m_replyTimeoutMs = kDefaultReplyTimeoutMs;
    LinkKind m_linkKind = LinkKind::Serial;
    TcpSettings m_tcp;
    bool m_userNames = false;
    QString m_projectPath;
    TrendSettings m_trend;
    PublishSettings m_publish;
    SerialSelection* m_serial;
    RegisterStore* m_store;
    CurveTable* m_curves;
    MonitorTable* m_monitors;
};

} // namespace vantor
