#include "frame/FrameGeometry.h"
#include "frame/Twips.h"

#include <gtest/gtest.h>

using frame::PhotoSize;

namespace {

std::optional<QString> replace(const frame::TextRule &rule, const char16_t *text)
{
    return frame::replacementText(rule, QString::fromUtf16(text));
}

} // namespace

TEST(FrameGeometry, PhotoWidthBox)
{
    EXPECT_EQ(replace(frame::kPhotoWidthRule, u""), QStringLiteral("1"));
    EXPECT_EQ(replace(frame::kPhotoWidthRule, u"601"), QStringLiteral("200"));
    EXPECT_EQ(replace(frame::kPhotoWidthRule, u"600"), std::nullopt);
    EXPECT_EQ(replace(frame::kPhotoWidthRule, u"600.5"), std::nullopt) << "rounds to 600";
    EXPECT_EQ(replace(frame::kPhotoWidthRule, u"0"), std::nullopt);
    EXPECT_EQ(replace(frame::kPhotoWidthRule, u"40000"), QStringLiteral("200"));
    EXPECT_EQ(replace(frame::kPhotoWidthRule, u"abc"), QStringLiteral("200"));
    EXPECT_EQ(replace(frame::kPhotoWidthRule, u"-5"), QStringLiteral("200"));

    EXPECT_EQ(frame::photoSizeForWidthText(QStringLiteral("390")), (PhotoSize{390, 480}));
    EXPECT_EQ(frame::photoSizeForWidthText(QStringLiteral("300")), (PhotoSize{300, 369}));
    EXPECT_EQ(frame::photoSizeForWidthText(QStringLiteral("180")), (PhotoSize{180, 221}));
    EXPECT_EQ(frame::photoSizeForWidthText(QStringLiteral("600")), (PhotoSize{600, 738}));
    EXPECT_EQ(frame::photoSizeForWidthText(QStringLiteral("200")), (PhotoSize{200, 246}));
    EXPECT_EQ(frame::photoSizeForWidthText(QStringLiteral("0")), (PhotoSize{0, 0}));
    EXPECT_EQ(frame::photoSizeForWidthText(QStringLiteral("300.7")), (PhotoSize{300, 369}));
    EXPECT_EQ(frame::photoSizeForWidthText(QStringLiteral("1")), std::nullopt);
}

TEST(FrameGeometry, BorderAndStepBoxes)
{
    EXPECT_EQ(replace(frame::kOuterBorderRule, u"51"), QStringLiteral("3"));
    EXPECT_EQ(replace(frame::kInnerBorderRule, u"51"), QStringLiteral("2"));
    EXPECT_EQ(replace(frame::kOuterBorderRule, u"50"), std::nullopt);
    EXPECT_EQ(replace(frame::kOuterBorderRule, u"99999"), QStringLiteral("3"));
    for (const char16_t *kept : {u"", u"0", u"-4", u"abc"})
        EXPECT_EQ(replace(frame::kInnerBorderRule, kept), std::nullopt);

    EXPECT_EQ(replace(frame::kMoveStepRule, u""), QStringLiteral("3"));
    EXPECT_EQ(replace(frame::kMoveStepRule, u"0"), QStringLiteral("3"));
    EXPECT_EQ(replace(frame::kMoveStepRule, u"101"), QStringLiteral("5"));
    EXPECT_EQ(replace(frame::kMoveStepRule, u"100"), std::nullopt);
    EXPECT_EQ(replace(frame::kMoveStepRule, u"x"), QStringLiteral("3"));

    EXPECT_EQ(replace(frame::kZoomStepRule, u""), QStringLiteral("10"));
    EXPECT_EQ(replace(frame::kZoomStepRule, u"0"), QStringLiteral("10"));
    EXPECT_EQ(replace(frame::kZoomStepRule, u"x"), QStringLiteral("10"));
    EXPECT_EQ(replace(frame::kZoomStepRule, u"99999"), std::nullopt);
    EXPECT_EQ(replace(frame::kZoomStepRule, u"25"), std::nullopt);
}

TEST(FrameGeometry, PenWidthsNeverBelowOne)
{
    EXPECT_EQ(frame::penWidth(QStringLiteral("5")), 5);
    EXPECT_EQ(frame::penWidth(QStringLiteral("2.5")), 2);
    for (const char *text : {"0", "-3", "", "abc", "-99999"})
        EXPECT_EQ(frame::penWidth(QString::fromLatin1(text)), 1) << text;
    EXPECT_EQ(frame::penWidth(QStringLiteral("50")), 50);
}

TEST(FrameGeometry, FrameWindowIsThePhotoPlusTwentyPixels)
{
    EXPECT_EQ(frame::frameWindowSizeTwips({390, 480}), QSize(6150, 7500));
    EXPECT_EQ(frame::frameWindowSizeTwips({180, 221}), QSize(3000, 3615));
    EXPECT_EQ(frame::frameWindowSizeTwips({0, 0}), QSize(300, 300));
    EXPECT_EQ(frame::frameWindowSizeTwips({2200, 100}), std::nullopt) << "16-bit overflow";
}

TEST(FrameGeometry, LinesForTheDefaultPhoto)
{
    const frame::FrameLines lines = frame::layoutFrameLines({300, 400}, 2, 2);
    // Outer border: the capture rectangle (0,0)-(300,400) px, green, 2 px.
    EXPECT_EQ(lines[0].from, QPointF(0, 0));
    EXPECT_EQ(lines[0].to, QPointF(4500, 0));
    EXPECT_EQ(lines[1].to, QPointF(4500, 6000));
    EXPECT_EQ(lines[2].from, QPointF(0, 6000));
    EXPECT_EQ(lines[3].to, QPointF(0, 6000));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(lines[i].colour, QColor(0, 255, 0));
        EXPECT_EQ(lines[i].penWidth, 2);
    }
    // Centre line at x = 150 px, green, always 1 px.
    EXPECT_EQ(lines[4].from, QPointF(2250, 0));
    EXPECT_EQ(lines[4].to, QPointF(2250, 6000));
    EXPECT_EQ(lines[4].penWidth, 1);
    EXPECT_EQ(lines[4].colour, QColor(0, 255, 0));
    // Inner box x 50..250, y 33.3..300 px, red.
    EXPECT_EQ(lines[5].from, QPointF(750, 500));
    EXPECT_EQ(lines[5].to, QPointF(3750, 500));
    EXPECT_EQ(lines[7].from, QPointF(750, 4500));
    EXPECT_EQ(lines[8].to, QPointF(3750, 4500));
    for (int i = 5; i < 9; ++i)
        EXPECT_EQ(lines[i].colour, QColor(255, 0, 0));

    EXPECT_EQ(frame::linePixels(lines[0]), QRect(QPoint(-1, -1), QPoint(300, 0)));
    EXPECT_EQ(frame::linePixels(lines[1]), QRect(QPoint(299, -1), QPoint(300, 400)));
    EXPECT_EQ(frame::linePixels(lines[4]), QRect(QPoint(150, 0), QPoint(150, 400)));
    EXPECT_EQ(frame::linePixels(lines[5]), QRect(QPoint(49, 32), QPoint(250, 33)));
}

TEST(FrameGeometry, LinesForWidth390AndOddWidths)
{
    const frame::FrameLines lines = frame::layoutFrameLines({390, 480}, 5, 3);
    EXPECT_EQ(lines[5].from, QPointF(975, 600)); // x 65, y 40 px
    EXPECT_EQ(lines[8].to, QPointF(4875, 5400)); // x 325, y 360 px
    EXPECT_EQ(lines[0].penWidth, 5);
    EXPECT_EQ(lines[4].penWidth, 1);
    EXPECT_EQ(lines[6].penWidth, 3);
    EXPECT_EQ(frame::linePixels(lines[6]), QRect(QPoint(64, 39), QPoint(66, 361)));

    // Half a pixel rounds to even: the centre of a 301-pixel photo is drawn at 150.
    EXPECT_EQ(frame::linePixels(frame::layoutFrameLines({301, 370}, 1, 1)[4]).left(), 150);
    EXPECT_EQ(frame::linePixels(frame::layoutFrameLines({303, 372}, 1, 1)[4]).left(), 152);
}

TEST(Twips, ConvertsInOnePlace)
{
    EXPECT_EQ(twips::toPixels(1500), 100);
    EXPECT_EQ(twips::toPixels(7.5), 0);
    EXPECT_EQ(twips::toPixels(22.5), 2);
    EXPECT_EQ(twips::toPixels(-75), -5);
    EXPECT_EQ(twips::fromPixels16(2184), 32760);
    EXPECT_EQ(twips::fromPixels16(2185), std::nullopt);
    EXPECT_EQ(twips::rectToPixels(5520, 0, 2895, 2955), QRect(368, 0, 193, 197));
}
