// SPDX-License-Identifier: GPL-3.0-or-later
// The update check end to end: settings file in a temporary folder, version files offered over
// file:// and a local HTTP server, and the start of the updater.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

#include "files/GbkText.h"
#include "project/AppSettings.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"
#include "update/CurlLibrary.h"
#include "update/UpdateCheck.h"
#include "update/Updater.h"

using namespace vantor;
using namespace vantor::test;

namespace {

const QString kFailed = QStringLiteral("网络连接失败！");

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// In GBK, as the server offers it.
QByteArray VersionFile(const char* version, const char* note = "修正了若干问题") {
    return gbk::encode(QStringLiteral("[Version]\r\nVersion=%1\r\n[Note]\r\nNote=%2\r\n")
                           .arg(QString::fromUtf8(version), QString::fromUtf8(note)));
}

// One start of the check on the settings in `dir`, run until it has nothing more to do.
struct CheckRun {
    CheckRun(const QTemporaryDir& dir, const QString& url, const char* tips,
             UpdateTimes times = {50, 50})
        : config(dir.filePath("Config.ini")), versionFile(dir.filePath("version.ini")) {
        QByteArray text = "[Version]\r\nVersion=1.0\r\nBuild=7\r\n";
        if (!url.isEmpty())
            text += "[Update]\r\nUrl=" + url.toUtf8() + "\r\n";
        if (tips)
            text += QByteArray("[Tips]\r\nTips=") + tips + "\r\n";
        WriteFile(config, text);
        settings = std::make_unique<AppSettings>(config);
        check = std::make_unique<UpdateCheck>(settings.get(), versionFile, times);
        prompts = std::make_unique<QSignalSpy>(check.get(), &UpdateCheck::promptWanted);
        tips_ = std::make_unique<QSignalSpy>(check.get(), &UpdateCheck::tipsChanged);
        notes = std::make_unique<QSignalSpy>(check.get(), &UpdateCheck::releaseNote);
        QSignalSpy finished(check.get(), &UpdateCheck::finished);
        check->start(QStringLiteral("2.8.2"));
        EXPECT_TRUE(finished.wait(20000));
    }
    QString stored(const char* key) const {
        return ProfileFile::Read(config).profile->value(key, key);
    }
    QString config, versionFile;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<UpdateCheck> check;
    std::unique_ptr<QSignalSpy> prompts, tips_, notes;
};

QString FileUrl(const QString& path) {
    return QUrl::fromLocalFile(path).toString();
}

TEST(UpdateCheck, DecidesFromTipsAndTheServerVersion) {
    struct Case {
        const char* tips; // nullptr: no key
        QByteArray offered;
        bool prompt;
        std::optional<bool> flag; // the menu's check mark after the decision, when set
    };
    const Case cases[] = {
        {nullptr, VersionFile("2.9.0"), false, std::nullopt},
        {"Yes", VersionFile("2.9.0"), true, true},
        {"Yes", VersionFile("2.8.1"), true, true},
        {"Yes", VersionFile("V2.8.2"), true, true}, // written differently
        {"Yes", VersionFile("2.8.2"), false, true},
        {"Yes", "[Note]\r\nNote=x\r\n", true, true}, // no version: the empty text differs
        {"yes", VersionFile("2.9.0"), false, std::nullopt},
        {"No", VersionFile("2.9.0"), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.tips ? c.tips : "(none)") << " / " << c.offered.toStdString());
        QTemporaryDir dir;
        const QString offered = dir.filePath("offered.ini");
        WriteFile(offered, c.offered);
        const CheckRun run(dir, FileUrl(offered), c.tips);
        EXPECT_EQ(run.prompts->size(), c.prompt ? 1 : 0);
        EXPECT_EQ(run.tips_->size(), c.flag ? 1 : 0);
        if (c.flag) {
            EXPECT_EQ(run.tips_->first().first().toBool(), *c.flag);
        }
        const ProfileFile server = ProfileFile::FromBytes(c.offered);
        EXPECT_EQ(run.stored("Version2"), server.value("Version", "Version"));
        EXPECT_EQ(run.stored("Note"), server.value("Note", "Note"));
        ASSERT_EQ(run.notes->size(), 1);
        EXPECT_EQ(run.notes->first().first().toString(), server.value("Note", "Note"));
        // The running version replaced the whole section; the fetched file is gone again.
        const ProfileFile settings = *ProfileFile::Read(run.config).profile;
        EXPECT_EQ(settings.keys("Version"), QStringList{"Version"});
        EXPECT_EQ(settings.value("Version", "Version"), "2.8.2");
        EXPECT_FALSE(QFile::exists(run.versionFile));
    }
}

// The same settings and the same version file everywhere; only the offer goes wrong.
void ExpectFailedDownload(const QTemporaryDir& dir, const QString& url, const QString& reason,
                          UpdateTimes times = {50, 50}) {
    WriteFile(dir.filePath("version.ini"), VersionFile("1.0", "left by an earlier start"));
    const CheckRun run(dir, url, "Yes", times);
    EXPECT_EQ(run.stored("Version2"), kFailed);
    EXPECT_EQ(run.stored("Note"), "");
    EXPECT_EQ(run.prompts->size(), 0);
    EXPECT_EQ(run.notes->size(), 0);
    EXPECT_EQ(run.tips_->size(), 1); // the menu still follows "Tips"
    EXPECT_TRUE(run.check->downloadError().contains(reason))
        << run.check->downloadError().toStdString();
    EXPECT_EQ(ReadFile(run.versionFile), VersionFile("1.0", "left by an earlier start"));
}

TEST(UpdateCheck, RefusesMissingOversizedAndMalformedVersionFiles) {
    const QByteArray padding = "; " + QByteArray(70 * 1024, 'x') + "\r\n";
    const struct {
        const char* name;
        std::optional<QByteArray> offered; // none: no file at the address
        const char* reason;
    } cases[] = {
        {"missing", std::nullopt, "下载失败"},
        {"oversized", VersionFile("2.9.0") + padding, "64 KB"},
        {"text before any section", "Version=2.9.0\r\n" + VersionFile("2.9.0"), "第 1 行"},
        {"line that is no key", VersionFile("2.9.0") + "<html>\r\n", "第 5 行"},
        {"no section", "", "没有任何节"},
        {"binary", QByteArray("[Version]\r\nVersion=2.9\0\x01", 24), "不是文本"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString offered = dir.filePath("offered.ini");
        if (c.offered)
            WriteFile(offered, *c.offered);
        ExpectFailedDownload(dir, FileUrl(offered), QString::fromUtf8(c.reason));
    }
}

TEST(UpdateCheck, DownloadsOverHttpFromALocalServer) {
    QTemporaryDir served;
    WriteFile(served.filePath("Version.ini"), VersionFile("3.0.0", "新版本"));
    QTcpServer probe; // a free port for the server
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess server;
    server.setWorkingDirectory(served.path());
    server.start("/usr/bin/python3",
                 {"-m", "http.server", "--bind", "127.0.0.1", QString::number(port)});
    ASSERT_TRUE(server.waitForStarted());
    ASSERT_TRUE(WaitUntil([port] {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        return socket.waitForConnected(200);
    }));
    const QString base = QStringLiteral("http://127.0.0.1:%1/").arg(port);
    {
        QTemporaryDir dir;
        const CheckRun run(dir, base + "Version.ini", "Yes");
        EXPECT_EQ(run.prompts->size(), 1);
        EXPECT_EQ(run.stored("Version2"), "3.0.0");
        EXPECT_EQ(run.stored("Note"), "新版本");
    }
    QTemporaryDir dir;
    ExpectFailedDownload(dir, base + "nothing.ini", "下载失败"); // 404
    server.terminate();
    server.waitForFinished();
}

// A server that takes the connection and never answers: the time limit ends the download, the
// decision waits for it, and the event loop runs on meanwhile.
TEST(UpdateCheck, TimeLimitEndsASilentServer) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(20);
    QElapsedTimer elapsed;
    elapsed.start();
    QTemporaryDir dir;
    ExpectFailedDownload(dir,
                         QStringLiteral("http://127.0.0.1:%1/Version.ini").arg(silent.serverPort()),
                         "下载失败", {50, 50, 600});
    EXPECT_GE(elapsed.elapsed(), 600);
    EXPECT_GT(ticks, 5);
    EXPECT_TRUE(silent.hasPendingConnections()); // the download did reach the server
}

TEST(UpdateCheck, WithoutAnAddressOnlyTheTipsAreRead) {
    QTemporaryDir dir;
    const CheckRun run(dir, QString(), "No");
    ASSERT_EQ(run.tips_->size(), 1);
    EXPECT_FALSE(run.check->promptEnabled());
    EXPECT_FALSE(ProfileFile::Read(run.config).profile->contains("Version2", "Version2"));
    EXPECT_FALSE(QFile::exists(run.versionFile));
    EXPECT_EQ(run.stored("Version"), "2.8.2");
}

TEST(UpdateCheck, MenuAndCheckBoxStoreTips) {
    QTemporaryDir dir;
    const CheckRun run(dir, QString(), nullptr);
    EXPECT_TRUE(run.check->promptEnabled()); // "Tips" absent: the flag keeps its start value
    run.check->togglePrompt();
    EXPECT_EQ(run.stored("Tips"), "No");
    run.check->togglePrompt();
    EXPECT_EQ(run.stored("Tips"), "Yes");
    run.check->setDontAskAgain(true);
    EXPECT_EQ(run.stored("Tips"), "No");
    EXPECT_FALSE(run.check->promptEnabled());
    run.check->setDontAskAgain(false);
    EXPECT_EQ(run.stored("Tips"), "Yes");
    EXPECT_TRUE(run.check->promptEnabled());
}

TEST(Updater, StartsTheProgramBesideOrTheConfiguredCommand) {
    QTemporaryDir dir;
    const QString marker = dir.filePath("started");
    ProfileFile settings;
    UpdaterLaunch launch = UpdaterCommand(settings, dir.path());
    EXPECT_EQ(launch.program, dir.filePath("update"));
    UpdaterStart started = StartUpdater(launch);
    EXPECT_FALSE(started.ok);
    EXPECT_EQ(started.message,
              "找不到升级程序：" + QDir::toNativeSeparators(dir.filePath("update")));

    WriteFile(dir.filePath("update"), "#!/bin/sh\necho beside > \"" + marker.toUtf8() + "\"\n");
    QFile::setPermissions(dir.filePath("update"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_TRUE(StartUpdater(UpdaterCommand(settings, dir.path())).ok);
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(marker) == "beside\n"; }));

    settings.setValue("Update", "Command", "sh -c \"echo configured > '" + marker + "'\"");
    launch = UpdaterCommand(settings, dir.path());
    EXPECT_EQ(launch.program, "sh");
    started = StartUpdater(launch);
    EXPECT_TRUE(started.ok) << started.message.toStdString();
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(marker) == "configured\n"; }));
}

// The installed package is updated by the package manager, unless a command is configured.
TEST(Updater, AnInstalledPackagePointsToThePackageManager) {
    ProfileFile settings;
    const UpdaterStart started = StartUpdater(UpdaterCommand(settings, "/usr/bin"));
    EXPECT_FALSE(started.ok);
    EXPECT_EQ(started.message, kUpdateThroughPackageManager);
    settings.setValue("Update", "Command", "true");
    const UpdaterLaunch launch = UpdaterCommand(settings, "/usr/bin");
    EXPECT_FALSE(launch.packageManager);
    EXPECT_EQ(launch.program, "true");
}

} // namespace

TEST(CurlLibrary, AMissingOrWrongLibraryIsRefusedWithItsReason) {
    const struct {
        const char* name;
        int version;
        const char* reason;
    } cases[] = {
        {"vantor-no-such-library", 4, "无法加载 libcurl"},
        {"z", 1, "libcurl 缺少所需的函数"}, // loads, but is not libcurl
    };
    for (const auto& c : cases) {
        const CurlLoad load = LoadCurlLibrary(QString::fromLatin1(c.name), c.version);
        EXPECT_FALSE(load.ok) << c.name;
        EXPECT_TRUE(load.error.startsWith(QString::fromUtf8(c.reason))) << qPrintable(load.error);
    }
}
