#include "editor/editor_fixture.h"

#include "platform/dbgrids.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

struct Doc {
    const char* customer;
    const char* kind;
    const char* num;
    const char* amount;
    const char* supplier = "Алфа ООД";
    const char* company = "1";
    const char* notice = "";
    const char* cancelled = "False";
    const char* customerId = "";
};

class Customers : public EditorTest {
protected:
    static void AddCustomer(const char* name)
    {
        TTable* t = DataModule1->cust;
        t->Append();
        Set(t, "Фирма", QString::fromUtf8(name));
        t->Post();
    }

    static int AddDocument(const Doc& d)
    {
        TTable* s = DataModule1->store;
        s->Append();
        Set(s, "Клиент", QString::fromUtf8(d.customer));
        Set(s, "Документ", QString::fromUtf8(d.kind));
        Set(s, "Num", QString::fromUtf8(d.num));
        Set(s, "Стойност /общо/", QString::fromUtf8(d.amount));
        Set(s, "Доставчик", QString::fromUtf8(d.supplier));
        Set(s, "Firm.db index", QString::fromUtf8(d.company));
        Set(s, "Известие", QString::fromUtf8(d.notice));
        if (*d.cancelled)
            Set(s, "Anulirana", QString::fromUtf8(d.cancelled));
        Set(s, "ИН /к/", QString::fromUtf8(d.customerId));
        for (const char* date : {"От дата", "Дата на данъчното събитие", "Дата на плащане", "Известие от дата"})
            Set(s, date, QStringLiteral("15.03.2026 г."));
        for (const char* flag : {"Статус", "Дата на д.с.?", "Дата на плащане?", "Paid?"})
            Set(s, flag, QStringLiteral("False"));
        s->Post();
        return s->RecNo();
    }

    // Makes the customer current as a click in the grid does, and gives its turnover.
    static QString TotalOf(const char* name)
    {
        TTable* cust = DataModule1->cust;
        for (int r = 1; r <= cust->RecordCount(); ++r)
            if (cust->FieldByName(QStringLiteral("Фирма"))->TextAt(r) == QString::fromUtf8(name))
                cust->SetRecNo(r);
        CustForm->DBGrid1CellClick(nullptr);
        return EditCustForm->TotalLabel->Caption();
    }

    static QStringList Column(int col)
    {
        QStringList texts;
        for (int r = 1; r < CustForm->StringGrid1->RowCount(); ++r)
            texts << CustForm->StringGrid1->Cells(col, r);
        return texts;
    }
};

TEST_F(Customers, CustomerWithoutDocumentsShowsTheEmptyPanel)
{
    AddCustomer("Бета ЕООД");
    AddDocument({"Друг ООД", "ФАКТУРА", "0000000001", "50,00"});
    Main->SpeedButton7->Click();
    ASSERT_TRUE(CustForm->isVisible());
    EXPECT_TRUE(CustForm->Panel2->Visible());
    EXPECT_EQ(CustForm->StringGrid1->RowCount(), 2);
    EXPECT_EQ(CustForm->StringGrid1->Rows(1), QStringList(6, QString()));
    EXPECT_FALSE(CustForm->Button1->Enabled());
    EXPECT_EQ(EditCustForm->TotalLabel->Caption(), QStringLiteral("0 лв."));
    EXPECT_EQ(EditCustForm->LastLabel->Caption(), QStringLiteral("няма"));
    // Reopening is refused while there is nothing to reopen.
    CustForm->Button1Click(nullptr);
    EXPECT_FALSE(OrderForm->isVisible());
}

TEST_F(Customers, TurnoverCountsInvoicesAndCreditNotesOncePerNumber)
{
    for (const char* name : {"Кредит ООД", "Анулирани ООД", "Проформа ООД", "Две фирми ООД", "Нула ООД", "Близнаци ООД"})
        AddCustomer(name);
    Main->SpeedButton7->Click();

    AddDocument({"Кредит ООД", "ФАКТУРА", "0000000001", "120,00"});
    AddDocument({"Кредит ООД", "Кредитно известие", "0000000002", "20,00"});
    EXPECT_EQ(TotalOf("Кредит ООД"), QStringLiteral("100 лв."));

    // A cancelled invoice counts nothing; a cancelled credit note still subtracts.
    AddDocument({"Анулирани ООД", "ФАКТУРА", "0000000003", "200,00"});
    AddDocument({"Анулирани ООД", "ФАКТУРА", "0000000004", "80,00", "Алфа ООД", "1", "", "True"});
    AddDocument({"Анулирани ООД", "ФАКТУРА", "0000000005", "30,00", "Алфа ООД", "1", "Кредитно известие", "True"});
    AddDocument({"Анулирани ООД", "ФАКТУРА", "0000000006", "10,00", "Алфа ООД", "1", "", ""});
    EXPECT_EQ(TotalOf("Анулирани ООД"), QStringLiteral("180 лв."));

    // A pro-forma stored first under the invoice's number does not keep the invoice out.
    AddDocument({"Проформа ООД", "ПРОФОРМА ФАКТУРА", "0000000007", "999,00"});
    AddDocument({"Проформа ООД", "ФАКТУРА", "0000000007", "60,50"});
    EXPECT_EQ(TotalOf("Проформа ООД"), QStringLiteral("60,5 лв."));
    EXPECT_EQ(Column(1), (QStringList{QStringLiteral("0000000007"), QStringLiteral("0000000007")}));

    // Each own company numbers on its own: the same number from two counts twice.
    AddDocument({"Две фирми ООД", "ФАКТУРА", "0000000001", "100,00", "Алфа ООД", "1"});
    AddDocument({"Две фирми ООД", "ФАКТУРА", "0000000001", "40,00", "Гама АД", "2"});
    EXPECT_EQ(TotalOf("Две фирми ООД"), QStringLiteral("140 лв."));

    // The English twin of an invoice is the same invoice.
    AddCompany(Company(QStringLiteral("Алфа ООД"), QStringLiteral("Alfa Ltd")));
    AddDocument({"Близнаци ООД", "ФАКТУРА", "0000000009", "72,00", "Алфа ООД", "1"});
    AddDocument({"Близнаци ООД", "INVOICE", "0000000009", "72,00", "Alfa Ltd", "1"});
    EXPECT_EQ(TotalOf("Близнаци ООД"), QStringLiteral("72 лв."));

    // A binary sum that is not exactly zero shows as money.
    AddDocument({"Нула ООД", "ФАКТУРА", "0000000010", "10,10"});
    AddDocument({"Нула ООД", "ФАКТУРА", "0000000011", "20,20"});
    AddDocument({"Нула ООД", "Кредитно известие", "0000000012", "30,30"});
    EXPECT_EQ(TotalOf("Нула ООД"), QStringLiteral("0 лв."));
    EXPECT_EQ(TurnoverText(-123457), QStringLiteral("-1234,57 лв."));
}

TEST_F(Customers, TurnoverKnowsTheCompanyByEitherNameAndCountsNotesByTheirSize)
{
    AddCompany(Company(QStringLiteral("Алфа ООД"), QStringLiteral("Alfa Ltd")));
    AddCompany(Company(QStringLiteral("Бета ЕООД"), QStringLiteral("Beta Ltd")));
    for (const char* name : {"Клиент ООД", "Бележки ООД", "Граница ООД"})
        AddCustomer(name);
    Main->SpeedButton7->Click();

    // Бета's invoice 5, re-issued in English: the later one counts, once.
    AddDocument({"Клиент ООД", "ФАКТУРА", "0000000005", "40,00", "Бета ЕООД", "2"});
    AddDocument({"Клиент ООД", "INVOICE", "0000000005", "44,00", "Beta Ltd", "2"});
    AddDocument({"Клиент ООД", "ФАКТУРА", "0000000003", "100,00", "Алфа ООД", "1"});
    EXPECT_EQ(TotalOf("Клиент ООД"), QStringLiteral("144 лв."));
    // Алфа is deleted: Бета becomes record 1 and its invoice 3 says so, yet
    // Алфа's old invoice 3 (index 1 too) still counts apart from it.
    for (TTable* t : {DataModule1->firm, DataModule1->Tableae}) {
        t->SetRecNo(1);
        t->Delete();
    }
    AddDocument({"Клиент ООД", "ФАКТУРА", "0000000003", "45,00", "Бета ЕООД", "1"});
    EXPECT_EQ(TotalOf("Клиент ООД"), QStringLiteral("189 лв."));

    // A credit note typed with negative amounts still subtracts; a debit note adds.
    AddDocument({"Бележки ООД", "ФАКТУРА", "0000000020", "99,48", "Бета ЕООД", "1"});
    AddDocument({"Бележки ООД", "Кредитно известие", "0000000021", "-8,40", "Бета ЕООД", "1"});
    EXPECT_EQ(TotalOf("Бележки ООД"), QStringLiteral("91,08 лв."));
    AddDocument({"Бележки ООД", "ФАКТУРА", "0000000022", "-1,20", "Beta Ltd", "1", "Дебитно известие"});
    AddDocument({"Бележки ООД", "Credit note", "0000000023", "-0,08", "Beta Ltd", "1"});
    EXPECT_EQ(TotalOf("Бележки ООД"), QStringLiteral("92,2 лв."));

    // Amounts outside the money range are skipped; those inside keep every cent.
    AddDocument({"Граница ООД", "ФАКТУРА", "0000000030", "1e17", "Бета ЕООД", "1"});
    AddDocument({"Граница ООД", "ФАКТУРА", "0000000031", "1e308", "Бета ЕООД", "1"});
    AddDocument({"Граница ООД", "ФАКТУРА", "0000000032", "1e308", "Бета ЕООД", "1"});
    AddDocument({"Граница ООД", "ФАКТУРА", "0000000033", "1000000000000000,00", "Бета ЕООД", "1"});
    AddDocument({"Граница ООД", "ФАКТУРА", "0000000034", "999999999999999,99", "Бета ЕООД", "1"});
    AddDocument({"Граница ООД", "ФАКТУРА", "0000000035", "999999999999999,99", "Бета ЕООД", "1"});
    EXPECT_EQ(TotalOf("Граница ООД"), QStringLiteral("1999999999999999,98 лв."));
}

TEST_F(Customers, CustomersOfOneNameEachHaveTheirOwnDocumentsAndTurnover)
{
    AddCompany(Company(QStringLiteral("Алфа ООД")));
    TTable* cust = DataModule1->cust;
    for (const char* id : {"111", "222", ""}) {
        cust->Append();
        Set(cust, "Фирма", QStringLiteral("Клиент ООД"));
        Set(cust, "Идент №", QString::fromUtf8(id));
        cust->Post();
    }
    const auto doc = [](const char* num, const char* amount, const char* id, const char* kind = "ФАКТУРА") {
        Doc d{"Клиент ООД", kind, num, amount};
        d.customerId = id;
        return AddDocument(d);
    };
    doc("0000000001", "300,00", "111");
    doc("0000000002", "1668,60", "222");
    doc("0000000003", "420,00", " 111");
    doc("0000000004", "12.345,67", "111");  // an amount that cannot be read
    doc("0000000005", "50,00", "", "ПРОФОРМА ФАКТУРА");  // no number stored: the name decides
    doc("0000000006", "80,00", "333");  // a number no customer of the name has
    Main->SpeedButton7->Click();
    const auto select = [cust](int recNo) {
        cust->SetRecNo(recNo);
        CustForm->DBGrid1CellClick(nullptr);
        return EditCustForm->TotalLabel->Caption();
    };

    EXPECT_EQ(select(1), QStringLiteral("720 лв."));
    EXPECT_EQ(Column(1), (QStringList{QStringLiteral("0000000001"), QStringLiteral("0000000003"),
                                      QStringLiteral("0000000004"), QStringLiteral("0000000005")}));
    EXPECT_EQ(EditCustForm->Label14->Caption(), QStringLiteral("вкл. ДДС, без 1 документ с неразчетена сума"));

    EXPECT_EQ(select(2), QStringLiteral("1668,6 лв."));
    EXPECT_EQ(Column(1), (QStringList{QStringLiteral("0000000002"), QStringLiteral("0000000005")}));
    EXPECT_EQ(EditCustForm->Label14->Caption(), QStringLiteral("вкл. ДДС"));

    // Without a number of its own, the customer is not given the others' documents.
    EXPECT_EQ(select(3), QStringLiteral("80 лв."));
    EXPECT_EQ(Column(1), (QStringList{QStringLiteral("0000000005"), QStringLiteral("0000000006")}));
}

TEST_F(Customers, ListsExactNameMatchesAndReopensTheSelectedRecord)
{
    AddCompany(Company(QStringLiteral("Алфа ООД")));
    AddCustomer("Алфа ООД");
    const int first = AddDocument({"Алфа ООД", "ФАКТУРА", "0000000001", "12,00"});
    AddDocument({"Алфа ООД ", "ФАКТУРА", "0000000002", "13,00"});
    AddDocument({"алфа ООД", "ФАКТУРА", "0000000003", "14,00"});
    const int second = AddDocument({"Алфа ООД", "ПРОФОРМА ФАКТУРА", "0000000001", "15,00"});
    DataModule1->store->SetRecNo(2);
    Main->SpeedButton7->Click();

    EXPECT_FALSE(CustForm->Panel2->Visible());
    EXPECT_TRUE(CustForm->Button1->Enabled());
    EXPECT_EQ(CustForm->StringGrid1->Rows(1),
              (QStringList{QStringLiteral("Алфа ООД"), QStringLiteral("0000000001"), QStringLiteral("ФАКТУРА"),
                           QStringLiteral("15.03.2026 г."), QStringLiteral("12,00"), QString::number(first)}));
    EXPECT_EQ(Column(5), (QStringList{QString::number(first), QString::number(second)}));
    EXPECT_EQ(DataModule1->store->RecNo(), 2);
    EXPECT_EQ(EditCustForm->TotalLabel->Caption(), QStringLiteral("12 лв."));

    // The pro-forma of the same number opens as itself.
    CustForm->StringGrid1->SetRow(2);
    CustForm->Button1Click(nullptr);
    EXPECT_EQ(OrderForm->LoadedRecNo, second);
}

TEST_F(Customers, ADownKeyListsTheCustomerTheGridMovedTo)
{
    AddCustomer("Първа ООД");
    AddCustomer("Втора ООД");
    AddDocument({"Първа ООД", "ФАКТУРА", "0000000001", "10,00"});
    AddDocument({"Втора ООД", "ФАКТУРА", "0000000002", "20,00"});
    DataModule1->cust->First();
    Main->SpeedButton7->Click();
    ASSERT_EQ(Column(1), QStringList{QStringLiteral("0000000001")});

    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(CustForm->DBGrid1, &down);
    ASSERT_EQ(DataModule1->cust->RecNo(), 2);
    EXPECT_EQ(Column(1), QStringList{QStringLiteral("0000000002")});
    EXPECT_EQ(EditCustForm->TotalLabel->Caption(), QStringLiteral("20 лв."));
    // The list is read-only: Down on the last customer appends nothing.
    QApplication::sendEvent(CustForm->DBGrid1, &down);
    EXPECT_EQ(DataModule1->cust->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(DataModule1->cust->RecordCount(), 2);
}

TEST_F(Customers, EditorRefusesANamelessCustomerAndAsksBeforeDeleting)
{
    AddCustomer("Алфа ООД");
    AddDocument({"Алфа ООД", "ФАКТУРА", "0000000001", "12,00"});
    Main->SpeedButton7->Click();
    ASSERT_TRUE(CustForm->Button1->Enabled());
    TTable* cust = DataModule1->cust;

    CustForm->Button2->Click();
    ASSERT_TRUE(EditCustForm->isVisible());
    Keys(EditCustForm->DBEdit4, QStringLiteral("0888123456"));
    // The VAT number field keeps 20 characters: the rest cannot be typed.
    Keys(EditCustForm->DBEdit9, QStringLiteral("BG1234567890123456789999"));
    EXPECT_EQ(EditCustForm->DBEdit9->Text(), QStringLiteral("BG123456789012345678"));
    EditCustForm->OKButton->Click();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(EditCustForm->isVisible());
    EXPECT_EQ(cust->State(), TDataSetState::dsInsert);
    // Nor does a move of the navigator post it.
    EXPECT_ANY_THROW(cust->Post());
    EXPECT_EQ(cust->RecordCount(), 1);

    Keys(EditCustForm->DBEdName, QStringLiteral("Бета ЕООД"));
    EditCustForm->OKButton->Click();
    EXPECT_FALSE(EditCustForm->isVisible());
    ASSERT_EQ(cust->RecordCount(), 2);
    // The list now belongs to the new customer, who has no documents yet.
    EXPECT_TRUE(CustForm->Panel2->Visible());
    EXPECT_FALSE(CustForm->Button1->Enabled());
    EXPECT_EQ(cust->FieldByName(QStringLiteral("ИН по ЗДДС"))->TextAt(2), QStringLiteral("BG123456789012345678"));

    EditCustForm->DBNavigator1->BtnClick(nbDelete);  // answered OK, not Yes
    EXPECT_EQ(cust->RecordCount(), 2);
    TestDialogs().answers.push_back(mrYes);
    EditCustForm->DBNavigator1->BtnClick(nbDelete);
    EXPECT_EQ(cust->RecordCount(), 1);
}

TEST_F(Customers, APendingNewCustomerNeitherDisturbsTheEditorNorGetsLost)
{
    AddCompany(Company(QStringLiteral("Алфа ООД")));
    AddCustomer("Алфа Клиент ООД");
    TTable* cust = DataModule1->cust;
    Main->SpeedButton7->Click();
    CustForm->Button2->Click();
    Keys(EditCustForm->DBEdit4, QStringLiteral("0888123456"));
    ASSERT_EQ(cust->State(), TDataSetState::dsInsert);

    // The editor's customer edits list and fill as always.
    NewDocument();
    OrderForm->Edit1->SetText(QStringLiteral("а"));
    OrderForm->Edit1->SetText(QStringLiteral("ал"));
    ASSERT_EQ(OrderForm->ListBox1->Items()->Count(), 1);
    OrderForm->ListBox1->SetItemIndex(0);
    OrderForm->ListBox1Click(OrderForm->ListBox1);
    EXPECT_EQ(OrderForm->Edit1->Text(), QStringLiteral("Алфа Клиент ООД"));
    OrderForm->Edit3->SetText(QStringLiteral("Плевен"));
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_EQ(cust->State(), TDataSetState::dsInsert);

    // Saving says what to do; the pending customer stays as typed.
    OrderForm->StringGrid1->SetCells(1, 1, QStringLiteral("Услуга"));
    OrderForm->Save->Click();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("няма име")));
    EXPECT_EQ(DataModule1->store->RecordCount(), 0);
    EXPECT_EQ(cust->State(), TDataSetState::dsInsert);
    EXPECT_EQ(EditCustForm->DBEdit4->Text(), QStringLiteral("0888123456"));
    EXPECT_EQ(cust->RecordCount(), 1);

    // Named, it is the user's own typing: stored first, then the document.
    Keys(EditCustForm->DBEdName, QStringLiteral("Бета ЕООД"));
    ResetTestDialogs();
    OrderForm->Save->Click();
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_EQ(DataModule1->store->RecordCount(), 1);
    ASSERT_EQ(cust->RecordCount(), 2);
    EXPECT_EQ(cust->FieldByName(QStringLiteral("Телефон"))->TextAt(2), QStringLiteral("0888123456"));
    EXPECT_EQ(cust->FieldByName(QStringLiteral("Адрес"))->TextAt(1), QStringLiteral("Плевен"));
}

// Three documents of two customers, "Бета ООД"'s in the middle, and its list shown.
class CustomerListAfterDelete : public Customers {
protected:
    void SetUp() override
    {
        Customers::SetUp();
        AddSampleCompany();
        AddCustomer("Бета ООД");
        AddCustomer("Гама ООД");
        AddDocument({"Гама ООД", "ФАКТУРА", "0000000501", "10,00"});
        AddDocument({"Бета ООД", "ФАКТУРА", "0000000502", "20,00"});
        AddDocument({"Гама ООД", "ФАКТУРА", "0000000503", "30,00"});
        Main->SpeedButton7->Click();
        TotalOf("Бета ООД");
        ASSERT_EQ(Column(5), QStringList{QStringLiteral("2")});
    }

    static void OpenListed()
    {
        CustForm->StringGrid1->SetRow(1);
        CustForm->Button1->Click();
    }
};

TEST_F(CustomerListAfterDelete, ADeleteInTheRegisterRebuildsTheList)
{
    DataModule1->store->SetRecNo(1);
    Sort->Show();
    TestDialogs().answers.push_back(mrYes);
    Sort->N2->Click();
    EXPECT_EQ(Column(5), QStringList{QStringLiteral("1")});
    OpenListed();
    EXPECT_EQ(TestDialogs().boxes.size(), 1u);  // the delete question only
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000502"));
    EXPECT_EQ(OrderForm->Edit1->Text(), QStringLiteral("Бета ООД"));
}

TEST_F(CustomerListAfterDelete, AnOpenFindsTheListedDocumentWhereverItMoved)
{
    // Removed behind the list's back, as a save's re-read of what another workplace deleted does.
    DataModule1->store->SetRecNo(1);
    DataModule1->store->Delete();
    OpenListed();
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000502"));
    EXPECT_EQ(Column(5), QStringList{QStringLiteral("1")});

    // The listed document itself is gone: nothing else is opened in its place.
    OrderForm->Hide();
    DataModule1->store->SetRecNo(1);
    DataModule1->store->Delete();
    OpenListed();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.startsWith(QStringLiteral("Документът вече не е в регистъра")));
    EXPECT_FALSE(OrderForm->isVisible());
    EXPECT_TRUE(CustForm->Panel2->Visible());
}

}  // namespace
