// The workbook fixtures under tests/data/roster (made by programs other than Lumo, see its
// make-fixtures script) and what their class sheet holds.
#pragma once

#include "roster/PhotoMarks.h"
#include "roster/SheetGrid.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <ostream>
#include <vector>

namespace lumo::roster {
// A failed comparison shows the grids, a line of tab-separated cells per row.
inline void PrintTo(const SheetGrid &grid, std::ostream *out)
{
    for (int row = 0; row < grid.rowCount(); ++row)
        for (int column = 0; column < SheetGrid::kColumns; ++column)
            *out << (column ? "\t" : "\n") << grid.cell(row, column).toStdString();
}
} // namespace lumo::roster

inline QString fixturePath(const QString &name)
{
    return QStringLiteral(LUMO_ROSTER_TEST_DATA "/") + name;
}

// Every format and maker, with the same class in the sheet "Sheet1", which stands third after a
// decoy "Sheet10"; in chart-libreoffice.xls it stands alone, with an embedded chart.
inline const QStringList kClassFixtures = {"class-xlwt.xls",         "class-gnumeric.xls",
                                           "class-libreoffice.xls",  "class-openpyxl.xlsx",
                                           "class-libreoffice.xlsx", "class-utf8-bom.csv",
                                           "class-gbk.csv",          "chart-libreoffice.xls"};

// A grid of these rows, each from column A on.
inline lumo::roster::SheetGrid gridOf(std::initializer_list<QStringList> rows)
{
    lumo::roster::SheetGrid grid;
    for (int row = 0; const QStringList &cells : rows) {
        for (int column = 0; column < cells.size(); ++column)
            grid.setCell(row, column, cells[column]);
        ++row;
    }
    return grid;
}

// Columns A to F of rows 1 to 11 of the class sheet: a name of one blank, an ID-card number
// stored as a number, blank formatted cells, booleans and fractions; row 10 ends the class.
inline lumo::roster::SheetGrid expectedClassGrid()
{
    return gridOf({
        {"姓名", "身份证号", "是否已照相", "班级", "备注", "电话"},
        {"张三", "110101201001011234", "", "一年级1班", "", ""},
        {"李四", "310104201207184000", "是", "一年级1班", "走读", "13800138000"},
        {"王五", "12345", "", "一年级1班", "TRUE", "2.5"},
        {" ", "110101201001015678", "", "一年级1班", "", ""},
        {"赵六", "", "", "一年级1班", "", ""},
        {"钱七", "110101201001019999", "否", "一年级1班", "", "0.1"},
        {"孙八", "110101201001012222", "", "", "", ""},
        {"周九", "110101201001013333", "0", "3", "4", "5"},
        {"", "", "", "", "", ""},
        {"吴十", "110101201001014444", "", "一年级1班", "", ""},
    });
}

// A copy of the fixture in the folder, writable by its owner only, readable by the group too.
inline QString copyFixture(const QString &folder, const QString &name)
{
    const QString path = folder + u'/' + name;
    QFile::copy(fixturePath(name), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    return path;
}

// Photo marks for these rows, with the name and ID-card number the grid holds there.
inline std::vector<lumo::roster::PhotoMark> marksFor(const lumo::roster::SheetGrid &grid,
                                                     const std::vector<int> &rows)
{
    std::vector<lumo::roster::PhotoMark> marks;
    for (int row : rows)
        marks.push_back({row, grid.cell(row, 0), grid.cell(row, 1)});
    return marks;
}
