// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/ProfileFile.h"
#include "files/GbkText.h"
#include "project/ChildProfiles.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using vantor::ProfileFile;

namespace {

ProfileFile Parse(const char* text) {
    return ProfileFile::FromBytes(gbk::encode(text));
}

QByteArray Gbk(const QString& text) {
    return gbk::encode(text);
}

TEST(ProfileFile, ReadsLikeTheWindowsProfileFunctions) {
    const ProfileFile p = Parse("[Comm]\r\n"
                                "Port = COM3 \r\n"
                                "port=COM9\r\n" // the first of duplicate keys wins
                                "Quoted=\"  a b \"\r\n"
                                "Empty=\r\n"
                                "Twelve=12abc\r\n"
                                "Minus= -7\r\n"
                                "Word=abc\r\n"
                                "[ 温度 ]\r\n"
                                "上限=80\r\n"
                                "ＡＢ=full\r\n");
    struct Case {
        const char* section;
        const char* key;
        QString want;
    };
    for (const Case& c :
         {Case{"comm", "PORT", "COM3"}, Case{"COMM", "quoted", "  a b "}, Case{"Comm", "empty", ""},
          Case{"温度", "上限", "80"}, Case{" 温度", "ａｂ", "full"}, Case{"Comm", "nothing", ""},
          Case{"nothing", "Port", ""}}) {
        EXPECT_EQ(p.value(c.section, c.key), c.want) << c.section << " " << c.key;
    }
    EXPECT_TRUE(p.contains("comm", "EMPTY"));
    EXPECT_FALSE(p.contains("comm", "nothing"));
    EXPECT_TRUE(p.containsSection("温度"));
    EXPECT_EQ(p.value("Comm", "nothing", "dflt"), "dflt");
    EXPECT_EQ(p.value("Comm", "Empty", "dflt"), "");
    EXPECT_EQ(p.keys("comm"), QStringList({"Port", "Quoted", "Empty", "Twelve", "Minus", "Word"}));
    EXPECT_EQ(p.sections(), QStringList({"Comm", "温度"}));

    struct IntCase {
        const char* key;
        int want;
    };
    for (const IntCase& c : {IntCase{"Twelve", 12}, IntCase{"Minus", -7}, IntCase{"Word", 0},
                             IntCase{"Empty", 0}, IntCase{"nothing", 42}}) {
        EXPECT_EQ(p.intValue("Comm", c.key, 42), c.want) << c.key;
    }

    ProfileFile long_;
    long_.setValue("S", "K", QString(300, QChar(u'长')));
    EXPECT_EQ(long_.value("S", "K"), QString(ProfileFile::kMaxRead, QChar(u'长')));
}

TEST(ProfileFile, ChangesKeepPlacesAndOrder) {
    ProfileFile p = Parse("; head\r\n"
                          "[A]\r\n"
                          "One=1\r\n"
                          "; note\r\n"
                          "Two=2\r\n"
                          "\r\n"
                          "[B]\r\n"
                          "X=x\r\n"
                          "[C]\r\n"
                          "Y=y\r\n");
    p.setValue("a", "ONE", "first");
    p.setValue("A", "Three", "3");
    p.setInt("New", "N", -5);
    p.removeSection("b");
    p.removeKey("A", "two");
    EXPECT_EQ(p.toBytes(), QByteArray("; head\r\n"
                                      "[A]\r\n"
                                      "One=first\r\n"
                                      "; note\r\n"
                                      "Three=3\r\n"
                                      "\r\n"
                                      "[C]\r\n"
                                      "Y=y\r\n"
                                      "[New]\r\n"
                                      "N=-5\r\n"));
    EXPECT_EQ(p.sections(), QStringList({"A", "C", "New"}));
    EXPECT_EQ(p.keys("A"), QStringList({"One", "Three"}));
    EXPECT_FALSE(p.contains("A", "Two"));
    EXPECT_EQ(p.intValue("new", "n"), -5);
}

TEST(ProfileFile, ChineseTextRoundTripsInGbkWithCrlf) {
    ProfileFile p;
    p.setValue("中", "键", "值 中");
    const QByteArray bytes = p.toBytes();
    EXPECT_EQ(bytes, QByteArray("[\xD6\xD0]\r\n") + Gbk("键") + "=" + Gbk("值") + " \xD6\xD0\r\n");
    const ProfileFile back = ProfileFile::FromBytes(bytes);
    EXPECT_EQ(back.value("中", "键"), "值 中");
    EXPECT_EQ(back.toBytes(), bytes);
}

TEST(ProfileFile, ReadsEveryLineEndingAndEncoding) {
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const QByteArray utf8 = QStringLiteral("[段]\n名=温度\n").toUtf8();
    for (const Case& c :
         {Case{"utf-8 with mark", "\xEF\xBB\xBF" + utf8}, Case{"utf-8", utf8},
          Case{"lf", Gbk("[段]\n名=温度\n")},
          Case{"no last end", Gbk("[段]\r\n名=温度")}, Case{"cr alone", Gbk("[段]\r名=温度\r")},
          Case{"comments", Gbk(";c\r\n[段]\r\n;名=x\r\n  ; 名=y\r\n名=温度\r\n")}}) {
        const ProfileFile p = ProfileFile::FromBytes(c.bytes);
        EXPECT_EQ(p.value("段", "名"), "温度") << c.what;
        EXPECT_EQ(p.keys("段"), QStringList({"名"})) << c.what;
        EXPECT_TRUE(p.toBytes().endsWith(Gbk("名=温度\r\n"))) << c.what;
    }
    // Comments and lines outside any section are written back where they were.
    const QByteArray kept = Gbk("top\r\n;c\r\n[段]\r\n;名=x\r\n名=温度\r\n");
    EXPECT_EQ(ProfileFile::FromBytes(kept).toBytes(), kept);
}

class ProfileFileOnDisk : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("project.ini")) const {
        return m_dir.filePath(name);
    }
    QTemporaryDir m_dir;
};

TEST_F(ProfileFileOnDisk, ReadAndSaveReportMissingAndFailingFiles) {
    const ProfileFile::Load missing = ProfileFile::Read(path());
    ASSERT_TRUE(missing.profile);
    EXPECT_FALSE(missing.existed);
    EXPECT_TRUE(missing.error.isEmpty());
    EXPECT_TRUE(missing.profile->sections().isEmpty());

    const ProfileFile::Load folder = ProfileFile::Read(m_dir.path());
    EXPECT_FALSE(folder.profile);
    EXPECT_TRUE(folder.error.startsWith(QStringLiteral("无法读取文件 %1：").arg(m_dir.path())));

    ProfileFile p;
    p.setValue("S", "K", "v");
    ASSERT_FALSE(p.Save(path()));
    const ProfileFile::Load saved = ProfileFile::Read(path());
    ASSERT_TRUE(saved.profile);
    EXPECT_TRUE(saved.existed);
    EXPECT_EQ(saved.profile->value("s", "k"), "v");

    const QString nowhere = path(QStringLiteral("no such folder/project.ini"));
    const std::optional<QString> error = p.Save(nowhere);
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->contains(nowhere)) << error->toStdString();
    EXPECT_FALSE(QDir(path(QStringLiteral("no such folder"))).exists());
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList({"project.ini"}));
}

// A child saves two big profiles A and B by turns to one path without end; killed at any moment,
// it leaves a file that is A or B entirely.
TEST_F(ProfileFileOnDisk, AKilledSaveLeavesTheOldOrTheNewFile) {
    const QByteArray a = ChildProfile(QStringLiteral("A")).toBytes();
    const QByteArray b = ChildProfile(QStringLiteral("B")).toBytes();
    QRandomGenerator random(20240612);
    for (int round = 0; round < 15; ++round) {
        QProcess child;
        child.start(QStringLiteral(PROFILE_SAVE_CHILD), {path()});
        ASSERT_TRUE(child.waitForStarted(10000));
        if (round == 0) {
            ASSERT_TRUE(child.waitForReadyRead(30000)); // the first save is in place
        }
        QThread::msleep(random.bounded(5, 150));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAllStandardError().data();

        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << round;
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes == a || bytes == b) << round << ": " << bytes.size() << " bytes";
        const ProfileFile::Load load = ProfileFile::Read(path());
        ASSERT_TRUE(load.profile) << round;
        const QString last = load.profile->value("段19", "键999");
        EXPECT_TRUE(last == "A-19-999" || last == "B-19-999") << round << last.toStdString();
    }
}

} // namespace
