// The ZIP package of an .xlsx file and the way from the workbook part to the sheet "sheet1".
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

struct zip;

namespace lumo::roster::xlsx {

// The largest part we read; a sheet of 3000 class-list rows is far smaller, and a ZIP entry
// claiming more is refused instead of inflated.
constexpr qint64 kLargestPart = 64 * 1024 * 1024;

class Package
{
public:
    // Opens the archive in memory; bytes must outlive the package.
    static std::unique_ptr<Package> open(const QByteArray &bytes, QString *error);
    ~Package();

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

// The local name of an XML element, without its namespace prefix.
const char *localName(const char *name);

} // namespace lumo::roster::xlsx
