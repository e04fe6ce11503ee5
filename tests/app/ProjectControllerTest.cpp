// SPDX-License-Identifier: GPL-3.0-or-later
// Projects without a window: an open, a change and a save as the baseline, the recent list and
// the settings file see them.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/ProjectController.h"
#include "registers/Workspace.h"

using namespace vantor;

TEST(ProjectController, OpenChangeSaveAndTheRecentList) {
    QTemporaryDir dir;
    const QString settings = dir.filePath("Config.ini");
    const QString first = dir.filePath("a.ini");
    const QString second = dir.filePath("b.ini");
    {
        Workspace ws;
        PacketRows rows{};
        rows[0] = {"1", "03", "0", "4", true};
        ws.setRows(rows);
        ASSERT_EQ(SaveProject(first, ws, ProjectCounts{}), std::nullopt);
    }
    Application app;
    ProjectController projects(app.workspace(), app.link(), settings);
    QSignalSpy status(&projects, &ProjectController::statusMessage);
    QSignalSpy shown(&projects, &ProjectController::projectShown);
    int settled = 0;
    ProjectController::OpenSteps steps;
    steps.settle = [&] { return ++settled, true; };
    steps.configure = [&] { app.configure(); };

    ASSERT_TRUE(projects.open(first, steps).opened);
    EXPECT_EQ(settled, 1);
    EXPECT_EQ(app.workspace()->rows()[0].count, "4");
    EXPECT_EQ(app.workspace()->projectPath(), first);
    EXPECT_FALSE(projects.changed());
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.last()[0].toString(), "已打开工程：" + QDir::toNativeSeparators(first));

    app.workspace()->setSendIntervalText(QStringLiteral("750"));
    EXPECT_TRUE(projects.changed());
    ASSERT_EQ(projects.save(second), std::nullopt);
    EXPECT_FALSE(projects.changed());
    EXPECT_EQ(app.workspace()->projectPath(), second);
    EXPECT_EQ(status.last()[0].toString(), "工程已保存：" + QDir::toNativeSeparators(second));
    EXPECT_EQ(shown.last()[0].toString(), second);
    QFile saved(second);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("=750\r\n"));

    const QStringList newestFirst{QFileInfo(second).absoluteFilePath(),
                                  QFileInfo(first).absoluteFilePath()};
    EXPECT_EQ(projects.recent().entries(), newestFirst);
    // The list is in the settings file for the next start.
    EXPECT_EQ(ProjectController(app.workspace(), app.link(), settings).recent().entries(),
              newestFirst);
    projects.clearRecent();
    EXPECT_EQ(ProjectController(app.workspace(), app.link(), settings).recent().count(), 0);

    const ProjectController::OpenResult refused = projects.open(dir.filePath("none.ini"), steps);
    EXPECT_FALSE(refused.opened);
    EXPECT_TRUE(refused.error.contains("none.ini")) << refused.error.toStdString();
    EXPECT_EQ(settled, 1); // a file that is no project is refused before any question
    EXPECT_EQ(app.workspace()->projectPath(), second);
}
