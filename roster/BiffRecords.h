// The records of a BIFF8 workbook stream (the "Workbook" stream of a legacy .xls) and the parts
// of its workbook globals the class list needs: shared strings and the sheet list.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
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

// The stream cut into records; nullopt when a record runs past the end of the stream.
std::optional<std::vector<Record>> splitRecords(QByteArrayView stream, QString *error);

struct SheetEntry
{
    QString name;
    std::uint32_t bofOffset = 0;
    std::uint8_t sheetType = 0; // 0 worksheet, 2 chart, 6 macro sheet
    std::size_t boundSheetRecord = 0;
};

struct Globals
{
    std::vector<QString> sharedStrings;
    std::vector<SheetEntry> sheets;
    std::size_t sstRecord = SIZE_MAX;
    std::size_t eofRecord = 0;
};

// The globals up to their EOF record. Refuses encrypted files and versions before BIFF8.
std::optional<Globals> readGlobals(const std::vector<Record> &records, QString *error);

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
