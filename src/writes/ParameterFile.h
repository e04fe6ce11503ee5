// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Parameter files: the labels, values and format codes of every cell in use, as fixed 104-byte
// records (50-byte label, 50-byte value, both GBK and NUL-terminated, then the code as a 32-bit
// little-endian integer). No header: records belong to cells by their position, packets 1..30
// with a non-zero count, cells 0..count-1. The records hold the user's own labels and values and
// no text of the program's, so a file reads the same whatever the interface language.
#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

#include "modbus/CommandImages.h"

namespace vantor {

class RegisterStore;

inline constexpr int kParameterRecordSize = 104;
inline constexpr int kParameterTextField = 50;

struct ParameterRecord {
    QString label;
    QString value;
    int code = 4;
};

using PacketCounts = std::array<int, kPacketCount>;

// The records as stored; texts beyond 49 bytes are cut at a character boundary and counted
// (one per record with a cut text).
QByteArray EncodeParameterRecords(const std::vector<ParameterRecord>& records, int* cutRecords);
// Every whole record of the bytes; a field without a terminator reads up to 49 bytes.
std::vector<ParameterRecord> DecodeParameterRecords(const QByteArray& bytes);

// The records of the cells in use, in file order.
std::vector<ParameterRecord> CollectParameters(const RegisterStore& store,
                                               const PacketCounts& counts);
// Puts records onto the cells in file order; cells after the last record keep their contents,
// a code the program does not know leaves the cell's format. Returns the number of such codes.
int ApplyParameters(RegisterStore& store, const PacketCounts& counts,
                    const std::vector<ParameterRecord>& records);

struct ParameterFileResult {
    QString error; // "打开文件出错！" when the file cannot be made or read; nothing changed then
    QString notice; // what the user should know besides (cut texts, refused codes)
};

// Writes the file atomically (a temporary file beside it, then a rename).
ParameterFileResult SaveParameterFile(const QString& path, const RegisterStore& store,
                                      const PacketCounts& counts);
ParameterFileResult LoadParameterFile(const QString& path, RegisterStore& store,
                                      const PacketCounts& counts);

} // namespace vantor
