#include "calc_fixture.h"

#include "platform/grids.h"
#include "platform/stdctrls.h"

#include <array>

namespace {

struct Totals {
    QString line, base, tax, payable;
};

class Calculator : public CalcTest {
protected:
    void SetUp() override
    {
        CalcTest::SetUp();
        StartCalculator();
        ClearTotals();
    }

    void ClearTotals()
    {
        Form1->Label7->SetCaption("0");
        Form1->Label3->SetCaption("0");
        Form1->Label5->SetCaption("0");
    }

    // Feeds one line the way the editor does and clicks "Добави".
    Totals Add(const char* quantity, const char* price, const char* discount = "")
    {
        Form1->Edit3->SetText(QString::fromUtf8(quantity));
        Form1->Edit1->SetText(QString::fromUtf8(price));
        Form1->Edit2->SetText(QString::fromUtf8(discount));
        Form1->SpeedButton1->Click();
        return Now();
    }

    Totals Now() const
    {
        return {Form1->result->Caption(), Form1->Label7->Caption(), Form1->Label3->Caption(),
                Form1->Label5->Caption()};
    }
};

void ExpectTotals(const Totals& t, const char* line, const char* base, const char* tax, const char* payable)
{
    EXPECT_EQ(t.line, QString::fromUtf8(line));
    EXPECT_EQ(t.base, QString::fromUtf8(base));
    EXPECT_EQ(t.tax, QString::fromUtf8(tax));
    EXPECT_EQ(t.payable, QString::fromUtf8(payable));
}

}  // namespace

TEST_F(Calculator, DesignTextsAndStartRate)
{
    EXPECT_EQ(Form1->Caption(), "Таблица");
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_EQ(Form1->SpeedButton1->Caption(), "Добави");
    EXPECT_EQ(Form1->Label10->Caption(), "0");
    EXPECT_EQ(Form1->result->Caption(), "result");
    EXPECT_EQ(Form1->Label1->Caption(), "0");
    EXPECT_EQ(Form1->VatText, "20");
    EXPECT_DOUBLE_EQ(Form1->VatRate, 0.2);
    EXPECT_EQ(FormatSettings().CurrencyString, "лв");
}

TEST_F(Calculator, LineValueTaxAndPayableAreRoundedText)
{
    ExpectTotals(Add("3", "1,115"), "3,35", "3,35", "0,67", "4,02");
    EXPECT_EQ(Form1->Label10->Caption(), "3,35");
    EXPECT_EQ(Form1->Label1->Caption(), "0,67");

    ClearTotals();
    ExpectTotals(Add("1", "0,125"), "0,13", "0,13", "0,03", "0,16");
    ExpectTotals(Add("1", "0,125"), "0,13", "0,26", "0,05", "0,31");

    ClearTotals();
    ExpectTotals(Add("2", "7,50", "10"), "13,50", "13,50", "2,70", "16,20");

    ClearTotals();
    ExpectTotals(Add("2", "-1,5"), "-3,00", "-3,00", "-0,60", "-3,60");
}

TEST_F(Calculator, TaxIsTakenOnceFromTheRoundedBase)
{
    // Each line is 0,13 with a tax of 0,026; three of them make 0,39 and a tax
    // of 0,078 -> 0,08, where summed line taxes would give 0,09.
    Add("1", "0,125");
    Add("1", "0,125");
    ExpectTotals(Add("1", "0,125"), "0,13", "0,39", "0,08", "0,47");
}

TEST_F(Calculator, TinyResultsComeOutAsZeroNotExponentGarbage)
{
    // 0,35 - 100 % of 0,35 is -5,55E-17 in floating point.
    ExpectTotals(Add("1", "0,35", "100"), "0,00", "0,00", "0,00", "0,00");
    EXPECT_EQ(Form1->Label10->Caption(), "0,00");

    ClearTotals();
    Add("1", "2");
    ExpectTotals(Add("1", "0,35", "100"), "0,00", "2,00", "0,40", "2,40");

    ClearTotals();
    Add("1", "5");
    ExpectTotals(Add("1", "-5"), "-5,00", "0,00", "0,00", "0,00");

    // A tax of 1E-7 on 100,00.
    ASSERT_TRUE(Form1->SetVatRate("0,0000001%"));
    ClearTotals();
    ExpectTotals(Add("1", "100"), "100,00", "100,00", "0,00", "100,00");
}

TEST_F(Calculator, LineThatIsNoNumberGetsNoValueAndLeavesTheTotals)
{
    Add("3", "1,115");
    for (auto bad : {std::array{"3", "abc", ""}, std::array{"", "1", ""}, std::array{"1", "2", "x"},
                     std::array{"1E300", "1E300", ""}}) {
        const Totals t = Add(bad[0], bad[1], bad[2]);
        ExpectTotals(t, "", "3,35", "0,67", "4,02");
    }
    EXPECT_TRUE(TestDialogs().boxes.empty());
    ExpectTotals(Add("1", "1"), "1,00", "4,35", "0,87", "5,22");
}

TEST_F(Calculator, RateTextThatIsNoNumberChangesNothing)
{
    ASSERT_TRUE(Form1->SetVatRate("9%"));
    EXPECT_EQ(Form1->VatText, "9");
    EXPECT_DOUBLE_EQ(Form1->VatRate, 0.09);
    EXPECT_EQ(Form1->MemList->Strings(0), "9%");
    ASSERT_TRUE(Form1->SetVatRate("7,5"));
    EXPECT_EQ(Form1->VatText, "7,5");
    EXPECT_DOUBLE_EQ(Form1->VatRate, 0.075);
    EXPECT_EQ(Form1->MemList->Strings(0), "7,5");

    for (const char* bad : {"", "%", "%%%%", "%5", "2,,0", ","}) {
        EXPECT_FALSE(Form1->SetVatRate(QString::fromUtf8(bad))) << bad;
        EXPECT_EQ(Form1->VatText, "7,5");
        EXPECT_DOUBLE_EQ(Form1->VatRate, 0.075);
        EXPECT_EQ(Form1->MemList->Strings(0), "7,5");
    }
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST_F(Calculator, RoundMoneyTextRewritesAnyControl)
{
    TLabel label;
    label.SetCaption("2,675");
    Form1->RoundMoneyText(&label);
    EXPECT_EQ(label.Caption(), "2,68");

    // An edit made only for the call: its change handler runs once.
    TEdit edit;
    int changes = 0;
    edit.OnChange = [&](TObject*) { ++changes; };
    edit.SetText("-5,55111512312578E-17");
    changes = 0;
    Form1->RoundMoneyText(&edit);
    EXPECT_EQ(edit.Text(), "0,00");
    EXPECT_EQ(changes, 1);
    Form1->RoundMoneyText(&edit);
    EXPECT_EQ(changes, 1);

    edit.SetText("1,2a6");
    EXPECT_THROW(Form1->RoundMoneyText(&edit), EConvertError);
}

TEST_F(Calculator, FitGridHeightCountsOneLinePixelPerRow)
{
    TStringGrid grid;
    grid.SetDefaultRowHeight(18);
    grid.SetRowCount(4);
    Form1->FitGridHeight(&grid);
    EXPECT_EQ(grid.Height(), 79);
    grid.SetRowCount(1);
    Form1->FitGridHeight(&grid);
    EXPECT_EQ(grid.Height(), 22);
}
