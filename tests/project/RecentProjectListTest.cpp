// SPDX-License-Identifier: GPL-3.0-or-later
// The recent projects: the order after adds, case-insensitive paths, the bounded count, and the
// keys written; where the settings file lives.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "project/AppSettings.h"
#include "project/ProfileFile.h"
#include "project/RecentProjectList.h"

using namespace vantor;

namespace {

CRecentProjectList ListOf(const QStringList& paths) {
    CRecentProjectList list;
    for (auto it = paths.crbegin(); it != paths.crend(); ++it)
        list.Add(*it);
    return list;
}

} // namespace

TEST(RecentProjects, AddsMoveOrPushAndTheHeadStays) {
    const struct {
        QStringList before;
        QString added;
        QStringList after;
        bool changed;
    } cases[] = {
        {{"A", "B", "C"}, "A", {"A", "B", "C"}, false},
        {{"A", "B", "C"}, "a", {"A", "B", "C"}, false}, // letter case does not matter
        {{"A", "B", "C"}, "C", {"C", "A", "B"}, true},
        {{"A", "B", "C", "D", "E"}, "B", {"B", "A", "C", "D", "E"}, true},
        {{"A", "B", "C", "D", "E"}, "F", {"F", "A", "B", "C", "D"}, true},
        {{}, "A", {"A"}, true},
    };
    for (const auto& c : cases) {
        CRecentProjectList list = ListOf(c.before);
        EXPECT_EQ(list.Add(c.added), c.changed) << c.added.toStdString();
        EXPECT_EQ(list.entries(), c.after) << c.added.toStdString();
    }
}

TEST(RecentProjects, ClearWritesEveryKeyAndACountOutsideTheListIsBounded) {
    ProfileFile settings;
    CRecentProjectList list = ListOf({"/p/a.ini", "/p/b.ini"});
    list.Clear();
    list.Save(settings);
    EXPECT_EQ(settings.keys("Mru File"), QStringList({"FileNum", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(settings.value("Mru File", "FileNum"), "0");

    for (int i = 1; i <= 5; ++i)
        settings.setValue("Mru File", QString::number(i), QStringLiteral("/p/%1.ini").arg(i));
    for (const auto& [fileNum, count] : {std::pair{"9", 5}, {"-1", 0}, {"2", 2}}) {
        settings.setValue("mru file", "filenum", fileNum);
        list.Load(settings);
        EXPECT_EQ(list.count(), count) << fileNum;
    }
    EXPECT_EQ(list.entries().constFirst(), "/p/1.ini");
}

TEST(AppSettings, AnInstalledProgramKeepsItsSettingsInTheUsersFolder) {
#ifndef Q_OS_WIN
    for (const char* folder : {"/usr/bin", "/usr/local/bin", "/usr", "/bin", "/sbin", "/usr/bin/"})
        EXPECT_TRUE(vantor::IsSystemProgramFolder(QString::fromLatin1(folder))) << folder;
    for (const char* folder : {"/home/ann/vantor", "/opt/vantor", "/usr2/bin", "/tmp/usr/bin"})
        EXPECT_FALSE(vantor::IsSystemProgramFolder(QString::fromLatin1(folder))) << folder;
#endif
}

// A settings file an editor saved in UTF-8 keeps its paths at the next start and stays UTF-8.
TEST(AppSettings, AUtf8SettingsFileKeepsItsTextAndEncoding) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Config.ini");
    const QString recent = QStringLiteral("/home/ann/测/新.ini");
    for (const QByteArray& mark : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(mark + ("[Mru File]\nFileNum=1\n1=" + recent + "\n").toUtf8());
        file.close();
        AppSettings settings(path);
        CRecentProjectList list;
        list.Load(settings.profile());
        ASSERT_EQ(list.entries(), QStringList{recent});
        ASSERT_EQ(settings.writeVersion(QStringLiteral("2.8.2")), std::nullopt);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith(mark + "[Mru File]")) << bytes.toStdString();
        EXPECT_TRUE(bytes.contains(recent.toUtf8())) << bytes.toStdString();
    }
}
