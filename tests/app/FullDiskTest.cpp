// SPDX-License-Identifier: GPL-3.0-or-later
// Every file the program saves, written where the disk is full: a file-size limit makes each
// write past it fail as a full disk does. The save says why, and the old file stays whole. The
// files are smaller than the write buffer, so that the disk is found full only when the last
// buffered bytes are flushed, at the moment the new file would replace the old one.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <vector>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

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

struct Saver {
    const char* what;
    Save save;
};

// A small tmpfs of its own, mounted for the test's life (root only).
class SmallTmpfs {
public:
    SmallTmpfs() {
        m_ok = m_dir.isValid() &&
               ::mount("tmpfs", m_dir.path().toLocal8Bit().constData(), "tmpfs", 0,
                       "size=256k") == 0;
    }
    ~SmallTmpfs() {
        if (m_ok)
            ::umount(m_dir.path().toLocal8Bit().constData());
    }
    bool ok() const { return m_ok; }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};

// Every saver, where the disk is full as `fill` makes it (a guard that ends it): the save says
// why, the old file stays whole, nothing is left behind, and the same save succeeds afterwards.
void ExpectSaversKeepTheOldFile(const std::vector<Saver>& savers, const QString& folder,
                                const std::function<std::shared_ptr<void>(qint64 size)>& fill) {
    for (const Saver& saver : savers) {
        SCOPED_TRACE(saver.what);
        const QString path = QDir(folder).filePath(QStringLiteral("saved"));
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
            const std::shared_ptr<void> full = fill(size);
            error = saver.save(path);
        }
        ASSERT_TRUE(error.has_value()) << "a failed save reported as done";
        EXPECT_FALSE(error->isEmpty());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), old) << "the old file was replaced";
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"saved"})
            << "a temporary file was left behind";
        EXPECT_EQ(saver.save(path), std::nullopt) << "the same save with room again";
        QFile::remove(path);
    }
}

class FullDisk : public ::testing::Test {
protected:
    FullDisk() {
        counts[0] = 60;
        for (int k = 0; k < 400; ++k) {
            profile.setValue(QStringLiteral("MconfigInfo"), QStringLiteral("键%1").arg(k),
                             QStringLiteral("值%1").arg(k));
            shared.append({QString::number(k), QStringLiteral("%1.000").arg(k)});
        }
        savers = {
            {"project or Config.ini", [this](const QString& path) { return profile.Save(path); }},
            {"parameter file",
             [this](const QString& path) -> std::optional<QString> {
                 const ParameterFileResult result = SaveParameterFile(path, store, counts);
                 return result.error.isEmpty() ? std::nullopt : std::optional(result.error);
             }},
            {"share.ini",
             [this](const QString& path) -> std::optional<QString> {
                 QString error;
                 return WriteShareIni(path, shared, &error) ? std::nullopt : std::optional(error);
             }},
            {"curve file", [this](const QString& path) { return SaveTeeFile(path, chart); }},
            {"curve CSV", [this](const QString& path) { return SaveCurveCsv(path, chart); }},
        };
    }

    RegisterStore store;
    PacketCounts counts{};
    ProfileFile profile;
    ShareEntries shared;
    const ChartSnapshot chart = LongChart();
    std::vector<Saver> savers;
};

TEST_F(FullDisk, UnderAFileSizeLimitEverySaverKeepsTheOldFileAndSaysWhy) {
    QTemporaryDir dir;
    ExpectSaversKeepTheOldFile(savers, dir.path(), [](qint64 size) {
        return std::make_shared<FileSizeLimit>(static_cast<rlim_t>(size / 2));
    });
}

// A tmpfs filled to the last block by another file, as a full disk is.
TEST_F(FullDisk, OnAFullTmpfsEverySaverKeepsTheOldFileAndSaysWhy) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a tmpfs needs root; the file-size limit test covers the rest";
    SmallTmpfs disk;
    if (!disk.ok())
        GTEST_SKIP() << "no tmpfs could be mounted here (" << std::strerror(errno)
                     << "); the file-size limit test covers the savers";
    ExpectSaversKeepTheOldFile(savers, disk.path(), [&disk](qint64) {
        const QString fillerPath = QDir(disk.path()).filePath(QStringLiteral("filler"));
        auto filler = std::shared_ptr<QFile>(new QFile(fillerPath), [](QFile* file) {
            file->remove();
            delete file;
        });
        if (filler->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            const QByteArray block(4096, 'f');
            while (filler->write(block) == block.size()) {
            }
            filler->close();
        }
        return filler;
    });
}

} // namespace
} // namespace vantor
