// Money texts rounded on their digits.
#include "platform/moneytext.h"
#include "platform/core.h"
#include "platform/locale.h"
#include "support/qstring_print.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace {

QString R(const char* text) { return RoundMoneyString(QString::fromUtf8(text)); }

}  // namespace

TEST(RoundMoney, TextRuleWithTwoDecimals)
{
    LocaleScope locale(',');
    EXPECT_EQ(R("7"), "7,00");
    EXPECT_EQ(R("7,5"), "7,50");
    EXPECT_EQ(R("7,50"), "7,50");
    EXPECT_EQ(R(""), ",00");
    EXPECT_EQ(R("-3"), "-3,00");
    EXPECT_EQ(R("1,005"), "1,01");
    EXPECT_EQ(R("1,0049"), "1,00");  // only the third decimal counts
    EXPECT_EQ(R("-0,005"), "-0,01");
    EXPECT_EQ(R("0,995"), "1,00");
    EXPECT_EQ(R("2,675"), "2,68");
    EXPECT_EQ(R("12,345"), "12,35");
    EXPECT_EQ(R("-12,345"), "-12,35");
    EXPECT_EQ(R("12,344"), "12,34");
    EXPECT_EQ(R("99,999"), "100,00");
    EXPECT_EQ(R("-99,995"), "-100,00");
    EXPECT_EQ(R("3,345"), "3,35");
}

TEST(RoundMoney, NeverShowsMinusZero)
{
    LocaleScope locale(',');
    EXPECT_EQ(R("-0,004"), "0,00");
    EXPECT_EQ(R("-0,001"), "0,00");
    EXPECT_EQ(R("-0"), "0,00");
    EXPECT_EQ(R("-0,00"), "0,00");
    EXPECT_EQ(R("-0,006"), "-0,01");
    EXPECT_EQ(R("-0,01"), "-0,01");
}

TEST(RoundMoney, ResultIsAFixedPoint)
{
    LocaleScope locale(',');
    for (const char* text : {"7", "7,5", "", "-3", "1,005", "1,0049", "-0,005", "0,995", "2,675",
                             "-5,55111512312578E-17", "1E20", "123456,789", "-0,004"}) {
        const QString once = R(text);
        EXPECT_EQ(RoundMoneyString(once), once) << text;
    }
}

TEST(RoundMoney, ExponentTextIsRoundedAsPlainDecimals)
{
    LocaleScope locale(',');
    EXPECT_EQ(ExpandExponent("-5,55111512312578E-17"), "-0,0000000000000000555111512312578");
    EXPECT_EQ(ExpandExponent("1,5E-6"), "0,0000015");
    EXPECT_EQ(ExpandExponent("1E20"), "100000000000000000000");
    EXPECT_EQ(ExpandExponent("1,23456789012345E18"), "1234567890123450000");
    EXPECT_EQ(ExpandExponent("-2,5E2"), "-250");
    EXPECT_EQ(ExpandExponent("1,2345E1"), "12,345");
    EXPECT_EQ(ExpandExponent("12,5"), "12,5");
    EXPECT_EQ(ExpandExponent("1E"), "1E");  // not an exponent text: left alone

    EXPECT_EQ(R("-5,55111512312578E-17"), "0,00");
    EXPECT_EQ(R("5,55111512312578E-17"), "0,00");
    EXPECT_EQ(R("1,5E-6"), "0,00");
    EXPECT_EQ(R("-1,5E-6"), "0,00");
    EXPECT_EQ(R("1E20"), "100000000000000000000,00");
    EXPECT_EQ(R("1,2345E1"), "12,35");
    EXPECT_EQ(R("-1,2345E1"), "-12,35");
    EXPECT_EQ(R("4,9999E-3"), "0,00");  // under half a cent
    EXPECT_EQ(R("5E-3"), "0,01");      // half a cent rounds away from zero
}

TEST(RoundMoney, FullStopSeparatorAndNoDecimals)
{
    {
        LocaleScope locale('.');
        EXPECT_EQ(R("1.005"), "1.01");
        EXPECT_EQ(R("7"), "7.00");
        EXPECT_EQ(R("1.5E-6"), "0.00");
    }
    {
        LocaleScope locale(',', 0);
        EXPECT_EQ(R("12,6"), "13");
        EXPECT_EQ(R("12,4"), "12");
        EXPECT_EQ(R("-12,5"), "-13");
        EXPECT_EQ(R("12"), "12");
    }
}

TEST(RoundMoney, NonNumberRaisesWhereTheRuleReadsIt)
{
    LocaleScope locale(',');
    EXPECT_THROW(R("1,24a"), EConvertError);  // the deciding digit
    EXPECT_THROW(R("1,2a6"), EConvertError);  // the kept text
    EXPECT_THROW(R("x,995"), EConvertError);
}
