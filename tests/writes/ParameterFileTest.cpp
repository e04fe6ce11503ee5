// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter files: records by position with the counts in force, GBK texts cut at a character,
// codes checked on load, and atomic saving.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "files/GbkText.h"
#include "registers/RegisterStore.h"
#include "support/QtPrinters.h"
#include "writes/ParameterFile.h"

using namespace vantor;

namespace {

PacketCounts Counts(std::initializer_list<std::pair<int, int>> packetCounts) {
    PacketCounts counts{};
    for (const auto& [packet, count] : packetCounts)
        counts[packet - 1] = count;
    return counts;
}

class ParameterFileTest : public ::testing::Test {
protected:
    QString path(const char* name = "参数设置表.dll") const { return m_dir.filePath(name); }
    QByteArray bytes(const QString& file) const {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& file, const QByteArray& data) const {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    QTemporaryDir m_dir;
    RegisterStore m_store;
};

TEST_F(ParameterFileTest, OneRecordPerCellInUse) {
    const struct {
        PacketCounts counts;
        qsizetype size;
    } cases[] = {{Counts({{1, 3}, {4, 2}}), 520}, {Counts({}), 0}};
    for (const auto& c : cases) {
        const ParameterFileResult result = SaveParameterFile(path(), m_store, c.counts);
        EXPECT_TRUE(result.error.isEmpty());
        EXPECT_TRUE(QFile::exists(path()));
        EXPECT_EQ(bytes(path()).size(), c.size);
    }
}

TEST_F(ParameterFileTest, RoundTripKeepsLabelsValuesAndCodes) {
    const PacketCounts counts = Counts({{1, 3}, {4, 2}});
    m_store.setCellLabel({PacketNo(1), 0}, QStringLiteral("温度设定"));
    m_store.setCellValue({PacketNo(1), 0}, QStringLiteral("-12"));
    m_store.setCellFormat({PacketNo(1), 1}, 8); // cell 2 becomes its continuation
    m_store.setCellValue({PacketNo(1), 1}, QStringLiteral("1.500"));
    m_store.setCellLabel({PacketNo(4), 1}, QStringLiteral("Speed 转速"));
    ASSERT_TRUE(SaveParameterFile(path(), m_store, counts).error.isEmpty());
    // The record layout: GBK label at 0, value at 50, code little-endian at 100.
    const QByteArray file = bytes(path());
    EXPECT_EQ(file.left(8), gbk::encode(QStringLiteral("温度设定")));
    EXPECT_EQ(file.at(8), '\0');
    EXPECT_EQ(file.mid(50, 4), QByteArray("-12\0", 4));
    EXPECT_EQ(file.mid(104 + 100, 4), QByteArray("\x08\0\0\0", 4));

    RegisterStore loaded;
    ASSERT_TRUE(LoadParameterFile(path(), loaded, counts).error.isEmpty());
    for (const PointRef point : {PointRef{PacketNo(1), 0}, PointRef{PacketNo(1), 1},
                                 PointRef{PacketNo(1), 2}, PointRef{PacketNo(4), 1}}) {
        EXPECT_EQ(loaded.labelText(point), m_store.labelText(point));
        EXPECT_EQ(loaded.valueText(point), m_store.valueText(point));
        EXPECT_EQ(loaded.formatCode(point), m_store.formatCode(point));
    }
}

TEST_F(ParameterFileTest, AShortFileFillsOnlyTheCellsItHas) {
    std::vector<ParameterRecord> records = {{QStringLiteral("a"), QStringLiteral("7"), 5}};
    write(path(), EncodeParameterRecords(records, nullptr));
    m_store.setCellValue({PacketNo(1), 1}, QStringLiteral("keep"));
    EXPECT_TRUE(LoadParameterFile(path(), m_store, Counts({{1, 3}, {2, 2}})).error.isEmpty());
    EXPECT_EQ(m_store.valueText({PacketNo(1), 0}), QStringLiteral("7"));
    EXPECT_EQ(m_store.formatCode({PacketNo(1), 0}), 5);
    EXPECT_EQ(m_store.valueText({PacketNo(1), 1}), QStringLiteral("keep"));
}

// A bad code leaves the cell's format and is counted; a field without a terminator reads 49
// bytes, never half a double-byte character.
TEST_F(ParameterFileTest, BadCodesAndUnterminatedFieldsLoadTheSoundWay) {
    QByteArray data = EncodeParameterRecords({{QStringLiteral("x"), QStringLiteral("1"), 99},
                                              {QStringLiteral("y"), QStringLiteral("2"), 5}},
                                             nullptr);
    data.replace(104, 50, QByteArray(50, 'L'));
    data.replace(104 + 50, 50, gbk::encode(QString(25, QChar(0x4E2D)))); // 50 bytes, no NUL
    write(path(), data);
    m_store.setCellFormat({PacketNo(1), 0}, 5);
    const ParameterFileResult result = LoadParameterFile(path(), m_store, Counts({{1, 2}}));
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_TRUE(result.notice.startsWith(QStringLiteral("1 个单元格")))
        << result.notice.toStdString();
    EXPECT_EQ(m_store.formatCode({PacketNo(1), 0}), 5);
    EXPECT_EQ(m_store.valueText({PacketNo(1), 0}), QStringLiteral("1"));
    EXPECT_EQ(m_store.labelText({PacketNo(1), 1}), QString(49, QLatin1Char('L')));
    EXPECT_EQ(m_store.valueText({PacketNo(1), 1}), QString(24, QChar(0x4E2D)));
}

TEST_F(ParameterFileTest, LongTextsAreCutAtACharacterAndCounted) {
    m_store.setCellLabel({PacketNo(1), 0}, QString(30, QChar(0x6C34))); // 60 bytes in GBK
    m_store.setCellValue({PacketNo(1), 1}, QString(60, QLatin1Char('9')));
    const ParameterFileResult result = SaveParameterFile(path(), m_store, Counts({{1, 3}}));
    EXPECT_TRUE(result.notice.startsWith(QStringLiteral("2 个单元格")))
        << result.notice.toStdString();
    RegisterStore loaded;
    LoadParameterFile(path(), loaded, Counts({{1, 3}}));
    EXPECT_EQ(loaded.labelText({PacketNo(1), 0}), QString(24, QChar(0x6C34)));
    EXPECT_EQ(loaded.valueText({PacketNo(1), 1}), QString(49, QLatin1Char('9')));
}

TEST_F(ParameterFileTest, AFileThatCannotBeOpenedChangesNothing) {
    write(path(),
          EncodeParameterRecords({{QStringLiteral("old"), QStringLiteral("1"), 4}}, nullptr));
    const QString missingFolder = m_dir.filePath("no/such/folder/p.dll");
    EXPECT_EQ(SaveParameterFile(missingFolder, m_store, Counts({{1, 1}})).error,
              QStringLiteral("打开文件出错！"));
    EXPECT_EQ(LoadParameterFile(missingFolder, m_store, Counts({{1, 1}})).error,
              QStringLiteral("打开文件出错！"));
    EXPECT_EQ(m_store.labelText({PacketNo(1), 0}), QStringLiteral(" "));
    // A save that cannot finish (the name is taken by a folder) leaves no temporary file.
    QDir(m_dir.path()).mkdir(QStringLiteral("taken.dll"));
    EXPECT_FALSE(
        SaveParameterFile(m_dir.filePath("taken.dll"), m_store, Counts({{1, 1}})).error.isEmpty());
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QFileInfo(path()).fileName()});
    EXPECT_EQ(bytes(path()).size(), 104);
}

} // namespace
