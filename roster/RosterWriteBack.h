// The write-back of the photo marks into the class-list workbook, without any window: the
// shut-down and "lumo-cli roster mark" both use it.
#pragma once

#include "roster/PhotoMarks.h"
#include "roster/RosterTable.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace lumo::roster {

struct WriteBackResult
{
    bool ok = false;
    int written = 0;   // cells that now hold the mark
    QStringList notes; // rows left alone, and why
    QString error;     // why nothing was written
};

// The students of the table (up to the end of the class) whose photo mark is "是".
std::vector<PhotoMark> photoMarksOf(const RosterTable &table);

// Why a read-only workbook (no write permission for anyone) gets no marks.
QString readOnlyWorkbookMessage(const QString &path);

// Re-reads the workbook and writes "是" into column C of every marked row that still holds the
// same name and ID-card number (without surrounding white space) and no mark yet. The new file
// is written beside the workbook, read back and checked, and only then put in its place, while
// the workbook is still the version that was read; a version that another program saved
// meanwhile is read and marked instead. On any failure the workbook stays as it was and the
// reason is logged. Tests only: beforeCommit runs between the read and the commit.
WriteBackResult writePhotoMarks(const QString &path, const std::vector<PhotoMark> &marks,
                                const std::function<void()> &beforeCommit = {});

} // namespace lumo::roster
