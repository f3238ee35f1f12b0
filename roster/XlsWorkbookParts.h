// The pieces of an .xls file that both its reader and its mark writer walk through.
#pragma once

#include "roster/BiffRecords.h"
#include "roster/CompoundFile.h"

#include <QByteArray>

#include <optional>

namespace lumo::roster::xlsparts {

struct Parts
{
    std::optional<CompoundFile> container;
    int workbookStream = -1;
    QByteArray stream; // records below point into it
    std::vector<biff::Record> records;
    biff::Globals globals;
    biff::Substream sheet; // the sheet "sheet1"
};

// The container, the workbook stream cut into records, the globals and the sheet "sheet1".
// The records view into stream, whose bytes are shared, not copied, when Parts moves.
std::optional<Parts> open(const QByteArray &bytes, QString *error);

// The cached result of the FORMULA record at index, as text.
QString formulaResultText(const std::vector<biff::Record> &records, std::size_t index);

} // namespace lumo::roster::xlsparts
