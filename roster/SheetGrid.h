// The part of a worksheet the class list uses: rows 1 to 3000, columns A to F, each cell as
// text. Readers keep nothing outside this window, whatever range a file claims to use.
#pragma once

#include <QString>

#include <array>
#include <vector>

namespace lumo::roster {

class SheetGrid
{
public:
    static constexpr int kRows = 3000;
    static constexpr int kColumns = 6;

    using Row = std::array<QString, kColumns>;

    // Row and column are 0-based (worksheet row 1 is row 0, column A is column 0).
    static bool inWindow(long long row, long long column)
    {
        return row >= 0 && row < kRows && column >= 0 && column < kColumns;
    }

    void setCell(long long row, long long column, const QString &text)
    {
        if (!inWindow(row, column))
            return;
        if (std::size_t(row) >= m_rows.size())
            m_rows.resize(std::size_t(row) + 1);
        m_rows[std::size_t(row)][std::size_t(column)] = text;
    }

    QString cell(long long row, long long column) const
    {
        if (!inWindow(row, column) || std::size_t(row) >= m_rows.size())
            return QString();
        return m_rows[std::size_t(row)][std::size_t(column)];
    }

    // Rows up to the last one that holds a cell.
    int rowCount() const { return int(m_rows.size()); }

    bool operator==(const SheetGrid &other) const;

private:
    std::vector<Row> m_rows;
};

// The outcome of reading a workbook: the grid of its sheet "sheet1", or why it could not be read.
struct SheetReadResult
{
    SheetGrid grid;
    QString error;

    bool ok() const { return error.isEmpty(); }
    static SheetReadResult failure(const QString &reason)
    {
        SheetReadResult result;
        result.error = reason;
        return result;
    }
};

// True for the sheet name the class list must carry: "sheet1" in any case.
bool isClassListSheetName(const QString &name);

} // namespace lumo::roster
