// The class report as a table: one row per student, for a spreadsheet program.
#pragma once

#include "report/ClassReport.h"

#include <QByteArray>
#include <QString>

namespace lumo::report {

// UTF-8 with a byte order mark (so that Excel on Windows reads the Chinese), a header row, then
// per student: number, name, masked ID-card number, photographed (是/否), finding, photo file
// name; fields quoted as RFC 4180 says, lines ended by CR LF. A field that starts like a formula
// (= + - @) gets a leading apostrophe, so that the spreadsheet shows it as text.
QByteArray reportCsv(const ClassReport &report);

// reportCsv written atomically; false with *error saying why.
bool writeReportCsv(const ClassReport &report, const QString &path, QString *error);

} // namespace lumo::report
