// The records of a BIFF8 workbook stream (the "Workbook" stream of a legacy .xls) and the parts
// of its workbook globals the class list needs: shared strings and the class list's sheet. The
// stream is walked a record at a time: a reader keeps nothing for records it does not need.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace lumo::roster::biff {

enum RecordType : std::uint16_t {
    Formula = 0x0006,
    Eof = 0x000A,
    FilePass = 0x002F,
    Continue = 0x003C,
    BoundSheet = 0x0085,
    MulRk = 0x00BD,
    MulBlank = 0x00BE,
    RString = 0x00D6,
    DbCell = 0x00D7,
    Sst = 0x00FC,
    LabelSst = 0x00FD,
    Dimensions = 0x0200,
    Blank = 0x0201,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Row = 0x0208,
    Index = 0x020B,
    Array = 0x0221,
    DefColWidth = 0x0055,
    SharedFormula = 0x04BC,
    Rk = 0x027E,
    Table = 0x0236,
    Bof = 0x0809,
};

struct Record
{
    std::uint16_t type = 0;
    std::uint32_t offset = 0; // of the record's header in the stream
    QByteArrayView data;

    std::uint32_t end() const { return offset + 4 + std::uint32_t(data.size()); }
};

// The record at offset; nullopt at the end of the stream, at the padding after the last record
// (a record of type 0 without data), and for a record that runs past the end of the stream, which
// sets *cutOff.
std::optional<Record> recordAt(QByteArrayView stream, std::uint32_t offset, bool *cutOff);

// The stream cut into records; nullopt when a record runs past the end of the stream.
std::optional<std::vector<Record>> splitRecords(QByteArrayView stream, QString *error);

constexpr std::uint32_t kNoRecord = UINT32_MAX;

struct Globals
{
    std::uint32_t classSheetBof = kNoRecord; // the first worksheet named "sheet1"
    std::uint32_t sstOffset = kNoRecord;
};

// The globals up to their EOF record. Refuses encrypted files and versions before BIFF8.
std::optional<Globals> readGlobals(QByteArrayView stream, QString *error);

// Reads the shared strings of the SST record at sstOffset, across its CONTINUE records, in order:
// each string whose index wanted() asks for goes to take(), until take() returns false.
bool readSharedStrings(QByteArrayView stream, std::uint32_t sstOffset,
                       const std::function<bool(std::uint32_t index)> &wanted,
                       const std::function<bool(std::uint32_t index, const QString &text)> &take,
                       QString *error);

// Calls visit for each record of the substream that starts at bofOffset that belongs to it and
// not to a substream nested in it, in order.
bool forEachOwnRecord(QByteArrayView stream, std::uint32_t bofOffset,
                      const std::function<void(const Record &)> &visit, QString *error);

// The substream that starts at bofOffset: its BOF and EOF record and, in order, the records
// that belong to it and not to a substream nested in it.
struct Substream
{
    std::size_t first = 0;
    std::size_t eof = 0;
    std::vector<std::size_t> own;
};
std::optional<Substream> findSubstream(const std::vector<Record> &records, std::uint32_t bofOffset,
                                       QString *error);

// The XLUnicodeString at data[at]: a length of lengthBytes (1 or 2), flags, characters.
// nullopt when it runs past the data.
std::optional<QString> unicodeString(QByteArrayView data, qsizetype at, int lengthBytes);

// The value of an RK number.
double rkValue(std::uint32_t rk);

} // namespace lumo::roster::biff
