// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/ParameterFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include "files/SaveWhole.h"
#include <QtEndian>

#include "files/GbkText.h"
#include "registers/RegisterStore.h"
#include "registers/ValueFormat.h"

namespace vantor {

namespace {

constexpr int kTextLimit = kParameterTextField - 1; // the terminator needs the last byte

QString OpenError() {
    return QCoreApplication::translate("vantor::ParameterFile", "打开文件出错！");
}

// The text's GBK bytes in a zero-filled field; true when the text had to be cut.
bool PutText(char* field, const QString& text) {
    const QByteArray whole = gbk::encode(text);
    const QByteArray bytes = gbk::cutAtCharacter(whole, kTextLimit);
    std::copy(bytes.begin(), bytes.end(), field);
    return bytes.size() != whole.size();
}

QString TakeText(const char* field) {
    const QByteArray raw(field, kParameterTextField);
    const qsizetype end = raw.indexOf('\0');
    return gbk::decode(end >= 0 ? raw.left(end) : gbk::cutAtCharacter(raw, kTextLimit));
}

template <class Visit> void ForEachCell(const PacketCounts& counts, Visit visit) {
    for (int p = 1; p <= kPacketCount; ++p)
        for (int i = 0; i < std::min(counts[p - 1], kCellsPerPacket); ++i)
            if (!visit(PointRef{PacketNo(p), i}))
                return;
}

} // namespace

QByteArray EncodeParameterRecords(const std::vector<ParameterRecord>& records, int* cutRecords) {
    QByteArray bytes(static_cast<qsizetype>(records.size()) * kParameterRecordSize, '\0');
    int cut = 0;
    char* record = bytes.data();
    for (const ParameterRecord& r : records) {
        const bool labelCut = PutText(record, r.label);
        const bool valueCut = PutText(record + kParameterTextField, r.value);
        cut += labelCut || valueCut ? 1 : 0;
        qToLittleEndian<qint32>(r.code, record + 2 * kParameterTextField);
        record += kParameterRecordSize;
    }
    if (cutRecords)
        *cutRecords = cut;
    return bytes;
}

std::vector<ParameterRecord> DecodeParameterRecords(const QByteArray& bytes) {
    std::vector<ParameterRecord> records;
    for (qsizetype at = 0; at + kParameterRecordSize <= bytes.size(); at += kParameterRecordSize) {
        const char* record = bytes.constData() + at;
        records.push_back({TakeText(record), TakeText(record + kParameterTextField),
                           qFromLittleEndian<qint32>(record + 2 * kParameterTextField)});
    }
    return records;
}

std::vector<ParameterRecord> CollectParameters(const RegisterStore& store,
                                               const PacketCounts& counts) {
    std::vector<ParameterRecord> records;
    ForEachCell(counts, [&](PointRef point) {
        records.push_back(
            {store.labelText(point), store.valueText(point), store.formatCode(point)});
        return true;
    });
    return records;
}

int ApplyParameters(RegisterStore& store, const PacketCounts& counts,
                    const std::vector<ParameterRecord>& records) {
    std::size_t next = 0;
    int refused = 0;
    ForEachCell(counts, [&](PointRef point) {
        if (next >= records.size())
            return false;
        const ParameterRecord& r = records[next++];
        if (IsKnownFormatCode(r.code))
            store.formats().SetRaw(point, r.code);
        else
            ++refused;
        store.setCellLabel(point, r.label);
        store.setCellValue(point, r.value);
        return true;
    });
    return refused;
}

ParameterFileResult SaveParameterFile(const QString& path, const RegisterStore& store,
                                      const PacketCounts& counts) {
    int cut = 0;
    const QByteArray bytes = EncodeParameterRecords(CollectParameters(store, counts), &cut);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {OpenError(), {}};
    QString reason;
    if (file.write(bytes) != bytes.size() || !CommitWhole(file, &reason))
        return {QCoreApplication::translate("vantor::ParameterFile",
                                            "参数文件 %1 保存失败，原文件未改动：%2")
                    .arg(path, reason.isEmpty() ? file.errorString() : reason),
                {}};
    if (cut == 0)
        return {};
    return {{},
            QCoreApplication::translate("vantor::ParameterFile",
                                        "%1 个单元格的文本超过 %2 字节，已截断保存。")
                .arg(cut)
                .arg(kTextLimit)};
}

ParameterFileResult LoadParameterFile(const QString& path, RegisterStore& store,
                                      const PacketCounts& counts) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {OpenError(), {}};
    qint64 cells = 0;
    for (int count : counts)
        cells += std::min(count, kCellsPerPacket);
    const QByteArray bytes = file.read(cells * kParameterRecordSize); // the rest is never used
    if (file.error() != QFileDevice::NoError)
        return {OpenError(), {}};
    const int refused = ApplyParameters(store, counts, DecodeParameterRecords(bytes));
    if (refused == 0)
        return {};
    return {{},
            QCoreApplication::translate("vantor::ParameterFile",
                                        "%1 个单元格的格式代码无效，这些单元格保留原格式。")
                .arg(refused)};
}

} // namespace vantor
