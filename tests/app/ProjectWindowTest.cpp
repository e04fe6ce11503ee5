// SPDX-License-Identifier: GPL-3.0-or-later
// Projects in a running window: a file that is no project changes nothing, a second project
// leaves exactly its own curves, open and save keep every key nobody changed, and a changed
// set-up is not given up without a question.
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/MainFrame.h"
#include "app/ProjectController.h"
#include "app/ZelvoView.h"
#include "packets/CommPanelDlg.h"
#include "project/ProjectFile.h"
#include "registers/CurveTable.h"
#include "registers/Workspace.h"
#include "trend/TChart.h"
#include "trend/TrendPanelDlg.h"
#include "widgets/MessageBox.h"

using namespace vantor;

namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ProjectWindow : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageSink([this](QWidget*, const QString& text, MessageKind) { messages << text; });
        SetChoiceSink([this](QWidget*, const QString&, const QString& text) {
            questions << text;
            return answer;
        });
    }
    void TearDown() override {
        SetMessageSink({});
        SetChoiceSink([](QWidget*, const QString&, const QString&) { return Answer::No; });
    }
    // A project of its own with one checked packet and these curves.
    QString project(const QString& name, const QStringList& curves) {
        Workspace ws;
        PacketRows rows{};
        rows[0] = {"1", "03", "0", "4", true};
        ws.setRows(rows);
        for (const QString& curve : curves)
            ws.curves()->drop(curve);
        const QString path = dir.filePath(name);
        EXPECT_EQ(SaveProject(path, ws, ProjectCounts{}), std::nullopt);
        return path;
    }

    QTemporaryDir dir;
    Application app;
    CMainFrame frame{&app};
    QStringList messages;
    QStringList questions;
    Answer answer = Answer::Cancel;
};

} // namespace

TEST_F(ProjectWindow, AFileThatIsNoProjectChangesNothing) {
    const QString good = project("good.ini", {QStringLiteral("温度 1-1-2")});
    ASSERT_TRUE(frame.OpenProject(good));
    const QString title = frame.windowTitle();
    const PacketRows rows = app.workspace()->rows();
    const QString bad = dir.filePath("bad.ini");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\x00\x01\x02\xFF\xFE", 5));
    file.close();
    EXPECT_FALSE(frame.OpenProject(bad));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("bad.ini")) << messages[0].toStdString();
    EXPECT_EQ(frame.windowTitle(), title);
    EXPECT_EQ(app.workspace()->projectPath(), good);
    EXPECT_EQ(app.workspace()->rows()[0].count, rows[0].count);
    EXPECT_EQ(app.workspace()->curves()->rowCount(), 1);
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(ProjectWindow, ASecondProjectLeavesExactlyItsCurves) {
    const QString first = project(
        "a.ini", {QStringLiteral("A1 1-1-2"), QStringLiteral("A2 1-2-2"), QStringLiteral("A3 1-3-2")});
    const QString second = project("b.ini", {QStringLiteral("B1 1-4-2")});
    CTrendPanelDlg* trend = frame.view()->trendPanel();
    ASSERT_TRUE(frame.OpenProject(first));
    const QDateTime start = QDateTime::currentDateTime();
    for (int i = 0; i < 3; ++i)
        trend->sampleAt(start.addSecs(i));
    CTChart* chart = trend->chart();
    ASSERT_EQ(chart->data().pointCount(3), 3);

    ASSERT_TRUE(frame.OpenProject(second));
    QStringList shown;
    for (int series = 1; series < chart->seriesCount(); ++series) {
        if (chart->data().active(series))
            shown << chart->data().title(series);
        EXPECT_EQ(chart->data().pointCount(series), 0) << series;
    }
    EXPECT_EQ(shown, QStringList{"B1"});
    trend->sampleAt(start.addSecs(9));
    EXPECT_EQ(chart->data().pointCount(1), 1); // B1 starts a line of its own
    EXPECT_EQ(chart->data().pointCount(0), 1);
}

// Opened and saved again, a project is the same file byte for byte: an address unused in serial
// mode, another machine's port index, numbers written in other forms, keys and sections this
// program does not know.
TEST_F(ProjectWindow, OpenAndSaveKeepEveryKeyNobodyChanged) {
    const QString golden = QStringLiteral(PROJECT_GOLDEN);
    const QString path = dir.filePath("golden.ini");
    ASSERT_TRUE(QFile::copy(golden, path));
    ASSERT_TRUE(frame.OpenProject(path)) << messages.join('\n').toStdString();
    EXPECT_FALSE(app.projects()->changed());
    ASSERT_TRUE(frame.SaveProject(path));
    EXPECT_EQ(Bytes(path), Bytes(golden));

    app.workspace()->setSendIntervalText(QStringLiteral("750"));
    ASSERT_TRUE(frame.SaveProject(path));
    const QByteArray changed = Bytes(path);
    EXPECT_TRUE(changed.contains("=750\r\n"));
    EXPECT_EQ(changed.size(), Bytes(golden).size()); // only that value changed ("200")
}

TEST_F(ProjectWindow, AChangedSetUpIsNotGivenUpWithoutAQuestion) {
    const QString first = project("a.ini", {});
    const QString second = project("b.ini", {});
    ASSERT_TRUE(frame.OpenProject(first));
    EXPECT_TRUE(frame.SettleChanges()); // unchanged: no question
    EXPECT_TRUE(questions.isEmpty());

    app.workspace()->setSendIntervalText(QStringLiteral("750"));
    answer = Answer::Cancel;
    EXPECT_FALSE(frame.OpenProject(second));
    EXPECT_EQ(questions, QStringList{"是否保存对当前工程的修改？"});
    EXPECT_EQ(app.workspace()->projectPath(), first);
    EXPECT_EQ(app.workspace()->sendIntervalText(), "750");

    answer = Answer::Yes; // saved to its own file, then the other one opens
    ASSERT_TRUE(frame.OpenProject(second));
    EXPECT_TRUE(Bytes(first).contains("=750\r\n"));
    EXPECT_EQ(app.workspace()->projectPath(), second);
    EXPECT_FALSE(app.projects()->changed());
}
