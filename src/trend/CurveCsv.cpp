// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/CurveCsv.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QSaveFile>
#include <QTime>
#include <charconv>
#include <cmath>
#include <vector>

#include "files/SaveWhole.h"

namespace vantor {

namespace {

constexpr qint64 kMsPerDay = 86400000;

// The wall-clock date and time an OLE date holds, to the millisecond. Read straight from the value
// (no time zone round trip), so a day with a clock change keeps the times as they were sampled.
QByteArray SampleTime(double days) {
    if (!std::isfinite(days))
        return {};
    double whole = std::floor(days);
    qint64 ms = std::llround((days - whole) * static_cast<double>(kMsPerDay));
    if (ms >= kMsPerDay) {
        whole += 1;
        ms -= kMsPerDay;
    }
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
    return (date.toString(u"yyyy-MM-dd") + QLatin1Char(' ') + time.toString(u"HH:mm:ss.zzz"))
        .toLatin1();
}

// The value to 15 significant digits (a scaled reading such as 20.22 x 0.1 shows as 2.022, not
// 2.0220000000000002), as the shortest text of that: plain digits for the usual magnitudes
// ("100000", "0.1", "-2.5"), an exponent only for the very large and very small ("1e+300").
// A value that is not a number gives an empty field.
void AppendNumber(QByteArray& row, double value) {
    if (!std::isfinite(value))
        return;
    char digits[64];
    const auto rounded =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 15);
    std::from_chars(digits, rounded.ptr, value);
    const double size = std::fabs(value);
    const auto format = size == 0 || (size >= 1e-6 && size < 1e16) ? std::chars_format::fixed
                                                                   : std::chars_format::general;
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, format);
    row.append(text, result.ptr - text);
}

// A text that a spreadsheet would run as a formula (it begins with = + - @ or a control
// character) gets a leading apostrophe, so that it shows as the text it is.
QString FormulaSafe(const QString& text) {
    if (text.isEmpty() || !QStringLiteral("=+-@\t\r").contains(text.front()))
        return text;
    return QLatin1Char('\'') + text;
}

// "name (unit)" per curve; a name that an earlier column already has gets " #2", " #3" …, so
// that every column can be told apart.
QByteArray HeaderRow(const std::vector<const SeriesSnapshot*>& curves) {
    // The first column's name, which the table's reader and scripts look for: not translated.
    QString header = QStringLiteral("时间");
    QStringList names;
    for (const SeriesSnapshot* curve : curves) {
        const QString base = curve->unit.isEmpty()
                                 ? curve->title
                                 : QStringLiteral("%1 (%2)").arg(curve->title, curve->unit);
        QString name = base;
        for (int n = 2; names.contains(name); ++n)
            name = QStringLiteral("%1 #%2").arg(base).arg(n);
        names << name;
        header += QLatin1Char(',') + CsvField(FormulaSafe(name));
    }
    return header.toUtf8() + "\r\n";
}

} // namespace

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool WriteCurveCsv(QIODevice& out, const ChartSnapshot& chart) {
    std::vector<const SeriesSnapshot*> curves;
    for (std::size_t k = 1; k < chart.series.size(); ++k)
        if (chart.series[k].active)
            curves.push_back(&chart.series[k]);
    // A write the disk cut short returns fewer bytes without an error of its own.
    const auto put = [&out](const QByteArray& bytes) { return out.write(bytes) == bytes.size(); };
    if (!put(kUtf8Bom) || !put(HeaderRow(curves)))
        return false;
    if (chart.series.empty())
        return true;

    // One cursor per curve walks its points along with the rows: the point sampled together
    // with time-base sample n has X = n + 1 (points that round to an X without a row are
    // passed over).
    const SeriesSnapshot& timeBase = chart.series.front();
    std::vector<int> cursors(curves.size(), 0);
    QByteArray row;
    for (int n = 0; n < timeBase.count(); ++n) {
        const double x = n + 1;
        row = SampleTime(timeBase.ys[n]);
        for (std::size_t k = 0; k < curves.size(); ++k) {
            const SeriesSnapshot& curve = *curves[k];
            int& i = cursors[k];
            row += ',';
            while (i < curve.count() && curve.x(i) < x - 0.5)
                ++i;
            if (i < curve.count() && curve.x(i) < x + 0.5)
                AppendNumber(row, curve.ys[i++]);
        }
        row += "\r\n";
        if (!put(row))
            return false;
    }
    return true;
}

std::optional<QString> SaveCurveCsv(const QString& path, const ChartSnapshot& chart) {
    QSaveFile file(path);
    QString reason;
    if (file.open(QIODevice::WriteOnly) && WriteCurveCsv(file, chart) &&
        CommitWhole(file, &reason))
        return std::nullopt;
    return QCoreApplication::translate("vantor::CurveCsv", "无法保存 CSV 文件 %1：%2")
        .arg(QDir::toNativeSeparators(path), reason.isEmpty() ? file.errorString() : reason);
}

} // namespace vantor
