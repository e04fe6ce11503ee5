// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendPanelDlg.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <qcustomplot.h>

#include "curves/SettingsInput.h"
#include "registers/CurveTable.h"
#include "registers/Workspace.h"
#include "trend/CurveRecorder.h"
#include "trend/TChart.h"
#include "trend/TrendRules.h"
#include "widgets/AfterFirstPaint.h"
#include "widgets/TwoRowStrip.h"

namespace vantor {

namespace {

struct AxisLabel {
    const char* name;
    TrendAxis axis;
    const char* text;
};

// The clickable axis labels, left to right.
const std::array<AxisLabel, 7> kAxisLabels{{
    {"axisLabelX", TrendAxis::X, QT_TRANSLATE_NOOP("vantor::CTrendPanelDlg", "X轴")},
    {"axisLabelY", TrendAxis::Y, QT_TRANSLATE_NOOP("vantor::CTrendPanelDlg", "Y轴")},
    {"axisLabelA", TrendAxis::A, QT_TRANSLATE_NOOP("vantor::CTrendPanelDlg", "A轴")},
    {"axisLabelB", TrendAxis::B, QT_TRANSLATE_NOOP("vantor::CTrendPanelDlg", "B轴")},
    {"axisLabelC", TrendAxis::C, QT_TRANSLATE_NOOP("vantor::CTrendPanelDlg", "C轴")},
    {"axisLabelD", TrendAxis::D, QT_TRANSLATE_NOOP("vantor::CTrendPanelDlg", "D轴")},
    {"axisLabelE", TrendAxis::E, QT_TRANSLATE_NOOP("vantor::CTrendPanelDlg", "E轴")},
}};

SliderStep StepOf(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return SliderStep::LineLeft;
    case QAbstractSlider::SliderSingleStepAdd:
        return SliderStep::LineRight;
    case QAbstractSlider::SliderPageStepSub:
        return SliderStep::PageLeft;
    case QAbstractSlider::SliderPageStepAdd:
        return SliderStep::PageRight;
    case QAbstractSlider::SliderMove:
        return SliderStep::Thumb;
    default:
        return SliderStep::Other;
    }
}

} // namespace

CTrendPanelDlg::CTrendPanelDlg(Workspace* workspace, TrendData* data, QWidget* parent)
    : QWidget(parent), m_workspace(workspace),
      m_ownData(data ? nullptr : std::make_unique<TrendData>()),
      m_data(data ? data : m_ownData.get()), m_sampler(workspace),
      m_applied(workspace->trendSettings()), m_layout(new QVBoxLayout(this)),
      m_strip(new TwoRowStrip(kStripHeight, this)),
      m_recorder(new CurveRecorder([this] { return chartSnapshot(); }, this)) {
    m_layout->setContentsMargins(5, 0, 1, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_strip);
    m_layout->addStretch(1);
    buildStrip();

    m_sampleTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_sampleTimer, &QTimer::timeout, this, &CTrendPanelDlg::OnSampleTick);
    m_fastTimer.setInterval(FastScroll::kPeriodMs);
    connect(&m_fastTimer, &QTimer::timeout, this, &CTrendPanelDlg::fastTick);
    connect(workspace, &Workspace::trendSettingsChanged, this, &CTrendPanelDlg::applySettings);
    connectCurves();
    // The chart comes right after the panel's first paint (or when first needed), so the
    // window shows its strip without waiting for the chart's build.
    AfterFirstPaint(this, [this] { chart(); });
}

// A recording in progress is saved once more before the chart goes. The window around the panel
// is going too: nothing is reported any more.
CTrendPanelDlg::~CTrendPanelDlg() {
    m_recorder->blockSignals(true);
    if (m_chart)
        m_recorder->stop();
    m_recorder->waitForWrites();
}

QToolButton* CTrendPanelDlg::addButton(const char* name, TrendIconKind icon, const QString& tip) {
    auto* button = new QToolButton(m_strip->first());
    button->setObjectName(QLatin1String(name));
    button->setIcon(TrendIcon(icon));
    const bool wide = icon == TrendIconKind::FastBack || icon == TrendIconKind::FastForward;
    button->setIconSize(wide ? QSize(35, 16) : QSize(20, 20));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    m_strip->firstLayout()->addWidget(button);
    return button;
}

void CTrendPanelDlg::buildStrip() {
    // Two rows: the tools, then the axis labels, the settings and the slider (on one line
    // where the panel is wide enough).
    QHBoxLayout* row = m_strip->firstLayout();
    QHBoxLayout* axisRow = m_strip->secondLayout();
    using K = TrendIconKind;
    connect(addButton("realTimeButton", K::RealTime, tr("实时曲线")), &QToolButton::clicked, this,
            &CTrendPanelDlg::startRealTime);
    m_historyButton = addButton("historyButton", K::History, tr("历史曲线"));
    connect(m_historyButton, &QToolButton::clicked, this, &CTrendPanelDlg::openHistory);
    connect(addButton("pauseButton", K::Pause, tr("暂停曲线")), &QToolButton::clicked, this,
            [this] { setMoving(false); });
    connect(addButton("moveButton", K::Move, tr("移动曲线")), &QToolButton::clicked, this,
            [this] { setMoving(true); });
    m_saveButton = addButton("saveButton", K::Save, tr("保存曲线"));
    connect(m_saveButton, &QToolButton::clicked, this, &CTrendPanelDlg::saveChart);
    for (auto [name, icon, tip, mode] :
         {std::tuple{"fastBackButton", K::FastBack, QT_TR_NOOP("快退曲线"), FastScroll::Mode::Back},
          std::tuple{"fastForwardButton", K::FastForward, QT_TR_NOOP("快进曲线"),
                     FastScroll::Mode::Forward}}) {
        QToolButton* button = addButton(name, icon, tr(tip));
        connect(button, &QToolButton::pressed, this, [this, mode = mode] { fastPress(mode); });
        connect(button, &QToolButton::released, this, &CTrendPanelDlg::fastRelease);
    }
    m_legendButton = addButton("legendButton", K::Legend, tr("勾选框"));
    m_legendButton->setCheckable(true);
    m_legendButton->setChecked(true);
    connect(m_legendButton, &QToolButton::toggled, this, [this](bool on) {
        if (m_chart)
            m_chart->setLegendCheckBoxes(on);
    });
    connect(addButton("axisResetButton", K::AxisReset, tr("Y轴复位")), &QToolButton::clicked, this,
            &CTrendPanelDlg::resetAxes);
    connect(addButton("axisZeroButton", K::AxisZero, tr("Y轴归零")), &QToolButton::clicked, this,
            &CTrendPanelDlg::zeroAxes);
    m_autoSaveButton = addButton("autoSaveButton", K::AutoSave, tr("自动保存曲线"));
    m_autoSaveButton->setCheckable(true);
    connect(m_autoSaveButton, &QToolButton::clicked, this, &CTrendPanelDlg::setAutoSave);

    m_markerEdit = new QLineEdit(QStringLiteral("300"), m_strip->first());
    m_markerEdit->setObjectName(QStringLiteral("markerEdit"));
    m_markerEdit->setFixedWidth(56);
    connect(m_markerEdit, &QLineEdit::textChanged, this, [this] {
        if (!m_mouseInside && m_chart)
            emit readoutRequested(m_chart->markerX());
    });
    row->addWidget(m_markerEdit);

    m_textBoxButton = addButton("textBoxButton", K::TextBox, tr("文本数值框"));
    m_textBoxButton->setCheckable(true);
    m_textBoxButton->setChecked(true);

    for (const AxisLabel& label : kAxisLabels) {
        auto* button = new QToolButton(m_strip->second());
        button->setObjectName(QLatin1String(label.name));
        button->setText(tr(label.text));
        button->setToolTip(AxisRangeCaption(label.axis)); // what a click opens
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this,
                [this, axis = label.axis] { emit axisRangeRequested(axis); });
        axisRow->addWidget(button);
    }
    auto* settings = new QToolButton(m_strip->second());
    settings->setObjectName(QStringLiteral("uiSettingsLabel"));
    settings->setText(tr("界面设置"));
    settings->setAutoRaise(true);
    connect(settings, &QToolButton::clicked, this, &CTrendPanelDlg::uiSettingsRequested);
    axisRow->addWidget(settings);
    buildViewControls();

    m_slider = new QSlider(Qt::Horizontal, m_strip->second());
    m_slider->setObjectName(QStringLiteral("transparencySlider"));
    m_slider->setToolTip(tr("悬浮框及透明度"));
    m_slider->setRange(1, 255);
    m_slider->setPageStep(10);
    m_slider->setValue(255);
    // Gives up width before the texts beside it do, in a narrow window and in a longer language.
    m_slider->setMinimumWidth(36);
    m_slider->setMaximumWidth(100);
    m_slider->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(m_slider, &QSlider::actionTriggered, this, &CTrendPanelDlg::onSliderAction);
    axisRow->addWidget(m_slider);
    buildRecordingControls();
    m_strip->finish();
}

void CTrendPanelDlg::onSliderAction(int action) {
    const int position =
        TransparencyAfterStep(StepOf(action), m_slider->sliderPosition(), m_slider->minimum(),
                              m_slider->maximum(), m_slider->pageStep());
    m_slider->setSliderPosition(position);
    emit transparencyChanged(position);
}

bool CTrendPanelDlg::textBoxChecked() const {
    return m_textBoxButton->isChecked();
}

int CTrendPanelDlg::transparency() const {
    return m_slider->sliderPosition();
}

CTChart* CTrendPanelDlg::chart() {
    if (!m_chart)
        buildChart();
    return m_chart;
}

// The chart's start-up: title, ranges in their order, legend font, then its events.
void CTrendPanelDlg::buildChart() {
    m_chart = new CTChart(m_data, this);
    m_chart->setObjectName(QStringLiteral("trendChart"));
    m_layout->insertWidget(1, m_chart, 1);
    m_layout->setStretch(2, 0);
    m_chart->setTitle(tr(kTitle));
    const TrendSettings& settings = m_workspace->trendSettings();
    for (TrendAxis axis : kAxisStartOrder)
        m_chart->setAxisRange(axis, settings.range(axis).min, settings.range(axis).max);
    m_chart->setLegendFontSize(settings.legendFont);
    m_chart->setLegendSpacing(settings.legendSpacing);
    m_chart->setLegendCheckBoxes(m_legendButton->isChecked());
    m_applied = settings;

    connect(m_chart, &CTChart::clicked, this, [this] {
        m_chart->setMarkerX(m_chart->cursorX());
        showMarker();
    });
    connect(m_chart, &CTChart::mouseEntered, this, [this] { m_mouseInside = true; });
    connect(m_chart, &CTChart::mouseLeft, this, [this] { m_mouseInside = false; });
    connect(m_chart, &CTChart::mouseMoved, this, [this](int pixel) {
        if (m_mouseInside)
            emit readoutRequested(m_chart->pixelToX(pixel));
    });
    connect(m_chart, &CTChart::seriesHovered, this,
            [this](int series) { emit seriesHovered(series, m_chart->cursorX()); });
    connect(m_chart, &CTChart::markerMoved, this, &CTrendPanelDlg::showMarker);
    connect(m_chart, &CTChart::secondCursorMoved, this, [this] {
        m_twoCursorsButton->setChecked(m_chart->secondCursorX().has_value());
        emit resizeFloatBoxRequested();
        emit readoutRequested(m_chart->markerX());
    });
    // A pan or a zoom holds the view where the user put it: the chart stops following.
    connect(m_chart, &CTChart::viewChangedByUser, this, [this] { setMoving(false); });
    connect(m_chart, &CTChart::viewChanged, this, &CTrendPanelDlg::visibleDataChanged);
    if (settings.timeAxis != 0)
        m_chart->setTimeAxis(true, settings.sampleMs / 1000.0);
    m_chart->plot()->installEventFilter(this);
}

// Applies what changed in the workspace's trend settings; an unchanged axis keeps its range (a
// scrolled X axis stays where it is).
void CTrendPanelDlg::applySettings() {
    const TrendSettings settings = m_workspace->trendSettings();
    const TrendSettings old = std::exchange(m_applied, settings);
    if (m_chart) {
        for (TrendAxis axis : kAxisStartOrder)
            if (settings.range(axis) != old.range(axis))
                m_chart->setAxisRange(axis, settings.range(axis).min, settings.range(axis).max);
        if (settings.legendFont != old.legendFont)
            m_chart->setLegendFontSize(settings.legendFont);
        if (settings.legendSpacing != old.legendSpacing)
            m_chart->setLegendSpacing(settings.legendSpacing);
        if (settings.timeAxis != old.timeAxis || settings.sampleMs != old.sampleMs)
            m_chart->setTimeAxis(settings.timeAxis != 0, settings.sampleMs / 1000.0);
    }
    if (settings.lineWidth != old.lineWidth && !m_history)
        for (int slot = 1; slot < m_data->seriesCount(); ++slot)
            m_data->setLineWidth(slot, settings.lineWidth);
    if (settings.sampleMs != old.sampleMs && sampling())
        startTimer();
    if (settings.floatBoxFont != old.floatBoxFont || settings.legendFont != old.legendFont ||
        settings.legendSpacing != old.legendSpacing || settings.lineWidth != old.lineWidth ||
        settings.sampleMs != old.sampleMs)
        emit resizeFloatBoxRequested();
}

// ---- sampling ----

void CTrendPanelDlg::OnSampleTick() {
    sampleAt(QDateTime::currentDateTime());
}

// While moving, the view follows the sample: one step on, with the marker, before it comes.
void CTrendPanelDlg::sampleAt(const QDateTime& now) {
    CTChart* c = chart();
    if (m_sampler.moving()) {
        const double marker = c->markerX();
        c->shiftX(1, true);
        c->setMarkerX(marker + 1);
    }
    if (const auto failure = m_sampler.tick(*m_data, now))
        emit statusMessage(*failure);
    showMarker();
    emit visibleDataChanged();
}

void CTrendPanelDlg::startTimer() {
    m_sampleTimer.start(std::max<int>(kMinSampleMs, m_workspace->trendSettings().sampleMs));
}

// Not while history is shown: a loaded file's chart gets no live samples.
void CTrendPanelDlg::startSamplingIfStopped() {
    chart();
    if (m_history)
        return;
    if (!sampling())
        startTimer();
}

void CTrendPanelDlg::stopSampling() {
    m_sampleTimer.stop();
}

void CTrendPanelDlg::startRealTime() {
    m_autoSaveButton->setEnabled(true);
    m_markerEdit->setEnabled(true);
    // The run so far keeps its file: saved once more before the chart is cleared.
    m_recorder->stop();
    CTChart* c = chart();
    rebuildLiveChart(); // the history file's curves go
    m_history = false;
    c->setTitle(tr(kTitle));
    startSamplingIfStopped();
    if (m_autoSaveMemory)
        showAutoSave(true);
    // A new run with a new stamp when the box is checked.
    setAutoSave(autoSaveChecked());
    emit resizeFloatBoxRequested();
}

} // namespace vantor
