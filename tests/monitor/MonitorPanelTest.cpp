// SPDX-License-Identifier: GPL-3.0-or-later
// The monitoring objects: caption rules, the refresh from the register store, drops, renames
// and the writes' refusals (the writes themselves go to real peers in the peer tests).
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "modbus/LinkController.h"
#include "monitor/VckBaseDlg.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "writes/WriteService.h"

using namespace vantor;

TEST(MonitorRules, CaptionsNameACellOrNothing) {
    const struct {
        const char* caption;
        MonitorBinding binding;
        bool cell;
    } cases[] = {
        {"DI 0-0-0", {0, 0, 0}, false},
        {"5 1-2-4", {1, 2, 4}, true},
        {"Pump 30-10-26", {30, 10, 26}, true},
        {"Pump", {0, 0, 0}, false},             // no reference
        {"a b-c", {0, 0, 0}, false},            // not numbers
        {"Pump 31-1-2", {31, 1, 2}, false},     // no grid 31
        {"Pump 1-11-2", {1, 11, 2}, false},     // no row 11
        {"Pump 1-1-3", {1, 1, 3}, false},       // a label column
        {"Pump -1-1-2", {0, 1, 1}, false},      // "-1" splits into "" and "1"
        {"Tank level 1-1-2", {1, 1, 2}, true},  // a name may hold blanks: the last word binds
        {"Pump 1-1-2 ", {0, 0, 0}, false},      // nothing after the last blank
    };
    for (const auto& c : cases) {
        const MonitorBinding b = ParseMonitorCaption(QString::fromUtf8(c.caption));
        EXPECT_EQ(b, c.binding) << c.caption;
        EXPECT_EQ(MonitorPoint(b).has_value(), c.cell) << c.caption;
    }
    EXPECT_EQ(MonitorPoint({1, 2, 4}), (PointRef{PacketNo(1), 11}));
    EXPECT_EQ(RenamedMonitorCaption("Pump", "AO 01-2-04"), "Pump 1-2-4");
}

TEST(MonitorRules, ValuesScaleTheLeadingIntegerAndOnlyOneIsOn) {
    EXPECT_EQ(AnalogueValueText("5", 0.1), "0.5");
    EXPECT_EQ(AnalogueValueText("12.7", 0.1), "1.2"); // a float cell counts as 12
    EXPECT_EQ(AnalogueValueText(" -30kPa", 1), "-30.0");
    EXPECT_EQ(AnalogueValueText("", 0.1), "0.0");
    EXPECT_EQ(AnalogueRaw(12.34, 0.1), 124);
    EXPECT_TRUE(MonitorIsOn("1"));
    for (const char* off : {"0", "1.0", " 1", "1 ", "", "01"})
        EXPECT_FALSE(MonitorIsOn(off)) << off;
}

namespace {

class MonitorPanel : public ::testing::Test {
protected:
    void drop(MonitorKind kind, int index, const QString& text) {
        panel.button(kind, index)->dropText(text);
    }
    QString cell(int packet, int index) const {
        return ws.store()->valueText({PacketNo(packet), index});
    }

    Workspace ws;
    LinkController link{LinkController::Placement::CallerThread};
    WriteService writes{&ws, &link};
    CVCKBASEDlg panel{&ws, &writes};
    QSignalSpy status{&panel, &CVCKBASEDlg::statusMessage};
};

} // namespace

TEST_F(MonitorPanel, ADroppedPointIsShownScaledAndLampsLightOnlyForOne) {
    EXPECT_EQ(panel.captionLabel(MonitorKind::Analogue, 0)->text(), "AO 0-0-0");
    ws.store()->setCellValue({PacketNo(1), 11}, QStringLiteral("5")); // grid 1, row 2, column 4
    drop(MonitorKind::Analogue, 0, QStringLiteral("5 1-2-4"));
    EXPECT_EQ(panel.captionLabel(MonitorKind::Analogue, 0)->text(), "5 1-2-4");
    EXPECT_EQ(panel.valueWindow(0)->text(), "0.5--");
    // A label cell is read as well (the point's name), though it is never written.
    ws.store()->setCellLabel({PacketNo(1), 11}, QStringLiteral("7"));
    drop(MonitorKind::Analogue, 1, QStringLiteral("7 1-2-3"));
    EXPECT_EQ(panel.valueWindow(1)->text(), "0.7--");

    drop(MonitorKind::Lamp, 3, QStringLiteral("L 1-2-4"));
    for (const auto& [text, on] : {std::pair{"1", true}, {"1.0", false}, {" 1", false}}) {
        ws.store()->setCellValue({PacketNo(1), 11}, QString::fromUtf8(text));
        panel.refresh();
        EXPECT_EQ(panel.isOn(MonitorKind::Lamp, 3), on) << text;
    }
    EXPECT_FALSE(panel.isOn(MonitorKind::Lamp, 0)); // unbound: never refreshed
}

TEST_F(MonitorPanel, RenamingKeepsTheReference) {
    drop(MonitorKind::Switch, 2, QStringLiteral("Valve 3-4-6"));
    panel.beginRename(MonitorKind::Switch, 2);
    QLineEdit* editor = panel.renameEditor();
    EXPECT_EQ(editor->text(), "Valve");
    EXPECT_EQ(editor->selectedText(), "Valve");
    editor->setText(QStringLiteral("泵"));
    panel.endRename();
    EXPECT_EQ(ws.monitors()->caption(MonitorKind::Switch, 2), "泵 3-4-6");
    EXPECT_FALSE(editor->isVisible());
    // A name with a blank, then renamed again: the reference stays.
    for (const char* name : {"Pump 1", "Pump1"}) {
        panel.beginRename(MonitorKind::Switch, 2);
        editor->setText(QString::fromUtf8(name));
        panel.endRename();
    }
    EXPECT_EQ(ws.monitors()->caption(MonitorKind::Switch, 2), "Pump1 3-4-6");
    panel.beginRename(MonitorKind::Switch, 2);
    EXPECT_EQ(editor->text(), "Pump1");
    panel.endRename();
}

// A switch on a read-only table is refused before anything else.
TEST_F(MonitorPanel, SwitchesOnReadOnlyTablesAreRefused) {
    PacketRows rows{};
    rows[0] = {"1", "02", "0", "8", true};
    rows[1] = {"1", "04", "0", "8", true};
    ws.setRows(rows);
    ws.configure();
    for (const auto& [index, caption] : {std::pair{0, "DI 1-1-2"}, {1, "IR 2-1-2"}}) {
        drop(MonitorKind::Switch, index, QString::fromUtf8(caption));
        panel.clickSwitch(index);
        EXPECT_TRUE(status.last().first().toString().contains("只读")) << caption;
    }
}

// A lamp that loses its cell (as a project open replaces the captions) goes dark.
TEST_F(MonitorPanel, ALampThatLosesItsCellGoesDark) {
    drop(MonitorKind::Lamp, 0, QStringLiteral("L 1-1-2"));
    ws.store()->setCellValue({PacketNo(1), 0}, QStringLiteral("1"));
    panel.refresh();
    ASSERT_TRUE(panel.isOn(MonitorKind::Lamp, 0));
    ws.monitors()->setCaption(MonitorKind::Lamp, 0, MonitorTable::initialCaption(MonitorKind::Lamp));
    EXPECT_FALSE(panel.isOn(MonitorKind::Lamp, 0));
}

TEST_F(MonitorPanel, WritesThatCannotGoOutAreToldAndSendNothing) {
    // Unbound: only the look changes.
    panel.clickSwitch(0);
    EXPECT_TRUE(panel.isOn(MonitorKind::Switch, 0));
    EXPECT_TRUE(status.isEmpty());
    // No such grid: never written.
    drop(MonitorKind::Switch, 1, QStringLiteral("S 31-1-2"));
    panel.clickSwitch(1);
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status.last().first().toString().contains("不存在"));
    // The link is closed: told, and the grid keeps its value.
    drop(MonitorKind::Switch, 2, QStringLiteral("S 1-1-2"));
    ws.store()->setCellValue({PacketNo(1), 0}, QStringLiteral("0"));
    panel.clickSwitch(2);
    ASSERT_EQ(status.size(), 2);
    EXPECT_TRUE(status.last().first().toString().contains("通信未打开"));
    EXPECT_EQ(cell(1, 0), "0");

    // Analogue values that do not fit the cell are refused before anything is written.
    drop(MonitorKind::Analogue, 4, QStringLiteral("A 1-1-2"));
    EXPECT_NE(panel.analogueRefusal(4, 6600), "");  // 66000 raw
    EXPECT_EQ(panel.analogueRefusal(4, -3000), ""); // -30000 raw
    EXPECT_NE(panel.analogueRefusal(4, -3300), ""); // -33000 raw
    // An unbound analogue object discards the dialog's values.
    panel.applyAnalogue(5, 12, QStringLiteral("kPa"), 2);
    EXPECT_EQ(ws.monitors()->unit(5), "--");
    EXPECT_DOUBLE_EQ(ws.monitors()->rate(5), 0.1);
}

// A lamp's own redraw repaints the panel beneath it: a lamp that went dark on every repaint of
// the panel would never show its state.
TEST_F(MonitorPanel, ALitLampStaysLitWhenThePanelRepaints) {
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    drop(MonitorKind::Lamp, 0, QStringLiteral("L 2-2-2"));
    ws.store()->setCellValue({PacketNo(2), 1}, QStringLiteral("1"));
    panel.refresh();
    panel.repaint();
    EXPECT_TRUE(panel.isOn(MonitorKind::Lamp, 0));
}
