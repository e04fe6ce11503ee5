// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/WriteControls.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "registers/PointRef.h"
#include "registers/Workspace.h"
#include "widgets/MessageBox.h"
#include "writes/WriteRegDlg.h"
#include "writes/WriteService.h"

namespace vantor {

namespace {

QString AskParameterFile(QWidget* parent, bool save) {
    QFileDialog dialog(parent);
    dialog.setDefaultSuffix(QStringLiteral("dll"));
    // The name offered for a new file, and the filters, in the user's language: the file's
    // contents are the same whatever it is called.
    dialog.selectFile(WriteControls::tr("参数设置表"));
    const QString parameterFiles = WriteControls::tr("信息文件(*.dll)");
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({parameterFiles, WriteControls::tr("所有文件(*.*)")});
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(parameterFiles);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

std::optional<bool> AskCoil(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, WriteControls::tr("写线圈"), text, QMessageBox::NoButton,
                    parent);
    QPushButton* on = box.addButton(WriteControls::tr("置 1 (FF00)"), QMessageBox::AcceptRole);
    QPushButton* off = box.addButton(WriteControls::tr("置 0 (0000)"), QMessageBox::AcceptRole);
    box.addButton(WriteControls::tr("取消"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == on)
        return true;
    if (box.clickedButton() == off)
        return false;
    return std::nullopt;
}

} // namespace

WriteControls::WriteControls(WriteService* writes, std::function<int()> currentPacket,
                             QWidget* parent)
    : QObject(parent), m_writes(writes), m_window(parent),
      m_currentPacket(std::move(currentPacket)), m_askFile(AskParameterFile), m_askCoil(AskCoil) {
    connect(m_writes, &WriteService::pageEditChanged, this, [this](bool editing) {
        if (m_pageEdit)
            m_pageEdit->setText(editing ? tr("16号命令发送") : tr("16号命令编辑"));
    });
}

void WriteControls::attachPanel(QWidget* panel) {
    m_panel = panel;
    m_pageEdit = button("fn16Button");
    const auto wire = [this](const char* name, void (WriteControls::*slot)()) {
        if (QPushButton* b = button(name)) {
            b->setEnabled(true);
            connect(b, &QPushButton::clicked, this, slot);
        }
    };
    wire("fn16Button", &WriteControls::togglePageEdit);
    wire("writeParamsButton", &WriteControls::writeParameters);
    wire("readParamsButton", &WriteControls::loadParameters);
    wire("saveParamsButton", &WriteControls::saveParameters);
    if (m_pageEdit && m_writes->pageEditing())
        m_pageEdit->setText(tr("16号命令发送"));
}

QWidget* WriteControls::dialogParent() const {
    return m_panel ? m_panel : m_window;
}

QPushButton* WriteControls::button(const char* objectName) const {
    return m_panel ? m_panel->findChild<QPushButton*>(QString::fromLatin1(objectName)) : nullptr;
}

void WriteControls::setFileAsker(FileAsker asker) {
    m_askFile = asker ? std::move(asker) : FileAsker(AskParameterFile);
}

void WriteControls::setCoilAsker(CoilAsker asker) {
    m_askCoil = asker ? std::move(asker) : CoilAsker(AskCoil);
}

void WriteControls::editCell(int packet, int cell, const QString& text) {
    const PointRef point{PacketNo(packet), cell};
    if (!point.valid())
        return;
    if (const QString refusal = m_writes->tableRefusal(point.packet); !refusal.isEmpty()) {
        ShowMessage(dialogParent(), refusal);
        return;
    }
    if (m_writes->isCoilPacket(point.packet)) {
        editCoil(point, text);
        return;
    }
    CWriteRegDlg dialog(
        text,
        [this, point](const QString& decimal, const QString& unsignedText) {
            const WriteService::Outcome outcome = m_writes->writeCell(point, decimal, unsignedText);
            if (!outcome.note.isEmpty())
                emit m_writes->statusMessage(outcome.note);
            return outcome.refusal;
        },
        dialogParent());
    dialog.exec();
}

void WriteControls::editCoil(PointRef point, const QString& text) {
    const QString question =
        tr("线圈 %1 当前为 %2，写入：")
            .arg(m_writes->coilAddress(point))
            .arg(text.trimmed().isEmpty() ? QStringLiteral("--") : text.trimmed());
    const std::optional<bool> on = m_askCoil(dialogParent(), question);
    if (!on)
        return;
    const WriteService::Outcome outcome = m_writes->writeCoil(point, *on);
    if (!outcome.refusal.isEmpty())
        ShowMessage(dialogParent(), outcome.refusal);
    else if (!outcome.note.isEmpty())
        emit m_writes->statusMessage(outcome.note);
}

void WriteControls::togglePageEdit() {
    if (m_writes->pageEditing())
        m_writes->endPageEdit();
    else
        m_writes->beginPageEdit(PacketNo(m_currentPacket ? m_currentPacket() : 1));
}

void WriteControls::saveParameters() {
    const QString path = m_askFile(dialogParent(), true);
    if (!path.isEmpty())
        report(SaveParameterFile(path, *m_writes->workspace()->store(), m_writes->counts()));
}

void WriteControls::loadParameters() {
    const QString path = m_askFile(dialogParent(), false);
    if (!path.isEmpty())
        report(m_writes->loadParameters(path));
}

void WriteControls::report(const ParameterFileResult& result) const {
    if (!result.error.isEmpty())
        ShowMessage(dialogParent(), result.error);
    else if (!result.notice.isEmpty())
        ShowMessage(dialogParent(), result.notice, MessageKind::Information);
}

void WriteControls::writeParameters() {
    const WriteService::Outcome outcome = m_writes->writeParameters();
    if (!outcome.refusal.isEmpty())
        ShowMessage(dialogParent(), outcome.refusal);
    else if (!outcome.note.isEmpty())
        ShowMessage(dialogParent(), outcome.note, MessageKind::Information);
}

} // namespace vantor
