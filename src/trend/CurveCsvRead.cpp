// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/CurveCsvRead.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <cmath>

#include "registers/OleDate.h"

namespace vantor {

namespace {

// Splits one CSV line into its fields (quotes hold commas; doubled quotes are one quote).
QStringList Fields(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"'))
                field += c, ++i;
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

// "name (unit)" back into its parts; the apostrophe a formula guard put first goes.
void SplitHeader(QString text, SeriesSnapshot& curve) {
    if (text.size() > 1 && text.front() == QLatin1Char('\'') &&
        QStringLiteral("=+-@\t\r").contains(text[1]))
        text.remove(0, 1);
    static const QRegularExpression withUnit(QStringLiteral("^(.*) \\(([^()]*)\\)( #\\d+)?$"));
    const QRegularExpressionMatch match = withUnit.match(text);
    curve.title = match.hasMatch() ? match.captured(1) + match.captured(3) : text;
    curve.unit = match.hasMatch() ? match.captured(2) : QString();
}

QString Refusal(const QString& name, int line, const QString& reason) {
    return QCoreApplication::translate("vantor::CurveCsvRead", "无法打开 CSV 文件 %1：第 %2 行%3")
        .arg(QDir::toNativeSeparators(name))
        .arg(line)
        .arg(reason);
}

} // namespace

CsvChart ReadCurveCsv(const QByteArray& bytes, const QString& name) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QStringList header = Fields(lines.value(0).trimmed());
    // The first column's name as the tables are written, whatever the language: not translated.
    if (header.value(0) != QStringLiteral("时间"))
        return {std::nullopt,
                Refusal(name, 1,
                        QCoreApplication::translate("vantor::CurveCsvRead",
                                                    "不是本程序保存的曲线表格（首列应为“时间”）"))};
    ChartSnapshot chart;
    chart.title = QFileInfo(name).fileName();
    chart.series.resize(static_cast<std::size_t>(header.size()));
    chart.series[0].active = false;
    chart.series[0].color = 0xFF000000;
    for (qsizetype k = 1; k < header.size(); ++k) {
        SeriesSnapshot& curve = chart.series[static_cast<std::size_t>(k)];
        SplitHeader(header[k], curve);
        curve.regular = false;
    }
    for (qsizetype l = 1; l < lines.size(); ++l) {
        const QString line = lines[l].trimmed();
        if (line.isEmpty())
            continue;
        const QStringList fields = Fields(line);
        const QDateTime at =
            QDateTime::fromString(fields[0], QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        if (!at.isValid())
            return {std::nullopt,
                    Refusal(name, int(l + 1),
                            QCoreApplication::translate("vantor::CurveCsvRead", "的时间无法识别"))};
        SeriesSnapshot& timeBase = chart.series[0];
        const int n = timeBase.count();
        timeBase.ys.push_back(OleDateFromDateTime(at));
        timeBase.labels.push_back(at.toString(QStringLiteral("HH:mm:ss")));
        for (qsizetype k = 1; k < header.size() && k < fields.size(); ++k) {
            if (fields[k].isEmpty())
                continue;
            bool ok = false;
            const double value = fields[k].toDouble(&ok);
            if (!ok)
                return {std::nullopt, Refusal(name, int(l + 1),
                                              QCoreApplication::translate("vantor::CurveCsvRead",
                                                                          "第 %1 列不是数值")
                                                  .arg(k + 1))};
            SeriesSnapshot& curve = chart.series[static_cast<std::size_t>(k)];
            curve.xs.push_back(n + 1); // sampled with time-base point n
            curve.ys.push_back(value);
        }
    }
    chart.ranges[static_cast<int>(TrendAxis::X)] = {0, double(std::max(1, chart.series[0].count()))};
    chart.ranges[static_cast<int>(TrendAxis::Y)] = {0, 100};
    return {std::move(chart), {}};
}

CsvChart LoadCurveCsv(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt,
                QCoreApplication::translate("vantor::CurveCsvRead", "无法打开 CSV 文件 %1：%2")
                    .arg(QDir::toNativeSeparators(path), file.errorString())};
    return ReadCurveCsv(file.readAll(), path);
}

ChartSnapshot SliceSnapshot(const ChartSnapshot& chart, double lo, double hi) {
    ChartSnapshot slice = chart;
    if (chart.series.empty())
        return slice;
    // Sample f pairs a curve's point at X = f with time-base point f - 1.
    const int total = chart.series[0].count();
    const int first = std::max(0, static_cast<int>(std::ceil(std::min(lo, hi))) - 1);
    const int last = std::min(total - 1, static_cast<int>(std::floor(std::max(lo, hi))) - 1);
    for (SeriesSnapshot& s : slice.series) {
        const bool timeBase = &s == &slice.series[0];
        const SeriesSnapshot from = s;
        s.xs.clear();
        s.ys.clear();
        s.labels.clear();
        s.summary.reset();
        s.regular = false;
        for (int i = 0; i < from.count(); ++i) {
            const double x = from.x(i);
            const double sample = timeBase ? x : x - 1; // its time-base point
            if (sample < first || sample > last)
                continue;
            s.xs.push_back(x - first);
            s.ys.push_back(from.ys[i]);
            if (i < from.labels.size())
                s.labels.push_back(from.labels[static_cast<std::size_t>(i)]);
        }
        if (timeBase) {
            s.regular = true; // the time base keeps X = index
            s.x0 = 0;
            s.xs.clear();
        }
    }
    return slice;
}

} // namespace vantor
