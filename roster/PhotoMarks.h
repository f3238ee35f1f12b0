// What the write-back puts into a workbook: the photo mark "是" in column C of student rows.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace lumo::roster {

inline const QString kPhotoTakenMark = QStringLiteral("是");

// A student row of the class list (0-based worksheet row: student i is row i) that gets the mark
// when the workbook still holds the same name and ID-card number there.
struct PhotoMark
{
    int row = 0;
    QString name;
    QString idNumber;
};

// A format writer's result: the workbook's new bytes with "是" in column C of the rows it was
// given, except skippedRows (cells it must not replace); or the reason it wrote nothing.
struct MarkedBytes
{
    QByteArray bytes;
    std::vector<int> skippedRows;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

} // namespace lumo::roster
