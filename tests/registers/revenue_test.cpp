#include "registers/revenue.h"

#include <gtest/gtest.h>

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
