// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/VersionFile.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include "files/GbkText.h"

namespace vantor {

namespace {

std::optional<ProfileFile> Refuse(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return std::nullopt;
}

bool IsComment(const QString& line) {
    return line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'));
}

bool IsSectionLine(const QString& line) {
    return line.size() >= 3 && line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'));
}

bool IsKeyLine(const QString& line) {
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals > 0 && !line.left(equals).trimmed().isEmpty();
}

} // namespace

std::optional<ProfileFile> ParseVersionFile(const QByteArray& bytes, QString* error) {
    if (bytes.size() > kMaxVersionFileBytes)
        return Refuse(error,
                      QCoreApplication::translate("vantor::VersionFile", "版本文件超过 64 KB"));
    if (bytes.contains('\0'))
        return Refuse(error,
                      QCoreApplication::translate("vantor::VersionFile", "版本文件不是文本文件"));
    static const QByteArray kUtf8Bom("\xEF\xBB\xBF");
    const QString text = bytes.startsWith(kUtf8Bom) ? QString::fromUtf8(bytes.mid(kUtf8Bom.size()))
                                                    : gbk::decode(bytes);
    if (text.contains(QChar::ReplacementCharacter))
        return Refuse(error, QCoreApplication::translate("vantor::VersionFile",
                                                         "版本文件含有无法识别的字符"));
    bool inSection = false;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || IsComment(line))
            continue;
        if (IsSectionLine(line)) {
            inSection = true;
            continue;
        }
        if (!inSection || !IsKeyLine(line))
            return Refuse(error, QCoreApplication::translate("vantor::VersionFile",
                                                             "版本文件第 %1 行格式错误")
                                     .arg(i + 1));
    }
    if (!inSection)
        return Refuse(error,
                      QCoreApplication::translate("vantor::VersionFile", "版本文件没有任何节"));
    return ProfileFile::FromBytes(bytes);
}

} // namespace vantor
