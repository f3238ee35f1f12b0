// The class list as the program works through it: 3001 rows of 11 text cells. Row 0 holds the
// workbook's header, row i student i; the class ends at the first row with an empty name.
#pragma once

#include <QString>

#include <vector>

namespace lumo::roster {

class RosterTable
{
public:
    static constexpr int kRows = 3001;
    static constexpr int kColumns = 11;

    // Columns, numbered as the worksheet's columns (A = 1).
    static constexpr int kName = 1;
    static constexpr int kIdNumber = 2;
    static constexpr int kPhotoMark = 3;
    static constexpr int kClassName = 4;

    RosterTable() : m_cells(std::size_t(kRows) * kColumns) {}

    // Empty text for a row or column outside the table.
    QString cell(int row, int column) const
    {
        return contains(row, column) ? m_cells[index(row, column)] : QString();
    }
    void setCell(int row, int column, const QString &text)
    {
        if (contains(row, column))
            m_cells[index(row, column)] = text;
    }

    QString name(int row) const { return cell(row, kName); }
    QString idNumber(int row) const { return cell(row, kIdNumber); }
    QString photoMark(int row) const { return cell(row, kPhotoMark); }
    QString className(int row) const { return cell(row, kClassName); }

    static bool contains(int row, int column)
    {
        return row >= 0 && row < kRows && column >= 0 && column < kColumns;
    }

private:
    static std::size_t index(int row, int column) { return std::size_t(row) * kColumns + column; }

    std::vector<QString> m_cells;
};

} // namespace lumo::roster
