// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The writes of the program, on the GUI thread: one cell, one coil, the page of the fn 16 edit
// mode, the parameter set, and frames typed by the user. It builds the command texts from the
// workspace (the configured packets, the cells and their formats) for the link kind in use and
// hands them to the link controller's write jobs. Dialogs, the panel and the console call it.
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "registers/PointRef.h"
#include "writes/ParameterFile.h"
#include "writes/WriteCommands.h"

namespace vantor {

class LinkController;
class Workspace;

class WriteService : public QObject {
    Q_OBJECT
public:
    WriteService(Workspace* workspace, LinkController* link, QObject* parent = nullptr);

    Workspace* workspace() const { return m_workspace; }

    // The typed value for the cell ("写入" in the dialog). A value that does not fit the cell's
    // format is refused and changes nothing; otherwise the cell shows the decimal text and, when
    // the packet's row is checked, the fn 16 edit mode is off and packets are configured, the
    // cell is written. The outcome says which.
    struct Outcome {
        QString refusal; // not empty: nothing changed or sent
        QString note;    // the cell changed but nothing was sent, and why
        bool sent = false;
    };
    Outcome writeCell(PointRef point, const QString& decimal, const QString& unsignedText);

    // A monitoring object's write of a whole number: refused when the link is not open, no
    // packet is configured or the value does not fit the cell's format (a negative value goes
    // to a 16-bit cell as its two's complement); otherwise the cell shows it and it is sent,
    // whatever the packet's check box or the fn 16 edit mode.
    Outcome writeMonitorCell(PointRef point, const QString& decimal);
    // Why writeMonitorCell would refuse the value for the cell's format ("" when it fits).
    QString monitorValueRefusal(PointRef point, const QString& decimal) const;

    // True when the packet reads coils as configured (function 1 on the configured link): its
    // cells are written with function 05.
    bool isCoilPacket(PacketNo packet) const;
    // Why no cell of the packet can be written ("" when it can): it reads a read-only table.
    QString tableRefusal(PacketNo packet) const;
    // Why the value at the cell, `registers` long, is not all inside the configured packet ("" when
    // it is): a write there would change a register or coil the packet does not poll.
    QString rangeRefusal(PointRef point, int registers = 1) const;
    // The coil's address on the device: the packet's start plus the cell.
    int coilAddress(PointRef point) const;
    // Switches the cell's coil: refused while the link is not open or no packet is configured;
    // otherwise the cell shows 1 or 0 and, like a register cell, the coil is written when the
    // packet's row is checked and the fn 16 edit mode is off.
    Outcome writeCoil(PointRef point, bool on);

    // The fn 16 edit mode of a packet's page: entering unchecks the packet's row, leaving
    // restores it and writes the page.
    bool pageEditing() const { return m_editPacket.has_value(); }
    std::optional<int> editedPacket() const { return m_editPacket; }
    void beginPageEdit(PacketNo packet);
    void endPageEdit();

    // "读取参数": the file's values onto the cells; they are also kept as the set "写入参数"
    // writes, since polling soon puts the device's own values into the grid.
    ParameterFileResult loadParameters(const QString& path);
    // "写入参数": the loaded set, each packet to its own table (holding registers with function
    // 16, coils with 15), one request after the other. Packets of read-only tables are skipped
    // and named in the note; refused when nothing was loaded.
    Outcome writeParameters();
    // "发送命令": a refusal, or "" when the frame was handed to the link.
    QString sendCustom(const QString& typed);

    PacketCounts counts() const; // the counts of the last configure
    // The requests that write the packet's page now (several for more than 123 registers): a
    // function 1 packet's coils with function 15, any other packet's registers with function 16.
    // A value whose text is what its registers in the last reply show is written as those
    // registers: a rounded display text never replaces what the device holds.
    QStringList pageTexts(PacketNo packet) const;
    WriteTarget targetOf(PacketNo packet) const;

signals:
    void statusMessage(const QString& text);
    void pageEditChanged(bool editing);

private:
    Workspace* m_workspace;
    LinkController* m_link;
    std::vector<PageCell> pageCells(PacketNo packet, int count) const;

    std::optional<int> m_editPacket;
    // The cells of the last "读取参数", per packet (cells 0..n-1); empty: nothing loaded.
    std::array<std::vector<PageCell>, kPacketCount> m_loaded;
    bool m_editRowWasChecked = false;
};

} // namespace vantor
