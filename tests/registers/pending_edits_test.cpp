// Record windows closed with typing still in them: by the close box, and by the
// program asking each window whether it may close.
#include "editor/editor_fixture.h"

#include "platform/dbgrids.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class PendingEdits : public EditorTest {
protected:
    static void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(w, &press);
    }

    // The employee grid's cell (1-based row) opened and typed into.
    static void TypeIntoCell(int row, int column, const QString& text)
    {
        TDBGrid* g = Emp->DBGrid1;
        g->setCurrentIndex(g->model()->index(row - 1, column));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        static_cast<QAbstractItemView*>(g)->edit(g->model()->index(row - 1, column));
        auto* editor = g->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        Keys(editor, text);
    }
};

TEST_F(PendingEdits, TheCustomerAndGoodsEditorsStoreWhatOkWouldWhenClosed)
{
    TTable* cust = DataModule1->cust;
    Main->SpeedButton7->Click();

    // A new customer closed by the close box is stored.
    CustForm->Button2->Click();
    Keys(EditCustForm->DBEdName, QStringLiteral("Бета ЕООД"));
    Keys(EditCustForm->DBEdit4, QStringLiteral("0888123456"));
    EditCustForm->close();
    EXPECT_FALSE(EditCustForm->isVisible());
    ASSERT_EQ(CountInFile("customer.db"), 1);
    EXPECT_EQ(InFile("customer.db", "Фирма", 1), QStringLiteral("Бета ЕООД"));
    EXPECT_EQ(InFile("customer.db", "Телефон", 1), QStringLiteral("0888123456"));

    // A customer whose name was cleared: the message, the window and the typing stay.
    EditCustForm->Show();
    EditCustForm->DBEdName->SetText(QString());
    Keys(EditCustForm->DBEdit4, QStringLiteral("99"));
    EditCustForm->close();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(EditCustForm->isVisible());
    EXPECT_EQ(cust->State(), TDataSetState::dsEdit);
    EXPECT_EQ(EditCustForm->DBEdit4->Text(), QStringLiteral("088812345699"));
    EXPECT_EQ(InFile("customer.db", "Фирма", 1), QStringLiteral("Бета ЕООД"));
    // The program's exit asks the same way.
    EXPECT_FALSE(EditCustForm->CloseQuery());
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);
    Keys(EditCustForm->DBEdName, QStringLiteral("Гама АД"));
    EXPECT_TRUE(EditCustForm->CloseQuery());
    EXPECT_EQ(InFile("customer.db", "Фирма", 1), QStringLiteral("Гама АД"));
    EXPECT_EQ(InFile("customer.db", "Телефон", 1), QStringLiteral("088812345699"));
    EditCustForm->close();

    // "Нов запис" closed with nothing typed stores no empty customer.
    CustForm->Button2->Click();
    EditCustForm->close();
    EXPECT_FALSE(EditCustForm->isVisible());
    EXPECT_EQ(CountInFile("customer.db"), 1);
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);

    // Goods: a price that is no number keeps the window open with its message.
    TTable* stock = DataModule1->stock;
    Main->SpeedButton3->Click();
    Stocks->Button2->Click();
    Keys(EditStockForm->DBMemo1, QStringLiteral("Монтаж"));
    Keys(EditStockForm->DBEdit5, QStringLiteral("4x"));
    EditStockForm->close();
    EXPECT_EQ(TestDialogs().boxes.size(), 3u);
    EXPECT_TRUE(EditStockForm->isVisible());
    EXPECT_EQ(stock->State(), TDataSetState::dsInsert);
    EXPECT_EQ(EditStockForm->DBMemo1->Text(), QStringLiteral("Монтаж"));
    EXPECT_EQ(CountInFile("stock.db"), 0);
    // Corrected, the close box stores it.
    EditStockForm->DBEdit5->SetText(QStringLiteral("40"));
    EditStockForm->close();
    EXPECT_FALSE(EditStockForm->isVisible());
    ASSERT_EQ(CountInFile("stock.db"), 1);
    EXPECT_EQ(FileTable("stock.db")->FieldByName(QStringLiteral("Описание на стока/услуга"))->AsMemo(),
              QStringLiteral("Монтаж"));
    EXPECT_EQ(InFile("stock.db", "Продажна цена", 1), QStringLiteral("40"));
    // A change of stored goods, then the exit's question.
    Stocks->StringGrid1->SetRow(1);
    Stocks->EditBtn->Click();
    Keys(EditStockForm->DBEdit2->lineEdit(), QStringLiteral("3"));
    EditStockForm->DBEdit5->selectAll();
    Keys(EditStockForm->DBEdit5, QStringLiteral("45"));
    EXPECT_TRUE(EditStockForm->CloseQuery());
    EXPECT_EQ(InFile("stock.db", "Продажна цена", 1), QStringLiteral("45"));
    EXPECT_EQ(InFile("stock.db", "К-во", 1), QStringLiteral("3"));
    EXPECT_EQ(TestDialogs().boxes.size(), 3u);
}

TEST_F(PendingEdits, EmployeesAndCompaniesStoreWhatTheirButtonsWouldWhenClosed)
{
    TTable* e = DataModule1->employee;
    Emp->Show();

    // A new employee typed into the grid, the cell still open.
    Emp->DBNavigator1->BtnClick(nbInsert);
    TypeIntoCell(1, 0, QStringLiteral("Мария Иванова"));
    Emp->close();
    EXPECT_FALSE(Emp->isVisible());
    ASSERT_EQ(CountInFile("employee.DB"), 1);
    EXPECT_EQ(InFile("employee.DB", "Име", 1), QStringLiteral("Мария Иванова"));

    // A phone that is no number: its message, the window open, the cell as typed.
    Emp->Show();
    TypeIntoCell(1, 1, QStringLiteral("08x"));
    Emp->close();
    EXPECT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(Emp->isVisible());
    EXPECT_EQ(e->State(), TDataSetState::dsEdit);
    auto* cell = Emp->DBGrid1->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(), QStringLiteral("08x"));
    EXPECT_FALSE(Emp->CloseQuery());
    cell->setText(QStringLiteral("0888"));
    EXPECT_TRUE(Emp->CloseQuery());
    EXPECT_EQ(InFile("employee.DB", "Телефон", 1), QStringLiteral("888"));

    // An untouched new row is dropped, not stored empty.
    Emp->DBNavigator1->BtnClick(nbInsert);
    Emp->close();
    EXPECT_FALSE(Emp->isVisible());
    EXPECT_EQ(CountInFile("employee.DB"), 1);

    // The company window: a typed МОЛ is stored by the close box.
    AddSampleCompany();
    Main->SpeedButton5->Click();
    ASSERT_TRUE(FillFirm->isVisible());
    FillFirm->DBEdit3->setFocus();
    FillFirm->DBEdit3->selectAll();
    Keys(FillFirm->DBEdit3, QStringLiteral("Петър Петров"));
    FillFirm->close();
    EXPECT_FALSE(FillFirm->isVisible());
    EXPECT_EQ(InFile("Firm.db", "МОЛ", 1), QStringLiteral("Петър Петров"));

    // A bad counter keeps it open with its message, the typing kept.
    FillFirm->Show();
    Keys(FillFirm->DBEdit3, QStringLiteral(" мл."));
    FillFirm->DBEdit7->SetText(QStringLiteral("12a"));
    const size_t before = TestDialogs().boxes.size();
    FillFirm->close();
    EXPECT_EQ(TestDialogs().boxes.size(), before + 1);
    EXPECT_TRUE(FillFirm->isVisible());
    EXPECT_EQ(FillFirm->DBEdit3->Text(), QStringLiteral("Петър Петров мл."));
    EXPECT_EQ(InFile("Firm.db", "МОЛ", 1), QStringLiteral("Петър Петров"));
    FillFirm->DBEdit7->SetText(QStringLiteral("12"));
    EXPECT_TRUE(FillFirm->CloseQuery());
    EXPECT_EQ(InFile("Firm.db", "МОЛ", 1), QStringLiteral("Петър Петров мл."));
    EXPECT_EQ(InFile("Firm.db", "Фактура №", 1), QStringLiteral("12"));
    FillFirm->close();

    // "Добави фирма" closed untouched adds no empty company to either table.
    FillFirm->Show();
    FillFirm->Button1->Click();
    FillFirm->close();
    EXPECT_FALSE(FillFirm->isVisible());
    EXPECT_EQ(CountInFile("Firm.db"), 1);
    EXPECT_EQ(CountInFile("ae.db"), 1);
}

}  // namespace
