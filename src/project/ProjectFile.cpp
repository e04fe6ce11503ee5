// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/ProjectFile.h"
#include "project/ProjectKeys.h"
#include "project/PublishKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "registers/RegisterStore.h"
#include "registers/Workspace.h"

namespace vantor {

namespace {

const QString kSection = QString::fromLatin1(kProjectSection);
const QString kLinkSection = QString::fromLatin1(kProjectLinkSection);
const QString kExtraSection = QString::fromLatin1(kProjectExtraSection);
// The sections a project save writes; every other section of the file stays as it was.
const std::array<QString, 3> kOwnedSections{kSection, kLinkSection, kExtraSection};

// Keys of the settings section that every project holds, besides the numbered ones
// (KnownNumberedKey); a file with none of them is no project. Project keys: not translated.
constexpr std::array<const char*, 17> kSettingKeys{
    // not translated: project keys
    "服务器地址", "串口号", "波特率", "校验位", "数据位", "停止位",
    // not translated: project keys
    "发包间隔", "曲线数", "MaxHz", "AnnoFont", "LegendFont", "LineSpace",
    // not translated: project keys
    "SeriesWidth", "Sample", "Radio1", "Radio2", "数据包个"};

QString Key(const char* text) {
    return QString::fromUtf8(text);
}

QString CellKey(int packet, int cell) {
    return QStringLiteral("Page%1_Index%2").arg(packet).arg(cell);
}

// Curve and packet cells ("12b", "3c", "0d"), monitoring captions, units and rates, cell keys.
bool KnownNumberedKey(const QString& key) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d+(b|c|d|Static|Unit|Rate)|Page\\d+_Index\\d+(_val|_color|_fcolor|_type)?)$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern.match(key).hasMatch();
}

// Each key of the owned sections in `fresh` into `target`, unless its value is the one `before`
// had and the target holds the key (its text stays as written there); keys that `before` had
// and `fresh` has not go.
void MergeOwned(const ProfileFile& fresh, const ProfileFile& before, ProfileFile& target) {
    for (const QString& section : kOwnedSections) {
        for (const QString& key : fresh.keys(section)) {
            const QString value = fresh.fullValue(section, key);
            if (before.contains(section, key) && before.fullValue(section, key) == value &&
                target.contains(section, key))
                continue;
            target.setValue(section, key, value);
        }
        for (const QString& key : before.keys(section))
            if (!fresh.contains(section, key))
                target.removeKey(section, key);
    }
}

// The owned sections' keys and values, without those that change by themselves: cell values
// (polling) and the port index (a place in the port list, which changes as devices come and go).
QStringList SettingLines(const ProfileFile& p) {
    QStringList lines;
    for (const QString& section : kOwnedSections)
        for (const QString& key : p.keys(section))
            // "串口号": a project key, not translated
            if (!key.endsWith(QLatin1String("_val"), Qt::CaseInsensitive) && key != Key("串口号"))
                lines << section + QLatin1Char('/') + key + QLatin1Char('=') +
                             p.fullValue(section, key);
    return lines;
}

bool SameFile(const QString& a, const QString& b) {
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

void WriteProject(const Workspace& ws, const ProjectCounts& counts, ProfileFile& p) {
    WriteProjectKeys(ws, counts, p);
    WritePublishKeys(ws.publishSettings(), p);
}

void ReadProject(const ProfileFile& p, Workspace& ws) {
    ProjectReading reading{p, ws};
    // Trend settings that are missing or refused keep the defaults the reading starts from.
    for (ReadStep step : {ReadStep::Serial, ReadStep::Curves, ReadStep::Trend})
        ReadProjectKeys(reading, step);
    ws.setTrendSettings(reading.trend);
    for (ReadStep step :
         {ReadStep::Formats, ReadStep::Monitors, ReadStep::Packets, ReadStep::Interval})
        ReadProjectKeys(reading, step);
    ws.setUserNames(true);
    ReadProjectKeys(reading, ReadStep::LinkMode);
    ws.setPublishSettings(ReadPublishKeys(p));
}

void ReadProjectLink(const ProfileFile& p, Workspace& ws) {
    ProjectReading reading{p, ws};
    reading.tcp = ws.tcp();
    ReadProjectKeys(reading, ReadStep::Link);
    ws.setTcp(reading.tcp);
    ReadProjectKeys(reading, ReadStep::TypedPort);
}

void ReadProjectCells(const ProfileFile& p, const ProjectCounts& counts, Workspace& ws) {
    ProjectReading reading{p, ws, counts};
    ReadProjectKeys(reading, ReadStep::Cells);
}

void ReadProjectNames(const ProfileFile& p, Workspace& ws) {
    RegisterStore* store = ws.store();
    for (int packet = 1; packet <= kPacketCount; ++packet) {
        const int count =
            std::clamp(p.intValue(kSection, QStringLiteral("%1c").arg(7 * (packet - 1) + 4)), 0,
                       kCellsPerPacket);
        for (int i = 0; i < count; ++i) {
            const QString key = CellKey(packet, i);
            store->setCellLabel({PacketNo(packet), i}, p.value(kSection, key));
            store->setCellValue({PacketNo(packet), i},
                                p.value(kSection, key + QStringLiteral("_val")));
        }
    }
}

ProjectOpen ReadProjectFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    ProfileFile::Load load = ProfileFile::Read(path);
    if (!load.profile)
        return {std::nullopt, load.error};
    if (!load.existed)
        return {
            std::nullopt,
            QCoreApplication::translate("vantor::ProjectFile", "工程文件 %1 不存在").arg(shown)};
    const ProfileFile& p = *load.profile;
    if (!p.textIsClean())
        return {std::nullopt,
                QCoreApplication::translate("vantor::ProjectFile",
                                            "工程文件 %1 无法打开：文件已损坏或不是文本文件")
                    .arg(shown)};
    if (!p.containsSection(kSection))
        return {std::nullopt, QCoreApplication::translate("vantor::ProjectFile",
                                                          "工程文件 %1 不是工程文件：没有 [%2] 段")
                                  .arg(shown, kSection)};
    const QStringList keys = p.keys(kSection);
    if (std::none_of(kSettingKeys.begin(), kSettingKeys.end(),
                     [&p](const char* key) { return p.contains(kSection, Key(key)); }) &&
        std::none_of(keys.begin(), keys.end(), KnownNumberedKey))
        return {std::nullopt,
                QCoreApplication::translate("vantor::ProjectFile",
                                            "工程文件 %1 不是工程文件：[%2] 段中没有工程设置")
                    .arg(shown, kSection)};
    return {std::move(load.profile), {}};
}

ProjectBaseline MakeBaseline(const QString& path, const ProfileFile& file, const Workspace& ws,
                             const ProjectCounts& counts) {
    ProjectBaseline baseline{path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath(),
                             file, {}};
    WriteProject(ws, counts, baseline.written);
    return baseline;
}

bool ProjectChanged(const ProjectBaseline& baseline, const Workspace& ws,
                    const ProjectCounts& counts) {
    ProfileFile now;
    WriteProject(ws, counts, now);
    return SettingLines(now) != SettingLines(baseline.written);
}

std::optional<QString> SaveProject(const QString& path, const Workspace& workspace,
                                   const ProjectCounts& counts, ProjectBaseline* baseline) {
    ProfileFile::Load existing = ProfileFile::Read(path);
    if (!existing.profile)
        return QCoreApplication::translate("vantor::ProjectFile", "工程文件 %1 保存失败：%2")
            .arg(QDir::toNativeSeparators(path), existing.error);
    ProfileFile& target = *existing.profile;
    const bool merge =
        baseline && (!existing.existed || (!baseline->path.isEmpty() && SameFile(baseline->path, path)));
    ProfileFile fresh;
    WriteProject(workspace, counts, fresh);
    if (merge) {
        if (!existing.existed)
            target = baseline->file; // a new file starts as the project it was opened from
        MergeOwned(fresh, baseline->written, target);
    } else {
        WriteProject(workspace, counts, target);
    }
    if (auto error = target.Save(path))
        return error;
    if (baseline)
        *baseline = {QFileInfo(path).absoluteFilePath(), std::move(target), std::move(fresh)};
    return std::nullopt;
}

} // namespace vantor
