// The class session's class report: the contact sheet the teacher checks and signs.
#include "session/ClassSession.h"

#include "common/PlainFileName.h"
#include "platform/Dialogs.h"
#include "report/ClassReport.h"
#include "report/ReportCsv.h"
#include "report/ReportPdf.h"
#include "session/CommandScope.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace lumo::session {

namespace {

// The path with the suffix the report's kind needs, whatever the operator typed.
QString withSuffix(const QString &path, const QString &suffix)
{
    const QFileInfo file(path);
    return file.suffix().compare(suffix, Qt::CaseInsensitive) == 0
               ? path
               : file.dir().filePath(file.completeBaseName() + u'.' + suffix);
}

} // namespace

void ClassSession::writeClassReport()
{
    const CommandScope scope(m_commandRunning);
    if (scope.nested())
        return;
    if (m_studentCount == 0) {
        warning(QStringLiteral("请先导入班级名单，再生成班级报告。"));
        emit commandFinished();
        return;
    }

    report::ClassReport classReport;
    classReport.className = m_pane.className.trimmed();
    if (classReport.className.isEmpty())
        classReport.className = m_roster.className(1);
    classReport.date = QDate::currentDate();
    const QHash<int, QString> findings = report::findingsByRow(m_roster, m_studentCount);
    for (int row = 1; row <= m_studentCount; ++row) {
        // Photos packed into the class archive are gone from the photo folder; their backups
        // still show who was photographed.
        classReport.students.append({row, m_roster.name(row), m_roster.idNumber(row),
                                     findings.value(row), photoOfRow(row)});
    }

    const QString fileName = common::isPlainFileName(classReport.className)
                                 ? classReport.className + QStringLiteral("-班级报告.pdf")
                                 : QStringLiteral("班级报告.pdf");
    const QString folder =
        QFileInfo(m_settings.outputFolder).isDir() ? m_settings.outputFolder : QDir::homePath();
    const QString chosen = m_services.dialogs.saveFileName(QStringLiteral("保存班级报告"),
                                                           QDir(folder).filePath(fileName),
                                                           QStringLiteral("PDF 文件 (*.pdf)"));
    if (chosen.isEmpty()) {
        emit commandFinished();
        return;
    }
    const QString pdfPath = withSuffix(chosen, QStringLiteral("pdf"));
    const QString csvPath = withSuffix(chosen, QStringLiteral("csv"));

    QString error;
    const int total = int(classReport.students.size());
    emit progressChanged(0, total);
    // The pages of a large class take seconds: the window repaints its progress bar meanwhile,
    // while the operator's keys and clicks wait.
    const bool written =
        report::writeReportPdf(classReport, pdfPath, &error, [this](int done, int all) {
            emit progressChanged(done, all);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        });
    emit progressChanged(total, total);
    if (!written) {
        warning(QStringLiteral("班级报告没有保存：%1").arg(error));
        emit commandFinished();
        return;
    }
    const int photographed = classReport.photographedCount();
    QString summary = QStringLiteral("班级报告已保存：%1\n已拍 %2 人，未拍 %3 人。")
                          .arg(QDir::toNativeSeparators(pdfPath))
                          .arg(photographed)
                          .arg(total - photographed);
    if (report::writeReportCsv(classReport, csvPath, &error))
        summary += QStringLiteral("\n表格：%1").arg(QDir::toNativeSeparators(csvPath));
    else
        summary += QStringLiteral("\n表格没有保存：%1").arg(error);
    message(summary, QStringLiteral("班级报告"));
    emit commandFinished();
}

} // namespace lumo::session
