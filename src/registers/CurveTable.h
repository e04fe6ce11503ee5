// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The curves of the trend: the rows of the point list and the table of curve slots 1..99. Slot k is
// always drawn by chart series k (series 0 is the time base). The trend reads these rows on every
// sample, so an edit of a row shows at the next sample. No widget here: the point list is a view
// and editor of this table.
#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>

namespace vantor {

// The point list's columns, in their order.
enum class CurveColumn { Name, Source, Color, Axis, Number, Rate, Unit, Addr };
inline constexpr int kCurveColumnCount = 8;

struct CurveRow {
    QString name;            // "Datapoint": legend text and read-out label
    QString source;          // "Obj_Id": grid g, row r, column c as "g-r-c"
    std::uint32_t color = 0; // "Color": 0x00BBGGRR
    QString axis;            // "Yaxis": "Y轴", "A轴" .. "E轴"
    QString number;          // "No.": the slot 1..99 as decimal text
    QString rate;            // "Rate": scale factor as typed
    QString unit;            // "Unit"
    QString addr;            // "Addr": the name as it was when the row was made
    bool operator==(const CurveRow&) const = default;

    // The text of a column; Color reads "颜色" (in the user's language), as the list shows it.
    QString text(CurveColumn column) const;
};

// The six axis names in the order the axis chooser offers them.
QList<QString> CurveAxisNames();

// The colour a new curve in slot k (1..99) gets: a fixed palette of well-separated colours.
std::uint32_t DefaultCurveColor(int slot);

struct CurveDrop {
    enum Result { Added, LimitReached };
    Result result = Added;
    int row = -1; // the new row
    int slot = 0; // its slot 1..99
};

class CurveTable : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxCurves = 99;
    // The source text: shown as tr(kLimitMessage).
    static constexpr const char* kLimitMessage =
        QT_TRANSLATE_NOOP("vantor::CurveTable", "曲线数达到最大限制");

    explicit CurveTable(QObject* parent = nullptr);

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const QList<CurveRow>& rows() const { return m_rows; }
    const CurveRow& row(int index) const; // an index outside the rows reads as an empty row

    bool slotFree(int slot) const; // slots outside 1..99 read as not free
    // The rows whose "No." reads as this slot, in row order (normally one). The table keeps this
    // index up to date, so the sampler never scans the rows.
    const QList<int>& rowsOfSlot(int slot) const;

    // A drop of text: split at the first blank into the name and the reference (a text without a
    // blank gives an empty reference). Takes the lowest free slot; at 99 rows adds nothing.
    CurveDrop drop(const QString& payload);
    // Removes a row and frees its slot (rows outside the table: nothing happens).
    void removeRow(int index);
    // An in-place edit or a colour choice; the text is stored as typed.
    void setText(int index, CurveColumn column, const QString& text);
    void setColor(int index, std::uint32_t color);
    // A whole table, as a project brings it: the slot table follows the rows' "No.".
    void setRows(const QList<CurveRow>& rows);

signals:
    void curveAdded(int row, int slot);
    void curveRemoved(int row, int slot); // slot 0 when the row's "No." named no slot
    void rowEdited(int row);
    void rowsReset();

private:
    void rebuildIndex();

    QList<CurveRow> m_rows;
    std::array<bool, kMaxCurves + 1> m_used{}; // entry 0 unused
    std::array<QList<int>, kMaxCurves + 1> m_rowsOfSlot;
};

} // namespace vantor
