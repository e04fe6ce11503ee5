// SPDX-License-Identifier: GPL-3.0-or-later
// The window's publishing: the dialog's refusals and the status bar field.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/MainFrame.h"
#include "app/PublishControls.h"
#include "app/PublishDlg.h"
#include "publish/TestBroker.h"
#include "registers/Workspace.h"
#include "support/Wait.h"
#include "widgets/MessageBox.h"

namespace vantor {
namespace {

TEST(PublishWindow, DialogRefusesAPasswordFileOthersCanRead) {
    QTemporaryDir dir;
    QFile file(dir.filePath("pw"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    PublishSettings s;
    s.enabled = true;
    s.host = "127.0.0.1";
    s.user = "station";
    s.passwordFile = file.fileName();
    QString shown;
    SetMessageSink([&](QWidget*, const QString& text, MessageKind) { shown = text; });
    PublishDlg dialog(s);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(shown.contains("chmod 600")) << shown.toStdString();
    dialog.findChild<QLineEdit*>("hostEdit")->clear();
    dialog.findChild<QLineEdit*>("passwordFileEdit")->clear();
    dialog.accept();
    EXPECT_EQ(shown, "请填写代理服务器地址");
    SetMessageSink({});
}

TEST(PublishWindow, StatusFieldFollowsTheBroker) {
    test::TestBroker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    Application app;
    CMainFrame frame(&app);
    QLabel* field = frame.publishControls()->statusField();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(), "MQTT: 未启用");
    PublishSettings s;
    s.enabled = true;
    s.host = "127.0.0.1";
    s.port = broker.port();
    app.workspace()->setPublishSettings(s);
    EXPECT_TRUE(test::WaitUntil([&] { return field->text().startsWith("MQTT: 已连接"); }))
        << field->text().toStdString();
    broker.stop();
    EXPECT_TRUE(test::WaitUntil([&] { return field->text().startsWith("MQTT: 连接中"); }))
        << field->text().toStdString();
    s.enabled = false;
    app.workspace()->setPublishSettings(s);
    EXPECT_EQ(field->text(), "MQTT: 未启用");
}

} // namespace
} // namespace vantor
