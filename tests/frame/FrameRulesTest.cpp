// The frame's boxes, the photo size that follows from the width, and the frame's lines.
#include "frame/FrameRules.h"
#include "common/Twips.h"
#include "frame/FrameModel.h"

#include <gtest/gtest.h>

using namespace lumo::frame;
using namespace Qt::Literals::StringLiterals;

TEST(FrameRules, BoxesReplaceWhatTheyCannotUse)
{
    EXPECT_EQ(checkedText(kPhotoWidthRule, u""_s), u"1"_s);
    for (const QString &kept : {u"600"_s, u"600.5"_s, u"0"_s})
        EXPECT_EQ(checkedText(kPhotoWidthRule, kept), kept);
    for (const QString &refused : {u"601"_s, u"40000"_s, u"abc"_s, u"-5"_s})
        EXPECT_EQ(checkedText(kPhotoWidthRule, refused), u"200"_s);

    EXPECT_EQ(checkedText(kInnerBorderRule, u"51"_s), u"2"_s);
    EXPECT_EQ(checkedText(kOuterBorderRule, u"99999"_s), u"3"_s);
    for (const QString &kept : {u"50"_s, u""_s, u"0"_s, u"-4"_s, u"abc"_s})
        EXPECT_EQ(checkedText(kInnerBorderRule, kept), kept);
    for (const QString &text : {u"0"_s, u"abc"_s})
        EXPECT_EQ(penWidth(text), 1) << "a pen is never thinner than 1";
    EXPECT_EQ(penWidth(u"2.5"_s), 2);

    for (const QString &replaced : {u""_s, u"0"_s, u"x"_s})
        EXPECT_EQ(checkedText(kMoveStepRule, replaced), u"3"_s);
    EXPECT_EQ(checkedText(kMoveStepRule, u"101"_s), u"5"_s);
    EXPECT_EQ(checkedText(kMoveStepRule, u"100"_s), u"100"_s);
    EXPECT_EQ(checkedText(kZoomStepRule, u"0"_s), u"10"_s);
    EXPECT_EQ(checkedText(kZoomStepRule, u"99999"_s), u"99999"_s);
}

TEST(FrameRules, PhotoSizeFollowsTheWidth)
{
    EXPECT_EQ(photoSizeForWidthText(u"390"_s), (PhotoSize{390, 480}));
    EXPECT_EQ(photoSizeForWidthText(u"300.7"_s), (PhotoSize{300, 369}));
    EXPECT_EQ(photoSizeForWidthText(u"600"_s), (PhotoSize{600, 738}));
    EXPECT_EQ(photoSizeForWidthText(u"0"_s), (PhotoSize{0, 0}));
    EXPECT_EQ(photoSizeForWidthText(u"1"_s), std::nullopt) << "an emptied box changes nothing";
    EXPECT_EQ(storedPhotoSize(u"180"_s, u"240"_s), (PhotoSize{180, 240})) << "taken as stored";
    EXPECT_EQ(frameWindowSizeTwips({390, 480}), QSize(6150, 7500));
    EXPECT_EQ(frameWindowSizeTwips({0, 0}), QSize(300, 300));
    EXPECT_EQ(frameWindowSizeTwips({2200, 100}), std::nullopt) << "16-bit overflow";
    EXPECT_EQ(zoomedWidth(u"300"_s, -10), 290);
    EXPECT_EQ(zoomedWidth(u"600"_s, 10), std::nullopt);
    EXPECT_EQ(zoomedWidth(u"15"_s, -10), std::nullopt);
}

TEST(FrameLines, OuterBorderIsTheCaptureRectangle)
{
    const FrameLines lines = layoutFrameLines({300, 400}, 2, 3);
    EXPECT_EQ(lines[1].to, QPointF(4500, 6000));
    EXPECT_EQ(lines[4].from, QPointF(2250, 0)) << "the centre line at x = 150 px";
    EXPECT_EQ(lines[4].penWidth, 1);
    EXPECT_EQ(lines[5].from, QPointF(750, 500)) << "the inner box from (50, 33.3) px";
    EXPECT_EQ(lines[8].to, QPointF(3750, 4500)) << "to (250, 300) px";
    EXPECT_EQ(lines[0].colour, LineColour::Green);
    EXPECT_EQ(lines[7].colour, LineColour::Red);
    EXPECT_EQ(lines[6].penWidth, 3);

    EXPECT_EQ(linePixels(lines[0]), QRect(QPoint(-1, -1), QPoint(300, 0)));
    EXPECT_EQ(linePixels(lines[1]), QRect(QPoint(299, -1), QPoint(300, 400)));
    // Half a pixel rounds to even: the centre of a 301-pixel photo is drawn at 150.
    EXPECT_EQ(linePixels(layoutFrameLines({301, 370}, 1, 1)[4]).left(), 150);
    EXPECT_EQ(linePixels(layoutFrameLines({303, 372}, 1, 1)[4]).left(), 152);

    // The capture rectangle: the frame's corner in whole pixels, halves to even.
    FrameModel frame;
    frame.setPhotoSize({300, 369});
    frame.setLeft(1522.5f);
    frame.setTop(750);
    EXPECT_EQ(frame.photoRectangle(), QRect(102, 50, 300, 369));
    EXPECT_EQ(lumo::common::pixelsToTwips16(2185), std::nullopt);
    EXPECT_EQ(lumo::common::twipsRectToPixels(5520, 0, 2895, 2955), QRect(368, 0, 193, 197));
}
