// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One sample of the trend, on the GUI thread: a time-base point with the wall-clock time, then one
// point per plotted row read from the text its data grid shows, appended to the trend data (no
// window involved), and the raw texts written to the shared values file. A curve's looks
// are applied when the curve table changes, not at every sample. The rows are
// read from the workspace's curve table on every tick (no copy), slot by slot.
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace vantor {

class TrendData;
class Workspace;

class TrendSampler {
public:
    explicit TrendSampler(const Workspace* workspace);

    bool moving() const { return m_moving; }
    void setMoving(bool moving) { m_moving = moving; }

    // The X at which the curve of slot k (1..99) got its first sample; 0 = none yet.
    int firstSample(int slot) const;
    void clearFirstSample(int slot);
    void clearFirstSamples() { m_first.fill(0); }
    // The last sampled value of each point-list row (0 for rows not sampled yet).
    float rowValue(int row) const;

    QString shareIniPath() const { return m_sharePath; }
    void setShareIniPath(const QString& path) { m_sharePath = path; }

    // A curve's name, colour, axis and line width from the curve table onto its series (when
    // the table changes, and when a sample makes the series).
    void applyLooks(TrendData& data, int slot, int lineWidth) const;

    // One sample at local time `now`. Returns a message for the status line when the shared
    // values file could not be written and the last write had not failed already.
    std::optional<QString> tick(TrendData& data, const QDateTime& now);

private:
    const Workspace* m_workspace;
    bool m_moving = true;
    std::array<int, 100> m_first{};
    QList<float> m_rowValues;
    QString m_sharePath;
    bool m_shareFailed = false;
    bool m_shareHadEntries = false;
};

} // namespace vantor
