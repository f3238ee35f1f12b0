#include "roster/CellText.h"

#include <gtest/gtest.h>

using celltext::numberText;

TEST(CellText, WholeNumbersAreWrittenAsDigitsUpTo15SignificantOnes)
{
    EXPECT_EQ(numberText(0), "0");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(42), "42");
    EXPECT_EQ(numberText(-7), "-7");
    EXPECT_EQ(numberText(13800138000), "13800138000");
    // An ID-card number stored as a number keeps only the digits the file holds.
    EXPECT_EQ(numberText(3.10104201207184e17), "310104201207184000");
    EXPECT_EQ(numberText(310104201207184123.0), "310104201207184000");
    EXPECT_EQ(numberText(110101201001011234.0), "110101201001011000");
    EXPECT_EQ(numberText(123456789012345), "123456789012345");
    EXPECT_EQ(numberText(1e20), "100000000000000000000");
    EXPECT_EQ(numberText(1e21), "1E+21");
}

TEST(CellText, FractionsShowAsGeneralFormatDoes)
{
    EXPECT_EQ(numberText(2.5), "2.5");
    EXPECT_EQ(numberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(numberText(-0.25), "-0.25");
    EXPECT_EQ(numberText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(numberText(123.456), "123.456");
    EXPECT_EQ(numberText(0.0001), "0.0001");
    EXPECT_EQ(numberText(1.5e-10), "1.5E-10");
    EXPECT_EQ(numberText(1234.5678), "1234.5678");
    EXPECT_EQ(numberText(99999999999999.95), "100000000000000"); // rounds up at 15 digits
}

TEST(CellText, BooleansAndErrors)
{
    EXPECT_EQ(celltext::booleanText(true), "TRUE");
    EXPECT_EQ(celltext::booleanText(false), "FALSE");
    EXPECT_EQ(celltext::errorText(0x07), "#DIV/0!");
    EXPECT_EQ(celltext::errorText(0x2A), "#N/A");
}
