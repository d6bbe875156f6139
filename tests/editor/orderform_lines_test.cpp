#include "calc_fixture.h"

#include "platform/keys.h"
#include "platform/sysutils.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <string_view>

namespace {

class EditorLines : public CalcTest {
protected:
    void SetUp() override
    {
        CalcTest::SetUp();
        StartEditor();
        grid = OrderForm->StringGrid1;
    }

    void Line(int row, const char* quantity, const char* price, const char* discount = nullptr)
    {
        if (grid->RowCount() <= row)
            grid->SetRowCount(row + 1);
        grid->SetCells(3, row, QString::fromUtf8(quantity));
        grid->SetCells(4, row, QString::fromUtf8(price));
        if (discount)
            grid->SetCells(5, row, QString::fromUtf8(discount));
    }

    QString Cell(int col, int row) const { return grid->Cells(col, row); }

    void ExpectTotals(const char* base, const char* tax, const char* payable) const
    {
        EXPECT_EQ(OrderForm->Label7->Caption(), QString::fromUtf8(base));
        EXPECT_EQ(OrderForm->Label4->Caption(), QString::fromUtf8(tax));
        EXPECT_EQ(OrderForm->Label11->Caption(), QString::fromUtf8(payable));
    }

    static void Type(QWidget* w, Qt::Key key, const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &press);
    }

    TStringGrid* grid = nullptr;
};

QString EditorCombo3Items()
{
    return OrderForm->ComboBox3->Items()->List().join(QLatin1Char('|'));
}

}  // namespace

TEST_F(EditorLines, RecalculationComputesValuesTotalsAndNumbers)
{
    grid->SetRowCount(4);
    Line(1, "3", "1.115");  // a full stop becomes the comma
    grid->SetCells(0, 2, "x");
    grid->SetCells(1, 2, "a text line");
    Line(3, "2", "7,50");
    OrderForm->Save->SetEnabled(false);

    OrderForm->RecalcByRate();

    EXPECT_EQ(Cell(4, 1), "1,115");
    EXPECT_EQ(Cell(5, 1), "3,35");
    EXPECT_EQ(Cell(5, 2), "");
    EXPECT_EQ(Cell(5, 3), "15,00");
    ExpectTotals("18,35", "3,67", "22,02");
    EXPECT_EQ(Cell(0, 1), "1");
    EXPECT_EQ(Cell(0, 2), "");  // a line without value has no number
    EXPECT_EQ(Cell(0, 3), "2");
    EXPECT_EQ(OrderForm->Edit9->Text(), "20%");
    EXPECT_EQ(OrderForm->Edit9->Color(), RGB(223, 223, 223));
    EXPECT_TRUE(OrderForm->Save->Enabled());
    EXPECT_EQ(OrderForm->NormalizeDecimal("2.5"), "2,5");
}

TEST_F(EditorLines, LineLosingItsQuantityOrPriceLosesItsValue)
{
    Line(1, "2", "5");
    Line(2, "1", "3");
    OrderForm->RecalcLines();
    OrderForm->NumberLines();
    ExpectTotals("13,00", "2,60", "15,60");
    ASSERT_EQ(Cell(5, 1), "10,00");
    ASSERT_EQ(Cell(0, 2), "2");

    grid->SetCells(3, 1, "");
    OrderForm->RecalcLines();
    EXPECT_EQ(Cell(5, 1), "");
    EXPECT_EQ(Cell(5, 2), "3,00");
    ExpectTotals("3,00", "0,60", "3,60");

    grid->SetCells(4, 2, "abc");  // no number: erased, the line is skipped
    OrderForm->RecalcLines();
    EXPECT_EQ(Cell(4, 2), "");
    EXPECT_EQ(Cell(5, 2), "");
    ExpectTotals("0", "0", "0");
    OrderForm->NumberLines();
    EXPECT_EQ(Cell(0, 1), "");  // a line without value has no number either
    EXPECT_EQ(Cell(0, 2), "");
}

TEST_F(EditorLines, ALineWithoutValueLeavesNoNumberAndNoNumberTwice)
{
    Line(1, "1", "1");
    Line(2, "1", "2");
    Line(3, "1", "3");
    OrderForm->RecalcLines();
    OrderForm->NumberLines();
    ASSERT_EQ(Cell(0, 3), "3");

    grid->SetCells(3, 2, "");
    OrderForm->RecalcLines();
    OrderForm->NumberLines();
    EXPECT_EQ(Cell(0, 1), "1");
    EXPECT_EQ(Cell(0, 2), "");
    EXPECT_EQ(Cell(0, 3), "2");
}

TEST_F(EditorLines, LineThatCannotBeComputedGetsNoValue)
{
    Line(1, "3", "1,115");
    Line(2, "1E300", "1E300");  // the product overflows
    grid->SetCells(5, 2, "9,99");
    Line(3, "1", "2");
    OrderForm->RecalcLines();
    EXPECT_EQ(Cell(5, 1), "3,35");
    EXPECT_EQ(Cell(5, 2), "");
    EXPECT_EQ(Cell(5, 3), "2,00");
    ExpectTotals("5,35", "1,07", "6,42");
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST_F(EditorLines, DiscountColumnFeedsTheCalculator)
{
    grid->SetColCount(7);
    Line(1, "2", "7,50", "10");
    Line(2, "1", "0,35", "100");
    Line(3, "1", "4", "ten");  // no number: computed without discount
    OrderForm->RecalcLines();
    EXPECT_EQ(Cell(6, 1), "13,50");
    EXPECT_EQ(Cell(6, 2), "0,00");
    EXPECT_EQ(Cell(5, 3), "");
    EXPECT_EQ(Cell(6, 3), "4,00");
    ExpectTotals("17,50", "3,50", "21,00");
    OrderForm->NumberLines();
    EXPECT_EQ(Cell(0, 3), "3");
}

TEST_F(EditorLines, RateTextsWithoutARateMarkTheBoxAndKeepTheLastRate)
{
    Line(1, "1", "100");
    OrderForm->Edit9->SetText("9%");
    ExpectTotals("100,00", "9,00", "109,00");
    grid->SetCells(4, 1, "200");  // shows whether a recalculation ran

    for (const char* text : {"", "%", "%%", "%%%", "%5", "2,,0"}) {
        OrderForm->Save->SetEnabled(false);
        OrderForm->Edit9->SetText(QString::fromUtf8(text));
        EXPECT_EQ(OrderForm->Edit9->Color(), clRed) << text;
        EXPECT_TRUE(OrderForm->Save->Enabled()) << text;
        ExpectTotals("100,00", "9,00", "109,00");
        EXPECT_EQ(Cell(5, 1), "100,00");
        EXPECT_EQ(Form1->VatText, "9");
        EXPECT_EQ(Form1->MemList->Strings(0), "9%");
    }
    EXPECT_TRUE(TestDialogs().boxes.empty());

    OrderForm->Edit9->SetText("20%");
    EXPECT_EQ(OrderForm->Edit9->Color(), RGB(223, 223, 223));
    ExpectTotals("200,00", "40,00", "240,00");
}

TEST_F(EditorLines, TypingTheRateRecalculatesOnEveryKey)
{
    Line(1, "1", "100");
    OrderForm->Edit9->SetText("");
    QLineEdit* box = OrderForm->Edit9;

    Type(box, Qt::Key_2, "2");
    ExpectTotals("100,00", "2,00", "102,00");
    grid->SetCells(4, 1, "200");
    Type(box, Qt::Key_0, "0");
    ExpectTotals("200,00", "40,00", "240,00");
    grid->SetCells(4, 1, "300");
    Type(box, Qt::Key_Percent, "%");
    EXPECT_EQ(OrderForm->Edit9->Text(), "20%");
    ExpectTotals("300,00", "60,00", "360,00");

    // Letters and the other decimal mark never reach the box.
    Type(box, Qt::Key_A, "a");
    Type(box, Qt::Key_Period, ".");
    EXPECT_EQ(OrderForm->Edit9->Text(), "20%");
}

TEST_F(EditorLines, RateKeyFilter)
{
    auto passes = [](char16_t c) {
        char16_t key = c;
        OrderForm->Edit9KeyPress(OrderForm->Edit9, key);
        return key == c;
    };
    for (char16_t c : std::u16string_view(u"0123456789%,"))
        EXPECT_TRUE(passes(c)) << char(c);
    EXPECT_TRUE(passes(8));
    for (char16_t c : {u'.', u'a', u' ', u'-', u'+', u'Я', char16_t(13)})
        EXPECT_FALSE(passes(c)) << int(c);

    FormatSettings().DecimalSeparator = QLatin1Char('.');
    EXPECT_TRUE(passes(u'.'));
    EXPECT_FALSE(passes(u','));
}

// ---- payment methods ----

TEST_F(EditorLines, NoFilesGiveTheDesignMethodAndSavingWritesIt)
{
    EXPECT_EQ(EditorCombo3Items(), "по сметка");
    Form1->SavePayments();
    EXPECT_EQ(ReadFile("payment.txt"), EncodeCp1251("по сметка\r\n"));
}

TEST_F(EditorLines, SaveFailureIsSilent)
{
    Form1->FilesDir = dir_.path() + "/missing/folder";
    EXPECT_NO_THROW(Form1->SavePayments());
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

class Payments : public EditorLines {
protected:
    void SetUp() override
    {
        CalcTest::SetUp();
        WriteFile("payment.txt", "в брой\r\nпо сметка\r\nс карта\r\n");
        StartEditor();
        grid = OrderForm->StringGrid1;
    }
};

TEST_F(Payments, ChoosingAMethodMovesItToTheTop)
{
    ASSERT_EQ(EditorCombo3Items(), "в брой|по сметка|с карта");
    TComboBox* combo = OrderForm->ComboBox3;
    OrderForm->Save->SetEnabled(false);
    combo->setCurrentIndex(2);
    emit combo->activated(2);  // the user's choice from the list

    EXPECT_EQ(EditorCombo3Items(), "с карта|в брой|по сметка");
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->Text(), "с карта");
    EXPECT_EQ(Doc->Label37->Caption(), "с карта");
    EXPECT_TRUE(OrderForm->Save->Enabled());

    Form1->SavePayments();
    EXPECT_EQ(ReadFile("payment.txt"), EncodeCp1251("с карта\r\nв брой\r\nпо сметка\r\n"));
}

TEST_F(Payments, EnterPutsANewMethodFirstAndIgnoresAKnownOne)
{
    TComboBox* combo = OrderForm->ComboBox3;
    QLineEdit* edit = combo->lineEdit();
    ASSERT_NE(edit, nullptr);
    OrderForm->Save->SetEnabled(false);

    combo->SetText("наложен платеж");
    Type(edit, Qt::Key_Return, "\r");
    EXPECT_EQ(EditorCombo3Items(), "наложен платеж|в брой|по сметка|с карта");

    combo->SetText("ПО СМЕТКА");  // known in other letter case
    Type(edit, Qt::Key_Return, "\r");
    EXPECT_EQ(EditorCombo3Items(), "наложен платеж|в брой|по сметка|с карта");

    WORD key = 'A';
    combo->SetText("чек");
    OrderForm->ComboBox3KeyDown(combo, key, 0);
    EXPECT_EQ(EditorCombo3Items(), "наложен платеж|в брой|по сметка|с карта");
    EXPECT_FALSE(OrderForm->Save->Enabled());

    // Typing shows the text on the page at once.
    combo->SetText("");
    Type(edit, Qt::Key_X, "x");
    EXPECT_EQ(Doc->Label37->Caption(), "x");
    EXPECT_TRUE(OrderForm->Save->Enabled());
}

TEST_F(Payments, ReloadTakesTheFileOverTheComboUnlessThereIsNone)
{
    OrderForm->ComboBox3->Items()->Insert(0, "нов");
    Form1->LoadPayments();
    EXPECT_EQ(EditorCombo3Items(), "в брой|по сметка|с карта");

    ASSERT_TRUE(QFile::remove(FilePath("payment.txt")));
    OrderForm->ComboBox3->Items()->Insert(0, "нов");
    Form1->LoadPayments();
    EXPECT_EQ(EditorCombo3Items(), "нов|в брой|по сметка|с карта");
}

TEST_F(CalcTest, EmptyPaymentFileGivesAnEmptyComboForGood)
{
    WriteFile("payment.txt", "");
    StartEditor();
    EXPECT_EQ(OrderForm->ComboBox3->Items()->Count(), 0);
    Form1->LoadPayments();
    EXPECT_EQ(OrderForm->ComboBox3->Items()->Count(), 0);
    Form1->SavePayments();
    EXPECT_EQ(ReadFile("payment.txt"), QByteArray());
}

// ---- defaults ----

TEST_F(CalcTest, WithoutMemFileTheDefaultsApply)
{
    StartEditor();
    ASSERT_EQ(Form1->MemList->Count(), 5);
    EXPECT_EQ(Form1->MemList->Strings(0), "20%");
    EXPECT_EQ(Form1->MemList->Strings(1), "ФАКТУРА");
    EXPECT_EQ(OrderForm->ComboBox2->Text(), "ФАКТУРА");
    EXPECT_EQ(OrderForm->ComboBox1->Text(), "");
    EXPECT_EQ(OrderForm->ComboBox4->Text(), "");
    EXPECT_EQ(OrderForm->ComboBox5->Text(), "");
    EXPECT_FALSE(FileExists(FilePath("mem.txt")));  // never written
}

TEST_F(CalcTest, TwoLineMemFileSetsOnlyTheKindAndNeverTheRate)
{
    WriteFile("mem.txt", "7%\r\nПРОФОРМА ФАКТУРА\r\n");
    OrderForm = new TOrderForm(nullptr);
    Doc = new TDoc(nullptr);
    OrderForm->ComboBox1->SetText("Кредитно известие");
    OrderForm->ComboBox4->SetText("чл. 1");
    OrderForm->ComboBox5->SetText("основание");
    StartCalculator();

    EXPECT_EQ(OrderForm->ComboBox2->Text(), "ПРОФОРМА ФАКТУРА");
    EXPECT_EQ(OrderForm->ComboBox1->Text(), "Кредитно известие");
    EXPECT_EQ(OrderForm->ComboBox4->Text(), "чл. 1");
    EXPECT_EQ(OrderForm->ComboBox5->Text(), "основание");
    EXPECT_EQ(Form1->VatText, "20");
    EXPECT_DOUBLE_EQ(Form1->VatRate, 0.2);
    ASSERT_EQ(Form1->MemList->Count(), 2);
    EXPECT_EQ(Form1->MemList->Strings(0), "20%");
}

TEST_F(CalcTest, LongMemFileFillsTheFourCombosAndKeepsTheRest)
{
    WriteFile("mem.txt", "9%\nСТОКОВА РАЗПИСКА\nДебитно известие\nчл. 21\nосн. 2\nизлишен ред");
    StartEditor();
    EXPECT_EQ(OrderForm->ComboBox2->Text(), "СТОКОВА РАЗПИСКА");
    EXPECT_EQ(OrderForm->ComboBox1->Text(), "Дебитно известие");
    EXPECT_EQ(OrderForm->ComboBox4->Text(), "чл. 21");
    EXPECT_EQ(OrderForm->ComboBox5->Text(), "осн. 2");
    ASSERT_EQ(Form1->MemList->Count(), 6);
    EXPECT_EQ(Form1->MemList->Strings(5), "излишен ред");
}

TEST_F(CalcTest, EmptyMemFileStillTakesTheStartRate)
{
    WriteFile("mem.txt", "");
    StartEditor();
    ASSERT_EQ(Form1->MemList->Count(), 1);
    EXPECT_EQ(Form1->MemList->Strings(0), "20%");
    EXPECT_DOUBLE_EQ(Form1->VatRate, 0.2);
}
