#include "common/NumberText.h"

#include <gtest/gtest.h>

using namespace lumo::common;

TEST(NumberText, Int16RoundsHalvesToEvenAndReadsEveryNotation)
{
    const std::pair<const char16_t *, int> cases[] = {
        {u"2.5", 2},   {u"3.5", 4},     {u"-2.5", -2},     {u"600.51", 601},
        {u" 37 ", 37}, {u"+12", 12},    {u"1e2", 100},     {u"&H1F", 31},
        {u"&o17", 15}, {u"&HFFFF", -1}, {u"32767", 32767}, {u"-32768", -32768},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(toInt16(text).value, value) << QString::fromUtf16(text).toStdString();
}

TEST(NumberText, Int16ReportsOverflowAndNonNumbersAndTheIntegerPartRoundsDown)
{
    for (const char16_t *text : {u"32767.5", u"-32769", u"1e400"})
        EXPECT_EQ(toInt16(text).error, ConversionError::Overflow)
            << QString::fromUtf16(text).toStdString();
    for (const char16_t *text : {u" ", u"abc", u"12abc", u"1 2", u"--1", u".", u"&H", u"1e"})
        EXPECT_EQ(toInt16(text).error, ConversionError::NotANumber)
            << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(integerPartToInt16(-2.5).value, -3);
    EXPECT_EQ(integerPartToInt16(32767.9).value, 32767);
    EXPECT_EQ(integerPartToInt16(32768).error, ConversionError::Overflow);
}

TEST(NumberText, LeadingNumberReadsUpToTheFirstStrangeCharacter)
{
    const std::pair<const char16_t *, double> cases[] = {
        {u"  300px", 300}, {u"1 2x", 12}, {u"-7.5e1abc", -75},
        {u"3e", 3},        {u"&H10", 16}, {u"照片300", 0},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(leadingNumber(text), value) << QString::fromUtf16(text).toStdString();
}
