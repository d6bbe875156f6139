#include "platform/locale.h"
#include "platform/sysutils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Sets the decimal separator for one test and puts the whole setting back after.
class SeparatorScope {
public:
    explicit SeparatorScope(char sep) : saved_(FormatSettings())
    {
        SetBulgarianLocale();
        FormatSettings().DecimalSeparator = QLatin1Char(sep);
    }
    ~SeparatorScope() { FormatSettings() = saved_; }

private:
    TFormatSettings saved_;
};

QString ConvertMessage(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const EConvertError& e) {
        return e.Message;
    }
    return QStringLiteral("<no error>");
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(FloatToStr, FifteenSignificantDigitsNotShortestRoundTrip)
{
    SeparatorScope comma(',');
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0,3");
    EXPECT_EQ(FloatToStr(1.005 + 0.01), "1,015");
    EXPECT_EQ(FloatToStr(1.015), "1,015");
    EXPECT_EQ(FloatToStr(0.995), "0,995");
    EXPECT_EQ(FloatToStr(2.675), "2,675");
    EXPECT_EQ(FloatToStr(12.345), "12,345");
    EXPECT_EQ(FloatToStr(1.0 / 3), "0,333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3), "0,666666666666667");
    EXPECT_EQ(FloatToStr(-2.0 / 3), "-0,666666666666667");
    EXPECT_EQ(FloatToStr(0.7 * 3), "2,1");
}

TEST(FloatToStr, IntegersSignsAndZero)
{
    SeparatorScope comma(',');
    EXPECT_EQ(FloatToStr(1.0), "1");
    EXPECT_EQ(FloatToStr(100.0), "100");
    EXPECT_EQ(FloatToStr(0.0), "0");
    EXPECT_EQ(FloatToStr(-0.0), "0");
    EXPECT_EQ(FloatToStr(-12.5), "-12,5");
    EXPECT_EQ(FloatToStr(1234567.25), "1234567,25");  // no digit grouping
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToStr(999999999999999.4), "999999999999999");
    EXPECT_EQ(FloatToStr(0.00001), "0,00001");
    EXPECT_EQ(FloatToStr(0.000012345), "0,000012345");
}

TEST(FloatToStr, ExponentFormOnlyForTinyOrHugeMagnitudes)
{
    SeparatorScope comma(',');
    EXPECT_EQ(FloatToStr((0.1 + 0.2) - 0.3), "5,55111512312578E-17");
    EXPECT_EQ(FloatToStr(0.3 - (0.1 + 0.2)), "-5,55111512312578E-17");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(-1.25e16), "-1,25E16");
    EXPECT_EQ(FloatToStr(9999999999999999.0), "1E16");  // rounds up into the exponent form
    EXPECT_EQ(FloatToStr(1.5e-6), "1,5E-6");
    EXPECT_EQ(FloatToStr(0.0000099), "9,9E-6");
    EXPECT_EQ(FloatToStr(0.000009999999999999999), "0,00001");  // rounded to 15 digits first
    EXPECT_EQ(FloatToStr(0.00000999999999999999), "9,99999999999999E-6");
}

TEST(FloatToStr, FollowsTheLocaleSeparatorAtEachCall)
{
    SeparatorScope dot('.');
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(1.5e-6), "1.5E-6");
    FormatSettings().DecimalSeparator = QLatin1Char(',');
    EXPECT_EQ(FloatToStr(2.5), "2,5");
}

TEST(StrToFloat, AcceptsDecimalsWithTheCommaSeparator)
{
    SeparatorScope comma(',');
    EXPECT_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_EQ(StrToFloat("-1,5"), -1.5);
    EXPECT_EQ(StrToFloat("+2"), 2.0);
    EXPECT_EQ(StrToFloat("12"), 12.0);
    EXPECT_EQ(StrToFloat("007"), 7.0);
    EXPECT_EQ(StrToFloat(",5"), 0.5);
    EXPECT_EQ(StrToFloat("5,"), 5.0);
    EXPECT_EQ(StrToFloat("1E3"), 1000.0);
    EXPECT_EQ(StrToFloat("1,5e-2"), 0.015);
    EXPECT_EQ(StrToFloat("-5,55111512312578E-17"), -5.55111512312578e-17);
    // Correctly rounded: the same double as the compiler's literal.
    EXPECT_EQ(StrToFloat("0,1"), 0.1);
    EXPECT_EQ(StrToFloat("2,675"), 2.675);
    EXPECT_EQ(StrToFloat("0,30000000000000004"), 0.1 + 0.2);
    EXPECT_EQ(StrToFloat("0,3"), 0.3);
    EXPECT_NE(StrToFloat("0,3"), 0.1 + 0.2);
    EXPECT_EQ(StrToFloat("1,7976931348623157E308"), 1.7976931348623157e308);
    EXPECT_EQ(StrToFloat(FloatToStr(1.0 / 3)), 0.333333333333333);
}

TEST(StrToFloat, RejectsTextsThatAreNoNumber)
{
    SeparatorScope comma(',');
    for (const char* bad : {"", " 1", "1 ", "\t1", "1,5\r\n", "1.5", "1,,5", "1,5,", "1,2,3", "abc", "1x", "-",
                            "+", ",", "-,", "1e", "1E+", "e5", "1 000", "--1", "1-", "1E400", "INF", "NAN"}) {
        const QString text = QString::fromUtf8(bad);
        EXPECT_EQ(ConvertMessage([&] { StrToFloat(text); }),
                  InvalidNumberText(text))
            << bad;
        double v = 42;
        EXPECT_FALSE(TryStrToFloat(text, v)) << bad;
        EXPECT_EQ(v, 42);
    }
    EXPECT_EQ(ConvertMessage([] { StrToFloat("12.50"); }), InvalidNumberText(QStringLiteral("12.50")));
    EXPECT_EQ(ConvertMessage([] { StrToFloat(QStringLiteral("١")); }),
              InvalidNumberText(QStringLiteral("١")));  // only ASCII digits
}

TEST(StrToFloat, FullStopWhenTheLocaleSaysSo)
{
    SeparatorScope dot('.');
    EXPECT_EQ(StrToFloat("1.5"), 1.5);
    EXPECT_EQ(StrToFloat("-0.1"), -0.1);
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
    EXPECT_THROW(StrToFloat("1.5.0"), EConvertError);
}

TEST(StrToInt, SignedThirtyTwoBitDecimal)
{
    EXPECT_EQ(StrToInt("0000000001"), 1);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(StrToInt("-0"), 0);
    EXPECT_EQ(StrToInt("+5"), 5);
    EXPECT_EQ(StrToInt("36811"), 36811);
    for (const char* bad : {"", " 1", "1 ", "1\r\n", "36811\r\n", "36811\n", "2147483648", "-2147483649",
                            "99999999999999999999", "-", "+", "1,0", "1.0", "1e3", "0x10", "$10", "12a"}) {
        const QString text = QString::fromUtf8(bad);
        EXPECT_EQ(ConvertMessage([&] { StrToInt(text); }),
                  InvalidIntegerText(text))
            << bad;
        int v = 42;
        EXPECT_FALSE(TryStrToInt(text, v)) << bad;
        EXPECT_EQ(v, 42);
    }
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-36811), "-36811");
    EXPECT_EQ(IntToStr(10000000000LL), "10000000000");
}

TEST(StrToBool, WordsAndNumbers)
{
    EXPECT_TRUE(StrToBool("True"));
    EXPECT_TRUE(StrToBool("true"));
    EXPECT_TRUE(StrToBool("TRUE"));
    EXPECT_FALSE(StrToBool("False"));
    EXPECT_FALSE(StrToBool("fAlSe"));
    EXPECT_TRUE(StrToBool("-1"));
    EXPECT_TRUE(StrToBool("1"));
    EXPECT_TRUE(StrToBool("7"));
    EXPECT_FALSE(StrToBool("0"));
    EXPECT_FALSE(StrToBool("000"));
    for (const char* bad : {"", " True", "True ", "Tru", "yes", "1,5", "Истина"}) {
        const QString text = QString::fromUtf8(bad);
        EXPECT_EQ(ConvertMessage([&] { StrToBool(text); }),
                  InvalidFlagText(text))
            << bad;
    }
    EXPECT_EQ(BoolToStr(true, true), "True");
    EXPECT_EQ(BoolToStr(false, true), "False");
    EXPECT_EQ(BoolToStr(true, false), "-1");
    EXPECT_EQ(BoolToStr(false, false), "0");
    EXPECT_TRUE(StrToBool(BoolToStr(true)));
    EXPECT_FALSE(StrToBool(BoolToStr(false)));
}

TEST(FormatFloat, ChartMarkPattern)
{
    SeparatorScope comma(',');
    const QString mark = QStringLiteral("#.## лв.");
    EXPECT_EQ(FormatFloat(mark, 1234.5), "1234,5 лв.");
    EXPECT_EQ(FormatFloat(mark, 1234.0), "1234 лв.");
    EXPECT_EQ(FormatFloat(mark, 0.0), " лв.");  // '#' shows no digit for zero
    EXPECT_EQ(FormatFloat(mark, 0.5), ",5 лв.");
    EXPECT_EQ(FormatFloat(mark, 12.345), "12,35 лв.");  // half away from zero on the 15 digits
    EXPECT_EQ(FormatFloat(mark, -12.345), "-12,35 лв.");
    EXPECT_EQ(FormatFloat(mark, 1.005), "1,01 лв.");
    EXPECT_EQ(FormatFloat(mark, 0.1 + 0.2), ",3 лв.");
    EXPECT_EQ(FormatFloat(mark, 9.999), "10 лв.");
    EXPECT_EQ(FormatFloat(mark, 0.001), " лв.");
    EXPECT_EQ(FormatFloat(mark, -0.001), " лв.");  // no minus on a number that rounds to nothing
    EXPECT_EQ(FormatFloat(QStringLiteral("#.## 'лв.'"), 2.5), "2,5 лв.");
}

TEST(FormatFloat, FixedDecimalsAndGrouping)
{
    SeparatorScope comma(',');
    EXPECT_EQ(FormatFloat("0.00", 0.0), "0,00");
    EXPECT_EQ(FormatFloat("0.00", 7.5), "7,50");
    EXPECT_EQ(FormatFloat("0.00", 0.995), "1,00");
    EXPECT_EQ(FormatFloat("0.00", 2.675), "2,68");
    EXPECT_EQ(FormatFloat("0.00", -0.005), "-0,01");
    EXPECT_EQ(FormatFloat("0.00", 999.995), "1000,00");
    EXPECT_EQ(FormatFloat("0.0#", 1.5), "1,5");
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("000", 7.0), "007");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), QStringLiteral("1\u00A0234\u00A0567,89"));
    EXPECT_EQ(FormatFloat("#,##0.00", 123.0), "123,00");
    EXPECT_EQ(FormatFloat("", 0.1 + 0.2), "0,3");
    FormatSettings().DecimalSeparator = QLatin1Char('.');
    EXPECT_EQ(FormatFloat("#.## лв.", 1234.5), "1234.5 лв.");
}

TEST(Dates, FormatDateTimePatterns)
{
    const TDate invoiceDay = EncodeDate(2026, 12, 8);
    EXPECT_EQ(FormatDateTime(QStringLiteral("dd.MM.yyyy 'г.'"), invoiceDay), "08.12.2026 г.");
    EXPECT_EQ(FormatDateTime("DD.MM.YYYY", invoiceDay), "08.12.2026");
    EXPECT_EQ(FormatDateTime("d.m.yy", EncodeDate(2007, 3, 5)), "5.3.07");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", EncodeDate(205, 1, 9)), "0205-01-09");
    EXPECT_EQ(FormatDateTime(QStringLiteral("\"Дата: \"dd/mm/yyyy"), EncodeDate(2007, 3, 5)), "Дата: 05/03/2007");
    EXPECT_EQ(FormatDateTime("'day' d, \"month\" m", EncodeDate(2007, 3, 5)), "day 5, month 3");
    EXPECT_EQ(FormatDateTime("d 'open", EncodeDate(2007, 3, 5)), "5 open");
    EXPECT_EQ(FormatDateTime("", invoiceDay), "");
}

TEST(Dates, EncodeDateAndShortDate)
{
    EXPECT_EQ(EncodeDate(2024, 2, 29), QDate(2024, 2, 29));
    EXPECT_THROW(EncodeDate(2026, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2026, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2026, 4, 31), EConvertError);
    EXPECT_THROW(EncodeDate(2026, 1, 0), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);

    const TFormatSettings saved = FormatSettings();
    SetBulgarianLocale();
    EXPECT_EQ(DateToStr(EncodeDate(2026, 12, 8)), "08.12.2026");
    FormatSettings().ShortDateFormat = QStringLiteral("yyyy-MM-dd");
    EXPECT_EQ(DateToStr(EncodeDate(2026, 12, 8)), "2026-12-08");
    FormatSettings() = saved;

    SetTodayForTests(EncodeDate(2024, 2, 29));
    EXPECT_EQ(Date(), EncodeDate(2024, 2, 29));
    SetTodayForTests(TDate());
    const QDate before = QDate::currentDate();
    const TDate today = Date();
    EXPECT_TRUE(today == before || today == QDate::currentDate());
}

TEST(StringFunctions, PositionsCountCyrillicLettersAsOneCharacter)
{
    const QString s = QStringLiteral("Фактура №12");
    EXPECT_EQ(Length(s), 11);
    EXPECT_EQ(Pos(QStringLiteral("№"), s), 9);
    EXPECT_EQ(Pos(QStringLiteral("Ф"), s), 1);
    EXPECT_EQ(Pos(QStringLiteral("ф"), s), 0);  // exact, case-sensitive
    EXPECT_EQ(Pos("", s), 0);
    EXPECT_EQ(Copy(s, 10, 2), "12");
    EXPECT_EQ(Copy(s, Length(s) - 1, 2), "12");
    EXPECT_EQ(Copy(s, 1, 7), QStringLiteral("Фактура"));
    EXPECT_EQ(Copy(s, 0, 3), QStringLiteral("Фак"));
    EXPECT_EQ(Copy(s, -5, 3), QStringLiteral("Фак"));
    EXPECT_EQ(Copy(s, 11, 100), "2");
    EXPECT_EQ(Copy(s, 12, 1), "");
    EXPECT_EQ(Copy(s, 3, 0), "");
    EXPECT_EQ(Copy(s, 3, -1), "");
    EXPECT_EQ(Copy("", 1, 1), "");

    QString t = s;
    Delete(t, 1, 9);
    EXPECT_EQ(t, "12");
    t = s;
    Delete(t, 8, 100);
    EXPECT_EQ(t, QStringLiteral("Фактура"));
    t = s;
    Delete(t, 0, 3);
    Delete(t, 12, 1);
    Delete(t, 2, 0);
    EXPECT_EQ(t, s);

    t = QStringLiteral("№12");
    Insert(QStringLiteral("Фактура "), t, 1);
    EXPECT_EQ(t, s);
    Insert(QStringLiteral(" г."), t, 100);
    EXPECT_EQ(t, QStringLiteral("Фактура №12 г."));
    Insert(QStringLiteral("Ф"), t, -3);
    EXPECT_EQ(Copy(t, 1, 2), QStringLiteral("ФФ"));
    t = QStringLiteral("аб");
    Insert(QStringLiteral("-"), t, 2);
    EXPECT_EQ(t, QStringLiteral("а-б"));

    EXPECT_EQ(LastDelimiter(QStringLiteral("\\/"), QStringLiteral("/дом/Папка/файл.jpg")), 11);
    EXPECT_EQ(LastDelimiter(QStringLiteral("."), QStringLiteral("снимка.стара.jpg")), 13);
    EXPECT_EQ(LastDelimiter(QStringLiteral("."), QStringLiteral("снимка")), 0);
    EXPECT_EQ(LastDelimiter(QStringLiteral(""), QStringLiteral("a.b")), 0);
}

TEST(StringFunctions, CaseForCyrillicAndLatin)
{
    EXPECT_EQ(AnsiLowerCase(QStringLiteral("ФАКТУРА Invoice ЁЖ №5")), QStringLiteral("фактура invoice ёж №5"));
    EXPECT_EQ(AnsiUpperCase(QStringLiteral("дебитно known ё")), QStringLiteral("ДЕБИТНО KNOWN Ё"));
    EXPECT_TRUE(AnsiSameText(QStringLiteral("клиент Ltd"), QStringLiteral("КЛИЕНТ LTD")));
    EXPECT_TRUE(AnsiSameText("", ""));
    EXPECT_FALSE(AnsiSameText(QStringLiteral("Клиент"), QStringLiteral("Клиенти")));
    EXPECT_FALSE(AnsiSameText(QStringLiteral("е"), QStringLiteral("ё")));
}

TEST(Files, ExistenceRenameAndDelete)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = dir.filePath("a.txt");
    const QString b = dir.filePath(QStringLiteral("б.txt"));
    const QString c = dir.filePath("c.txt");
    WriteFile(a, "A");
    WriteFile(c, "C");

    EXPECT_TRUE(FileExists(a));
    EXPECT_FALSE(FileExists(b));
    EXPECT_FALSE(FileExists(dir.path()));  // a folder is no file
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(DirectoryExists(dir.path()));
    EXPECT_FALSE(DirectoryExists(a));
    EXPECT_FALSE(DirectoryExists(dir.filePath("none")));

    EXPECT_TRUE(RenameFile(a, b));
    EXPECT_FALSE(FileExists(a));
    EXPECT_TRUE(FileExists(b));
    EXPECT_FALSE(RenameFile(b, c));  // an existing target is not replaced
    QFile kept(c);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "C");
    EXPECT_FALSE(RenameFile(a, dir.filePath("x")));  // source gone

    EXPECT_TRUE(DeleteFile(b));
    EXPECT_FALSE(FileExists(b));
    EXPECT_FALSE(DeleteFile(b));
    const QString sub = dir.filePath("sub");
    ASSERT_TRUE(QDir().mkdir(sub));
    EXPECT_FALSE(DeleteFile(sub));
    EXPECT_TRUE(DirectoryExists(sub));
}

TEST(Files, StartDirIsFixedAtTheFirstCall)
{
    const QString first = StartDir();
    EXPECT_FALSE(first.isEmpty());
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(StartDir(), first);
    QDir::setCurrent(before);
}
