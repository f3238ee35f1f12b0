// libFuzzer target for one workbook reader, chosen at build time (LUMO_FUZZ_FORMAT): the reader
// must end with rows or an error on any input, and marking what it read must not crash either.
#include "roster/CsvWorkbook.h"
#include "roster/XlsWorkbook.h"
#include "roster/XlsxWorkbook.h"

#include <cstddef>
#include <cstdint>

using namespace lumo::roster;

struct Format
{
    SheetReadResult (*read)(const QByteArray &);
    MarkedBytes (*mark)(const QByteArray &, const std::vector<int> &);
};
constexpr Format kFormats[] = {{readXlsWorkbook, markXlsWorkbook},
                               {readXlsxWorkbook, markXlsxWorkbook},
                               {readCsvWorkbook, markCsvWorkbook}};
constexpr Format kFormat = kFormats[LUMO_FUZZ_FORMAT];

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (kFormat.read(bytes).ok()) {
        const MarkedBytes marked = kFormat.mark(bytes, {1, 2, 3, 4});
        if (marked.ok())
            (void)kFormat.read(marked.bytes);
    }
    return 0;
}
