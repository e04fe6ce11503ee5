// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The curve file's fixed pieces, shared by its writer and its reader (not offered to other
// libraries). Numbers are little-endian; doubles are IEEE 754 binary64 as in memory.
#include <QByteArray>
#include <QString>
#include <bit>
#include <cstdint>
#include <cstring>

namespace vantor::tee {

static_assert(std::endian::native == std::endian::little,
              "the curve file stores numbers and doubles in this machine's byte order");

// 0x89 marks a binary file, CR LF and LF catch line-end translation, 0x1A stops a text dump.
inline constexpr char kSignature[8] = {'\x89', 'V', 'T', 'E', '\r', '\n', '\x1a', '\n'};
inline constexpr int kHeaderSize = 12;    // signature, u16 major, u16 minor
inline constexpr int kChunkHeadSize = 12; // tag, u64 payload length
inline constexpr int kChunkTailSize = 4;  // CRC-32 of tag, length and payload

inline constexpr char kChartTag[4] = {'C', 'H', 'R', 'T'};
inline constexpr char kSeriesTag[4] = {'S', 'E', 'R', 'I'};
inline constexpr char kEndTag[4] = {'E', 'N', 'D', ' '};
// Since 1.2: the points a save added to each series, and a series' changed attributes.
inline constexpr char kAppendTag[4] = {'A', 'P', 'N', 'D'};
inline constexpr char kSeriesAttributesTag[4] = {'S', 'M', 'E', 'T'};

// Series flags.
inline constexpr std::uint8_t kActive = 1;
inline constexpr std::uint8_t kHiddenByLegend = 2;
inline constexpr std::uint8_t kRegular = 4;

// A time base plus the 99 curves.
inline constexpr int kMaxSeries = 100;

// zlib's CRC-32 (the polynomial of zip and PNG), computed with the processor's carry-less
// multiply where it has one.
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);

template <typename T> void Append(QByteArray& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

inline void AppendText32(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    Append<std::uint32_t>(out, static_cast<std::uint32_t>(utf8.size()));
    out.append(utf8);
}

} // namespace vantor::tee
