#include "roster/XlsxPackage.h"

#include "roster/SheetGrid.h"
#include "roster/XlsxCells.h"

#include <pugixml.hpp>
#include <zip.h>

#include <cstring>

namespace lumo::roster::xlsx {
namespace {

bool parseXml(pugi::xml_document &document, const QByteArray &bytes)
{
    return document.load_buffer(bytes.constData(), std::size_t(bytes.size()),
                                pugi::parse_default | pugi::parse_ws_pcdata);
}

pugi::xml_node child(pugi::xml_node parent, const char *name)
{
    for (pugi::xml_node node : parent.children()) {
        if (isNamed(node, name))
            return node;
    }
    return {};
}

// An attribute by its local name ("r:id" and "id" alike).
pugi::xml_attribute attribute(pugi::xml_node node, const char *name)
{
    for (pugi::xml_attribute a : node.attributes()) {
        if (std::strcmp(localName(a.name()), name) == 0)
            return a;
    }
    return {};
}

// A relationship target, relative to the folder of the part that owns it, or absolute.
QString resolveTarget(const QString &base, QString target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    QString folder = base;
    while (target.startsWith(u"../")) {
        target = target.mid(3);
        folder = folder.section(u'/', 0, -2);
    }
    return folder.isEmpty() ? target : folder + u'/' + target;
}

} // namespace

const char *localName(const char *name)
{
    const char *colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

std::unique_ptr<Package> Package::open(const QByteArray &bytes, QString *error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t *source =
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &zipError);
    zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr;
    if (!archive) {
        *error = QStringLiteral("not a readable ZIP archive: ") +
                 QString::fromUtf8(zip_error_strerror(&zipError));
        if (source)
            zip_source_free(source);
        zip_error_fini(&zipError);
        return nullptr;
    }
    zip_error_fini(&zipError);
    return std::unique_ptr<Package>(new Package(archive));
}

Package::~Package()
{
    zip_discard(m_archive);
}

bool Package::hasPart(const QString &name) const
{
    return zip_name_locate(m_archive, name.toUtf8().constData(), 0) >= 0;
}

std::optional<QByteArray> Package::part(const QString &name, QString *error) const
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    const QByteArray zipName = name.toUtf8();
    if (zip_stat(m_archive, zipName.constData(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        *error = QStringLiteral("ZIP entry missing or unreadable: ") + name;
        return std::nullopt;
    }
    if (stat.size > zip_uint64_t(kLargestPart)) {
        *error = QStringLiteral("ZIP entry too large: ") + name;
        return std::nullopt;
    }
    zip_file_t *file = zip_fopen(m_archive, zipName.constData(), 0);
    if (!file) {
        *error = QStringLiteral("ZIP entry missing or unreadable: ") + name;
        return std::nullopt;
    }
    // libzip checks the stated size against the data (and the CRC), so a lying entry fails here.
    QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t got = zip_fread(file, data.data(), stat.size);
    char extra;
    const bool atEnd = zip_fread(file, &extra, 1) == 0;
    zip_fclose(file);
    if (got != zip_int64_t(stat.size) || !atEnd) {
        *error = QStringLiteral("ZIP entry damaged: ") + name;
        return std::nullopt;
    }
    return data;
}

std::optional<Package::SheetParts> Package::classListSheet(QString *error) const
{
    const auto workbookBytes = part(QStringLiteral("xl/workbook.xml"), error);
    const auto relationsBytes = part(QStringLiteral("xl/_rels/workbook.xml.rels"), error);
    if (!workbookBytes || !relationsBytes)
        return std::nullopt;
    pugi::xml_document workbook;
    pugi::xml_document relations;
    if (!parseXml(workbook, *workbookBytes) || !parseXml(relations, *relationsBytes)) {
        *error = QStringLiteral("workbook part is not well-formed XML");
        return std::nullopt;
    }

    QString sheetId;
    const pugi::xml_node sheets = child(child(workbook, "workbook"), "sheets");
    for (pugi::xml_node sheet : sheets.children()) {
        if (isNamed(sheet, "sheet") &&
            isClassListSheetName(QString::fromUtf8(attribute(sheet, "name").value()))) {
            sheetId = QString::fromUtf8(attribute(sheet, "id").value());
            break;
        }
    }
    if (sheetId.isEmpty()) {
        *error = QStringLiteral("workbook has no sheet named sheet1");
        return std::nullopt;
    }

    SheetParts parts;
    for (pugi::xml_node relation : child(relations, "Relationships").children()) {
        const QString id = QString::fromUtf8(attribute(relation, "Id").value());
        const QString type = QString::fromUtf8(attribute(relation, "Type").value());
        const QString target = resolveTarget(
            QStringLiteral("xl"), QString::fromUtf8(attribute(relation, "Target").value()));
        if (id == sheetId)
            parts.sheet = target;
        else if (type.endsWith(u"/sharedStrings"))
            parts.sharedStrings = target;
    }
    if (parts.sheet.isEmpty() || !hasPart(parts.sheet)) {
        *error = QStringLiteral("sheet1 has no worksheet part");
        return std::nullopt;
    }
    if (!parts.sharedStrings.isEmpty() && !hasPart(parts.sharedStrings))
        parts.sharedStrings.clear();
    return parts;
}

} // namespace lumo::roster::xlsx
