#include "report/ReportCsv.h"

#include "common/AtomicFile.h"

#include <QFileInfo>
#include <QStringList>

namespace lumo::report {

namespace {

// A class list is typed by many hands: a name that starts like a formula ("=HYPERLINK(…)") would
// be run by the spreadsheet program that opens the table, so it is kept as text.
bool startsLikeFormula(const QString &text)
{
    return !text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front());
}

QString field(const QString &plain)
{
    const QString text = startsLikeFormula(plain) ? u'\'' + plain : plain;
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString line(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &text : fields)
        quoted << field(text);
    return quoted.join(u',') + QStringLiteral("\r\n");
}

} // namespace

QByteArray reportCsv(const ClassReport &report)
{
    QString text =
        line({QStringLiteral("序号"), QStringLiteral("姓名"), QStringLiteral("身份证号"),
              QStringLiteral("已拍照"), QStringLiteral("问题"), QStringLiteral("照片文件")});
    for (const ReportStudent &student : report.students) {
        const bool photographed = !student.photoPath.isEmpty();
        text += line({QString::number(student.number), student.name, maskedId(student.idNumber),
                      photographed ? QStringLiteral("是") : QStringLiteral("否"), student.finding,
                      QFileInfo(student.photoPath).fileName()});
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

bool writeReportCsv(const ClassReport &report, const QString &path, QString *error)
{
    QString reason;
    if (common::writeFileAtomically(path, reportCsv(report), &reason))
        return true;
    if (error)
        *error = reason;
    return false;
}

} // namespace lumo::report
