// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ConsoleCsv.h"

#include <QDir>

#include "trend/CurveCsv.h"

namespace vantor {

ConsoleCsv::ConsoleCsv(QObject* parent) : QObject(parent) {
    m_flushTimer.setInterval(1000);
    connect(&m_flushTimer, &QTimer::timeout, this, [this] {
        if (const auto error = Flush())
            emit failed(*error);
    });
}

std::optional<QString> ConsoleCsv::Open(const QString& path, int cells) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return tr("无法创建文件 %1：%2").arg(QDir::toNativeSeparators(path), m_file.errorString());
    m_cells = cells;
    // The columns that the readers of the file look for: not translated.
    QString header = QStringLiteral("时间,数据包");
    for (int i = 0; i < cells; ++i)
        header += QStringLiteral(",单元格%1").arg(i); // a column name: not translated
    m_writeFailed = m_file.write(kUtf8Bom) < 0 || m_file.write(header.toUtf8() + "\r\n") < 0;
    if (const auto error = Flush())
        return error;
    m_flushTimer.start();
    return std::nullopt;
}

void ConsoleCsv::AddRow(const QDateTime& time, int packet, const QStringList& cells) {
    if (!m_file.isOpen())
        return;
    QString row =
        time.toString(u"yyyy-MM-dd HH:mm:ss.zzz") + QLatin1Char(',') + QString::number(packet);
    for (const QString& cell : cells)
        row += QLatin1Char(',') + CsvField(cell);
    for (qsizetype i = cells.size(); i < m_cells; ++i)
        row += QLatin1Char(',');
    if (m_file.write(row.toUtf8() + "\r\n") < 0)
        m_writeFailed = true;
}

std::optional<QString> ConsoleCsv::Flush() {
    if (!m_file.isOpen())
        return std::nullopt;
    if (!m_file.flush())
        m_writeFailed = true;
    return writeError();
}

std::optional<QString> ConsoleCsv::Close() {
    if (!m_file.isOpen())
        return std::nullopt;
    auto error = Flush();
    m_file.close();
    m_flushTimer.stop();
    return error;
}

// After a failed write the rows that follow would leave a gap, so the recording stops there.
std::optional<QString> ConsoleCsv::writeError() {
    if (!m_writeFailed)
        return std::nullopt;
    const QString message =
        tr("写入文件 %1 失败：%2")
            .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
    m_flushTimer.stop();
    m_file.close();
    return message;
}

} // namespace vantor
