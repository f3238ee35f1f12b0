// The photo marks written into an .xlsx: the sheet part edited as XML and replaced in the ZIP.
#include "roster/XlsxWorkbook.h"

#include "roster/XlsxCells.h"
#include "roster/XlsxPackage.h"

#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace lumo::roster {

namespace {

constexpr long long kMarkColumn = 2;

struct ByteWriter : pugi::xml_writer
{
    QByteArray bytes;
    void write(const void *data, std::size_t size) override
    {
        bytes.append(static_cast<const char *>(data), qsizetype(size));
    }
};

struct RowCells
{
    pugi::xml_node row;
    pugi::xml_node markCell;
    pugi::xml_node lastBefore;
};

// The element name with the prefix the sheet uses for its own elements ("x:c" beside "x:row").
std::string prefixed(pugi::xml_node sibling, const char *name)
{
    const std::string siblingName = sibling.name();
    const std::size_t colon = siblingName.rfind(':');
    return colon == std::string::npos ? name : siblingName.substr(0, colon + 1) + name;
}

// Writes the mark as an inline string, so that the shared strings part stays as it is.
void writeMark(pugi::xml_node cell, pugi::xml_node row)
{
    while (cell.first_child())
        cell.remove_child(cell.first_child());
    cell.remove_attribute("t");
    cell.append_attribute("t") = "inlineStr";
    pugi::xml_node text =
        cell.append_child(prefixed(row, "is").c_str()).append_child(prefixed(row, "t").c_str());
    text.append_child(pugi::node_pcdata).set_value(kPhotoTakenMark.toUtf8().constData());
}

void widenSpans(pugi::xml_node row)
{
    pugi::xml_attribute spans = row.attribute("spans");
    if (!spans)
        return;
    long long first = 0;
    long long last = 0;
    if (std::sscanf(spans.value(), "%lld:%lld", &first, &last) != 2)
        return;
    const std::string widened = std::to_string(std::min(first, kMarkColumn + 1)) + ":" +
                                std::to_string(std::max(last, kMarkColumn + 1));
    spans.set_value(widened.c_str());
}

bool hasFormula(pugi::xml_node cell)
{
    for (pugi::xml_node node : cell.children()) {
        if (xlsx::isNamed(node, "f"))
            return true;
    }
    return false;
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
    auto sheetBytes = package->part(parts->sheet, &result.error);
    if (!sheetBytes)
        return result;
    pugi::xml_document sheet;
    if (!sheet.load_buffer_inplace(sheetBytes->data(), std::size_t(sheetBytes->size()),
                                   pugi::parse_full | pugi::parse_ws_pcdata)) {
        result.error = QStringLiteral("sheet1 is not well-formed XML");
        return result;
    }

    std::map<long long, RowCells> places;
    for (int row : rows)
        places[row];
    xlsx::forEachCell(
        xlsx::sheetData(sheet),
        [&](pugi::xml_node row, long long index) {
            const auto place = places.find(index);
            if (place == places.end())
                return false;
            place->second.row = row;
            return true;
        },
        [&](pugi::xml_node cell, long long row, long long column) {
            RowCells &place = places[row];
            if (column == kMarkColumn)
                place.markCell = cell;
            else if (column < kMarkColumn)
                place.lastBefore = cell;
        });

    for (auto &[row, place] : places) {
        if (!place.row || (place.markCell && hasFormula(place.markCell))) {
            result.skippedRows.push_back(int(row));
            continue;
        }
        pugi::xml_node cell = place.markCell;
        if (!cell) {
            const std::string name = prefixed(place.row, "c");
            cell = place.lastBefore ? place.row.insert_child_after(name.c_str(), place.lastBefore)
                                    : place.row.prepend_child(name.c_str());
            std::string reference = std::to_string(row + 1);
            reference.insert(reference.begin(), 'C');
            cell.append_attribute("r") = reference.c_str();
            widenSpans(place.row);
        }
        writeMark(cell, place.row);
    }

    ByteWriter out;
    sheet.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    auto written = replacePart(bytes, parts->sheet, out.bytes, &result.error);
    if (written)
        result.bytes = std::move(*written);
    return result;
}

} // namespace lumo::roster
