// SPDX-License-Identifier: GPL-3.0-or-later
// The communication settings dialog mirrors the panel's serial controls both ways.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

#include "app/CommSettingsDlg.h"
#include "modbus/CommSession.h"
#include "modbus/LinkController.h"
#include "packets/ConnectionControls.h"
#include "packets/ConnectionTestUtil.h"
#include "registers/SerialSelection.h"
#include "registers/Workspace.h"
#include "widgets/MessageBox.h"

namespace vantor {
namespace {

using test::ChooseByKeys;
using test::FakePort;
using test::Items;

class CommSettingsDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageSink([this](QWidget*, const QString& text, MessageKind) { messages << text; });
        panel.setPortEnumerator([this] { return present; });
        panel.show();
    }
    void TearDown() override { SetMessageSink({}); }

    QComboBox* panelCombo(const char* name) const {
        return panel.findChild<QComboBox*>(QLatin1String(name));
    }
    static QComboBox* dialogCombo(const CCommSettingsDlg& dialog, const char* name) {
        return dialog.findChild<QComboBox*>(QLatin1String(name));
    }

    QList<SerialPortInfo> present = {FakePort("USB Serial", "ttyUSB0"), FakePort("Board", "ttyS0")};
    QStringList messages;
    Workspace workspace;
    LinkController link{LinkController::Placement::CallerThread};
    SerialSelection& selection = *workspace.serial();
    ConnectionControls panel{&workspace, &link};
};

TEST_F(CommSettingsDlgTest, OpensWithThePanelsChoices) {
    ChooseByKeys(panelCombo("portCombo"), 1);
    ChooseByKeys(panelCombo("parityCombo"), 2);
    ChooseByKeys(panelCombo("modeCombo"), 1);

    CCommSettingsDlg dialog(&selection, static_cast<int>(panel.linkKind()), nullptr);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "通信设置");
    EXPECT_EQ(dialogCombo(dialog, "connectionCombo")->currentText(), "2. Tcp/Ip");
    EXPECT_EQ(Items(dialogCombo(dialog, "portCombo")), Items(panelCombo("portCombo")));
    EXPECT_EQ(dialogCombo(dialog, "portCombo")->currentText(), "Board (ttyS0)");
    EXPECT_EQ(dialogCombo(dialog, "baudCombo")->currentText(), "19200");
    EXPECT_EQ(dialogCombo(dialog, "parityCombo")->currentText(), "EVEN");
    EXPECT_EQ(dialogCombo(dialog, "dataBitsCombo")->currentText(), "8");
    EXPECT_EQ(dialogCombo(dialog, "stopBitsCombo")->currentText(), "2");

    // The mode shown in the dialog is read-only: it cannot be chosen there.
    EXPECT_FALSE(dialogCombo(dialog, "connectionCombo")->isEnabled());
    ChooseByKeys(dialogCombo(dialog, "connectionCombo"), 0);
    EXPECT_EQ(dialogCombo(dialog, "connectionCombo")->currentIndex(), 1);
    EXPECT_EQ(panel.linkKind(), LinkKind::Tcp);
}

TEST_F(CommSettingsDlgTest, ChoicesShowInThePanelAtOnceAndCancelKeepsThem) {
    CCommSettingsDlg dialog(&selection, 0, nullptr);
    dialog.show();
    ChooseByKeys(dialogCombo(dialog, "baudCombo"), 7);
    EXPECT_EQ(panelCombo("baudCombo")->currentText(), "38400");
    ChooseByKeys(dialogCombo(dialog, "portCombo"), 1);
    ChooseByKeys(dialogCombo(dialog, "dataBitsCombo"), 1);
    ChooseByKeys(dialogCombo(dialog, "stopBitsCombo"), 0);
    EXPECT_EQ(panelCombo("portCombo")->currentText(), "Board (ttyS0)");
    EXPECT_EQ(panelCombo("dataBitsCombo")->currentText(), "7");
    EXPECT_EQ(panelCombo("stopBitsCombo")->currentText(), "1");

    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(panelCombo("baudCombo")->currentText(), "38400");
    const SerialSettings s = selection.settings();
    EXPECT_EQ(s.portName, "ttyS0");
    EXPECT_EQ(s.baudRate, 38400);
    EXPECT_EQ(s.dataBits, 7);
    EXPECT_EQ(s.stopBits, 1);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(CommSettingsDlgTest, FollowsThePanelWhileOpen) {
    CCommSettingsDlg dialog(&selection, 0, nullptr);
    dialog.show();
    ChooseByKeys(panelCombo("baudCombo"), 11);
    EXPECT_EQ(dialogCombo(dialog, "baudCombo")->currentText(), "115200");

    // A device plugged in while the dialog is open: its list follows the rebuilt one.
    present.prepend(FakePort("New", "ttyACM0"));
    panel.portWatcher()->poll();
    EXPECT_EQ(Items(dialogCombo(dialog, "portCombo")), Items(panelCombo("portCombo")));
    ChooseByKeys(dialogCombo(dialog, "portCombo"), 2);
    EXPECT_EQ(selection.settings().portName, "ttyS0");

    // A typed device path shows in the dialog as the chosen entry.
    selection.setTypedPort("/dev/pts/9");
    EXPECT_EQ(dialogCombo(dialog, "portCombo")->currentText(), "/dev/pts/9");
    ChooseByKeys(dialogCombo(dialog, "portCombo"), 0);
    EXPECT_EQ(selection.settings().portName, "ttyACM0");
    EXPECT_EQ(dialogCombo(dialog, "portCombo")->count(), 3);
}

} // namespace
} // namespace vantor
