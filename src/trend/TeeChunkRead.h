// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the payloads of the curve file's chunks (not offered to other libraries).
#include <QString>
#include <cstring>
#include <functional>

#include "TeeFormat.h"
#include "trend/ChartSnapshot.h"

namespace vantor::tee {

template <typename T> T At(const char* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

// Reads fields from one chunk's payload; a field that runs past the end clears ok.
class Fields {
public:
    Fields(const char* data, qint64 size) : m_at(data), m_end(data + size) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_end; }
    const char* position() const { return m_at; }
    qint64 remaining() const { return m_end - m_at; }

    template <typename T> T get() {
        T value{};
        if (take(sizeof value))
            std::memcpy(&value, m_at - sizeof value, sizeof value);
        return value;
    }
    // A field added by a later minor version: its default when the payload ends before it.
    template <typename T> T optional(T fallback) { return atEnd() ? fallback : get<T>(); }
    template <typename Length> QString text() {
        const auto size = get<Length>();
        return take(size) ? QString::fromUtf8(m_at - size, qsizetype(size)) : QString();
    }
    // count doubles appended to values; refused when they cannot be in the payload.
    void values(quint64 count, ValueBlocks& values) {
        if (take(count * sizeof(double)))
            values.append(m_at - count * sizeof(double), static_cast<int>(count));
    }
    // count labels (text16) appended to labels.
    void labels(quint64 count, LabelBlocks& labels) {
        if (!m_ok || count > quint64(remaining()) / sizeof(std::uint16_t)) {
            m_ok = false;
            return;
        }
        const qint64 taken = labels.appendCounted(m_at, remaining(), qint64(count));
        if (taken < 0)
            m_ok = false;
        else
            m_at += taken;
    }

private:
    bool take(quint64 size) {
        if (!m_ok || size > quint64(remaining()))
            return m_ok = false;
        m_at += size;
        return true;
    }

    const char* m_at;
    const char* m_end;
    bool m_ok = true;
};

// Each reads one payload into the chart; false when it does not fit or its counts do not.
bool ReadChart(Fields f, ChartSnapshot& chart);
// onValues, when given, is told of each run of Y values read: the series' index, the series, the
// run's first point and count, and where its values lie in the bytes read.
using ValuesRead = std::function<void(std::size_t index, SeriesSnapshot& s, qint64 first,
                                      qint64 count, const char* at)>;
bool ReadSeries(Fields f, SeriesSnapshot& s, const ValuesRead& onValues = {},
                std::size_t index = 0);
// A series' attributes (a SERI chunk's head, a SMET chunk's after the index). The regular flag
// is taken only by SERI: the layout of a series' points is fixed once written.
bool ReadAttributes(Fields& f, SeriesSnapshot& s, bool takeRegular = false);
bool ReadAppend(Fields f, ChartSnapshot& chart, const ValuesRead& onValues = {});

} // namespace vantor::tee
