#include "roster/XlsxPackage.h"

#include "roster/SheetGrid.h"

#include <zip.h>

namespace lumo::roster::xlsx {
namespace {

using Token = xml::Reader::Token;

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

PartStream::~PartStream()
{
    zip_fclose(m_file);
}

qint64 PartStream::read(char *buffer, qint64 size)
{
    if (!m_error.isEmpty())
        return -1;
    // libzip checks the data against the entry's CRC at its end.
    const zip_int64_t got = zip_fread(m_file, buffer, zip_uint64_t(size));
    if (got < 0) {
        m_error = QStringLiteral("ZIP entry damaged: ") + m_name;
        return -1;
    }
    m_read += got;
    if (m_read > kLargestPart) {
        m_error = QStringLiteral("ZIP entry too large: ") + m_name;
        return -1;
    }
    return got;
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

std::unique_ptr<PartStream> Package::openPart(const QString &name, QString *error) const
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    const QByteArray zipName = name.toUtf8();
    if (zip_stat(m_archive, zipName.constData(), 0, &stat) != 0) {
        *error = QStringLiteral("ZIP entry missing or unreadable: ") + name;
        return nullptr;
    }
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(kLargestPart)) {
        *error = QStringLiteral("ZIP entry too large: ") + name;
        return nullptr;
    }
    zip_file_t *file = zip_fopen(m_archive, zipName.constData(), 0);
    if (!file) {
        *error = QStringLiteral("ZIP entry missing or unreadable: ") + name;
        return nullptr;
    }
    return std::make_unique<PartStream>(file, name);
}

std::optional<QByteArray> Package::part(const QString &name, QString *error) const
{
    const auto stream = openPart(name, error);
    if (!stream)
        return std::nullopt;
    QByteArray data;
    for (;;) {
        const qsizetype had = data.size();
        data.resize(had + 65536);
        const qint64 got = stream->read(data.data() + had, 65536);
        data.resize(had + std::max<qint64>(got, 0));
        if (got < 0) {
            *error = stream->error();
            return std::nullopt;
        }
        if (got == 0)
            return data;
    }
}

bool readPartXml(const Package &package, const QString &name,
                 const std::function<void(Token, const xml::Reader &)> &visit, QString *error)
{
    const auto stream = package.openPart(name, error);
    if (!stream)
        return false;
    xml::Reader reader(stream->source());
    for (Token token = reader.next();; token = reader.next()) {
        if (token == Token::End)
            return true;
        if (token == Token::Invalid) {
            *error = !stream->error().isEmpty()
                         ? stream->error()
                         : QStringLiteral("%1 is not well-formed XML").arg(name);
            return false;
        }
        visit(token, reader);
    }
}

std::optional<Package::SheetParts> Package::classListSheet(QString *error) const
{
    // xl/workbook.xml: <workbook><sheets><sheet name="Sheet1" r:id="rId3"/>...
    QString sheetId;
    bool found = false;
    bool isWorkbook = false;
    bool inSheets = false;
    const bool workbookRead = readPartXml(
        *this, QStringLiteral("xl/workbook.xml"),
        [&](Token token, const xml::Reader &reader) {
            const int depth = reader.depth();
            if (token == Token::EndElement && depth == 2)
                inSheets = false;
            if (token != Token::StartElement || found)
                return;
            if (depth == 1) {
                isWorkbook = reader.localName() == "workbook";
            } else if (depth == 2) {
                inSheets = isWorkbook && reader.localName() == "sheets";
            } else if (depth == 3 && inSheets && reader.localName() == "sheet" &&
                       isClassListSheetName(QString::fromUtf8(reader.attribute("name")))) {
                found = true;
                sheetId = QString::fromUtf8(reader.attribute("id"));
            }
        },
        error);
    if (!workbookRead)
        return std::nullopt;
    if (sheetId.isEmpty()) {
        *error = QStringLiteral("workbook has no sheet named sheet1");
        return std::nullopt;
    }

    SheetParts parts;
    const bool relationsRead = readPartXml(
        *this, QStringLiteral("xl/_rels/workbook.xml.rels"),
        [&](Token token, const xml::Reader &reader) {
            if (token != Token::StartElement || reader.depth() != 2)
                return;
            const QString id = QString::fromUtf8(reader.attribute("Id"));
            const QString type = QString::fromUtf8(reader.attribute("Type"));
            const QString target =
                resolveTarget(QStringLiteral("xl"), QString::fromUtf8(reader.attribute("Target")));
            if (id == sheetId)
                parts.sheet = target;
            else if (type.endsWith(u"/sharedStrings"))
                parts.sharedStrings = target;
        },
        error);
    if (!relationsRead)
        return std::nullopt;
    if (parts.sheet.isEmpty() || !hasPart(parts.sheet)) {
        *error = QStringLiteral("sheet1 has no worksheet part");
        return std::nullopt;
    }
    if (!parts.sharedStrings.isEmpty() && !hasPart(parts.sharedStrings))
        parts.sharedStrings.clear();
    return parts;
}

} // namespace lumo::roster::xlsx
