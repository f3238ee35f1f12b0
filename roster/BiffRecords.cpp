#include "roster/BiffRecords.h"

#include "roster/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace lumo::roster::biff {
namespace {

constexpr std::uint16_t kBiff8Version = 0x0600;

// Reads across an SST record and its CONTINUE records, following them one at a time. Character
// data that crosses into the next record starts there with a new flags byte saying whether it is
// 8 or 16 bits wide.
class ContinuedReader
{
public:
    ContinuedReader(QByteArrayView stream, const Record &first, qsizetype at)
        : m_stream(stream), m_record(first), m_piece(first.data), m_at(at)
    {
    }

    bool atEnd()
    {
        skipExhausted();
        return m_ended;
    }
    std::optional<std::uint32_t> integer(int bytes)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            skipExhausted();
            if (m_ended)
                return std::nullopt;
            value |= std::uint32_t(std::uint8_t(m_piece[m_at++])) << (8 * i);
        }
        return value;
    }
    bool skip(std::uint64_t bytes)
    {
        while (bytes > 0) {
            skipExhausted();
            if (m_ended)
                return false;
            const std::uint64_t here =
                std::min<std::uint64_t>(bytes, std::uint64_t(m_piece.size() - m_at));
            m_at += qsizetype(here);
            bytes -= here;
        }
        return true;
    }
    // The characters, or only past them when text is null.
    bool characters(std::uint32_t count, bool wide, QString *text)
    {
        if (text)
            text->reserve(qsizetype(std::min<std::uint32_t>(count, 8224)));
        for (std::uint32_t read = 0; read < count;) {
            if (!m_ended && m_at >= m_piece.size()) {
                if (!advance() || m_piece.isEmpty())
                    return false;
                wide = m_piece[m_at++] & 0x01;
                continue;
            }
            if (m_ended || (wide && m_at + 2 > m_piece.size()))
                return false;
            if (text)
                *text += wide ? QChar(le::u16(m_piece, m_at))
                              : QChar(char16_t(std::uint8_t(m_piece[m_at])));
            m_at += wide ? 2 : 1;
            ++read;
        }
        return true;
    }

private:
    bool advance()
    {
        const auto next = recordAt(m_stream, m_record.end(), nullptr);
        if (!next || next->type != Continue) {
            m_ended = true;
            return false;
        }
        m_record = *next;
        m_piece = next->data;
        m_at = 0;
        return true;
    }
    void skipExhausted()
    {
        while (!m_ended && m_at >= m_piece.size())
            advance();
    }

    QByteArrayView m_stream;
    Record m_record;
    QByteArrayView m_piece;
    qsizetype m_at = 0;
    bool m_ended = false;
};

} // namespace

std::optional<Record> recordAt(QByteArrayView stream, std::uint32_t offset, bool *cutOff)
{
    if (qsizetype(offset) + 4 > stream.size())
        return std::nullopt;
    Record record;
    record.type = le::u16(stream, offset);
    const std::uint16_t length = le::u16(stream, offset + 2);
    record.offset = offset;
    if (qsizetype(offset) + 4 + length > stream.size()) {
        if (cutOff)
            *cutOff = true;
        return std::nullopt;
    }
    // Padding after the last EOF (sector slack) is not a record.
    if (record.type == 0 && length == 0)
        return std::nullopt;
    record.data = stream.sliced(offset + 4, length);
    return record;
}

std::optional<std::vector<Record>> splitRecords(QByteArrayView stream, QString *error)
{
    bool cutOff = false;
    std::size_t count = 0;
    for (auto r = recordAt(stream, 0, &cutOff); r; r = recordAt(stream, r->end(), &cutOff))
        ++count;
    if (cutOff) {
        *error = QStringLiteral("workbook stream cut off inside a record");
        return std::nullopt;
    }
    std::vector<Record> records;
    records.reserve(count);
    for (auto r = recordAt(stream, 0, nullptr); r; r = recordAt(stream, r->end(), nullptr))
        records.push_back(*r);
    return records;
}

std::optional<Globals> readGlobals(QByteArrayView stream, QString *error)
{
    bool cutOff = false;
    auto record = recordAt(stream, 0, &cutOff);
    if (!record || record->type != Bof || record->data.size() < 4) {
        *error = QStringLiteral("workbook stream does not start with a BOF record");
        return std::nullopt;
    }
    if (le::u16(record->data, 0) != kBiff8Version) {
        *error = QStringLiteral("workbook older than BIFF8 (Excel 97)");
        return std::nullopt;
    }
    Globals globals;
    for (record = recordAt(stream, record->end(), &cutOff); record;
         record = recordAt(stream, record->end(), &cutOff)) {
        const QByteArrayView d = record->data;
        switch (record->type) {
        case FilePass:
            *error = QStringLiteral("workbook is encrypted");
            return std::nullopt;
        case Sst:
            globals.sstOffset = record->offset;
            break;
        case BoundSheet:
            // A worksheet (type 0) named "sheet1"; the first one counts.
            if (d.size() >= 8 && le::u8(d, 5) == 0 && globals.classSheetBof == kNoRecord &&
                unicodeString(d, 6, 1).value_or(QString()).compare(u"sheet1",
                                                                   Qt::CaseInsensitive) == 0)
                globals.classSheetBof = le::u32(d, 0);
            break;
        case Eof:
            return globals;
        default:
            break;
        }
    }
    *error = cutOff ? QStringLiteral("workbook stream cut off inside a record")
                    : QStringLiteral("workbook globals without an EOF record");
    return std::nullopt;
}

bool readSharedStrings(QByteArrayView stream, std::uint32_t sstOffset,
                       const std::function<bool(std::uint32_t index)> &wanted,
                       const std::function<bool(std::uint32_t index, const QString &text)> &take,
                       QString *error)
{
    const auto sst = recordAt(stream, sstOffset, nullptr);
    if (!sst || sst->data.size() < 8) {
        *error = QStringLiteral("shared string table too short");
        return false;
    }
    const std::uint32_t unique = le::u32(sst->data, 4);
    ContinuedReader reader(stream, *sst, 8);
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
        const bool keep = wanted(i);
        QString text;
        if (!reader.characters(*length, *flags & 0x01, keep ? &text : nullptr)) {
            *error = QStringLiteral("shared string runs past its records");
            return false;
        }
        if (keep && !take(i, text))
            return true;
        if (!reader.skip(std::uint64_t(runs) * 4 + extended))
            break;
    }
    return true;
}

bool forEachOwnRecord(QByteArrayView stream, std::uint32_t bofOffset,
                      const std::function<void(const Record &)> &visit, QString *error)
{
    // The position must be a record's own, reached from the start of the stream.
    auto record = recordAt(stream, 0, nullptr);
    while (record && record->offset < bofOffset)
        record = recordAt(stream, record->end(), nullptr);
    if (!record || record->offset != bofOffset || record->type != Bof) {
        *error = QStringLiteral("sheet position does not point at a BOF record");
        return false;
    }
    // Embedded charts are whole BOF..EOF substreams inside the sheet's; their records are not
    // the sheet's own.
    int depth = 1;
    for (record = recordAt(stream, record->end(), nullptr); record;
         record = recordAt(stream, record->end(), nullptr)) {
        if (record->type == Bof)
            ++depth;
        else if (record->type == Eof && --depth == 0)
            return true;
        else if (depth == 1)
            visit(*record);
    }
    *error = QStringLiteral("sheet without an EOF record");
    return false;
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
