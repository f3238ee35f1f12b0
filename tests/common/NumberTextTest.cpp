#include "common/NumberText.h"

#include <gtest/gtest.h>

using lumo::common::ConversionError;

TEST(NumberText, Int16RoundsHalvesToEven)
{
    EXPECT_EQ(lumo::common::toInt16(u"2.5").value, 2);
    EXPECT_EQ(lumo::common::toInt16(u"3.5").value, 4);
    EXPECT_EQ(lumo::common::toInt16(u"-2.5").value, -2);
    EXPECT_EQ(lumo::common::toInt16(u"600.5").value, 600);
    EXPECT_EQ(lumo::common::toInt16(u"600.51").value, 601);
    EXPECT_EQ(lumo::common::toInt16(u" 37 ").value, 37);
    EXPECT_EQ(lumo::common::toInt16(u"+12").value, 12);
    EXPECT_EQ(lumo::common::toInt16(u"1e2").value, 100);
    EXPECT_EQ(lumo::common::toInt16(u"&H1F").value, 31);
    EXPECT_EQ(lumo::common::toInt16(u"&o17").value, 15);
    EXPECT_EQ(lumo::common::toInt16(u"&HFFFF").value, -1);
}

TEST(NumberText, Int16ReportsOverflowAndNonNumbers)
{
    EXPECT_EQ(lumo::common::toInt16(u"32767").value, 32767);
    EXPECT_EQ(lumo::common::toInt16(u"-32768").value, -32768);
    EXPECT_EQ(lumo::common::toInt16(u"32767.5").error, ConversionError::Overflow);
    EXPECT_EQ(lumo::common::toInt16(u"40000").error, ConversionError::Overflow);
    EXPECT_EQ(lumo::common::toInt16(u"-32769").error, ConversionError::Overflow);
    EXPECT_EQ(lumo::common::toInt16(u"1e400").error, ConversionError::Overflow);
    for (const char16_t *text : {u"", u" ", u"abc", u"12abc", u"1 2", u"--1", u".", u"&H", u"1e"})
        EXPECT_EQ(lumo::common::toInt16(text).error, ConversionError::NotANumber)
            << QString::fromUtf16(text).toStdString();
}

TEST(NumberText, IntegerPartRoundsDown)
{
    EXPECT_EQ(lumo::common::integerPartToInt16(2.99).value, 2);
    EXPECT_EQ(lumo::common::integerPartToInt16(-2.5).value, -3);
    EXPECT_EQ(lumo::common::integerPartToInt16(32767.9).value, 32767);
    EXPECT_EQ(lumo::common::integerPartToInt16(32768).error, ConversionError::Overflow);
}

TEST(NumberText, LeadingNumberReadsUpToTheFirstStrangeCharacter)
{
    EXPECT_EQ(lumo::common::leadingNumber(u"300"), 300);
    EXPECT_EQ(lumo::common::leadingNumber(u"  300px"), 300);
    EXPECT_EQ(lumo::common::leadingNumber(u"1 2x"), 12);
    EXPECT_EQ(lumo::common::leadingNumber(u"-7.5e1abc"), -75);
    EXPECT_EQ(lumo::common::leadingNumber(u"3e"), 3);
    EXPECT_EQ(lumo::common::leadingNumber(u"&H10"), 16);
    EXPECT_EQ(lumo::common::leadingNumber(u"abc"), 0);
    EXPECT_EQ(lumo::common::leadingNumber(u""), 0);
    EXPECT_EQ(lumo::common::leadingNumber(u"照片300"), 0);
}
