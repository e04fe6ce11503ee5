// SPDX-License-Identifier: GPL-3.0-or-later
// The trend panel's recording and files: the auto-save box and the hidden thread button, the
// recording question when the user opens a link, the history view, and "保存曲线".
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

#include "registers/CurveTable.h"
#include "registers/Workspace.h"
#include "trend/ChartPictures.h"
#include "trend/CurveCsv.h"
#include "trend/CurveCsvRead.h"
#include "trend/CurveRecorder.h"
#include "trend/TChart.h"
#include "trend/TeeFile.h"
#include "trend/TrendPanelDlg.h"
#include "widgets/MessageBox.h"
#include "widgets/TwoRowStrip.h"

namespace vantor {

namespace {

// The waiting cursor for the length of a load or a save.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

// The hidden controls: the history-curve correction (two buttons and the edit that shows it)
// and the dump-thread button.
void CTrendPanelDlg::buildRecordingControls() {
    QHBoxLayout* row = m_strip->firstLayout();
    for (auto [name, tip, step] :
         {std::tuple{"correctionUpButton", QT_TR_NOOP("历史曲线数修正+1"), 1},
          std::tuple{"correctionDownButton", QT_TR_NOOP("历史曲线数修正-1"), -1}}) {
        auto* button = new QToolButton(m_strip->first());
        button->setObjectName(QLatin1String(name));
        button->setToolTip(tr(tip));
        button->setText(step > 0 ? QStringLiteral("+") : QStringLiteral("-"));
        button->hide();
        connect(button, &QToolButton::clicked, this, [this, step = step] { correctHistory(step); });
        row->addWidget(button);
    }
    m_correctionEdit = new QLineEdit(QStringLiteral("0"), m_strip->first());
    m_correctionEdit->setObjectName(QStringLiteral("correctionEdit"));
    m_correctionEdit->setReadOnly(true);
    m_correctionEdit->hide();
    row->addWidget(m_correctionEdit);

    m_threadButton = new QToolButton(m_strip->first());
    m_threadButton->setObjectName(QStringLiteral("threadButton"));
    m_threadButton->setText(tr("启动线程"));
    m_threadButton->hide();
    connect(m_threadButton, &QToolButton::clicked, this, &CTrendPanelDlg::toggleDumpThread);
    row->addWidget(m_threadButton);

    connect(m_recorder, &CurveRecorder::statusText, this, &CTrendPanelDlg::statusMessage);
    connect(m_recorder, &CurveRecorder::progress, this, &CTrendPanelDlg::progressChanged);
    connect(m_recorder, &CurveRecorder::runningChanged, this, [this](bool running) {
        m_threadButton->setText(running ? tr("关闭线程") : tr("启动线程"));
    });
    // Older points leave memory once the run's file holds them (the live chart only).
    connect(m_recorder, &CurveRecorder::recorded, this,
            [this](const ChartSnapshot& saved, const std::shared_ptr<const ValueSource>& source) {
                if (!m_history)
                    m_data->dropSaved(saved, source);
            });
    m_recorder->setProjectPath(m_workspace->projectPath());
    connect(m_workspace, &Workspace::projectPathChanged, m_recorder,
            &CurveRecorder::setProjectPath);
}

bool CTrendPanelDlg::autoSaveChecked() const {
    return m_autoSaveButton->isChecked();
}

void CTrendPanelDlg::showAutoSave(bool checked) {
    m_autoSaveButton->setChecked(checked);
}

// Checked: a new run with a new stamp. Unchecked: the run is saved once more and ends.
void CTrendPanelDlg::setAutoSave(bool on) {
    showAutoSave(on);
    if (on)
        m_recorder->start();
    else
        m_recorder->stop();
}

void CTrendPanelDlg::toggleDumpThread() {
    if (m_recorder->running())
        m_recorder->stop();
    else
        m_recorder->resume();
}

// Asked before the port opens or the TCP connection is made. While history is shown the answer
// only goes into the auto-save memory: nothing is sampled into a loaded file's chart, and
// "实时曲线" starts the recording.
void CTrendPanelDlg::askRecording() {
    const bool record = AskYesNo(this, tr("保存数据曲线"), tr("是否录制采集到的数据曲线？"));
    if (m_history) {
        if (record) {
            m_autoSaveMemory = true;
            emit statusMessage(tr("正在查看历史曲线：点击“实时曲线”后开始录制"));
        }
        return;
    }
    if (record)
        setAutoSave(true);
    startSamplingIfStopped();
}

void CTrendPanelDlg::endRecording() {
    if (m_history)
        m_autoSaveMemory = false;
    if (autoSaveChecked() || m_recorder->running())
        setAutoSave(false);
}

void CTrendPanelDlg::correctHistory(int step) {
    m_correction += step;
    m_correctionEdit->setText(QString::number(m_correction));
}

ChartSnapshot CTrendPanelDlg::chartSnapshot() {
    ChartSnapshot snapshot = chart()->snapshot();
    snapshot.lineWidth = m_workspace->trendSettings().lineWidth;
    if (m_history)
        return snapshot; // the units came with the file
    const CurveTable* curves = m_workspace->curves();
    for (std::size_t slot = 1; slot < snapshot.series.size(); ++slot) {
        const QList<int>& rows = curves->rowsOfSlot(static_cast<int>(slot));
        if (!rows.isEmpty())
            snapshot.series[slot].unit = curves->row(rows.constFirst()).unit;
    }
    return snapshot;
}

// ---- history ----

void CTrendPanelDlg::openHistory() {
    QFileDialog dialog(this, tr("打开"), QString(),
                       tr("Executable Files (*.tee);;CSV 表格 (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("tee"));
    dialog.selectFile(QStringLiteral("*.tee"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        emit resizeFloatBoxRequested();
        return;
    }
    loadHistory(dialog.selectedFiles().constFirst());
}

// A curve file, or a CSV table the program wrote (by the suffix).
bool CTrendPanelDlg::loadHistory(const QString& path) {
    TeeLoad loaded;
    {
        const WaitCursor wait;
        if (QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0) {
            CsvChart table = LoadCurveCsv(path);
            loaded.chart = std::move(table.chart);
            loaded.error = table.error;
        } else {
            loaded = LoadTeeFile(path, SeriesData::kKeptPoints);
        }
    }
    if (!loaded.chart) {
        // Refused before anything changed: the chart and the mode stay as they were.
        ShowMessage(this, loaded.error);
        emit statusMessage(loaded.error);
        return false;
    }
    if (!m_history)
        m_autoSaveMemory = autoSaveChecked();
    m_history = true;
    // The live run is saved once more before the chart is replaced.
    m_recorder->stop();
    showAutoSave(false);
    m_autoSaveButton->setEnabled(false);
    stopSampling();
    CTChart* c = chart();
    c->load(*loaded.chart);
    c->setTitle(tr(kHistoryTitle) + QFileInfo(path).absoluteFilePath());
    m_sampler.clearFirstSamples();
    showMarker();
    emit readoutRequested(c->markerX()); // the box shows the file's values, not the live ones
    emit resizeFloatBoxRequested();
    // A file whose last save was cut off opens with the saves before it; the user is told.
    emit statusMessage(loaded.warning.isEmpty()
                           ? tr("已打开历史曲线 %1").arg(QDir::toNativeSeparators(path))
                           : loaded.warning);
    return true;
}

// ---- "保存曲线" ----

void CTrendPanelDlg::saveChart() {
    const QString tee = tr("曲线文件 (*.tee)");
    const QString csv = tr("CSV 表格 (*.csv)");
    const QString png = tr("PNG 图片 (*.png)");
    const QString pdf = tr("PDF 文档 (*.pdf)");
    QStringList filters{tee, csv, png, pdf};
    // With two cursors shown the span between them can be saved on its own.
    const QString spanCsv = tr("CSV 表格，两游标之间 (*.csv)");
    const QString spanPng = tr("PNG 图片，两游标之间 (*.png)");
    if (chart()->secondCursorX())
        filters << spanCsv << spanPng;
    QFileDialog dialog(this, tr("保存曲线"), QString(), filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("tee"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        // "(*.csv)" gives "csv": a name typed without a suffix gets the chosen kind's.
        const int dot = filter.lastIndexOf(QLatin1Char('.'));
        dialog.setDefaultSuffix(filter.mid(dot + 1).chopped(1));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    const QString filter = dialog.selectedNameFilter();
    if (const auto error = saveChartAs(path, filter == spanCsv || filter == spanPng)) {
        ShowMessage(this, *error);
        emit statusMessage(*error);
        return;
    }
    emit statusMessage(tr("曲线已保存到 %1").arg(QDir::toNativeSeparators(path)));
}

std::optional<QString> CTrendPanelDlg::saveChartAs(const QString& path, bool betweenCursors) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const WaitCursor wait;
    CTChart* c = chart();
    const std::optional<double> second = betweenCursors ? c->secondCursorX() : std::nullopt;
    const double lo = second ? std::min(*second, c->markerX()) : 0;
    const double hi = second ? std::max(*second, c->markerX()) : 0;
    auto data = [&] { return second ? SliceSnapshot(chartSnapshot(), lo, hi) : chartSnapshot(); };
    if (suffix == QLatin1String("csv"))
        return SaveCurveCsv(path, data());
    if (suffix == QLatin1String("png") || suffix == QLatin1String("pdf")) {
        // The span fills the picture; the view the user had comes back afterwards.
        const auto view = c->axisRange(TrendAxis::X);
        if (second)
            c->setAxisRange(TrendAxis::X, lo, hi);
        c->replotNow();
        auto error = SaveChartPicture(*c, path);
        if (second) {
            c->setAxisRange(TrendAxis::X, view.first, view.second);
            c->replotNow();
        }
        return error;
    }
    return SaveTeeFile(path, data());
}

} // namespace vantor
