#include "tests/roster/RosterFixtures.h"

QString fixturePath(const QString &name)
{
    return QStringLiteral(LUMO_ROSTER_TEST_DATA "/") + name;
}

QStringList classFixtures()
{
    return {QStringLiteral("class-xlwt.xls"), QStringLiteral("class-gnumeric.xls"),
            QStringLiteral("class-libreoffice.xls"), QStringLiteral("class-openpyxl.xlsx"),
            QStringLiteral("class-libreoffice.xlsx"), QStringLiteral("class-utf8-bom.csv"),
            QStringLiteral("class-gbk.csv"),
            // "Sheet1" alone, with an embedded chart (a substream inside the sheet's).
            QStringLiteral("chart-libreoffice.xls")};
}

SheetGrid expectedClassGrid()
{
    const QStringList rows[] = {
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
    };
    SheetGrid grid;
    for (int row = 0; row < int(std::size(rows)); ++row) {
        for (int column = 0; column < rows[row].size(); ++column)
            grid.setCell(row, column, rows[row][column]);
    }
    return grid;
}
