// Storing a document in the register and reopening it.
#include "editor/lookup.h"
#include "editor_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <sqlite3.h>

namespace {

// The overwrite question, naming the stored document it would replace.
::testing::AssertionResult OverwriteQuestion(const QString& text, const QStringList& replaced)
{
    if (!text.startsWith(QStringLiteral("Вече съществува ФАКТУРА с този номер!\n")) ||
        !text.endsWith(QStringLiteral("\nДа презапиша ли промените?")))
        return ::testing::AssertionFailure() << "not the overwrite question: " << text.toStdString();
    for (const QString& part : replaced)
        if (!text.contains(part))
            return ::testing::AssertionFailure() << "does not name " << part.toStdString() << ": " << text.toStdString();
    return ::testing::AssertionSuccess();
}

class SaveLoadTest : public DocumentTest {
protected:
    static QString Counter() { return Field(DataModule1->firm, "Фактура №", 1); }

    static void Customer(const QString& name)
    {
        OrderForm->Edit1->SetText(name);
        OrderForm->Edit3->SetText(QStringLiteral("Пловдив, бул. Марица 5"));
        OrderForm->Edit2->SetText(QStringLiteral("Мария Петрова"));
        OrderForm->Edit7->SetText(QStringLiteral("000000047"));
        OrderForm->Edit6->SetText(QStringLiteral("BG000000047"));
    }
    static void TwoLineDocument()
    {
        Customer(QStringLiteral("Бета & Гама ООД"));
        Line(1, QStringLiteral("Болт М8"), "3", "1,115");
        Line(2, QStringLiteral("Гайка М8"), "10", "0,20");
        OrderForm->RecalcByRate();
    }
    static void SaveByButton() { OrderForm->Save->Click(); }
};

TEST_F(SaveLoadTest, AFirstSaveAppendsWithoutAQuestionAndRaisesTheCounter)
{
    TwoLineDocument();
    SaveByButton();

    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    ASSERT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Field(Store(), "Num", 1), QStringLiteral("0000000001"));
    EXPECT_EQ(Field(Store(), "Документ", 1), QStringLiteral("ФАКТУРА"));
    EXPECT_EQ(Field(Store(), "От дата", 1), QStringLiteral("31.03.2026 г."));
    EXPECT_EQ(Field(Store(), "Статус", 1), QStringLiteral("False"));
    EXPECT_EQ(Field(Store(), "Клиент", 1), QStringLiteral("Бета & Гама ООД"));
    EXPECT_EQ(Field(Store(), "Доставчик", 1), QStringLiteral("Алфа ООД"));
    EXPECT_EQ(Field(Store(), "Стойност /общо/", 1), QStringLiteral("6,42"));
    EXPECT_EQ(Field(Store(), "Firm.db index", 1), QStringLiteral("1"));
    EXPECT_EQ(Field(Store(), "CurrencyRate", 1), QStringLiteral("1"));
    EXPECT_EQ(Field(Store(), "Anulirana", 1), QStringLiteral("False"));
    const QStringList memo = Field(Store(), "Стоки и Услуги", 1).split(QStringLiteral("\r\n"));
    ASSERT_EQ(memo.size(), 3 * 6 + 1);  // every cell a line, each ended by CR LF
    EXPECT_EQ(memo[0], QStringLiteral("Пор. №"));
    EXPECT_EQ(memo[7], QStringLiteral("Болт М8"));
    EXPECT_EQ(memo[11], QStringLiteral("3,35"));
    EXPECT_EQ(Counter(), QStringLiteral("0000000001"));
    EXPECT_FALSE(OrderForm->Save->Enabled());
    // The customer went into the customer register.
    ASSERT_EQ(DataModule1->cust->RecordCount(), 1);
    EXPECT_EQ(Field(DataModule1->cust, "Фирма", 1), QStringLiteral("Бета & Гама ООД"));
    EXPECT_EQ(Field(DataModule1->cust, "Идент №", 1), QStringLiteral("000000047"));
}

TEST_F(SaveLoadTest, TheSameNumberAsksAndARefusalKeepsEverything)
{
    TwoLineDocument();
    SaveByButton();
    const QStringList before = Record(1);
    OrderForm->Edit1->SetText(QStringLiteral("Друг клиент"));

    for (int answer : {mrNo, mrCancel}) {
        ResetTestDialogs();
        TestDialogs().answers.push_back(answer);
        OrderForm->Save->SetEnabled(true);
        SaveByButton();
        ASSERT_EQ(Boxes().size(), 1);
        // What would be replaced: the stored customer, date and total, not the typed ones.
        EXPECT_TRUE(OverwriteQuestion(Boxes()[0], {QStringLiteral("Бета & Гама ООД"), QStringLiteral("31.03.2026 г."),
                                                   QStringLiteral("6,42")}));
        EXPECT_EQ(TestDialogs().boxes[0].buttons, TMsgButtons::YesNoCancel);
        EXPECT_EQ(Store()->RecordCount(), 1);
        EXPECT_EQ(Record(1), before);
        EXPECT_TRUE(OrderForm->Save->Enabled());
    }

    ResetTestDialogs();
    TestDialogs().answers.push_back(mrYes);
    SaveByButton();
    EXPECT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Field(Store(), "Клиент", 1), QStringLiteral("Друг клиент"));
}

TEST_F(SaveLoadTest, AnotherCompanysDocumentWithTheSameNumberIsAnotherDocument)
{
    TwoLineDocument();
    SaveByButton();
    AddCompany(Company(QStringLiteral("Бета ЕООД")));
    DataModule1->firm->SetRecNo(2);
    OrderForm->DBNavigator1Click(OrderForm->DBNavigator1);
    ASSERT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000001"));

    SaveByButton();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    ASSERT_EQ(Store()->RecordCount(), 2);
    EXPECT_EQ(Field(Store(), "Firm.db index", 2), QStringLiteral("2"));
    EXPECT_EQ(Field(DataModule1->firm, "Фактура №", 2), QStringLiteral("0000000001"));
}

TEST_F(SaveLoadTest, ThePrintPathOverwritesOnlyTheDocumentItWasLoadedFrom)
{
    TwoLineDocument();
    SaveByButton();

    // A new document whose number is taken: printing it must not replace the stored one.
    NewDocument();
    Customer(QStringLiteral("Нов клиент"));
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000001"));
    ResetTestDialogs();
    TestDialogs().answers.push_back(mrCancel);
    EXPECT_FALSE(OrderForm->SaveWithCustomer(false));
    EXPECT_TRUE(OverwriteQuestion(Boxes().last(), {QStringLiteral("Бета & Гама ООД")}));
    EXPECT_EQ(Field(Store(), "Клиент", 1), QStringLiteral("Бета & Гама ООД"));

    // Reopened and printed again: overwritten without a question.
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    OrderForm->Edit8->SetText(QStringLiteral("Получил"));
    ResetTestDialogs();
    EXPECT_TRUE(OrderForm->SaveWithCustomer(false));
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Field(Store(), "Получател", 1), QStringLiteral("Получил"));
}

TEST_F(SaveLoadTest, WhatCannotBeStoredIsRefusedBeforeAnyTableChanges)
{
    TwoLineDocument();
    const QString counter = Counter();

    OrderForm->MaskEdit1->SetText(QStringLiteral("12"));
    SaveByButton();
    EXPECT_EQ(Boxes().size(), 1);
    EXPECT_EQ(Store()->RecordCount(), 0);
    EXPECT_EQ(Counter(), counter);
    EXPECT_TRUE(OrderForm->Save->Enabled());

    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000001"));
    DataModule1->firm->Edit();
    Set(DataModule1->firm, "Фактура №", QStringLiteral("12a"));
    DataModule1->firm->Post();
    ResetTestDialogs();
    SaveByButton();
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].contains(QStringLiteral("12a")));
    EXPECT_EQ(Store()->RecordCount(), 0);
    EXPECT_EQ(Counter(), QStringLiteral("12a"));
    EXPECT_TRUE(OrderForm->Save->Enabled());
    for (TTable* t : {Store(), DataModule1->firm, DataModule1->Tableae})
        EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
}

TEST_F(SaveLoadTest, ALockHeldByAnotherWorkplaceFailsTheSaveWithNothingWritten)
{
    TwoLineDocument();
    // Another process writes the register and keeps it locked past the engine's wait.
    QProcess other;
    other.start(QStringLiteral("python3"),
                {QStringLiteral("-c"),
                 QStringLiteral("import sqlite3,sys,time\n"
                                "c=sqlite3.connect(sys.argv[1],isolation_level=None)\n"
                                "c.execute('BEGIN EXCLUSIVE'); print('locked',flush=True); time.sleep(8)"),
                 Path("DB/Store.DB")});
    ASSERT_TRUE(other.waitForReadyRead(30000)) << other.readAllStandardError().toStdString();

    SaveByButton();

    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_EQ(Store()->RecordCount(), 0);
    EXPECT_EQ(Counter(), QString());
    EXPECT_TRUE(OrderForm->Save->Enabled());
    for (TTable* t : {Store(), DataModule1->firm, DataModule1->Tableae})
        EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
    other.kill();
    other.waitForFinished();

    // Once the other workplace is done, the same document goes in.
    ResetTestDialogs();
    SaveByButton();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Counter(), QStringLiteral("0000000001"));
}

TEST_F(SaveLoadTest, CountersOnlyGrowAndACancelledDocumentStaysCancelled)
{
    TwoLineDocument();
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000007"));
    SaveByButton();
    EXPECT_EQ(Counter(), QStringLiteral("0000000007"));

    NewDocument();
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000003"));
    SaveByButton();
    EXPECT_EQ(Store()->RecordCount(), 2);
    EXPECT_EQ(Counter(), QStringLiteral("0000000007"));

    // The register cancels record 2; a reprint keeps it cancelled.
    Rewrite(2, "Anulirana", QStringLiteral("True"));
    ASSERT_TRUE(OrderForm->LoadDocument(2));
    EXPECT_TRUE(OrderForm->SaveWithCustomer(false));
    EXPECT_EQ(Field(Store(), "Anulirana", 2), QStringLiteral("True"));
    EXPECT_EQ(Field(Store(), "Anulirana", 1), QStringLiteral("False"));
}

TEST_F(SaveLoadTest, ACustomerIsSavedByNameAndNeverWithoutOne)
{
    OrderForm->SpeedButton3->Click();
    EXPECT_EQ(DataModule1->cust->RecordCount(), 0);
    EXPECT_EQ(Boxes().size(), 1);  // asked for a name

    Customer(QStringLiteral("Бета ООД"));
    ResetTestDialogs();
    OrderForm->SpeedButton3->Click();
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("Запазен успешно!")});
    OrderForm->Edit3->SetText(QStringLiteral("Варна"));
    OrderForm->SpeedButton3Click(nullptr);
    ASSERT_EQ(DataModule1->cust->RecordCount(), 1);
    EXPECT_EQ(Field(DataModule1->cust, "Адрес", 1), QStringLiteral("Варна"));

    // A document without a customer leaves the register alone.
    NewDocument();
    ResetTestDialogs();
    SaveByButton();
    EXPECT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(DataModule1->cust->RecordCount(), 1);
    EXPECT_EQ(Field(DataModule1->cust, "Фирма", 1), QStringLiteral("Бета ООД"));
}

// Two customers of one name: София (record 1) and Варна (record 2), and a third with every detail.
class CustomerSaveTest : public SaveLoadTest {
protected:
    void SetUp() override
    {
        SaveLoadTest::SetUp();
        AddCustomer("Бета ООД", "София, ул. Лале 3", "111111110", "Петър Петров");
        AddCustomer("Бета ООД", "Варна, бул. Приморски 9", "222222220", "Георги Георгиев");
        AddCustomer("Гама ЕТ", "Русе, ул. Дунав 1", "333333330", "Анна Ангелова");
        TTable* cust = DataModule1->cust;
        cust->SetRecNo(3);
        cust->Edit();
        Set(cust, "ИН по ЗДДС", QStringLiteral("BG333333330"));
        Set(cust, "Лице", QStringLiteral("Стоян"));
        Set(cust, "Телефон", QStringLiteral("082111222"));
        cust->Post();
        cust->SetRecNo(1);
    }
    static void AddCustomer(const char* name, const char* address, const char* id, const char* person)
    {
        TTable* t = DataModule1->cust;
        t->Append();
        Set(t, "Фирма", QString::fromUtf8(name));
        Set(t, "Адрес", QString::fromUtf8(address));
        Set(t, "Идент №", QString::fromUtf8(id));
        Set(t, "МОЛ", QString::fromUtf8(person));
        t->Post();
    }
    static QString Cust(const char* field, int rec) { return Field(DataModule1->cust, field, rec); }
    // A document for a customer typed or chosen by the caller, saved with the button.
    static void SaveNewDocumentWithALine()
    {
        Line(1, QStringLiteral("Услуга"), "1", "10");
        OrderForm->RecalcByRate();
        SaveByButton();
    }
};

TEST_F(CustomerSaveTest, TheChosenCustomerIsUpdatedAndNoOtherOfTheSameName)
{
    // Chosen from the list: the second "Бета ООД".
    OrderForm->Edit1->SetText(QStringLiteral("Бета"));
    ASSERT_EQ(OrderForm->ListBox1->Items()->Count(), 2);
    OrderForm->ListBox1->SetItemIndex(1);
    OrderForm->ListBox1Click(OrderForm->ListBox1);
    ASSERT_EQ(OrderForm->Edit3->Text(), QStringLiteral("Варна, бул. Приморски 9"));
    OrderForm->Edit2->SetText(QStringLiteral("Нов Управител"));
    SaveNewDocumentWithALine();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    ASSERT_EQ(Store()->RecordCount(), 1);
    ASSERT_EQ(DataModule1->cust->RecordCount(), 3);
    EXPECT_EQ(Cust("Адрес", 1), QStringLiteral("София, ул. Лале 3"));
    EXPECT_EQ(Cust("МОЛ", 1), QStringLiteral("Петър Петров"));
    EXPECT_EQ(Cust("Адрес", 2), QStringLiteral("Варна, бул. Приморски 9"));
    EXPECT_EQ(Cust("МОЛ", 2), QStringLiteral("Нов Управител"));

    // A reopened document updates its own customer even with a corrected number.
    NewDocument();
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    OrderForm->Edit7->SetText(QStringLiteral("222222221"));
    OrderForm->SaveWithCustomer(false);
    EXPECT_EQ(Cust("Идент №", 1), QStringLiteral("111111110"));
    EXPECT_EQ(Cust("Идент №", 2), QStringLiteral("222222221"));

    // Typed without choosing: the typed number tells which one.
    NewDocument();
    OrderForm->Edit1->SetText(QStringLiteral("Бета ООД"));
    OrderForm->Edit7->SetText(QStringLiteral("111111110"));
    OrderForm->Edit3->SetText(QStringLiteral("София, ул. Роза 8"));
    SaveNewDocumentWithALine();
    EXPECT_EQ(Cust("Адрес", 1), QStringLiteral("София, ул. Роза 8"));
    EXPECT_EQ(Cust("Адрес", 2), QStringLiteral("Варна, бул. Приморски 9"));
    EXPECT_EQ(DataModule1->cust->RecordCount(), 3);
}

TEST_F(CustomerSaveTest, AnUnclearNameIsAskedAndNothingIsGuessed)
{
    OrderForm->Edit1->SetText(QStringLiteral("Бета ООД"));
    OrderForm->Edit3->SetText(QStringLiteral("Бургас"));
    TestDialogs().answers.push_back(mrNo);
    SaveNewDocumentWithALine();
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].contains(QStringLiteral("Има няколко клиента с име „Бета ООД“")));
    EXPECT_EQ(Store()->RecordCount(), 0);
    EXPECT_TRUE(OrderForm->Save->Enabled());

    // Yes: the document alone.
    ResetTestDialogs();
    TestDialogs().answers.push_back(mrYes);
    SaveByButton();
    EXPECT_EQ(Boxes().size(), 1);
    EXPECT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(DataModule1->cust->RecordCount(), 3);
    EXPECT_EQ(Cust("Адрес", 1), QStringLiteral("София, ул. Лале 3"));
    EXPECT_EQ(Cust("Адрес", 2), QStringLiteral("Варна, бул. Приморски 9"));

    // The customer block's own button says the same and writes nothing.
    ResetTestDialogs();
    OrderForm->SpeedButton3->Click();
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].contains(QStringLiteral("изберете го от списъка")));
    EXPECT_EQ(DataModule1->cust->RecordCount(), 3);
}

TEST_F(CustomerSaveTest, AFullNameTypedAloneKeepsTheStoredDetails)
{
    OrderForm->Edit1->SetText(QStringLiteral("Гама ЕТ"));
    OrderForm->Edit2->SetText(QStringLiteral("Нов МОЛ"));
    SaveNewDocumentWithALine();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_EQ(DataModule1->cust->RecordCount(), 3);
    EXPECT_EQ(Cust("Адрес", 3), QStringLiteral("Русе, ул. Дунав 1"));
    EXPECT_EQ(Cust("Идент №", 3), QStringLiteral("333333330"));
    EXPECT_EQ(Cust("ИН по ЗДДС", 3), QStringLiteral("BG333333330"));
    EXPECT_EQ(Cust("Лице", 3), QStringLiteral("Стоян"));
    EXPECT_EQ(Cust("Телефон", 3), QStringLiteral("082111222"));
    EXPECT_EQ(Cust("МОЛ", 3), QStringLiteral("Нов МОЛ"));  // what is typed still counts
    // The button of the customer block keeps them too.
    OrderForm->Edit2->SetText(QString());
    OrderForm->SpeedButton3->Click();
    EXPECT_EQ(Cust("МОЛ", 3), QStringLiteral("Нов МОЛ"));
    EXPECT_EQ(Cust("Адрес", 3), QStringLiteral("Русе, ул. Дунав 1"));
}

TEST_F(SaveLoadTest, TextsStopAtTheSizeOfTheirFields)
{
    const QString longName = QString(300, QChar(u'Ж'));
    OrderForm->Edit1->SetText(longName);
    OrderForm->Edit7->SetText(QStringLiteral("1234567890123456789012345"));
    OrderForm->Edit6->SetText(QStringLiteral("BG1234567890123456789012345"));
    OrderForm->Edit10->SetText(QString(60, QChar(u'И')));
    OrderForm->ComboBox3->SetText(QString(300, QChar(u'п')));
    EXPECT_EQ(OrderForm->Edit1->Text().size(), 255);
    // The document's fields are wider than the customer register's and an employee's name.
    EXPECT_EQ(OrderForm->Edit7->Text().size(), 25);
    EXPECT_EQ(OrderForm->Edit6->Text().size(), 27);
    EXPECT_EQ(OrderForm->Edit10->Text().size(), 60);
    EXPECT_EQ(OrderForm->ComboBox3->Text().size(), 255);
    Line(1, QStringLiteral("Услуга"), "1", "10");
    OrderForm->RecalcByRate();
    SaveByButton();
    NewDocument();
    OrderForm->Edit1->SetText(longName);
    Line(1, QStringLiteral("Услуга"), "1", "10");
    OrderForm->RecalcByRate();
    SaveByButton();
    ASSERT_EQ(Store()->RecordCount(), 2);
    EXPECT_EQ(Field(Store(), "Клиент", 2), longName.left(255));
    EXPECT_EQ(Field(Store(), "ИН /к/", 1), QStringLiteral("1234567890123456789012345"));
    EXPECT_EQ(Field(Store(), "Ин по ЗДДС /к/", 1), QStringLiteral("BG1234567890123456789012345"));
    EXPECT_EQ(Field(Store(), "Съставил", 1), QString(60, QChar(u'И')));
    // Cut only where the register keeps less, and the customer is still found there.
    ASSERT_EQ(DataModule1->cust->RecordCount(), 1);
    EXPECT_EQ(Field(DataModule1->cust, "Идент №", 1), QStringLiteral("12345678901234567890"));
    EXPECT_EQ(Field(DataModule1->cust, "ИН по ЗДДС", 1), QStringLiteral("BG123456789012345678"));

    // Stored whole, loaded whole and stored back whole.
    const QString issuer = QString(51, QChar(u'С'));
    Rewrite(1, "Съставил", issuer);
    const QStringList stored = Record(1);
    NewDocument();
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    EXPECT_EQ(OrderForm->Edit10->Text(), issuer);
    EXPECT_EQ(OrderForm->Edit7->Text(), QStringLiteral("1234567890123456789012345"));
    EXPECT_EQ(OrderForm->Edit6->Text(), QStringLiteral("BG1234567890123456789012345"));
    ResetTestDialogs();
    EXPECT_TRUE(OrderForm->SaveWithCustomer(false));
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_EQ(Record(1), stored);
    EXPECT_EQ(DataModule1->cust->RecordCount(), 1);
}

TEST_F(SaveLoadTest, SaveLoadSaveKeepsEveryFieldWithAndWithoutDiscount)
{
    for (bool discount : {false, true}) {
        SCOPED_TRACE(discount);
        NewDocument();
        OrderForm->CheckBox7->SetChecked(discount);
        TwoLineDocument();
        if (discount)
            OrderForm->StringGrid1->SetCells(5, 1, QStringLiteral("10"));
        OrderForm->StringGrid1->SetCells(1, 2, QStringLiteral("Гайка\r\nМ8"));  // a pasted line break
        OrderForm->CheckBox6->SetChecked(true);
        OrderForm->CheckBox4->SetChecked(true);
        OrderForm->ComboBox1->SetText(QStringLiteral("Кредитно известие"));
        OrderForm->StringGrid2->SetCells(1, 1, QStringLiteral("12,00"));
        OrderForm->EDate3->SetDate(QDate(2026, 4, 15));
        OrderForm->Edit10->SetText(QStringLiteral("Иван"));
        OrderForm->RecalcByRate();
        SaveByButton();
        const int rec = Store()->RecordCount();
        const QStringList stored = Record(rec);
        EXPECT_EQ(OrderForm->StringGrid1->Cells(1, 2), QStringLiteral("ГайкаМ8"));
        EXPECT_EQ(Field(Store(), "Дата на плащане", rec), QStringLiteral("15.04.2026 г."));

        NewDocument();
        ASSERT_TRUE(OrderForm->LoadDocument(rec));
        EXPECT_EQ(OrderForm->Caption(), QStringLiteral("Зареден Документ"));
        EXPECT_EQ(OrderForm->StringGrid1->ColCount(), discount ? 7 : 6);
        EXPECT_EQ(OrderForm->StringGrid1->RowCount(), 3);
        EXPECT_TRUE(OrderForm->CheckBox4->Checked());
        EXPECT_TRUE(OrderForm->Save->Enabled());
        EXPECT_TRUE(OrderForm->SaveWithCustomer(false));
        EXPECT_EQ(Store()->RecordCount(), rec);
        EXPECT_EQ(Record(rec), stored);
    }
}

TEST_F(SaveLoadTest, AnEnglishCreditNoteComesBackEnglishWithItsCurrency)
{
    OrderForm->RadioButton2->SetChecked(true);
    OrderForm->ComboBox2->SetText(QStringLiteral("Credit note"));
    Doc->CurrencyPrefix = QStringLiteral("EUR");
    Doc->CurrencyRate = 1.95583;
    TwoLineDocument();
    SaveByButton();
    ASSERT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Field(Store(), "CurrencyRate", 1), QStringLiteral("1,95583"));
    EXPECT_EQ(Field(Store(), "Доставчик", 1), QStringLiteral("Alfa Ltd"));
    const QStringList stored = Record(1);

    NewDocument();
    ASSERT_TRUE(OrderForm->RadioButton1->Checked());
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    EXPECT_TRUE(OrderForm->RadioButton2->Checked());
    EXPECT_EQ(OrderForm->ComboBox2->Text(), QStringLiteral("Credit note"));
    EXPECT_EQ(Doc->CurrencyPrefix, QStringLiteral("EUR"));
    EXPECT_DOUBLE_EQ(Doc->CurrencyRate, 1.95583);
    EXPECT_TRUE(OrderForm->SaveWithCustomer(false));
    EXPECT_EQ(Record(1), stored);

    // Stored by a workplace whose locale writes a full stop.
    Rewrite(1, "CurrencyRate", QStringLiteral("1.95583"));
    NewDocument();
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    EXPECT_DOUBLE_EQ(Doc->CurrencyRate, 1.95583);

    // A Bulgarian kind of free text is Bulgarian, and stored with no currency.
    Rewrite(1, "Документ", QStringLiteral("Кредитно известие"));
    ASSERT_TRUE(OrderForm->LoadDocument(1));
    EXPECT_TRUE(OrderForm->RadioButton1->Checked());
    EXPECT_TRUE(Doc->CurrencyPrefix.isEmpty());
}

TEST_F(SaveLoadTest, StoredRecordsFromElsewhereLoadAndBrokenOnesLeaveTheEditorAlone)
{
    TwoLineDocument();
    SaveByButton();
    // Written under a full-stop locale, with empty flags and no notice.
    const int other = CopyOfRecord(1, [] {
        Set(Store(), "Paid?", QString());
        Set(Store(), "Статус", QString());
        Set(Store(), "Известие", QString());
        Set(Store(), "Num", QStringLiteral("0000000002"));
    });
    // 13 lines: two rows of six and an empty line.
    const int shortMemo = CopyOfRecord(1, [] {
        Store()->FieldByName(QStringLiteral("Стоки и Услуги"))->SetAsMemo(QStringLiteral("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n1\r\nx\r\nбр.\r\n1\r\n2\r\n\r\n"));
    });
    const int broken = CopyOfRecord(1, [] { Set(Store(), "От дата", QStringLiteral("31.02.2026 г.")); });
    const int noCompany = CopyOfRecord(1, [] { Set(Store(), "Firm.db index", QString()); });

    OrderForm->CheckBox4->SetChecked(true);
    OrderForm->StringGrid2->SetVisible(true);
    ASSERT_TRUE(OrderForm->LoadDocument(other));
    EXPECT_FALSE(OrderForm->CheckBox6->Checked());
    EXPECT_FALSE(OrderForm->CheckBox3->Checked());
    EXPECT_FALSE(OrderForm->CheckBox4->Checked());
    EXPECT_FALSE(OrderForm->StringGrid2->Visible());
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000002"));

    ASSERT_TRUE(OrderForm->LoadDocument(shortMemo));
    EXPECT_EQ(OrderForm->StringGrid1->RowCount(), 2);
    EXPECT_EQ(OrderForm->StringGrid1->Cells(1, 1), QStringLiteral("x"));

    // A broken date: one message, and the editor still holds what it had.
    ResetTestDialogs();
    const QString number = OrderForm->MaskEdit1->Text();
    const QStringList lines = OrderForm->StringGrid1->Rows(1);
    EXPECT_FALSE(OrderForm->LoadDocument(broken));
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].startsWith(QStringLiteral("Документът не може да бъде зареден: ")));
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), number);
    EXPECT_EQ(OrderForm->StringGrid1->Rows(1), lines);
    EXPECT_EQ(OrderForm->LoadedRecNo, shortMemo);

    // No company index: loaded with the current company, and said so.
    ResetTestDialogs();
    EXPECT_TRUE(OrderForm->LoadDocument(noCompany));
    EXPECT_EQ(Boxes().size(), 1);
    EXPECT_EQ(OrderForm->DBText1->Text(), QStringLiteral("Алфа ООД"));

    ResetTestDialogs();
    EXPECT_FALSE(OrderForm->LoadDocument(0));
    EXPECT_TRUE(Boxes().isEmpty());
}

}  // namespace

// ---- other workplaces: the same test program, run as a child on one folder ----

namespace {

const char* kChildFolder = "QUARNEL_SAVE_CHILD_FOLDER";

// Runs only as a child of the tests below.
class SaveChild : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = qEnvironmentVariable(kChildFolder);
        if (folder.isEmpty())
            GTEST_SKIP() << "runs as another workplace of the shared-folder tests";
        SetBulgarianLocale();
        ResetTestDialogs();
        Application->SetExeName(folder + QStringLiteral("/Orlendix"));
        CreateAllWindows();
        ASSERT_TRUE(DataModule1->store->Active());
        DataModule1->firm->SetRecNo(1);
        DataModule1->Tableae->SetRecNo(1);
        Form1->FilesDir = folder;
    }
    void TearDown() override { DestroyAllWindows(); }

    static void Document()
    {
        Main->OrderBtn->Click();
        OrderForm->Edit1->SetText(QStringLiteral("Клиент"));
        OrderForm->StringGrid1->SetCells(1, 1, QStringLiteral("Услуга"));
        OrderForm->StringGrid1->SetCells(3, 1, QStringLiteral("1"));
        OrderForm->StringGrid1->SetCells(4, 1, QStringLiteral("10"));
    }
    QString folder;
};

TEST_F(SaveChild, SavesTheNextNumberUntilKilled)
{
    for (;;) {
        Document();
        if (OrderForm->SaveWithCustomer(true)) {
            printf("saved\n");
            fflush(stdout);
        }
    }
}

constexpr int kSavesEach = 20;

TEST_F(SaveChild, SavesNewDocumentsOnceTheSignalIsGiven)
{
    while (!QFileInfo::exists(folder + QStringLiteral("/go")))
        QThread::msleep(1);
    for (int i = 0; i < kSavesEach; ++i) {
        Document();
        const QString proposed = OrderForm->MaskEdit1->Text();
        ResetTestDialogs();
        TestDialogs().answers.push_back(mrNo);
        const bool saved = OrderForm->SaveWithCustomer(true);
        // The user is told the number the document got when it is not the proposed one.
        const QString stored = OrderForm->MaskEdit1->Text();
        bool told = false;
        for (const RecordedBox& b : TestDialogs().boxes)
            told = told || b.text.contains(stored);
        printf("%s %s %s %s\n", saved ? "saved" : TestDialogs().boxes.empty() ? "failed" : "asked",
               qPrintable(proposed), qPrintable(stored), told ? "told" : "silent");
        fflush(stdout);
    }
}

TEST_F(SaveChild, SavesADocumentForANewCustomer)
{
    Document();
    OrderForm->Edit1->SetText(QStringLiteral("Нов клиент"));
    const bool saved = OrderForm->SaveWithCustomer(true);
    // A detail only the customer register knows.
    TTable* cust = DataModule1->cust;
    cust->SetRecNo(cust->RecordCount());
    cust->Edit();
    cust->FieldByName(QStringLiteral("Телефон"))->SetText(QStringLiteral("032555666"));
    cust->Post();
    printf("%s\n", saved ? "saved" : "failed");
    fflush(stdout);
}

class SharedSaveTest : public SaveLoadTest {
protected:
    QProcess* Child(const char* test)
    {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromUtf8(kChildFolder), dir_.path());
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=SaveChild.") + QString::fromUtf8(test)});
        children.emplace_back(p);
        return p;
    }
    void TearDown() override
    {
        for (auto& p : children) {
            p->kill();
            p->waitForFinished();
        }
        SaveLoadTest::TearDown();
    }
    std::vector<std::unique_ptr<QProcess>> children;
};

TEST_F(SharedSaveTest, AWorkplaceKilledWhileSavingLeavesDocumentAndCounterTogether)
{
    std::srand(20261209);
    int total = 0;
    for (int round = 0; round < 6; ++round) {
        QProcess* child = Child("SavesTheNextNumberUntilKilled");
        // Killed somewhere in a later save, however slow the machine is.
        QByteArray out;
        while (!out.contains("\nsaved\n") && child->waitForReadyRead(30000))
            out += child->readAllStandardOutput();
        ASSERT_TRUE(out.contains("\nsaved\n")) << out.toStdString() << child->readAllStandardError().toStdString();
        QThread::msleep(std::rand() % 120);
        child->kill();
        child->waitForFinished();

        // A new look at the folder, as the next start of that workplace would have.
        for (TTable* t : {Store(), DataModule1->firm})
            t->Resync();
        const int count = Store()->RecordCount();
        ASSERT_GE(count, total);
        total = count;
        // Every stored document raised the counter, and no counter was raised without one.
        EXPECT_EQ(Counter(), count ? QStringLiteral("%1").arg(count, 10, 10, QLatin1Char('0')) : QString())
            << "round " << round;
        for (int r = 1; r <= count; ++r)
            ASSERT_EQ(Field(Store(), "Num", r), QStringLiteral("%1").arg(r, 10, 10, QLatin1Char('0')));
    }
    EXPECT_GT(total, 0);
}

TEST_F(SharedSaveTest, TwoWorkplacesSavingNewDocumentsAtOnceEachGetAFreeNumberAndAreTold)
{
    QProcess* a = Child("SavesNewDocumentsOnceTheSignalIsGiven");
    QProcess* b = Child("SavesNewDocumentsOnceTheSignalIsGiven");
    ASSERT_TRUE(a->waitForStarted() && b->waitForStarted());
    QThread::msleep(1500);  // both windows built and waiting
    QFile go(Path("go"));
    ASSERT_TRUE(go.open(QIODevice::WriteOnly));
    go.close();
    ASSERT_TRUE(a->waitForFinished(60000) && b->waitForFinished(60000));

    QStringList numbers;
    int renumbered = 0;
    for (QProcess* p : {a, b}) {
        int saves = 0;
        for (const QByteArray& line : p->readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.size() != 4)
                continue;
            ++saves;
            EXPECT_EQ(words[0], "saved") << line.toStdString();
            // Told exactly when the number is not the proposed one.
            EXPECT_EQ(words[1] != words[2], words[3] == "told") << line.toStdString();
            renumbered += words[1] != words[2];
            numbers << QString::fromLatin1(words[2]);
        }
        EXPECT_EQ(saves, kSavesEach) << p->readAllStandardError().toStdString();
    }

    // Every save is a document of its own, under a number of its own, and the counter went along.
    Store()->Resync();
    DataModule1->firm->Resync();
    ASSERT_EQ(Store()->RecordCount(), 2 * kSavesEach);
    QStringList inTable;
    for (int r = 1; r <= Store()->RecordCount(); ++r)
        inTable << Field(Store(), "Num", r);
    inTable.sort();
    numbers.sort();
    EXPECT_EQ(inTable, numbers);
    EXPECT_EQ(inTable.removeDuplicates(), 0);
    EXPECT_EQ(inTable.last(), QStringLiteral("%1").arg(2 * kSavesEach, 10, 10, QLatin1Char('0')));
    EXPECT_EQ(Counter(), inTable.last());
    RecordProperty("renumbered", renumbered);
    // The customer goes with the stored documents, once.
    DataModule1->cust->Resync();
    EXPECT_EQ(DataModule1->cust->RecordCount(), 1);

    // This workplace began its new document before all of them: the next free number, and said so.
    ASSERT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000001"));
    TwoLineDocument();
    SaveByButton();
    const QString next = QStringLiteral("%1").arg(2 * kSavesEach + 1, 10, 10, QLatin1Char('0'));
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].contains(next)) << Boxes()[0].toStdString();
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), next);
    ASSERT_EQ(Store()->RecordCount(), 2 * kSavesEach + 1);
    EXPECT_EQ(Field(Store(), "Num", 2 * kSavesEach + 1), next);
    EXPECT_EQ(Counter(), next);
}

TEST_F(SharedSaveTest, ACustomerAnotherWorkplaceStoredMeanwhileIsUpdatedNotAddedAgain)
{
    // This workplace is open with its tables read; the other stores a new customer.
    ASSERT_EQ(DataModule1->cust->RecordCount(), 0);
    QProcess* other = Child("SavesADocumentForANewCustomer");
    ASSERT_TRUE(other->waitForFinished(30000));
    ASSERT_TRUE(other->readAllStandardOutput().contains("saved"));

    Customer(QStringLiteral("Нов клиент"));
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000002"));
    Line(1, QStringLiteral("Услуга"), "1", "10");
    OrderForm->RecalcByRate();
    SaveByButton();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    DataModule1->cust->Resync();
    ASSERT_EQ(DataModule1->cust->RecordCount(), 1);
    EXPECT_EQ(Field(DataModule1->cust, "Адрес", 1), QStringLiteral("Пловдив, бул. Марица 5"));
    EXPECT_EQ(Field(DataModule1->cust, "Телефон", 1), QStringLiteral("032555666"));  // the other's detail stays
}

}  // namespace
