// SPDX-License-Identifier: GPL-3.0-or-later
// A profile file written out: its lines as they were read or set, CRLF, in the file's encoding,
// and saved whole and atomically.
#include <QCoreApplication>
#include <QSaveFile>

#include "files/GbkText.h"
#include "files/SaveWhole.h"
#include "project/ProfileFile.h"

namespace vantor {

QByteArray ProfileFile::toBytes(TextEncoding encoding) const {
    static const QString kEnd = QStringLiteral("\r\n");
    QString text;
    qsizetype size = 0;
    for (const Section& section : m_sections)
        size += section.header.size() + 2 + section.lines.size() * 24;
    text.reserve(size + 64);
    for (const QString& line : m_preamble)
        text += line + kEnd;
    for (const Section& section : m_sections) {
        text += section.header;
        text += kEnd;
        for (const Line& line : section.lines) {
            if (!line.removed) {
                text += line.text;
                text += kEnd;
            }
        }
        for (const QString& blank : section.trailingBlanks) {
            text += blank;
            text += kEnd;
        }
    }
    switch (encoding) {
    case TextEncoding::Utf8:
        return text.toUtf8();
    case TextEncoding::Utf8WithMark:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case TextEncoding::Gbk:
        break;
    }
    return gbk::encode(text);
}

std::optional<QString> ProfileFile::Save(const QString& path, TextEncoding encoding) const {
    QSaveFile file(path);
    const auto failed = [&path](const QString& reason) {
        return QCoreApplication::translate("vantor::ProfileFile", "无法保存文件 %1：%2")
            .arg(path, reason);
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    const QByteArray bytes = toBytes(encoding);
    if (file.write(bytes) != bytes.size()) {
        const QString error = failed(file.errorString());
        file.cancelWriting();
        return error;
    }
    if (QString reason; !CommitWhole(file, &reason))
        return failed(reason);
    return std::nullopt;
}

} // namespace vantor
