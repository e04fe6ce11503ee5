// SPDX-License-Identifier: GPL-3.0-or-later
// The English catalogue of the communication texts, as the program installs it: the core's
// notices through the core translator, the session's own texts under its class's context.
#include <QCoreApplication>
#include <QTranslator>
#include <gtest/gtest.h>

#include "modbus/CommSession.h"
#include "modbus/LogFormat.h"
#include "modbus/Texts.h"

using namespace vantor;

TEST(EnglishCatalogue, CoreNoticesAndSessionTextsComeOutInEnglish) {
    QTranslator catalogue;
    ASSERT_TRUE(catalogue.load(QStringLiteral(":/i18n/vantor_modbus_en.qm")));
    QCoreApplication::installTranslator(&catalogue);
    SetCoreTranslator([](const char* context, const char* source) {
        return QCoreApplication::translate(context, source).toStdString();
    });

    EXPECT_EQ(ExceptionText(3, 0x83, 2),
              "Packet 3 exception reply: function code 0x83, exception code 0x02 illegal data "
              "address");
    EXPECT_EQ(UnjudgedBytesText(1, 3, 25),
              "Packet 1 incomplete reply: 3 bytes (expected 25 bytes), discarded");
    EXPECT_EQ(CommSession::tr("串口连接已断开：%1").arg(QStringLiteral("x")),
              QStringLiteral("Serial port connection lost: x"));

    SetCoreTranslator(nullptr);
    QCoreApplication::removeTranslator(&catalogue);
    EXPECT_EQ(LateReplyText(2), "数据包 2 迟到应答，已丢弃");
}
