#include "roster/SheetGrid.h"

#include <algorithm>

namespace lumo::roster {

bool SheetGrid::operator==(const SheetGrid &other) const
{
    const int rows = std::max(rowCount(), other.rowCount());
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (cell(row, column) != other.cell(row, column))
                return false;
        }
    }
    return true;
}

bool isClassListSheetName(const QString &name)
{
    return name.compare(u"sheet1", Qt::CaseInsensitive) == 0;
}

} // namespace lumo::roster
