// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The page "曲线点位": the tip on how to add a curve over the point list.
#include <QWidget>

namespace vantor {

class CDropListCtrl;
class CurveTable;

class CPointListDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kTip = QT_TR_NOOP("提示：双击并长按点位，拖到下框绘制曲线");

    explicit CPointListDlg(CurveTable* curves, QWidget* parent = nullptr);

    CDropListCtrl* list() const { return m_list; }

private:
    CDropListCtrl* m_list;
};

} // namespace vantor
