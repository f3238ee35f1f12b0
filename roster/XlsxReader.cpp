// Reading the sheet "sheet1" of an .xlsx, with its shared strings, into the grid.
#include "roster/XlsxWorkbook.h"

#include "roster/CellText.h"
#include "roster/XlsxCells.h"
#include "roster/XlsxPackage.h"

#include <pugixml.hpp>

#include <charconv>
#include <cstring>

namespace lumo::roster {

namespace {

using xlsx::isNamed;

std::vector<QString> sharedStrings(const QByteArray &bytes)
{
    pugi::xml_document document;
    std::vector<QString> strings;
    if (!document.load_buffer(bytes.constData(), std::size_t(bytes.size()),
                              pugi::parse_default | pugi::parse_ws_pcdata))
        return strings;
    for (pugi::xml_node item : document.document_element().children()) {
        if (isNamed(item, "si"))
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
        if (isNamed(node, "v"))
            value = node;
        else if (isNamed(node, "is"))
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

} // namespace lumo::roster
