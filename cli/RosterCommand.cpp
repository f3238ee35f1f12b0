// "lumo-cli roster": the class list of a workbook as the import reads it, the pre-flight of its
// ID-card numbers, and the photo marks written into it as the shut-down does.
#include "cli/RosterCommand.h"

#include "cli/CommandLine.h"
#include "cli/Messages.h"
#include "cli/UsageTexts.h"
#include "common/IdCardNumber.h"
#include "roster/Preflight.h"
#include "roster/RosterImport.h"
#include "roster/RosterWriteBack.h"

#include <QJsonArray>
#include <QJsonObject>

#include <climits>

using namespace lumo;
using namespace lumo::cli;
using namespace lumo::roster;

namespace {

// The columns of "show", as --header names them and as the keys of --json.
const QStringList kShowColumns = {QStringLiteral("number"), QStringLiteral("name"),
                                  QStringLiteral("idNumber"), QStringLiteral("photoMark"),
                                  QStringLiteral("class")};

// The parsed subcommand with its workbook; the exit status when it is already done.
std::optional<int> parseSubcommand(CommandLine &line, const QStringList &arguments, int least,
                                   int most)
{
    if (const auto done = line.parse(arguments))
        return done;
    const qsizetype count = line.positional().size();
    if (count < least || count > most)
        return line.usageError(text(msg::kRosterArguments));
    return std::nullopt;
}

// Reads the class list as Lumo's import does; an unreadable workbook is a usage error.
std::optional<int> import(const CommandLine &line, const QString &path, RosterTable &table,
                          RosterImportResult &result)
{
    result = importRoster(path, table);
    if (result.ok)
        return std::nullopt;
    line.tell(text(msg::kWorkbookUnreadable).arg(path, result.reason));
    return kUsage;
}

int show(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("lumo-cli roster show"), usage::kRoster);
    const QCommandLineOption header(QStringLiteral("header")), json(QStringLiteral("json"));
    line.parser.addOptions({header, json});
    RosterTable table;
    RosterImportResult result;
    if (const auto done = parseSubcommand(line, arguments, 1, 1))
        return *done;
    if (const auto done = import(line, line.positional().first(), table, result))
        return *done;
    QJsonArray students;
    if (line.parser.isSet(header) && !line.parser.isSet(json))
        printLine(stdout, kShowColumns.join(u'\t'));
    for (int row = 1; row <= result.studentCount; ++row) {
        const QStringList cells{QString::number(row), table.name(row), table.idNumber(row),
                                table.photoMark(row), table.className(row)};
        if (!line.parser.isSet(json)) {
            printLine(stdout, cells.join(u'\t'));
            continue;
        }
        QJsonObject student{{kShowColumns[0], row}};
        for (qsizetype column = 1; column < cells.size(); ++column)
            student.insert(kShowColumns[column], cells[column]);
        student.insert(QStringLiteral("withoutId"), common::countsAsWithoutId(table.idNumber(row)));
        students.append(student);
    }
    if (line.parser.isSet(json))
        printJson(QJsonDocument(students));
    printLine(stderr,
              text(msg::kRosterSummary).arg(result.studentCount).arg(result.withoutIdCount));
    return kSuccess;
}

int check(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("lumo-cli roster check"), usage::kRoster);
    const QCommandLineOption json(QStringLiteral("json"));
    line.parser.addOption(json);
    RosterTable table;
    RosterImportResult result;
    if (const auto done = parseSubcommand(line, arguments, 1, 1))
        return *done;
    if (const auto done = import(line, line.positional().first(), table, result))
        return *done;
    bool needsFixing = false;
    QJsonArray findings;
    for (const PreflightFinding &finding : preflightClass(table, result.studentCount)) {
        needsFixing = needsFixing || !finding.isInformation();
        if (line.parser.isSet(json))
            findings.append(QJsonObject{{QStringLiteral("number"), finding.row},
                                        {QStringLiteral("name"), finding.name},
                                        {QStringLiteral("idNumber"), finding.idNumber},
                                        {QStringLiteral("code"), finding.code},
                                        {QStringLiteral("needsFixing"), !finding.isInformation()}});
        else
            printLine(stdout, QStringList{QString::number(finding.row), finding.name,
                                          finding.idNumber, finding.code}
                                  .join(u'\t'));
    }
    if (line.parser.isSet(json))
        printJson(QJsonDocument(findings));
    return needsFixing ? kNegative : kSuccess;
}

int mark(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("lumo-cli roster mark"), usage::kRoster);
    RosterTable table;
    RosterImportResult imported;
    if (const auto done = parseSubcommand(line, arguments, 2, INT_MAX))
        return *done;
    const QString path = line.positional().first();
    if (const auto done = import(line, path, table, imported))
        return *done;
    for (const QString &text : line.positional().mid(1)) {
        bool ok = false;
        const int number = text.toInt(&ok);
        if (!ok || number < 1 || number > imported.studentCount)
            return line.usageError(cli::text(msg::kNoStudentNumber).arg(text));
        table.setCell(number, RosterTable::kPhotoMark, kPhotoTakenMark);
    }
    const WriteBackResult result = writePhotoMarks(path, photoMarksOf(table));
    for (const QString &note : result.notes)
        line.tell(note);
    if (!result.ok)
        return line.fail(text(msg::kNothingWritten).arg(result.error));
    line.tell(text(msg::kMarksWritten).arg(result.written));
    return kSuccess;
}

} // namespace

int runRosterCommand(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("lumo-cli roster"), usage::kRoster);
    line.parser.setOptionsAfterPositionalArgumentsMode(
        QCommandLineParser::ParseAsPositionalArguments);
    if (const auto done = line.parse(arguments))
        return *done;
    QStringList rest = line.positional();
    if (rest.isEmpty())
        return line.usageError(text(msg::kNoCommand));
    const QString name = rest.takeFirst();
    if (name == u"show")
        return show(rest);
    if (name == u"check")
        return check(rest);
    if (name == u"mark")
        return mark(rest);
    return line.usageError(text(msg::kUnknownCommand).arg(name));
}
