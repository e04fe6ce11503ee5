// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The curve file of one recording run. The first save writes the file whole (atomically, as
// SaveTeeFile); each later save appends only what is new since the one before: the points added
// to each series and the chart's and series' changed attributes, as one round of chunks ended
// by END, then syncs the file. So a save after a week costs what a save after a minute does.
// The file is written whole again when the chart no longer extends what was written (cleared,
// a series fewer or more, a curve's X no longer regular) or when the file on disk is not the
// one this writer left (replaced, shortened, touched by another program). A round cut off by
// a failure is cut from the file again before the next one.
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "trend/ChartSnapshot.h"
#include "trend/TeeSpanIndex.h"

namespace vantor {

class TeeRunWriter {
public:
    enum class Save { None, Whole, Append, Unchanged };

    explicit TeeRunWriter(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }
    // Returns the error text (naming the file and the reason), or nothing on success. progress
    // is called with 0..100 as in SaveTeeFile.
    std::optional<QString> save(const ChartSnapshot& chart,
                                const std::function<void(int)>& progress = {});
    // What the last successful save did; the file's size after it.
    Save lastSave() const { return m_last; }
    qint64 size() const { return m_size; }
    // Where the file holds each series' values, up to the last successful save; a whole rewrite
    // starts a new index (of the new file). Null before the first save.
    std::shared_ptr<const TeeSpanIndex> spans() const { return m_spans; }

private:
    struct Written {
        QByteArray attributes; // as last written
        int count = 0;
        int labels = 0;
        bool regular = true;
        double x0 = 0;
        double lastY = 0; // bits of the last point written, to notice a chart refilled
        double lastX = 0;
    };
    struct Identity {
        qint64 size = -1;
        qint64 modified = 0; // the last change, as finely as the system tells it
        quint64 device = 0, inode = 0;
        bool operator==(const Identity&) const = default;
    };

    bool extends(const ChartSnapshot& chart) const;
    std::optional<QString> writeWhole(const ChartSnapshot& chart,
                                      const std::function<void(int)>& progress);
    std::optional<QString> append(const ChartSnapshot& chart, const QByteArray& round,
                                  const std::vector<qint64>& yAt);
    // (*yAt)[i]: where series i's new Y values lie in the round (-1: none).
    QByteArray round(const ChartSnapshot& chart, std::vector<qint64>* yAt) const;
    void remember(const ChartSnapshot& chart);
    Identity identity() const;

    QString m_path;
    bool m_started = false;
    QByteArray m_chart;
    std::vector<Written> m_series;
    qint64 m_size = 0;
    Identity m_identity;
    Save m_last = Save::None;
    std::shared_ptr<TeeSpanIndex> m_spans;
};

} // namespace vantor
