// The import of the class list from a workbook into the roster table, without any window: the
// class session's import and "lumo-cli roster show" both use it.
#pragma once

#include "roster/RosterTable.h"

#include <QString>

namespace lumo::roster {

// The message shown when an import fails, whatever the reason.
inline const QString kWorkbookRequirementsMessage =
    QStringLiteral("请检查EXCEL文件是否存在,可手动输入完整文件路径,或点打开按钮,选中文件;"
                   "且导入*.xls文件工作簿名称默认，必须为sheet1，第一行表头必须保留，内容参见模板");
inline const QString kWorkbookRequirementsTitle = QStringLiteral("EXCEL表格要求");
inline const QString kImportSummaryTitle = QStringLiteral("导入数据");

struct RosterImportResult
{
    bool ok = false;
    QString reason;         // why it failed, for the log
    int studentCount = 0;   // ZongShu
    int withoutIdCount = 0; // WuShenFenShu
};

// The path of the workbook named in the path box: a relative path is taken from the program's
// folder.
QString workbookPath(const QString &text, const QString &programFolder);

// A name or ID-card number as the table holds it: without the white space around it. A cell of
// white space only stays as it is: that student has no name, and the class does not end there.
QString studentText(const QString &cell);

// Reads worksheet rows 1 to 3000, columns A to F, of the sheet "sheet1" into table rows 0 to
// 2999, columns 1 to 6, up to and including the first student row whose column A is empty, and
// counts the students; names and ID-card numbers as studentText() gives them. On failure the
// table is left as it was.
RosterImportResult importRoster(const QString &path, RosterTable &table);

// "本此共导入N名学生，其中有M名无身份证学生".
QString importSummary(const RosterImportResult &result);

} // namespace lumo::roster
