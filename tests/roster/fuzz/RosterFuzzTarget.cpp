// libFuzzer target for one workbook reader, chosen at build time (LUMO_FUZZ_FORMAT): the reader
// must end with rows or an error on any input, and marking what it read must not crash either.
#include "roster/CsvWorkbook.h"
#include "roster/XlsWorkbook.h"
#include "roster/XlsxWorkbook.h"

#include <cstddef>
#include <cstdint>

namespace {

SheetReadResult read(const QByteArray &bytes)
{
    if constexpr (LUMO_FUZZ_FORMAT == 0)
        return readXlsWorkbook(bytes);
    else if constexpr (LUMO_FUZZ_FORMAT == 1)
        return readXlsxWorkbook(bytes);
    else
        return readCsvWorkbook(bytes);
}

MarkedBytes mark(const QByteArray &bytes, const std::vector<int> &rows)
{
    if constexpr (LUMO_FUZZ_FORMAT == 0)
        return markXlsWorkbook(bytes, rows);
    else if constexpr (LUMO_FUZZ_FORMAT == 1)
        return markXlsxWorkbook(bytes, rows);
    else
        return markCsvWorkbook(bytes, rows);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const SheetReadResult result = read(bytes);
    if (result.ok()) {
        const MarkedBytes marked = mark(bytes, {1, 2, 3, 4});
        if (marked.ok())
            (void)read(marked.bytes);
    }
    return 0;
}
