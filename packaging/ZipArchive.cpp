#include "packaging/ZipArchive.h"

#include "common/NativePath.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <zip.h>
#include <zlib.h>

#include <memory>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::packaging {

namespace {

QString errorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

QString archiveErrorText(zip_t *archive)
{
    return QString::fromLocal8Bit(zip_error_strerror(zip_get_error(archive)));
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

struct Discard
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using OpenArchive = std::unique_ptr<zip_t, Discard>;

struct CloseEntry
{
    void operator()(zip_file_t *entry) const { zip_fclose(entry); }
};
using OpenEntry = std::unique_ptr<zip_file_t, CloseEntry>;

struct Checksum
{
    qint64 size = 0;
    quint32 crc = 0;
};

constexpr qint64 kChunkBytes = 256 * 1024;

// Size and CRC-32 of what read(buffer, capacity) gives until it returns 0; nothing when it
// fails (returns less than 0).
template <typename Read> std::optional<Checksum> checksumOf(Read read)
{
    Checksum sum;
    uLong crc = crc32(0L, Z_NULL, 0);
    std::vector<char> buffer(static_cast<std::size_t>(kChunkBytes));
    for (;;) {
        const qint64 count = read(buffer.data(), kChunkBytes);
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        crc = crc32(crc, reinterpret_cast<const Bytef *>(buffer.data()), uInt(count));
        sum.size += count;
    }
    sum.crc = quint32(crc);
    return sum;
}

std::optional<Checksum> fileChecksum(const QString &path)
{
    const int handle = ::open(common::encodePath(path).constData(), O_RDONLY | O_CLOEXEC);
    QFile file;
    if (handle < 0 || !file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (handle >= 0)
            ::close(handle);
        return std::nullopt;
    }
    return checksumOf([&](char *buffer, qint64 capacity) { return file.read(buffer, capacity); });
}

std::optional<Checksum> entryChecksum(zip_t *archive, zip_uint64_t index)
{
    const OpenEntry entry(zip_fopen_index(archive, index, 0));
    if (!entry)
        return std::nullopt;
    return checksumOf([&](char *buffer, qint64 capacity) {
        return qint64(zip_fread(entry.get(), buffer, zip_uint64_t(capacity)));
    });
}

// The index of each entry by its name's bytes as stored. libzip's own lookup compares names
// converted to UTF-8, under which a name that is not UTF-8 is never found again.
QHash<QByteArray, zip_uint64_t> entriesByName(zip_t *archive)
{
    QHash<QByteArray, zip_uint64_t> entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (const char *name = zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW))
            entries.insert(QByteArray(name), zip_uint64_t(i));
    }
    return entries;
}

// An entry's name is stored as the file system holds it. A UTF-8 name is marked as UTF-8; any other
// (a GBK name from a Windows computer) keeps its bytes unmarked, which is how Windows' own archiver
// writes names and reads them back in the system's code page. An entry of the same name is
// replaced.
zip_int64_t addOrReplace(zip_t *archive, QHash<QByteArray, zip_uint64_t> &entries,
                         const QString &name, zip_source_t *source)
{
    const QByteArray bytes = common::encodePath(name);
    if (const auto existing = entries.constFind(bytes); existing != entries.cend())
        return zip_file_replace(archive, *existing, source, 0) == 0 ? zip_int64_t(*existing) : -1;
    const bool utf8 = QString::fromUtf8(bytes).toUtf8() == bytes;
    const zip_int64_t index = zip_file_add(archive, bytes.constData(), source,
                                           utf8 ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_CP437);
    if (index >= 0)
        entries.insert(bytes, zip_uint64_t(index));
    return index;
}

void reportProgress(zip_t *, double fraction, void *listener)
{
    (*static_cast<const std::function<void(double)> *>(listener))(fraction);
}

} // namespace

bool addFilesToZip(const QString &archivePath, const QString &shownPath,
                   const std::vector<ArchiveEntry> &entries,
                   const std::function<void(double)> &progress, QString *reason)
{
    int code = 0;
    struct stat status = {};
    const bool empty =
        ::stat(common::encodePath(archivePath).constData(), &status) != 0 || status.st_size == 0;
    const int mode = empty ? ZIP_CREATE | ZIP_TRUNCATE : ZIP_CREATE;
    OpenArchive archive(zip_open(common::encodePath(archivePath).constData(), mode, &code));
    if (!archive) {
        *reason = QStringLiteral("无法打开压缩包 %1：%2").arg(shown(shownPath), errorText(code));
        return false;
    }
    QHash<QByteArray, zip_uint64_t> indexByName = entriesByName(archive.get());
    for (const ArchiveEntry &entry : entries) {
        zip_source_t *source =
            zip_source_file(archive.get(), common::encodePath(entry.sourcePath).constData(), 0, -1);
        const zip_int64_t index =
            source ? addOrReplace(archive.get(), indexByName, entry.name, source) : -1;
        if (index < 0) {
            *reason = QStringLiteral("无法读取照片 %1：%2")
                          .arg(shown(entry.sourcePath), archiveErrorText(archive.get()));
            if (source)
                zip_source_free(source);
            return false;
        }
        // A JPEG is compressed already: deflating it again gains about one per cent and costs
        // most of the packing time.
        zip_set_file_compression(archive.get(), zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (progress)
        zip_register_progress_callback_with_state(
            archive.get(), 0.001, reportProgress, nullptr,
            const_cast<std::function<void(double)> *>(&progress));
    if (zip_close(archive.get()) != 0) {
        *reason = QStringLiteral("无法写入压缩包 %1：%2")
                      .arg(shown(shownPath), archiveErrorText(archive.get()));
        return false;
    }
    archive.release();
    return true;
}

bool zipHoldsFiles(const QString &archivePath, const QString &shownPath,
                   std::vector<ArchiveEntry> &entries, QString *reason)
{
    int code = 0;
    OpenArchive archive(
        zip_open(common::encodePath(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        *reason =
            QStringLiteral("写好的压缩包 %1 无法读回：%2").arg(shown(shownPath), errorText(code));
        return false;
    }
    const QHash<QByteArray, zip_uint64_t> indexByName = entriesByName(archive.get());
    for (ArchiveEntry &entry : entries) {
        const auto found = indexByName.constFind(common::encodePath(entry.name));
        if (found == indexByName.cend()) {
            *reason = QStringLiteral("压缩包中缺少照片 %1。").arg(entry.name);
            return false;
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        const std::optional<Checksum> stored = zip_stat_index(archive.get(), *found, 0, &stat) == 0
                                                   ? entryChecksum(archive.get(), *found)
                                                   : std::nullopt;
        if (!stored || qint64(stat.size) != stored->size || stat.crc != stored->crc) {
            *reason = QStringLiteral("压缩包中的照片 %1 无法读回。").arg(entry.name);
            return false;
        }
        entry.storedSize = stored->size;
        entry.storedCrc = stored->crc;
    }
    return true;
}

bool fileHoldsStoredBytes(const ArchiveEntry &entry)
{
    const std::optional<Checksum> file = fileChecksum(entry.sourcePath);
    return file && file->size == entry.storedSize && file->crc == entry.storedCrc;
}

} // namespace lumo::packaging
