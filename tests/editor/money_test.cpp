#include "editor/money.h"
#include "platform/locale.h"
#include "platform/stdctrls.h"
#include "support/qstring_print.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

QString N(const char* text) { return NormalizeDecimalText(QString::fromUtf8(text)); }

}  // namespace

TEST(NormalizeDecimal, CommaSeparatorTurnsTheFirstFullStopAndRejectsNonNumbers)
{
    LocaleScope locale(',');
    EXPECT_EQ(N("12.5"), "12,5");
    EXPECT_EQ(N("12,5"), "12,5");
    EXPECT_EQ(N("1.50"), "1,50");  // no reformatting
    EXPECT_EQ(N("-3.25"), "-3,25");
    EXPECT_EQ(N("7"), "7");
    EXPECT_EQ(N("1.234.5"), "");  // becomes 1,234.5: no number
    EXPECT_EQ(N("1,234.5"), "");
    EXPECT_EQ(N("-"), "");
    EXPECT_EQ(N(""), "");
    EXPECT_EQ(N("abc"), "");
    EXPECT_EQ(N("12 лв"), "");
    EXPECT_EQ(N(" 12"), "");  // no trimming
}

TEST(NormalizeDecimal, FullStopSeparatorTurnsTheFirstComma)
{
    LocaleScope locale('.');
    EXPECT_EQ(N("12,5"), "12.5");
    EXPECT_EQ(N("12.5"), "12.5");
    EXPECT_EQ(N("1,234.5"), "");  // becomes 1.234.5
    EXPECT_EQ(N("1.234.5"), "");
    EXPECT_EQ(N("-"), "");
    EXPECT_EQ(N(""), "");
    EXPECT_EQ(N("x1"), "");
}

TEST(VatRateText, PartBeforeTheFirstPercentMustBeANumber)
{
    LocaleScope locale(',');
    QString text = "old";
    double rate = -1;
    EXPECT_TRUE(ParseVatRate("20%", text, rate));
    EXPECT_EQ(text, "20");
    EXPECT_DOUBLE_EQ(rate, 0.2);
    EXPECT_TRUE(ParseVatRate("9", text, rate));
    EXPECT_DOUBLE_EQ(rate, 0.09);
    for (const char* bad : {"", "%", "%%", "%%%", "%%%%", "%5", "2,,0", ",", "abc%", "2,5%%"}) {
        text = "kept";
        rate = -1;
        EXPECT_FALSE(ParseVatRate(QString::fromUtf8(bad), text, rate)) << bad;
        EXPECT_EQ(text, "kept");
        EXPECT_EQ(rate, -1);
    }
}
