#include "editor/words.h"
#include "support/qstring_print.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* total;
    const char* words;
};

QString U(const char* s) { return QString::fromUtf8(s); }

TEST(AmountInWords, Bulgarian)
{
    const Case cases[] = {
        {"1,00 лв", "един лев"},
        {"1,50 лв", "един лев и 50 ст."},
        {"2,05 лв", "два лева и 5 ст."},
        {"11,00 лв", "единадесет лева"},
        {"12,00 лв", "дванадесет лева"},
        {"21,00 лв", "двадесет и един лева"},
        {"100,00 лв", "сто  лева"},
        {"101,00 лв", "сто и един лева"},
        {"115,00 лв", "сто и петнадесет лева"},
        {"120,00 лв", "сто и двадесет лева"},
        {"121,00 лв", "сто двадесет и един лева"},
        {"345,60 лв", "триста четиридесет и пет лева и 60 ст."},
        {"1005,00 лв", "хиляда и пет лева"},
        {"1015,00 лв", "хиляда и петнадесет лева"},
        {"1020,00 лв", "хиляда и двадесет лева"},
        {"1200,00 лв", "хиляда двеста  лева"},
        {"2000,00 лв", "две хиляди  лева"},
        {"15015,00 лв", "петнадесет хиляди и петнадесет лева"},
        {"21000,00 лв", "двадесет и една хиляди  лева"},
        {"22022,00 лв", "двадесет и две хиляди и двадесет и два лева"},
        {"12000,00 лв", "дванадесет хиляди  лева"},
        {"100000,00 лв", "сто  хиляди  лева"},
        {"101000,00 лв", "сто и една хиляди  лева"},
        {"0,50 лв", "нула лева и 50 ст."},
        {"0,00 лв", "нула лева"},
        {"-5,00 лв", "пет лева"},
        {"-1,00 лв", "един лев"},
        {"-1,20 лв", "един лев и 20 ст."},
        {"1000000,00 лв", "един милион лева"},
        {"2000000,50 лв", "два милиона лева и 50 ст."},
        {"21000000,00 лв", "двадесет и един милиона лева"},
        {"1234567,89 лв",
         "един милион двеста тридесет и четири хиляди и петстотин шестдесет и седем лева и 89 ст."},
        {"999999999,99 лв", "деветстотин деветдесет и девет милиона деветстотин деветдесет и девет хиляди и "
                            "деветстотин деветдесет и девет лева и 99 ст."},
        {"1000000000,00 лв", " лева"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BgAmountInWords(U(c.total), QLatin1Char(',')), U(c.words)) << c.total;
    // The locale's separator decides where the stotinki start.
    EXPECT_EQ(BgAmountInWords(U("2.05 лв"), QLatin1Char('.')), U("два лева и 5 ст."));
    EXPECT_EQ(BgAmountInWords(U("лв"), QLatin1Char(',')), QString());
}

TEST(AmountInWords, English)
{
    const Case cases[] = {
        {"1,00 EUR", "one EUR"},
        {"5,50 EUR", "five and  0,50 EUR"},
        {"12,00 EUR", "twelve EUR"},
        {"13,00 EUR", "thirteen EUR"},
        {"14,00 EUR", "fourteen EUR"},
        {"18,00 EUR", "eighteen EUR"},
        {"19,00 EUR", "nineteen EUR"},
        {"60,00 EUR", "sixty  EUR"},
        {"75,25 EUR", "seventy five and  0,25 EUR"},
        {"97,00 EUR", "ninety seven EUR"},
        {"100,00 EUR", "one hundred  EUR"},
        {"105,00 EUR", "one hundred and five EUR"},
        {"118,00 EUR", "one hundred and eighteen EUR"},
        {"120,00 EUR", "one hundred twenty EUR"},
        {"125,00 EUR", "one hundred twenty five EUR"},
        {"1001,00 EUR", "one thousand  and one EUR"},
        {"1015,00 EUR", "one thousand and fifteen EUR"},
        {"1020,00 EUR", "one thousand twenty EUR"},
        {"20000,00 EUR", "twenty thousand  EUR"},
        {"20015,00 EUR", "twenty thousand and fifteen EUR"},
        {"20025,00 EUR", "twenty thousand and twenty five EUR"},
        {"21000,00 EUR", "twenty one thousand  EUR"},
        {"101000,00 EUR", "one hundred and one thousand  EUR"},
        {"123456,78 EUR", "one hundred twenty three thousand and four hundred fifty six and  0,78 EUR"},
        {"0,45 EUR", "zero and  0,45 EUR"},
        {"0,50 EUR", "zero and  0,50 EUR"},
        {"0,00 EUR", "zero EUR"},
        {"-5,00 EUR", "five EUR"},
        {"-1,00 EUR", "one EUR"},
        {"1000000,00 EUR", "one million EUR"},
        {"1000000,50 EUR", "one million and  0,50 EUR"},
        {"2000000,50 EUR", "two million and  0,50 EUR"},
        {"2000015,00 EUR", "two million and fifteen EUR"},
        {"1000000000,00 EUR", " EUR"},
        {"12 EUR", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EnAmountInWords(U(c.total), U("EUR"), QLatin1Char(',')), U(c.words)) << c.total;
    // Without a currency name the words end in the blank.
    EXPECT_EQ(EnAmountInWords(U("12,30 "), QString(), QLatin1Char(',')), U("twelve and  0,30 "));
}

TEST(AmountInWords, LongBulgarianTextSplitsAtTheBlankNearestTheMiddle)
{
    const QString words = BgAmountInWords(U("123456,78 лв"), QLatin1Char(','));
    ASSERT_EQ(words.size(), 70);
    EXPECT_EQ(SplitLongWords(words), U("сто двадесет и три хиляди и четиристотин\nпетдесет и шест лева и 78 ст."));
    const QString fifty(50, QLatin1Char('x'));
    EXPECT_EQ(SplitLongWords(fifty), fifty);
    const QString noBlank(51, QLatin1Char('x'));
    EXPECT_EQ(SplitLongWords(noBlank).indexOf(QLatin1Char('\n')), 25);
}

}  // namespace
