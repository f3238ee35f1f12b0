// The photo marks written into a legacy .xls: cell records replaced or inserted in the sheet
// "sheet1", every stream position after them moved, the Compound File laid out anew.
#include "roster/XlsWorkbook.h"

#include "roster/BiffRecords.h"
#include "roster/CompoundFile.h"
#include "roster/LittleEndian.h"
#include "roster/XlsWorkbookParts.h"

#include <algorithm>
#include <map>
#include <optional>

namespace lumo::roster {

namespace {

using biff::Record;

constexpr std::uint16_t kMarkColumn = 2;
constexpr std::uint16_t kDefaultCellFormat = 15;
constexpr std::uint32_t kRowRecordSize = 20;

struct CellRange
{
    std::uint16_t row = 0;
    std::uint16_t first = 0;
    std::uint16_t last = 0;
};

std::optional<CellRange> cellRange(const Record &record)
{
    const QByteArrayView d = record.data;
    switch (record.type) {
    case biff::LabelSst:
    case biff::Label:
    case biff::RString:
    case biff::Number:
    case biff::Rk:
    case biff::BoolErr:
    case biff::Formula:
    case biff::Blank:
        if (d.size() < 6)
            return std::nullopt;
        return CellRange{le::u16(d, 0), le::u16(d, 2), le::u16(d, 2)};
    case biff::MulRk:
    case biff::MulBlank: {
        if (d.size() < 6)
            return std::nullopt;
        const CellRange range{le::u16(d, 0), le::u16(d, 2), le::u16(d, d.size() - 2)};
        const int itemSize = record.type == biff::MulRk ? 6 : 2;
        // Only a record whose size agrees with its columns can be split safely.
        if (range.first > range.last || d.size() != 6 + (range.last - range.first + 1) * itemSize)
            return std::nullopt;
        return range;
    }
    default:
        return std::nullopt;
    }
}

QByteArray record(std::uint16_t type, const QByteArray &data)
{
    QByteArray bytes;
    le::append16(bytes, type);
    le::append16(bytes, std::uint16_t(data.size()));
    return bytes + data;
}

QByteArray cellHeader(std::uint16_t row, std::uint16_t column, std::uint16_t format)
{
    QByteArray data;
    le::append16(data, row);
    le::append16(data, column);
    le::append16(data, format);
    return data;
}

// The mark as a LABELSST when the shared strings hold "是" already, else as a LABEL, so that the
// workbook globals keep their size and every position in them stays valid.
QByteArray markCell(std::uint16_t row, std::uint16_t format, std::int64_t sst)
{
    QByteArray data = cellHeader(row, kMarkColumn, format);
    if (sst >= 0) {
        le::append32(data, std::uint32_t(sst));
        return record(biff::LabelSst, data);
    }
    le::append16(data, 1);
    data.append(char(0x01));
    le::append16(data, kPhotoTakenMark.at(0).unicode());
    return record(biff::Label, data);
}

// The cells first..last of a MULBLANK or MULRK as records of the same kind (a single cell as
// BLANK or RK, which is what the multiple records stand for).
QByteArray multipleCellPart(const Record &original, std::uint16_t first, std::uint16_t last)
{
    if (first > last)
        return {};
    const QByteArrayView d = original.data;
    const std::uint16_t row = le::u16(d, 0);
    const std::uint16_t start = le::u16(d, 2);
    const int itemSize = original.type == biff::MulRk ? 6 : 2;
    const QByteArrayView items =
        d.sliced(4 + (first - start) * itemSize, (last - first + 1) * itemSize);
    if (first == last) {
        QByteArray data;
        le::append16(data, row);
        le::append16(data, first);
        data.append(items.toByteArray());
        return record(original.type == biff::MulRk ? biff::Rk : biff::Blank, data);
    }
    QByteArray data;
    le::append16(data, row);
    le::append16(data, first);
    data.append(items.toByteArray());
    le::append16(data, last);
    return record(original.type, data);
}

std::uint16_t itemFormat(const Record &multiple, std::uint16_t column)
{
    const int itemSize = multiple.type == biff::MulRk ? 6 : 2;
    return le::u16(multiple.data, 4 + (column - le::u16(multiple.data, 2)) * itemSize);
}

std::size_t recordIndexAt(const std::vector<Record> &records, std::uint32_t offset)
{
    return std::size_t(std::lower_bound(records.begin(), records.end(), offset,
                                        [](const Record &record, std::uint32_t at) {
                                            return record.offset < at;
                                        }) -
                       records.begin());
}

bool isFormulaCompanion(std::uint16_t type)
{
    return type == biff::SharedFormula || type == biff::Array || type == biff::Table ||
           type == biff::String;
}

struct RowPlace
{
    std::optional<std::size_t> markCellRecord; // the record that covers column C
    std::optional<std::size_t> lastBefore;     // the last cell record left of column C
    std::optional<std::size_t> rowRecord;
};

// Builds the new workbook stream from the old records, each one kept, replaced or followed by
// inserted records, and tells where every old record went.
class StreamEditor
{
public:
    explicit StreamEditor(const std::vector<Record> &records) : m_records(records) {}
    void replace(std::size_t index, QByteArray bytes) { m_replacement[index] = std::move(bytes); }
    void insertAfter(std::size_t index, const QByteArray &bytes) { m_inserted[index] += bytes; }
    QByteArray &patch(std::size_t index)
    {
        if (!m_replacement.contains(index))
            replace(index, m_stream->mid(m_records[index].offset,
                                         m_records[index].end() - m_records[index].offset));
        return m_replacement[index];
    }
    void setStream(const QByteArray *stream) { m_stream = stream; }

    QByteArray build(std::vector<std::uint32_t> &newOffsets) const
    {
        QByteArray out;
        out.reserve(m_stream->size() + 4096);
        newOffsets.resize(m_records.size());
        for (std::size_t i = 0; i < m_records.size(); ++i) {
            newOffsets[i] = std::uint32_t(out.size());
            const auto replaced = m_replacement.find(i);
            if (replaced != m_replacement.end())
                out += replaced->second;
            else
                out += QByteArrayView(*m_stream).sliced(m_records[i].offset,
                                                        m_records[i].end() - m_records[i].offset);
            const auto inserted = m_inserted.find(i);
            if (inserted != m_inserted.end())
                out += inserted->second;
        }
        const std::uint32_t tail = m_records.empty() ? 0 : m_records.back().end();
        out += m_stream->mid(tail);
        return out;
    }

private:
    const std::vector<Record> &m_records;
    const QByteArray *m_stream = nullptr;
    std::map<std::size_t, QByteArray> m_replacement;
    std::map<std::size_t, QByteArray> m_inserted;
};

// Where an old stream position lies in the new stream: at the same distance from the start of
// the record that held it.
class PositionMap
{
public:
    PositionMap(const std::vector<Record> &records, const std::vector<std::uint32_t> &newOffsets)
        : m_records(records), m_newOffsets(newOffsets)
    {
    }
    std::uint32_t operator()(std::uint32_t old) const
    {
        const auto after = std::upper_bound(
            m_records.begin(), m_records.end(), old,
            [](std::uint32_t offset, const Record &record) { return offset < record.offset; });
        if (after == m_records.begin())
            return old;
        const std::size_t index = std::size_t(after - m_records.begin()) - 1;
        return m_newOffsets[index] + (old - m_records[index].offset);
    }

private:
    const std::vector<Record> &m_records;
    const std::vector<std::uint32_t> &m_newOffsets;
};

void fixPositions(QByteArray &stream, const std::vector<Record> &records,
                  const std::vector<std::uint32_t> &newOffsets)
{
    const PositionMap map(records, newOffsets);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record &r = records[i];
        const qsizetype at = qsizetype(newOffsets[i]) + 4;
        if (r.type == biff::BoundSheet && r.data.size() >= 4) {
            le::put32(stream, at, map(le::u32(r.data, 0)));
        } else if (r.type == biff::Index && r.data.size() >= 16) {
            if (le::u32(r.data, 12) != 0)
                le::put32(stream, at + 12, map(le::u32(r.data, 12)));
            for (qsizetype k = 16; k + 4 <= r.data.size(); k += 4)
                le::put32(stream, at + k, map(le::u32(r.data, k)));
        }
    }
}

// Sets each DBCELL of the sheet from the records as they now lie: the distance back to the
// block's first ROW record, then the position of each row's first cell, relative to the second
// ROW record for the first row and to the previous row's first cell after that (0 for a row
// without cells, and for entries beyond the block's rows).
void recomputeDbCells(QByteArray &stream, std::uint32_t sheetOffset)
{
    QString error;
    std::vector<Record> records; // the sheet's own
    if (!biff::forEachOwnRecord(
            stream, sheetOffset, [&](const Record &record) { records.push_back(record); }, &error))
        return;
    std::size_t blockStart = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record &r = records[i];
        if (r.type != biff::DbCell) {
            if (r.type == biff::Row && i > 0 && records[i - 1].type != biff::Row)
                blockStart = i;
            continue;
        }
        std::vector<std::size_t> rowRecords;
        for (std::size_t k = blockStart; k < i && records[k].type == biff::Row; ++k)
            rowRecords.push_back(k);
        if (rowRecords.empty() || r.data.size() < 4)
            continue;
        std::map<std::uint16_t, std::uint32_t> firstCell;
        for (std::size_t k = rowRecords.back() + 1; k < i; ++k) {
            const auto range = cellRange(records[k]);
            if (range)
                firstCell.emplace(range->row, records[k].offset);
        }
        const qsizetype at = qsizetype(r.offset) + 4;
        const std::uint32_t rowsStart = records[rowRecords.front()].offset;
        le::put32(stream, at, r.offset - rowsStart);
        std::uint32_t previous = rowsStart + kRowRecordSize;
        for (qsizetype k = 0; 4 + 2 * k + 2 <= r.data.size(); ++k) {
            std::uint16_t distance = 0;
            if (std::size_t(k) < rowRecords.size()) {
                const auto found =
                    firstCell.find(le::u16(records[rowRecords[std::size_t(k)]].data, 0));
                if (found != firstCell.end()) {
                    distance = std::uint16_t(found->second - previous);
                    previous = found->second;
                }
            }
            le::put16(stream, at + 4 + 2 * k, distance);
        }
    }
}

} // namespace

MarkedBytes markXlsWorkbook(const QByteArray &bytes, const std::vector<int> &rows)
{
    MarkedBytes result;
    auto parts = xlsparts::open(bytes, &result.error);
    if (!parts)
        return result;
    const std::vector<Record> &records = parts->records;
    const biff::Substream &sheet = parts->sheet;

    std::map<int, RowPlace> places;
    for (int row : rows)
        places[row];
    std::optional<std::size_t> dimensions;
    for (std::size_t i : sheet.own) {
        const Record &r = records[i];
        if (r.type == biff::Dimensions && r.data.size() >= 12)
            dimensions = i;
        if (r.type == biff::Row && r.data.size() >= 16) {
            const auto place = places.find(le::u16(r.data, 0));
            if (place != places.end())
                place->second.rowRecord = i;
            continue;
        }
        const auto range = cellRange(r);
        if (!range)
            continue;
        const auto place = places.find(range->row);
        if (place == places.end() || range->first > range->last)
            continue;
        if (range->first <= kMarkColumn && kMarkColumn <= range->last)
            place->second.markCellRecord = i;
        else if (range->first < kMarkColumn)
            place->second.lastBefore = i;
    }

    // Index of "是" among the shared strings, -1 when it is not there.
    std::int64_t sst = -1;
    if (parts->globals.sstOffset != biff::kNoRecord &&
        !biff::readSharedStrings(
            parts->container.stream, parts->globals.sstOffset, [](std::uint32_t) { return true; },
            [&](std::uint32_t index, const QString &text) {
                if (text != kPhotoTakenMark)
                    return true;
                sst = index;
                return false;
            },
            &result.error))
        return result;

    StreamEditor editor(records);
    editor.setStream(&parts->container.stream);
    std::int64_t sharedStringUses = 0;
    for (const auto &[row, place] : places) {
        const std::uint16_t r16 = std::uint16_t(row);
        if (place.markCellRecord) {
            const std::size_t i = *place.markCellRecord;
            const Record &old = records[i];
            if (old.type == biff::MulBlank || old.type == biff::MulRk) {
                const CellRange range = *cellRange(old);
                editor.replace(i, multipleCellPart(old, range.first, kMarkColumn - 1) +
                                      markCell(r16, itemFormat(old, kMarkColumn), sst) +
                                      multipleCellPart(old, kMarkColumn + 1, range.last));
            } else {
                if (old.type == biff::Formula) {
                    const bool companion =
                        i + 1 < records.size() && isFormulaCompanion(records[i + 1].type);
                    if (companion && records[i + 1].type != biff::String) {
                        result.skippedRows.push_back(row); // shared or array formula
                        continue;
                    }
                    if (companion)
                        editor.replace(i + 1, QByteArray());
                }
                if (old.type == biff::LabelSst)
                    --sharedStringUses;
                editor.replace(i, markCell(r16, le::u16(old.data, 4), sst));
            }
        } else if (place.lastBefore) {
            std::size_t after = *place.lastBefore;
            while (after + 1 < sheet.eof && isFormulaCompanion(records[after + 1].type))
                ++after;
            editor.insertAfter(after, markCell(r16, kDefaultCellFormat, sst));
        } else {
            result.skippedRows.push_back(row);
            continue;
        }
        if (sst >= 0)
            ++sharedStringUses;
        if (place.rowRecord) {
            QByteArray &rowRecord = editor.patch(*place.rowRecord);
            le::put16(rowRecord, 6, std::min<std::uint16_t>(le::u16(rowRecord, 6), kMarkColumn));
            le::put16(rowRecord, 8,
                      std::max<std::uint16_t>(le::u16(rowRecord, 8), kMarkColumn + 1));
        }
        if (dimensions) {
            QByteArray &dim = editor.patch(*dimensions);
            le::put32(dim, 4, std::min<std::uint32_t>(le::u32(dim, 4), std::uint32_t(row)));
            le::put32(dim, 8, std::max<std::uint32_t>(le::u32(dim, 8), std::uint32_t(row) + 1));
            le::put16(dim, 12, std::min<std::uint16_t>(le::u16(dim, 12), kMarkColumn));
            le::put16(dim, 14, std::max<std::uint16_t>(le::u16(dim, 14), kMarkColumn + 1));
        }
    }
    if (sharedStringUses != 0 && parts->globals.sstOffset != biff::kNoRecord) {
        QByteArray &sstRecord = editor.patch(recordIndexAt(records, parts->globals.sstOffset));
        le::put32(sstRecord, 4,
                  std::uint32_t(std::int64_t(le::u32(sstRecord, 4)) + sharedStringUses));
    }

    std::vector<std::uint32_t> newOffsets;
    QByteArray stream = editor.build(newOffsets);
    fixPositions(stream, records, newOffsets);
    recomputeDbCells(stream, newOffsets[sheet.first]);
    auto file =
        rewriteCompoundFile(*parts->container.file, std::size_t(parts->container.workbookStream),
                            stream, &result.error);
    if (file)
        result.bytes = std::move(*file);
    return result;
}

} // namespace lumo::roster
