// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The communication panel's write buttons ("16号命令编辑", "写入参数", "读取参数", "保存参数")
// and the double-click on a value cell, wired to the write service: dialogs and file choices
// here, everything else in the service.
#include <QObject>
#include <functional>
#include <optional>

class QPushButton;
class QWidget;

namespace vantor {

struct ParameterFileResult;
struct PointRef;

class WriteService;

class WriteControls : public QObject {
    Q_OBJECT
public:
    // Asks for a parameter file to save (true) or load (false); "" when cancelled.
    using FileAsker = std::function<QString(QWidget* parent, bool save)>;
    // Asks whether to switch a coil on (true) or off (false); nothing when cancelled.
    using CoilAsker = std::function<std::optional<bool>(QWidget* parent, const QString& text)>;

    // currentPacket: the packet (1..30) of the grid page shown. The buttons act once the panel
    // holding them is attached; the panel is built after the window first shows.
    WriteControls(WriteService* writes, std::function<int()> currentPacket,
                  QWidget* parent = nullptr);

    // Wires the write buttons of panel, found by their object names.
    void attachPanel(QWidget* panel);

    WriteService* service() const { return m_writes; }
    void setFileAsker(FileAsker asker);
    void setCoilAsker(CoilAsker asker);

public slots:
    // Opens the write dialog on a value cell (packet 1..30, cell 0..129); on a cell of a packet
    // that reads bits, asks whether to switch its coil on or off instead.
    void editCell(int packet, int cell, const QString& text);
    void togglePageEdit();
    void saveParameters();
    void loadParameters();
    void writeParameters();

private:
    QPushButton* button(const char* objectName) const;
    QWidget* dialogParent() const;
    void report(const ParameterFileResult& result) const; // its error or notice, if any
    void editCoil(PointRef point, const QString& text);

    WriteService* m_writes;
    QWidget* m_panel = nullptr;
    QWidget* m_window;
    std::function<int()> m_currentPacket;
    FileAsker m_askFile;
    CoilAsker m_askCoil;
    QPushButton* m_pageEdit = nullptr;
};

} // namespace vantor
