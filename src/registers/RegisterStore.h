// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The register image on the GUI thread: the value and label texts of the 30 packets, their cell
// colours, the format store, and the panel-wide data format and address base. Replies accepted
// by the session are decoded here, when a cell of their packet is next read; views learn of changes
// through a coalescing signal (at most ~30 per second), never once per byte. The console and the
// window use the same store.
#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <string>

#include "modbus/CommandImages.h"
#include "registers/CellColors.h"
#include "registers/Coalescer.h"
#include "registers/FormatStore.h"
#include "registers/PointRef.h"
#include "registers/RegisterImage.h"

namespace vantor {

class RegisterStore : public QObject {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 35;

    explicit RegisterStore(QObject* parent = nullptr);

    // The formats as every reply so far has left them (a reply's 32-bit values mark the cells
    // after them).
    FormatStore& formats() {
        settleAll();
        return m_formats;
    }
    const FormatStore& formats() const {
        settleAll();
        return m_formats;
    }
    const CommandImages& images() const { return m_images; }
    int dataFormat() const { return m_dataFormat; }   // 0 "Int Default", 1 ABCD, 2 CDAB, 3 BADC
    int addressBase() const { return m_addressBase; } // 0 or 1

    // Points outside the tables read as " " (texts), the default colours and code 4.
    QString valueText(PointRef point) const;
    // The same text as the store keeps it, in UTF-8, valid until the cell changes.
    const std::string& valueUtf8(PointRef point) const;
    QString labelText(PointRef point) const;
    int formatCode(PointRef point) const;
    // The text that data grid `grid` (1..30, the packet's page) shows at (row, column): a value on
    // an even column, a label on an odd one. Fixed cells and anything outside the 30 grids or a
    // grid's rows 1..10 and columns 1..26 read as empty, so a reference from anywhere is safe.
    QString gridText(int grid, int row, int column) const;
    ColorRefs colors(PointRef point, CellPart part) const;
    // The packet's last accepted register reply as the device sent it: its data (two bytes a
    // register, high byte first) and its register count. Empty before the first one.
    struct RawRegisters {
        QByteArray data;
        int registers = 0;
    };
    RawRegisters lastRegisters(PacketNo packet) const;
    // A packet whose polled requests went unanswered since its last accepted reply: its values
    // are old. False outside 1..30.
    bool isStale(PacketNo packet) const;

    void setCellValue(PointRef point, const QString& text);
    // A label typed or loaded by the user: it stays until the next label rebuild.
    void setCellLabel(PointRef point, const QString& text);
    void setCellFormat(PointRef point, int code); // a menu choice (continuation rule)
    void setColors(PointRef point, CellPart part, ColorRefs colors);

public slots:
    void setImages(const vantor::CommandImages& images); // after configure
    void setDataFormat(int value);
    void setAddressBase(int base); // stores it and rebuilds the point labels
    void rebuildPointLabels();

    // From the link (packet 1..30). Bits are written only while the data format is 0.
    void onRegisterReply(int packet, const QByteArray& data, int registerCount);
    void onBitReply(int packet, const QByteArray& data, int bitCount);
    void onNoReply(int packet); // marks the packet stale until its next accepted reply

signals:
    void packetChanged(int packet); // 1..30: values, labels or formats of that packet changed
    void labelsRebuilt();
    void dataFormatChanged(int value);
    void addressBaseChanged(int base);
    void colorsChanged(vantor::PointRef point, vantor::CellPart part); // at once, not coalesced
    void staleChanged(int packet, bool stale);                         // at once, on change only

private:
    // A register reply is kept as its bytes until a cell of its packet is read or changed: the
    // link may bring thousands a second, while a page or a print reads them far less often.
    // Settling decodes it into the image exactly as it would have been decoded on arrival.
    struct PendingReply {
        QByteArray data;
        int registers = 0;
        bool pending = false;
    };
    void settle(PacketNo packet) const {
        if (packet.valid() && m_pending[packet.index()].pending)
            decodePending(packet);
    }
    void decodePending(PacketNo packet) const;
    void settleAll() const;

    void markChanged(int packet);
    void setStale(int packet, bool stale);
    void flush();

    using PacketColors = std::array<std::array<ColorRefs, 2>, kCellsPerPacket>;

    // Settling a pending reply fills these from a const reader too.
    mutable FormatStore m_formats;
    mutable RegisterImage m_image;
    mutable std::array<PendingReply, kPacketCount> m_pending;
    std::array<PacketColors, kPacketCount> m_colors;
    std::array<bool, kPacketCount> m_stale{};
    CommandImages m_images;
    int m_dataFormat = 0;
    int m_addressBase = 0;
    QSet<int> m_dirty;
    Coalescer m_refresh{kRefreshMs, [this] { flush(); }};
};

} // namespace vantor
