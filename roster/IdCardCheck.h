// What is wrong with one ID-card number of the class list, before a photo is named after it. The
// registry matches photos by number, so a mistyped number is found here at import rather than
// weeks later. Nothing is corrected: the check only says what it sees.
#pragma once

#include <QChar>
#include <QDate>
#include <QStringView>

namespace lumo::roster {

// The document a number belongs to, judged by its shape.
enum class IdDocument {
    None,                      // empty, or too short to be any document's number
    ResidentId,                // 18 characters: resident ID, also the Hong Kong/Macao/Taiwan
                               // residence permits (810000/820000/830000) and the 2023 foreign
                               // permanent-residence card (starting with 9)
    OldResidentId,             // 15 digits, issued before 1999
    HomeReturnPermit,          // Hong Kong/Macao: H or M and 8 or 10 digits
    TaiwanTravelPermit,        // 8 digits
    ForeignPermanentResidence, // the 2017 card: 3 letters and 12 digits
    Unknown,                   // long enough, but none of the above
};

struct IdCardCheck
{
    IdDocument document = IdDocument::None;
    // No number: empty, or shorter than a counted ID (see common/IdCardNumber.h) and no other
    // document's.
    bool missing = false;
    bool spaces = false;      // white space in or around the number
    bool badFormat = false;   // not a document's shape, or a lower-case letter in it
    bool badChecksum = false; // the 18th character is not the one the first 17 give
    // The date of birth is no calendar date, lies in the future or before 1900.
    bool badBirthDate = false;

    // Another document than a resident ID: told for information, not an error.
    bool isOtherDocument() const
    {
        return document == IdDocument::HomeReturnPermit ||
               document == IdDocument::TaiwanTravelPermit ||
               document == IdDocument::ForeignPermanentResidence;
    }
};

// Checks a number as the class list holds it. White space is told, then the number without it is
// checked, so that a stray blank does not hide a wrong digit. A lower-case letter (the check
// character "x" typed small, "h" for "H") is a format error, and the number is still checked as
// if it were in capitals. `today` bounds the date of birth.
IdCardCheck checkIdCardNumber(QStringView number, QDate today);

// The check character (GB 11643-1999) of the first 17 digits of an 18-character number: '0'-'9'
// or 'X'; a null QChar when those are not 17 digits.
QChar residentIdCheckCharacter(QStringView first17);

// The number as the registry compares it: without white space, letters in capitals.
QString comparableIdNumber(QStringView number);

} // namespace lumo::roster
