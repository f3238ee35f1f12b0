#include "roster/CsvWorkbook.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <map>

namespace lumo::roster {

namespace {

constexpr int kMarkColumn = 2;

// A field's bytes in the file, quotes included.
struct Field
{
    qsizetype begin = 0;
    qsizetype end = 0;
};

// A line's first fields: those of the window. A line of a million commas keeps six.
struct Line
{
    std::array<Field, SheetGrid::kColumns> fields;
    std::size_t fieldCount = 0;
    qsizetype contentEnd = 0; // before the line break
};

// The first maxLines lines. Commas, quotes and line breaks are single bytes in UTF-8 and in GBK
// (whose second bytes are never below 0x40), so the split works on the raw bytes.
std::vector<Line> splitLines(const QByteArray &bytes, qsizetype start, int maxLines)
{
    std::vector<Line> lines;
    qsizetype at = start;
    const qsizetype size = bytes.size();
    while (at < size && int(lines.size()) < maxLines) {
        Line line;
        for (;;) {
            Field field{at, at};
            if (at < size && bytes[at] == '"') {
                ++at;
                while (at < size) {
                    if (bytes[at] == '"' && (at + 1 >= size || bytes[at + 1] != '"'))
                        break;
                    at += bytes[at] == '"' ? 2 : 1;
                }
                if (at < size)
                    ++at; // closing quote
            }
            while (at < size && bytes[at] != ',' && bytes[at] != '\n')
                ++at;
            field.end = at;
            if (field.end > field.begin && bytes[field.end - 1] == '\r' &&
                (at >= size || bytes[at] == '\n'))
                --field.end;
            if (line.fieldCount < line.fields.size())
                line.fields[line.fieldCount++] = field;
            if (at < size && bytes[at] == ',') {
                ++at;
                continue;
            }
            line.contentEnd = field.end;
            if (at < size)
                ++at; // line feed
            break;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

QString fieldText(QByteArrayView raw, QStringDecoder &decoder)
{
    // No character takes more than four bytes: the rest would be cut from the cell anyway.
    raw = raw.first(std::min<qsizetype>(raw.size(), SheetGrid::kLongestCell * 4));
    if (raw.startsWith('"')) {
        QByteArray unquoted;
        qsizetype at = 1;
        while (at < raw.size()) {
            if (raw[at] == '"') {
                if (at + 1 < raw.size() && raw[at + 1] == '"') {
                    unquoted += '"';
                    at += 2;
                    continue;
                }
                unquoted += raw.sliced(at + 1).toByteArray(); // text after the closing quote
                break;
            }
            unquoted += raw[at++];
        }
        return decoder.decode(unquoted);
    }
    return decoder.decode(raw);
}

struct Encoding
{
    QByteArray name;
    qsizetype start = 0; // after a byte order mark
};

// UTF-8 when the whole file is, checked a piece at a time.
Encoding detectEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {"UTF-8", 3};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    constexpr qsizetype kPiece = 1024 * 1024;
    for (qsizetype at = 0; at < bytes.size() && !utf8.hasError();) {
        qsizetype end = std::min(at + kPiece, bytes.size());
        // Pieces end before a character's lead byte, never inside a character.
        for (int back = 0; end < bytes.size() && back < 3 && (bytes[end] & 0xC0) == 0x80; ++back)
            --end;
        const QString decoded = utf8.decode(QByteArrayView(bytes).sliced(at, end - at));
        at = end;
    }
    return {utf8.hasError() ? "GBK" : "UTF-8", 0};
}

} // namespace

SheetReadResult readCsvWorkbook(const QByteArray &bytes)
{
    const Encoding encoding = detectEncoding(bytes);
    QStringDecoder decoder(encoding.name.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return SheetReadResult::failure(QStringLiteral("no decoder for ") +
                                        QString::fromLatin1(encoding.name));
    SheetReadResult result;
    const std::vector<Line> lines = splitLines(bytes, encoding.start, SheetGrid::kRows);
    for (std::size_t row = 0; row < lines.size(); ++row) {
        const Line &line = lines[row];
        for (std::size_t column = 0; column < line.fieldCount; ++column) {
            const Field f = line.fields[column];
            result.grid.setCell(
                qsizetype(row), qsizetype(column),
                fieldText(QByteArrayView(bytes).sliced(f.begin, f.end - f.begin), decoder));
        }
    }
    return result;
}

MarkedBytes markCsvWorkbook(const QByteArray &bytes, const std::vector<int> &rows)
{
    MarkedBytes result;
    const Encoding encoding = detectEncoding(bytes);
    QStringEncoder encoder(encoding.name.constData());
    if (!encoder.isValid()) {
        result.error = QStringLiteral("no encoder for ") + QString::fromLatin1(encoding.name);
        return result;
    }
    const QByteArray mark = encoder.encode(kPhotoTakenMark);
    const std::vector<Line> lines = splitLines(bytes, encoding.start, SheetGrid::kRows);

    // Replacements by position, applied from the front so that positions stay valid.
    std::map<qsizetype, std::pair<qsizetype, QByteArray>> edits;
    for (int row : rows) {
        if (row < 0 || std::size_t(row) >= lines.size()) {
            result.skippedRows.push_back(row);
            continue;
        }
        const Line &line = lines[std::size_t(row)];
        if (line.fieldCount > std::size_t(kMarkColumn)) {
            const Field f = line.fields[kMarkColumn];
            edits[f.begin] = {f.end, mark};
        } else {
            const QByteArray commas(qsizetype(kMarkColumn + 1 - line.fieldCount), ',');
            edits[line.contentEnd] = {line.contentEnd, commas + mark};
        }
    }
    qsizetype copied = 0;
    for (const auto &[begin, edit] : edits) {
        result.bytes += QByteArrayView(bytes).sliced(copied, begin - copied);
        result.bytes += edit.second;
        copied = edit.first;
    }
    result.bytes += QByteArrayView(bytes).sliced(copied);
    return result;
}

} // namespace lumo::roster
