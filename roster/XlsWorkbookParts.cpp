#include "roster/XlsWorkbookParts.h"

namespace lumo::roster::xlsparts {

std::optional<Container> openContainer(const QByteArray &bytes, QString *error)
{
    Container container;
    container.file = CompoundFile::open(bytes, error);
    if (!container.file)
        return std::nullopt;
    container.workbookStream = container.file->findStream(QStringLiteral("Workbook"));
    if (container.workbookStream < 0) {
        *error = container.file->findStream(QStringLiteral("Book")) >= 0
                     ? QStringLiteral("workbook older than BIFF8 (Excel 97)")
                     : QStringLiteral("Compound File without a workbook stream");
        return std::nullopt;
    }
    auto stream = container.file->stream(std::size_t(container.workbookStream), error);
    if (!stream)
        return std::nullopt;
    container.stream = std::move(*stream);
    return container;
}

std::optional<Parts> open(const QByteArray &bytes, QString *error)
{
    Parts parts;
    auto container = openContainer(bytes, error);
    if (!container)
        return std::nullopt;
    parts.container = std::move(*container);
    auto globals = biff::readGlobals(parts.container.stream, error);
    if (!globals)
        return std::nullopt;
    parts.globals = *globals;
    if (globals->classSheetBof == biff::kNoRecord) {
        *error = QStringLiteral("workbook has no sheet named sheet1");
        return std::nullopt;
    }
    auto records = biff::splitRecords(parts.container.stream, error);
    if (!records)
        return std::nullopt;
    parts.records = std::move(*records);
    auto substream = biff::findSubstream(parts.records, globals->classSheetBof, error);
    if (!substream)
        return std::nullopt;
    parts.sheet = std::move(*substream);
    return parts;
}

} // namespace lumo::roster::xlsparts
