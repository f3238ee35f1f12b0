// lumo-cli-report: "lumo-cli report ..." as a program of its own, since drawing the report's pages
// loads Qt Gui and its fonts, which lumo-cli itself does without.
#include "cli/CommandMain.h"
#include "report/ClassReport.h"
#include "report/ReportCsv.h"
#include "report/ReportPdf.h"
#include "roster/RosterImport.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

using namespace lumo;

namespace {

const char *const kUsage =
    "usage: lumo-cli report WORKBOOK PHOTO_FOLDER OUT.pdf [--csv OUT.csv]\n"
    "                       [--school-code CODE --class-number NUMBER]\n"
    "\n"
    "Writes the class report the teacher checks and signs: an A4 contact sheet of every student\n"
    "of the workbook's class list in roster order, each photo found in PHOTO_FOLDER as Lumo saves\n"
    "it and printed at its true size (26 x 32 mm), an empty box where a photo is missing, the\n"
    "ID-card numbers masked in the middle, and a line for the signature. --csv also writes it as\n"
    "a table (UTF-8 with BOM): number, name, masked ID-card number, photographed, finding,\n"
    "photo file.\n"
    "With the school's 10-digit registry code and the class number, students without an\n"
    "ID-card number are found under the registry's name in PHOTO_FOLDER/无身份证学生.\n"
    "\n"
    "Exit status: 0 when written, 1 when the workbook cannot be read or a report cannot be\n"
    "written, 2 for wrong arguments.\n";

void printLine(std::FILE *out, const QString &line)
{
    std::fputs(line.toUtf8().constData(), out);
    std::fputc('\n', out);
}

int usageError(const QString &problem)
{
    printLine(stderr, QStringLiteral("lumo-cli report: %1\n").arg(problem));
    std::fputs(kUsage, stderr);
    return 2;
}

int failed(const QString &reason)
{
    printLine(stderr, QStringLiteral("lumo-cli report: %1").arg(reason));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const QStringList arguments = startCommand(argc, argv);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    QCommandLineParser parser;
    const QCommandLineOption csvOption(QStringLiteral("csv"), QString(), QStringLiteral("OUT.csv"));
    parser.addOption(csvOption);
    const QCommandLineOption schoolCodeOption(QStringLiteral("school-code"), QString(),
                                              QStringLiteral("CODE"));
    const QCommandLineOption classNumberOption(QStringLiteral("class-number"), QString(),
                                               QStringLiteral("NUMBER"));
    parser.addOptions({schoolCodeOption, classNumberOption});
    if (!parser.parse(QStringList(QStringLiteral("lumo-cli report")) + arguments))
        return usageError(parser.errorText());
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 3)
        return usageError(
            QStringLiteral("a workbook, a photo folder and the PDF's path are needed"));
    const QString &workbook = paths[0];
    const QString &photoFolder = paths[1];
    const QString &pdfPath = paths[2];
    if (!QFileInfo(photoFolder).isDir())
        return usageError(QStringLiteral("%1 is not a folder").arg(photoFolder));

    const photo::RegistryCode registryCode{parser.value(schoolCodeOption),
                                           parser.value(classNumberOption)};
    if ((parser.isSet(schoolCodeOption) || parser.isSet(classNumberOption)) &&
        !registryCode.isComplete())
        return usageError(QStringLiteral("--school-code needs 10 digits and --class-number 1 to "
                                         "10 letters or digits, both together"));

    roster::RosterTable table;
    const roster::RosterImportResult imported = roster::importRoster(workbook, table);
    if (!imported.ok) {
        printLine(stderr, roster::kWorkbookRequirementsMessage);
        return failed(imported.reason);
    }
    report::ClassReport classReport;
    classReport.className = table.className(1);
    classReport.date = QDate::currentDate();
    classReport.students =
        report::reportStudents(table, imported.studentCount, photoFolder, registryCode);

    // The table first: it is quick, so a wrong --csv path fails before the pages are drawn and
    // leaves no PDF behind.
    QString error;
    if (parser.isSet(csvOption) &&
        !report::writeReportCsv(classReport, parser.value(csvOption), &error))
        return failed(error);

    // The report draws no window: the offscreen platform needs no display, whether over SSH,
    // from a timer or at the desktop, and finds the same fonts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgumentCount = 1;
    QGuiApplication application(qtArgumentCount, argv);
    if (!report::writeReportPdf(classReport, pdfPath, &error))
        return failed(error);
    const int pages = report::reportPageCount(int(classReport.students.size()));
    printLine(stdout, QStringLiteral("%1: %2 of %3 students photographed, %4 %5")
                          .arg(QDir::toNativeSeparators(pdfPath))
                          .arg(classReport.photographedCount())
                          .arg(classReport.students.size())
                          .arg(pages)
                          .arg(pages == 1 ? QStringLiteral("page") : QStringLiteral("pages")));
    return 0;
}
