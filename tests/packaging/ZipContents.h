// Test helpers for class archives: a folder of photos to pack, and what an archive holds.
#pragma once

#include "packaging/ClassArchive.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <zip.h>

namespace packtest {

// Entry name → bytes; empty when the archive cannot be opened.
inline QMap<QString, QByteArray> zipContents(const QString &path)
{
    QMap<QString, QByteArray> contents;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr);
    for (zip_int64_t i = 0; archive && i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        QByteArray bytes(qsizetype(stat.size), '\0');
        zip_file_t *entry = zip_fopen_index(archive, zip_uint64_t(i), 0);
        zip_fread(entry, bytes.data(), stat.size);
        zip_fclose(entry);
        contents.insert(QString::fromUtf8(stat.name), bytes);
    }
    if (archive)
        zip_discard(archive);
    return contents;
}

// Writes a photo of bytes no compressor can shrink, like a JPEG's, and returns them.
inline QByteArray putPhoto(const QString &folder, const QString &name, qsizetype size = 6000,
                           quint32 seed = 1)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator random(seed);
    for (char &byte : bytes)
        byte = char(random.generate() & 0xff);
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
    putPhoto(scratch.path(), photo, 1000);
    const qint64 overhead =
        lumo::packaging::packClassArchive(scratch.path(), name).archiveBytes - 1000;
    putPhoto(folder, photo, qsizetype(archiveBytes - overhead), 7);
}

} // namespace packtest
