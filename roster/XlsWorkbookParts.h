// The pieces of an .xls file that both its reader and its mark writer walk through.
#pragma once

#include "roster/BiffRecords.h"
#include "roster/CompoundFile.h"

#include <QByteArray>

#include <optional>

namespace lumo::roster::xlsparts {

// The container and its workbook stream.
struct Container
{
    std::optional<CompoundFile> file;
    int workbookStream = -1;
    QByteArray stream;
};
std::optional<Container> openContainer(const QByteArray &bytes, QString *error);

struct Parts
{
    Container container;
    std::vector<biff::Record> records; // they view into container.stream
    biff::Globals globals;
    biff::Substream sheet; // the sheet "sheet1"
};

// The container, the workbook stream cut into records, the globals and the sheet "sheet1".
// The records view into the stream, whose bytes are shared, not copied, when Parts moves.
std::optional<Parts> open(const QByteArray &bytes, QString *error);

} // namespace lumo::roster::xlsparts
