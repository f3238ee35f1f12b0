#include "roster/XlsxCells.h"

#include "roster/XlsxPackage.h"

#include <cstring>

namespace lumo::roster::xlsx {

bool isNamed(pugi::xml_node node, const char *name)
{
    return std::strcmp(localName(node.name()), name) == 0;
}

QString richText(pugi::xml_node item)
{
    QString text;
    for (pugi::xml_node node : item.children()) {
        if (isNamed(node, "t")) {
            text += QString::fromUtf8(node.text().get());
        } else if (isNamed(node, "r")) {
            for (pugi::xml_node run : node.children()) {
                if (isNamed(run, "t"))
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
        if (!isNamed(row, "row"))
            continue;
        const long long stated = row.attribute("r").as_llong(0);
        rowIndex = stated > 0 ? stated - 1 : rowIndex + 1;
        if (!visitRow(row, rowIndex))
            continue;
        long long column = -1;
        for (pugi::xml_node cell : row.children()) {
            if (!isNamed(cell, "c"))
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
        if (isNamed(node, "sheetData"))
            return node;
    }
    return {};
}

} // namespace lumo::roster::xlsx
