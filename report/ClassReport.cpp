#include "report/ClassReport.h"

#include "common/IdCardNumber.h"
#include "common/NativePath.h"
#include "common/PlainFileName.h"
#include "photo/PhotoSaver.h"
#include "roster/Preflight.h"

#include <QDir>
#include <QHash>

#include <algorithm>

namespace lumo::report {

namespace {

constexpr int kShownAtEachEnd = 4;

// An existing file at <stem>.jpg or <stem>.JPG.
QString existingPhoto(const QString &pathWithoutSuffix)
{
    for (const QLatin1String suffix : {QLatin1String(".jpg"), QLatin1String(".JPG")}) {
        const QString path = pathWithoutSuffix + suffix;
        if (common::pathKind(path) == common::PathKind::File)
            return path;
    }
    return QString();
}

} // namespace

int ClassReport::photographedCount() const
{
    return int(std::count_if(students.cbegin(), students.cend(),
                             [](const ReportStudent &s) { return !s.photoPath.isEmpty(); }));
}

QString maskedId(const QString &idNumber)
{
    const qsizetype shown = std::min<qsizetype>(kShownAtEachEnd, idNumber.size() / 4);
    return idNumber.left(shown) + QString(idNumber.size() - 2 * shown, u'*') +
           idNumber.right(shown);
}

QString studentPhotoPath(const QString &photoFolder, const QString &name, const QString &idNumber,
                         const photo::RegistryCode &registryCode)
{
    if (!common::canNamePhoto(idNumber)) {
        const QString key = photo::withoutIdKey(registryCode, name);
        if (key.isEmpty() || !common::isPlainFileName(key))
            return QString();
        return existingPhoto(QDir(photoFolder).filePath(photo::kWithoutIdFolderName + u'/' + key));
    }
    if (!common::isPlainFileName(idNumber))
        return QString();
    const QDir folder(photoFolder);
    const photo::PhotoNames names = photo::photoNames(QString(), QString(), name, idNumber);
    const QString saved = existingPhoto(folder.filePath(names.photoKey));
    return saved.isEmpty() ? existingPhoto(folder.filePath(names.longKey)) : saved;
}

QHash<int, QString> findingsByRow(const roster::RosterTable &table, int studentCount)
{
    QHash<int, QString> texts;
    for (const roster::PreflightFinding &found : roster::preflightClass(table, studentCount)) {
        QString &text = texts[found.row];
        if (!text.isEmpty())
            text += QStringLiteral("；");
        text += roster::findingText(found.code);
    }
    return texts;
}

QList<ReportStudent> reportStudents(const roster::RosterTable &table, int studentCount,
                                    const QString &photoFolder,
                                    const photo::RegistryCode &registryCode)
{
    const QHash<int, QString> findings = findingsByRow(table, studentCount);
    QList<ReportStudent> students;
    students.reserve(studentCount);
    for (int row = 1; row <= studentCount; ++row) {
        const QString name = table.name(row);
        const QString idNumber = table.idNumber(row);
        students.append({row, name, idNumber, findings.value(row),
                         studentPhotoPath(photoFolder, name, idNumber, registryCode)});
    }
    return students;
}

} // namespace lumo::report
