#include "update/VersionDownload.h"

#include <QByteArray>
#include <QFileInfo>
#include <QSaveFile>
#include <curl/curl.h>
#include <mutex>

#include "update/VersionFile.h"

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
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CURL* curl = curl_easy_init();
    if (!curl)
        return QStringLiteral("无法初始化下载");
    char message[CURL_ERROR_SIZE] = {};
    const QByteArray address = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp,ftps,http,https,file");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "ftp,ftps,http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L); // an HTTP error page is no version file
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limitMs));
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (transfer.tooLarge)
        return QStringLiteral("版本文件超过 64 KB");
    if (code == CURLE_OK)
        return {};
    const QString reason = message[0] ? QString::fromLocal8Bit(message)
                                      : QString::fromLatin1(curl_easy_strerror(code));
    return QStringLiteral("下载失败：%1").arg(reason.trimmed());
}

QString Store(const QByteArray& body, const QString& target) {
    QString error;
    if (!ParseVersionFile(body, &error))
        return error;
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
        return QStringLiteral("无法保存文件 %1：%2").arg(target, file.errorString());
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
