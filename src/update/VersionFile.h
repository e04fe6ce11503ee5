// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The version file offered by the update server: a small profile file naming the newest version
// and its release note.
#include <QByteArray>
#include <QString>
#include <optional>

#include "project/ProfileFile.h"

namespace vantor {

inline constexpr qint64 kMaxVersionFileBytes = 64 * 1024;

// The parsed file when `bytes` are a well-formed profile of at most kMaxVersionFileBytes: text
// without NUL bytes or undecodable characters, at least one "[section]", and before the first
// section only blank and comment lines, after it only sections, keys "name=value", blank lines
// and comments. Otherwise the reason, in `error` when given.
std::optional<ProfileFile> ParseVersionFile(const QByteArray& bytes, QString* error = nullptr);

} // namespace vantor
