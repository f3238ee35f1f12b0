// Speed of the class archive: 3000 photos of 60000 bytes moved into a new archive by Lumo, and
// by "zip -m -j" on the same files in the same run (when zip is installed).
#include "packaging/ClassArchive.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

namespace {

constexpr int kPhotos = 3000;
constexpr int kPhotoBytes = 60000;

// Photo-like bytes: a JPEG is already compressed, so its bytes look random to an archiver.
const std::vector<QByteArray> &photoBytes()
{
    static const std::vector<QByteArray> photos = [] {
        std::vector<QByteArray> all;
        std::mt19937 random(11);
        for (int i = 0; i < kPhotos; ++i) {
            QByteArray bytes(kPhotoBytes, '\0');
            for (char &byte : bytes)
                byte = char(random() & 0xff);
            all.push_back(bytes);
        }
        return all;
    }();
    return photos;
}

void writePhotos(const QString &folder)
{
    const std::vector<QByteArray> &photos = photoBytes();
    for (int i = 0; i < kPhotos; ++i) {
        QFile file(
            QDir(folder).filePath(QStringLiteral("1101052008%1.jpg").arg(i, 8, 10, QChar(u'0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(photos[std::size_t(i)]) != kPhotoBytes)
            std::abort();
    }
}

void Pack_Lumo(benchmark::State &state)
{
    QTemporaryDir folder;
    qint64 bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(folder.filePath(QStringLiteral("一班.zip")));
        writePhotos(folder.path());
        state.ResumeTiming();
        const lumo::packaging::PackResult result =
            lumo::packaging::packClassArchive(folder.path(), QStringLiteral("一班"));
        if (result.status != lumo::packaging::PackStatus::Packed || result.photoCount != kPhotos) {
            state.SkipWithError(qPrintable(result.problem));
            break;
        }
        bytes = result.archiveBytes;
    }
    state.counters["archive_bytes"] = double(bytes);
    state.SetBytesProcessed(state.iterations() * qint64(kPhotos) * kPhotoBytes);
}
BENCHMARK(Pack_Lumo)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void Pack_ZipMoveJunkPaths(benchmark::State &state)
{
    if (QStandardPaths::findExecutable(QStringLiteral("zip")).isEmpty()) {
        state.SkipWithError("zip is not installed (scripts/install-deps --bench)");
        return;
    }
    QTemporaryDir folder;
    const QByteArray command =
        "cd '" + QFile::encodeName(folder.path()) + "' && zip -q -m -j class.zip ./*.jpg";
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(folder.filePath(QStringLiteral("class.zip")));
        writePhotos(folder.path());
        state.ResumeTiming();
        if (std::system(command.constData()) != 0) {
            state.SkipWithError("zip failed");
            break;
        }
    }
    state.counters["archive_bytes"] =
        double(QFile(folder.filePath(QStringLiteral("class.zip"))).size());
    state.SetBytesProcessed(state.iterations() * qint64(kPhotos) * kPhotoBytes);
}
BENCHMARK(Pack_ZipMoveJunkPaths)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

BENCHMARK_MAIN();
