#include "roster/XlsxCells.h"

#include <cstdlib>

namespace lumo::roster::xlsx {

using Token = xml::Reader::Token;

std::optional<CellReference> parseReference(QByteArrayView text)
{
    CellReference reference;
    qsizetype p = 0;
    long long column = 0;
    for (; p < text.size() && text[p] >= 'A' && text[p] <= 'Z'; ++p) {
        column = column * 26 + (text[p] - 'A' + 1);
        if (column > 16384)
            return std::nullopt;
    }
    long long row = 0;
    for (const qsizetype digits = p; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p) {
        row = row * 10 + (text[p] - '0');
        if (row > 1048576 || p - digits > 8)
            return std::nullopt;
    }
    if (p != text.size() || column == 0 || row == 0)
        return std::nullopt;
    reference.row = row - 1;
    reference.column = column - 1;
    return reference;
}

SheetCursor::Step SheetCursor::follow(Token token, const xml::Reader &reader)
{
    const int depth = reader.depth();
    if (token == Token::StartElement) {
        if (depth == 2 && !m_sheetDataDone && reader.localName() == "sheetData") {
            m_inSheetData = true;
        } else if (m_inSheetData && depth == 3 && reader.localName() == "row") {
            const long long stated = std::strtoll(reader.attribute("r").constData(), nullptr, 10);
            m_row = stated > 0 ? stated - 1 : m_row + 1;
            m_column = -1;
            m_inRow = true;
            return Step::RowStart;
        } else if (m_inRow && depth == kCellDepth && reader.localName() == "c") {
            const auto reference = parseReference(reader.attribute("r"));
            m_column = reference ? reference->column : m_column + 1;
            m_inCell = true;
            return Step::CellStart;
        }
    } else if (token == Token::EndElement) {
        if (m_inSheetData && depth == 2) {
            m_inSheetData = false;
            m_sheetDataDone = true;
        } else if (m_inRow && depth == 3) {
            m_inRow = false;
            return Step::RowEnd;
        } else if (m_inCell && depth == kCellDepth) {
            m_inCell = false;
            return Step::CellEnd;
        }
    }
    return m_inCell ? Step::InCell : Step::Other;
}

void RichText::start(int depth)
{
    m_text.clear();
    m_depth = depth;
    m_textDepth = 0;
    m_inRun = false;
}

void RichText::follow(Token token, const xml::Reader &reader)
{
    const int depth = reader.depth();
    if (token == Token::StartElement) {
        const bool isText = reader.localName() == "t";
        if (isText && (depth == m_depth + 1 || (m_inRun && depth == m_depth + 2)))
            m_textDepth = depth;
        else if (depth == m_depth + 1 && reader.localName() == "r")
            m_inRun = true;
    } else if (token == Token::EndElement) {
        if (depth == m_textDepth)
            m_textDepth = 0;
        else if (depth == m_depth + 1)
            m_inRun = false;
    } else if (token == Token::Text && m_textDepth != 0) {
        m_text += QByteArrayView(reader.text())
                      .first(std::min(reader.text().size(),
                                      std::max<qsizetype>(m_maxBytes - m_text.size(), 0)));
    }
}

} // namespace lumo::roster::xlsx
