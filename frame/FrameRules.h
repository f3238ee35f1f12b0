// What the frame's setting boxes accept and what their texts mean: the photo width (the height
// follows from it), the two border widths, the move step and the zoom step.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace lumo::frame {

// What a box does with a text it cannot use: the fixed replacement text, or nothing to keep it.
struct TextRule
{
    const char16_t *whenEmpty; // also for exactly "0" when zeroCountsAsEmpty
    bool zeroCountsAsEmpty;
    int maximum; // a rounded value above it (or beyond 16 bits) is replaced
    const char16_t *whenAbove;
    const char16_t *whenNotANumber;
    const char16_t *whenNegative;
};

inline constexpr TextRule kPhotoWidthRule{u"1", false, 600, u"200", u"200", u"200"};
inline constexpr TextRule kOuterBorderRule{nullptr, false, 50, u"3", nullptr, nullptr};
inline constexpr TextRule kInnerBorderRule{nullptr, false, 50, u"2", nullptr, nullptr};
inline constexpr TextRule kMoveStepRule{u"3", true, 100, u"5", u"3", nullptr};
inline constexpr TextRule kZoomStepRule{u"10", true, 32767, nullptr, u"10", nullptr};

// The text the box must hold instead of this one, or nothing when the text stays.
std::optional<QString> replacementText(const TextRule &rule, const QString &text);

// The text a box ends with: a replaced text is checked again, as a box's reaction runs again
// for the text it put in.
QString checkedText(const TextRule &rule, const QString &text);

struct PhotoSize
{
    qint16 width = 0;
    qint16 height = 0;

    friend bool operator==(const PhotoSize &, const PhotoSize &) = default;
};

// Height that goes with a width: Int(width / 13 x 16).
qint16 heightForWidth(qint16 width);

// The photo size a (checked) width text sets; nothing for "1", which leaves the size alone.
std::optional<PhotoSize> photoSizeForWidthText(const QString &text);

// The photo size start-up takes from the two boxes, as they were stored: the width's leading
// number rounded down, the height as a whole number (or the one that goes with the width).
PhotoSize storedPhotoSize(const QString &widthText, const QString &heightText);

// A border width text as a pen width: below 1 or not a number counts as 1, at most 50.
int penWidth(const QString &text);

// The move of one W, A, S or D press in twips; nothing when the step box holds no number.
std::optional<double> moveStepTwips(const QString &stepText);

inline constexpr int kZoomStep = 10;           // pixels of photo width per Q or E
inline constexpr int kSmallestPhotoWidth = 10; // Q stops here
inline constexpr int kLargestPhotoWidth = 600; // E stops here, as far as the width box goes

// The width Q (change -10) or E (change +10) makes of the width box's text; nothing when the
// text holds no number or the result would leave the photo widths the box accepts.
std::optional<int> zoomedWidth(const QString &widthText, int change);

} // namespace lumo::frame
