// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Project files ("*.ini") and the settings file "Config.ini" are profile files that engineers
// exchange with Windows machines: "[section]" lines, each followed by "key=value" lines, in GBK.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace vantor {

// A profile file held in memory: sections of key=value lines. Reads follow the Windows profile
// functions; changes are gathered here and written once, whole and atomically.
// How a profile's text is stored: GBK, as the Windows installations write it, or UTF-8 (as an
// editor may leave it), with or without a byte order mark.
enum class TextEncoding { Gbk, Utf8, Utf8WithMark };

class ProfileFile {
public:
    static constexpr int kMaxRead = 259; // a read returns at most this many characters
    // A larger file is no profile of ours; it is refused before it is read.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
    struct Load;
    // The file at `path`. A missing file gives an empty profile and existed=false, no error.
    // Anything but a regular file (a folder, a pipe, a device) and a file over kMaxFileBytes is
    // refused without reading it.
    static Load Read(const QString& path);
    // The parse alone. A byte order mark or bytes that are valid UTF-8 read as UTF-8, the rest
    // as GBK.
    static ProfileFile FromBytes(const QByteArray& bytes);

    TextEncoding encoding() const { return m_encoding; } // as read; GBK for a new profile
    // False when the bytes held a NUL or sequences that are neither GBK nor UTF-8 (binary data,
    // a file cut inside a character): such places read as U+FFFD.
    bool textIsClean() const { return m_clean; }

    // Names of sections and keys compare without regard to case.
    QString value(const QString& section, const QString& key) const; // "" when missing
    // The whole value, however long (a read through value() stops at kMaxRead).
    QString fullValue(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& fallback) const;
    // Leading blanks, an optional sign and the leading digits of the value; fallback when the key
    // is missing, 0 for a value without digits.
    int intValue(const QString& section, const QString& key, int fallback = 0) const;
    bool contains(const QString& section, const QString& key) const;
    bool containsSection(const QString& section) const;
    QStringList sections() const;                   // in file order
    QStringList keys(const QString& section) const; // in file order

    // An existing key keeps its place and the spelling of its name; a new key goes at the end of
    // its section, a new section at the end of the file.
    void setValue(const QString& section, const QString& key, const QString& value);
    void setInt(const QString& section, const QString& key, int value);
    void removeKey(const QString& section, const QString& key);
    void removeSection(const QString& section); // the other sections stay

    // CRLF line ends, in GBK unless asked otherwise (a character GBK cannot hold becomes '?').
    QByteArray toBytes(TextEncoding encoding = TextEncoding::Gbk) const;
    // Writes toBytes(encoding) atomically: a temporary file in the same folder, then a rename.
    // The error text (naming the file and the reason) or nothing.
    std::optional<QString> Save(const QString& path,
                                TextEncoding encoding = TextEncoding::Gbk) const;

private:
    // One line as it reads back. Lines that are not keys (comments, blank and other lines) keep
    // their text and have an empty name; a removed key stays as a gap so that indexes hold.
    struct Line {
        Line() = default;
        explicit Line(QString line) : text(std::move(line)) {}
        QString text; // the line as written, without its end
        QString key;  // trimmed key name; empty for a line that is not a key
        QString value;
        bool removed = false;
    };
    struct Section {
        Section() = default;
        Section(QString sectionName, QString headerLine)
            : name(std::move(sectionName)), header(std::move(headerLine)) {}
        QString name;
        QString header; // the "[name]" line as written
        QList<Line> lines;
        QStringList trailingBlanks; // blank lines after the last line, kept before the next section
        QHash<QString, int> index;  // case-folded key → first line with that key
        bool shadowed = false;      // a later section with the name of an earlier one
        bool duplicateKeys = false; // a key name appears more than once
    };

    const Section* find(const QString& section) const;
    const Line* findLine(const QString& section, const QString& key) const;
    Section& sectionFor(const QString& section);
    void addSection(Section section);
    static void parseKey(Line& line);
    static void addLine(Section& section, Line line);
    void rebuildSectionIndex();

    QStringList m_preamble; // lines before the first section
    QList<Section> m_sections;
    QHash<QString, int> m_sectionIndex; // case-folded name → first section with that name
    TextEncoding m_encoding = TextEncoding::Gbk;
    bool m_clean = true;
};

struct ProfileFile::Load {
    std::optional<ProfileFile> profile;
    bool existed = false;
    QString error;
};

} // namespace vantor
