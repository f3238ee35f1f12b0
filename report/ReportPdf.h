// The class report as a contact sheet on A4 for the teacher to check and sign: every student in
// roster order with the photo at its true printed size, or an empty box where it is missing.
// Draws with Qt Gui: a QGuiApplication must exist (the offscreen platform serves).
#pragma once

#include "report/ClassReport.h"

#include <QString>

#include <functional>

namespace lumo::report {

inline constexpr int kStudentsPerPage = 30; // 6 columns by 5 rows

// Pages of a report on that many students: at least one, for the header and the signature.
int reportPageCount(int studentCount);

// Writes the PDF atomically. progress is called after each student; false from it cancels, and
// nothing is written. False with *error saying why.
bool writeReportPdf(const ClassReport &report, const QString &path, QString *error,
                    const std::function<bool(int done, int total)> &progress = {});

} // namespace lumo::report
