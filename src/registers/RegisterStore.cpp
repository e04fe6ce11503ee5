#include "registers/RegisterStore.h"

#include "registers/RegisterDecoder.h"

namespace vantor {

namespace {

std::span<const std::uint8_t> Bytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

bool ValidPacket(int packet) {
    return packet >= 0 && packet < kPacketCount;
}

} // namespace

RegisterStore::RegisterStore(QObject* parent) : QObject(parent) {
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &RegisterStore::flush);
    m_image.RebuildPointLabels(m_images, m_addressBase);
}

QString RegisterStore::valueText(int packet, int cell) const {
    return QString::fromStdString(m_image.At(packet, cell).value);
}

QString RegisterStore::labelText(int packet, int cell) const {
    return QString::fromStdString(m_image.At(packet, cell).label);
}

void RegisterStore::setImages(const CommandImages& images) {
    m_images = images;
}

void RegisterStore::setDataFormat(int value) {
    if (value < 0 || value > 3)
        return;
    m_dataFormat = value;
    for (int p = 0; p < kPacketCount; ++p)
        markChanged(p);
}

void RegisterStore::setAddressBase(int base) {
    if (base != 0 && base != 1)
        return;
    m_addressBase = base;
    rebuildPointLabels();
}

void RegisterStore::rebuildPointLabels() {
    m_image.RebuildPointLabels(m_images, m_addressBase);
    for (int p = 0; p < kPacketCount; ++p)
        markChanged(p);
    emit labelsRebuilt();
}

void RegisterStore::setCellValue(int packet, int cell, const QString& text) {
    m_image.SetValue(packet, cell, text.toStdString());
    markChanged(packet);
}

void RegisterStore::setCellFormat(int packet, int cell, int code) {
    m_formats.SetCellFormat(packet, cell, code);
    markChanged(packet);
}

void RegisterStore::onRegisterReply(int packet, const QByteArray& data, int registerCount) {
    if (!ValidPacket(packet - 1))
        return;
    m_image.Apply(packet - 1,
                  DecodeRegisters(Bytes(data), registerCount, m_formats.Packet(packet - 1)));
    markChanged(packet - 1);
}

void RegisterStore::onBitReply(int packet, const QByteArray& data, int bitCount) {
    if (!ValidPacket(packet - 1) || m_dataFormat != 0)
        return;
    m_image.Apply(packet - 1, DecodeBits(Bytes(data), bitCount));
    markChanged(packet - 1);
}

void RegisterStore::markChanged(int packet) {
    if (!ValidPacket(packet))
        return;
    m_dirty.insert(packet);
    if (!m_refresh.isActive())
        m_refresh.start();
}

void RegisterStore::flush() {
    const QSet<int> dirty = std::exchange(m_dirty, {});
    for (int packet : dirty)
        emit packetChanged(packet);
}

} // namespace vantor
