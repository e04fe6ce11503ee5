// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The panel of the "趋势曲线" tab: a strip of buttons over the trend chart. It samples the
// workspace's curves into the trend data on the sampling timer (OnSampleTick), scrolls and pauses, applies the
// workspace's trend settings, and offers hook points for the read-out, the floating box and the
// dialogs (signals below). The chart is built after the panel's first paint or when first needed.
#include <QDateTime>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "curves/VisibleStats.h"
#include "registers/TrendSettings.h"
#include "trend/ChartSnapshot.h"
#include "trend/TrendIcons.h"
#include "trend/TrendRules.h"
#include "trend/TrendSampler.h"

class QLineEdit;
class QSlider;
class QToolButton;
class QVBoxLayout;

namespace vantor {

class CTChart;
class CurveRecorder;
class TrendData;
class TwoRowStrip;
class Workspace;

class CTrendPanelDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStripHeight = 26;
    static constexpr int kMinSampleMs = 10; // a shorter interval would leave the GUI no time
    static constexpr const char* kTitle = QT_TR_NOOP("通讯点位实时曲线");
    static constexpr const char* kHistoryTitle = QT_TR_NOOP("通讯点位历史曲线");

    // Shows and samples into `data` (which outlives the panel), or into data of its own.
    explicit CTrendPanelDlg(Workspace* workspace, TrendData* data = nullptr,
                            QWidget* parent = nullptr);
    ~CTrendPanelDlg() override;

    TrendData& trendData() { return *m_data; }

    CTChart* chart(); // builds the chart on first use
    bool chartBuilt() const { return m_chart != nullptr; }
    TrendSampler& sampler() { return m_sampler; }
    // A curve slot's lowest, highest and mean value in the chart's visible range (none before
    // the chart is built or where the slot has no visible point).
    std::optional<VisibleStats> visibleStats(int slot) const;
    bool moving() const { return m_sampler.moving(); }
    bool sampling() const { return m_sampleTimer.isActive(); }
    int sampleInterval() const { return m_sampleTimer.interval(); }
    bool mouseInsideChart() const { return m_mouseInside; }
    bool textBoxChecked() const; // "文本数值框"
    int transparency() const;
    QLineEdit* markerEdit() const { return m_markerEdit; }

    // ---- recording and history ----
    bool history() const { return m_history; }
    int historyCorrection() const { return m_correction; }
    bool autoSaveChecked() const; // "自动保存曲线"
    bool autoSaveMemory() const { return m_autoSaveMemory; }
    CurveRecorder* recorder() const { return m_recorder; }
    // The chart as data, with the curves' units.
    ChartSnapshot chartSnapshot();
    // Loads a curve file (or a CSV table the program wrote) as history; a file that cannot be
    // read is refused with a message and changes nothing. Returns whether it was loaded.
    bool loadHistory(const QString& path);
    // Saves the chart as a curve file, a CSV table, or a PNG or PDF picture, by the suffix (only
    // the samples between the marker and the second cursor when asked and it is shown);
    // returns the error text, or nothing on success.
    std::optional<QString> saveChartAs(const QString& path, bool betweenCursors = false);

public slots:
    void OnSampleTick(); // one sample now
    void sampleAt(const QDateTime& now);
    void startRealTime();          // "实时曲线"
    void startSamplingIfStopped(); // the link opened
    void stopSampling();
    void setMoving(bool moving); // "移动曲线" / "暂停曲线" / "跟随最新"
    void resetAxes();            // "Y轴复位"
    void zeroAxes();             // "Y轴归零"
    void setTwoCursors(bool on); // "双游标"
    void fastPress(vantor::FastScroll::Mode mode);
    void fastRelease();
    void fastTick();               // one tick of the fast-scroll timer
    void setAutoSave(bool on);     // "自动保存曲线" checked or unchecked
    void askRecording();           // the user is opening a link: "保存数据曲线"
    void endRecording();           // the user closed the port or stopped TCP
    void toggleDumpThread();       // the hidden "启动线程" / "关闭线程"
    void openHistory();            // "历史曲线": the file dialog, then loadHistory
    void saveChart();              // "保存曲线": the file dialog, then saveChartAs
    void correctHistory(int step); // the hidden history-curve correction buttons

signals:
    void axisRangeRequested(vantor::TrendAxis axis);
    void uiSettingsRequested();
    void readoutRequested(double x);
    void seriesHovered(int series, double cursorX);
    void transparencyChanged(int alpha);
    void resizeFloatBoxRequested();
    void statusMessage(const QString& text);
    void progressChanged(int percent); // the auto-save's progress
    void visibleDataChanged();         // a sample or a new view: the visible statistics moved

protected:
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* addButton(const char* name, TrendIconKind icon, const QString& tip);
    void buildStrip();
    void buildChart();
    void connectCurves();
    void rebuildLiveChart();
    void applySettings();
    void showMarker();
    void moveMarkerBy(double step);
    void onSliderAction(int action);
    void startTimer();
    void buildRecordingControls();
    void buildViewControls();
    QToolButton* addTextButton(const char* name, const QString& text, const QString& tip);
    void showAutoSave(bool checked);

    Workspace* m_workspace;
    std::unique_ptr<TrendData> m_ownData; // when none was given
    TrendData* m_data;
    TrendSampler m_sampler;
    TrendSettings m_applied;
    QVBoxLayout* m_layout;
    TwoRowStrip* m_strip;
    CTChart* m_chart = nullptr;
    QToolButton* m_legendButton = nullptr;
    QToolButton* m_textBoxButton = nullptr;
    QToolButton* m_followButton = nullptr;
    QToolButton* m_twoCursorsButton = nullptr;
    QLineEdit* m_markerEdit = nullptr;
    QSlider* m_slider = nullptr;
    QTimer m_sampleTimer;
    QTimer m_fastTimer;
    FastScroll m_fast;
    bool m_mouseInside = false;
    // Recording and history.
    CurveRecorder* m_recorder;
    QToolButton* m_autoSaveButton = nullptr;
    QToolButton* m_threadButton = nullptr; // hidden
    QToolButton* m_historyButton = nullptr;
    QToolButton* m_saveButton = nullptr;
    QLineEdit* m_correctionEdit = nullptr; // hidden
    bool m_history = false;
    bool m_autoSaveMemory = false;
    int m_correction = 0;
};

} // namespace vantor
