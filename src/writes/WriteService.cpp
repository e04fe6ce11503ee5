// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/WriteService.h"

#include <algorithm>

#include "modbus/HexText.h"
#include "modbus/LinkController.h"
#include "registers/RegisterDecoder.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"

namespace vantor {

namespace {

QStringList ToQt(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& t : texts)
        list << QString::fromStdString(t);
    return list;
}

} // namespace

WriteService::WriteService(Workspace* workspace, LinkController* link, QObject* parent)
    : QObject(parent), m_workspace(workspace), m_link(link) {}

PacketCounts WriteService::counts() const {
    return m_workspace->store()->images().counts();
}

// The store holds the images as the configured link sends them: over Modbus TCP the address
// byte is the unit identifier of the packet's polling request.
WriteTarget WriteService::targetOf(PacketNo packet) const {
    const PacketImage& image = m_workspace->store()->images().packets[packet.index()];
    return {image.slave, image.start};
}

WriteService::Outcome WriteService::writeCell(PointRef point, const QString& decimal,
                                              const QString& unsignedText) {
    if (!point.valid())
        return {tr("单元格不存在"), {}, false};
    if (const QString refusal = tableRefusal(point.packet); !refusal.isEmpty())
        return {refusal, {}, false};
    RegisterStore* store = m_workspace->store();
    const int code = store->formatCode(point);
    const std::string d = decimal.toStdString();
    const std::string u = unsignedText.toStdString();
    if (const std::string refusal = CellValueRefusal(code, d, u); !refusal.empty())
        return {QString::fromStdString(refusal), {}, false};
    store->setCellValue(point, decimal);
    if (m_editPacket)
        return {{}, tr("16号命令编辑中，数值将随整页发送"), false};
    if (!m_workspace->isChecked(point.packet))
        return {{}, tr("数据包 %1 未勾选，只修改了单元格，未发送").arg(point.packet.number), false};
    if (store->images().totalCount == 0)
        return {{}, tr("数据包未配置，只修改了单元格，未发送"), false};
    const std::string text = CellWriteText(targetOf(point.packet), point.cell, code, d, u);
    m_link->requestOneShot(QString::fromStdString(text));
    return {{}, {}, true};
}

bool WriteService::isCoilPacket(PacketNo packet) const {
    return packet.valid() &&
           WriteTableOf(m_workspace->store()->images().packets[packet.index()].function) ==
               WriteTable::Coils;
}

QString WriteService::tableRefusal(PacketNo packet) const {
    if (!packet.valid())
        return tr("数据包不存在");
    const int function = m_workspace->store()->images().packets[packet.index()].function;
    if (WriteTableOf(function) != WriteTable::ReadOnly)
        return {};
    return QString::fromStdString(ReadOnlyRefusal(packet.number, function));
}

QString WriteService::rangeRefusal(PointRef point, int registers) const {
    const int count = point.packet.valid() ? counts()[point.packet.index()] : 0;
    if (point.valid() && point.cell + registers <= count)
        return {};
    return tr("单元格 %1 不在数据包 %2 配置的 %3 个单元之内，不能写入")
        .arg(point.cell)
        .arg(point.packet.number)
        .arg(count);
}

int WriteService::coilAddress(PointRef point) const {
    return targetOf(point.packet).start + point.cell;
}

WriteService::Outcome WriteService::writeCoil(PointRef point, bool on) {
    if (!point.valid())
        return {tr("单元格不存在"), {}, false};
    if (const QString refusal = tableRefusal(point.packet); !refusal.isEmpty())
        return {refusal, {}, false};
    RegisterStore* store = m_workspace->store();
    const QString value = on ? QStringLiteral("1") : QStringLiteral("0");
    if (m_editPacket) {
        store->setCellValue(point, value);
        return {{}, tr("16号命令编辑中，数值将随整页发送"), false};
    }
    if (!m_link->state().open())
        return {tr("通信未打开：请先打开串口或连接服务器，线圈未写入"), {}, false};
    if (store->images().totalCount == 0)
        return {tr("数据包未配置，线圈未写入"), {}, false};
    store->setCellValue(point, value);
    if (!m_workspace->isChecked(point.packet))
        return {{}, tr("数据包 %1 未勾选，只修改了单元格，未发送").arg(point.packet.number), false};
    m_link->requestOneShot(
        QString::fromStdString(CoilWriteText(targetOf(point.packet), point.cell, on)));
    return {{}, {}, true};
}

namespace {

// A 16-bit cell's register from the decimal text: -1 goes out as 65535.
QString UnsignedOf(const QString& decimal) {
    bool ok = false;
    const qlonglong value = decimal.trimmed().toLongLong(&ok);
    return ok && value < 0 ? QString::number(value + 65536) : decimal;
}

} // namespace

// A coil takes 0 or 1; a register the cell's format.
QString WriteService::monitorValueRefusal(PointRef point, const QString& decimal) const {
    if (!point.valid())
        return tr("单元格不存在");
    if (const QString refusal = tableRefusal(point.packet); !refusal.isEmpty())
        return refusal;
    if (isCoilPacket(point.packet)) {
        const QString value = decimal.trimmed();
        return value == QLatin1String("0") || value == QLatin1String("1")
                   ? QString()
                   : tr("线圈只能写入 0 或 1，不能写入“%1”").arg(decimal);
    }
    const int code = m_workspace->store()->formatCode(point);
    return QString::fromStdString(
        CellValueRefusal(code, decimal.toStdString(), UnsignedOf(decimal).toStdString()));
}

WriteService::Outcome WriteService::writeMonitorCell(PointRef point, const QString& decimal) {
    if (const QString refusal = monitorValueRefusal(point, decimal); !refusal.isEmpty())
        return {refusal, {}, false};
    if (!m_link->state().open())
        return {tr("通信未打开：请先打开串口或连接服务器，数值未发送"), {}, false};
    RegisterStore* store = m_workspace->store();
    if (store->images().totalCount == 0)
        return {tr("数据包未配置，数值未发送"), {}, false};
    const bool coil = isCoilPacket(point.packet);
    const int code = store->formatCode(point);
    if (const QString refusal = rangeRefusal(point, !coil && Is32BitFormat(code) ? 2 : 1);
        !refusal.isEmpty())
        return {refusal, {}, false};
    store->setCellValue(point, decimal);
    const std::string text =
        coil ? CoilWriteText(targetOf(point.packet), point.cell, CoilIsOn(decimal.toStdString()))
             : CellWriteText(targetOf(point.packet), point.cell, code, decimal.toStdString(),
                             UnsignedOf(decimal).toStdString());
    m_link->requestOneShot(QString::fromStdString(text));
    return {{}, {}, true};
}

// The page's cells as shown, each with the registers of the last reply when its text is what
// those registers show under the cell's format now.
std::vector<PageCell> WriteService::pageCells(PacketNo packet, int count) const {
    const RegisterStore* store = m_workspace->store();
    const RegisterStore::RawRegisters raw = store->lastRegisters(packet);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(raw.data.constData());
    std::vector<std::string> shown(kCellsPerPacket);
    std::vector<bool> decoded(kCellsPerPacket, false);
    FormatStore::PacketFormats formats = store->formats().Packet(packet);
    DecodeRegistersTo(std::span(bytes, static_cast<std::size_t>(raw.data.size())), raw.registers,
                      formats, [&](int cell, std::string_view text) {
                          shown[static_cast<std::size_t>(cell)] = text;
                          decoded[static_cast<std::size_t>(cell)] = true;
                      });
    std::vector<PageCell> cells;
    for (int i = 0; i < count; ++i) {
        const PointRef point{packet, i};
        PageCell cell{store->formatCode(point), store->valueText(point).toStdString(), {}};
        const int registers = Is32BitFormat(cell.code) ? 2 : 1;
        const auto at = static_cast<std::size_t>(i);
        if (decoded[at] && shown[at] == cell.text && i + registers <= raw.registers &&
            2 * (i + registers) <= raw.data.size())
            for (int b = 2 * i; b < 2 * (i + registers); ++b)
                cell.raw += HexDigits(bytes[b], 2);
        cells.push_back(std::move(cell));
    }
    return cells;
}

QStringList WriteService::pageTexts(PacketNo packet) const {
    const RegisterStore* store = m_workspace->store();
    const int count = std::min(counts()[packet.index()], kCellsPerPacket);
    if (store->images().packets[packet.index()].function == 1) {
        std::vector<bool> coils;
        for (int i = 0; i < count; ++i)
            coils.push_back(CoilIsOn(store->valueText({packet, i}).toStdString()));
        return ToQt(CoilPageWriteTexts(targetOf(packet), count, coils));
    }
    return ToQt(PageWriteTexts(targetOf(packet), count, pageCells(packet, count)));
}

void WriteService::beginPageEdit(PacketNo packet) {
    if (m_editPacket || !packet.valid())
        return;
    if (const QString refusal = tableRefusal(packet); !refusal.isEmpty()) {
        emit statusMessage(refusal);
        return;
    }
    m_editPacket = packet.number;
    m_editRowWasChecked = m_workspace->isChecked(packet);
    m_workspace->setPacketChecked(packet, false);
    emit statusMessage(tr("16号命令编辑中……"));
    emit pageEditChanged(true);
}

// One request goes out as a page write (200 ms before, 500 ms after); a page of more than 123
// registers as consecutive requests spaced like the block write.
void WriteService::endPageEdit() {
    if (!m_editPacket)
        return;
    const PacketNo packet(*m_editPacket);
    m_editPacket.reset();
    const QStringList texts = pageTexts(packet);
    if (texts.size() > 1)
        m_link->requestBlockWrite(texts);
    else
        m_link->requestPageWrite(texts.value(0));
    if (m_editRowWasChecked)
        m_workspace->setPacketChecked(packet, true);
    emit statusMessage(tr("16号命令退出编辑并成功发送..."));
    emit pageEditChanged(false);
}

ParameterFileResult WriteService::loadParameters(const QString& path) {
    RegisterStore* store = m_workspace->store();
    const PacketCounts loadedCounts = counts();
    ParameterFileResult result = LoadParameterFile(path, *store, loadedCounts);
    if (!result.error.isEmpty())
        return result;
    for (int p = 1; p <= kPacketCount; ++p) {
        std::vector<PageCell>& cells = m_loaded[static_cast<std::size_t>(p - 1)];
        cells.clear();
        for (int i = 0;
             i < std::min(loadedCounts[static_cast<std::size_t>(p - 1)], kCellsPerPacket); ++i) {
            const PointRef point{PacketNo(p), i};
            cells.push_back({store->formatCode(point), store->valueText(point).toStdString(), {}});
        }
    }
    return result;
}

WriteService::Outcome WriteService::writeParameters() {
    if (std::all_of(m_loaded.begin(), m_loaded.end(), [](const auto& c) { return c.empty(); }))
        return {tr("没有可写入的参数：请先用“读取参数”载入参数文件"), {}, false};
    const CommandImages& images = m_workspace->store()->images();
    QStringList texts;
    QStringList skipped;
    for (int p = 1; p <= kPacketCount; ++p) {
        const PacketNo packet(p);
        const PacketImage& image = images.packets[packet.index()];
        const std::vector<PageCell>& loaded = m_loaded[packet.index()];
        const int count = std::min({image.count, kCellsPerPacket, int(loaded.size())});
        if (count == 0)
            continue;
        switch (WriteTableOf(image.function)) {
        case WriteTable::Registers:
            texts << ToQt(PageWriteTexts(targetOf(packet), count, loaded));
            break;
        case WriteTable::Coils: {
            std::vector<bool> coils;
            for (int i = 0; i < count; ++i)
                coils.push_back(CoilIsOn(loaded[static_cast<std::size_t>(i)].text));
            texts << ToQt(CoilPageWriteTexts(targetOf(packet), count, coils));
            break;
        }
        case WriteTable::ReadOnly:
            skipped
                << tr("数据包 %1（功能码 %2）").arg(p).arg(image.function, 2, 10, QLatin1Char('0'));
            break;
        }
    }
    const QString note = skipped.isEmpty() ? QString()
                                           : tr("以下数据包读取只读数据，未写入：%1")
                                                 .arg(skipped.join(tr("、", "list separator")));
    if (texts.isEmpty())
        return {note.isEmpty() ? tr("没有已配置的数据包可写入参数") : note, {}, false};
    m_link->requestBlockWrite(texts);
    return {{}, note, true};
}

QString WriteService::sendCustom(const QString& typed) {
    const CustomText parsed = ParseCustomText(typed.toStdString());
    if (!parsed.refusal.empty())
        return QString::fromStdString(parsed.refusal);
    m_link->requestOneShot(QString::fromStdString(parsed.digits));
    return {};
}

} // namespace vantor
