// Test helpers for class archives: a folder of photos to pack, and what an archive holds.
#pragma once

#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>

#include <algorithm>

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
inline QByteArray putPhoto(const QString &folder, const QString &name, qsizetype size,
                           quint32 seed = 1)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator random(seed);
    std::generate(bytes.begin(), bytes.end(), [&] { return char(random.generate()); });
    writeBytes(QDir(folder).filePath(name), bytes);
    return bytes;
}

// Name → bytes of everything in the folder, hidden files too (no bytes for a folder).
inline QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    for (const QString &name :
         QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        contents.insert(name, readBytes(QDir(folder).filePath(name)));
    return contents;
}

} // namespace packtest
