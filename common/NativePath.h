// File names as the system holds them: bytes. A USB stick written on Windows holds names in GBK,
// which are not UTF-8; Qt would turn those bytes into U+FFFD, and its folder listings leave such
// files out. Here every byte is kept: a byte that is not part of valid UTF-8 becomes the code
// point U+DC80..U+DCFF (as Python's "surrogateescape" does) and is written back as that byte.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace lumo::common {

QString decodePath(QByteArrayView bytes);
QByteArray encodePath(const QString &path);

enum class PathKind { Missing, File, Folder, Other };

// What the path names, following symbolic links.
PathKind pathKind(const QString &path);

// The names of the regular files in the folder (symbolic links to files too), unsorted; empty
// when it cannot be read.
QStringList fileNamesIn(const QString &folder);

} // namespace lumo::common
