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
        AddCompany(Company(QStringLiteral("Алфа ООД"), QStringLiteral("Alfa Ltd")));
        AddCompany(Company(QStringLiteral("Бета ЕООД"), QStringLiteral("Beta Ltd")));
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
    Store({});
    // A rate without "%" is used whole.
    Store(StoredDoc().Num(2).Rate(QStringLiteral("20")).Amount(QStringLiteral("60")).Paid(QStringLiteral("False")));
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
    Store({});
    Store(StoredDoc().Num(2).Amount(QStringLiteral("24,00")).Notice(QStringLiteral("Кредитно известие")));
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), 80.0);
    const QStringList lines = Lines(StatForm->Memo1);
    EXPECT_EQ(lines[1], QStringLiteral("1.Клиент: Клиент ЕООД, ф.N. 0000000002/15.03, -24,00 лв."));
    EXPECT_EQ(lines[2], QStringLiteral("2.Клиент: Клиент ЕООД, ф.N. 0000000001/15.03, 120,00 лв."));
    EXPECT_EQ(lines.last(), QStringLiteral("общо с ДДС: 96,00 лв."));
}

TEST_F(StatTest, ACancelledInvoiceCountsNothingButACancelledCreditStillSubtracts)
{
    Store(StoredDoc().Cancelled(QStringLiteral("True")));
    Store(StoredDoc().Kind(QStringLiteral("Кредитно известие")).Num(2).Amount(QStringLiteral("12,00"))
                     .Cancelled(QStringLiteral("True")));
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), -10.0);
    EXPECT_EQ(Lines(StatForm->Memo1).size(), 5);
}

TEST_F(StatTest, TwinsOfOneInvoiceCountOnceAndAProFormaDoesNotHideIt)
{
    Store({});
    Store(StoredDoc().Kind(QStringLiteral("INVOICE")));
    Store(StoredDoc().Kind(QStringLiteral("ПРОФОРМА ФАКТУРА")).Amount(QStringLiteral("999,00")));
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), 100.0);
    EXPECT_EQ(Lines(StatForm->Memo1).size(), 5);
    EXPECT_EQ(Lines(StatForm->Memo1).last(), QStringLiteral("общо с ДДС: 120,00 лв."));
}

TEST_F(StatTest, AFullyCreditedMonthShowsZero)
{
    Store(StoredDoc().Rate(QStringLiteral("0%")).Amount(QStringLiteral("10,10")));
    Store(StoredDoc().Num(2).Rate(QStringLiteral("0%")).Amount(QStringLiteral("20,20")));
    Store(StoredDoc().Num(3).Rate(QStringLiteral("0%")).Amount(QStringLiteral("30,30"))
                     .Notice(QStringLiteral("Кредитно известие")));
    Open();
    EXPECT_EQ(Paid(3), 0.0);
    const QStringList lines = Lines(StatForm->Memo1);
    EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("общо без ДДС: 0,00 лв."));
    EXPECT_EQ(lines.last(), QStringLiteral("общо с ДДС: 0,00 лв."));
}

TEST_F(StatTest, BadRecordsAreSkippedWithoutStoppingTheChart)
{
    Store({});
    Store(StoredDoc().Num(2).Paid(QString()));  // an empty Paid? is unpaid
    Store(StoredDoc().Num(3).Rate(QStringLiteral("abc%")));
    Store(StoredDoc().Num(4).Company(QStringLiteral("Бета ЕООД")).Amount(QStringLiteral("x")));
    Store(StoredDoc().Num(5).Date(QStringLiteral("15.xx.2026 г.")));
    Store(StoredDoc().Amount(QStringLiteral("много")));  // skipped, so it does not claim the number of the good invoice
    Open();
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_DOUBLE_EQ(Paid(3), 100.0);
    EXPECT_DOUBLE_EQ(Unpaid(3), 100.0);
    EXPECT_EQ(Sort->DBCtrlGrid1->DataSource(), DataModule1->DataSource6);
}

TEST_F(StatTest, TheFourDigitYearAndTheCompanyDecide)
{
    Store(StoredDoc().Date(QStringLiteral("15.03.1926 г.")));
    Store(StoredDoc().Num(2).Company(QStringLiteral("Бета ЕООД")));
    Store(StoredDoc().Num(3).Company(QString()));
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
    Store({});
    Store(StoredDoc().Num(2).Date(QStringLiteral("05.01.2026 г.")).Amount(QStringLiteral("240,00")));
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
    // An English EUR invoice carries the company's English name.
    Store(StoredDoc().Kind(QStringLiteral("INVOICE")).Num(5).Date(QStringLiteral("10.12.2026 г."))
                     .Company(QStringLiteral("Alfa Ltd")).Amount(QStringLiteral("1200,00")));
    // Invoice 7 in Bulgarian, then again in English: the later one counts.
    Store(StoredDoc().Num(7).Date(QStringLiteral("11.12.2026 г.")).Amount(QStringLiteral("60,00")));
    const int enRec = Store(StoredDoc().Kind(QStringLiteral("INVOICE")).Num(7).Date(QStringLiteral("11.12.2026 г."))
                                       .Company(QStringLiteral("Alfa Ltd")).Amount(QStringLiteral("72,00")));
    // Бета's own invoice 5 is not Алфа's.
    Store(StoredDoc().Kind(QStringLiteral("INVOICE")).Num(5).Date(QStringLiteral("10.12.2026 г."))
                     .Company(QStringLiteral("Beta Ltd")).Amount(QStringLiteral("24,00")));
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
    Store(StoredDoc().Rate(QStringLiteral("0%")).Amount(QStringLiteral("99,48")));
    // Typed with quantity -1.
    Store(StoredDoc().Kind(QStringLiteral("Кредитно известие")).Num(2).Rate(QStringLiteral("0%"))
                     .Amount(QStringLiteral("-8,40")));
    Store(StoredDoc().Num(3).Rate(QStringLiteral("0%")).Amount(QStringLiteral("-1,20"))
                     .Notice(QStringLiteral("Дебитно известие")));
    Open();
    EXPECT_DOUBLE_EQ(Paid(3), 92.28);
    const QStringList lines = Lines(StatForm->Memo1);
    EXPECT_EQ(lines[1], QStringLiteral("1.Клиент: Клиент ЕООД, ф.N. 0000000003/15.03, 1,20 лв."));
    EXPECT_EQ(lines[2], QStringLiteral("2.Клиент: Клиент ЕООД, ф.N. 0000000002/15.03, -8,40 лв."));
    EXPECT_EQ(lines.last(), QStringLiteral("общо с ДДС: 92,28 лв."));
}

TEST_F(StatTest, AmountsOutsideTheMoneyRangeAndDatesThatDoNotExistAreSkipped)
{
    Store(StoredDoc().Rate(QStringLiteral("0%")).Amount(QStringLiteral("999999999999999,99")));
    Store(StoredDoc().Num(2).Rate(QStringLiteral("0%")).Amount(QStringLiteral("0,01")));
    int num = 3;
    for (const char* amount : {"1e17", "1e308", "1e308", "1000000000000000", "-1e17"}) {
        Store(StoredDoc().Num(num++).Rate(QStringLiteral("0%")).Amount(QString::fromUtf8(amount)));
    }
    Store(StoredDoc().Num(20).Date(QStringLiteral("31.02.2026 г.")).Rate(QStringLiteral("0%"))
                     .Amount(QStringLiteral("5,00")));
    // A rate of almost -100 % makes no money out of nothing.
    Store(StoredDoc().Num(21).Date(QStringLiteral("15.04.2026 г.")).Rate(QStringLiteral("-99,99999999%"))
                     .Amount(QStringLiteral("999999999999999,99")));
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
    Store({});
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
    AddCompany(Company(QStringLiteral("Гама АД")));
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
    const int rec = Store({});
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
    Store(StoredDoc().Amount(QStringLiteral("  12,30 ")));
    int num = 2;
    const char* amounts[] = {"0x1F", "12.345,67", "∞", "١٢٣"};
    for (const char* amount : amounts) {
        const int n = num++;
        Store(StoredDoc().Num(n).Amount(QString::fromUtf8(amount)).Paid(num % 2 ? QStringLiteral("True")
                                                                                : QStringLiteral("False")));
    }
    // Left out of the chart, listed in its own month's extract.
    Store(StoredDoc().Num(10).Date(QStringLiteral("10.05.2026 г.")).Amount(QStringLiteral("x")));
    // The readable twin of an invoice whose English record is unreadable.
    Store(StoredDoc().Num(11).Amount(QStringLiteral("6,00")));
    Store(StoredDoc().Kind(QStringLiteral("INVOICE")).Num(11).Amount(QStringLiteral("шест")));
    // Counts nothing, so nothing is left out.
    Store(StoredDoc().Kind(QStringLiteral("ПРОФОРМА ФАКТУРА")).Num(12).Amount(QStringLiteral("?")));
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
