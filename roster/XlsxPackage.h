// The ZIP package of an .xlsx file and the way from the workbook part to the sheet "sheet1".
#pragma once

#include "roster/XmlReader.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

struct zip;
struct zip_file;

namespace lumo::roster::xlsx {

// The most bytes a part may inflate to: a sheet of 3000 class-list rows is far smaller. Parts are
// read as they inflate, whatever their entries claim, and one that goes beyond is refused.
constexpr qint64 kLargestPart = 64 * 1024 * 1024;

// A part as it inflates, as the source of an XML reader.
class PartStream
{
public:
    explicit PartStream(zip_file *file, const QString &name) : m_file(file), m_name(name) {}
    ~PartStream();
    PartStream(const PartStream &) = delete;
    PartStream &operator=(const PartStream &) = delete;

    qint64 read(char *buffer, qint64 size);
    xml::Reader::Source source()
    {
        return [this](char *buffer, qint64 size) { return read(buffer, size); };
    }
    // Why the part could not be read (too large, damaged); empty while it could.
    const QString &error() const { return m_error; }

private:
    zip_file *m_file;
    QString m_name;
    QString m_error;
    qint64 m_read = 0;
};

class Package
{
public:
    // Opens the archive in memory; bytes must outlive the package.
    static std::unique_ptr<Package> open(const QByteArray &bytes, QString *error);
    ~Package();

    std::unique_ptr<PartStream> openPart(const QString &name, QString *error) const;
    // The whole part in memory.
    std::optional<QByteArray> part(const QString &name, QString *error) const;
    bool hasPart(const QString &name) const;

    // The part names of the sheet "sheet1" and of the shared strings (empty when there are none).
    struct SheetParts
    {
        QString sheet;
        QString sharedStrings;
    };
    std::optional<SheetParts> classListSheet(QString *error) const;

    zip *archive() const { return m_archive; }

private:
    explicit Package(zip *archive) : m_archive(archive) {}
    zip *m_archive;
};

// Reads the part's XML to its end, calling visit for every token; false with the reason when the
// part cannot be read or is not well-formed.
bool readPartXml(const Package &package, const QString &name,
                 const std::function<void(xml::Reader::Token, const xml::Reader &)> &visit,
                 QString *error);

} // namespace lumo::roster::xlsx
