#include "editor/numbering.h"
#include "editor_fixture.h"

TEST(NumberSeriesTest, KindTextDecidesTheCounterExactly)
{
    for (const char* kind : {"ФАКТУРА", "INVOICE", "Debit note", "Дебитно известие", "Credit note", "Кредитно известие"})
        EXPECT_EQ(NumberSeries(QString::fromUtf8(kind)), TNumberSeries::Invoice) << kind;
    EXPECT_EQ(NumberSeries(QStringLiteral("ПРОТОКОЛ чл.117")), TNumberSeries::Protocol117);
    // Anything else, letter case and blanks included, is the pro-forma series.
    for (const char* kind : {"фактура", "Фактура", "ФАКТУРА ", "ПРОФОРМА ФАКТУРА", "ПРОТОКОЛ чл.116",
                             "протокол чл.117", "ПРОТОКОЛ чл.90", "Packing list", "Order confirmation", ""})
        EXPECT_EQ(NumberSeries(QString::fromUtf8(kind)), TNumberSeries::ProForma) << kind;

    EXPECT_EQ(SeriesCounter(TNumberSeries::Invoice).table, QStringLiteral("firm"));
    EXPECT_EQ(SeriesCounter(TNumberSeries::Invoice).field, QStringLiteral("Фактура №"));
    EXPECT_EQ(SeriesCounter(TNumberSeries::Protocol117).table, QStringLiteral("Tableae"));
    EXPECT_EQ(SeriesCounter(TNumberSeries::Protocol117).field, QStringLiteral("VOP"));
    EXPECT_EQ(SeriesCounter(TNumberSeries::ProForma).field, QStringLiteral("Проформа №"));
}

TEST(NumberSeriesTest, NextNumberIsPaddedToTenDigitsAndNeverCut)
{
    EXPECT_EQ(NextNumber(QString()), QStringLiteral("0000000001"));
    EXPECT_EQ(NextNumber(QStringLiteral("0000000041")), QStringLiteral("0000000042"));
    EXPECT_EQ(NextNumber(QStringLiteral("7")), QStringLiteral("0000000008"));
    EXPECT_EQ(NextNumber(QStringLiteral("0000000099")), QStringLiteral("0000000100"));
    EXPECT_EQ(NextNumber(QStringLiteral("9999999999")), QStringLiteral("10000000000"));
    EXPECT_THROW(NextNumber(QStringLiteral("12a")), EConvertError);
    EXPECT_THROW(NextNumber(QStringLiteral("__________")), EConvertError);
}

class NumberingTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        CompanyRecord c;
        c.name = QStringLiteral("Алфа ООД");
        c.person = QStringLiteral("Иван Иванов");
        c.invoice = QStringLiteral("0000000041");
        c.proforma = QStringLiteral("0000000007");
        c.vop = QStringLiteral("0000000003");
        AddCompany(c);
        CompanyRecord d;
        d.name = QStringLiteral("Бета ЕООД");
        d.person = QStringLiteral("Петър Петров");
        d.invoice = QStringLiteral("0000000005");
        AddCompany(d);
        ChooseCompany(1);
    }

    QString NumberFor(const char* kind)
    {
        OrderForm->ComboBox2->SetText(QString::fromUtf8(kind));
        OrderForm->AssignNextNumber();
        return OrderForm->MaskEdit1->Text();
    }
};

TEST_F(NumberingTest, EachKindTakesTheNextNumberOfItsSeries)
{
    EXPECT_EQ(NumberFor("ФАКТУРА"), QStringLiteral("0000000042"));
    EXPECT_EQ(NumberFor("фактура"), QStringLiteral("0000000008"));
    EXPECT_EQ(NumberFor("Кредитно известие"), QStringLiteral("0000000042"));
    EXPECT_EQ(NumberFor("ПРОТОКОЛ чл.117"), QStringLiteral("0000000004"));
    EXPECT_EQ(NumberFor("СТОКОВА РАЗПИСКА"), QStringLiteral("0000000008"));

    // The notice kind plays no part: a credit notice to a pro-forma stays pro-forma.
    OrderForm->ComboBox1->SetText(QStringLiteral("Кредитно известие"));
    EXPECT_EQ(NumberFor("ПРОФОРМА ФАКТУРА"), QStringLiteral("0000000008"));

    // An empty kind selects the first kind of the list.
    EXPECT_EQ(NumberFor(""), QStringLiteral("0000000042"));
    EXPECT_EQ(OrderForm->ComboBox2->Text(), QStringLiteral("ФАКТУРА"));

    // The counters are read anew from the tables each time.
    TTable* firm = DataModule1->firm;
    firm->Edit();
    Set(firm, "Фактура №", QString());
    firm->Post();
    EXPECT_EQ(NumberFor("ФАКТУРА"), QStringLiteral("0000000001"));
}

TEST_F(NumberingTest, CompanyNavigatorProposesTheNewCompanysNumber)
{
    NewDocument();
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000042"));
    EXPECT_EQ(OrderForm->Edit10->Text(), QStringLiteral("Иван Иванов"));
    OrderForm->Save->SetEnabled(false);

    OrderForm->DBNavigator1->BtnClick(nbNext);
    EXPECT_EQ(DataModule1->firm->RecNo(), 2);
    EXPECT_EQ(DataModule1->Tableae->RecNo(), 2);
    EXPECT_EQ(OrderForm->DBText1->Text(), QStringLiteral("Бета ЕООД"));
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000006"));
    EXPECT_TRUE(OrderForm->Save->Enabled());
    // The issuer was the old responsible person, so it follows the new one.
    EXPECT_EQ(OrderForm->Edit10->Text(), QStringLiteral("Петър Петров"));

    // At the last company "next" does nothing, as a navigator at its end.
    OrderForm->DBNavigator1->BtnClick(nbNext);
    EXPECT_EQ(DataModule1->firm->RecNo(), 2);

    // A name the user typed stays when the company changes.
    OrderForm->Edit10->SetText(QStringLiteral("Мария"));
    OrderForm->DBNavigator1->BtnClick(nbPrior);
    EXPECT_EQ(OrderForm->DBText1->Text(), QStringLiteral("Алфа ООД"));
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000042"));
    EXPECT_EQ(OrderForm->Edit10->Text(), QStringLiteral("Мария"));

    // The pro-forma series of the second company starts empty.
    OrderForm->ComboBox2->SetText(QStringLiteral("ПРОФОРМА ФАКТУРА"));
    OrderForm->DBNavigator1->BtnClick(nbNext);
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000001"));
}

TEST_F(NumberingTest, NonNumericCounterIsReportedOnceAndTheNewDocumentStillComesUp)
{
    TTable* firm = DataModule1->firm;
    firm->Edit();
    Set(firm, "Фактура №", QStringLiteral("12a"));
    firm->Post();
    // Traces of a previous, printed document that the reset must clear.
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000077"));
    OrderForm->CheckBox3->SetChecked(true);
    OrderForm->Panel2->SetCaption(QStringLiteral("Отпечатан"));
    OrderForm->StringGrid1Button->SetLeft(10);
    OrderForm->ComboBox3->SetItemIndex(-1);
    OrderForm->Save->SetEnabled(false);  // it was stored when it was printed

    NewDocument();

    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    const QString text = TestDialogs().boxes[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("не е число"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("12a"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Алфа ООД"))) << text.toStdString();
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000001"));
    // Everything after the numbering ran.
    EXPECT_EQ(OrderForm->ComboBox3->ItemIndex(), 0);
    EXPECT_EQ(OrderForm->StringGrid1Button->Left(), 566);
    EXPECT_EQ(OrderForm->StringGrid1Button->Top(), 336);
    EXPECT_FALSE(OrderForm->CheckBox3->Checked());
    EXPECT_EQ(OrderForm->Panel2->Caption(), QStringLiteral("Неотпечатан"));
    EXPECT_TRUE(OrderForm->Visible());

    // The other series of the same company still count on.
    TestDialogs().boxes.clear();
    OrderForm->ComboBox2->SetText(QStringLiteral("ПРОТОКОЛ чл.117"));
    OrderForm->AssignNextNumber();
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000004"));
    EXPECT_TRUE(TestDialogs().boxes.empty());
}
