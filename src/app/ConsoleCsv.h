// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The console's recording (--csv FILE): one CSV row per accepted reply with its time stamp, its
// packet and the texts of its cells, flushed to the file at least once a second.
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <optional>

namespace vantor {

class ConsoleCsv : public QObject {
    Q_OBJECT
public:
    explicit ConsoleCsv(QObject* parent = nullptr);

    // Creates the file and writes the header: "时间,数据包", then "单元格0" .. for the widest
    // packet's cells. The error text (names the file) or nothing.
    std::optional<QString> Open(const QString& path, int cells);
    bool isOpen() const { return m_file.isOpen(); }
    // A row: "yyyy-MM-dd HH:mm:ss.zzz" local time, the packet number, the cell texts, with empty
    // fields up to the header's width.
    void AddRow(const QDateTime& time, int packet, const QStringList& cells);
    // Hands what is buffered to the file; the error text when that fails (the file is closed
    // then) or nothing.
    std::optional<QString> Flush();
    std::optional<QString> Close();

signals:
    // A timed flush failed; the recording has stopped.
    void failed(const QString& message);

private:
    std::optional<QString> writeError();

    QFile m_file;
    QTimer m_flushTimer;
    int m_cells = 0;
    bool m_writeFailed = false;
};

} // namespace vantor
