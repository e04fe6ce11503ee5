// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Puts a QSaveFile's new contents in place only once they are whole on the disk. The last
// buffered bytes are flushed and checked, and the file synced, before the rename: a full disk or
// a file-size limit met at that point is reported, and the old file stays as it was. (On Qt 6.4
// QSaveFile::commit() returns true although its own last flush failed, and renames the cut-off
// file over the old one.)
#include <QSaveFile>
#include <QString>

namespace vantor {

enum class SyncToDisk { Yes, No };

// True when the file is in place. False: nothing was replaced, the temporary file is gone and
// *error (if given) says why. SyncToDisk::No leaves out the sync, for a file rewritten many
// times a second whose loss in a power cut costs nothing (the shared live values): its bytes
// are still checked whole before the rename.
bool CommitWhole(QSaveFile& file, QString* error = nullptr, SyncToDisk sync = SyncToDisk::Yes);

} // namespace vantor
