// Reopening stored documents that this program or another wrote, and storing
// them again: what comes back must be exactly what was stored, in its own record.
#include "editor_fixture.h"

namespace {

class StoredDocumentTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        OrderForm->Edit1->SetText(QStringLiteral("Бета ООД"));
        Line(1, QStringLiteral("Болт М8"), "3", "10");
        OrderForm->RecalcByRate();
        ASSERT_TRUE(OrderForm->SaveWithCustomer(true));
        ResetTestDialogs();
    }

    static QString Memo(const QStringList& cells) { return cells.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"); }
};

const QStringList kHeader = {QStringLiteral("Пор. №"), QStringLiteral("Наименование на стоките или услугите"),
                             QStringLiteral("Мярка"), QStringLiteral("К-во"), QStringLiteral("Ед. цена"),
                             QStringLiteral("Стойност")};

TEST_F(StoredDocumentTest, TheIssuerComesBackAsStoredWhateverTheCompanyShown)
{
    CompanyRecord b;
    b.name = QStringLiteral("Бета ЕООД");
    b.person = QStringLiteral("Петър Петров");
    AddCompany(b);
    // Company 1's documents: one with no issuer, one issued by the other company's person.
    Rewrite(1, "Съставил", QString());
    const int other = CopyOfRecord(1);
    Rewrite(other, "Num", QStringLiteral("0000000002"));
    Rewrite(other, "Съставил", QStringLiteral("Петър Петров"));

    DataModule1->firm->SetRecNo(1);
    DataModule1->Tableae->SetRecNo(1);
    NewDocument();
    ASSERT_EQ(OrderForm->Edit10->Text(), QStringLiteral("Иван Иванов"));
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    EXPECT_EQ(OrderForm->Edit10->Text(), QString());
    EXPECT_EQ(Doc->Label52->Caption(), QString());

    DataModule1->firm->SetRecNo(2);
    OrderForm->DBNavigator1Click(OrderForm->DBNavigator1);
    ASSERT_EQ(OrderForm->DBText2->Text(), QStringLiteral("Петър Петров"));
    ASSERT_TRUE(OrderForm->LoadDocument(other));
    EXPECT_EQ(OrderForm->DBText1->Text(), QStringLiteral("Алфа ООД"));
    EXPECT_EQ(OrderForm->Edit10->Text(), QStringLiteral("Петър Петров"));

    // Printed again, the stored issuer stays.
    ASSERT_TRUE(OrderForm->SaveWithCustomer(false));
    EXPECT_EQ(Field("Съставил", other), QStringLiteral("Петър Петров"));
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    ASSERT_TRUE(OrderForm->SaveWithCustomer(false));
    EXPECT_EQ(Field("Съставил", 1), QString());
    EXPECT_EQ(Store()->RecordCount(), 2);
}

TEST_F(StoredDocumentTest, ADocumentWhoseCompanyIsUnknownIsStoredBackInItsOwnRecord)
{
    DataModule1->firm->Edit();
    DataModule1->firm->FieldByName(QStringLiteral("Фактура №"))->SetText(QStringLiteral("0000000001"));
    DataModule1->firm->Post();
    for (const char* index : {"", "-1", "abc", "7", "0"}) {
        SCOPED_TRACE(index);
        Rewrite(1, "Firm.db index", QString::fromUtf8(index));
        ResetTestDialogs();
        ASSERT_TRUE(OrderForm->LoadDocument(1));
        EXPECT_EQ(Boxes().size(), 1);  // loaded with the company shown, and said so
        OrderForm->Edit8->SetText(QStringLiteral("Получил ") + QString::fromUtf8(index));
        ASSERT_TRUE(OrderForm->SaveWithCustomer(false));
        EXPECT_EQ(Store()->RecordCount(), 1);
        EXPECT_EQ(Field("Firm.db index", 1), QStringLiteral("1"));
        EXPECT_EQ(Field("Получател", 1), QStringLiteral("Получил ") + QString::fromUtf8(index));
        EXPECT_EQ(DataModule1->firm->FieldByName(QStringLiteral("Фактура №"))->TextAt(1), QStringLiteral("0000000001"));
    }

    // Beside company 1's own record of that number: the record loaded is the one stored.
    const int twin = CopyOfRecord(1);
    Rewrite(twin, "Firm.db index", QStringLiteral("abc"));
    const QString first = Field("Получател", 1);
    ResetTestDialogs();
    ASSERT_TRUE(OrderForm->LoadDocument(twin));
    OrderForm->Edit8->SetText(QStringLiteral("Двойник"));
    TestDialogs().answers = {mrYes};
    OrderForm->Save->Click();
    EXPECT_TRUE(Boxes().last().startsWith(QStringLiteral("Вече съществува ФАКТУРА с този номер!\n")));
    EXPECT_TRUE(Boxes().last().endsWith(QStringLiteral("\nДа презапиша ли промените?")));
    EXPECT_EQ(Store()->RecordCount(), twin);
    EXPECT_EQ(Field("Получател", twin), QStringLiteral("Двойник"));
    EXPECT_EQ(Field("Firm.db index", twin), QStringLiteral("1"));
    EXPECT_EQ(Field("Получател", 1), first);
}

TEST_F(StoredDocumentTest, TheDiscountColumnIsTakenFromTheStoredHeaderRow)
{
    // A line that only reads like the discount caption.
    NewDocument();
    OrderForm->Edit1->SetText(QStringLiteral("Бета ООД"));
    Line(1, "отстъпка %", "1", "100");
    OrderForm->RecalcByRate();
    ASSERT_TRUE(OrderForm->SaveWithCustomer(true));
    const int plain = Store()->RecordCount();
    NewDocument();
    ASSERT_TRUE(OrderForm->LoadDocument(plain));
    EXPECT_FALSE(OrderForm->CheckBox7->Checked());
    EXPECT_EQ(OrderForm->StringGrid1->ColCount(), 6);
    EXPECT_EQ(OrderForm->StringGrid1->Cells(1, 1), QStringLiteral("отстъпка %"));
    EXPECT_EQ(OrderForm->StringGrid1->Cells(5, 1), QStringLiteral("100,00"));
    EXPECT_EQ(OrderForm->Label11->Caption(), QStringLiteral("120,00"));

    // The English caption of the column, as the page writes it.
    QStringList header = kHeader;
    header[5] = QStringLiteral("Discount %");
    header << QStringLiteral("Стойност");
    Rewrite(1, "Стоки и Услуги",
            Memo(header + QStringList{"1", "Болт М8", "бр.", "2", "10", "10", "18,00"}));
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    EXPECT_TRUE(OrderForm->CheckBox7->Checked());
    EXPECT_EQ(OrderForm->StringGrid1->ColCount(), 7);
    EXPECT_EQ(OrderForm->StringGrid1->Cells(5, 1), QStringLiteral("10"));
    EXPECT_EQ(OrderForm->StringGrid1->Cells(6, 1), QStringLiteral("18,00"));
}

TEST_F(StoredDocumentTest, AStoredNumberThatIsNotTenDigitsIsRefused)
{
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    for (const char* number : {"12345678901234567890", "00000000012", "000000001", "", "00000000a1", " 000000001"}) {
        SCOPED_TRACE(number);
        const int rec = CopyOfRecord(1);
        Rewrite(rec, "Num", QString::fromUtf8(number));
        ResetTestDialogs();
        EXPECT_FALSE(OrderForm->LoadDocument(rec));
        ASSERT_EQ(Boxes().size(), 1);
        EXPECT_TRUE(Boxes()[0].contains(QStringLiteral("„%1“").arg(QString::fromUtf8(number)))) << Boxes()[0].toStdString();
        EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000001"));
        EXPECT_EQ(OrderForm->LoadedRecNo, 1);
    }
    // The number of the invoice a notice refers to is held the same way.
    for (const char* number : {"00000000012", "000000000a"}) {
        const int rec = CopyOfRecord(1);
        Rewrite(rec, "Известие към фактура No", QString::fromUtf8(number));
        ResetTestDialogs();
        EXPECT_FALSE(OrderForm->LoadDocument(rec));
        ASSERT_EQ(Boxes().size(), 1);
        EXPECT_TRUE(Boxes()[0].contains(QStringLiteral("„%1“").arg(QString::fromUtf8(number))));
    }
    // What the editor still holds prints into its own record.
    const int count = Store()->RecordCount();
    ASSERT_TRUE(OrderForm->SaveWithCustomer(false));
    EXPECT_EQ(Store()->RecordCount(), count);
    EXPECT_EQ(DataModule1->firm->FieldByName(QStringLiteral("Фактура №"))->TextAt(1), QStringLiteral("0000000001"));
}

TEST_F(StoredDocumentTest, APartialLastRowOfStoredLinesIsLoadedAndStoredAgain)
{
    const QStringList full = kHeader + QStringList{"1", "Болт М8", "бр.", "3", "10", "30,00"};
    Rewrite(1, "Стоки и Услуги", Memo(full + QStringList{"", "Шайба"}));
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    ASSERT_EQ(OrderForm->StringGrid1->RowCount(), 3);
    EXPECT_EQ(OrderForm->StringGrid1->Cells(1, 2), QStringLiteral("Шайба"));
    for (int c : {2, 3, 4, 5})
        EXPECT_EQ(OrderForm->StringGrid1->Cells(c, 2), QString());
    ASSERT_TRUE(OrderForm->SaveWithCustomer(false));
    const QStringList stored = Field("Стоки и Услуги", 1).split(QStringLiteral("\r\n"));
    ASSERT_EQ(stored.size(), 3 * 6 + 1);
    EXPECT_EQ(stored[13], QStringLiteral("Шайба"));

    // One cell past the full rows is a row too; empty lines after the last row are not.
    Rewrite(1, "Стоки и Услуги", Memo(full + QStringList{"Шайба"}));
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    EXPECT_EQ(OrderForm->StringGrid1->RowCount(), 3);
    Rewrite(1, "Стоки и Услуги", Memo(full + QStringList{"", ""}));
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    EXPECT_EQ(OrderForm->StringGrid1->RowCount(), 2);
}

}  // namespace
