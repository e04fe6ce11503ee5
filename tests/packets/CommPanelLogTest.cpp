// SPDX-License-Identifier: GPL-3.0-or-later
// The communication log widget: where lines go, the pause, the 200-line housekeeping, the
// batched writing and the scrolling.
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

#include "modbus/LogFormat.h"
#include "packets/CommLog.h"

using namespace vantor;

namespace {

const QString kNotice = QString::fromUtf8(kLogOverflowNotice.data());

QString TxLine(int n) {
    return QString::fromStdString(
        SerialTxLine({10, 0, n / 1000 % 60, n % 1000}, "Tx :  01 03 00 00 00 01 84 0A "));
}

QString RxLine(int n) {
    return QString::fromStdString(
        PolledRxLine({10, 0, n / 1000 % 60, n % 1000}, "01 03 02 00 01 "));
}

// The event the session sends with a line of this form.
LogEvent Session(const QString& line) {
    const QStringView tag = QStringView(line).mid(13, 2);
    const LogKind kind = tag == QLatin1String("Tx")   ? LogKind::Tx
                         : tag == QLatin1String("Rx") ? LogKind::Rx
                                                      : LogKind::Notice;
    return {kind, {}, line};
}

// The log's lines once the queued ones are written.
QStringList Lines(CommLog& log) {
    log.flush();
    return log.lineCount() == 0 ? QStringList() : log.toPlainText().split(QLatin1Char('\n'));
}

// Fills the log with lines from the session, alternating Tx and Rx.
void Fill(CommLog& log, int lines) {
    for (int i = 0; i < lines; ++i)
        log.appendSessionEvent(Session(i % 2 == 0 ? TxLine(i) : RxLine(i)));
}

} // namespace

TEST(CommLog, LinesGoToTheEndWhereverTheUserClicked) {
    CommLog log;
    EXPECT_EQ(log.lineCount(), 0);
    log.appendSessionEvent(Session(TxLine(1)));
    log.appendSessionEvent(Session(RxLine(2)));
    // The user clicks at the start of the log; the next lines still follow the last one.
    QTextCursor start = log.textCursor();
    start.movePosition(QTextCursor::Start);
    log.setTextCursor(start);
    log.appendLine(QStringLiteral("数据包配置成功。"));
    log.appendSessionEvent(Session(RxLine(3)));
    EXPECT_EQ(Lines(log),
              (QStringList{TxLine(1), RxLine(2), QStringLiteral("数据包配置成功。"), RxLine(3)}));
    EXPECT_EQ(log.lineCount(), 4);
    EXPECT_TRUE(log.isReadOnly());
}

TEST(CommLog, PauseDropsOnlyTxAndRxLines) {
    CommLog log;
    log.setPaused(true);
    log.appendSessionEvent(Session(TxLine(1)));
    log.appendSessionEvent(Session(RxLine(2)));
    log.appendSessionEvent(
        Session(QStringLiteral("Modbus TCP/IP 设备 10.0.0.2 端口 502 已连接！")));
    log.appendLine(QStringLiteral("数据包配置成功。"));
    EXPECT_EQ(Lines(log),
              (QStringList{QStringLiteral("Modbus TCP/IP 设备 10.0.0.2 端口 502 已连接！"),
                           QStringLiteral("数据包配置成功。")}));
    log.setPaused(false);
    log.appendSessionEvent(Session(RxLine(3)));
    EXPECT_EQ(Lines(log).last(), RxLine(3));
    EXPECT_EQ(log.lineCount(), 3);
}

TEST(CommLog, SerialLogAboveTheLimitIsReplacedByTheNotice) {
    CommLog log;
    Fill(log, 200);
    log.appendSessionEvent(Session(RxLine(200))); // 200 lines: not above the limit yet
    ASSERT_EQ(log.lineCount(), 201);
    EXPECT_EQ(Lines(log).first(), TxLine(0));

    log.appendSessionEvent(Session(RxLine(201))); // the 201st line is there: the log starts over
    EXPECT_EQ(Lines(log), (QStringList{kNotice, RxLine(201)}));

    // And the notice counts as a line of the next round.
    Fill(log, 199);
    EXPECT_EQ(log.lineCount(), 201);
    log.appendSessionEvent(Session(TxLine(7)));
    EXPECT_EQ(Lines(log), (QStringList{kNotice, TxLine(7)}));
}

TEST(CommLog, TcpLogAboveTheLimitIsEmptied) {
    CommLog log;
    log.setLinkKind(LinkKind::Tcp);
    Fill(log, 201);
    log.appendSessionEvent(Session(RxLine(500)));
    EXPECT_EQ(Lines(log), QStringList{RxLine(500)});
}

TEST(CommLog, OnlyAWrittenSessionLineEmptiesTheLog) {
    CommLog log;
    const QString done = QStringLiteral("数据包配置成功。");
    for (int i = 0; i < 250; ++i)
        log.appendLine(done);
    EXPECT_EQ(log.lineCount(), 250); // the panel's own lines leave the log as it is

    // Paused Tx and Rx lines are dropped before they could empty it.
    log.setPaused(true);
    Fill(log, 10);
    EXPECT_EQ(log.lineCount(), 250);

    // A line from the session that is shown (here one that the pause lets through) does.
    log.appendSessionEvent(
        Session(QStringLiteral("Modbus TCP/IP 设备 10.0.0.2 端口 502 已连接！")));
    EXPECT_EQ(
        Lines(log),
        (QStringList{kNotice, QStringLiteral("Modbus TCP/IP 设备 10.0.0.2 端口 502 已连接！")}));
}

TEST(CommLog, BatchesShowTheSameLinesAsLineByLineWriting) {
    const auto run = [](LinkKind link, int flushEvery) {
        CommLog log;
        log.setLinkKind(link);
        for (int i = 0; i < 450; ++i) {
            if (i % 97 == 0)
                log.appendLine(QStringLiteral("数据包配置成功。"));
            log.appendSessionEvent(Session(i % 2 == 0 ? TxLine(i) : RxLine(i)));
            if (flushEvery > 0 && i % flushEvery == 0)
                log.flush();
        }
        return Lines(log);
    };
    for (const LinkKind link : {LinkKind::Serial, LinkKind::Tcp}) {
        const QStringList oneByOne = run(link, 1);
        EXPECT_EQ(run(link, 7), oneByOne);
        EXPECT_EQ(run(link, 0), oneByOne); // everything in one batch
    }
}

TEST(CommLog, FollowsTheEndUnlessTheUserScrolledUp) {
    CommLog log;
    log.resize(300, 120);
    log.show();
    Fill(log, 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.pendingLines() == 0; })); // the batch timer
    QScrollBar* bar = log.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(5); // the user reads further up
    Fill(log, 10);
    log.flush();
    EXPECT_EQ(bar->value(), 5);

    bar->setValue(bar->maximum()); // back at the end: the log follows again
    const int before = bar->maximum();
    Fill(log, 10);
    log.flush();
    EXPECT_GT(bar->maximum(), before);
    EXPECT_EQ(bar->value(), bar->maximum());
}
