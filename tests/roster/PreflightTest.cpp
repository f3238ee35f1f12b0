// The check of one ID-card number, and the findings of a class.
#include "roster/Preflight.h"
#include "roster/IdCardCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace lumo::roster;

namespace {

const QDate kToday(2024, 6, 15);

// The check's error flags that are set, as a string that reads well in a failure.
std::string errorsOf(const QString &number)
{
    const IdCardCheck check = checkIdCardNumber(number, kToday);
    const std::pair<bool, const char *> flags[] = {
        {check.badChecksum, "checksum"}, {check.badBirthDate, "birth-date"},
        {check.badFormat, "format"},     {check.missing, "missing"},
        {check.spaces, "spaces"},        {check.isOtherDocument(), "other"}};
    QStringList errors;
    for (const auto &[set, name] : flags)
        if (set)
            errors << QString::fromLatin1(name);
    return errors.join(u' ').toStdString();
}

} // namespace

TEST(IdCardCheck, EveryWrongCheckCharacterIsFound)
{
    // The sample number everyone quotes; the Hong Kong, Macao and Taiwan residence permits and the
    // 2023 foreign permanent-residence card, which carry resident ID numbers.
    for (const QString number :
         {"11010519491231002X", "350203198606053219", "810000201003041230", "820000201003041232",
          "830000201003041234", "911156201003041232"}) {
        EXPECT_EQ(errorsOf(number), "") << number.toStdString();
        const QString first17 = number.first(17);
        EXPECT_EQ(residentIdCheckCharacter(first17), number.back());
        for (QChar any : QStringLiteral("0123456789X"))
            EXPECT_EQ(checkIdCardNumber(first17 + any, kToday).badChecksum, any != number.back())
                << (first17 + any).toStdString();
    }
    EXPECT_TRUE(residentIdCheckCharacter(u"1101051949123100A").isNull());
}

TEST(IdCardCheck, BirthDateIsARealDateFrom1900UpToToday)
{
    EXPECT_EQ(errorsOf("110105190001011231"), "");
    EXPECT_EQ(errorsOf("110105189912311237"), "birth-date");
    EXPECT_EQ(errorsOf("110105190002291239"), "birth-date"); // 1900 was no leap year
    EXPECT_EQ(errorsOf("110105202406151238"), "");           // today
    EXPECT_EQ(errorsOf("110105202406161233"), "birth-date");
    // The old 15 digits: YYMMDD of the 1900s, no check character.
    EXPECT_EQ(errorsOf("110105491231002"), "");
    EXPECT_EQ(errorsOf("110105000229002"), "birth-date");
}

TEST(IdCardCheck, OtherDocumentsFormatSpacesAndMissingNumbers)
{
    // Home-return permits, the Taiwan travel permit, the 2017 foreign permanent-residence card.
    for (const char *other : {"H12345678", "M1234567890", "12345678", "USA110012345678"})
        EXPECT_EQ(errorsOf(other), "other") << other;
    // A small x is a format error, and the check character is still checked.
    EXPECT_EQ(errorsOf("11010519491231002x"), "format");
    EXPECT_EQ(errorsOf("11010519491231003x"), "checksum format");
    EXPECT_EQ(errorsOf(QStringLiteral("１１０１０５１９４９１２３１００２X")),
              "format"); // full width
    // White space is told, and the number without it is checked too.
    EXPECT_EQ(errorsOf(QStringLiteral("110105\u300019491231003X")), "checksum spaces");
    // No number: empty, blanks only, or shorter than any document's.
    EXPECT_EQ(errorsOf(""), "missing");
    EXPECT_EQ(errorsOf("   "), "missing");
    EXPECT_EQ(errorsOf("123456789"), "missing");
}

TEST(Preflight, ListsEachStudentsFindingsInRowAndCodeOrder)
{
    const QString good = "110105201001011232", twin = "110105201001014564";
    const QString wrongCheck = "110105201001011230", bornIn2099 = "110105209901011234";
    const QString twinWithBlank = "110105 201001014564";
    // Row 10 is row 9 with a capital X; row 11 is no student of the class.
    const QStringList numbers({good, twin, "", wrongCheck, bornIn2099, twinWithBlank, "",
                               "H12345678", "11010519491231002x", "11010519491231002X", "1"});
    RosterTable table;
    for (int row = 1; row <= numbers.size(); ++row) {
        table.setCell(row, RosterTable::kName, QStringLiteral("学生%1").arg(row));
        table.setCell(row, RosterTable::kIdNumber, numbers[row - 1]);
    }
    QStringList found;
    for (const PreflightFinding &each : preflightClass(table, 10)) {
        found << QStringLiteral("%1 %2").arg(each.row).arg(each.code);
        EXPECT_EQ(each.name, table.name(each.row));
        EXPECT_EQ(each.idNumber, table.idNumber(each.row));
        EXPECT_EQ(each.isInformation(), each.code == finding::kNotResidentId);
        EXPECT_EQ(findingText(each.code).front().script(), QChar::Script_Han)
            << each.code.toStdString();
    }
    EXPECT_EQ(found.join(", ").toStdString(),
              "2 duplicate, 3 missing-id, 4 checksum, 5 birth-date, 6 duplicate, 6 spaces, "
              "7 missing-id, 8 not-resident-id, 9 format, 9 duplicate, 10 duplicate");
}
