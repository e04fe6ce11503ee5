// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fetches the version file from the update server without blocking the window.
#include <QObject>
#include <QString>
#include <atomic>
#include <thread>

namespace vantor {

// Downloads one address (ftp, http, https or file) to a file on a worker thread, within a time
// limit. The file is written, atomically, only when the download is a well-formed version file
// (see ParseVersionFile); anything else is a failed download and leaves an existing file as it
// was.
class VersionDownload : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultLimitMs = 10000;

    explicit VersionDownload(QObject* parent = nullptr);
    // A running download is stopped and its thread waited for.
    ~VersionDownload() override;

    // finished() follows once, on this object's thread. False, and no signal, while another
    // download runs.
    bool start(const QString& url, const QString& target, int limitMs = kDefaultLimitMs);
    bool running() const { return m_running; }

signals:
    // ok, or the reason of the failure.
    void finished(bool ok, const QString& error);

private:
    void done(const QString& error);

    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
};

} // namespace vantor
