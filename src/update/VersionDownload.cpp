// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/VersionDownload.h"

#include "update/CurlLibrary.h"
#include "update/VersionFile.h"
#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

#include "files/SaveWhole.h"

namespace vantor {

namespace {

struct Transfer {
    QByteArray body;
    bool tooLarge = false;
    const std::atomic<bool>* stop = nullptr;
};

size_t Collect(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (transfer->body.size() + static_cast<qint64>(bytes) > kMaxVersionFileBytes) {
        transfer->tooLarge = true;
        return 0; // ends the transfer with a write error
    }
    transfer->body.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(user)->stop->load() ? 1 : 0;
}

// The body of `url`, or the reason it could not be had.
QString Fetch(const QString& url, int limitMs, Transfer& transfer) {
    QString loadError;
    const CurlApi* api = LoadCurl(&loadError);
    if (!api)
        return loadError;
    const auto setopt = api->easySetopt;
    CURL* curl = api->easyInit();
    if (!curl)
        return QCoreApplication::translate("vantor::VersionDownload", "无法初始化下载");
    char message[CURL_ERROR_SIZE] = {};
    const QByteArray address = url.toUtf8();
    setopt(curl, CURLOPT_URL, address.constData());
    setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp,ftps,http,https,file");
    setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "ftp,ftps,http,https");
    setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    setopt(curl, CURLOPT_MAXREDIRS, 5L);
    setopt(curl, CURLOPT_FAILONERROR, 1L); // an HTTP error page is no version file
    setopt(curl, CURLOPT_NOSIGNAL, 1L);
    setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limitMs));
    setopt(curl, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
    setopt(curl, CURLOPT_ERRORBUFFER, message);
    setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
    setopt(curl, CURLOPT_WRITEDATA, &transfer);
    setopt(curl, CURLOPT_NOPROGRESS, 0L);
    setopt(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
    setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    const CURLcode code = api->easyPerform(curl);
    api->easyCleanup(curl);
    if (transfer.tooLarge)
        return QCoreApplication::translate("vantor::VersionDownload", "版本文件超过 64 KB");
    if (code == CURLE_OK)
        return {};
    const QString reason =
        message[0] ? QString::fromLocal8Bit(message) : QString::fromLatin1(api->easyStrerror(code));
    return QCoreApplication::translate("vantor::VersionDownload", "下载失败：%1")
        .arg(reason.trimmed());
}

QString Store(const QByteArray& body, const QString& target) {
    QString error;
    if (!ParseVersionFile(body, &error))
        return error;
    QSaveFile file(target);
    QString reason;
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() ||
        !CommitWhole(file, &reason))
        return QCoreApplication::translate("vantor::VersionDownload", "无法保存文件 %1：%2")
            .arg(target, reason.isEmpty() ? file.errorString() : reason);
    return {};
}

} // namespace

VersionDownload::VersionDownload(QObject* parent) : QObject(parent) {}

VersionDownload::~VersionDownload() {
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

bool VersionDownload::start(const QString& url, const QString& target, int limitMs) {
    if (m_running)
        return false;
    if (m_worker.joinable())
        m_worker.join();
    m_running = true;
    m_stop = false;
    m_worker = std::thread([this, url, target, limitMs] {
        Transfer transfer;
        transfer.stop = &m_stop;
        QString error = Fetch(url, limitMs, transfer);
        if (error.isEmpty())
            error = Store(transfer.body, target);
        // Posted to this object's thread; dropped if the object is gone by then.
        QMetaObject::invokeMethod(
            this, [this, error] { done(error); }, Qt::QueuedConnection);
    });
    return true;
}

void VersionDownload::done(const QString& error) {
    if (m_worker.joinable())
        m_worker.join();
    m_running = false;
    emit finished(error.isEmpty(), error);
}

} // namespace vantor
