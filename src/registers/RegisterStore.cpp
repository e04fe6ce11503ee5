// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/RegisterStore.h"

#include "registers/RegisterDecoder.h"

namespace vantor {

namespace {

std::span<const std::uint8_t> Bytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

std::size_t PartIndex(CellPart part) {
    return part == CellPart::Label ? 0 : 1;
}

} // namespace

RegisterStore::RegisterStore(QObject* parent) : QObject(parent) {
    for (PacketColors& packet : m_colors)
        for (auto& cell : packet)
            cell = {DefaultColorRefs(CellPart::Label), DefaultColorRefs(CellPart::Value)};
    m_image.RebuildPointLabels(m_images, m_addressBase);
}

QString RegisterStore::valueText(PointRef point) const {
    settle(point.packet);
    return QString::fromStdString(m_image.At(point).value);
}

const std::string& RegisterStore::valueUtf8(PointRef point) const {
    settle(point.packet);
    return m_image.At(point).value;
}

QString RegisterStore::labelText(PointRef point) const {
    return QString::fromStdString(m_image.At(point).label);
}

QString RegisterStore::gridText(int grid, int row, int column) const {
    if (grid < 1 || grid > kPacketCount || row < 1 || row > 10 || column < 1 || column > 26)
        return {};
    const bool label = column % 2 == 1;
    const PointRef point{PacketNo(grid), CellFromGrid(row, label ? column + 1 : column)};
    return label ? labelText(point) : valueText(point);
}

int RegisterStore::formatCode(PointRef point) const {
    settle(point.packet);
    return m_formats.Get(point);
}

ColorRefs RegisterStore::colors(PointRef point, CellPart part) const {
    if (!point.valid())
        return DefaultColorRefs(part);
    return m_colors[point.packet.index()][static_cast<std::size_t>(point.cell)][PartIndex(part)];
}

RegisterStore::RawRegisters RegisterStore::lastRegisters(PacketNo packet) const {
    if (!packet.valid())
        return {};
    const PendingReply& last = m_pending[packet.index()];
    return {last.data, last.registers};
}

bool RegisterStore::isStale(PacketNo packet) const {
    return packet.valid() && m_stale[packet.index()];
}

void RegisterStore::setCellValue(PointRef point, const QString& text) {
    settle(point.packet);
    m_image.SetValue(point, text.toStdString());
    markChanged(point.packet.number);
}

void RegisterStore::setCellLabel(PointRef point, const QString& text) {
    m_image.SetLabel(point, text.toStdString());
    markChanged(point.packet.number);
}

void RegisterStore::setCellFormat(PointRef point, int code) {
    settle(point.packet);
    m_formats.SetCellFormat(point, code);
    markChanged(point.packet.number);
}

void RegisterStore::setColors(PointRef point, CellPart part, ColorRefs colors) {
    if (!point.valid())
        return;
    ColorRefs& kept =
        m_colors[point.packet.index()][static_cast<std::size_t>(point.cell)][PartIndex(part)];
    if (kept == colors)
        return;
    kept = colors;
    emit colorsChanged(point, part);
}

void RegisterStore::setImages(const CommandImages& images) {
    m_images = images;
}

void RegisterStore::setDataFormat(int value) {
    if (value < 0 || value > 3)
        return;
    const bool changed = m_dataFormat != value;
    m_dataFormat = value;
    for (int p = 1; p <= kPacketCount; ++p)
        markChanged(p);
    if (changed)
        emit dataFormatChanged(value);
}

void RegisterStore::setAddressBase(int base) {
    if (base != 0 && base != 1)
        return;
    const bool changed = m_addressBase != base;
    m_addressBase = base;
    rebuildPointLabels();
    if (changed)
        emit addressBaseChanged(base);
}

void RegisterStore::rebuildPointLabels() {
    settleAll(); // the blanks replace what the replies so far brought
    m_image.RebuildPointLabels(m_images, m_addressBase);
    for (int p = 1; p <= kPacketCount; ++p)
        markChanged(p);
    emit labelsRebuilt();
}

void RegisterStore::onRegisterReply(int packet, const QByteArray& data, int registerCount) {
    const PacketNo number(packet);
    if (!number.valid())
        return;
    PendingReply& pending = m_pending[number.index()];
    // A reply that reaches every cell the pending one reaches leaves nothing of it behind once
    // decoded, so it simply takes its place; a shorter one lets the pending one be decoded first.
    if (pending.pending && (data.size() < pending.data.size() || registerCount < pending.registers))
        settle(number);
    pending = {data, registerCount, true};
    markChanged(packet);
    setStale(packet, false);
}

void RegisterStore::decodePending(PacketNo packet) const {
    PendingReply& pending = m_pending[packet.index()];
    pending.pending = false;
    // The texts go straight into the image's cells, which keep their storage from reply to
    // reply.
    DecodeRegistersTo(Bytes(pending.data), pending.registers, m_formats.Packet(packet),
                      [this, packet](int cell, std::string_view text) {
                          m_image.SetValue({packet, cell}, text);
                      });
}

void RegisterStore::settleAll() const {
    for (int p = 1; p <= kPacketCount; ++p)
        settle(PacketNo(p));
}

void RegisterStore::onBitReply(int packet, const QByteArray& data, int bitCount) {
    if (!PacketNo(packet).valid())
        return;
    setStale(packet, false); // an accepted reply, even where the format keeps the cells
    if (m_dataFormat != 0)
        return;
    settle(PacketNo(packet)); // a register reply before it must not come after it
    m_image.Apply(PacketNo(packet), DecodeBits(Bytes(data), bitCount));
    markChanged(packet);
}

void RegisterStore::onNoReply(int packet) {
    setStale(packet, true);
}

void RegisterStore::setStale(int packet, bool stale) {
    if (!PacketNo(packet).valid() || m_stale[PacketNo(packet).index()] == stale)
        return;
    m_stale[PacketNo(packet).index()] = stale;
    emit staleChanged(packet, stale);
}

void RegisterStore::markChanged(int packet) {
    if (!PacketNo(packet).valid())
        return;
    m_dirty.insert(packet);
    m_refresh.schedule();
}

void RegisterStore::flush() {
    const QSet<int> dirty = std::exchange(m_dirty, {});
    for (int packet : dirty)
        emit packetChanged(packet);
}

} // namespace vantor
