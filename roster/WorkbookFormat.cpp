#include "roster/WorkbookFormat.h"

#include <algorithm>

namespace lumo::roster {

WorkbookFormat detectWorkbookFormat(QByteArrayView firstBytes)
{
    static constexpr char kCompoundFile[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (firstBytes.startsWith(QByteArrayView(kCompoundFile, 8)))
        return WorkbookFormat::Xls;
    if (firstBytes.startsWith("PK\x03\x04") || firstBytes.startsWith("PK\x05\x06"))
        return WorkbookFormat::Xlsx;
    // Text has no NUL bytes; this also keeps UTF-16 text and bare BIFF2-5 streams out.
    if (firstBytes.first(std::min<qsizetype>(firstBytes.size(), 4096)).contains('\0'))
        return WorkbookFormat::Unknown;
    return WorkbookFormat::Csv;
}

} // namespace lumo::roster
