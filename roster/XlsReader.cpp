// Reading the sheet "sheet1" of a legacy .xls into the grid, cell record by cell record.
#include "roster/XlsWorkbook.h"

#include "roster/BiffRecords.h"
#include "roster/CellText.h"
#include "roster/CompoundFile.h"
#include "roster/LittleEndian.h"
#include "roster/XlsWorkbookParts.h"

namespace lumo::roster {

namespace {

using biff::Record;

// The text of one cell record's cells into the grid. A FORMULA with a text result takes it
// from the STRING record that follows.
void readCellRecord(const std::vector<Record> &records, std::size_t index,
                    const std::vector<QString> &sharedStrings, SheetGrid &grid)
{
    const Record &record = records[index];
    const QByteArrayView d = record.data;
    if (d.size() < 6)
        return;
    const std::uint16_t row = le::u16(d, 0);
    const std::uint16_t column = le::u16(d, 2);
    switch (record.type) {
    case biff::LabelSst:
        if (d.size() >= 10) {
            const std::uint32_t at = le::u32(d, 6);
            grid.setCell(row, column, at < sharedStrings.size() ? sharedStrings[at] : QString());
        }
        break;
    case biff::Label:
    case biff::RString:
        grid.setCell(row, column, biff::unicodeString(d, 6, 2).value_or(QString()));
        break;
    case biff::Number:
        if (d.size() >= 14)
            grid.setCell(row, column, celltext::numberText(le::f64(d, 6)));
        break;
    case biff::Rk:
        if (d.size() >= 10)
            grid.setCell(row, column, celltext::numberText(biff::rkValue(le::u32(d, 6))));
        break;
    case biff::MulRk: {
        const qsizetype count = (d.size() - 6) / 6;
        for (qsizetype i = 0; i < count; ++i) {
            grid.setCell(row, column + i,
                         celltext::numberText(biff::rkValue(le::u32(d, 4 + 6 * i + 2))));
        }
        break;
    }
    case biff::BoolErr:
        if (d.size() >= 8) {
            const std::uint8_t value = le::u8(d, 6);
            grid.setCell(row, column,
                         le::u8(d, 7) ? celltext::errorText(value) : celltext::booleanText(value));
        }
        break;
    case biff::Formula:
        if (d.size() >= 14)
            grid.setCell(row, column, xlsparts::formulaResultText(records, index));
        break;
    default:
        break;
    }
}

} // namespace

SheetReadResult readXlsWorkbook(const QByteArray &bytes)
{
    QString error;
    const auto parts = xlsparts::open(bytes, &error);
    if (!parts)
        return SheetReadResult::failure(error);
    SheetReadResult result;
    for (std::size_t i : parts->sheet.own)
        readCellRecord(parts->records, i, parts->globals.sharedStrings, result.grid);
    return result;
}

} // namespace lumo::roster
