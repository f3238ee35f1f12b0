// What the class list's ID-card numbers are good for. The registry names each photo after the
// number, so a number too short to be one means the student has none.
#pragma once

#include <QStringView>

namespace lumo::common {

// A number of at least 6 characters names the student's photo: the save writes it and the
// review pane looks it up. Shorter numbers (or none) stand for a student without an ID card.
inline constexpr int kShortestPhotoKey = 6;

inline bool canNamePhoto(QStringView idNumber)
{
    return idNumber.size() >= kShortestPhotoKey;
}

// The import's summary counts a student as "without an ID-card number" below 10 characters, the
// shortest document number the registry knows.
inline constexpr int kShortestCountedId = 10;

inline bool countsAsWithoutId(QStringView idNumber)
{
    return idNumber.size() < kShortestCountedId;
}

} // namespace lumo::common
