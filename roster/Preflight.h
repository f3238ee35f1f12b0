// The pre-flight of a class's ID-card numbers at import: what the operator should fix in the class
// list before photos are named after wrong numbers. The class is imported unchanged either way.
#pragma once

#include "roster/RosterTable.h"

#include <QString>

#include <vector>

namespace lumo::roster {

// The codes of the findings, as lumo-cli prints them and reports store them.
namespace finding {
inline constexpr char kChecksum[] = "checksum";
inline constexpr char kBirthDate[] = "birth-date";
// Also a lower-case letter, such as a small "x" as the check character.
inline constexpr char kFormat[] = "format";
// The same number twice in the class: every occurrence.
inline constexpr char kDuplicate[] = "duplicate";
// Empty or too short to be a number (see common/IdCardNumber.h).
inline constexpr char kMissingId[] = "missing-id";
inline constexpr char kSpaces[] = "spaces";
// Information only: another document.
inline constexpr char kNotResidentId[] = "not-resident-id";
} // namespace finding

struct PreflightFinding
{
    int row = 0; // student number (roster row)
    QString name;
    QString idNumber;           // as in the class list
    QString code;               // one of finding::
    bool isInformation() const; // true for not-resident-id
};

// The findings of the class's students (rows 1..studentCount), in row order, codes in the order
// above per row. A number with white space is also checked without it. Numbers are the same when
// they are the same without white space and with letters in capitals; students without a number
// are not duplicates of each other.
std::vector<PreflightFinding> preflightClass(const RosterTable &table, int studentCount);

// What the operator reads for a code, e.g. "校验位错误"; an unknown code is shown as it is.
QString findingText(const QString &code);

} // namespace lumo::roster
