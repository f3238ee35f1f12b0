// Following the cells of an .xlsx worksheet part as its XML streams by, shared by its reader and
// its mark writer.
#pragma once

#include "roster/XmlReader.h"

#include <QByteArray>

#include <optional>

namespace lumo::roster::xlsx {

struct CellReference
{
    long long row = 0; // 0-based
    long long column = 0;
};

// "C12" → row 11, column 2; nullopt for anything else.
std::optional<CellReference> parseReference(QByteArrayView text);

// Where the reader is in <worksheet><sheetData><row><c>...: the row's 0-based index (a row
// without "r" follows the previous one) and the cell's column (likewise).
class SheetCursor
{
public:
    enum class Step { Other, RowStart, RowEnd, CellStart, CellEnd, InCell };

    Step follow(xml::Reader::Token token, const xml::Reader &reader);
    long long row() const { return m_row; }
    long long column() const { return m_column; }
    static constexpr int kCellDepth = 4;

private:
    bool m_inSheetData = false;
    bool m_sheetDataDone = false;
    bool m_inRow = false;
    bool m_inCell = false;
    long long m_row = -1;
    long long m_column = -1;
};

// The text of a shared string item or inline string whose element is at depth: its <t> or the
// <t> of its runs (phonetic runs are left out). At most maxBytes are kept.
class RichText
{
public:
    explicit RichText(qsizetype maxBytes) : m_maxBytes(maxBytes) {}
    void start(int depth);
    void follow(xml::Reader::Token token, const xml::Reader &reader);
    const QByteArray &text() const { return m_text; }

private:
    qsizetype m_maxBytes;
    QByteArray m_text;
    int m_depth = 0;
    int m_textDepth = 0; // of the <t> being read, 0 outside
    bool m_inRun = false;
};

} // namespace lumo::roster::xlsx
