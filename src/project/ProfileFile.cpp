// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/ProfileFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringView>
#include <algorithm>
#include <limits>

#include "files/GbkText.h"

namespace vantor {

namespace {

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Spaces and tabs cut from both ends, as the Windows profile functions do (other white space,
// such as the ideographic space, belongs to the text).
QStringView TrimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

QString Folded(const QString& name) {
    return TrimBlanks(name).toString().toCaseFolded();
}

// At most kMaxRead characters, never ending inside a surrogate pair.
QString Limited(const QString& text) {
    if (text.size() <= ProfileFile::kMaxRead)
        return text;
    qsizetype n = ProfileFile::kMaxRead;
    if (text[n - 1].isHighSurrogate())
        --n;
    return text.left(n);
}

// The section name of a "[name]" line (the text up to ']' or the line's end), or nothing.
std::optional<QString> SectionName(QStringView trimmed) {
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    QStringView inner = trimmed.mid(1);
    const qsizetype close = inner.indexOf(QLatin1Char(']'));
    if (close >= 0)
        inner = inner.left(close);
    return TrimBlanks(inner).toString();
}

} // namespace

// A line read as a key: "name=value" with a name; the value loses its blanks and a pair of double
// quotes around it. Other lines keep an empty key.
void ProfileFile::parseKey(Line& line) {
    const QStringView trimmed = TrimBlanks(line.text);
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (trimmed.startsWith(QLatin1Char(';')) || equals <= 0)
        return;
    line.key = TrimBlanks(trimmed.left(equals)).toString();
    QStringView value = TrimBlanks(trimmed.mid(equals + 1));
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    line.value = value.toString();
}

void ProfileFile::addLine(Section& section, Line line) {
    parseKey(line);
    if (line.key.isEmpty() && TrimBlanks(line.text).isEmpty()) {
        section.trailingBlanks.append(line.text);
        return;
    }
    // Blank lines before this one are inside the section after all.
    for (QString& blank : section.trailingBlanks)
        section.lines.append(Line(std::move(blank)));
    section.trailingBlanks.clear();
    if (!line.key.isEmpty()) {
        const QString folded = line.key.toCaseFolded();
        if (section.index.contains(folded))
            section.duplicateKeys = true; // the first one wins
        else
            section.index.insert(folded, int(section.lines.size()));
    }
    section.lines.append(std::move(line));
}

void ProfileFile::addSection(Section section) {
    const QString folded = section.name.toCaseFolded();
    if (m_sectionIndex.contains(folded))
        section.shadowed = true; // lookups find the first section of that name
    else
        m_sectionIndex.insert(folded, int(m_sections.size()));
    m_sections.append(std::move(section));
}

void ProfileFile::rebuildSectionIndex() {
    m_sectionIndex.clear();
    for (int i = 0; i < m_sections.size(); ++i) {
        Section& section = m_sections[i];
        const QString folded = section.name.toCaseFolded();
        section.shadowed = m_sectionIndex.contains(folded);
        if (!section.shadowed)
            m_sectionIndex.insert(folded, i);
    }
}

ProfileFile ProfileFile::FromBytes(const QByteArray& bytes) {
    // GBK unless the bytes say UTF-8 (a mark, or valid UTF-8 beyond ASCII): an editor may have
    // saved the file so. How it was read is kept, for savers that write it back the same way.
    static const QByteArray kUtf8Bom("\xEF\xBB\xBF");
    TextEncoding encoding = TextEncoding::Gbk;
    QString text;
    bool clean = !bytes.contains('\0');
    if (bytes.startsWith(kUtf8Bom)) {
        encoding = TextEncoding::Utf8WithMark;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = decoder.decode(QByteArrayView(bytes).sliced(kUtf8Bom.size()));
        clean = clean && !decoder.hasError();
    } else if (gbk::looksLikeUtf8(bytes)) {
        encoding = TextEncoding::Utf8;
        text = QString::fromUtf8(bytes);
    } else if (auto strict = gbk::decodeStrict(bytes)) {
        text = std::move(*strict);
    } else {
        text = gbk::decode(bytes);
        clean = false;
    }
    ProfileFile profile;
    Section* current = nullptr;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        // Lines end with CRLF, LF or a CR alone; the last one may have no end.
        qsizetype end = start;
        while (end < size && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r'))
            ++end;
        QString line = text.mid(start, end - start);
        const bool crlf =
            end + 1 < size && text[end] == QLatin1Char('\r') && text[end + 1] == QLatin1Char('\n');
        start = end + (crlf ? 2 : 1);

        if (const auto name = SectionName(TrimBlanks(line))) {
            profile.addSection(Section(*name, std::move(line)));
            current = &profile.m_sections.last();
        } else if (current) {
            addLine(*current, Line(std::move(line)));
        } else {
            profile.m_preamble.append(std::move(line));
        }
    }
    profile.m_encoding = encoding;
    profile.m_clean = clean;
    return profile;
}

ProfileFile::Load ProfileFile::Read(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return Load{ProfileFile{}, false, {}};
    const QString prefix =
        QCoreApplication::translate("vantor::ProfileFile", "无法读取文件 %1：%2");
    if (info.isDir())
        return Load{
            std::nullopt, true,
            prefix.arg(path, QCoreApplication::translate("vantor::ProfileFile", "这是一个文件夹"))};
    // A pipe would block the open until a writer comes, a device may never end.
    if (!info.isFile())
        return Load{std::nullopt, true,
                    prefix.arg(path, QCoreApplication::translate("vantor::ProfileFile",
                                                                 "这不是一个普通文件"))};
    const QString tooLarge =
        prefix.arg(path, QCoreApplication::translate("vantor::ProfileFile", "文件超过 %1 MB")
                             .arg(kMaxFileBytes >> 20));
    if (info.size() > kMaxFileBytes)
        return Load{std::nullopt, true, tooLarge};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Load{std::nullopt, true, prefix.arg(path, file.errorString())};
    const QByteArray bytes = file.read(kMaxFileBytes + 1); // the file may grow while it is read
    if (file.error() != QFileDevice::NoError)
        return Load{std::nullopt, true, prefix.arg(path, file.errorString())};
    if (bytes.size() > kMaxFileBytes)
        return Load{std::nullopt, true, tooLarge};
    return Load{FromBytes(bytes), true, {}};
}

const ProfileFile::Section* ProfileFile::find(const QString& section) const {
    const auto it = m_sectionIndex.constFind(Folded(section));
    return it == m_sectionIndex.cend() ? nullptr : &m_sections[*it];
}

const ProfileFile::Line* ProfileFile::findLine(const QString& section, const QString& key) const {
    const Section* s = find(section);
    if (!s)
        return nullptr;
    const auto it = s->index.constFind(Folded(key));
    return it == s->index.cend() ? nullptr : &s->lines[*it];
}

QString ProfileFile::value(const QString& section, const QString& key) const {
    return value(section, key, QString());
}

QString ProfileFile::fullValue(const QString& section, const QString& key) const {
    const Line* line = findLine(section, key);
    return line ? line->value : QString();
}

QString ProfileFile::value(const QString& section, const QString& key,
                           const QString& fallback) const {
    const Line* line = findLine(section, key);
    return Limited(line ? line->value : fallback);
}

int ProfileFile::intValue(const QString& section, const QString& key, int fallback) const {
    const Line* line = findLine(section, key);
    if (!line)
        return fallback;
    const QStringView text = TrimBlanks(Limited(line->value));
    qsizetype i = 0;
    const bool negative = i < text.size() && text[i] == QLatin1Char('-');
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    // Digits beyond the range of int hold at its end.
    qint64 magnitude = 0;
    const qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        magnitude = std::min(limit, magnitude * 10 + (text[i].unicode() - '0'));
    const qint64 result = negative ? -magnitude : magnitude;
    return int(std::clamp<qint64>(result, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

bool ProfileFile::contains(const QString& section, const QString& key) const {
    return findLine(section, key) != nullptr;
}

bool ProfileFile::containsSection(const QString& section) const {
    return find(section) != nullptr;
}

QStringList ProfileFile::sections() const {
    QStringList names;
    for (const Section& section : m_sections) {
        if (!section.shadowed)
            names.append(section.name);
    }
    return names;
}

QStringList ProfileFile::keys(const QString& section) const {
    QStringList names;
    const Section* s = find(section);
    if (!s)
        return names;
    for (int i = 0; i < s->lines.size(); ++i) {
        const Line& line = s->lines[i];
        if (line.key.isEmpty() || line.removed)
            continue;
        if (!s->duplicateKeys || s->index.value(line.key.toCaseFolded()) == i)
            names.append(line.key);
    }
    return names;
}

ProfileFile::Section& ProfileFile::sectionFor(const QString& section) {
    const QString name = TrimBlanks(section).toString();
    const auto it = m_sectionIndex.constFind(name.toCaseFolded());
    if (it != m_sectionIndex.cend())
        return m_sections[*it];
    addSection(Section(name, QLatin1Char('[') + name + QLatin1Char(']')));
    return m_sections.last();
}

void ProfileFile::setValue(const QString& section, const QString& key, const QString& value) {
    const QString name = TrimBlanks(key).toString();
    if (name.isEmpty())
        return; // a line "=value" would not read back as a key
    // A line break inside the value would start a new line in the file.
    QString text = value;
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
    }

    Section& s = sectionFor(section);
    const auto it = s.index.constFind(name.toCaseFolded());
    if (it != s.index.cend()) {
        Line& line = s.lines[*it];
        Line changed(line.key + QLatin1Char('=') + text);
        parseKey(changed);
        line = std::move(changed);
        return;
    }
    // The new key goes after the section's last line, before the blank lines that end it.
    QStringList blanks = std::move(s.trailingBlanks);
    s.trailingBlanks.clear();
    addLine(s, Line(name + QLatin1Char('=') + text));
    s.trailingBlanks = std::move(blanks);
}

void ProfileFile::setInt(const QString& section, const QString& key, int value) {
    setValue(section, key, QString::number(value));
}

void ProfileFile::removeKey(const QString& section, const QString& key) {
    const auto sectionIt = m_sectionIndex.constFind(Folded(section));
    if (sectionIt == m_sectionIndex.cend())
        return;
    Section& s = m_sections[*sectionIt];
    const QString folded = Folded(key);
    const auto it = s.index.constFind(folded);
    if (it == s.index.cend())
        return;
    s.lines[*it].removed = true;
    s.index.erase(it);
    // Later lines with the same key would take its place; they go too.
    if (s.duplicateKeys) {
        for (Line& line : s.lines) {
            if (!line.key.isEmpty() && line.key.toCaseFolded() == folded)
                line.removed = true;
        }
    }
}

void ProfileFile::removeSection(const QString& section) {
    // Every section of that name goes, so that no later one of the same name comes to light.
    const QString folded = Folded(section);
    const auto before = m_sections.size();
    m_sections.removeIf([&](const Section& s) { return s.name.toCaseFolded() == folded; });
    if (m_sections.size() != before)
        rebuildSectionIndex();
}

} // namespace vantor
