#include "editor/editor_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryFile>

namespace {

class FillFirmTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        CompanyRecord a = Company(QStringLiteral("Алфа ООД"), QStringLiteral("Alpha Ltd"));
        a.invoice = QStringLiteral("0000000041");
        a.logo = Logo(Qt::red);
        a.enLogo = Logo(Qt::blue);
        AddCompany(a);
        AddCompany(Company(QStringLiteral("Бета ЕООД"), QStringLiteral("Beta Ltd")));
        ChooseCompany(1);
        FillFirm->Show();
    }

    static QString Text(TTable* t, const char* field, int recNo)
    {
        return t->FieldByName(QString::fromUtf8(field))->TextAt(recNo);
    }


    static void ShowEnglish()
    {
        FillFirm->TabControl1->SetTabIndex(1);
        FillFirm->TabControl1Change(nullptr);
    }

    static QString LogoFile(QTemporaryFile& file)
    {
        EXPECT_TRUE(file.open());
        file.write(Logo(Qt::green));
        file.close();
        return file.fileName();
    }

    static void StoreDocument(int company)
    {
        TTable* store = DataModule1->store;
        store->Append();
        Set(store, "Num", QStringLiteral("0000000001"));
        Set(store, "Firm.db index", QString::number(company));
        store->Post();
    }
};

TEST_F(FillFirmTest, AddingOnTheEnglishTabAddsAPairAndFocusesTheEnglishName)
{
    FillFirm->TabControl1->SetTabIndex(1);
    FillFirm->TabControl1Change(nullptr);
    EXPECT_TRUE(FillFirm->DBEdit12->isVisible());
    EXPECT_FALSE(FillFirm->LOGO->isVisible());
    EXPECT_EQ(FillFirm->Label1->Caption(), QStringLiteral("Supplier"));

    FillFirm->Button1->Click();
    EXPECT_EQ(FillFirm->focusWidget(), FillFirm->DBEdit12);
    FillFirm->DBEdit12->SetText(QStringLiteral("Gamma Ltd"));
    FillFirm->OKButton->Click();

    ASSERT_EQ(DataModule1->firm->RecordCount(), 3);
    ASSERT_EQ(DataModule1->Tableae->RecordCount(), 3);
    EXPECT_EQ(Text(DataModule1->Tableae, "Supplier", 3), QStringLiteral("Gamma Ltd"));
    EXPECT_EQ(Text(DataModule1->firm, "ДОСТАВЧИК", 3), QString());
    EXPECT_FALSE(FillFirm->isVisible());
}

TEST_F(FillFirmTest, CancelDropsANewCompanyAndTypedTextsFromBothTables)
{
    FillFirm->DBEdit1->SetText(QStringLiteral("Промяна"));
    FillFirm->Button1->Click();
    FillFirm->DBEdit1->SetText(QStringLiteral("Нова"));
    FillFirm->CancelButton->Click();
    EXPECT_EQ(DataModule1->firm->RecordCount(), 2);
    EXPECT_EQ(DataModule1->Tableae->RecordCount(), 2);
    EXPECT_EQ(Text(DataModule1->firm, "ДОСТАВЧИК", 1), QStringLiteral("Алфа ООД"));
}

TEST_F(FillFirmTest, SelectingACompanyShowsItsEnglishTwin)
{
    DataModule1->firm->SetRecNo(2);
    FillFirm->DBGrid1CellClick(nullptr);
    EXPECT_EQ(DataModule1->Tableae->RecNo(), 2);
    EXPECT_EQ(FillFirm->DBEdit12->Text(), QStringLiteral("Beta Ltd"));
    EXPECT_EQ(FillFirm->DBEdit1->Text(), QStringLiteral("Бета ЕООД"));
}

TEST_F(FillFirmTest, ClearingTheEnglishLogoKeepsTheBulgarianOne)
{
    FillFirm->TabControl1->SetTabIndex(1);
    FillFirm->TabControl1Change(nullptr);
    FillFirm->SpeedButton2->Click();
    EXPECT_TRUE(DataModule1->Tableae->FieldByName(QStringLiteral("logo"))->IsNull() ||
                DataModule1->Tableae->FieldByName(QStringLiteral("logo"))->AsBytes().isEmpty());
    EXPECT_FALSE(DataModule1->firm->FieldByName(QStringLiteral("Лого"))->AsBytes().isEmpty());
    EXPECT_FALSE(FillFirm->LOGO->Picture()->IsEmpty());
}

TEST_F(FillFirmTest, LoadingALogoStoresItOnTheShownTab)
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/logoXXXXXX.png"));
    ASSERT_TRUE(file.open());
    file.write(Logo(Qt::green));
    file.close();
    TestDialogs().files.push_back(file.fileName());
    DataModule1->firm->SetRecNo(2);
    FillFirm->DBGrid1CellClick(nullptr);
    FillFirm->SpeedButton1->Click();
    EXPECT_FALSE(DataModule1->firm->FieldByName(QStringLiteral("Лого"))->AsBytes().isEmpty());
    EXPECT_TRUE(DataModule1->Tableae->FieldByName(QStringLiteral("logo"))->AsBytes().isEmpty());
}

TEST_F(FillFirmTest, DeletingAsksFirstAndNamesTheDocumentsThatWillShowAnotherCompany)
{
    StoreDocument(1);
    StoreDocument(2);
    StoreDocument(2);
    DataModule1->firm->SetRecNo(2);
    FillFirm->DBGrid1CellClick(nullptr);

    TestDialogs().answers.push_back(mrNo);
    FillFirm->Button2->Click();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("Бета ЕООД")));
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("2 записани документа")));
    EXPECT_EQ(TestDialogs().boxes[0].buttons, TMsgButtons::YesNo);  // Не and Отказ would do the same
    EXPECT_EQ(DataModule1->firm->RecordCount(), 2);

    TestDialogs().answers.push_back(mrYes);
    FillFirm->Button2->Click();
    EXPECT_EQ(DataModule1->firm->RecordCount(), 1);
    EXPECT_EQ(DataModule1->Tableae->RecordCount(), 1);
    EXPECT_EQ(Text(DataModule1->Tableae, "Supplier", 1), QStringLiteral("Alpha Ltd"));
}

TEST_F(FillFirmTest, DeletingEveryCompanyEmptiesBothAndNumberingStartsAtOne)
{
    TestDialogs().answers = {mrYes, mrYes};
    FillFirm->Button2->Click();
    FillFirm->Button2->Click();
    EXPECT_EQ(DataModule1->firm->RecordCount(), 0);
    EXPECT_EQ(DataModule1->Tableae->RecordCount(), 0);
    FillFirm->Button2->Click();  // nothing left: no question, no error
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);
    FillFirm->OKButton->Click();
    NewDocument();
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000001"));
}

TEST_F(FillFirmTest, ACounterThatIsNotTenDigitsIsRefusedNamingTheField)
{
    // As typing does: the tables are editing.
    DataModule1->firm->Edit();
    DataModule1->Tableae->Edit();
    FillFirm->DBEdit7->SetText(QStringLiteral("12a"));
    FillFirm->OKButton->Click();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("Фактура №")));
    EXPECT_TRUE(FillFirm->isVisible());
    EXPECT_EQ(Text(DataModule1->firm, "Фактура №", 1), QStringLiteral("0000000041"));

    FillFirm->DBEdit7->SetText(QString());
    FillFirm->DBEdit8->SetText(QStringLiteral("-5"));
    FillFirm->Button1->Click();
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);
    EXPECT_TRUE(TestDialogs().boxes[1].text.contains(QStringLiteral("Проформа №")));
    EXPECT_EQ(DataModule1->firm->RecordCount(), 2);

    FillFirm->DBEdit8->SetText(QString());
    FillFirm->DBEdit16->SetText(QStringLiteral("0000000007"));
    FillFirm->OKButton->Click();
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);
    EXPECT_EQ(Text(DataModule1->firm, "Фактура №", 1), QString());
    EXPECT_EQ(Text(DataModule1->Tableae, "VOP", 1), QStringLiteral("0000000007"));
}

TEST_F(FillFirmTest, ABadCounterStopsAMoveInTheCompanyList)
{
    DataModule1->firm->Edit();
    FillFirm->DBEdit8->SetText(QStringLiteral("x1"));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(FillFirm->DBGrid1->viewport(), &press);
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("Проформа №")));
    EXPECT_EQ(Text(DataModule1->firm, "Проформа №", 1), QString());
}

TEST_F(FillFirmTest, AShortEnglishTableIsPaddedBeforeAddingSelectingAndDeleting)
{
    TTable* ae = DataModule1->Tableae;
    ae->SetRecNo(2);
    ae->Delete();
    ASSERT_EQ(ae->RecordCount(), 1);
    DataModule1->firm->SetRecNo(2);
    FillFirm->DBGrid1CellClick(nullptr);
    EXPECT_EQ(ae->RecordCount(), 2);
    EXPECT_EQ(ae->RecNo(), 2);

    ae->Delete();
    FillFirm->Button1->Click();
    FillFirm->OKButton->Click();
    EXPECT_EQ(DataModule1->firm->RecordCount(), 3);
    EXPECT_EQ(ae->RecordCount(), 3);

    ae->SetRecNo(3);
    ae->Delete();
    DataModule1->firm->SetRecNo(3);
    TestDialogs().answers.push_back(mrYes);
    FillFirm->Button2->Click();
    EXPECT_EQ(DataModule1->firm->RecordCount(), 2);
    EXPECT_EQ(ae->RecordCount(), 2);
    EXPECT_EQ(Text(ae, "Supplier", 1), QStringLiteral("Alpha Ltd"));
}

TEST_F(FillFirmTest, TheBankNavigatorAsksBeforeDeleting)
{
    AddBankAccount(QStringLiteral("Банка"), QStringLiteral("BG00"), QStringLiteral("SW"));
    TestDialogs().answers.push_back(mrNo);
    FillFirm->DBNavigator1->BtnClick(nbDelete);
    EXPECT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(DataModule1->details->RecordCount(), 1);
}

// The English texts are always those of the company the list shows, however it got there.
TEST_F(FillFirmTest, TheEnglishTabFollowsEveryMoveInTheCompanyList)
{
    FillFirm->DBGrid1->setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(FillFirm->DBGrid1, &down);
    ASSERT_EQ(DataModule1->firm->RecNo(), 2);
    EXPECT_EQ(DataModule1->Tableae->RecNo(), 2);
    ShowEnglish();
    EXPECT_EQ(FillFirm->DBEdit12->Text(), QStringLiteral("Beta Ltd"));
    Retype(FillFirm->DBEdit14, QStringLiteral("Edited Person"));
    FillFirm->OKButton->Click();
    EXPECT_EQ(Text(DataModule1->Tableae, "Resp.Person", 2), QStringLiteral("Edited Person"));
    EXPECT_EQ(Text(DataModule1->Tableae, "Resp.Person", 1), QString());

    // A move by code, as the editor makes one, posts the English typing and takes the English tab along.
    FillFirm->Show();
    Retype(FillFirm->DBEdit14, QStringLiteral("Beta Person"));
    DataModule1->firm->SetRecNo(1);
    EXPECT_EQ(DataModule1->Tableae->RecNo(), 1);
    EXPECT_EQ(FillFirm->DBEdit12->Text(), QStringLiteral("Alpha Ltd"));
    EXPECT_EQ(Text(DataModule1->Tableae, "Resp.Person", 2), QStringLiteral("Beta Person"));
}

TEST_F(FillFirmTest, ALogoOnANewCompanyWaitsForBothHalves)
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/logoXXXXXX.png"));
    const QString logo = LogoFile(file);
    ShowEnglish();

    // Cancel drops the new company with its logo from both tables.
    FillFirm->Button1->Click();
    TestDialogs().files.push_back(logo);
    FillFirm->SpeedButton1->Click();
    EXPECT_FALSE(FillFirm->LOGO2->Picture()->IsEmpty());
    FillFirm->CancelButton->Click();
    EXPECT_EQ(DataModule1->firm->RecordCount(), 2);
    EXPECT_EQ(DataModule1->Tableae->RecordCount(), 2);

    // OK stores both halves, the logo with them.
    FillFirm->Show();
    FillFirm->Button1->Click();
    TestDialogs().files.push_back(logo);
    FillFirm->SpeedButton1->Click();
    Retype(FillFirm->DBEdit12, QStringLiteral("Gamma Ltd"));
    FillFirm->OKButton->Click();
    ASSERT_EQ(DataModule1->firm->RecordCount(), 3);
    ASSERT_EQ(DataModule1->Tableae->RecordCount(), 3);
    EXPECT_EQ(Text(DataModule1->Tableae, "Supplier", 3), QStringLiteral("Gamma Ltd"));
    EXPECT_FALSE(DataModule1->Tableae->FieldByName(QStringLiteral("logo"))->AsBytes().isEmpty());
}

TEST_F(FillFirmTest, EveryPostOfACompanyChecksTheCounters)
{
    Retype(FillFirm->DBEdit7, QStringLiteral("12a"));
    FillFirm->SpeedButton2->Click();  // clearing the logo posts the company
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("Фактура №")));
    EXPECT_FALSE(DataModule1->firm->FieldByName(QStringLiteral("Лого"))->AsBytes().isEmpty());

    // A move by code (the editor choosing a company) is refused as well.
    EXPECT_THROW(DataModule1->firm->SetRecNo(2), EDatabaseError);
    EXPECT_EQ(DataModule1->firm->RecNo(), 1);
    FillFirm->CancelButton->Click();
    EXPECT_EQ(Text(DataModule1->firm, "Фактура №", 1), QStringLiteral("0000000041"));

    // The English counter is checked when ae.db is posted.
    FillFirm->Show();
    ShowEnglish();
    Retype(FillFirm->DBEdit16, QStringLiteral("7-"));
    FillFirm->SpeedButton2->Click();
    ASSERT_EQ(TestDialogs().boxes.size(), 2u);
    EXPECT_TRUE(TestDialogs().boxes[1].text.contains(QStringLiteral("ВОП №")));
    EXPECT_FALSE(DataModule1->Tableae->FieldByName(QStringLiteral("logo"))->AsBytes().isEmpty());
}

TEST_F(FillFirmTest, ASaveFirstStoresWhatTheCompanyWindowHolds)
{
    Retype(FillFirm->DBEdit3, QStringLiteral("Нов МОЛ"));
    NewDocument();
    OrderForm->Edit1->SetText(QStringLiteral("Клиент"));
    ResetTestDialogs();
    EXPECT_TRUE(OrderForm->SaveWithCustomer(false));
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_EQ(Text(DataModule1->firm, "МОЛ", 1), QStringLiteral("Нов МОЛ"));
    EXPECT_EQ(DataModule1->store->RecordCount(), 1);

    // A counter that is no number: the save says which one and stores nothing.
    Retype(FillFirm->DBEdit8, QStringLiteral("x"));
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000050"));
    EXPECT_FALSE(OrderForm->SaveWithCustomer(false));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("Проформа №")));
    EXPECT_EQ(DataModule1->store->RecordCount(), 1);
}

}  // namespace
