// SPDX-License-Identifier: GPL-3.0-or-later
#include "curves/Readout.h"

#include <cmath>

#include "registers/OleDate.h"

namespace vantor {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

} // namespace

std::optional<int> ReadoutSample(double x) {
    if (!std::isfinite(x) || x >= 2147483648.0)
        return std::nullopt;
    const double f = std::trunc(x);
    if (f < 0)
        return std::nullopt;
    return static_cast<int>(f);
}

std::optional<int> CurvePointIndex(int f, int first, int pointCount) {
    const long long index = static_cast<long long>(f) - first;
    if (index < 0 || index >= pointCount)
        return std::nullopt;
    return static_cast<int>(index);
}

QString ReadoutHeader(const QString& timeLabel, double oleDate) {
    QString header = QStringLiteral("[Date＆Time] "); // the same in every language: not translated
    if (!timeLabel.isEmpty() && oleDate != 0)
        header += DateTimeFromOleDate(oleDate).toString(QStringLiteral("yyyy/MM/dd "));
    return header + timeLabel + kLineBreak;
}

QString ReadoutToolTip(const ReadoutCurve& curve, bool live) {
    QString text = QLatin1Char(' ') + curve.name;
    text += curve.value ? QString::asprintf(": %0.1f", *curve.value) : QStringLiteral(": --");
    if (live)
        text += curve.unit;
    return text;
}

QString ReadoutLine(const ReadoutCurve& curve, bool live) {
    return ReadoutToolTip(curve, live) + kLineBreak;
}

QString BuildDeltaReadout(const QString& header1, const QString& header2, double seconds,
                          const QList<ReadoutCurve>& at1, const QList<ReadoutCurve>& at2,
                          bool live) {
    QString text = header1 + header2 + QStringLiteral("Δt = %1 s").arg(seconds, 0, 'f', 1);
    if (std::abs(seconds) >= 60) {
        const qint64 whole = std::llround(std::abs(seconds));
        text += QStringLiteral(" (%1%2:%3:%4)")
                    .arg(seconds < 0 ? QStringLiteral("-") : QString())
                    .arg(whole / 3600)
                    .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(whole % 60, 2, 10, QLatin1Char('0'));
    }
    text += kLineBreak;
    auto number = [](const std::optional<double>& v) {
        return v ? QString::asprintf("%0.1f", *v) : QStringLiteral("--");
    };
    for (qsizetype i = 0; i < at1.size() && i < at2.size(); ++i) {
        const ReadoutCurve& a = at1[i];
        const ReadoutCurve& b = at2[i];
        text += QStringLiteral(" %1: %2 → %3").arg(a.name, number(a.value), number(b.value));
        if (a.value && b.value)
            text += QString::asprintf("  Δ %+0.1f", *b.value - *a.value);
        if (live)
            text += a.unit;
        text += kLineBreak;
    }
    return text;
}

QString BuildReadout(const QString& header, const QList<ReadoutCurve>& curves, bool live) {
    QString text = header;
    for (const ReadoutCurve& curve : curves)
        text += ReadoutLine(curve, live);
    return text;
}

} // namespace vantor
