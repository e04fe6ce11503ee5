// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the trend panel asks for and does not own: the floating box with the read-out, the
// curves' tool tips, and the axis range and interface settings dialogs. The floating box is a
// child of the panel, shown with the trend tab and hidden with it; once the user closes it from
// its menu it stays hidden until the transparency slider moves. It stays centred over the panel
// as the panel changes size until the user drags it.
#include <QObject>
#include <QString>

namespace vantor {

class CFloatBoxDlg;
class CTrendPanelDlg;
class Workspace;

class TrendPanelHooks : public QObject {
    Q_OBJECT
public:
    TrendPanelHooks(CTrendPanelDlg* panel, Workspace* workspace);

    CFloatBoxDlg* floatBox() const { return m_floatBox; }
    // The last read-out built (also while "文本数值框" is unchecked).
    QString readout() const { return m_readout; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showReadout(double x);
    void showToolTip(int series, double cursorX);
    void resizeFloatBox();

    CTrendPanelDlg* m_panel;
    Workspace* m_workspace;
    CFloatBoxDlg* m_floatBox;
    QString m_readout;
    bool m_closedByUser = false;
    bool m_placed = false;
};

} // namespace vantor
