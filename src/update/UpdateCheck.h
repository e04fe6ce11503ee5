// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check for a newer version at every start: the version file is fetched in the background,
// two seconds later the decision is made, one second after that the fetched file is removed.
#include <QObject>
#include <QString>
#include <QTimer>

namespace vantor {

class AppSettings;
class VersionDownload;

struct UpdateTimes {
    int decisionMs = 2000; // from the start to the decision
    int cleanupMs = 1000;  // from a decision after a good download to the file's removal
    int downloadLimitMs = 10000;
};

// Reads and writes the settings file's "Update" (Url), "Version", "Version2", "Note" and
// "Tips" entries. Holds the prompt flag shown by the menu item "提示更新信息".
class UpdateCheck : public QObject {
    Q_OBJECT
public:
    // Written into the settings file as the server's version: not translated.
    static inline const QString kNetworkFailed = QStringLiteral("网络连接失败！");

    // `versionFile` is where the downloaded version file goes.
    UpdateCheck(AppSettings* settings, QString versionFile, UpdateTimes times = {},
                QObject* parent = nullptr);
    ~UpdateCheck() override;

    // Records the running version and starts the download (none without an address) and the
    // decision's timer.
    void start(const QString& runningVersion);

    bool promptEnabled() const { return m_prompt; }
    // The menu item: flips the flag and stores it.
    void togglePrompt();
    // The prompt's check box "不再提示该信息".
    void setDontAskAgain(bool checked);
    // Why the last download failed; empty after a good one or none.
    QString downloadError() const { return m_downloadError; }

signals:
    void tipsChanged(bool promptEnabled);
    void releaseNote(const QString& note);
    void promptWanted();
    void statusMessage(const QString& text); // a settings write that failed
    void finished();                         // nothing more will happen

private:
    enum class Download { None, Running, Ok, Failed };
    void onDownloaded(bool ok, const QString& error);
    void decide();
    void setPrompt(bool on);
    void writeSettings(const QString& section, const QString& value, const QString& section2 = {},
                       const QString& value2 = {});

    AppSettings* m_settings;
    QString m_versionFile;
    UpdateTimes m_times;
    VersionDownload* m_download;
    QTimer m_decision;
    QTimer m_cleanup;
    Download m_state = Download::None;
    bool m_decisionDue = false; // the decision's time came while the download still ran
    bool m_prompt = true;
    QString m_downloadError;
};

} // namespace vantor
