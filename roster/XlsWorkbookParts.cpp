#include "roster/XlsWorkbookParts.h"

#include "roster/CellText.h"
#include "roster/LittleEndian.h"
#include "roster/SheetGrid.h"

namespace lumo::roster::xlsparts {

std::optional<Parts> open(const QByteArray &bytes, QString *error)
{
    Parts parts;
    parts.container = CompoundFile::open(bytes, error);
    if (!parts.container)
        return std::nullopt;
    parts.workbookStream = parts.container->findStream(QStringLiteral("Workbook"));
    if (parts.workbookStream < 0) {
        *error = parts.container->findStream(QStringLiteral("Book")) >= 0
                     ? QStringLiteral("workbook older than BIFF8 (Excel 97)")
                     : QStringLiteral("Compound File without a workbook stream");
        return std::nullopt;
    }
    auto stream = parts.container->stream(std::size_t(parts.workbookStream), error);
    if (!stream)
        return std::nullopt;
    parts.stream = std::move(*stream);
    auto records = biff::splitRecords(parts.stream, error);
    if (!records)
        return std::nullopt;
    parts.records = std::move(*records);
    auto globals = biff::readGlobals(parts.records, error);
    if (!globals)
        return std::nullopt;
    parts.globals = std::move(*globals);
    for (const biff::SheetEntry &sheet : parts.globals.sheets) {
        if (sheet.sheetType == 0 && isClassListSheetName(sheet.name)) {
            auto substream = biff::findSubstream(parts.records, sheet.bofOffset, error);
            if (!substream)
                return std::nullopt;
            parts.sheet = *substream;
            return parts;
        }
    }
    *error = QStringLiteral("workbook has no sheet named sheet1");
    return std::nullopt;
}

QString formulaResultText(const std::vector<biff::Record> &records, std::size_t index)
{
    const QByteArrayView d = records[index].data;
    if (le::u16(d, 12) != 0xFFFF)
        return celltext::numberText(le::f64(d, 6));
    switch (le::u8(d, 6)) {
    case 0: // text, in the STRING record after any shared-formula, array or table record
        for (std::size_t i = index + 1; i < records.size(); ++i) {
            const std::uint16_t type = records[i].type;
            if (type == biff::String)
                return biff::unicodeString(records[i].data, 0, 2).value_or(QString());
            if (type != biff::SharedFormula && type != biff::Array && type != biff::Table)
                break;
        }
        return QString();
    case 1:
        return celltext::booleanText(le::u8(d, 8));
    case 2:
        return celltext::errorText(le::u8(d, 8));
    default:
        return QString();
    }
}

} // namespace lumo::roster::xlsparts
