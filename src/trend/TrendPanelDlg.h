#pragma once
// The panel of the "趋势曲线" tab: a strip of buttons over the trend chart. It samples the
// workspace's curves on the sampling timer (OnSampleTick), scrolls and pauses, applies the
// workspace's trend settings, and offers hook points for the read-out, the floating box and the
// dialogs (signals below). The chart is built after the panel's first paint or when first needed.
#include <QDateTime>
#include <QTimer>
#include <QWidget>
#include <array>

#include "registers/TrendSettings.h"
#include "trend/TrendIcons.h"
#include "trend/TrendRules.h"
#include "trend/TrendSampler.h"

class QLineEdit;
class QSlider;
class QToolButton;
class QVBoxLayout;

namespace vantor {

class CTChart;
class TwoRowStrip;
class Workspace;

class CTrendPanelDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStripHeight = 26;
    static constexpr int kMinSampleMs = 10; // a shorter interval would leave the GUI no time
    static constexpr const char* kTitle = "通讯点位实时曲线";

    explicit CTrendPanelDlg(Workspace* workspace, QWidget* parent = nullptr);
    ~CTrendPanelDlg() override;

    CTChart* chart(); // builds the chart on first use
    bool chartBuilt() const { return m_chart != nullptr; }
    TrendSampler& sampler() { return m_sampler; }
    bool moving() const { return m_sampler.moving(); }
    bool sampling() const { return m_sampleTimer.isActive(); }
    int sampleInterval() const { return m_sampleTimer.interval(); }
    bool mouseInsideChart() const { return m_mouseInside; }
    bool textBoxChecked() const; // "文本数值框"
    int transparency() const;
    QLineEdit* markerEdit() const { return m_markerEdit; }

public slots:
    void OnSampleTick(); // one sample now
    void sampleAt(const QDateTime& now);
    void startRealTime();          // "实时曲线"
    void startSamplingIfStopped(); // the link opened
    void stopSampling();
    void setMoving(bool moving); // "移动曲线" / "暂停曲线"
    void resetAxes();            // "Y轴复位"
    void zeroAxes();             // "Y轴归零"
    void fastPress(vantor::FastScroll::Mode mode);
    void fastRelease();
    void fastTick(); // one tick of the fast-scroll timer

signals:
    void axisRangeRequested(vantor::TrendAxis axis);
    void uiSettingsRequested();
    void readoutRequested(double x);
    void seriesHovered(int series, double cursorX);
    void transparencyChanged(int alpha);
    void resizeFloatBoxRequested();
    void statusMessage(const QString& text);

protected:
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* addButton(const char* name, TrendIconKind icon, const QString& tip);
    void buildStrip();
    void buildChart();
    void connectCurves();
    void applySettings();
    void showMarker();
    void moveMarkerBy(double step);
    void onSliderAction(int action);
    void startTimer();

    Workspace* m_workspace;
    TrendSampler m_sampler;
    TrendSettings m_applied;
    QVBoxLayout* m_layout;
    TwoRowStrip* m_strip;
    CTChart* m_chart = nullptr;
    QToolButton* m_legendButton = nullptr;
    QToolButton* m_textBoxButton = nullptr;
    QLineEdit* m_markerEdit = nullptr;
    QSlider* m_slider = nullptr;
    QTimer m_sampleTimer;
    QTimer m_fastTimer;
    FastScroll m_fast;
    bool m_mouseInside = false;
};

} // namespace vantor
