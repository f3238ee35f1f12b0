// lumo-cli-report: "lumo-cli report ..." as a program of its own, since drawing the report's pages
// loads Qt Gui and its fonts, which lumo-cli itself does without.
#include "cli/CommandLine.h"
#include "cli/Messages.h"
#include "cli/UsageTexts.h"
#include "common/NativePath.h"
#include "report/ClassReport.h"
#include "report/ReportCsv.h"
#include "report/ReportPdf.h"
#include "roster/RosterImport.h"

#include <QDate>
#include <QDir>
#include <QGuiApplication>

using namespace lumo;
using namespace lumo::cli;

int main(int argc, char *argv[])
{
    CommandLine line(QStringLiteral("lumo-cli report"), usage::kReport);
    const QCommandLineOption csvOption(QStringLiteral("csv"), QString(), QStringLiteral("OUT.csv"));
    const QCommandLineOption schoolCodeOption(QStringLiteral("school-code"), QString(),
                                              QStringLiteral("CODE"));
    const QCommandLineOption classNumberOption(QStringLiteral("class-number"), QString(),
                                               QStringLiteral("NUMBER"));
    line.parser.addOptions({csvOption, schoolCodeOption, classNumberOption});
    if (const auto done = line.parse(startCommand(argc, argv)))
        return *done;
    QCommandLineParser &parser = line.parser;
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 3)
        return line.usageError(text(msg::kReportArguments));
    const QString &workbook = paths[0];
    const QString &photoFolder = paths[1];
    const QString &pdfPath = paths[2];
    if (common::pathKind(photoFolder) != common::PathKind::Folder)
        return line.usageError(text(msg::kNotAFolder).arg(photoFolder));

    const photo::RegistryCode registryCode{parser.value(schoolCodeOption),
                                           parser.value(classNumberOption)};
    if ((parser.isSet(schoolCodeOption) || parser.isSet(classNumberOption)) &&
        !registryCode.isComplete())
        return line.usageError(text(msg::kRegistryCode));

    roster::RosterTable table;
    const roster::RosterImportResult imported = roster::importRoster(workbook, table);
    if (!imported.ok) {
        line.tell(text(msg::kWorkbookUnreadable).arg(workbook, imported.reason));
        return kUsage;
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
        return line.fail(error);

    // The report draws no window: the offscreen platform needs no display, whether over SSH,
    // from a timer or at the desktop, and finds the same fonts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgumentCount = 1;
    QGuiApplication application(qtArgumentCount, argv);
    if (!report::writeReportPdf(classReport, pdfPath, &error))
        return line.fail(error);
    const int pages = report::reportPageCount(int(classReport.students.size()));
    printLine(stdout, QStringLiteral("%1: %2 of %3 students photographed, %4 %5")
                          .arg(QDir::toNativeSeparators(pdfPath))
                          .arg(classReport.photographedCount())
                          .arg(classReport.students.size())
                          .arg(pages)
                          .arg(pages == 1 ? QStringLiteral("page") : QStringLiteral("pages")));
    return kSuccess;
}
