// One record edited at two workplaces: the later OK never silently replaces
// what the other workplace stored meanwhile, in any register window.
#include "editor/editor_fixture.h"

#include "platform/dbgrids.h"
#include "support/workplace.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <utility>

namespace {

class SharedRecords : public EditorTest {
protected:
    // The other workplace writes fields of record recNo of a table file and posts.
    void ChangeElsewhere(const char* file, int recNo, std::initializer_list<std::pair<const char*, QString>> values)
    {
        const QString folder = dir_.path() + QStringLiteral("/DB");
        ASSERT_EQ(Elsewhere([&] {
                      TTable t;
                      t.SetDatabaseName(folder);
                      t.SetTableName(QString::fromUtf8(file));
                      t.Open();
                      t.SetRecNo(recNo);
                      t.Edit();
                      for (const auto& [field, text] : values)
                          t.FieldByName(QString::fromUtf8(field))->SetText(text);
                      t.Post();
                  }),
                  0);
    }

    // A click of the user: what the handler raises is shown in a box.
    static void Press(TControl* button)
    {
        SafeCall([button] { button->Click(); });
    }

    // The one box shown since the last look, which names the stored value.
    static void ExpectRefusalShowing(const QString& file, const QString& stored)
    {
        ASSERT_EQ(TestDialogs().boxes.size(), 1u);
        const QString text = TestDialogs().boxes[0].text;
        EXPECT_TRUE(text.contains(QStringLiteral("друго работно място"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("„%1“").arg(file))) << text.toStdString();
        EXPECT_TRUE(text.contains(stored)) << text.toStdString();
        ResetTestDialogs();
    }
};

TEST_F(SharedRecords, TheLaterOkOfAFieldChangedElsewhereIsRefusedAndKeepsTheTyping)
{
    // Customers: both workplaces have the customer open when the other's OK comes.
    TTable* cust = DataModule1->cust;
    cust->Append();
    Set(cust, "Фирма", QStringLiteral("Бета ООД"));
    Set(cust, "Адрес", QStringLiteral("София"));
    cust->Post();
    Main->SpeedButton7->Click();
    CustForm->EditBtn->Click();
    ASSERT_EQ(EditCustForm->DBEdit3->Text(), QStringLiteral("София"));
    ChangeElsewhere("customer.db", 1, {{"Адрес", QStringLiteral("Пловдив, ул. Рила 3")}});
    Retype(EditCustForm->DBEdit3, QStringLiteral("Варна"));
    Press(EditCustForm->OKButton);
    ExpectRefusalShowing(QStringLiteral("customer.db"), QStringLiteral("Адрес: „Пловдив, ул. Рила 3“"));
    EXPECT_TRUE(EditCustForm->isVisible());
    EXPECT_EQ(EditCustForm->DBEdit3->Text(), QStringLiteral("Варна"));
    EXPECT_EQ(cust->State(), TDataSetState::dsEdit);
    EXPECT_EQ(InFile("customer.db", "Адрес", 1), QStringLiteral("Пловдив, ул. Рила 3"));
    // Cancel shows what is stored; typed again from there, it is stored.
    EditCustForm->CancelButton->Click();
    CustForm->EditBtn->Click();
    EXPECT_EQ(EditCustForm->DBEdit3->Text(), QStringLiteral("Пловдив, ул. Рила 3"));
    Retype(EditCustForm->DBEdit3, QStringLiteral("Варна"));
    Press(EditCustForm->OKButton);
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_EQ(InFile("customer.db", "Адрес", 1), QStringLiteral("Варна"));

    // Goods: the price.
    AddGood(QStringLiteral("Кафе"), "кг.", "10");
    Main->SpeedButton3->Click();
    Stocks->StringGrid1->SetRow(1);
    Stocks->EditBtn->Click();
    ASSERT_TRUE(EditStockForm->isVisible());
    ChangeElsewhere("stock.db", 1, {{"Продажна цена", QStringLiteral("12")}});
    Retype(EditStockForm->DBEdit5, QStringLiteral("15"));
    Press(EditStockForm->OKButton);
    ExpectRefusalShowing(QStringLiteral("stock.db"), QStringLiteral("Продажна цена: „12“"));
    EXPECT_TRUE(EditStockForm->isVisible());
    EXPECT_EQ(EditStockForm->DBEdit5->Text(), QStringLiteral("15"));
    EXPECT_EQ(InFile("stock.db", "Продажна цена", 1), QStringLiteral("12"));
    EditStockForm->CancelButton->Click();

    // Employees: a name typed into the grid, posted with the navigator's ✓.
    TTable* e = DataModule1->employee;
    e->Append();
    Set(e, "Име", QStringLiteral("Мария Иванова"));
    e->Post();
    Emp->Show();
    TDBGrid* g = Emp->DBGrid1;
    ASSERT_EQ(g->model()->index(0, 0).data().toString(), QStringLiteral("Мария Иванова"));
    ChangeElsewhere("employee.DB", 1, {{"Име", QStringLiteral("Мария Петрова")}});
    g->setCurrentIndex(g->model()->index(0, 0));
    static_cast<QAbstractItemView*>(g)->edit(g->model()->index(0, 0));
    auto* cell = g->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(cell, nullptr);
    Retype(cell, QStringLiteral("Мария Георгиева"));
    Emp->DBNavigator1->Button(nbPost)->click();
    ExpectRefusalShowing(QStringLiteral("employee.DB"), QStringLiteral("Име: „Мария Петрова“"));
    EXPECT_EQ(e->State(), TDataSetState::dsEdit);
    EXPECT_EQ(e->FieldByName(QStringLiteral("Име"))->Text(), QStringLiteral("Мария Георгиева"));
    EXPECT_EQ(InFile("employee.DB", "Име", 1), QStringLiteral("Мария Петрова"));
    Emp->DBNavigator1->Button(nbCancel)->click();

    // Own companies: the English address (ae.db) and the Bulgarian one (Firm.db).
    CompanyRecord a = Company(QStringLiteral("Алфа ООД"), QStringLiteral("Alfa Ltd"));
    a.address = QStringLiteral("София");
    a.enAddress = QStringLiteral("Sofia");
    AddCompany(a);
    ChooseCompany(1);
    FillFirm->Show();
    ASSERT_EQ(FillFirm->DBEdit2->Text(), QStringLiteral("София"));
    ChangeElsewhere("ae.db", 1, {{"Address", QStringLiteral("Plovdiv")}});
    ChangeElsewhere("Firm.db", 1, {{"АДРЕС", QStringLiteral("Пловдив")}});
    Retype(FillFirm->DBEdit2, QStringLiteral("Варна"));
    FillFirm->TabControl1->SetTabIndex(1);
    FillFirm->TabControl1Change(nullptr);
    Retype(FillFirm->DBEdit13, QStringLiteral("Varna"));
    Press(FillFirm->OKButton);
    ExpectRefusalShowing(QStringLiteral("ae.db"), QStringLiteral("Адрес (английски данни): „Plovdiv“"));
    // Both halves of the company keep what was typed; neither is stored.
    EXPECT_TRUE(FillFirm->isVisible());
    EXPECT_EQ(FillFirm->DBEdit13->Text(), QStringLiteral("Varna"));
    EXPECT_EQ(FillFirm->DBEdit2->Text(), QStringLiteral("Варна"));
    EXPECT_EQ(InFile("ae.db", "Address", 1), QStringLiteral("Plovdiv"));
    EXPECT_EQ(InFile("Firm.db", "АДРЕС", 1), QStringLiteral("Пловдив"));
    FillFirm->CancelButton->Click();
    FillFirm->TabControl1->SetTabIndex(0);
    FillFirm->TabControl1Change(nullptr);
    FillFirm->Show();
    EXPECT_EQ(FillFirm->DBEdit2->Text(), QStringLiteral("Пловдив"));
    ChangeElsewhere("Firm.db", 1, {{"АДРЕС", QStringLiteral("Бургас")}});
    Retype(FillFirm->DBEdit2, QStringLiteral("Варна"));
    Press(FillFirm->OKButton);
    ExpectRefusalShowing(QStringLiteral("Firm.db"), QStringLiteral("АДРЕС: „Бургас“"));
    EXPECT_TRUE(FillFirm->isVisible());
    EXPECT_EQ(FillFirm->DBEdit2->Text(), QStringLiteral("Варна"));
    EXPECT_EQ(InFile("Firm.db", "АДРЕС", 1), QStringLiteral("Бургас"));
    FillFirm->CancelButton->Click();
}

}  // namespace
