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
    QString header = QStringLiteral("[Date＆Time] ");
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

QString BuildReadout(const QString& header, const QList<ReadoutCurve>& curves, bool live) {
    QString text = header;
    for (const ReadoutCurve& curve : curves)
        text += ReadoutLine(curve, live);
    return text;
}

} // namespace vantor
