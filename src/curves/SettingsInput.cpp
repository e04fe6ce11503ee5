// SPDX-License-Identifier: GPL-3.0-or-later
#include "curves/SettingsInput.h"

#include <QCoreApplication>
#include <limits>

namespace vantor {

namespace {

QString NotInt16(const QString& caption) {
    return QCoreApplication::translate("vantor::SettingsInput",
                                       "“%1”须为 -32768 到 32767 之间的整数")
        .arg(caption);
}

std::int16_t& FieldOf(TrendSettings& settings, UiField field) {
    switch (field) {
    case UiField::FloatBoxFont:
        return settings.floatBoxFont;
    case UiField::LegendFont:
        return settings.legendFont;
    case UiField::LegendSpacing:
        return settings.legendSpacing;
    case UiField::LineWidth:
        return settings.lineWidth;
    case UiField::SampleMs:
        break;
    }
    return settings.sampleMs;
}

} // namespace

std::optional<std::int16_t> ParseInt16(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

QString AxisRangeCaption(TrendAxis axis) {
    static const char* const kLetters[kTrendAxisCount] = {"X", "Y", "A", "B", "C", "D", "E"};
    return QCoreApplication::translate("vantor::SettingsInput", "%1轴范围调节")
        .arg(QLatin1String(kLetters[static_cast<int>(axis)]));
}

AxisRangeInput ReadAxisRange(const QString& maxText, const QString& minText) {
    const auto max = ParseInt16(maxText);
    if (!max)
        return {std::nullopt,
                NotInt16(QCoreApplication::translate("vantor::SettingsInput", "最大值"))};
    const auto min = ParseInt16(minText);
    if (!min)
        return {std::nullopt,
                NotInt16(QCoreApplication::translate("vantor::SettingsInput", "最小值"))};
    return {AxisRange{*min, *max}, {}};
}

QString UiFieldCaption(UiField field) {
    switch (field) {
    case UiField::FloatBoxFont:
        return QCoreApplication::translate("vantor::SettingsInput", "悬浮框字体");
    case UiField::LegendFont:
        return QCoreApplication::translate("vantor::SettingsInput", "勾选框字体");
    case UiField::LegendSpacing:
        return QCoreApplication::translate("vantor::SettingsInput", "行间隔");
    case UiField::LineWidth:
        return QCoreApplication::translate("vantor::SettingsInput", "曲线粗细");
    case UiField::SampleMs:
        break;
    }
    return QCoreApplication::translate("vantor::SettingsInput", "曲线采样间隔");
}

std::int16_t UiFieldValue(const TrendSettings& settings, UiField field) {
    TrendSettings copy = settings;
    return FieldOf(copy, field);
}

UiSettingsInput ReadUiSettings(const TrendSettings& base,
                               const std::array<QString, kUiFieldCount>& texts) {
    TrendSettings settings = base;
    for (int i = 0; i < kUiFieldCount; ++i) {
        const auto field = static_cast<UiField>(i);
        const auto value = ParseInt16(texts[static_cast<std::size_t>(i)]);
        if (!value)
            return {std::nullopt, NotInt16(UiFieldCaption(field))};
        FieldOf(settings, field) = *value;
    }
    // A zero or negative period would sample without pause.
    if (settings.sampleMs < 1)
        return {std::nullopt, QCoreApplication::translate("vantor::SettingsInput",
                                                          "“曲线采样间隔”不能小于 1 ms")};
    return {settings, {}};
}

} // namespace vantor
