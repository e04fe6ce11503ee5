#include "writes/WriteService.h"

#include "modbus/LinkController.h"
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
    PacketCounts counts{};
    const CommandImages& images = m_workspace->store()->images();
    for (int i = 0; i < kPacketCount; ++i)
        counts[i] = images.packets[i].count;
    return counts;
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
        return {QStringLiteral("单元格不存在"), {}, false};
    RegisterStore* store = m_workspace->store();
    const int code = store->formatCode(point);
    const std::string d = decimal.toStdString();
    const std::string u = unsignedText.toStdString();
    if (const std::string refusal = CellValueRefusal(code, d, u); !refusal.empty())
        return {QString::fromStdString(refusal), {}, false};
    store->setCellValue(point, decimal);
    if (m_editPacket)
        return {{}, QStringLiteral("16号命令编辑中，数值将随整页发送"), false};
    if (!m_workspace->isChecked(point.packet))
        return {{},
                QStringLiteral("数据包 %1 未勾选，只修改了单元格，未发送").arg(point.packet.number),
                false};
    if (store->images().totalCount == 0)
        return {{}, QStringLiteral("数据包未配置，只修改了单元格，未发送"), false};
    const std::string text = CellWriteText(targetOf(point.packet), point.cell, code, d, u);
    m_link->requestOneShot(QString::fromStdString(text));
    return {{}, {}, true};
}

bool WriteService::isCoilPacket(PacketNo packet) const {
    if (!packet.valid())
        return false;
    const int function = m_workspace->store()->images().packets[packet.index()].function;
    return function == 1 || function == 2;
}

int WriteService::coilAddress(PointRef point) const {
    return targetOf(point.packet).start + point.cell;
}

WriteService::Outcome WriteService::writeCoil(PointRef point, bool on) {
    if (!point.valid())
        return {QStringLiteral("单元格不存在"), {}, false};
    RegisterStore* store = m_workspace->store();
    const QString value = on ? QStringLiteral("1") : QStringLiteral("0");
    if (m_editPacket) {
        store->setCellValue(point, value);
        return {{}, QStringLiteral("16号命令编辑中，数值将随整页发送"), false};
    }
    if (!m_link->state().open())
        return {QStringLiteral("通信未打开：请先打开串口或连接服务器，线圈未写入"), {}, false};
    if (store->images().totalCount == 0)
        return {QStringLiteral("数据包未配置，线圈未写入"), {}, false};
    store->setCellValue(point, value);
    if (!m_workspace->isChecked(point.packet))
        return {{},
                QStringLiteral("数据包 %1 未勾选，只修改了单元格，未发送").arg(point.packet.number),
                false};
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

QString WriteService::monitorValueRefusal(PointRef point, const QString& decimal) const {
    if (!point.valid())
        return QStringLiteral("单元格不存在");
    const int code = m_workspace->store()->formatCode(point);
    return QString::fromStdString(
        CellValueRefusal(code, decimal.toStdString(), UnsignedOf(decimal).toStdString()));
}

WriteService::Outcome WriteService::writeMonitorCell(PointRef point, const QString& decimal) {
    if (const QString refusal = monitorValueRefusal(point, decimal); !refusal.isEmpty())
        return {refusal, {}, false};
    if (!m_link->state().open())
        return {QStringLiteral("通信未打开：请先打开串口或连接服务器，数值未发送"), {}, false};
    RegisterStore* store = m_workspace->store();
    if (store->images().totalCount == 0)
        return {QStringLiteral("数据包未配置，数值未发送"), {}, false};
    const int code = store->formatCode(point);
    store->setCellValue(point, decimal);
    const std::string text =
        CellWriteText(targetOf(point.packet), point.cell, code, decimal.toStdString(),
                      UnsignedOf(decimal).toStdString());
    m_link->requestOneShot(QString::fromStdString(text));
    return {{}, {}, true};
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
    std::vector<PageCell> cells;
    for (int i = 0; i < count; ++i) {
        const PointRef point{packet, i};
        cells.push_back({store->formatCode(point), store->valueText(point).toStdString()});
    }
    return ToQt(PageWriteTexts(targetOf(packet), count, cells));
}

void WriteService::beginPageEdit(PacketNo packet) {
    if (m_editPacket || !packet.valid())
        return;
    m_editPacket = packet.number;
    m_editRowWasChecked = m_workspace->isChecked(packet);
    m_workspace->setPacketChecked(packet, false);
    emit statusMessage(QStringLiteral("16号命令编辑中……"));
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
    emit statusMessage(QStringLiteral("16号命令退出编辑并成功发送..."));
    emit pageEditChanged(false);
}

void WriteService::writeParameters() {
    QStringList texts;
    for (int p = 1; p <= kPacketCount; ++p)
        texts << pageTexts(PacketNo(p));
    m_link->requestBlockWrite(texts);
}

QString WriteService::sendCustom(const QString& typed) {
    const CustomText parsed = ParseCustomText(typed.toStdString());
    if (!parsed.refusal.empty())
        return QString::fromStdString(parsed.refusal);
    m_link->requestOneShot(QString::fromStdString(parsed.digits));
    return {};
}

} // namespace vantor
