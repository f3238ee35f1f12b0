// The pre-flight of ID-card numbers: one number's check, and the findings of a class.
#include "roster/Preflight.h"
#include "roster/IdCardCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace lumo::roster;

namespace {

const QDate kToday(2024, 6, 15);

// The check character computed another way than the product does: weight i is 2^(17 - i) mod 11,
// and the character makes the weighted sum of all 18 come to 1 mod 11 ('X' standing for 10).
QChar expectedCheck(const QString &first17)
{
    int sum = 0;
    for (int i = 0; i < 17; ++i)
        sum += first17[i].digitValue() * ((1 << (17 - i)) % 11);
    const int value = (12 - sum % 11) % 11;
    return value == 10 ? QChar(u'X') : QChar(u'0' + value);
}

QString withCheck(const QString &first17)
{
    return first17 + expectedCheck(first17);
}

// Which of the check's error flags are set, as one string that reads well in a failure.
std::string errorsOf(const IdCardCheck &check)
{
    QStringList errors;
    const std::pair<bool, const char *> flags[] = {
        {check.badChecksum, "checksum"}, {check.badBirthDate, "birth-date"},
        {check.badFormat, "format"},     {check.missing, "missing"},
        {check.spaces, "spaces"},        {check.isOtherDocument(), "other"}};
    for (const auto &[set, name] : flags) {
        if (set)
            errors << QString::fromLatin1(name);
    }
    return errors.join(u' ').toStdString();
}

std::string errorsOf(const QString &number)
{
    return errorsOf(checkIdCardNumber(number, kToday));
}

} // namespace

TEST(IdCardCheck, ChecksumMatchesAnIndependentComputationAndPublicNumbers)
{
    for (const QString first17 :
         {"11010519491231002", "44052418800101001", "31010420120718400", "00000000000000000",
          "99999999999999999", "12345678901234567", "65010220001111123", "35020319860605321"}) {
        EXPECT_EQ(residentIdCheckCharacter(first17), expectedCheck(first17))
            << first17.toStdString();
        // Every other check character is refused.
        for (QChar wrong : QStringLiteral("0123456789X")) {
            if (wrong != expectedCheck(first17)) {
                EXPECT_TRUE(checkIdCardNumber(first17 + wrong, kToday).badChecksum);
            }
        }
    }
    EXPECT_EQ(errorsOf("11010519491231002X"), "");
    // Right check character, but born in 1880.
    EXPECT_EQ(errorsOf("440524188001010014"), "birth-date");
    EXPECT_EQ(errorsOf("440524188001010015"), "checksum birth-date");
    // A number stored as a number in the workbook loses its last digits to 15 significant ones.
    EXPECT_EQ(errorsOf("310104201207184000"), "checksum");
    EXPECT_TRUE(residentIdCheckCharacter(u"1101051949123100").isNull());
    EXPECT_TRUE(residentIdCheckCharacter(u"1101051949123100A").isNull());
}

TEST(IdCardCheck, BirthDateIsARealDateFrom1900UpToToday)
{
    const auto dateErrors = [](const char *birth) {
        return errorsOf(withCheck("110105" + QLatin1String(birth) + "123"));
    };
    EXPECT_EQ(dateErrors("20240229"), "");
    EXPECT_EQ(dateErrors("20230229"), "birth-date");
    EXPECT_EQ(dateErrors("19000229"), "birth-date"); // 1900 was no leap year
    EXPECT_EQ(dateErrors("19000101"), "");
    EXPECT_EQ(dateErrors("18991231"), "birth-date");
    EXPECT_EQ(dateErrors("20001301"), "birth-date");
    EXPECT_EQ(dateErrors("20000100"), "birth-date");
    EXPECT_EQ(dateErrors("20000431"), "birth-date");
    EXPECT_EQ(dateErrors("20240615"), ""); // born today
    EXPECT_EQ(dateErrors("20240616"), "birth-date");
    EXPECT_EQ(dateErrors("00000000"), "birth-date");

    // Old 15-digit numbers: YYMMDD of the 1900s, no check character.
    EXPECT_EQ(errorsOf("110105491231002"), "");
    EXPECT_EQ(errorsOf("110105000229002"), "birth-date"); // 1900-02-29
    EXPECT_EQ(errorsOf("110105960229002"), "");
    EXPECT_EQ(errorsOf("110105491331002"), "birth-date");
    EXPECT_EQ(checkIdCardNumber(u"110105491231002", kToday).document, IdDocument::OldResidentId);
}

TEST(IdCardCheck, PermitsWithResidentIdNumbersAreCheckedAlike)
{
    // Hong Kong, Macao and Taiwan residence permits, the 2023 foreign permanent-residence card
    // (9, province, nationality, date of birth, sequence, check character).
    for (const QString first6 : {"810000", "820000", "830000", "911156"}) {
        const QString number = withCheck(first6 + "20100304123");
        EXPECT_EQ(errorsOf(number), "") << number.toStdString();
        EXPECT_EQ(checkIdCardNumber(number, kToday).document, IdDocument::ResidentId);
        EXPECT_EQ(errorsOf(number.first(17) + QChar(number[17] == u'1' ? u'2' : u'1')), "checksum");
        EXPECT_EQ(errorsOf(withCheck(first6 + "20101304123")), "birth-date");
    }
}

TEST(IdCardCheck, OtherDocumentsAreToldAsSuch)
{
    EXPECT_EQ(errorsOf("H12345678"), "other");
    EXPECT_EQ(errorsOf("M1234567890"), "other");
    EXPECT_EQ(errorsOf("12345678"), "other"); // Taiwan travel permit
    EXPECT_EQ(errorsOf("USA110012345678"), "other");
    EXPECT_EQ(checkIdCardNumber(u"H12345678", kToday).document, IdDocument::HomeReturnPermit);
    EXPECT_EQ(checkIdCardNumber(u"12345678", kToday).document, IdDocument::TaiwanTravelPermit);
    EXPECT_EQ(checkIdCardNumber(u"USA110012345678", kToday).document,
              IdDocument::ForeignPermanentResidence);
    // Typed small: still that document, but not as the registry knows it.
    EXPECT_EQ(errorsOf("h12345678"), "format other");
    EXPECT_EQ(errorsOf("usa110012345678"), "format other");
    // Shapes close to them are not.
    EXPECT_EQ(errorsOf("H123456789"), "format");
    EXPECT_EQ(errorsOf("K1234567890"), "format");
    EXPECT_EQ(errorsOf("US1100123456789"), "format");
}

TEST(IdCardCheck, FormatSpacesAndMissingNumbers)
{
    // A small x is a format error, and the check character is still checked.
    EXPECT_EQ(errorsOf("11010519491231002x"), "format");
    EXPECT_EQ(errorsOf("11010519491231003x"), "checksum format");
    EXPECT_EQ(errorsOf("11010519491231O02X"), "format"); // letter O for a zero
    EXPECT_EQ(errorsOf(QStringLiteral("１１０１０５１９４９１２３１００２X")),
              "format"); // full-width
    EXPECT_EQ(errorsOf("1101051949123100"), "format");
    EXPECT_EQ(errorsOf("1234567890"), "format");

    // White space anywhere is told, and the number without it is checked too.
    EXPECT_EQ(errorsOf("110105 19491231002X"), "spaces");
    EXPECT_EQ(errorsOf(" 11010519491231002X"), "spaces");
    EXPECT_EQ(errorsOf(QStringLiteral("11010519491231002X\u3000")), "spaces");
    EXPECT_EQ(errorsOf("110105\t19491231003X"), "checksum spaces");
    EXPECT_EQ(errorsOf("1101 0519 4912 3100 2x"), "format spaces");

    // No number: empty, blanks only, or shorter than any document's.
    EXPECT_EQ(errorsOf(""), "missing");
    EXPECT_EQ(errorsOf("   "), "missing");
    EXPECT_EQ(errorsOf("12345"), "missing");
    EXPECT_EQ(errorsOf("123456789"), "missing");
    EXPECT_EQ(errorsOf("无"), "missing");
    EXPECT_EQ(errorsOf("123 45"), "missing spaces");
    EXPECT_EQ(comparableIdNumber(u" 1101 05x\u3000"), "110105X");
}

TEST(Preflight, ListsEachStudentsFindingsInRowAndCodeOrder)
{
    const QDate today = QDate::currentDate();
    const QString good = withCheck("11010520100101123");
    const QString twin = withCheck("11010520100101456");
    const QString future = withCheck("110105" + today.addDays(1).toString("yyyyMMdd") + "123");
    const QStringList numbers = {
        good,                                                   // 1
        twin,                                                   // 2
        "",                                                     // 3
        good.first(17) + QChar(good[17] == u'0' ? u'1' : u'0'), // 4
        future,                                                 // 5
        twin.first(6) + u' ' + twin.sliced(6),                  // 6: the twin of row 2 with a blank
        "",                                                     // 7
        "H12345678",                                            // 8
        "11010519491231002x",                                   // 9
        "11010519491231002X",                                   // 10: the same as row 9
        "无",                                                   // 11
        "ABCDEFGHIJK",                                          // 12
        "12345678",                                             // 13
    };
    RosterTable table;
    for (int row = 1; row <= numbers.size(); ++row) {
        table.setCell(row, RosterTable::kName, QStringLiteral("学生%1").arg(row));
        table.setCell(row, RosterTable::kIdNumber, numbers[row - 1]);
    }
    table.setCell(14, RosterTable::kName, "不在班上");
    table.setCell(14, RosterTable::kIdNumber, "1");

    QStringList found;
    for (const PreflightFinding &each : preflightClass(table, int(numbers.size()))) {
        found << QStringLiteral("%1 %2").arg(each.row).arg(each.code);
        EXPECT_EQ(each.name, table.name(each.row));
        EXPECT_EQ(each.idNumber, table.idNumber(each.row));
        EXPECT_EQ(each.isInformation(), each.code == finding::kNotResidentId);
    }
    EXPECT_EQ(found, QStringList({"2 duplicate", "3 missing-id", "4 checksum", "5 birth-date",
                                  "6 duplicate", "6 spaces", "7 missing-id", "8 not-resident-id",
                                  "9 format", "9 duplicate", "10 duplicate", "11 missing-id",
                                  "12 format", "13 not-resident-id"}));

    // A class without findings, and one of nobody.
    RosterTable clean;
    for (int row = 1; row <= 3; ++row) {
        clean.setCell(row, RosterTable::kName, QStringLiteral("学生%1").arg(row));
        clean.setCell(row, RosterTable::kIdNumber,
                      withCheck(QStringLiteral("3101042012071840%1").arg(row)));
    }
    EXPECT_TRUE(preflightClass(clean, 3).empty());
    EXPECT_TRUE(preflightClass(clean, 0).empty());
}

TEST(Preflight, EveryCodeHasItsOwnChineseTextForTheOperator)
{
    QStringList texts;
    for (const char *code :
         {finding::kChecksum, finding::kBirthDate, finding::kFormat, finding::kDuplicate,
          finding::kMissingId, finding::kSpaces, finding::kNotResidentId}) {
        const QString text = findingText(QString::fromLatin1(code));
        EXPECT_TRUE(!text.isEmpty() && text.front().script() == QChar::Script_Han) << code;
        EXPECT_FALSE(texts.contains(text)) << code;
        texts << text;
    }
    // A code from a newer Lumo is still shown.
    EXPECT_EQ(findingText("new-code"), "new-code");
}
