// The open document and the program's end: what is pending is asked about or
// stored, and nothing runs on a window once it is being destroyed.
#include "editor/editor_fixture.h"
#include "platform/shell.h"
#include "update/update_server.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

// Types text into a line edit as the keyboard would.
void Type(QWidget* w, const QString& text)
{
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(w, &release);
    }
}

const QString kQuestion = QStringLiteral("Документът е променен. Да запазя ли промените?");

// One line of qty units at 10 and the customer, as typed; the editor recalculates.
void FillDocument(const QString& qty)
{
    TOrderForm* f = OrderForm;
    f->Edit1->SetText(QStringLiteral("Клиент ООД"));
    f->StringGrid1->SetCells(1, 1, QStringLiteral("Услуга"));
    f->StringGrid1->SetCells(3, 1, qty);
    f->StringGrid1->SetCells(4, 1, QStringLiteral("10"));
    f->RecalcByRate();
}

QString StoredTotal(int recNo)
{
    return DataModule1->store->FieldByName(QStringLiteral("Стойност /общо/"))->AsStringAt(recNo);
}

int Questions()
{
    int n = 0;
    for (const RecordedBox& b : TestDialogs().boxes)
        if (b.text == kQuestion && b.buttons == TMsgButtons::YesNoCancel)
            ++n;
    return n;
}

}  // namespace

TEST_F(EditorTest, AChangedDocumentIsNeverDroppedWithoutAQuestion)
{
    AddSampleCompany();
    TOrderForm* f = OrderForm;
    TTable* store = DataModule1->store;

    // Stored, then only previewed and printed from: nothing to ask.
    NewDocument();
    FillDocument(QStringLiteral("7"));
    f->Save->Click();
    ASSERT_EQ(store->RecordCount(), 1);
    EXPECT_EQ(StoredTotal(1), QStringLiteral("84,00"));
    f->View->Click();
    f->HeaderPanelClick(f);
    NewDocument();
    EXPECT_EQ(Questions(), 0);

    // Reopened from the register and left untouched: nothing to ask either.
    store->SetRecNo(1);
    Sort->DBGrid1DblClick(Sort);
    ASSERT_EQ(f->StringGrid1->Cells(3, 1), QStringLiteral("7"));
    NewDocument();
    EXPECT_EQ(Questions(), 0);

    // Reopened, 7 -> 8: "Отказ" stays with the change, nothing stored.
    store->SetRecNo(1);
    Sort->DBGrid1DblClick(Sort);
    f->StringGrid1->SetCells(3, 1, QStringLiteral("8"));
    f->RecalcByRate();
    TestDialogs().answers.push_back(mrCancel);
    NewDocument();
    EXPECT_EQ(Questions(), 1);
    EXPECT_EQ(f->StringGrid1->Cells(3, 1), QStringLiteral("8"));
    EXPECT_EQ(f->Caption(), QStringLiteral("Зареден Документ"));
    EXPECT_EQ(StoredTotal(1), QStringLiteral("84,00"));

    // Another document from the register is asked about too; "Не" drops the change.
    TestDialogs().answers.push_back(mrNo);
    store->SetRecNo(1);
    Sort->DBGrid1DblClick(Sort);
    EXPECT_EQ(Questions(), 2);
    EXPECT_EQ(f->StringGrid1->Cells(3, 1), QStringLiteral("7"));
    EXPECT_EQ(StoredTotal(1), QStringLiteral("84,00"));

    // A blank document may be saved as it is, yet leaving it asks nothing.
    NewDocument();
    EXPECT_TRUE(f->Save->Enabled());
    NewDocument();
    EXPECT_EQ(Questions(), 2);
    // A new document typed and left by "Нов Документ": "Да" stores it first.
    FillDocument(QStringLiteral("8"));
    const QString number = f->MaskEdit1->Text();
    TestDialogs().answers.push_back(mrYes);
    NewDocument();
    EXPECT_EQ(Questions(), 3);
    ASSERT_EQ(store->RecordCount(), 2);
    EXPECT_EQ(StoredTotal(2), QStringLiteral("96,00"));
    EXPECT_EQ(store->FieldByName(QStringLiteral("Num"))->AsStringAt(2), number);
    EXPECT_EQ(f->StringGrid1->Cells(3, 1), QString());  // and the blank document came

    // "Изход" of the main window: "Отказ" keeps the program and the document.
    FillDocument(QStringLiteral("3"));
    Main->Show();
    // An update ends the program by starting the new one: asked before anything
    // is fetched ("Отказ": no download, no failure to report).
    UpdateI->SetServer(QStringLiteral("http://127.0.0.1:1"));
    UpdateI->Status = 1;
    TestDialogs().answers.push_back(mrCancel);
    const size_t boxes = TestDialogs().boxes.size();
    UpdateI->SpeedButton1->Click();
    EXPECT_EQ(Questions(), 4);
    EXPECT_EQ(TestDialogs().boxes.size(), boxes + 1);
    EXPECT_FALSE(Application->Terminated());
    TestDialogs().answers.push_back(mrCancel);
    Main->SpeedButton2->Click();
    EXPECT_EQ(Questions(), 5);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_TRUE(Main->Visible());
    // The editor's own "Изход" asks as well; "Не" closes it.
    TestDialogs().answers.push_back(mrNo);
    f->SpeedButton4->Click();
    EXPECT_EQ(Questions(), 6);
    EXPECT_FALSE(f->Visible());
    // A window, shown or not, that keeps what is typed in it keeps the program too.
    Emp->OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
    Main->SpeedButton2->Click();
    EXPECT_FALSE(Application->Terminated());
    Emp->OnCloseQuery = nullptr;
    // Nothing is pending any more: the program ends without a question.
    Main->SpeedButton2->Click();
    EXPECT_EQ(Questions(), 6);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(store->RecordCount(), 2);
}

TEST_F(EditorTest, AFolderSwitchSettlesWhatIsPendingAndTheEditorTakesTheNewFolder)
{
    AddSampleCompany();
    AddBankAccount(QStringLiteral("Алфа банк"), QStringLiteral("BG11AAAA"), QStringLiteral("AAAABGSF"));
    const QString other = Path("other");
    CreateShippedTables(other);
    {
        TTable firm, details;
        for (auto [t, name] : {std::pair{&firm, "Firm.db"}, {&details, "Details.db"}}) {
            t->SetDatabaseName(other);
            t->SetTableName(QString::fromUtf8(name));
            t->Open();
        }
        firm.Append();
        Set(&firm, "ДОСТАВЧИК", QStringLiteral("Бета ЕООД"));
        Set(&firm, "АДРЕС", QStringLiteral("Варна"));
        Set(&firm, "Местоиздаване", QStringLiteral("Варна"));
        Set(&firm, "Фактура №", QStringLiteral("0000000041"));
        firm.Post();
        details.Append();
        Set(&details, "Bank", QStringLiteral("Бета банк"));
        details.Post();
    }
    TOrderForm* f = OrderForm;
    NewDocument();
    ASSERT_EQ(f->DBText1->Text(), QStringLiteral("Алфа ООД"));
    // The customer's list shows a document of this folder.
    FillDocument(QStringLiteral("5"));
    f->Save->Click();
    Main->SpeedButton7->Click();
    ASSERT_FALSE(CustForm->Panel2->Visible());
    // A currency row typed in the editor's grid and not posted yet.
    TTable* currency = DataModule1->currency;
    currency->Append();
    Set(currency, "Валута", QStringLiteral("EUR"));
    Set(currency, "Курс", QStringLiteral("1,95583"));
    FillDocument(QStringLiteral("2"));

    // "Отказ": the folder, the document and the pending row stay as they were.
    TestDialogs().folders.push_back(other);
    TestDialogs().answers.push_back(mrCancel);
    Main->SpeedButton4->Click();
    EXPECT_EQ(Questions(), 1);
    EXPECT_EQ(DataModule1->Folder(), Path("DB"));
    EXPECT_FALSE(QFile::exists(Path("network.txt")));
    EXPECT_EQ(f->Edit1->Text(), QStringLiteral("Клиент ООД"));
    EXPECT_EQ(currency->State(), TDataSetState::dsInsert);

    // A window that keeps its typing stops the switch before anything is stored.
    Emp->OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
    TestDialogs().folders.push_back(other);
    TestDialogs().answers.push_back(mrNo);
    Main->SpeedButton4->Click();
    EXPECT_EQ(Questions(), 2);
    EXPECT_EQ(DataModule1->Folder(), Path("DB"));
    EXPECT_EQ(currency->State(), TDataSetState::dsInsert);
    EXPECT_EQ(f->Edit1->Text(), QStringLiteral("Клиент ООД"));
    Emp->OnCloseQuery = nullptr;

    // "Не": the row typed in the old folder is stored there, and the editor
    // holds a blank document of the new folder's company, counter and bank.
    TestDialogs().folders.push_back(other);
    TestDialogs().answers.push_back(mrNo);
    Main->SpeedButton4->Click();
    EXPECT_EQ(Questions(), 3);
    ASSERT_EQ(DataModule1->Folder(), other);
    {
        TTable old;
        old.SetDatabaseName(Path("DB"));
        old.SetTableName(QStringLiteral("currency.db"));
        old.Open();
        ASSERT_EQ(old.RecordCount(), 1);
        EXPECT_EQ(old.FieldByName(QStringLiteral("Валута"))->AsStringAt(1), QStringLiteral("EUR"));
    }
    EXPECT_EQ(currency->RecordCount(), 0);
    EXPECT_TRUE(CustForm->Panel2->Visible());  // no customer, no document there
    EXPECT_EQ(f->DBText1->Text(), QStringLiteral("Бета ЕООД"));
    EXPECT_EQ(f->DBText7->Text(), QStringLiteral("Варна"));
    EXPECT_EQ(f->DBText8->Text(), QStringLiteral("Варна"));
    EXPECT_EQ(f->MaskEdit1->Text(), QStringLiteral("0000000042"));
    EXPECT_EQ(f->Bank->Text(), QStringLiteral("Бета банк"));
    EXPECT_EQ(f->Edit1->Text(), QString());

    // What is stored now is the new folder's company, under its own number.
    FillDocument(QStringLiteral("1"));
    f->Save->Click();
    TTable* store = DataModule1->store;
    ASSERT_EQ(store->RecordCount(), 1);
    EXPECT_EQ(store->FieldByName(QStringLiteral("Доставчик"))->AsStringAt(1), QStringLiteral("Бета ЕООД"));
    EXPECT_EQ(store->FieldByName(QStringLiteral("Адрес /д/"))->AsStringAt(1), QStringLiteral("Варна"));
    EXPECT_EQ(store->FieldByName(QStringLiteral("Банка"))->AsStringAt(1), QStringLiteral("Бета банк"));
    EXPECT_EQ(store->FieldByName(QStringLiteral("Num"))->AsStringAt(1), QStringLiteral("0000000042"));
}


// A kind typed to the letter of a listed one is taken up when the focus
// leaves the box, which happens as the windows are destroyed at exit.
TEST_F(EditorTest, ExitWhileTheKindIsBeingTypedRunsNothingOnDestroyedWindows)
{
    AddSampleCompany();
    NewDocument();
    Main->Show();
    OrderForm->Show();
    QApplication::setActiveWindow(OrderForm);
    QLineEdit* kind = OrderForm->ComboBox2->lineEdit();
    kind->setFocus();
    kind->selectAll();
    Type(kind, QStringLiteral("ФАКТУРА"));
    EXPECT_EQ(OrderForm->ComboBox2->Text(), QStringLiteral("ФАКТУРА"));
    TestDialogs().answers.push_back(mrNo);
    Main->SpeedButton2->Click();
    EXPECT_TRUE(Application->Terminated());
    DestroyAllWindows();
}

TEST_F(EditorTest, TheButtonsUpdateAsksAboutTheDocumentOnceAndItsAnswerHolds)
{
    AddSampleCompany();
    NewDocument();
    FillDocument(QStringLiteral("4"));
    Main->Show();
    UpdateServer server;
    server.ServeFile("/VORNASOFT3/Orlendix.txt", "36811");
    server.ServeFile("/VORNASOFT3/Orlendix", "#!/bin/sh\nif [ \"$1\" = --version ]; then echo 3.6.8.11; fi\nexit 0\n");
    QFile program(Path("Orlendix"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\n");
    program.close();
    QStringList started;
    SetShellRecorderForTests([&](const QString& verb, const QString& path) { started << verb + ' ' + path; });
    UpdateI->SetServer(server.Address());
    UpdateI->Status = 1;
    UpdateI->RemoteVersion = QStringLiteral("36811");

    // "Не" drops the document; once the new program runs, nothing asks again.
    TestDialogs().answers = {mrNo, mrCancel};
    UpdateI->SpeedButton1->Click();
    SetShellRecorderForTests(nullptr);
    EXPECT_EQ(started, QStringList{QStringLiteral("start ") + Path("Orlendix")});
    EXPECT_EQ(Questions(), 1);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(DataModule1->store->RecordCount(), 0);
}
