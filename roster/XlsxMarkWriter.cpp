// The photo marks written into an .xlsx: the marked rows' bytes of the sheet part edited in
// place, every other byte kept, and the part replaced in the ZIP.
#include "roster/XlsxWorkbook.h"

#include "roster/XlsxCells.h"
#include "roster/XlsxPackage.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace lumo::roster {

namespace {

using Token = xml::Reader::Token;
using xlsx::SheetCursor;

constexpr long long kMarkColumn = 2;

struct Span
{
    qint64 begin = 0;
    qint64 end = 0;
};

struct MarkCell
{
    Span element; // <c ...>...</c>
    QByteArray name;
    std::vector<Span> attributes; // each name="value" but the type
    bool hasFormula = false;
};

struct RowPlace
{
    bool found = false;
    Span startTag;
    QByteArray name;
    bool isEmpty = false; // <row .../>
    std::optional<Span> spans;
    QByteArray spansValue;
    std::optional<MarkCell> markCell;
    std::optional<qint64> afterLastBefore; // the end of the last cell left of column C
};

// The element name with the prefix the sheet uses for its own elements ("x:c" beside "x:row").
QByteArray prefixed(const QByteArray &sibling, const char *name)
{
    return sibling.first(sibling.lastIndexOf(':') + 1) + name;
}

QByteArrayView bytesOf(const QByteArray &sheet, Span span)
{
    return QByteArrayView(sheet).sliced(span.begin, span.end - span.begin);
}

// The mark as an inline string, so that the shared strings part stays as it is.
QByteArray markCell(const QByteArray &cellName, const QByteArray &rowName,
                    const QByteArray &attributes)
{
    const QByteArray is = prefixed(rowName, "is");
    const QByteArray t = prefixed(rowName, "t");
    return '<' + cellName + attributes + " t=\"inlineStr\"><" + is + "><" + t + '>' +
           kPhotoTakenMark.toUtf8() + "</" + t + "></" + is + "></" + cellName + '>';
}

// The row's start tag with column C within its spans, and open when it was written as <row/>.
QByteArray openRowTag(const QByteArray &sheet, const RowPlace &place)
{
    QByteArray tag = bytesOf(sheet, place.startTag).toByteArray();
    if (place.isEmpty)
        tag.remove(tag.lastIndexOf('/'), 1);
    long long first = 0;
    long long last = 0;
    if (place.spans && std::sscanf(place.spansValue.constData(), "%lld:%lld", &first, &last) == 2) {
        const QByteArray widened = "spans=\"" +
                                   QByteArray::number(std::min(first, kMarkColumn + 1)) + ':' +
                                   QByteArray::number(std::max(last, kMarkColumn + 1)) + '"';
        tag.replace(place.spans->begin - place.startTag.begin,
                    place.spans->end - place.spans->begin, widened);
    }
    return tag;
}

// Where each row to mark is in the sheet part; nullopt when it is not well-formed XML.
std::optional<std::map<long long, RowPlace>> findRows(const QByteArray &sheet,
                                                      const std::vector<int> &rows)
{
    std::map<long long, RowPlace> places;
    for (int row : rows)
        places[row];
    SheetCursor cursor;
    RowPlace *row = nullptr;
    MarkCell cell;
    bool inMarkedRow = false; // the cell is in a row to mark
    xml::Reader reader(sheet);
    for (Token token = reader.next(); token != Token::End; token = reader.next()) {
        if (token == Token::Invalid)
            return std::nullopt;
        switch (cursor.follow(token, reader)) {
        case SheetCursor::Step::RowStart: {
            const auto found = places.find(cursor.row());
            row = found == places.end() ? nullptr : &found->second;
            if (!row)
                break;
            row->found = true;
            row->startTag = {reader.begin(), reader.end()};
            row->name = reader.name();
            row->isEmpty = reader.isEmptyElement();
            row->spans.reset();
            for (const auto &attribute : reader.attributes()) {
                if (attribute.name == "spans") {
                    row->spans = Span{attribute.begin, attribute.end};
                    row->spansValue = attribute.value;
                }
            }
            break;
        }
        case SheetCursor::Step::RowEnd:
            row = nullptr;
            break;
        case SheetCursor::Step::CellStart:
            inMarkedRow = row != nullptr;
            cell = MarkCell{{reader.begin(), 0}, reader.name(), {}, false};
            for (const auto &attribute : reader.attributes()) {
                if (inMarkedRow && attribute.name != "t")
                    cell.attributes.push_back({attribute.begin, attribute.end});
            }
            break;
        case SheetCursor::Step::InCell:
            if (token == Token::StartElement && reader.depth() == SheetCursor::kCellDepth + 1 &&
                reader.localName() == "f")
                cell.hasFormula = true;
            break;
        case SheetCursor::Step::CellEnd:
            if (inMarkedRow && cursor.column() == kMarkColumn) {
                cell.element.end = reader.end();
                row->markCell = cell;
            } else if (inMarkedRow && cursor.column() < kMarkColumn) {
                row->afterLastBefore = reader.end();
            }
            inMarkedRow = false;
            break;
        case SheetCursor::Step::Other:
            break;
        }
    }
    return places;
}

// libzip edits the archive in a buffer that it must own. When zip_close keeps the unchanged
// beginning of the archive (write cloning, libzip 1.7), the new buffer takes over the last kept
// fragment and frees it: a buffer lent to libzip without ownership would be freed under its owner.
std::optional<QByteArray> replacePart(const QByteArray &bytes, const QString &partName,
                                      const QByteArray &content, QString *error)
{
    *error = QStringLiteral("could not replace the sheet in the ZIP archive");
    void *owned = std::malloc(std::size_t(std::max<qsizetype>(bytes.size(), 1)));
    if (!owned)
        return std::nullopt;
    std::memcpy(owned, bytes.constData(), std::size_t(bytes.size()));
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t *source =
        zip_source_buffer_create(owned, zip_uint64_t(bytes.size()), 1, &zipError);
    zip_error_fini(&zipError);
    if (!source) {
        std::free(owned);
        return std::nullopt;
    }
    zip_t *archive = zip_open_from_source(source, 0, nullptr);
    if (!archive) {
        zip_source_free(source);
        return std::nullopt;
    }
    // Kept beyond zip_close, which writes the new archive into it.
    zip_source_keep(source);
    const zip_int64_t index = zip_name_locate(archive, partName.toUtf8().constData(), 0);
    zip_source_t *replacement =
        zip_source_buffer(archive, content.constData(), zip_uint64_t(content.size()), 0);
    const bool replaced = index >= 0 && replacement &&
                          zip_file_replace(archive, zip_uint64_t(index), replacement, 0) == 0;
    if (!replaced && replacement)
        zip_source_free(replacement);
    // The fastest deflate level: the sheet part is written at every shut-down.
    if (!replaced ||
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 1) != 0 ||
        zip_close(archive) != 0) {
        if (replaced)
            *error = QStringLiteral("could not write the ZIP archive: ") +
                     QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        zip_source_free(source);
        return std::nullopt;
    }
    QByteArray result;
    zip_stat_t stat;
    if (zip_source_stat(source, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) &&
        zip_source_open(source) == 0) {
        result.resize(qsizetype(stat.size));
        const zip_int64_t got = zip_source_read(source, result.data(), stat.size);
        zip_source_close(source);
        if (got != zip_int64_t(stat.size))
            result.clear();
    }
    zip_source_free(source);
    if (result.isEmpty()) {
        *error = QStringLiteral("could not read the written ZIP archive");
        return std::nullopt;
    }
    error->clear();
    return result;
}

} // namespace

MarkedBytes markXlsxWorkbook(const QByteArray &bytes, const std::vector<int> &rows)
{
    MarkedBytes result;
    const auto package = xlsx::Package::open(bytes, &result.error);
    if (!package)
        return result;
    const auto parts = package->classListSheet(&result.error);
    if (!parts)
        return result;
    const auto sheet = package->part(parts->sheet, &result.error);
    if (!sheet)
        return result;
    const auto places = findRows(*sheet, rows);
    if (!places) {
        result.error = QStringLiteral("sheet1 is not well-formed XML");
        return result;
    }

    // Replacements by position: [begin, end) gives way to the bytes.
    std::map<qint64, std::pair<qint64, QByteArray>> edits;
    for (const auto &[row, place] : *places) {
        if (!place.found || (place.markCell && place.markCell->hasFormula)) {
            result.skippedRows.push_back(int(row));
        } else if (place.markCell) {
            const MarkCell &cell = *place.markCell;
            QByteArray attributes;
            for (const Span &attribute : cell.attributes)
                attributes += ' ' + bytesOf(*sheet, attribute).toByteArray();
            edits[cell.element.begin] = {cell.element.end,
                                         markCell(cell.name, place.name, attributes)};
        } else {
            const QByteArray cell = markCell(prefixed(place.name, "c"), place.name,
                                             " r=\"C" + QByteArray::number(row + 1) + '"');
            const QByteArray tag = openRowTag(*sheet, place);
            if (place.isEmpty) {
                edits[place.startTag.begin] = {place.startTag.end,
                                               tag + cell + "</" + place.name + '>'};
                continue;
            }
            edits[place.startTag.begin] = {place.startTag.end, tag};
            const qint64 at = place.afterLastBefore.value_or(place.startTag.end);
            edits[at] = {at, cell};
        }
    }
    QByteArray edited;
    edited.reserve(sheet->size() + qsizetype(edits.size()) * 128);
    qint64 copied = 0;
    for (const auto &[begin, edit] : edits) {
        if (begin < copied) {
            result.error = QStringLiteral("sheet1 holds a marked row twice");
            return result;
        }
        edited += QByteArrayView(*sheet).sliced(copied, begin - copied);
        edited += edit.second;
        copied = edit.first;
    }
    edited += QByteArrayView(*sheet).sliced(copied);
    auto written = replacePart(bytes, parts->sheet, edited, &result.error);
    if (written)
        result.bytes = std::move(*written);
    return result;
}

} // namespace lumo::roster
