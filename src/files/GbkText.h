// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The text files that engineers exchange with the program's Windows installations (parameter files,
// project and settings files, the shared values file) hold their texts in GBK. These helpers
// convert between that encoding and QString through iconv.
namespace gbk {

// The text in GBK. A character that GBK cannot hold becomes '?', so nothing else shifts.
QByteArray encode(const QString& text);

// GBK bytes as text. A byte sequence that is not GBK becomes U+FFFD for that byte, the rest reads
// on.
QString decode(const QByteArray& bytes);

// GBK bytes as text only when every byte sequence is GBK (a file cut inside a double-byte
// character or binary data is not); nothing otherwise.
std::optional<QString> decodeStrict(const QByteArray& bytes);

// Whether the bytes are UTF-8 text that GBK would read differently: valid UTF-8 holding at least
// one byte above 0x7F (plain ASCII reads the same either way).
bool looksLikeUtf8(const QByteArray& bytes);

// The longest head of `bytes` (GBK) that is at most maxBytes long and does not end inside a
// double-byte character. Returns the bytes unchanged when they fit.
QByteArray cutAtCharacter(const QByteArray& bytes, int maxBytes);

} // namespace gbk
