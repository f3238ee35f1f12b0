// Walking the cells of an .xlsx worksheet part, shared by its reader and its mark writer.
#pragma once

#include <QString>

#include <pugixml.hpp>

#include <functional>
#include <optional>

namespace lumo::roster::xlsx {

struct CellReference
{
    long long row = 0; // 0-based
    long long column = 0;
};

// True when the element's name without its namespace prefix is name.
bool isNamed(pugi::xml_node node, const char *name);

// "C12" → row 11, column 2; nullopt for anything else.
std::optional<CellReference> parseReference(const char *text);

// The text of a shared string item or inline string: its plain text or the text of its runs
// (phonetic runs are left out).
QString richText(pugi::xml_node item);

// The worksheet's sheetData element.
pugi::xml_node sheetData(const pugi::xml_document &document);

// Calls visitRow for every row with its 0-based index (rows without "r" follow the previous
// one); when it returns true, visitCell for each cell of that row.
void forEachCell(
    pugi::xml_node sheetData,
    const std::function<bool(pugi::xml_node row, long long rowIndex)> &visitRow,
    const std::function<void(pugi::xml_node cell, long long row, long long column)> &visitCell);

} // namespace lumo::roster::xlsx
