// Reading the sheet "sheet1" of an .xlsx into the grid as its parts inflate: the sheet first,
// then only the shared strings that cells of the window use.
#include "roster/XlsxWorkbook.h"

#include "roster/CellText.h"
#include "roster/XlsxCells.h"
#include "roster/XlsxPackage.h"

#include <charconv>
#include <map>

namespace lumo::roster {

namespace {

using Token = xml::Reader::Token;
using xlsx::SheetCursor;

// A cell's text in UTF-8 may take four bytes a character.
constexpr qsizetype kLongestCellBytes = SheetGrid::kLongestCell * 4;

QString numberText(const QByteArray &text)
{
    double value = 0;
    const char *end = text.constData() + text.size();
    const auto parsed = std::from_chars(text.constData(), end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end)
        return QString::fromUtf8(text);
    return celltext::numberText(value);
}

// A cell of the window as the sheet part gives it.
struct Cell
{
    QByteArray type;
    QByteArray value;
    bool hasValue = false;
    int valueDepth = 0; // of the <v> being read
    xlsx::RichText inlineText{kLongestCellBytes};
    int inlineDepth = 0; // of the <is> being read
};

// The cell's text; for a shared string, the index it refers to.
QString cellText(const Cell &cell, std::optional<std::uint32_t> *sharedIndex)
{
    if (cell.type == "inlineStr")
        return QString::fromUtf8(cell.inlineText.text());
    if (!cell.hasValue)
        return QString();
    if (cell.type == "s") {
        std::uint32_t index = 0;
        const auto parsed = std::from_chars(cell.value.constData(),
                                            cell.value.constData() + cell.value.size(), index);
        if (parsed.ec == std::errc())
            *sharedIndex = index;
        return QString();
    }
    if (cell.type == "b")
        return celltext::booleanText(cell.value != "0");
    if (cell.type == "str" || cell.type == "e" || cell.type == "d")
        return QString::fromUtf8(cell.value);
    return numberText(cell.value);
}

void followCell(Cell &cell, Token token, const xml::Reader &reader)
{
    const int depth = reader.depth();
    if (cell.inlineDepth)
        cell.inlineText.follow(token, reader);
    if (token == Token::StartElement && depth == SheetCursor::kCellDepth + 1) {
        if (reader.localName() == "v") {
            cell.value.clear();
            cell.hasValue = true;
            cell.valueDepth = depth;
        } else if (reader.localName() == "is") {
            cell.inlineText.start(depth);
            cell.inlineDepth = depth;
        }
    } else if (token == Token::EndElement && depth == SheetCursor::kCellDepth + 1) {
        cell.valueDepth = 0;
        cell.inlineDepth = 0;
    } else if (token == Token::Text && cell.valueDepth) {
        cell.value += reader.text().first(std::min(
            reader.text().size(), std::max<qsizetype>(0, kLongestCellBytes - cell.value.size())));
    }
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

    SheetReadResult result;
    // Cells that hold a shared string, by the string's index.
    std::multimap<std::uint32_t, std::pair<long long, long long>> shared;
    SheetCursor cursor;
    std::optional<Cell> cell;
    const bool sheetRead = xlsx::readPartXml(
        *package, parts->sheet,
        [&](Token token, const xml::Reader &reader) {
            switch (cursor.follow(token, reader)) {
            case SheetCursor::Step::CellStart:
                cell.reset();
                if (SheetGrid::inWindow(cursor.row(), cursor.column())) {
                    cell.emplace();
                    cell->type = reader.attribute("t");
                }
                break;
            case SheetCursor::Step::InCell:
                if (cell)
                    followCell(*cell, token, reader);
                break;
            case SheetCursor::Step::CellEnd:
                if (cell) {
                    std::optional<std::uint32_t> index;
                    result.grid.setCell(cursor.row(), cursor.column(), cellText(*cell, &index));
                    if (index)
                        shared.emplace(*index, std::pair(cursor.row(), cursor.column()));
                    cell.reset();
                }
                break;
            default:
                break;
            }
        },
        &error);
    if (!sheetRead)
        return SheetReadResult::failure(error);
    if (shared.empty() || parts->sharedStrings.isEmpty())
        return result;

    // <sst><si>...</si>...: the items the window uses, in order.
    std::uint32_t index = 0;
    bool wanted = false;
    xlsx::RichText text(kLongestCellBytes);
    const bool stringsRead = xlsx::readPartXml(
        *package, parts->sharedStrings,
        [&](Token token, const xml::Reader &reader) {
            const bool isItem = reader.depth() == 2 && reader.localName() == "si";
            if (token == Token::StartElement && isItem) {
                wanted = shared.contains(index);
                text.start(2);
            } else if (token == Token::EndElement && isItem) {
                const auto [first, last] = shared.equal_range(index++);
                const QString string = wanted ? QString::fromUtf8(text.text()) : QString();
                for (auto at = first; at != last; ++at)
                    result.grid.setCell(at->second.first, at->second.second, string);
                wanted = false;
            } else if (wanted) {
                text.follow(token, reader);
            }
        },
        &error);
    if (!stringsRead)
        return SheetReadResult::failure(error);
    return result;
}

} // namespace lumo::roster
