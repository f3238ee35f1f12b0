// The few file-system calls Qt does not offer: flushing to the disk and replacing a file in one
// step. Each platform has its own implementation file, chosen by the build.
#pragma once

#include <QFileDevice>
#include <QString>

namespace lumo::common {

// Makes what was written to the open file durable. False with the reason on failure.
bool flushToDisk(QFileDevice &file, QString *reason);

// Makes the folder's list of names durable, so that a rename in it survives a power cut.
bool flushFolderToDisk(const QString &folder, QString *reason);

// Renames from over to in one step: afterwards to holds either its old content or from's.
bool replaceFile(const QString &from, const QString &to, QString *reason);

} // namespace lumo::common
