// SPDX-License-Identifier: GPL-3.0-or-later
// The communication panel driven as a user drives it: editing the packet list in place,
// configuring, starting and stopping, the select-all, pause and counter buttons.
#include <QHeaderView>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

#include "CommPanelFixture.h"
#include "modbus/LogFormat.h"
#include "packets/CommPanelRules.h"
#include "packets/ConnectionControls.h"
#include "packets/CounterDisplay.h"
#include "support/Wait.h"

using namespace vantor;
using namespace vantor::test;

namespace {

using CommPanel = CommPanelFixture;

const QString kConfigured = QStringLiteral("数据包配置成功。");

} // namespace

TEST_F(CommPanel, ListStartsWithThirtyDefaultRows) {
    ASSERT_EQ(list->rowCount(), 30);
    ASSERT_EQ(list->columnCount(), 5 + kStatColumnCount); // the set-up, then the statistics
    const QStringList headers = {"数据包号", "从机地址", "功能码", "地址", "数据个数"};
    int widths = 0;
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(list->horizontalHeaderItem(c)->text(), headers[c]);
        EXPECT_GE(list->columnWidth(c), list->horizontalHeader()->sectionSizeHint(c));
        widths += list->columnWidth(c);
    }
    for (int r : {0, 17, 29}) {
        EXPECT_EQ(Cell(r, 0), QString::number(r + 1));
        EXPECT_EQ(Cell(r, 1), "1");
        EXPECT_EQ(Cell(r, 2), "03");
        EXPECT_EQ(Cell(r, 3), "0");
        EXPECT_EQ(Cell(r, 4), "0");
        EXPECT_FALSE(list->isChecked(r));
    }
    EXPECT_TRUE(list->showGrid());

    PacketStatsTable stats{};
    stats[1].requests = 3;
    list->showStats(stats);
    EXPECT_EQ(Cell(0, 5), "");
    EXPECT_EQ(Cell(1, 5), "3");
    EXPECT_EQ(Cell(1, 10), ""); // nothing timed yet
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    // Nothing is cut off: the five columns fit the list's preferred width.
    EXPECT_GE(list->viewport()->width(), widths);

    EXPECT_EQ(Find<QLineEdit>("intervalEdit")->text(), "200");
    EXPECT_TRUE(Find<QRadioButton>("formatIntDefault")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>("base0Radio")->isChecked());
    for (const char* later : {"userNamesButton", "fn16Button", "writeParamsButton",
                              "readParamsButton", "saveParamsButton"})
        EXPECT_FALSE(Find<QPushButton>(later)->isEnabled()) << later;
    EXPECT_EQ(Find<QPushButton>("selectAllButton")->text(), "全选");
    EXPECT_EQ(Find<QPushButton>("pauseButton")->text(), "暂停数据滚动");
}

TEST_F(CommPanel, EditingCellsAndConfiguringBuildsTheImages) {
    // A click opens an edit box over the cell with its text selected and focused.
    ClickCell(0, 1);
    auto* edit = qobject_cast<QLineEdit*>(list->cellEditor());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "1");
    EXPECT_EQ(edit->selectedText(), "1");
    EXPECT_TRUE(edit->hasFocus());
    const QRect cell = list->visualItemRect(list->item(0, 1));
    EXPECT_TRUE(cell.contains(edit->geometry()));
    QTest::keyClicks(edit, "17");

    // A click on another cell commits the first editor, then opens the next one.
    TypeIntoCell(0, 3, "100");
    EXPECT_EQ(Cell(0, 1), "17");
    TypeIntoCell(0, 4, "10");
    EXPECT_EQ(Cell(0, 3), "100");

    // The function column opens the combo, dropped down, with the five codes.
    ClickCell(0, 2);
    EXPECT_EQ(Cell(0, 4), "10");
    auto* combo = qobject_cast<QComboBox*>(list->cellEditor());
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isEditable());
    EXPECT_TRUE(combo->view()->isVisible());
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    EXPECT_EQ(entries, (QStringList{"03", "04", "02", "01", "51", "50"}));
    EXPECT_EQ(combo->currentText(), "03");
    // Pick "04" from the list with the keyboard.
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_FALSE(combo->view()->isVisible());
    EXPECT_EQ(combo->currentText(), "04");

    ToggleCheck(0); // column 0 commits the combo
    EXPECT_EQ(list->cellEditor(), nullptr);
    EXPECT_EQ(Cell(0, 2), "04");
    EXPECT_TRUE(list->isChecked(0));

    TypeIntoCell(1, 4, "3");  // row 2: slave 1, function 03, address 0, count 3, unchecked
    Click("configureButton"); // the button takes the focus: row 2 is committed first
    EXPECT_EQ(Cell(1, 4), "3");

    const CommandImages& images = store.images();
    EXPECT_EQ(images.link, LinkKind::Serial);
    EXPECT_EQ(images.packets[0].serialText, "11040064000A");
    EXPECT_EQ(images.packets[1].serialText, "010300000003");
    EXPECT_EQ(images.packets[2].serialText, "010300000000");
    EXPECT_EQ(images.totalCount, 13);
    EXPECT_EQ(images.checkedRows, 1);
    EXPECT_EQ(LogLines(), QStringList{kConfigured});
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    // The point labels follow the configured rows: function 4 shows 3x addresses.
    EXPECT_EQ(store.labelText({PacketNo(1), 0}), "3x00100");
    EXPECT_EQ(store.labelText({PacketNo(1), 9}), "3x00109");
    EXPECT_EQ(store.labelText({PacketNo(1), 10}), " ");
    EXPECT_EQ(store.labelText({PacketNo(2), 2}), "4x00002");
}

TEST_F(CommPanel, ClicksOnTheEditorsCellColumnZeroAndFocusLossCommit) {
    TypeIntoCell(2, 4, "5");
    QWidget* editor = list->cellEditor();
    ASSERT_NE(editor, nullptr);

    // The same cell again (its margin lies on the list): the editor stays, text and all.
    ClickCell(2, 4);
    EXPECT_EQ(list->cellEditor(), editor);
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(qobject_cast<QLineEdit*>(editor)->text(), "5");
    EXPECT_EQ(Cell(2, 4), "0");
    Spin(); // nothing left pending closes it later
    EXPECT_EQ(list->cellEditor(), editor);

    // Column 0 commits and opens nothing.
    ClickCell(2, 0);
    EXPECT_EQ(list->cellEditor(), nullptr);
    EXPECT_EQ(Cell(2, 4), "5");
    EXPECT_FALSE(list->isChecked(2)); // the click was on the number, not on the box

    // Losing the focus to another control commits.
    TypeIntoCell(3, 1, "9");
    QTest::mouseClick(Find<QLineEdit>("intervalEdit"), Qt::LeftButton);
    EXPECT_EQ(list->cellEditor(), nullptr);
    EXPECT_EQ(Cell(3, 1), "9");

    // The combo commits typed text as typed, without completing it to an entry.
    TypeIntoCell(4, 2, "5");
    ClickCell(4, 3);
    EXPECT_EQ(Cell(4, 2), "5");
    ASSERT_NE(qobject_cast<QLineEdit*>(list->cellEditor()), nullptr);
    EXPECT_EQ(list->editorRow(), 4);
    EXPECT_EQ(list->editorColumn(), 3);
}

TEST_F(CommPanel, ScrollingCommitsTheOpenEditorFirst) {
    TypeIntoCell(0, 3, "42");
    QWheelEvent wheel(QPointF(20, 20), list->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list->viewport(), &wheel);
    EXPECT_EQ(list->cellEditor(), nullptr);
    EXPECT_EQ(Cell(0, 3), "42");

    TypeIntoCell(1, 3, "43");
    list->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(list->cellEditor(), nullptr);
    EXPECT_EQ(Cell(1, 3), "43");

    TypeIntoCell(2, 3, "44");
    list->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Cell(2, 3), "44");
}

TEST_F(CommPanel, TypedTextThatIsNoNumberReadsAsZeroAtConfigure) {
    TypeIntoCell(0, 1, "ab");
    TypeIntoCell(0, 3, "xyz");
    TypeIntoCell(0, 4, "12abc");
    TypeIntoCell(1, 2, "x3");
    Click("configureButton");
    EXPECT_EQ(Cell(0, 4), "12abc"); // the table keeps what was typed
    EXPECT_EQ(store.images().packets[0].serialText, "00030000000C");
    EXPECT_EQ(store.images().packets[0].count, 12);
    // Row 2's function reads as 0, which cannot be sent: the user is told, the row stays silent.
    EXPECT_EQ(messages, QStringList{"数据包 2：功能码 0 不能发送"});
    EXPECT_TRUE(store.images().packets[1].serialText.empty());
    EXPECT_EQ(LogLines(), QStringList{kConfigured});
}

TEST_F(CommPanel, StartAndStopLockAndUnlockTheTable) {
    auto* interval = Find<QLineEdit>("intervalEdit");
    TypeIntoCell(0, 4, "7");
    Click("startButton"); // the port is closed: nothing is armed
    EXPECT_EQ(Cell(0, 4), "7");
    EXPECT_EQ(messages, QStringList{"请先打开串口"});
    EXPECT_FALSE(list->locked());
    EXPECT_FALSE(panel.isSending());

    emit session.serialOpened(QStringLiteral("ttyS9")); // the port opens: polling starts with it
    EXPECT_TRUE(list->locked());
    EXPECT_FALSE(interval->isEnabled());
    ClickCell(0, 4); // no editor opens on a locked table; it still scrolls to the statistics
    EXPECT_EQ(list->cellEditor(), nullptr);
    EXPECT_TRUE(list->horizontalScrollBar()->isEnabled());
    Click("stopButton");
    EXPECT_FALSE(list->locked());
    EXPECT_TRUE(interval->isEnabled());
    EXPECT_FALSE(panel.isSending());
    ASSERT_TRUE(WaitUntil([&] { return session.mode() == SessionMode::Idle; }));
    EXPECT_FALSE(session.autoSend());

    Click("startButton");
    ASSERT_TRUE(WaitUntil([&] { return session.autoSend(); }));
    EXPECT_TRUE(list->locked());

    // Sending armed on the link by other controls (TCP start and stop) locks the table too.
    link.stopPolling();
    link.tcpStart();
    EXPECT_TRUE(list->locked());
    EXPECT_FALSE(interval->isEnabled());
    link.tcpStop();
    EXPECT_FALSE(list->locked());
    EXPECT_TRUE(interval->isEnabled());

    // A lost port is told on the main window's status line; the table is editable again.
    QSignalSpy status(&panel, &CCommPanelDlg::statusMessage);
    Click("startButton");
    emit session.linkError(QStringLiteral("device removed"));
    EXPECT_FALSE(list->locked());
    EXPECT_EQ(status.takeFirst(), QVariantList{"串口已断开：device removed"});
    EXPECT_EQ(LinkLostStatus(LinkKind::Tcp, "gone"), "Modbus TCP/IP 连接已断开：gone");
}

// The success line only when every checked row will be sent; refused unchecked rows are told in
// the one message, a line each, and do not spoil it.
TEST_F(CommPanel, ConfigureSaysWhichCheckedRowsWereRefused) {
    PacketRows rows{};
    rows[3] = rows[6] = {"1", "03", "0", "5000", true}; // replies too long for the serial line
    rows[0].enabled = true;
    for (const char* line : {"数据包 4, 7 配置失败，未发送。", "数据包配置成功。"}) {
        panel.setRows(rows);
        messages.clear();
        Click("configureButton");
        EXPECT_EQ(LogLines().last(), QString::fromUtf8(line));
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].split('\n').size(), 2) << messages[0].toStdString();
        rows[3].enabled = rows[6].enabled = false;
    }
}

// Whichever start follows (port, "自动发送数据包", TCP "开始"), it sends at the interval shown.
TEST_F(CommPanel, AnIntervalTypedWhileStoppedNeedsNoConfigure) {
    Click("configureButton");
    Spin();
    ASSERT_FALSE(session.fastMode());
    QLineEdit* interval = Find<QLineEdit>("intervalEdit");
    interval->clear();
    QTest::keyClicks(interval, "0");
    Spin();
    EXPECT_TRUE(session.fastMode());
    workspace.setSendIntervalText("5x"); // no interval: the session keeps the last one
    Spin();
    EXPECT_TRUE(session.fastMode());
}

TEST_F(CommPanel, AnIntervalThatIsNoNumberStopsConfigureAndStart) {
    QLineEdit* interval = Find<QLineEdit>("intervalEdit");
    interval->clear();
    QTest::keyClicks(interval, "abc");
    Click("configureButton");
    EXPECT_EQ(messages, QStringList{"发包间隔无效：abc"});
    EXPECT_TRUE(LogLines().isEmpty());

    emit session.serialOpened(QStringLiteral("ttyS9"));
    link.stopPolling();
    Click("startButton");
    EXPECT_EQ(messages.last(), "发包间隔无效：abc");
    EXPECT_FALSE(list->locked());
}

TEST_F(CommPanel, TcpModeLeavesSendingToTheTcpButtons) {
    workspace.setLinkKind(LinkKind::Tcp);
    EXPECT_FALSE(Find<QPushButton>("startButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>("stopButton")->isEnabled());
    EXPECT_EQ(panel.commLog()->linkKind(), LinkKind::Tcp);
    workspace.setLinkKind(LinkKind::Serial);
    EXPECT_TRUE(Find<QPushButton>("startButton")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>("stopButton")->isEnabled());
    EXPECT_EQ(panel.commLog()->linkKind(), LinkKind::Serial);
}

TEST_F(CommPanel, SelectAllTwice) {
    ToggleCheck(5);
    auto* button = Find<QPushButton>("selectAllButton");
    Click("selectAllButton");
    EXPECT_EQ(button->text(), "取消");
    for (int r = 0; r < 30; ++r)
        EXPECT_TRUE(list->isChecked(r)) << r;
    Click("selectAllButton");
    EXPECT_EQ(button->text(), "全选");
    for (int r = 0; r < 30; ++r)
        EXPECT_FALSE(list->isChecked(r)) << r;
    Click("selectAllButton");
    EXPECT_EQ(button->text(), "取消");
    EXPECT_EQ(panel.rows()[29].enabled, true);
}

TEST_F(CommPanel, PauseStopsTxAndRxLinesUntilResumed) {
    auto* pause = Find<QPushButton>("pauseButton");
    const QString tx =
        QString::fromStdString(SerialTxLine({8, 0, 0, 1}, "Tx :  01 03 00 00 00 01 84 0A "));
    const QString rx = QString::fromStdString(PolledRxLine({8, 0, 0, 2}, "01 03 02 00 05 "));
    emit session.logEvent({LogKind::Tx, {}, tx});
    Click("pauseButton");
    EXPECT_EQ(pause->text(), "继续数据滚动");
    emit session.logEvent({LogKind::Tx, {}, tx});
    emit session.logEvent({LogKind::Rx, {}, rx});
    Click("configureButton"); // the panel's own line still shows
    EXPECT_EQ(LogLines(), (QStringList{tx, kConfigured}));

    Click("pauseButton");
    EXPECT_EQ(pause->text(), "暂停数据滚动");
    emit session.logEvent({LogKind::Rx, {}, rx});
    EXPECT_EQ(LogLines(), (QStringList{tx, kConfigured, rx}));
}

TEST_F(CommPanel, CountersShowTheSessionAndClearToZero) {
    auto* display = panel.findChild<CounterDisplay*>();
    ASSERT_NE(display, nullptr);
    const char* names[] = {"counterAddress", "counterCommand",   "counterCrc",
                           "counterData",    "counterValidTime", "counterReceived"};
    for (const char* name : names)
        EXPECT_EQ(Find<QLineEdit>(name)->text(), "0") << name;

    // Two bytes while idle are two data errors, counted by the session and shown here.
    session.stopPolling();
    session.PortMsgRxByte(0x01);
    session.PortMsgRxByte(0x03);
    display->flush(); // the latest counts, without waiting for the display's timer
    EXPECT_EQ(Find<QLineEdit>("counterData")->text(), "2");
    emit session.countersChanged(Counters{0, 0, 4, 2, 0, 9});
    emit session.lastGoodCount(10);
    ASSERT_TRUE(WaitUntil([&] { return Find<QLineEdit>("counterCrc")->text() == "4"; }));
    EXPECT_EQ(Find<QLineEdit>("counterCrc")->text(), "4");
    EXPECT_EQ(Find<QLineEdit>("counterReceived")->text(), "9");
    EXPECT_EQ(Find<QLineEdit>("lastGoodCountEdit")->text(), "10");

    Click("clearCountersButton");
    for (const char* name : names)
        EXPECT_EQ(Find<QLineEdit>(name)->text(), "0") << name;
    ASSERT_TRUE(WaitUntil([&] { return session.counters() == Counters{}; }));
    for (const char* name : names)
        EXPECT_EQ(Find<QLineEdit>(name)->text(), "0") << name;
}

TEST_F(CommPanel, FormatAndBaseRadios) {
    TypeIntoCell(0, 4, "2");
    Click("configureButton");
    EXPECT_EQ(store.labelText({PacketNo(1), 0}), "4x00000");

    ClickRadio("formatCDAB");
    EXPECT_EQ(store.dataFormat(), 2);
    EXPECT_EQ(panel.dataFormat(), 2);
    EXPECT_EQ(LogLines(), (QStringList{kConfigured, kConfigured})); // the format configures

    ClickRadio("base1Radio");
    EXPECT_EQ(store.addressBase(), 1);
    EXPECT_EQ(panel.addressBase(), 1);
    EXPECT_EQ(store.labelText({PacketNo(1), 0}), "4x00001");
    EXPECT_EQ(store.labelText({PacketNo(1), 1}), "4x00002");
    EXPECT_EQ(LogLines().size(), 2); // the base only relabels

    panel.setDataFormat(0);
    panel.setAddressBase(0);
    EXPECT_TRUE(Find<QRadioButton>("formatIntDefault")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>("base0Radio")->isChecked());
    EXPECT_EQ(store.dataFormat(), 0);
    EXPECT_EQ(store.labelText({PacketNo(1), 0}), "4x00000");
}

TEST_F(CommPanel, RefusedCommandsAreLoggedNotBoxed) {
    session.requestOneShot(QStringLiteral("0103")); // no port is open
    ASSERT_TRUE(vantor::test::WaitUntil([&] { return LogLines().size() == 1; }));
    EXPECT_TRUE(LogLines()[0].endsWith(QStringLiteral(" 串口未打开，命令未发送：0103")));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(CommPanel, SetRowsAndIntervalRoundTrip) {
    PacketRows rows{};
    rows[3] = {"9", "04", "300", "20", true};
    rows[29] = {"2", "50", "0", "0", false};
    panel.setRows(rows);
    panel.setSendInterval(75);
    EXPECT_EQ(Cell(3, 1), "9");
    EXPECT_EQ(Cell(3, 2), "04");
    EXPECT_TRUE(list->isChecked(3));
    EXPECT_EQ(panel.sendInterval(), 75);
    const PacketRows back = panel.rows();
    EXPECT_EQ(back[3].address, "300");
    EXPECT_EQ(back[3].count, "20");
    EXPECT_TRUE(back[3].enabled);
    EXPECT_EQ(back[29].function, "50");
    EXPECT_FALSE(back[0].enabled);
}
