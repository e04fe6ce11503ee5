// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/UpdateCheck.h"

#include <QFile>

#include "project/AppSettings.h"
#include "update/VersionDownload.h"

namespace vantor {

namespace {

const QString kTips = QStringLiteral("Tips");
const QString kVersion = QStringLiteral("Version");
const QString kVersion2 = QStringLiteral("Version2");
const QString kNote = QStringLiteral("Note");

} // namespace

UpdateCheck::UpdateCheck(AppSettings* settings, QString versionFile, UpdateTimes times,
                         QObject* parent)
    : QObject(parent), m_settings(settings), m_versionFile(std::move(versionFile)), m_times(times),
      m_download(new VersionDownload(this)) {
    m_decision.setSingleShot(true);
    m_cleanup.setSingleShot(true);
    connect(&m_decision, &QTimer::timeout, this, [this] {
        if (m_state == Download::Running)
            m_decisionDue = true; // taken up when the download ends
        else
            decide();
    });
    connect(&m_cleanup, &QTimer::timeout, this, [this] {
        QFile::remove(m_versionFile);
        emit finished();
    });
    connect(m_download, &VersionDownload::finished, this, &UpdateCheck::onDownloaded);
}

UpdateCheck::~UpdateCheck() = default;

void UpdateCheck::start(const QString& runningVersion) {
    if (const auto error = m_settings->writeVersion(runningVersion))
        emit statusMessage(*error);
    const QString url =
        m_settings->profile().value(QStringLiteral("Update"), QStringLiteral("Url"));
    m_state = Download::None;
    m_downloadError.clear();
    if (!url.trimmed().isEmpty() &&
        m_download->start(url.trimmed(), m_versionFile, m_times.downloadLimitMs))
        m_state = Download::Running;
    m_decision.start(m_times.decisionMs);
}

void UpdateCheck::onDownloaded(bool ok, const QString& error) {
    m_state = ok ? Download::Ok : Download::Failed;
    m_downloadError = error;
    if (m_decisionDue) {
        m_decisionDue = false;
        decide();
    }
}

void UpdateCheck::decide() {
    const QString tips = m_settings->profile().value(kTips, kTips);
    if (tips == QLatin1String("Yes"))
        setPrompt(true);
    else if (tips == QLatin1String("No"))
        setPrompt(false);
    // Without an address nothing was attempted, so there is no failure to record either.
    if (m_state == Download::None) {
        emit finished();
        return;
    }
    ProfileFile::Load load;
    if (m_state == Download::Ok) {
        load = ProfileFile::Read(m_versionFile);
        if (!load.existed || !load.profile)
            m_downloadError = load.existed ? load.error : tr("版本文件已不存在");
    }
    if (m_state != Download::Ok || !load.existed || !load.profile) {
        writeSettings(kVersion2, kNetworkFailed);
        emit finished();
        return;
    }
    const QString server = load.profile->value(kVersion, kVersion);
    const QString note = load.profile->value(kNote, kNote);
    writeSettings(kVersion2, server, kNote, note);
    emit releaseNote(note);
    const QString running = m_settings->profile().value(kVersion, kVersion);
    m_cleanup.start(m_times.cleanupMs);
    if (running != server && tips == QLatin1String("Yes"))
        emit promptWanted();
}

void UpdateCheck::togglePrompt() {
    setPrompt(!m_prompt);
    writeSettings(kTips, m_prompt ? QStringLiteral("Yes") : QStringLiteral("No"));
}

void UpdateCheck::setDontAskAgain(bool checked) {
    setPrompt(!checked);
    writeSettings(kTips, checked ? QStringLiteral("No") : QStringLiteral("Yes"));
}

void UpdateCheck::setPrompt(bool on) {
    m_prompt = on;
    emit tipsChanged(on);
}

// Each value goes into the key of the same name in the section of that name.
void UpdateCheck::writeSettings(const QString& section, const QString& value,
                                const QString& section2, const QString& value2) {
    const auto error = m_settings->update([&](ProfileFile& profile) {
        profile.setValue(section, section, value);
        if (!section2.isEmpty())
            profile.setValue(section2, section2, value2);
    });
    if (error)
        emit statusMessage(*error);
}

} // namespace vantor
