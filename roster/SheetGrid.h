// The part of a worksheet the class list uses: rows 1 to 3000, columns A to F, each cell as
// text. Readers keep nothing outside this window, whatever range a file claims to use, and the
// window holds a bounded amount of text.
#pragma once

#include <QString>

#include <algorithm>
#include <array>
#include <vector>

namespace lumo::roster {

class SheetGrid
{
public:
    static constexpr int kRows = 3000;
    static constexpr int kColumns = 6;

    // Excel's own limit for a cell: longer text is cut there.
    static constexpr qsizetype kLongestCell = 32767;
    // All the text of the window: far more than any class list holds. Text beyond it is not
    // kept, and the grid tells it overflowed.
    static constexpr qsizetype kMostText = 8 * 1024 * 1024;

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
        QString &cell = m_rows[std::size_t(row)][std::size_t(column)];
        const qsizetype length = std::min(text.size(), kLongestCell);
        if (m_text - cell.size() + length > kMostText) {
            m_overflowed = true;
            return;
        }
        m_text += length - cell.size();
        cell = length < text.size() ? text.first(length) : text;
    }

    QString cell(long long row, long long column) const
    {
        if (!inWindow(row, column) || std::size_t(row) >= m_rows.size())
            return QString();
        return m_rows[std::size_t(row)][std::size_t(column)];
    }

    // Rows up to the last one that holds a cell.
    int rowCount() const { return int(m_rows.size()); }
    bool overflowed() const { return m_overflowed; }

    bool operator==(const SheetGrid &other) const;

private:
    std::vector<Row> m_rows;
    qsizetype m_text = 0;
    bool m_overflowed = false;
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
