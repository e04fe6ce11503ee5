// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendRules.h"

#include <QStringList>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>
#include <system_error>

namespace vantor {

SourceRef ParseSourceRef(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('-'));
    auto part = [&parts](int index) {
        return index < parts.size() ? static_cast<int>(LenientNumber(parts[index])) : 0;
    };
    return {part(0), part(1), part(2)};
}

double LenientNumber(const QString& text) {
    const std::string bytes = text.trimmed().toStdString();
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    // Only digits or a point may follow: from_chars alone would also take "inf" and "nan".
    if (p == end || !(std::isdigit(static_cast<unsigned char>(*p)) || *p == '.'))
        return 0;
    double value = 0;
    if (std::from_chars(p, end, value, std::chars_format::general).ec != std::errc())
        return 0;
    return negative ? -value : value;
}

std::optional<TrendAxis> AxisOfName(const QString& name) {
    // The names as the curve table keeps them in the project file: not translated.
    static const std::array<std::pair<const char16_t*, TrendAxis>, 6> kNames{{
        {u"Y轴", TrendAxis::Y}, // not translated
        {u"A轴", TrendAxis::A}, // not translated
        {u"B轴", TrendAxis::B}, // not translated
        {u"C轴", TrendAxis::C}, // not translated
        {u"D轴", TrendAxis::D}, // not translated
        {u"E轴", TrendAxis::E}, // not translated
    }};
    for (const auto& [text, axis] : kNames)
        if (name == QString::fromUtf16(text))
            return axis;
    return std::nullopt;
}

QColor ChartColorOfRef(std::uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

std::uint32_t RefOfChartColor(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

void FastScroll::press(Mode mode) {
    m_mode = mode;
    m_firstTick = mode == Mode::Forward;
}

void FastScroll::release() {
    m_mode = Mode::None;
    m_firstTick = false;
}

FastScroll::Step FastScroll::tick() {
    if (m_firstTick) {
        m_firstTick = false;
        return {0, false, true};
    }
    switch (m_mode) {
    case Mode::Forward:
        return {kShift, true, false};
    case Mode::Back:
        return {-kShift, true, false};
    case Mode::None:
        break;
    }
    return {};
}

int TransparencyAfterStep(SliderStep step, int position, int min, int max, int page) {
    switch (step) {
    case SliderStep::LineLeft:
        return position > min ? position - 1 : position;
    case SliderStep::LineRight:
        return position < max ? position + 1 : position;
    case SliderStep::PageLeft:
        return position > min ? std::max(min, position - page) : position;
    case SliderStep::PageRight:
        return position < max ? std::min(max, position + page) : position;
    case SliderStep::Thumb:
    case SliderStep::Other:
        break;
    }
    return position;
}

} // namespace vantor
