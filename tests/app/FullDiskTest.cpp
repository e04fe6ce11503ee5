// Every file the program saves, written where the disk is full: a file-size limit makes each
// write past it fail as a full disk does. The save says why, and the old file stays whole. The
// files are smaller than the write buffer, so that the disk is found full only when the last
// buffered bytes are flushed, at the moment the new file would replace the old one.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>

#include "files/ShareIni.h"
#include "project/ProfileFile.h"
#include "registers/RegisterStore.h"
#include "trend/CurveCsv.h"
#include "trend/TeeFile.h"
#include "writes/ParameterFile.h"

namespace vantor {
namespace {

// While it lives, writes past `bytes` in any file fail with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

ChartSnapshot LongChart() {
    ChartSnapshot chart;
    for (int s = 0; s < 2; ++s) {
        SeriesSnapshot& series = chart.series.emplace_back();
        series.title = QStringLiteral("4x%1").arg(s, 5, 10, QLatin1Char('0'));
        for (int i = 0; i < 300; ++i)
            series.ys.push_back(i * 0.5);
    }
    return chart;
}

using Save = std::function<std::optional<QString>(const QString& path)>;

TEST(FullDisk, EverySaverKeepsTheOldFileAndSaysWhy) {
    RegisterStore store;
    PacketCounts counts{};
    counts[0] = 60;
    ProfileFile profile;
    ShareEntries shared;
    for (int k = 0; k < 400; ++k) {
        profile.setValue(QStringLiteral("MconfigInfo"), QStringLiteral("键%1").arg(k),
                         QStringLiteral("值%1").arg(k));
        shared.append({QString::number(k), QStringLiteral("%1.000").arg(k)});
    }
    const ChartSnapshot chart = LongChart();
    const struct {
        const char* what;
        Save save;
    } savers[] = {
        {"project or Config.ini", [&](const QString& path) { return profile.Save(path); }},
        {"parameter file",
         [&](const QString& path) -> std::optional<QString> {
             const ParameterFileResult result = SaveParameterFile(path, store, counts);
             return result.error.isEmpty() ? std::nullopt : std::optional(result.error);
         }},
        {"share.ini",
         [&](const QString& path) -> std::optional<QString> {
             QString error;
             return WriteShareIni(path, shared, &error) ? std::nullopt : std::optional(error);
         }},
        {"curve file", [&](const QString& path) { return SaveTeeFile(path, chart); }},
        {"curve CSV", [&](const QString& path) { return SaveCurveCsv(path, chart); }},
    };
    for (const auto& saver : savers) {
        SCOPED_TRACE(saver.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saved"));
        ASSERT_EQ(saver.save(path), std::nullopt);
        const qint64 size = QFileInfo(path).size();
        ASSERT_GT(size, 2000);
        const QByteArray old(3000, 'o');
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(old), old.size());
        }
        std::optional<QString> error;
        {
            const FileSizeLimit full(static_cast<rlim_t>(size / 2));
            error = saver.save(path);
        }
        ASSERT_TRUE(error.has_value()) << "a failed save reported as done";
        EXPECT_FALSE(error->isEmpty());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), old) << "the old file was replaced";
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"saved"})
            << "a temporary file was left behind";
        EXPECT_EQ(saver.save(path), std::nullopt) << "the same save without the limit";
    }
}

} // namespace
} // namespace vantor
