#include "roster/BiffRecords.h"

#include "roster/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace lumo::roster::biff {
namespace {

constexpr std::uint16_t kBiff8Version = 0x0600;

// Reads across an SST record and its CONTINUE records. Character data that crosses into the
// next record starts there with a new flags byte saying whether it is 8 or 16 bits wide.
class ContinuedReader
{
public:
    explicit ContinuedReader(std::vector<QByteArrayView> pieces) : m_pieces(std::move(pieces)) {}

    bool atEnd()
    {
        skipExhausted();
        return m_piece >= m_pieces.size();
    }
    std::optional<std::uint32_t> integer(int bytes)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            skipExhausted();
            if (m_piece >= m_pieces.size())
                return std::nullopt;
            value |= std::uint32_t(std::uint8_t(m_pieces[m_piece][m_at++])) << (8 * i);
        }
        return value;
    }
    bool skip(std::uint64_t bytes)
    {
        while (bytes > 0) {
            skipExhausted();
            if (m_piece >= m_pieces.size())
                return false;
            const std::uint64_t here =
                std::min<std::uint64_t>(bytes, std::uint64_t(m_pieces[m_piece].size() - m_at));
            m_at += qsizetype(here);
            bytes -= here;
        }
        return true;
    }
    std::optional<QString> characters(std::uint32_t count, bool wide)
    {
        QString text;
        text.reserve(qsizetype(std::min<std::uint32_t>(count, 8224)));
        while (std::uint32_t(text.size()) < count) {
            if (m_piece < m_pieces.size() && m_at >= m_pieces[m_piece].size()) {
                ++m_piece;
                m_at = 0;
                if (m_piece >= m_pieces.size() || m_pieces[m_piece].isEmpty())
                    return std::nullopt;
                wide = m_pieces[m_piece][m_at++] & 0x01;
                continue;
            }
            if (m_piece >= m_pieces.size())
                return std::nullopt;
            const QByteArrayView piece = m_pieces[m_piece];
            if (wide) {
                if (m_at + 2 > piece.size())
                    return std::nullopt;
                text += QChar(le::u16(piece, m_at));
                m_at += 2;
            } else {
                text += QChar(char16_t(std::uint8_t(piece[m_at])));
                m_at += 1;
            }
        }
        return text;
    }

private:
    void skipExhausted()
    {
        while (m_piece < m_pieces.size() && m_at >= m_pieces[m_piece].size()) {
            ++m_piece;
            m_at = 0;
        }
    }

    std::vector<QByteArrayView> m_pieces;
    std::size_t m_piece = 0;
    qsizetype m_at = 0;
};

std::optional<std::vector<QString>> sharedStrings(const std::vector<Record> &records,
                                                  std::size_t sstIndex, QString *error)
{
    std::vector<QByteArrayView> pieces{records[sstIndex].data};
    for (std::size_t i = sstIndex + 1; i < records.size() && records[i].type == Continue; ++i)
        pieces.push_back(records[i].data);
    if (pieces[0].size() < 8) {
        *error = QStringLiteral("shared string table too short");
        return std::nullopt;
    }
    const std::uint32_t unique = le::u32(pieces[0], 4);
    pieces[0] = pieces[0].sliced(8);
    ContinuedReader reader(std::move(pieces));
    std::vector<QString> strings;
    // Each string takes at least 3 bytes, so a claimed count cannot make us allocate more.
    strings.reserve(std::min<std::size_t>(unique, 65536));
    for (std::uint32_t i = 0; i < unique && !reader.atEnd(); ++i) {
        const auto length = reader.integer(2);
        const auto flags = reader.integer(1);
        if (!length || !flags)
            break;
        std::uint32_t runs = 0;
        std::uint32_t extended = 0;
        if (*flags & 0x08)
            runs = reader.integer(2).value_or(0);
        if (*flags & 0x04)
            extended = reader.integer(4).value_or(0);
        auto text = reader.characters(*length, *flags & 0x01);
        if (!text) {
            *error = QStringLiteral("shared string runs past its records");
            return std::nullopt;
        }
        strings.push_back(std::move(*text));
        if (!reader.skip(std::uint64_t(runs) * 4 + extended))
            break;
    }
    return strings;
}

} // namespace

std::optional<std::vector<Record>> splitRecords(QByteArrayView stream, QString *error)
{
    std::vector<Record> records;
    records.reserve(std::size_t(stream.size() / 16));
    qsizetype at = 0;
    while (at + 4 <= stream.size()) {
        Record record;
        record.type = le::u16(stream, at);
        const std::uint16_t length = le::u16(stream, at + 2);
        record.offset = std::uint32_t(at);
        if (at + 4 + length > stream.size()) {
            *error = QStringLiteral("workbook stream cut off inside a record");
            return std::nullopt;
        }
        record.data = stream.sliced(at + 4, length);
        records.push_back(record);
        at += 4 + length;
        // Padding after the last EOF (sector slack) is not a record.
        if (record.type == 0 && length == 0)
            break;
    }
    return records;
}

std::optional<Globals> readGlobals(const std::vector<Record> &records, QString *error)
{
    if (records.empty() || records[0].type != Bof || records[0].data.size() < 4) {
        *error = QStringLiteral("workbook stream does not start with a BOF record");
        return std::nullopt;
    }
    if (le::u16(records[0].data, 0) != kBiff8Version) {
        *error = QStringLiteral("workbook older than BIFF8 (Excel 97)");
        return std::nullopt;
    }
    Globals globals;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const Record &record = records[i];
        switch (record.type) {
        case FilePass:
            *error = QStringLiteral("workbook is encrypted");
            return std::nullopt;
        case Sst: {
            auto strings = sharedStrings(records, i, error);
            if (!strings)
                return std::nullopt;
            globals.sharedStrings = std::move(*strings);
            globals.sstRecord = i;
            break;
        }
        case BoundSheet: {
            if (record.data.size() < 8)
                break;
            SheetEntry sheet;
            sheet.bofOffset = le::u32(record.data, 0);
            sheet.sheetType = le::u8(record.data, 5);
            sheet.name = unicodeString(record.data, 6, 1).value_or(QString());
            sheet.boundSheetRecord = i;
            globals.sheets.push_back(sheet);
            break;
        }
        case Eof:
            globals.eofRecord = i;
            return globals;
        default:
            break;
        }
    }
    *error = QStringLiteral("workbook globals without an EOF record");
    return std::nullopt;
}

std::optional<Substream> findSubstream(const std::vector<Record> &records, std::uint32_t bofOffset,
                                       QString *error)
{
    const auto found = std::lower_bound(
        records.begin(), records.end(), bofOffset,
        [](const Record &record, std::uint32_t offset) { return record.offset < offset; });
    if (found == records.end() || found->offset != bofOffset || found->type != Bof) {
        *error = QStringLiteral("sheet position does not point at a BOF record");
        return std::nullopt;
    }
    Substream substream;
    substream.first = std::size_t(found - records.begin());
    // Embedded charts are whole BOF..EOF substreams inside the sheet's; their records are not
    // the sheet's own.
    int depth = 1;
    for (std::size_t i = substream.first + 1; i < records.size(); ++i) {
        if (records[i].type == Bof) {
            ++depth;
        } else if (records[i].type == Eof && --depth == 0) {
            substream.eof = i;
            return substream;
        } else if (depth == 1) {
            substream.own.push_back(i);
        }
    }
    *error = QStringLiteral("sheet without an EOF record");
    return std::nullopt;
}

std::optional<QString> unicodeString(QByteArrayView data, qsizetype at, int lengthBytes)
{
    if (at + lengthBytes + 1 > data.size())
        return std::nullopt;
    const std::uint32_t length = lengthBytes == 1 ? le::u8(data, at) : le::u16(data, at);
    at += lengthBytes;
    const std::uint8_t flags = le::u8(data, at++);
    if (flags & 0x08)
        at += 2; // run count of a rich string
    if (flags & 0x04)
        at += 4; // size of the phonetic block
    const bool wide = flags & 0x01;
    if (at + qsizetype(length) * (wide ? 2 : 1) > data.size())
        return std::nullopt;
    QString text;
    text.reserve(qsizetype(length));
    for (std::uint32_t i = 0; i < length; ++i) {
        text += wide ? QChar(le::u16(data, at + 2 * qsizetype(i)))
                     : QChar(char16_t(le::u8(data, at + qsizetype(i))));
    }
    return text;
}

double rkValue(std::uint32_t rk)
{
    double value;
    if (rk & 0x02) {
        value = double(std::int32_t(rk) >> 2);
    } else {
        const std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

} // namespace lumo::roster::biff
