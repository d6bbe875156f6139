#include "platform/chart.h"
#include "registers/register_fixture.h"
#include "registers/revenue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>

namespace {

class StatTest : public RegisterTest {
protected:
    void SetUp() override
    {
        RegisterTest::SetUp();
        CompanyRecord a;
        a.name = QStringLiteral("Алфа ООД");
        a.enName = QStringLiteral("Alfa Ltd");
        AddCompany(a);
        CompanyRecord b;
        b.name = QStringLiteral("Бета ЕООД");
        b.enName = QStringLiteral("Beta Ltd");
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

TEST_F(StatTest, EnglishDocumentsCountWithTheirCompanyAndTwinsOnce)
{
    StoredDoc eur;  // an English EUR invoice carries the company's English name
    eur.kind = QStringLiteral("INVOICE");
    eur.company = QStringLiteral("Alfa Ltd");
    eur.num = QStringLiteral("0000000005");
    eur.date = QStringLiteral("10.12.2026 г.");
    eur.amount = QStringLiteral("1200,00");
    Store(eur);
    StoredDoc bg;  // invoice 7 in Bulgarian, then again in English: the later one counts
    bg.num = QStringLiteral("0000000007");
    bg.date = QStringLiteral("11.12.2026 г.");
    bg.amount = QStringLiteral("60,00");
    Store(bg);
    StoredDoc en = bg;
    en.kind = QStringLiteral("INVOICE");
    en.company = QStringLiteral("Alfa Ltd");
    en.amount = QStringLiteral("72,00");
    const int enRec = Store(en);
    StoredDoc beta = eur;  // Бета's own invoice 5 is not Алфа's
    beta.company = QStringLiteral("Beta Ltd");
    beta.amount = QStringLiteral("24,00");
    Store(beta);
    Open();
    EXPECT_DOUBLE_EQ(Paid(12), 1060.0);
    StatForm->ComboBox1->SetText(QStringLiteral("Декември"));
    StatForm->ComboBox1Change(nullptr);
    EXPECT_EQ(Lines(StatForm->Memo1),
              QStringList({QStringLiteral("Извадка за платени фактури за месец Декември 2 026 с ДДС"),
                           QStringLiteral("1.Клиент: Клиент ЕООД, ф.N. 0000000007/11.12, 72,00 лв."),
                           QStringLiteral("2.Клиент: Клиент ЕООД, ф.N. 0000000005/10.12, 1200,00 лв."), QString(),
                           QStringLiteral("общо без ДДС: 1060,00 лв."), QStringLiteral("общо с ДДС: 1272,00 лв.")}));
    // The one-record engine knows the English name as well.
    StatForm->Series1->SetYValue(11, 0);
    ChartedNumbers.clear();
    Sort->AddRecordToChart(enRec);
    EXPECT_DOUBLE_EQ(Paid(12), 60.0);

    StatForm->DBComboBox1->SetItemIndex(1);
    StatForm->Edit1Change(nullptr);
    EXPECT_DOUBLE_EQ(Paid(12), 20.0);
}

TEST_F(StatTest, NotesCountByTheirSizeOnTheirOwnSide)
{
    StoredDoc inv;
    inv.rate = QStringLiteral("0%");
    inv.amount = QStringLiteral("99,48");
    Store(inv);
    StoredDoc credit = inv;  // typed with quantity -1
    credit.num = QStringLiteral("0000000002");
    credit.kind = QStringLiteral("Кредитно известие");
    credit.amount = QStringLiteral("-8,40");
    Store(credit);
    StoredDoc debit = inv;
    debit.num = QStringLiteral("0000000003");
    debit.notice = QStringLiteral("Дебитно известие");
    debit.amount = QStringLiteral("-1,20");
    Store(debit);
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), 92.28);
    const QStringList lines = Lines(StatForm->Memo1);
    EXPECT_EQ(lines[1], QStringLiteral("1.Клиент: Клиент ЕООД, ф.N. 0000000003/15.03, 1,20 лв."));
    EXPECT_EQ(lines[2], QStringLiteral("2.Клиент: Клиент ЕООД, ф.N. 0000000002/15.03, -8,40 лв."));
    EXPECT_EQ(lines.last(), QStringLiteral("общо с ДДС: 92,28 лв."));
}

TEST_F(StatTest, AmountsOutsideTheMoneyRangeAndDatesThatDoNotExistAreSkipped)
{
    StoredDoc top;
    top.rate = QStringLiteral("0%");
    top.amount = QStringLiteral("999999999999999,99");
    Store(top);
    StoredDoc cent = top;
    cent.num = QStringLiteral("0000000002");
    cent.amount = QStringLiteral("0,01");
    Store(cent);
    int num = 3;
    for (const char* amount : {"1e17", "1e308", "1e308", "1000000000000000", "-1e17"}) {
        StoredDoc bad = top;
        bad.num = QStringLiteral("%1").arg(num++, 10, 10, QLatin1Char('0'));
        bad.amount = QString::fromUtf8(amount);
        Store(bad);
    }
    StoredDoc noDay = top;
    noDay.num = QStringLiteral("0000000020");
    noDay.date = QStringLiteral("31.02.2026 г.");
    noDay.amount = QStringLiteral("5,00");
    Store(noDay);
    StoredDoc nearlyFree = top;  // a rate of almost -100 % makes no money out of nothing
    nearlyFree.num = QStringLiteral("0000000021");
    nearlyFree.date = QStringLiteral("15.04.2026 г.");
    nearlyFree.rate = QStringLiteral("-99,99999999%");
    Store(nearlyFree);
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), 1000000000000000.0);
    EXPECT_DOUBLE_EQ(Paid(2), 0.0);
    EXPECT_DOUBLE_EQ(Paid(4), 0.0);
    const QStringList lines = Lines(StatForm->Memo1);
    // The amounts outside the range are listed as unreadable, in no total.
    EXPECT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[lines.size() - 3], QStringLiteral("общо без ДДС: 1000000000000000,00 лв."));
    EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("общо с ДДС: 1000000000000000,00 лв."));
    EXPECT_EQ(lines.last(), QStringLiteral("без 5 документа с неразчетена сума"));
    StatForm->ComboBox1->SetText(QStringLiteral("Февруари"));
    StatForm->ComboBox1Change(nullptr);
    EXPECT_EQ(Lines(StatForm->Memo1).size(), 4);
}

TEST_F(StatTest, TheChooserKeepsItsCompanyAndFollowsTheDataFolder)
{
    StoredDoc d;
    Store(d);
    Open();
    ASSERT_DOUBLE_EQ(Paid(3), 100.0);
    // Opening the list and closing it without a choice changes nothing.
    StatForm->DBComboBox1DropDown(nullptr);
    StatForm->Edit1Change(nullptr);
    EXPECT_EQ(StatForm->DBComboBox1->ItemIndex(), 0);
    EXPECT_DOUBLE_EQ(Paid(3), 100.0);
    EXPECT_EQ(Lines(StatForm->Memo1).last(), QStringLiteral("общо с ДДС: 120,00 лв."));

    // Another data folder: its companies, and the old folder's choice is gone.
    const QString other = Path("other");
    CreateShippedTables(other);
    DataModule1->OpenDatabase(other, true);
    CompanyRecord g;
    g.name = QStringLiteral("Гама АД");
    AddCompany(g);
    EXPECT_EQ(StatForm->DBComboBox1->Items()->Count(), 0);
    EXPECT_EQ(StatForm->DBComboBox1->ItemIndex(), -1);
    EXPECT_EQ(StatForm->DBComboBox1->Text(), QStringLiteral("Собствена фирма..."));
    StatForm->DBComboBox1DropDown(nullptr);
    EXPECT_EQ(StatForm->DBComboBox1->Items()->Strings(0), QStringLiteral("Гама АД"));
    EXPECT_EQ(StatForm->DBComboBox1->ItemIndex(), -1);
    QCoreApplication::processEvents();  // the open window recounts for the new folder
    EXPECT_DOUBLE_EQ(Paid(3), 0.0);

    // A folder that has the company the box shows: it stays chosen.
    StatForm->DBComboBox1->SetItemIndex(0);
    const QString copy = Path("copy");
    QDir().mkpath(copy);
    for (const QString& file : QDir(other).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(other + QLatin1Char('/') + file, copy + QLatin1Char('/') + file));
    DataModule1->OpenDatabase(copy, true);
    EXPECT_EQ(StatForm->DBComboBox1->ItemIndex(), 0);
    EXPECT_EQ(StatForm->DBComboBox1->Text(), QStringLiteral("Гама АД"));
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

TEST_F(StatTest, UnreadableAmountsAreListedAndCountedOutAndBlanksAroundANumberAreRead)
{
    StoredDoc good;
    good.amount = QStringLiteral("  12,30 ");
    Store(good);
    int num = 2;
    const char* amounts[] = {"0x1F", "12.345,67", "∞", "١٢٣"};
    for (const char* amount : amounts) {
        StoredDoc bad;
        bad.num = QStringLiteral("%1").arg(num++, 10, 10, QLatin1Char('0'));
        bad.amount = QString::fromUtf8(amount);
        bad.paid = num % 2 ? QStringLiteral("True") : QStringLiteral("False");
        Store(bad);
    }
    StoredDoc otherMonth;  // left out of the chart, listed in its own month's extract
    otherMonth.num = QStringLiteral("0000000010");
    otherMonth.date = QStringLiteral("10.05.2026 г.");
    otherMonth.amount = QStringLiteral("x");
    Store(otherMonth);
    StoredDoc twin;  // the readable twin of an invoice whose English record is unreadable
    twin.num = QStringLiteral("0000000011");
    twin.amount = QStringLiteral("6,00");
    Store(twin);
    StoredDoc enTwin = twin;
    enTwin.kind = QStringLiteral("INVOICE");
    enTwin.amount = QStringLiteral("шест");
    Store(enTwin);
    StoredDoc proforma;  // counts nothing, so nothing is left out
    proforma.num = QStringLiteral("0000000012");
    proforma.kind = QStringLiteral("ПРОФОРМА ФАКТУРА");
    proforma.amount = QStringLiteral("?");
    Store(proforma);
    Open();

    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_DOUBLE_EQ(Paid(3), 15.25);  // (12,30 + 6,00) / 1,2
    EXPECT_TRUE(StatForm->Label1->isVisible());
    EXPECT_EQ(StatForm->Label1->Caption(), QStringLiteral("Графиката е без 5 документа с неразчетена сума или ставка."));
    EXPECT_EQ(Lines(StatForm->Memo1),
              QStringList({QStringLiteral("Извадка за платени фактури за месец Март 2 026 с ДДС"),
                           QStringLiteral("1.Клиент: Клиент ЕООД, ф.N. 0000000011/15.03, 6,00 лв."),
                           QStringLiteral("2.Клиент: Клиент ЕООД, ф.N. 0000000004/15.03, неразчетена сума „∞“"),
                           QStringLiteral("3.Клиент: Клиент ЕООД, ф.N. 0000000002/15.03, неразчетена сума „0x1F“"),
                           QStringLiteral("4.Клиент: Клиент ЕООД, ф.N. 0000000001/15.03, 12,30 лв."), QString(),
                           QStringLiteral("общо без ДДС: 15,25 лв."), QStringLiteral("общо с ДДС: 18,30 лв."),
                           QStringLiteral("без 2 документа с неразчетена сума")}));
    const QStringList unpaid = Lines(StatForm->Memo2);
    EXPECT_EQ(unpaid.mid(1, 2),
              QStringList({QStringLiteral("1.Клиент: Клиент ЕООД, ф.N. 0000000005/15.03, неразчетена сума „١٢٣“"),
                           QStringLiteral("2.Клиент: Клиент ЕООД, ф.N. 0000000003/15.03, неразчетена сума „12.345,67“")}));
    EXPECT_EQ(unpaid.last(), QStringLiteral("без 2 документа с неразчетена сума"));

    StatForm->ComboBox1->SetText(QStringLiteral("Май"));
    StatForm->ComboBox1Change(nullptr);
    EXPECT_EQ(Lines(StatForm->Memo1)[1], QStringLiteral("1.Клиент: Клиент ЕООД, ф.N. 0000000010/10.05, неразчетена сума „x“"));

    // Nothing unreadable in the year: no note.
    StatForm->Edit1->SetText(QStringLiteral("2025"));
    EXPECT_FALSE(StatForm->Label1->isVisible());

    // The year box takes digits only, typed or pasted.
    StatForm->Edit1->setFocus();
    StatForm->Edit1->selectAll();
    for (const char* key : {"2", "0", "а", "2", "x", "6"}) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8(key));
        QCoreApplication::sendEvent(StatForm->Edit1, &press);
    }
    EXPECT_EQ(StatForm->Edit1->Text(), QStringLiteral("2026"));
    EXPECT_EQ(StatForm->Chart1->Title(), QStringList({QStringLiteral("Приходи без ДДС за 2026 г.")}));
    StatForm->Edit1->selectAll();
    StatForm->Edit1->insert(QStringLiteral("20а26"));
    EXPECT_EQ(StatForm->Edit1->Text(), QStringLiteral("2026"));
}

}  // namespace
