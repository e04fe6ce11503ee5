// SPDX-License-Identifier: GPL-3.0-or-later
#include "transport/PtyPair.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace vantor {

PtyPair::PtyPair(QObject* parent) : QObject(parent) {}

#ifdef Q_OS_UNIX

namespace {

QString SystemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

// One raw terminal: master non-blocking for the relay, slave raw so bytes pass unchanged.
bool OpenRawPty(int& master, int& slave, QString& name, QString& error) {
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        error = SystemError("openpty");
        return false;
    }
    // Programs we start (a test peer, an external tool) must not inherit the terminals.
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    termios tio{};
    if (::tcgetattr(slave, &tio) != 0) {
        error = SystemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&tio);
    if (::tcsetattr(slave, TCSANOW, &tio) != 0) {
        error = SystemError("tcsetattr");
        return false;
    }
    if (::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        error = SystemError("fcntl");
        return false;
    }
    char path[256] = {};
    if (::ttyname_r(slave, path, sizeof path) != 0) {
        error = SystemError("ttyname");
        return false;
    }
    name = QString::fromLocal8Bit(path);
    return true;
}

void CloseFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

PtyPair::~PtyPair() {
    // Notifiers go before their descriptors are closed.
    delete m_notifierA;
    delete m_notifierB;
    CloseFd(m_masterA);
    CloseFd(m_masterB);
    CloseFd(m_slaveA);
    CloseFd(m_slaveB);
}

bool PtyPair::Create() {
    if (m_notifierA)
        return true;
    m_error.clear();
    if (!OpenRawPty(m_masterA, m_slaveA, m_nameA, m_error) ||
        !OpenRawPty(m_masterB, m_slaveB, m_nameB, m_error)) {
        CloseFd(m_masterA);
        CloseFd(m_masterB);
        CloseFd(m_slaveA);
        CloseFd(m_slaveB);
        m_nameA.clear();
        m_nameB.clear();
        return false;
    }
    m_notifierA = new QSocketNotifier(m_masterA, QSocketNotifier::Read, this);
    m_notifierB = new QSocketNotifier(m_masterB, QSocketNotifier::Read, this);
    connect(m_notifierA, &QSocketNotifier::activated, this,
            [this] { relay(m_masterA, m_masterB); });
    connect(m_notifierB, &QSocketNotifier::activated, this,
            [this] { relay(m_masterB, m_masterA); });
    return true;
}

void PtyPair::relay(int from, int to) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got <= 0)
            return; // EAGAIN: drained; EIO: nobody has the slave open
        ssize_t done = 0;
        while (done < got) {
            const ssize_t put = ::write(to, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            // The far terminal holds about 64 KiB unread before it refuses more; past that
            // the bytes are lost, as on a line whose receiver has stopped reading.
            if (put <= 0)
                break;
            done += put;
        }
    }
}

#else

PtyPair::~PtyPair() = default;

bool PtyPair::Create() {
    m_error = QStringLiteral("pseudo-terminals are not available on this system");
    return false;
}

void PtyPair::relay(int, int) {}

#endif

} // namespace vantor
