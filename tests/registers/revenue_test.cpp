#include "registers/revenue.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <optional>

TEST(RevenueRuleTest, SalesAddCreditsSubtractOthersCountNothing)
{
    EXPECT_EQ(RevenueRule("ФАКТУРА", "", "False"), TRevenue::Adds);
    EXPECT_EQ(RevenueRule("INVOICE", "", ""), TRevenue::Adds);  // an empty flag is not cancelled
    EXPECT_EQ(RevenueRule("Дебитно известие", "", "false"), TRevenue::Adds);
    EXPECT_EQ(RevenueRule("ФАКТУРА", "", "True"), TRevenue::None);
    EXPECT_EQ(RevenueRule("ФАКТУРА", "Кредитно известие", "False"), TRevenue::Subtracts);
    EXPECT_EQ(RevenueRule("Credit note", "", "True"), TRevenue::Subtracts);  // cancelled still subtracts
    EXPECT_EQ(RevenueRule("ПРОФОРМА ФАКТУРА", "", "False"), TRevenue::None);
    EXPECT_EQ(RevenueRule("фактура", "", "False"), TRevenue::None);  // texts compare exactly
}

TEST(RevenueRuleTest, AmountsAreExactCentsWithinTheMoneyRange)
{
    LocaleScope bg(',');
    const auto cents = [](const char* text) {
        long long c = 0;
        return AmountCents(QString::fromUtf8(text), c) ? std::optional<long long>(c) : std::nullopt;
    };
    EXPECT_EQ(cents("999999999999999,99"), 99999999999999999LL);
    EXPECT_EQ(cents("-999999999999999,99"), -99999999999999999LL);
    EXPECT_EQ(cents("99999999999999,99"), 9999999999999999LL);  // no cent lost to a double
    EXPECT_EQ(cents("1,005"), 101);  // half away from zero, on the digits
    EXPECT_EQ(cents("-1,005"), -101);
    EXPECT_EQ(cents("12.5"), 1250);
    EXPECT_EQ(cents("1,2E3"), 120000);
    EXPECT_EQ(cents("00000000000000012,30"), 1230);
    for (const char* out : {"1000000000000000", "1e17", "-1e17", "1e308", "много", ""})
        EXPECT_EQ(cents(out), std::nullopt) << out;

    long long c = 0;
    EXPECT_TRUE(RevenueCents("Кредитно известие", "", "False", "-8,40", c));
    EXPECT_EQ(c, -840);
    EXPECT_TRUE(RevenueCents("Debit note", "", "False", "-1,20", c));
    EXPECT_EQ(c, 120);
    EXPECT_FALSE(RevenueCents("ПРОФОРМА ФАКТУРА", "", "False", "1,00", c));

    const TCentSum many = TCentSum(99999999999999LL) * 1000000;  // beyond 64 bits
    EXPECT_EQ(CentsText(many), QStringLiteral("999999999999990000,00"));
    EXPECT_EQ(CentsText(-5), QStringLiteral("-0,05"));
    EXPECT_EQ(CentsText(0), QStringLiteral("0,00"));
    EXPECT_FALSE(StoredDate(QStringLiteral("31.02.2026 г.")).isValid());
    EXPECT_EQ(StoredDate(QStringLiteral("29.02.2028 г.")), QDate(2028, 2, 29));
}
