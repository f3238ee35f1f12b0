// "lumo-cli roster": the class list of a workbook as the import reads it, the pre-flight of its
// ID-card numbers, and the photo marks written into it as the shut-down does.
#include "cli/RosterCommand.h"

#include "roster/Preflight.h"
#include "roster/RosterImport.h"
#include "roster/RosterWriteBack.h"

#include <cstdio>

using namespace lumo::roster;

namespace {

void printLine(std::FILE *out, const QString &line)
{
    std::fputs(line.toUtf8().constData(), out);
    std::fputc('\n', out);
}

int showUsage(std::FILE *out)
{
    printLine(out, QStringLiteral(
                       "usage: lumo-cli roster show WORKBOOK\n"
                       "       lumo-cli roster check WORKBOOK\n"
                       "       lumo-cli roster mark WORKBOOK NUMBER...\n\n"
                       "show: one tab-separated line per student (number, name, ID-card number, "
                       "photo mark, class), then the import's summary.\n"
                       "check: the pre-flight of the ID-card numbers, one tab-separated line per "
                       "finding (student number, name, ID-card number, code: checksum, "
                       "birth-date, format, duplicate, missing-id, spaces, not-resident-id); "
                       "exit 0 without findings, 1 with findings, 2 when the workbook cannot be "
                       "read. not-resident-id (another document) is information: printed, but "
                       "alone it does not make the exit status 1.\n"
                       "mark: writes the photo mark \"是\" into column C of those students' rows.\n"
                       "Workbooks: .xls (Excel 97 and later), .xlsx, .csv (UTF-8 or GBK); the "
                       "class list is the sheet \"sheet1\"."));
    return out == stdout ? 0 : 2;
}

// Reads the class list as Lumo's import does; a failure is told with the import's message.
RosterImportResult importOrReport(const QString &path, RosterTable &table)
{
    const RosterImportResult result = importRoster(path, table);
    if (!result.ok) {
        printLine(stderr, kWorkbookRequirementsMessage);
        printLine(stderr, QStringLiteral("(%1)").arg(result.reason));
    }
    return result;
}

int show(const QString &path)
{
    RosterTable table;
    const RosterImportResult result = importOrReport(path, table);
    if (!result.ok)
        return 1;
    for (int row = 1; row <= result.studentCount; ++row) {
        printLine(stdout, QStringList{QString::number(row), table.name(row), table.idNumber(row),
                                      table.photoMark(row), table.className(row)}
                              .join(u'\t'));
    }
    printLine(stdout, importSummary(result));
    return 0;
}

int check(const QString &path)
{
    RosterTable table;
    const RosterImportResult result = importOrReport(path, table);
    if (!result.ok)
        return 2;
    bool needsFixing = false;
    for (const PreflightFinding &finding : preflightClass(table, result.studentCount)) {
        printLine(stdout, QStringList{QString::number(finding.row), finding.name, finding.idNumber,
                                      finding.code}
                              .join(u'\t'));
        needsFixing = needsFixing || !finding.isInformation();
    }
    return needsFixing ? 1 : 0;
}

int mark(const QString &path, const QStringList &numbers)
{
    RosterTable table;
    const RosterImportResult imported = importOrReport(path, table);
    if (!imported.ok)
        return 1;
    for (const QString &text : numbers) {
        bool ok = false;
        const int number = text.toInt(&ok);
        if (!ok || number < 1 || number > imported.studentCount) {
            printLine(stderr, QStringLiteral("lumo-cli roster: no student number %1").arg(text));
            return 2;
        }
        table.setCell(number, RosterTable::kPhotoMark, kPhotoTakenMark);
    }
    const WriteBackResult result = writePhotoMarks(path, photoMarksOf(table));
    for (const QString &note : result.notes)
        printLine(stderr, note);
    if (!result.ok) {
        printLine(stderr, QStringLiteral("lumo-cli roster: nothing written: %1").arg(result.error));
        return 1;
    }
    printLine(stdout, QStringLiteral("%1 photo marks written").arg(result.written));
    return 0;
}

} // namespace

int runRosterCommand(const QStringList &arguments)
{
    if (arguments.value(0) == u"--help" || arguments.value(0) == u"-h")
        return showUsage(stdout);
    if (arguments.size() == 2 && arguments[0] == u"show")
        return show(arguments[1]);
    if (arguments.size() == 2 && arguments[0] == u"check")
        return check(arguments[1]);
    if (arguments.size() >= 3 && arguments[0] == u"mark")
        return mark(arguments[1], arguments.mid(2));
    return showUsage(stderr);
}
