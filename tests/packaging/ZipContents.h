// Test helpers for class archives: what an archive holds, read with libzip, and a folder of
// photos to pack.
#pragma once

#include "packaging/ClassArchive.h"
#include "tests/support/TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QString>
#include <QTemporaryDir>

#include <zip.h>

namespace packtest {

// Entry name → bytes; empty when the archive cannot be opened.
inline QMap<QString, QByteArray> zipContents(const QString &path)
{
    QMap<QString, QByteArray> contents;
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive)
        return contents;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        QByteArray bytes(qsizetype(stat.size), '\0');
        zip_file_t *entry = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (entry) {
            zip_fread(entry, bytes.data(), stat.size);
            zip_fclose(entry);
        }
        contents.insert(QString::fromUtf8(stat.name), bytes);
    }
    zip_discard(archive);
    return contents;
}

// Bytes that no compressor can shrink, like a JPEG's.
inline QByteArray photoBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator random(seed);
    for (char &byte : bytes)
        byte = char(random.generate() & 0xff);
    return bytes;
}

// Writes the photo into the folder and returns its bytes.
inline QByteArray putPhoto(const QString &folder, const QString &name, qsizetype size = 6000,
                           quint32 seed = 1)
{
    const QByteArray bytes = photoBytes(size, seed);
    writeBytes(QDir(folder).filePath(name), bytes);
    return bytes;
}

// The names in the folder, hidden ones too, in code-unit order.
inline QStringList folderListing(const QString &folder)
{
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Puts one photo into the folder, sized so that the archive "<name>.zip" packed from it alone
// is exactly archiveBytes long (measured by packing a small photo of the same name).
inline void fillForArchiveOf(const QString &folder, const QString &photo, const QString &name,
                             qint64 archiveBytes)
{
    QTemporaryDir scratch;
    constexpr qsizetype kProbe = 1000;
    putPhoto(scratch.path(), photo, kProbe);
    const qint64 overhead = packaging::packClassArchive(scratch.path(), name).archiveBytes - kProbe;
    putPhoto(folder, photo, qsizetype(archiveBytes - overhead), 7);
}

} // namespace packtest
