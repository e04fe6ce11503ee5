// The rules behind the communication panel's buttons, the packet list's editors and the log.
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

#include "modbus/LogFormat.h"
#include "packets/CommPanelRules.h"

using namespace vantor;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TEST(CommPanelRules, SelectAllChecksOnTheFirstPressAndUnchecksOnTheSecond) {
    const SelectAllStep first = NextSelectAll(true); // the state at start-up
    EXPECT_FALSE(first.state);
    EXPECT_TRUE(first.checkAll);
    EXPECT_STREQ(first.caption, "取消");

    const SelectAllStep second = NextSelectAll(first.state);
    EXPECT_TRUE(second.state);
    EXPECT_FALSE(second.checkAll);
    EXPECT_STREQ(second.caption, "全选");

    EXPECT_STREQ(PauseButtonCaption(true), "暂停数据滚动");
    EXPECT_STREQ(PauseButtonCaption(false), "继续数据滚动");
}

TEST(CommPanelRules, EachColumnHasItsEditor) {
    EXPECT_EQ(EditorForColumn(0), CellEditor::None);
    EXPECT_EQ(EditorForColumn(1), CellEditor::Edit);
    EXPECT_EQ(EditorForColumn(2), CellEditor::Combo);
    EXPECT_EQ(EditorForColumn(3), CellEditor::Edit);
    EXPECT_EQ(EditorForColumn(4), CellEditor::Edit);
    EXPECT_EQ(EditorForColumn(-1), CellEditor::None);
    EXPECT_EQ(EditorForColumn(5), CellEditor::None);
}

TEST(CommPanelRules, ClickPlans) {
    struct Case {
        int row, column, openRow, openColumn;
        ClickAction expected;
    };
    const Case cases[] = {
        {0, 1, -1, -1, ClickAction::CommitAndOpen}, // nothing open: open
        {0, 2, -1, -1, ClickAction::CommitAndOpen},
        {3, 4, 3, 4, ClickAction::Refocus},       // the open editor's own cell
        {3, 3, 3, 4, ClickAction::CommitAndOpen}, // same row, other column
        {4, 4, 3, 4, ClickAction::CommitAndOpen}, // same column, other row
        {3, 0, 3, 4, ClickAction::Commit},        // the packet number and its check box
        {-1, -1, 3, 4, ClickAction::Commit},      // below the last row
        {-1, 1, -1, -1, ClickAction::Commit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.row << "," << c.column << " open " << c.openRow << "," << c.openColumn);
        EXPECT_EQ(PlanClick(c.row, c.column, c.openRow, c.openColumn), c.expected);
    }
}

TEST(CommPanelRules, LogLinesAreClassifiedByTheirForm) {
    const TimeOfDay t{9, 5, 3, 7};
    const std::uint8_t request[] = {0, 1, 0, 0, 0, 6, 1, 3, 0, 0, 0, 10};
    EXPECT_EQ(ClassifyLogLine(Q(SerialTxLine(t, "Tx :  01 03 00 00 00 01 84 0A "))),
              LogLineKind::Tx);
    EXPECT_EQ(ClassifyLogLine(Q(TcpTxLine(t, request))), LogLineKind::Tx);
    EXPECT_EQ(ClassifyLogLine(Q(PolledRxLine(t, "01 03 02 00 01 79 84 "))), LogLineKind::Rx);
    EXPECT_EQ(ClassifyLogLine(Q(EchoRxLine(t, "01 06 00 00 00 01 48 0A "))), LogLineKind::Rx);

    EXPECT_EQ(ClassifyLogLine(QStringLiteral("数据包配置成功。")), LogLineKind::Other);
    EXPECT_EQ(ClassifyLogLine(QStringLiteral("Modbus TCP/IP 设备 127.0.0.1 端口 502 已连接！")),
              LogLineKind::Other);
    EXPECT_EQ(ClassifyLogLine(Q(TimeStamp(t, false)) + QStringLiteral(" 串口未打开，命令未发送")),
              LogLineKind::Other);
    EXPECT_EQ(ClassifyLogLine(QStringLiteral("09:05:03:007")), LogLineKind::Other);
    EXPECT_EQ(ClassifyLogLine(QStringLiteral("09-05-03:007 Tx :  01")), LogLineKind::Other);
    EXPECT_EQ(ClassifyLogLine(QStringLiteral("Tx :  01 03")), LogLineKind::Other);
    EXPECT_EQ(ClassifyLogLine(QString()), LogLineKind::Other);

    EXPECT_TRUE(ShowLine(LogLineKind::Tx, false));
    EXPECT_TRUE(ShowLine(LogLineKind::Rx, false));
    EXPECT_FALSE(ShowLine(LogLineKind::Tx, true));
    EXPECT_FALSE(ShowLine(LogLineKind::Rx, true));
    EXPECT_TRUE(ShowLine(LogLineKind::Other, true));
}

TEST(CommPanelRules, HousekeepingStartsAboveTwoHundredLines) {
    EXPECT_EQ(HousekeepingFor(0, LinkKind::Serial), LogHousekeeping::None);
    EXPECT_EQ(HousekeepingFor(200, LinkKind::Serial), LogHousekeeping::None);
    EXPECT_EQ(HousekeepingFor(200, LinkKind::Tcp), LogHousekeeping::None);
    EXPECT_EQ(HousekeepingFor(201, LinkKind::Serial), LogHousekeeping::ReplaceWithNotice);
    EXPECT_EQ(HousekeepingFor(201, LinkKind::Tcp), LogHousekeeping::Empty);
    EXPECT_EQ(HousekeepingFor(5000, LinkKind::Tcp), LogHousekeeping::Empty);
}
