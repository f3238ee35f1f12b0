// Reading the sheet "sheet1" of a legacy .xls into the grid, cell record by cell record.
#include "roster/XlsWorkbook.h"

#include "roster/BiffRecords.h"
#include "roster/CellText.h"
#include "roster/CompoundFile.h"
#include "roster/LittleEndian.h"
#include "roster/XlsWorkbookParts.h"

#include <map>

namespace lumo::roster {

namespace {

using biff::Record;

// Cells that hold a shared string, by the string's index.
using SharedCells = std::multimap<std::uint32_t, std::pair<std::uint16_t, std::uint16_t>>;

// The cached result of a FORMULA record, as text: a text result is in the STRING record after
// it and any shared-formula, array or table record.
QString formulaResultText(QByteArrayView stream, const Record &formula)
{
    const QByteArrayView d = formula.data;
    if (le::u16(d, 12) != 0xFFFF)
        return celltext::numberText(le::f64(d, 6));
    switch (le::u8(d, 6)) {
    case 0:
        for (auto next = biff::recordAt(stream, formula.end(), nullptr); next;
             next = biff::recordAt(stream, next->end(), nullptr)) {
            if (next->type == biff::String)
                return biff::unicodeString(next->data, 0, 2).value_or(QString());
            if (next->type != biff::SharedFormula && next->type != biff::Array &&
                next->type != biff::Table)
                break;
        }
        return QString();
    case 1:
        return celltext::booleanText(le::u8(d, 8));
    case 2:
        return celltext::errorText(le::u8(d, 8));
    default:
        return QString();
    }
}

// The text of one cell record's cells into the grid; shared strings are looked up later.
void readCellRecord(QByteArrayView stream, const Record &record, SharedCells &shared,
                    SheetGrid &grid)
{
    const QByteArrayView d = record.data;
    if (d.size() < 6)
        return;
    const std::uint16_t row = le::u16(d, 0);
    const std::uint16_t column = le::u16(d, 2);
    switch (record.type) {
    case biff::LabelSst:
        if (d.size() >= 10) {
            grid.setCell(row, column, QString());
            if (SheetGrid::inWindow(row, column))
                shared.emplace(le::u32(d, 6), std::pair(row, column));
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
        for (qsizetype i = 0; i < count && SheetGrid::inWindow(row, column + i); ++i) {
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
        if (d.size() >= 14 && SheetGrid::inWindow(row, column))
            grid.setCell(row, column, formulaResultText(stream, record));
        break;
    default:
        break;
    }
}

} // namespace

SheetReadResult readXlsWorkbook(const QByteArray &bytes)
{
    QString error;
    const auto container = xlsparts::openContainer(bytes, &error);
    if (!container)
        return SheetReadResult::failure(error);
    const QByteArrayView stream = container->stream;
    const auto globals = biff::readGlobals(stream, &error);
    if (!globals)
        return SheetReadResult::failure(error);
    if (globals->classSheetBof == biff::kNoRecord)
        return SheetReadResult::failure(QStringLiteral("workbook has no sheet named sheet1"));
    SheetReadResult result;
    SharedCells shared;
    if (!biff::forEachOwnRecord(
            stream, globals->classSheetBof,
            [&](const Record &record) { readCellRecord(stream, record, shared, result.grid); },
            &error))
        return SheetReadResult::failure(error);
    if (shared.empty() || globals->sstOffset == biff::kNoRecord)
        return result;
    const std::uint32_t last = shared.rbegin()->first;
    const bool read = biff::readSharedStrings(
        stream, globals->sstOffset, [&](std::uint32_t index) { return shared.contains(index); },
        [&](std::uint32_t index, const QString &text) {
            const auto [first, end] = shared.equal_range(index);
            for (auto cell = first; cell != end; ++cell)
                result.grid.setCell(cell->second.first, cell->second.second, text);
            return index < last;
        },
        &error);
    if (!read)
        return SheetReadResult::failure(error);
    return result;
}

} // namespace lumo::roster
