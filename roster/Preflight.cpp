#include "roster/Preflight.h"

#include "roster/IdCardCheck.h"

#include <QDate>
#include <QHash>

#include <algorithm>
#include <utility>

namespace lumo::roster {
namespace {

const std::pair<const char *, QString> kTexts[] = {
    {finding::kChecksum, QStringLiteral("校验位错误")},
    {finding::kBirthDate, QStringLiteral("出生日期无效")},
    {finding::kFormat, QStringLiteral("格式错误")},
    {finding::kDuplicate, QStringLiteral("身份证号重复")},
    {finding::kMissingId, QStringLiteral("没有身份证号")},
    {finding::kSpaces, QStringLiteral("含有空格")},
    {finding::kNotResidentId, QStringLiteral("不是居民身份证（其他证件）")},
};

} // namespace

bool PreflightFinding::isInformation() const
{
    return code == QLatin1String(finding::kNotResidentId);
}

std::vector<PreflightFinding> preflightClass(const RosterTable &table, int studentCount)
{
    const QDate today = QDate::currentDate();
    const int lastRow = std::min(studentCount, RosterTable::kRows - 1);
    std::vector<IdCardCheck> checks;
    std::vector<QString> comparables;
    QHash<QString, int> occurrences;
    for (int row = 1; row <= lastRow; ++row) {
        const QString number = table.idNumber(row);
        checks.push_back(checkIdCardNumber(number, today));
        comparables.push_back(checks.back().missing ? QString() : comparableIdNumber(number));
        if (!checks.back().missing)
            ++occurrences[comparables.back()];
    }

    std::vector<PreflightFinding> findings;
    for (int row = 1; row <= lastRow; ++row) {
        const IdCardCheck &check = checks[row - 1];
        const bool duplicate = !check.missing && occurrences.value(comparables[row - 1]) > 1;
        const std::pair<bool, const char *> codes[] = {
            {check.badChecksum, finding::kChecksum},
            {check.badBirthDate, finding::kBirthDate},
            {check.badFormat, finding::kFormat},
            {duplicate, finding::kDuplicate},
            {check.missing, finding::kMissingId},
            {check.spaces, finding::kSpaces},
            {check.isOtherDocument(), finding::kNotResidentId},
        };
        for (const auto &[found, code] : codes) {
            if (found) {
                findings.push_back(
                    {row, table.name(row), table.idNumber(row), QString::fromLatin1(code)});
            }
        }
    }
    return findings;
}

QString findingText(const QString &code)
{
    for (const auto &[known, text] : kTexts) {
        if (code == QLatin1String(known))
            return text;
    }
    return code;
}

} // namespace lumo::roster
