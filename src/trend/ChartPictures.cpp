// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/ChartPictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPdfWriter>
#include <QSaveFile>

#include "files/SaveWhole.h"
#include <qcustomplot.h>

#include "trend/TChart.h"

namespace vantor {

namespace {

QString Failure(const QString& path, const QString& reason) {
    return QCoreApplication::translate("vantor::ChartPictures", "曲线图片 %1 保存失败：%2")
        .arg(QDir::toNativeSeparators(path), reason);
}

// The plot on the page's left, the legend's shown curves in their colours on its right.
void DrawPdf(CTChart& chart, QPdfWriter& writer) {
    QCustomPlot* plot = chart.plot();
    const int plotWidth = std::max(plot->width(), 400);
    const int plotHeight = std::max(plot->height(), 300);
    const int legendWidth = CTChart::kLegendWidth;
    writer.setPageSize(QPageSize(QSizeF(plotWidth + legendWidth, plotHeight), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QCPPainter painter(&writer);
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    plot->toPainter(&painter, plotWidth, plotHeight);
    painter.setFont(chart.font());
    const int rowHeight = painter.fontMetrics().height() + 2;
    int y = rowHeight;
    const TrendData& data = chart.data();
    for (int series = 1; series < data.seriesCount(); ++series) {
        if (!data.active(series) || data.pointCount(series) == 0)
            continue;
        painter.setPen(data.color(series));
        painter.drawText(plotWidth + 6, y, data.title(series));
        y += rowHeight;
    }
}

} // namespace

std::optional<QString> SaveChartPicture(CTChart& chart, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure(path, file.errorString());
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
        QPdfWriter writer(&file);
        writer.setTitle(chart.title());
        DrawPdf(chart, writer);
    } else {
        QImageWriter writer(&file, "png");
        if (!writer.write(chart.grab().toImage())) {
            file.cancelWriting();
            return Failure(path, writer.errorString());
        }
    }
    if (QString reason; !CommitWhole(file, &reason))
        return Failure(path, reason);
    return std::nullopt;
}

} // namespace vantor
