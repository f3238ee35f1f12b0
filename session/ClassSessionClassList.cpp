// The class session's class list: the import, and the photo marks written back at shut-down.
#include "session/ClassSession.h"

#include "common/AtomicFile.h"
#include "platform/Dialogs.h"
#include "roster/Preflight.h"
#include "roster/RosterImport.h"
#include "roster/RosterWriteBack.h"
#include "session/CommandScope.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSet>

#include <algorithm>

Q_DECLARE_LOGGING_CATEGORY(lcSession)

namespace lumo::session {

void ClassSession::importClass()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;
    QString path = roster::workbookPath(m_settings.workbookPath, m_folders.programFolder);
    // Installed, the template and other relative names may be in the data folder.
    if (QDir::isRelativePath(m_settings.workbookPath) && !QFileInfo::exists(path))
        path = m_folders.dataFilePath(m_settings.workbookPath);

    // A failed import changes nothing: the loaded class, its counters and the workbook its marks
    // go back to stay as they were.
    emit busyChanged(true);
    const roster::RosterImportResult result = roster::importRoster(path, m_roster);
    emit busyChanged(false);
    if (!result.ok) {
        qCWarning(lcSession).noquote() << "import of" << path << "failed:" << result.reason;
        warning(roster::kWorkbookRequirementsMessage, roster::kWorkbookRequirementsTitle);
        return;
    }
    m_workbookPath = path;
    m_verdicts.clear();
    m_studentCount = result.studentCount;
    m_withoutIdCount = result.withoutIdCount;
    m_photographedCount = countPhotographed(m_roster);
    message(roster::importSummary(result), roster::kImportSummaryTitle);
    showPreflightFindings();
    goTo(1);
    emit commandFinished();
}

void ClassSession::showPreflightFindings()
{
    const std::vector<roster::PreflightFinding> findings =
        roster::preflightClass(m_roster, m_studentCount);
    // Other documents than resident ID cards are worth knowing, but alone no reason for a window
    // at every import of a class with foreign students.
    const auto needsFixing =
        std::count_if(findings.cbegin(), findings.cend(),
                      [](const roster::PreflightFinding &found) { return !found.isInformation(); });
    if (needsFixing == 0)
        return;
    QList<QStringList> rows;
    QSet<int> students;
    for (const roster::PreflightFinding &found : findings) {
        rows << QStringList{QString::number(found.row), found.name, found.idNumber,
                            roster::findingText(found.code)};
        if (!found.isInformation())
            students.insert(found.row);
    }
    m_services.dialogs.showTable(
        QStringLiteral("身份证号核对"),
        QStringLiteral("班级名单中有 %1 位学生的身份证号需要核对。照片以身份证号命名，号码有误的"
                       "照片学籍系统无法对应。请在班级名单中改正后重新导入。\n"
                       "名单已按原样导入，工作簿没有改动。")
            .arg(students.size()),
        {QStringLiteral("序号"), QStringLiteral("姓名"), QStringLiteral("身份证号"),
         QStringLiteral("问题")},
        rows);
}

void ClassSession::chooseAndImportClass()
{
    const QString chosen = m_services.dialogs.openFileName(
        QFileInfo(roster::workbookPath(m_settings.workbookPath, m_folders.programFolder))
            .absolutePath(),
        QStringLiteral("班级名单 (*.xls *.xlsx *.csv)"));
    if (chosen.isEmpty())
        return; // cancelled: the class in the window stays as it is
    setSetting(&settings::SessionSettings::workbookPath, QDir::toNativeSeparators(chosen));
    importClass();
}

void ClassSession::writeBackMarks()
{
    const std::vector<roster::PhotoMark> marks = roster::photoMarksOf(m_roster);
    if (m_workbookPath.isEmpty() || marks.empty())
        return;
    // The marks are never lost silently: the operator may close the spreadsheet program that
    // holds the workbook and try again, or keep the marks in a small file beside it.
    for (;;) {
        const roster::WriteBackResult result = roster::writePhotoMarks(m_workbookPath, marks);
        for (const QString &note : result.notes)
            qCInfo(lcSession).noquote() << "photo marks:" << note;
        if (result.ok)
            return;
        const int choice = m_services.dialogs.choose(
            QStringLiteral("照片标记没有写入工作簿 %1：\n%2\n\n可以关闭正在使用该文件的程序后重试，"
                           "或把照片标记另存为工作簿旁边的 CSV 文件。")
                .arg(QDir::toNativeSeparators(m_workbookPath), result.error),
            QStringLiteral("照片标记没有保存"),
            {QStringLiteral("重试"), QStringLiteral("另存为CSV文件")});
        if (choice == 0)
            continue;
        if (saveMarksBesideWorkbook(marks))
            return;
    }
}

bool ClassSession::saveMarksBesideWorkbook(const std::vector<roster::PhotoMark> &marks)
{
    const QFileInfo workbook(m_workbookPath);
    const QString path =
        workbook.dir().filePath(workbook.completeBaseName() + QStringLiteral("-照片标记.csv"));
    QByteArray csv = "\xEF\xBB\xBF"; // UTF-8, as spreadsheet programs recognise it
    for (const roster::PhotoMark &mark : marks) {
        csv += (QStringList{mark.name, mark.idNumber, roster::kPhotoTakenMark}.join(u',') +
                QStringLiteral("\r\n"))
                   .toUtf8();
    }
    QString reason;
    if (common::writeFileAtomically(path, csv, &reason)) {
        message(QStringLiteral("照片标记已保存到 %1。").arg(QDir::toNativeSeparators(path)));
        return true;
    }
    warning(reason);
    return false;
}

} // namespace lumo::session
