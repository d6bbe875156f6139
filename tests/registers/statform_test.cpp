#include "platform/chart.h"
#include "registers/register_fixture.h"
#include "registers/revenue.h"

namespace {

class StatTest : public RegisterTest {
protected:
    void SetUp() override
    {
        RegisterTest::SetUp();
        CompanyRecord a;
        a.name = QStringLiteral("Алфа ООД");
        AddCompany(a);
        CompanyRecord b;
        b.name = QStringLiteral("Бета ЕООД");
        AddCompany(b);
    }

    // Opens the statistics for Алфа ООД in 2026 (today is 31 March 2026).
    static void Open()
    {
        Sort->Button1Click(nullptr);
        StatForm->DBComboBox1DropDown(nullptr);
        StatForm->DBComboBox1->SetItemIndex(0);
        StatForm->Edit1->SetText(QStringLiteral("2 026"));
    }

    static double Paid(int month) { return StatForm->Series1->YValue(month - 1); }
    static double Unpaid(int month) { return StatForm->Series2->YValue(month - 1); }
    static QStringList Lines(TRichEdit* memo) { return memo->Text().split(QRegularExpression(QStringLiteral("\r?\n"))); }
};

TEST_F(StatTest, ARateOf20PercentGivesTheNetBarAndTheGrossTotal)
{
    StoredDoc d;
    Store(d);
    StoredDoc plain;  // a rate without "%" is used whole
    plain.num = QStringLiteral("0000000002");
    plain.rate = QStringLiteral("20");
    plain.paid = QStringLiteral("False");
    plain.amount = QStringLiteral("60");
    Store(plain);
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), 100.0);
    EXPECT_DOUBLE_EQ(Unpaid(3), 50.0);
    EXPECT_EQ(StatForm->ComboBox1->Text(), QStringLiteral("Март"));
    EXPECT_EQ(StatForm->Chart1->Title(), QStringList({QStringLiteral("Приходи без ДДС за 2 026 г.")}));
    EXPECT_EQ(Lines(StatForm->Memo1),
              QStringList({QStringLiteral("Извадка за платени фактури за месец Март 2 026 с ДДС"),
                           QStringLiteral("1.Клиент: Клиент ЕООД, ф.N. 0000000001/15.03, 120,00 лв."), QString(),
                           QStringLiteral("общо без ДДС: 100,00 лв."), QStringLiteral("общо с ДДС: 120,00 лв.")}));
    EXPECT_EQ(Lines(StatForm->Memo2).last(), QStringLiteral("общо с ДДС: 60,00 лв."));
    EXPECT_EQ(Sort->DBCtrlGrid1->DataSource(), DataModule1->DataSource6);
}

TEST_F(StatTest, ACreditNoteSubtractsAndIsListedFirst)
{
    StoredDoc inv;
    Store(inv);
    StoredDoc credit;
    credit.num = QStringLiteral("0000000002");
    credit.notice = QStringLiteral("Кредитно известие");
    credit.amount = QStringLiteral("24,00");
    Store(credit);
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), 80.0);
    const QStringList lines = Lines(StatForm->Memo1);
    EXPECT_EQ(lines[1], QStringLiteral("1.Клиент: Клиент ЕООД, ф.N. 0000000002/15.03, -24,00 лв."));
    EXPECT_EQ(lines[2], QStringLiteral("2.Клиент: Клиент ЕООД, ф.N. 0000000001/15.03, 120,00 лв."));
    EXPECT_EQ(lines.last(), QStringLiteral("общо с ДДС: 96,00 лв."));
}

TEST_F(StatTest, ACancelledInvoiceCountsNothingButACancelledCreditStillSubtracts)
{
    StoredDoc inv;
    inv.cancelled = QStringLiteral("True");
    Store(inv);
    StoredDoc credit;
    credit.num = QStringLiteral("0000000002");
    credit.kind = QStringLiteral("Кредитно известие");
    credit.cancelled = QStringLiteral("True");
    credit.amount = QStringLiteral("12,00");
    Store(credit);
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), -10.0);
    EXPECT_EQ(Lines(StatForm->Memo1).size(), 5);
}

TEST_F(StatTest, TwinsOfOneInvoiceCountOnceAndAProFormaDoesNotHideIt)
{
    StoredDoc bg;
    Store(bg);
    StoredDoc en = bg;
    en.kind = QStringLiteral("INVOICE");
    Store(en);
    StoredDoc proforma = bg;
    proforma.kind = QStringLiteral("ПРОФОРМА ФАКТУРА");
    proforma.amount = QStringLiteral("999,00");
    Store(proforma);
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), 100.0);
    EXPECT_EQ(Lines(StatForm->Memo1).size(), 5);
    EXPECT_EQ(Lines(StatForm->Memo1).last(), QStringLiteral("общо с ДДС: 120,00 лв."));
}

TEST_F(StatTest, AFullyCreditedMonthShowsZero)
{
    StoredDoc a;
    a.rate = QStringLiteral("0%");
    a.amount = QStringLiteral("10,10");
    Store(a);
    StoredDoc b = a;
    b.num = QStringLiteral("0000000002");
    b.amount = QStringLiteral("20,20");
    Store(b);
    StoredDoc c = a;
    c.num = QStringLiteral("0000000003");
    c.notice = QStringLiteral("Кредитно известие");
    c.amount = QStringLiteral("30,30");
    Store(c);
    Open();
    EXPECT_EQ(Paid(3), 0.0);
    const QStringList lines = Lines(StatForm->Memo1);
    EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("общо без ДДС: 0,00 лв."));
    EXPECT_EQ(lines.last(), QStringLiteral("общо с ДДС: 0,00 лв."));
}

TEST_F(StatTest, BadRecordsAreSkippedWithoutStoppingTheChart)
{
    StoredDoc good;
    Store(good);
    StoredDoc emptyPaid;  // an empty Paid? is unpaid
    emptyPaid.num = QStringLiteral("0000000002");
    emptyPaid.paid = QString();
    Store(emptyPaid);
    StoredDoc badRate;
    badRate.num = QStringLiteral("0000000003");
    badRate.rate = QStringLiteral("abc%");
    Store(badRate);
    StoredDoc otherBad;
    otherBad.num = QStringLiteral("0000000004");
    otherBad.company = QStringLiteral("Бета ЕООД");
    otherBad.amount = QStringLiteral("x");
    Store(otherBad);
    StoredDoc badDate;
    badDate.num = QStringLiteral("0000000005");
    badDate.date = QStringLiteral("15.xx.2026 г.");
    Store(badDate);
    StoredDoc badAmount;  // skipped, so it does not claim the number of the good invoice
    badAmount.amount = QStringLiteral("много");
    Store(badAmount);
    Open();
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_DOUBLE_EQ(Paid(3), 100.0);
    EXPECT_DOUBLE_EQ(Unpaid(3), 100.0);
    EXPECT_EQ(Sort->DBCtrlGrid1->DataSource(), DataModule1->DataSource6);
}

TEST_F(StatTest, TheFourDigitYearAndTheCompanyDecide)
{
    StoredDoc old;
    old.date = QStringLiteral("15.03.1926 г.");
    Store(old);
    StoredDoc other;
    other.num = QStringLiteral("0000000002");
    other.company = QStringLiteral("Бета ЕООД");
    Store(other);
    StoredDoc nobody;
    nobody.num = QStringLiteral("0000000003");
    nobody.company = QString();
    Store(nobody);
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), 0.0);
    StatForm->DBComboBox1->SetItemIndex(1);
    StatForm->Edit1Change(nullptr);
    EXPECT_DOUBLE_EQ(Paid(3), 100.0);
    // With no company chosen only records without one count.
    StatForm->DBComboBox1->SetItemIndex(-1);
    StatForm->Edit1Change(nullptr);
    EXPECT_DOUBLE_EQ(Paid(3), 100.0);
    StatForm->Edit1->SetText(QStringLiteral("1926"));
    EXPECT_DOUBLE_EQ(Paid(3), 0.0);
}

TEST_F(StatTest, MonthChoiceByNameInAnyCaseAndByBar)
{
    StoredDoc mar;
    Store(mar);
    StoredDoc jan;
    jan.num = QStringLiteral("0000000002");
    jan.date = QStringLiteral("05.01.2026 г.");
    jan.amount = QStringLiteral("240,00");
    Store(jan);
    Open();
    StatForm->ComboBox1->SetText(QStringLiteral("ЯНУАРИ"));
    StatForm->ComboBox1Change(nullptr);
    EXPECT_EQ(Lines(StatForm->Memo1)[1], QStringLiteral("1.Клиент: Клиент ЕООД, ф.N. 0000000002/05.01, 240,00 лв."));
    EXPECT_EQ(Lines(StatForm->Memo1)[3], QStringLiteral("общо без ДДС: 200,00 лв."));

    StatForm->Chart1->ClickBar(StatForm->Series2, 2);
    EXPECT_EQ(StatForm->ComboBox1->Text(), QStringLiteral("Март"));
    EXPECT_EQ(Lines(StatForm->Memo1).last(), QStringLiteral("общо с ДДС: 120,00 лв."));

    StatForm->ComboBox1->SetText(QStringLiteral("Мартт"));
    StatForm->ComboBox1Change(nullptr);
    EXPECT_TRUE(StatForm->Memo1->Text().isEmpty());
    EXPECT_TRUE(StatForm->Memo2->Text().isEmpty());
}

TEST_F(StatTest, AnEmptyRegisterGivesTwelveZeroBarsAndZeroTotals)
{
    Open();
    ASSERT_EQ(StatForm->Series1->Count(), 12);
    EXPECT_EQ(StatForm->Series1->XLabel(11), QStringLiteral("Декември"));
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(Paid(m) + Unpaid(m), 0.0);
    EXPECT_EQ(Lines(StatForm->Memo2),
              QStringList({QStringLiteral("Извадка за неплатени фактури за месец Март 2 026 с ДДС"), QString(),
                           QStringLiteral("общо без ДДС: 0,00 лв."), QStringLiteral("общо с ДДС: 0,00 лв.")}));
}

TEST_F(StatTest, TheChartEngineCountsOneRecordLikeTheWholeWalk)
{
    StoredDoc d;
    const int rec = Store(d);
    Open();
    StatForm->Series1->SetYValue(2, 0);
    ChartedNumbers.clear();
    Sort->AddRecordToChart(rec);
    EXPECT_DOUBLE_EQ(Paid(3), 100.0);
    Sort->AddRecordToChart(rec);  // claimed already
    EXPECT_DOUBLE_EQ(Paid(3), 100.0);
}

}  // namespace
