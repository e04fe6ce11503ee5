// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/GbkText.h"
#include "files/ShareIni.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(GbkText, RoundTripsChineseAndAsciiWithGbkBytes) {
    const QString text = QStringLiteral("温度A1");
    const QByteArray bytes = gbk::encode(text);
    EXPECT_EQ(bytes, QByteArray("\xCE\xC2\xB6\xC8"
                                "A1"));
    EXPECT_EQ(gbk::decode(bytes), text);
}

TEST(GbkText, UnencodableAndUndecodableUnitsAreReplacedOneForOne) {
    EXPECT_EQ(gbk::encode(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
    // 0xFF is not a GBK byte; the rest still reads.
    EXPECT_EQ(gbk::decode(QByteArray("x\xFFy")), QStringLiteral("x\uFFFDy"));
}

TEST(GbkText, CutNeverSplitsADoubleByteCharacter) {
    const QByteArray bytes = gbk::encode(QStringLiteral("a温度")); // 1 + 2 + 2 bytes
    struct Case {
        int max;
        QByteArray want;
    };
    for (const Case& c :
         {Case{5, bytes}, Case{4, bytes.left(3)}, Case{2, bytes.left(1)}, Case{0, {}}}) {
        EXPECT_EQ(gbk::cutAtCharacter(bytes, c.max), c.want) << c.max;
    }
}

TEST(ShareIni, WholeFileInGbkWithCrlfReplacedOnEachWrite) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("share.ini"));
    ASSERT_TRUE(vantor::WriteShareIni(path, {{"1", "12.5"}, {"2", QStringLiteral("开")}}));
    ASSERT_TRUE(vantor::WriteShareIni(path, {{"3", "7"}}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[MconfigInfo]\r\n3=7\r\n"));
    EXPECT_EQ(vantor::ShareIniContent({{"2", QStringLiteral("开")}}),
              QByteArray("[MconfigInfo]\r\n2=\xBF\xAA\r\n"));
    QString error;
    EXPECT_FALSE(
        vantor::WriteShareIni(dir.filePath(QStringLiteral("no/such/share.ini")), {}, &error));
    EXPECT_FALSE(error.isEmpty());
}
