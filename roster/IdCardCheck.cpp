#include "roster/IdCardCheck.h"

#include "common/IdCardNumber.h"

#include <QString>

#include <algorithm>

namespace lumo::roster {
namespace {

constexpr int kResidentIdLength = 18;
constexpr int kOldResidentIdLength = 15;
constexpr int kWeights[kResidentIdLength - 1] = {7, 9, 10, 5,  8, 4, 2, 1, 6,
                                                 3, 7, 9,  10, 5, 8, 4, 2};
constexpr char kCheckCharacters[] = "10X98765432";
constexpr int kEarliestBirthYear = 1900;

// ASCII only: a full-width "１" is a typing error the registry would not match either.
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isCapital(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isLowerCase(QChar c)
{
    return c >= u'a' && c <= u'z';
}

bool allDigits(QStringView text)
{
    return std::all_of(text.begin(), text.end(), isDigit);
}

int valueOf(QStringView digits)
{
    int value = 0;
    for (QChar c : digits)
        value = value * 10 + (c.unicode() - u'0');
    return value;
}

// YYYYMMDD (or YYMMDD of the 1900s) as a date of birth.
bool isBirthDate(int year, QStringView monthAndDay, QDate today)
{
    const int month = valueOf(monthAndDay.first(2));
    const int day = valueOf(monthAndDay.sliced(2, 2));
    return year >= kEarliestBirthYear && QDate::isValid(year, month, day) &&
           QDate(year, month, day) <= today;
}

// The document by the shape of the number without white space, letters in capitals.
IdDocument documentOf(QStringView number)
{
    const qsizetype length = number.size();
    if (length == kResidentIdLength && allDigits(number.first(17)) &&
        (isDigit(number[17]) || number[17] == u'X'))
        return IdDocument::ResidentId;
    if (length == kOldResidentIdLength && allDigits(number))
        return IdDocument::OldResidentId;
    if (length == kOldResidentIdLength &&
        std::all_of(number.begin(), number.begin() + 3, isCapital) && allDigits(number.sliced(3)))
        return IdDocument::ForeignPermanentResidence;
    if ((length == 9 || length == 11) && (number[0] == u'H' || number[0] == u'M') &&
        allDigits(number.sliced(1)))
        return IdDocument::HomeReturnPermit;
    if (length == 8 && allDigits(number))
        return IdDocument::TaiwanTravelPermit;
    return common::countsAsWithoutId(number) ? IdDocument::None : IdDocument::Unknown;
}

} // namespace

QChar residentIdCheckCharacter(QStringView first17)
{
    if (first17.size() != kResidentIdLength - 1 || !allDigits(first17))
        return {};
    int sum = 0;
    for (int i = 0; i < kResidentIdLength - 1; ++i)
        sum += (first17[i].unicode() - u'0') * kWeights[i];
    return QChar::fromLatin1(kCheckCharacters[sum % 11]);
}

QString comparableIdNumber(QStringView number)
{
    QString comparable;
    comparable.reserve(number.size());
    for (QChar c : number) {
        if (c.isSpace())
            continue;
        comparable.append(isLowerCase(c) ? QChar(c.unicode() - u'a' + u'A') : c);
    }
    return comparable;
}

IdCardCheck checkIdCardNumber(QStringView number, QDate today)
{
    IdCardCheck check;
    const QString comparable = comparableIdNumber(number);
    // A cell of blanks is an empty one: that student simply has no number.
    check.spaces = !comparable.isEmpty() && comparable.size() != number.size();
    check.document = documentOf(comparable);
    if (check.document == IdDocument::None) {
        check.missing = true;
        return check;
    }
    check.badFormat = check.document == IdDocument::Unknown ||
                      std::any_of(number.begin(), number.end(), isLowerCase);
    if (check.document == IdDocument::ResidentId) {
        const QStringView digits(comparable);
        check.badChecksum = residentIdCheckCharacter(digits.first(17)) != digits[17];
        check.badBirthDate =
            !isBirthDate(valueOf(digits.sliced(6, 4)), digits.sliced(10, 4), today);
    } else if (check.document == IdDocument::OldResidentId) {
        const QStringView digits(comparable);
        check.badBirthDate =
            !isBirthDate(1900 + valueOf(digits.sliced(6, 2)), digits.sliced(8, 4), today);
    }
    return check;
}

} // namespace lumo::roster
