// Rules of the photo frame's geometry: the texts the size and step boxes accept, the photo
// size that follows from the width, the frame window's size, and the layout of its lines.
#pragma once

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace frame {

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

// The frame window: the photo plus a 20-pixel strip right and below, in twips. Nothing when the
// 16-bit sums overflow.
std::optional<QSize> frameWindowSizeTwips(PhotoSize photo);

// A border width text as a pen width: below 1 or not a number counts as 1, at most 50.
int penWidth(const QString &text);

// One of the frame's lines, in twips from the window's top-left corner.
struct FrameLine
{
    QPointF from;
    QPointF to;
    QColor colour;
    int penWidth = 1;
};

// Line1..Line9: the outer border (top, right, bottom, left), the centre line and the inner
// guide box (top, left, bottom, right).
using FrameLines = std::array<FrameLine, 9>;

FrameLines layoutFrameLines(PhotoSize photo, int outerPenWidth, int innerPenWidth);

// The screen pixels a line covers, relative to the window: the segment thickened by its pen,
// centred on it, and lengthened by the same amount at both ends so that corners close.
QRect linePixels(const FrameLine &line);

} // namespace frame
