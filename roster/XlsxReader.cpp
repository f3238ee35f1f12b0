#include "roster/XlsxWorkbook.h"

#include "roster/CellText.h"
#include "roster/XlsxCells.h"
#include "roster/XlsxPackage.h"

#include <pugixml.hpp>

#include <charconv>
#include <cstring>

namespace {

using xlsx::localName;

bool named(pugi::xml_node node, const char *name)
{
    return std::strcmp(localName(node.name()), name) == 0;
}

std::vector<QString> sharedStrings(const QByteArray &bytes)
{
    pugi::xml_document document;
    std::vector<QString> strings;
    if (!document.load_buffer(bytes.constData(), std::size_t(bytes.size()),
                              pugi::parse_default | pugi::parse_ws_pcdata))
        return strings;
    for (pugi::xml_node item : document.document_element().children()) {
        if (named(item, "si"))
            strings.push_back(xlsx::richText(item));
    }
    return strings;
}

QString numberText(const char *text)
{
    double value = 0;
    const char *end = text + std::strlen(text);
    const auto parsed = std::from_chars(text, end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end)
        return QString::fromUtf8(text);
    return celltext::numberText(value);
}

QString cellText(pugi::xml_node cell, const std::vector<QString> &strings)
{
    const std::string type = cell.attribute("t").value();
    pugi::xml_node value;
    pugi::xml_node inlineString;
    for (pugi::xml_node node : cell.children()) {
        if (named(node, "v"))
            value = node;
        else if (named(node, "is"))
            inlineString = node;
    }
    const char *v = value.text().get();
    if (type == "inlineStr")
        return xlsx::richText(inlineString);
    if (!value)
        return QString();
    if (type == "s") {
        unsigned long index = 0;
        const auto parsed = std::from_chars(v, v + std::strlen(v), index);
        return parsed.ec == std::errc() && index < strings.size() ? strings[index] : QString();
    }
    if (type == "b")
        return celltext::booleanText(std::strcmp(v, "0") != 0);
    if (type == "str" || type == "e" || type == "d")
        return QString::fromUtf8(v);
    return numberText(v);
}

} // namespace

namespace xlsx {

QString richText(pugi::xml_node item)
{
    QString text;
    for (pugi::xml_node node : item.children()) {
        if (named(node, "t")) {
            text += QString::fromUtf8(node.text().get());
        } else if (named(node, "r")) {
            for (pugi::xml_node run : node.children()) {
                if (named(run, "t"))
                    text += QString::fromUtf8(run.text().get());
            }
        }
    }
    return text;
}

std::optional<CellReference> parseReference(const char *text)
{
    CellReference reference;
    const char *p = text;
    long long column = 0;
    for (; *p >= 'A' && *p <= 'Z'; ++p) {
        column = column * 26 + (*p - 'A' + 1);
        if (column > 16384)
            return std::nullopt;
    }
    long long row = 0;
    for (const char *digits = p; *p >= '0' && *p <= '9'; ++p) {
        row = row * 10 + (*p - '0');
        if (row > 1048576 || p - digits > 8)
            return std::nullopt;
    }
    if (*p != '\0' || column == 0 || row == 0)
        return std::nullopt;
    reference.row = row - 1;
    reference.column = column - 1;
    return reference;
}

void forEachCell(
    pugi::xml_node sheetData,
    const std::function<bool(pugi::xml_node row, long long rowIndex)> &visitRow,
    const std::function<void(pugi::xml_node cell, long long row, long long column)> &visitCell)
{
    long long rowIndex = -1;
    for (pugi::xml_node row : sheetData.children()) {
        if (!named(row, "row"))
            continue;
        const long long stated = row.attribute("r").as_llong(0);
        rowIndex = stated > 0 ? stated - 1 : rowIndex + 1;
        if (!visitRow(row, rowIndex))
            continue;
        long long column = -1;
        for (pugi::xml_node cell : row.children()) {
            if (!named(cell, "c"))
                continue;
            const auto reference = parseReference(cell.attribute("r").value());
            column = reference ? reference->column : column + 1;
            if (visitCell)
                visitCell(cell, rowIndex, column);
        }
    }
}

pugi::xml_node sheetData(const pugi::xml_document &document)
{
    for (pugi::xml_node node : document.document_element().children()) {
        if (named(node, "sheetData"))
            return node;
    }
    return {};
}

} // namespace xlsx

SheetReadResult readXlsxWorkbook(const QByteArray &bytes)
{
    QString error;
    const auto package = xlsx::Package::open(bytes, &error);
    if (!package)
        return SheetReadResult::failure(error);
    const auto parts = package->classListSheet(&error);
    if (!parts)
        return SheetReadResult::failure(error);
    std::vector<QString> strings;
    if (!parts->sharedStrings.isEmpty()) {
        const auto stringBytes = package->part(parts->sharedStrings, &error);
        if (!stringBytes)
            return SheetReadResult::failure(error);
        strings = sharedStrings(*stringBytes);
    }
    auto sheetBytes = package->part(parts->sheet, &error);
    if (!sheetBytes)
        return SheetReadResult::failure(error);
    pugi::xml_document sheet;
    if (!sheet.load_buffer_inplace(sheetBytes->data(), std::size_t(sheetBytes->size()),
                                   pugi::parse_default | pugi::parse_ws_pcdata))
        return SheetReadResult::failure(QStringLiteral("sheet1 is not well-formed XML"));

    SheetReadResult result;
    xlsx::forEachCell(
        xlsx::sheetData(sheet),
        [](pugi::xml_node, long long row) { return row < SheetGrid::kRows; },
        [&](pugi::xml_node cell, long long row, long long column) {
            if (SheetGrid::inWindow(row, column))
                result.grid.setCell(row, column, cellText(cell, strings));
        });
    return result;
}
