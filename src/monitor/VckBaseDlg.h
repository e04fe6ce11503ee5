// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "监控对象" page: 10 switches, 10 lamps and 10 analogue displays over a background picture.
// A point dragged from a data grid onto an object binds it (the payload becomes its caption).
// Five times a second every bound object shows its cell as the register store holds it; a
// switch click writes 1 or 0, an analogue click opens "监控对象配置" and writes the entered value
// divided by the rate. A click on a caption renames the object in place, keeping its reference.
#include <QAbstractButton>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <array>

#include "registers/MonitorTable.h"

class QLabel;
class QLineEdit;

namespace vantor {

class WriteService;
class Workspace;

// An object's button: its picture over the panel's background, drawn whole (opaque); takes a
// dropped text.
class MonitorObjectButton : public QAbstractButton {
    Q_OBJECT
public:
    MonitorObjectButton(const QPixmap* background, QWidget* parent);
    void setPicture(const QPixmap& picture);
    void dropText(const QString& text) { emit textDropped(text); } // what a drop of text does

signals:
    void textDropped(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    const QPixmap* m_background;
    QPixmap m_picture;
    qint64 m_pictureKey = 0;
};

class CVCKBASEDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 200;
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 722;

    CVCKBASEDlg(Workspace* workspace, WriteService* writes, QWidget* parent = nullptr);

    MonitorObjectButton* button(MonitorKind kind, int index) const;
    QLabel* captionLabel(MonitorKind kind, int index) const;
    QLabel* valueWindow(int index) const { return m_values[static_cast<std::size_t>(index)]; }
    QLineEdit* renameEditor() const { return m_renameEdit; }
    bool isOn(MonitorKind kind, int index) const; // a switch's or lamp's shown state
    // Why the analogue object cannot write this value ("" when it can, or when it names no cell).
    QString analogueRefusal(int index, double value) const;

public slots:
    void refresh(); // every bound object from its cell
    void clickSwitch(int index);
    void clickAnalogue(int index); // "监控对象配置", then applyAnalogue
    // What the dialog's OK does: the value divided by the rate so far (rounded up) written, then
    // the unit and the rate kept.
    void applyAnalogue(int index, double value, const QString& unit, double rate);
    void beginRename(vantor::MonitorKind kind, int index);
    void endRename();

signals:
    void statusMessage(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Object {
        MonitorObjectButton* button = nullptr;
        QLabel* label = nullptr;
        bool on = false;
    };
    Object& object(MonitorKind kind, int index);
    const Object& object(MonitorKind kind, int index) const;
    void build();
    void addObject(MonitorKind kind, int index, QRect button, QRect label);
    void nameObject(MonitorKind kind, int index);
    void showState(MonitorKind kind, int index, bool on);
    void showUnbound(MonitorKind kind, int index);
    const QPixmap& picture(MonitorKind kind, bool on) const;
    QString cellText(const MonitorBinding& binding) const;
    bool writeBound(MonitorKind kind, int index, const QString& decimal);

    Workspace* m_workspace;
    MonitorTable* m_table;
    WriteService* m_writes;
    QPixmap m_background;
    std::array<QPixmap, 6> m_pictures; // by kind, off then on
    std::array<std::array<Object, MonitorTable::kPerKind>, 3> m_objects{};
    std::array<QLabel*, MonitorTable::kPerKind> m_values{};
    QLineEdit* m_renameEdit;
    MonitorKind m_renameKind = MonitorKind::Analogue;
    int m_renameIndex = -1;
    QString m_renameCaption;
    QTimer m_refreshTimer;
};

} // namespace vantor
