// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SaveWhole.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vantor {

namespace {

bool Sync(int handle) {
#ifdef Q_OS_WIN
    return _commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

} // namespace

bool CommitWhole(QSaveFile& file, QString* error, SyncToDisk sync) {
    const bool written = file.error() == QFileDevice::NoError && file.flush() &&
                         file.error() == QFileDevice::NoError;
    QString reason;
    if (!written)
        reason = file.errorString();
    else if (sync == SyncToDisk::Yes && !Sync(file.handle()))
        reason = QString::fromLocal8Bit(std::strerror(errno));
    if (!reason.isEmpty()) {
        file.cancelWriting();
        file.commit(); // removes the temporary file; the old one is left alone
        if (error)
            *error = reason;
        return false;
    }
    if (file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace vantor
