#include "editor_fixture.h"

#include <QFontMetrics>

#include <cmath>

namespace {

void SetLine(int row, const QString& quantity, const QString& price)
{
    TStringGrid* g = OrderForm->StringGrid1;
    if (g->RowCount() <= row)
        g->SetRowCount(row + 1);
    g->SetCells(1, row, QStringLiteral("Стока %1").arg(row));
    g->SetCells(3, row, quantity);
    g->SetCells(4, row, price);
}

void English(const QString& currency, double rate)
{
    OrderForm->RadioButton2->SetChecked(true);
    Doc->Language = 1;
    Doc->CurrencyPrefix = currency;
    Doc->CurrencyRate = rate;
}

}  // namespace

TEST(WrapPageText, MeasuredLinesBreakAtBlanksAndAtAStarOnlyWhenTooLong)
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(13);
    font.setBold(true);
    const QFontMetrics fm(font);
    // Fits: kept as typed, '*' included.
    EXPECT_EQ(WrapPageText(QStringLiteral("ab*cdef"), font, 239), QStringLiteral("ab*cdef"));
    EXPECT_EQ(WrapPageText(QString(), font, 239), QString());
    // Too long: the '*' breaks and is dropped; no line is wider than the width
    // and no word is cut ("дистриб / уция").
    const QString address = QStringLiteral("гр. София 1000, ж.к. Младост 4*бл. 451, вх. Б, ет. 12, ап. 77, "
                                           "офис за дистрибуция");
    const QStringList lines = WrapPageText(address, font, 239).split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.first(), QStringLiteral("гр. София 1000, ж.к. Младост 4"));
    for (const QString& l : lines)
        EXPECT_LE(fm.horizontalAdvance(l), 239) << l.toStdString();
    EXPECT_EQ(lines.mid(1).join(QLatin1Char(' ')), address.mid(address.indexOf(QLatin1Char('*')) + 1));
    // A leading '*' gives no empty first line.
    const QString leading = QLatin1Char('*') + QString(10, QLatin1Char('z')) + QLatin1Char(' ') + QString(30, QLatin1Char('y'));
    EXPECT_EQ(WrapPageText(leading, font, 239), QString(10, QLatin1Char('z')) + QLatin1Char('\n') + QString(30, QLatin1Char('y')));
}

TEST_F(EditorTest, BulgarianPageCopiesTheEditorTotalsWithOneSuffix)
{
    NewDocument();
    SetLine(1, QStringLiteral("2"), QStringLiteral("1,5"));
    SetLine(2, QStringLiteral("1"), QStringLiteral("100"));
    OrderForm->ComboBox5->SetText(QStringLiteral("чл. 113"));
    OrderForm->Save->SetEnabled(false);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_TRUE(OrderForm->Save->Enabled());  // a fill marks the document changed
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->Label5->Caption(), QStringLiteral("103,00 лв"));
    EXPECT_EQ(Doc->Label7->Caption(), QStringLiteral("20,60 лв"));
    EXPECT_EQ(Doc->Label3->Caption(), QStringLiteral("123,60 лв"));
    EXPECT_EQ(Doc->Label18->Caption(), QStringLiteral("сто двадесет и три лева и 60 ст."));
    EXPECT_EQ(Doc->Label20->Caption(), QStringLiteral("/чл. 113/"));
    EXPECT_EQ(Doc->Label2->Caption(), QStringLiteral("Данъчна ставка 20%\nразмер на данъка"));
    // Values line up on the right: two blanks per missing character.
    EXPECT_EQ(Doc->StringGrid2->Cells(5, 1), QStringLiteral("    3,00"));
    EXPECT_EQ(Doc->StringGrid2->Cells(5, 2), QStringLiteral("100,00"));
    EXPECT_EQ(Doc->StringGrid2->Cells(0, 0), QStringLiteral("Пор. №"));
    EXPECT_EQ(Doc->StringGrid2->Cells(5, 0), QStringLiteral("Стойност"));
    EXPECT_EQ(Doc->StringGrid2->Height(), (18 + 1) * 3 + 3);
}

TEST_F(EditorTest, EnglishPageConvertsByTheRateAndRecomputesTheTotals)
{
    NewDocument();
    English(QStringLiteral("EUR"), 1.95583);
    SetLine(1, QStringLiteral("1"), QStringLiteral("10,00"));
    SetLine(2, QStringLiteral("1"), QStringLiteral("abc"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->StringGrid2->Cells(4, 1), QStringLiteral("5,11"));
    EXPECT_EQ(Doc->StringGrid2->Cells(5, 1), QStringLiteral("5,11"));
    EXPECT_EQ(Doc->StringGrid2->Cells(4, 2), QString());
    EXPECT_EQ(OrderForm->StringGrid1->Cells(4, 2), QString());
    EXPECT_EQ(Doc->StringGrid2->Cells(0, 0), QStringLiteral("Part No."));
    EXPECT_EQ(Doc->StringGrid2->Cells(5, 0), QStringLiteral("Total"));
    EXPECT_EQ(Doc->Label15->Caption().left(3), QStringLiteral("No "));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->Label5->Caption(), QStringLiteral("5,11 EUR"));
    EXPECT_EQ(Doc->Label7->Caption(), QStringLiteral("1,02 EUR"));
    EXPECT_EQ(Doc->Label3->Caption(), QStringLiteral("6,13 EUR"));
    EXPECT_EQ(Doc->Label18->Caption(), QStringLiteral("six and  0,13 EUR"));
    // The editor keeps its own currency.
    EXPECT_EQ(OrderForm->Label11->Caption(), QStringLiteral("12,00"));
}

// Two lines whose rounding differs between the editor and a converted page: 4 x 1,115 and 1 x 10.
static void PricesWithThreeDecimals()
{
    SetLine(1, QStringLiteral("4"), QStringLiteral("1,115"));
    SetLine(2, QStringLiteral("1"), QStringLiteral("10"));
}

static QList<QStringList> PageLines()
{
    QList<QStringList> rows;
    for (int r = 1; r < Doc->StringGrid2->RowCount(); ++r)
        rows << Doc->StringGrid2->Rows(r);
    return rows;
}

TEST_F(EditorTest, EnglishWithoutASecondCurrencyShowsTheEditorsAmounts)
{
    NewDocument();
    PricesWithThreeDecimals();
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    const QList<QStringList> bulgarian = PageLines();
    ASSERT_EQ(OrderForm->Label11->Caption(), QStringLiteral("17,35"));

    for (const QString& currency : {QString(), QStringLiteral("BGN")}) {
        English(currency, 1.0);
        // One fill: the first fill after a change is what a save stores and shows.
        ASSERT_TRUE(OrderForm->BuildPrintView(false));
        EXPECT_EQ(PageLines(), bulgarian) << currency.toStdString();
        EXPECT_EQ(Doc->StringGrid2->Cells(4, 1), QStringLiteral("1,115"));
        // Without a second currency the amounts are named in leva all the same.
        const QString suffix = QStringLiteral(" BGN");
        EXPECT_EQ(Doc->Label5->Caption(), QStringLiteral("14,46") + suffix);
        EXPECT_EQ(Doc->Label7->Caption(), QStringLiteral("2,89") + suffix);
        EXPECT_EQ(Doc->Label3->Caption(), QStringLiteral("17,35") + suffix);
        // A second fill adds no second suffix.
        ASSERT_TRUE(OrderForm->BuildPrintView(false));
        EXPECT_EQ(Doc->Label3->Caption(), QStringLiteral("17,35") + suffix);
        EXPECT_TRUE(Doc->Label18->Caption().startsWith(QStringLiteral("seventeen"))) << Doc->Label18->Caption().toStdString();
    }
}

TEST_F(EditorTest, ConvertedPageTotalsAddUpFromItsOwnLines)
{
    NewDocument();
    PricesWithThreeDecimals();
    SetLine(3, QStringLiteral("3"), QStringLiteral("7,77"));
    SetLine(4, QStringLiteral("0,5"), QStringLiteral("0,99"));
    English(QStringLiteral("EUR"), 1.95583);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    const auto amount = [](const QString& text) {
        return QString(text).remove(QStringLiteral(" EUR")).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
    };
    double lines = 0;
    for (int r = 1; r <= 4; ++r) {
        const double price = amount(Doc->StringGrid2->Cells(4, r));
        const double quantity = amount(Doc->StringGrid2->Cells(3, r));
        const double value = amount(Doc->StringGrid2->Cells(5, r));
        // Each line from the converted price as printed beside it.
        EXPECT_NEAR(value, std::round(price * quantity * 100 + 1e-7) / 100, 1e-9) << r;
        lines += value;
    }
    const double base = amount(Doc->Label5->Caption());
    const double vat = amount(Doc->Label7->Caption());
    EXPECT_NEAR(base, lines, 1e-9);
    EXPECT_NEAR(vat, std::round(base * 20 + 1e-7) / 100, 1e-9);  // once, on the base
    EXPECT_NEAR(amount(Doc->Label3->Caption()), base + vat, 1e-9);
}

TEST_F(EditorTest, OneFillWritesEveryLineOfALongerDocument)
{
    NewDocument();
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    ASSERT_EQ(Doc->StringGrid2->RowCount(), 2);
    for (int r = 1; r <= 6; ++r)
        SetLine(r, QStringLiteral("1"), QStringLiteral("%1").arg(r));
    English(QStringLiteral("EUR"), 2.0);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    ASSERT_EQ(Doc->StringGrid2->RowCount(), 7);
    for (int r = 1; r <= 6; ++r)
        EXPECT_EQ(Doc->StringGrid2->Cells(1, r), QStringLiteral("Стока %1").arg(r)) << r;
    EXPECT_EQ(Doc->StringGrid2->Cells(4, 6), QStringLiteral("3,00"));
    EXPECT_EQ(Doc->Label5->Caption(), QStringLiteral("10,50 EUR"));
    EXPECT_EQ(Doc->Label3->Caption(), QStringLiteral("12,60 EUR"));
}

TEST_F(EditorTest, EnglishTotalsWithoutAPricedLineCarryTheCurrencyOnce)
{
    NewDocument();
    English(QStringLiteral("USD"), 1.7);
    SetLine(1, QStringLiteral("1"), QString());
    for (int pass = 0; pass < 3; ++pass)
        ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->Label5->Caption(), QStringLiteral("0 USD"));
    EXPECT_EQ(Doc->Label7->Caption(), QStringLiteral("0 USD"));
    EXPECT_EQ(Doc->Label3->Caption(), QStringLiteral("0 USD"));
    EXPECT_EQ(Doc->Label18->Caption(), QString());  // "0 USD" has no decimal separator
}

TEST_F(EditorTest, RateOfZeroOrBelowStopsTheFillWithOneMessage)
{
    NewDocument();
    SetLine(1, QStringLiteral("1"), QStringLiteral("10"));
    for (double rate : {0.0, -1.95583}) {
        ResetTestDialogs();
        English(QStringLiteral("EUR"), rate);
        Doc->Label1->SetCaption(QStringLiteral("preceding page"));
        OrderForm->View->Click();
        EXPECT_EQ(TestDialogs().boxes.size(), 1u) << rate;
        EXPECT_FALSE(OrderForm->BuildPrintView(false));
        EXPECT_EQ(Doc->Label1->Caption(), QStringLiteral("preceding page"));
        EXPECT_FALSE(Doc->isVisible());
        EXPECT_EQ(OrderForm->StringGrid1->Cells(4, 1), QStringLiteral("10"));
    }
}

TEST_F(EditorTest, DiscountHeadersNoticeBlockAndHeaderOnlyGrid)
{
    NewDocument();
    TStringGrid* g = OrderForm->StringGrid1;
    g->SetRowCount(1);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->StringGrid2->RowCount(), 1);
    EXPECT_EQ(Doc->StringGrid2->FixedRows(), 0);
    EXPECT_FALSE(Doc->Panel2->isVisibleTo(Doc->Panel1));
    EXPECT_FALSE(Doc->StringGrid1->isVisibleTo(Doc->Panel1));

    g->SetRowCount(2);
    g->SetColCount(7);
    Doc->StringGrid2->SetColCount(7);
    OrderForm->ComboBox1->SetText(QStringLiteral("Дебитно известие"));
    OrderForm->StringGrid2->SetCells(2, 1, QStringLiteral("15,00"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->StringGrid2->Cells(5, 0), QStringLiteral("Отстъпка %"));
    EXPECT_EQ(Doc->StringGrid2->Cells(6, 0), QStringLiteral("Стойност"));
    EXPECT_EQ(Doc->StringGrid2->FixedRows(), 1);
    EXPECT_TRUE(Doc->Panel2->isVisibleTo(Doc->Panel1));
    EXPECT_EQ(Doc->Label21->Caption(), QStringLiteral("Дебитно известие"));
    const QStringList header = {QStringLiteral("№"), QStringLiteral("Дебит с/ка"), QStringLiteral("Сума")};
    EXPECT_EQ(Doc->StringGrid1->Rows(0), header);
    EXPECT_EQ(Doc->StringGrid1->Cells(2, 1), QStringLiteral("15,00"));

    OrderForm->RadioButton2->SetChecked(true);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->StringGrid2->Cells(5, 0), QStringLiteral("Discount %"));
    EXPECT_EQ(Doc->StringGrid2->Cells(6, 0), QStringLiteral("Total"));
}

TEST_F(EditorTest, ViewShowsThePageInTheEditorsLanguage)
{
    NewDocument();
    SetLine(1, QStringLiteral("2"), QStringLiteral("50"));
    OrderForm->RadioButton2->SetChecked(true);
    Doc->CurrencyPrefix = QStringLiteral("EUR");
    Doc->CurrencyRate = 2.0;
    Doc->Language = 0;  // out of step with the buttons: the view brings it in line
    OrderForm->View->Click();
    EXPECT_EQ(Doc->Language, 1);
    EXPECT_TRUE(Doc->isVisible());
    EXPECT_EQ(Doc->Label3->Caption(), QStringLiteral("60,00 EUR"));
    EXPECT_EQ(Doc->Label18->Caption(), QStringLiteral("sixty  EUR"));
}

TEST_F(EditorTest, EnglishPageSaysItsDatesInFiguresOnlyAndNamesTheLevWithoutASecondCurrency)
{
    // The short date format the Bulgarian locale gives, with its year mark.
    struct Format {
        QString kept = FormatSettings().ShortDateFormat;
        ~Format() { FormatSettings().ShortDateFormat = kept; }
    } format;
    FormatSettings().ShortDateFormat = QStringLiteral("d.MM.yyyy 'г'.");
    NewDocument();
    SetLine(1, QStringLiteral("2"), QStringLiteral("10,10"));
    OrderForm->CheckBox1->SetChecked(true);
    OrderForm->EDate2->SetDate(QDate(2026, 4, 2));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_TRUE(Doc->Label15->Caption().endsWith(QStringLiteral(" / Дата: 31.03.2026 г."))) << Doc->Label15->Caption().toStdString();
    EXPECT_EQ(Doc->Label57->Caption(), QStringLiteral("2.04.2026 г."));

    English(QString(), 1.0);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_TRUE(Doc->Label15->Caption().endsWith(QStringLiteral(" / Date: 31.03.2026"))) << Doc->Label15->Caption().toStdString();
    EXPECT_EQ(Doc->Label57->Caption(), QStringLiteral("2.04.2026"));
    EXPECT_EQ(Doc->Label5->Caption(), QStringLiteral("20,20 BGN"));
    EXPECT_EQ(Doc->Label7->Caption(), QStringLiteral("4,04 BGN"));
    EXPECT_EQ(Doc->Label3->Caption(), QStringLiteral("24,24 BGN"));
    EXPECT_EQ(Doc->Label18->Caption(), QStringLiteral("twenty four and  0,24 BGN"));
    // What is stored stays without a second currency.
    EXPECT_EQ(Doc->CurrencyPrefix, QString());

    // A second currency, even at rate 1, is named by its own name.
    English(QStringLiteral("EUR"), 1.0);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->Label3->Caption(), QStringLiteral("24,24 EUR"));
    EXPECT_EQ(Doc->Label18->Caption(), QStringLiteral("twenty four and  0,24 EUR"));
}
