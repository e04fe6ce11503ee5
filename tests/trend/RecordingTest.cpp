// SPDX-License-Identifier: GPL-3.0-or-later
// Auto-save runs and their files, the history view and its read-out, and "保存曲线".
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <mutex>

#include "registers/CurveTable.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "trend/CurveRecorder.h"
#include "trend/TChart.h"
#include "trend/TeeFile.h"
#include "trend/TrendPanelDlg.h"
#include "trend/TrendReadout.h"
#include "widgets/MessageBox.h"

using namespace vantor;

namespace {

const QDateTime kStart{QDate(2026, 12, 6), QTime(21, 41, 7)};

struct Save {
    QString path;
    QString title;
    int points = 0;
};

// A recorder whose saves are only noted (and may fail).
struct FakeRecorder {
    FakeRecorder() {
        recorder.setSaver([this](const QString& path, const ChartSnapshot& chart,
                                 const std::function<void(int)>& progress) {
            progress(50);
            std::lock_guard lock(mutex);
            saves.push_back(
                {path, chart.title, chart.series.empty() ? 0 : chart.series[0].count()});
            return failure;
        });
    }
    std::vector<Save> taken() {
        recorder.waitForWrites();
        std::lock_guard lock(mutex);
        return saves;
    }
    std::mutex mutex;
    std::vector<Save> saves;
    std::optional<QString> failure;
    QString title = QStringLiteral("live");
    CurveRecorder recorder{[this] {
        ChartSnapshot chart;
        chart.title = title;
        return chart;
    }};
};

} // namespace

TEST(AutoSave, FileNamesFollowTheProjectPathAndTheRunsMinute) {
    EXPECT_EQ(AutoSaveStamp(kStart), "202612062141");
    const struct {
        QString project;
        QString name;
    } cases[] = {
        {"D:\\a\\p1.ini", "D:\\a\\p1202612062141.tee"},
        {"/home/u/p1.ini", "/home/u/p1202612062141.tee"},
        {"", "202612062141.tee"},
        {"p.i", "202612062141.tee"}, // shorter than four characters: the stamp alone
    };
    for (const auto& c : cases)
        EXPECT_EQ(AutoSaveFileName(c.project, "202612062141"), c.name) << c.project.toStdString();
}

TEST(AutoSave, RunsInOneMinuteKeepFilesOfTheirOwnAndEachStopSavesOnceAtOnce) {
    FakeRecorder fake;
    CurveRecorder& r = fake.recorder;
    r.setProjectPath(QStringLiteral("/p/site.ini"));
    // Switching on and off within a round's wait: one timer, never a second saver.
    r.start(kStart);
    r.start(kStart.addSecs(10));
    r.stop();
    r.stop();
    r.start(kStart.addSecs(40));
    r.stop();
    r.start(kStart.addSecs(70)); // the next minute
    fake.title = QStringLiteral("later");
    r.stop();
    const auto saves = fake.taken();
    ASSERT_EQ(saves.size(), 3u);
    EXPECT_EQ(saves[0].path, "/p/site202612062141.tee");
    EXPECT_EQ(saves[1].path, "/p/site202612062141-2.tee"); // the finished run is kept
    EXPECT_EQ(saves[2].path, "/p/site202612062142.tee");
    EXPECT_EQ(saves[2].title, "later"); // the chart as it stood at the stop
    EXPECT_FALSE(r.running());
}

// A run of an earlier start of the program in the same minute left its file: it is kept.
TEST(AutoSave, AFileOfAnEarlierRunIsNeverOverwritten) {
    QTemporaryDir dir;
    FakeRecorder fake;
    CurveRecorder& r = fake.recorder;
    r.setProjectPath(dir.filePath(QStringLiteral("p.ini")));
    for (const char* earlier : {"p202612062141.tee", "p202612062141-2.tee"}) {
        QFile file(dir.filePath(QString::fromLatin1(earlier)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    r.start(kStart);
    r.stop();
    r.resume(); // runs on in its own file
    r.stop();
    const auto saves = fake.taken();
    ASSERT_EQ(saves.size(), 2u);
    EXPECT_EQ(saves[0].path, dir.filePath(QStringLiteral("p202612062141-3.tee")));
    EXPECT_EQ(saves[1].path, saves[0].path);
}

TEST(AutoSave, RoundsRepeatAndAFailedSaveIsToldAndKeepsTheRunGoing) {
    FakeRecorder fake;
    CurveRecorder& r = fake.recorder;
    QSignalSpy texts(&r, &CurveRecorder::statusText);
    QSignalSpy progress(&r, &CurveRecorder::progress);
    r.setPeriod(20);
    r.start(kStart);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fake.taken().size() >= 2; }, 5000));
    EXPECT_EQ(texts.first().first().toString(), "曲线数据转存中……");
    EXPECT_TRUE(QTest::qWaitFor([&] { return progress.last().first().toInt() == 100; }));

    fake.failure = QStringLiteral("曲线文件 x 保存失败：磁盘已满");
    const std::size_t before = fake.taken().size();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fake.taken().size() >= before + 2; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return texts.last().first().toString() == "曲线文件 x 保存失败：磁盘已满"; }));
    EXPECT_TRUE(r.running());
    r.stop();
}

TEST(AutoSave, TheDoneMessageFollowsTwoSecondsAfterASave) {
    FakeRecorder fake;
    QSignalSpy texts(&fake.recorder, &CurveRecorder::statusText);
    QElapsedTimer clock;
    clock.start();
    fake.recorder.start(kStart);
    fake.recorder.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return texts.size() == 2; }, 4000));
    EXPECT_GE(clock.elapsed(), CurveRecorder::kDoneDelayMs);
    EXPECT_EQ(texts.last().first().toString(),
              "曲线数据转存完成：" + QDir::toNativeSeparators(fake.recorder.fileName()));
}

// The recorder's own saver: a run's later rounds append to its file, which then holds the chart
// as the last round took it, each sample once.
TEST(AutoSave, LaterRoundsOfARunAppendToItsFile) {
    QTemporaryDir dir;
    ChartSnapshot live;
    live.series.resize(3);
    CurveRecorder r([&live] { return live; });
    r.setProjectPath(dir.filePath(QStringLiteral("p.ini")));
    r.start(kStart);
    for (int round = 0; round < 4; ++round) {
        for (SeriesSnapshot& s : live.series)
            for (int i = 0; i < 1000; ++i)
                s.ys.push_back(s.ys.size() * 0.5);
        r.stop(); // saves at once
        r.resume();
    }
    r.stop();
    r.waitForWrites();
    QFile file(r.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("APND"), 3);
    const TeeLoad load = LoadTeeFile(r.fileName());
    ASSERT_TRUE(load.chart) << load.error.toStdString();
    for (const SeriesSnapshot& s : load.chart->series) {
        ASSERT_EQ(s.count(), 4000);
        for (int i = 0; i < s.count(); ++i)
            ASSERT_EQ(s.ys[i], i * 0.5);
    }
}

namespace {

class History : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageSink([this](QWidget*, const QString& text, MessageKind) { messages << text; });
        panel.sampler().setShareIniPath(dir.filePath(QStringLiteral("share.ini")));
        ws.store()->setCellValue({PacketNo(1), 0}, QStringLiteral("12.5"));
        ws.curves()->drop(QStringLiteral("T1 1-1-2"));
        ws.curves()->drop(QStringLiteral("T2 1-1-2"));
        ws.curves()->setText(0, CurveColumn::Rate, QStringLiteral("1"));
        ws.curves()->setText(1, CurveColumn::Axis, QStringLiteral("D轴"));
        ws.curves()->setText(1, CurveColumn::Unit, QStringLiteral("kPa"));
        ws.curves()->setText(1, CurveColumn::Rate, QStringLiteral("2"));
        for (int i = 0; i < 5; ++i)
            panel.sampleAt(kStart.addSecs(i));
        chart = panel.chart();
    }
    void TearDown() override { SetMessageSink({}); }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QToolButton* autoSave() const {
        return panel.findChild<QToolButton*>(QStringLiteral("autoSaveButton"));
    }

    QTemporaryDir dir;
    Workspace ws;
    CTrendPanelDlg panel{&ws};
    CTChart* chart = nullptr;
    QStringList messages;
};

} // namespace

TEST_F(History, ASavedChartReopensWithEverySeriesAndTheLiveRunIsSavedFirst) {
    ASSERT_EQ(panel.saveChartAs(file("run.tee")), std::nullopt);
    const ChartSnapshot saved = panel.chartSnapshot();
    EXPECT_EQ(saved.series[2].unit, "kPa");

    panel.recorder()->setProjectPath(file("site.ini"));
    panel.setAutoSave(true);
    panel.sampleAt(kStart.addSecs(5)); // one more sample than the saved file
    const QString runFile = panel.recorder()->fileName();
    ASSERT_TRUE(panel.loadHistory(file("run.tee")));
    panel.recorder()->waitForWrites();
    // The live run kept its own six samples; the view shows the file's five.
    const TeeLoad run = LoadTeeFile(runFile);
    ASSERT_TRUE(run.chart) << run.error.toStdString();
    EXPECT_EQ(run.chart->series[0].count(), 6);
    EXPECT_EQ(chart->data().pointCount(0), 5);

    EXPECT_TRUE(panel.history());
    EXPECT_TRUE(panel.autoSaveMemory());
    EXPECT_FALSE(autoSave()->isChecked());
    EXPECT_FALSE(autoSave()->isEnabled());
    EXPECT_FALSE(panel.sampling());
    EXPECT_FALSE(panel.recorder()->running());
    EXPECT_TRUE(chart->title().startsWith("通讯点位历史曲线"));
    EXPECT_TRUE(chart->title().endsWith("run.tee"));
    ASSERT_EQ(chart->seriesCount(), 3);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(chart->data().title(s), saved.series[s].title);
        EXPECT_EQ(chart->data().color(s).rgba(), saved.series[s].color);
        EXPECT_EQ(chart->data().axis(s), saved.series[s].axis);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(chart->data().yValue(s, i), saved.series[s].ys[i]);
    }
    EXPECT_EQ(chart->data().pointLabel(0, 4), "21:41:11");

    // Back to real time: the remembered box starts a new run.
    panel.startRealTime();
    EXPECT_FALSE(panel.history());
    EXPECT_TRUE(autoSave()->isEnabled());
    EXPECT_TRUE(autoSave()->isChecked());
    EXPECT_TRUE(panel.recorder()->running());
    EXPECT_EQ(chart->title(), "通讯点位实时曲线");
    panel.setAutoSave(false);
}

TEST_F(History, ABrokenFileIsRefusedAndNothingChanges) {
    QFile bad(file("bad.tee"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a curve file at all");
    bad.close();
    panel.setAutoSave(true);
    EXPECT_FALSE(panel.loadHistory(file("bad.tee")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(file("bad.tee"))) << messages[0].toStdString();
    EXPECT_FALSE(panel.history());
    EXPECT_TRUE(panel.recorder()->running());
    EXPECT_EQ(chart->title(), "通讯点位实时曲线");
    EXPECT_EQ(chart->data().pointCount(0), 5);
    panel.setAutoSave(false);
}

// A recording whose last save was cut off opens with the saves before it; the status says so.
TEST_F(History, AFileWithACutOffLastSaveOpensAndTheStatusSaysSo) {
    ASSERT_EQ(SaveTeeFile(file("cut.tee"), chart->snapshot()), std::nullopt);
    QFile cut(file("cut.tee"));
    ASSERT_TRUE(cut.open(QIODevice::Append));
    cut.write("APND\x40\0\0\0\0\0\0\0partial", 19);
    cut.close();
    QSignalSpy status(&panel, &CTrendPanelDlg::statusMessage);
    ASSERT_TRUE(panel.loadHistory(file("cut.tee")));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(chart->data().pointCount(1), 5);
    ASSERT_FALSE(status.isEmpty());
    const QString last = status.last().first().toString();
    EXPECT_TRUE(last.contains(file("cut.tee")) && last.contains(QStringLiteral("不完整")))
        << last.toStdString();
}

TEST_F(History, TheReadOutUsesStoredTitlesAndTheCorrectionLimitsTheSeries) {
    ASSERT_EQ(panel.saveChartAs(file("run.tee")), std::nullopt);
    ASSERT_TRUE(panel.loadHistory(file("run.tee")));
    const QString header = QStringLiteral("[Date＆Time] 2026/12/06 21:41:08\r\n");
    const struct {
        int correction;
        QString lines;
    } cases[] = {
        {0, " T1: 12.5\r\n T2: 25.0\r\n"},
        {1, " T1: 12.5\r\n"},
        {-1, " T1: 12.5\r\n T2: 25.0\r\n"}, // never past the last series
    };
    for (const auto& c : cases) {
        while (panel.historyCorrection() != c.correction)
            panel.correctHistory(c.correction > panel.historyCorrection() ? 1 : -1);
        EXPECT_EQ(HistoryReadout(chart->data(), c.correction, 2.4), header + c.lines) << c.correction;
    }
    EXPECT_EQ(HistoryToolTip(chart->data(), 2, 2), " T2: 25.0");
    EXPECT_EQ(HistoryReadout(chart->data(), 0, -1.5), std::nullopt);
}

TEST_F(History, ACancelledOpenOnlyResizesTheFloatingBox) {
    QSignalSpy resized(&panel, &CTrendPanelDlg::resizeFloatBoxRequested);
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    panel.openHistory();
    EXPECT_EQ(resized.size(), 1);
    EXPECT_FALSE(panel.history());
    EXPECT_EQ(chart->data().pointCount(0), 5);
}

TEST_F(History, TheChartIsSavedAsATableAndAsPictures) {
    ASSERT_EQ(panel.saveChartAs(file("run.csv")), std::nullopt);
    QFile csv(file("run.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().contains("T2 (kPa)"));
    ASSERT_EQ(panel.saveChartAs(file("run.png")), std::nullopt);
    EXPECT_FALSE(QImage(file("run.png")).isNull());
    ASSERT_EQ(panel.saveChartAs(file("run.pdf")), std::nullopt);
    QFile pdf(file("run.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_NE(panel.saveChartAs(dir.filePath(QStringLiteral("no/such/dir/x.png"))), std::nullopt);
}
