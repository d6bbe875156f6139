// What a save refuses, asks or renumbers, and that a refusal leaves every
// table as it was; a reopened document goes back only into its own record.
#include "editor/numbering.h"
#include "editor_fixture.h"

namespace {

class SaveRefusalTest : public DocumentTest {
protected:
    static void Document(const QString& customer)
    {
        OrderForm->Edit1->SetText(customer);
        Line(1, QStringLiteral("Услуга"));
        OrderForm->RecalcByRate();
    }
    static void SetCounter(const QString& text)
    {
        DataModule1->firm->SetRecNo(1);
        DataModule1->firm->Edit();
        Set(DataModule1->firm, "Фактура №", text);
        DataModule1->firm->Post();
    }
};

TEST_F(SaveRefusalTest, ARefusedOrDeclinedSaveLeavesTheOtherWindowsTypingUnstored)
{
    // The company window holds a new МОЛ; the number cannot be stored.
    FillFirm->Show();
    Retype(FillFirm->DBEdit3, QStringLiteral("Нов МОЛ"));
    Document(QStringLiteral("Бета ООД"));
    OrderForm->MaskEdit1->SetText(QStringLiteral("12"));
    OrderForm->Save->Click();
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_EQ(InFile("Firm.db", "МОЛ", 1), QStringLiteral("Иван Иванов"));
    EXPECT_EQ(FillFirm->DBEdit3->Text(), QStringLiteral("Нов МОЛ"));
    EXPECT_EQ(CountInFile("Store.DB"), 0);

    // Stored once the number is right, with the company window's typing.
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000001"));
    ResetTestDialogs();
    OrderForm->Save->Click();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_EQ(InFile("Firm.db", "МОЛ", 1), QStringLiteral("Нов МОЛ"));
    ASSERT_EQ(CountInFile("Store.DB"), 1);
    FillFirm->Close();

    // The customer window holds a new phone; the overwrite question is declined.
    TTable* cust = DataModule1->cust;
    cust->SetRecNo(1);
    EditCustForm->Show();
    Retype(EditCustForm->DBEdit4, QStringLiteral("032111222"));
    NewDocument();
    Document(QStringLiteral("Бета ООД"));
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000001"));
    ResetTestDialogs();
    TestDialogs().answers = {mrNo};
    OrderForm->Save->Click();
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].startsWith(QStringLiteral("Вече съществува ФАКТУРА")));
    EXPECT_EQ(InFile("customer.db", "Телефон", 1), QString());
    EXPECT_EQ(EditCustForm->DBEdit4->Text(), QStringLiteral("032111222"));
    EXPECT_EQ(CountInFile("Store.DB"), 1);
    // Yes: the phone and the document go in together.
    ResetTestDialogs();
    TestDialogs().answers = {mrYes};
    OrderForm->Save->Click();
    EXPECT_EQ(InFile("customer.db", "Телефон", 1), QStringLiteral("032111222"));
    EXPECT_EQ(CountInFile("customer.db"), 1);
    EditCustForm->Close();

    // A company added in the company window with nothing typed is no company.
    NewDocument();
    Document(QStringLiteral("Бета ООД"));
    FillFirm->Show();
    FillFirm->Button1->Click();
    ResetTestDialogs();
    OrderForm->Save->Click();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_EQ(CountInFile("Store.DB"), 2);
    EXPECT_EQ(CountInFile("Firm.db"), 1);
    EXPECT_EQ(CountInFile("ae.db"), 1);
}

TEST_F(SaveRefusalTest, AReopenedDocumentGoesBackOnlyIntoItsOwnRecord)
{
    // Three records of number 32, company 1 each, told apart by their customers.
    Document(QStringLiteral("Първи"));
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000032"));
    ASSERT_TRUE(OrderForm->SaveWithCustomer(true));
    for (const char* customer : {"Втори", "Трети"})
        CopyOfRecord(1, [customer] { Set(Store(), "Клиент", QString::fromUtf8(customer)); });
    ASSERT_EQ(Field(Store(), "Клиент", 2), QStringLiteral("Втори"));

    // A company index written "01", "+1" or " 1" is company 1: the reopened record, not the last one of its number.
    for (const char* index : {"01", "+1", " 1"}) {
        SCOPED_TRACE(index);
        Rewrite(2, "Firm.db index", QString::fromUtf8(index));
        ResetTestDialogs();
        ASSERT_TRUE(OrderForm->LoadDocument(2));
        OrderForm->Edit8->SetText(QStringLiteral("Получил ") + QString::fromUtf8(index));
        EXPECT_TRUE(OrderForm->SaveWithCustomer(false));
        EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
        EXPECT_EQ(Store()->RecordCount(), 3);
        EXPECT_EQ(Field(Store(), "Получател", 2), QStringLiteral("Получил ") + QString::fromUtf8(index));
        EXPECT_EQ(Field(Store(), "Клиент", 2), QStringLiteral("Втори"));
        EXPECT_EQ(Field(Store(), "Получател", 3), QString());
    }

    // Its company index names no company, and another workplace deleted an
    // earlier record meanwhile: it still goes into its own record.
    Rewrite(2, "Firm.db index", QStringLiteral("7"));
    Rewrite(3, "Firm.db index", QStringLiteral("8"));
    ASSERT_TRUE(OrderForm->LoadDocument(2));
    {
        auto other = FileTable("Store.DB");
        other->SetRecNo(1);
        other->Delete();
    }
    OrderForm->Edit8->SetText(QStringLiteral("След изтриване"));
    ResetTestDialogs();
    EXPECT_TRUE(OrderForm->SaveWithCustomer(false));
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    ASSERT_EQ(Store()->RecordCount(), 2);
    EXPECT_EQ(Field(Store(), "Клиент", 1), QStringLiteral("Втори"));
    EXPECT_EQ(Field(Store(), "Получател", 1), QStringLiteral("След изтриване"));
    EXPECT_EQ(Field(Store(), "Клиент", 2), QStringLiteral("Трети"));
    EXPECT_EQ(Field(Store(), "Получател", 2), QString());
}

TEST_F(SaveRefusalTest, ANumberTheSeriesCannotGiveIsRefusedAndNothingStored)
{
    Document(QStringLiteral("Бета ООД"));
    for (const char* counter : {"9999999999", "-000000005"}) {
        SCOPED_TRACE(counter);
        SetCounter(QString::fromUtf8(counter));
        NewDocument();
        Document(QStringLiteral("Бета ООД"));
        ResetTestDialogs();
        OrderForm->Save->Click();
        EXPECT_FALSE(OrderForm->SaveWithCustomer(false));
        ASSERT_FALSE(Boxes().isEmpty());
        // The counter is named, and so is what is wrong with it.
        const QString said = Boxes().last();
        EXPECT_TRUE(said.contains(QStringLiteral("Фактура №"))) << said.toStdString();
        EXPECT_TRUE(said.contains(QString::fromUtf8(counter))) << said.toStdString();
        if (QString::fromUtf8(counter) == QStringLiteral("9999999999")) {
            EXPECT_TRUE(said.contains(QStringLiteral("изчерпан"))) << said.toStdString();
        }
        EXPECT_EQ(CountInFile("Store.DB"), 0);
        EXPECT_EQ(InFile("Firm.db", "Фактура №", 1), QString::fromUtf8(counter));
        EXPECT_TRUE(OrderForm->Save->Enabled());
    }
    // A number typed by hand is still the user's to give.
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000007"));
    SetCounter(QStringLiteral("9999999999"));
    ResetTestDialogs();
    EXPECT_TRUE(OrderForm->SaveWithCustomer(true));
    EXPECT_EQ(Field(Store(), "Num", 1), QStringLiteral("0000000007"));
    EXPECT_EQ(InFile("Firm.db", "Фактура №", 1), QStringLiteral("9999999999"));
}

TEST_F(SaveRefusalTest, AKindHoldingHalfACharacterIsStoredOnceAndFoundAgain)
{
    const QString kind = QStringLiteral("ФАКТУРА") + QChar(0xD83D);
    OrderForm->ComboBox2->SetText(kind);
    Document(QStringLiteral("Бета ООД"));
    const QString number = OrderForm->MaskEdit1->Text();
    OrderForm->Save->Click();
    for (int i = 0; i < 2; ++i) {
        OrderForm->Edit8->SetText(QStringLiteral("Получил %1").arg(i));
        EXPECT_TRUE(OrderForm->SaveWithCustomer(false));
    }
    ASSERT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Field(Store(), "Документ", 1), QStringLiteral("ФАКТУРА?"));
    EXPECT_EQ(Field(Store(), "Num", 1), number);
    EXPECT_EQ(Field(Store(), "Получател", 1), QStringLiteral("Получил 1"));
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), number);
    // A whole character of two halves stays as it is.
    EXPECT_EQ(NormalizedKind(QStringLiteral("Ф") + QChar(0xD83D) + QChar(0xDE00)),
              QStringLiteral("Ф") + QChar(0xD83D) + QChar(0xDE00));
}

TEST_F(SaveRefusalTest, ADocumentThatCannotBePrintedIsNotStored)
{
    Document(QStringLiteral("Бета ООД"));
    for (int row = 1; row <= 40; ++row)
        Line(row, QStringLiteral("Ред %1").arg(row));
    OrderForm->RecalcByRate();
    OrderForm->View->Click();
    ASSERT_TRUE(Doc->Visible());
    ResetTestDialogs();
    OrderForm->Save->Click();
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].startsWith(QStringLiteral("Документът не се побира на една страница"))) << Boxes()[0].toStdString();
    EXPECT_EQ(CountInFile("Store.DB"), 0);
    EXPECT_EQ(CountInFile("customer.db"), 0);
    EXPECT_EQ(InFile("Firm.db", "Фактура №", 1), QString());
    EXPECT_TRUE(OrderForm->Save->Enabled());
    // The page whose signatures would run over its footer is not left in sight.
    EXPECT_FALSE(Doc->Visible());

    // Short enough, it goes in under the same number.
    OrderForm->StringGrid1->SetRowCount(4);
    OrderForm->RecalcByRate();
    ResetTestDialogs();
    OrderForm->Save->Click();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_EQ(CountInFile("Store.DB"), 1);
    EXPECT_EQ(InFile("Store.DB", "Num", 1), QStringLiteral("0000000001"));
}

TEST_F(SaveRefusalTest, ChangedContentOverAPrintedRecordIsNoLongerMarkedPrinted)
{
    Document(QStringLiteral("Бета ООД"));
    // What the print chooser does: mark, then store.
    OrderForm->CheckBox3->SetChecked(true);
    ASSERT_TRUE(OrderForm->SaveWithCustomer(false));
    ASSERT_EQ(Field(Store(), "Статус", 1), QStringLiteral("True"));

    // Reopened and stored again unchanged: still printed.
    NewDocument();
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    ASSERT_TRUE(OrderForm->CheckBox3->Checked());
    TestDialogs().answers = {mrYes};
    OrderForm->Save->Click();
    EXPECT_EQ(Field(Store(), "Статус", 1), QStringLiteral("True"));
    EXPECT_EQ(OrderForm->Panel2->Caption(), QStringLiteral("Отпечатан"));

    // A line added: what the record holds was never printed.
    Line(2, QStringLiteral("Още една услуга"), "2", "5");
    OrderForm->RecalcByRate();
    ResetTestDialogs();
    TestDialogs().answers = {mrYes};
    OrderForm->Save->Click();
    ASSERT_EQ(Store()->RecordCount(), 1);
    EXPECT_TRUE(Field(Store(), "Стоки и Услуги", 1).contains(QStringLiteral("Още една услуга")));
    EXPECT_EQ(Field(Store(), "Стойност /общо/", 1), QStringLiteral("24,00"));
    EXPECT_EQ(Field(Store(), "Статус", 1), QStringLiteral("False"));
    EXPECT_FALSE(OrderForm->CheckBox3->Checked());
    EXPECT_EQ(OrderForm->Panel2->Caption(), QStringLiteral("Неотпечатан"));

    // Printed again, it is marked again.
    OrderForm->CheckBox3->SetChecked(true);
    ASSERT_TRUE(OrderForm->SaveWithCustomer(false));
    EXPECT_EQ(Field(Store(), "Статус", 1), QStringLiteral("True"));
}

}  // namespace
