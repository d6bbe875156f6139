// Where the user's keys land in the record windows, and what their delete
// questions name.
#include "editor/editor_fixture.h"

#include "platform/dbgrids.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class RecordKeys : public EditorTest {
protected:
    static QLineEdit* CellEditor() { return Emp->DBGrid1->viewport()->findChild<QLineEdit*>(); }

    // A key where the user's focus is in the grid: its open cell, else the grid.
    static void GridKey(int key, const QString& text = {})
    {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QWidget* target = CellEditor() ? static_cast<QWidget*>(CellEditor()) : Emp->DBGrid1;
        QKeyEvent press(QEvent::KeyPress, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void AddEmployee(const QString& name)
    {
        TTable* e = DataModule1->employee;
        e->Append();
        e->FieldByName(QStringLiteral("Име"))->SetText(name);
        e->Post();
    }

    static QString Name(int recNo)
    {
        return DataModule1->employee->FieldByName(QStringLiteral("Име"))->TextAt(recNo);
    }
};

TEST_F(RecordKeys, TabPastTheLastEmployeeCellOpensANewRowAndNeverWraps)
{
    AddEmployee(QStringLiteral("Анна"));
    AddEmployee(QStringLiteral("Борис"));
    TTable* e = DataModule1->employee;
    Emp->Show();
    TDBGrid* g = Emp->DBGrid1;
    const int last = g->Columns()->Count() - 1;
    ASSERT_EQ(last, 3);

    // From the last cell of the last row: a new row, and the name typed goes there.
    e->Last();
    g->SetSelectedIndex(last);
    GridKey(Qt::Key_Tab);
    EXPECT_EQ(e->State(), TDataSetState::dsInsert);
    EXPECT_EQ(g->CurrentRow(), 3);
    EXPECT_EQ(g->SelectedIndex(), 0);
    GridKey(Qt::Key_unknown, QStringLiteral("В"));
    ASSERT_NE(CellEditor(), nullptr);
    Keys(CellEditor(), QStringLiteral("ера"));
    Emp->DBNavigator1->BtnClick(nbPost);
    ASSERT_EQ(e->RecordCount(), 3);
    EXPECT_EQ(Name(1), QStringLiteral("Анна"));
    EXPECT_EQ(Name(3), QStringLiteral("Вера"));

    // Tab out of an open last cell stores it, then opens the next row.
    g->SetSelectedIndex(last);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    static_cast<QAbstractItemView*>(g)->edit(g->currentIndex());
    ASSERT_NE(CellEditor(), nullptr);
    Keys(CellEditor(), QStringLiteral("март"));
    GridKey(Qt::Key_Tab);
    EXPECT_EQ(DataModule1->employee->FieldByName(QStringLiteral("Нает на"))->TextAt(3), QStringLiteral("март"));
    EXPECT_EQ(e->State(), TDataSetState::dsInsert);
    EXPECT_EQ(g->CurrentRow(), 4);

    // Through an untouched new row's cells and past its end: it stays there.
    for (int i = 0; i < 6; ++i)
        GridKey(Qt::Key_Tab);
    EXPECT_EQ(g->CurrentRow(), 4);
    EXPECT_EQ(e->State(), TDataSetState::dsInsert);
    EXPECT_EQ(e->RecordCount(), 3);
    e->Cancel();

    // Shift+Tab before the first cell stays on the first employee.
    e->First();
    g->SetSelectedIndex(0);
    GridKey(Qt::Key_Backtab);
    EXPECT_EQ(e->RecNo(), 1);
    EXPECT_EQ(g->CurrentRow(), 1);
    EXPECT_EQ(g->SelectedIndex(), 0);
    EXPECT_EQ(Name(1), QStringLiteral("Анна"));
    EXPECT_EQ(Name(2), QStringLiteral("Борис"));
}

TEST_F(RecordKeys, NewRecordsAndRefusedNumbersPutTheCursorInTheField)
{
    // "Нов запис" after another button was the last one pressed.
    Main->SpeedButton7->Click();
    CustForm->Button2->Click();
    EditCustForm->CancelButton->setFocus();
    EditCustForm->CancelButton->Click();
    CustForm->Button2->Click();
    EXPECT_EQ(EditCustForm->focusWidget(), EditCustForm->DBEdName);
    EditCustForm->CancelButton->Click();
    Main->SpeedButton3->Click();
    Stocks->Button2->Click();
    EditStockForm->CancelButton->setFocus();
    EditStockForm->CancelButton->Click();
    Stocks->Button2->Click();
    EXPECT_EQ(EditStockForm->focusWidget(), EditStockForm->DBMemo1);

    // A price that is no number: after the message the cursor is back in the price.
    Keys(EditStockForm->DBMemo1, QStringLiteral("Монтаж"));
    Keys(EditStockForm->DBEdit5, QStringLiteral("4x"));
    EditStockForm->OKButton->setFocus();
    EditStockForm->OKButton->Click();
    QApplication::processEvents();
    EXPECT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(EditStockForm->isVisible());
    EXPECT_EQ(EditStockForm->focusWidget(), EditStockForm->DBEdit5);
    // So for a quantity typed into its list.
    EditStockForm->DBEdit5->selectAll();
    Keys(EditStockForm->DBEdit5, QStringLiteral("40"));
    Keys(EditStockForm->DBEdit2->lineEdit(), QStringLiteral("2y"));
    EditStockForm->OKButton->setFocus();
    EditStockForm->OKButton->Click();
    QApplication::processEvents();
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);
    EXPECT_EQ(EditStockForm->focusWidget(), EditStockForm->DBEdit2);
    EXPECT_EQ(DataModule1->stock->RecordCount(), 0);

    // A customer number that is no number.
    CustForm->Button2->Click();
    Keys(EditCustForm->DBEdName, QStringLiteral("Бета ЕООД"));
    Keys(EditCustForm->DBEdCustNo, QStringLiteral("7а"));
    EditCustForm->OKButton->setFocus();
    EditCustForm->OKButton->Click();
    QApplication::processEvents();
    EXPECT_EQ(TestDialogs().boxes.size(), 3u);
    EXPECT_TRUE(EditCustForm->isVisible());
    EXPECT_EQ(EditCustForm->focusWidget(), EditCustForm->DBEdCustNo);
}

TEST_F(RecordKeys, TheGoodsListHighlightsTheGoodsTheEditorsMovedTo)
{
    for (const char* name : {"Алфа", "Бета", "Гама"})
        AddGood(QString::fromUtf8(name));
    Main->SpeedButton3->Click();
    Stocks->StringGrid1->SetRow(1);
    Stocks->StringGrid1Click(Stocks->StringGrid1);
    Stocks->EditBtn->Click();
    ASSERT_TRUE(EditStockForm->isVisible());

    // The goods editor's navigator: the list shows the goods being edited.
    EditStockForm->Navigator->BtnClick(nbLast);
    QApplication::processEvents();
    EXPECT_EQ(Stocks->StringGrid1->Row(), 3);
    EditStockForm->Navigator->BtnClick(nbPrior);
    QApplication::processEvents();
    EXPECT_EQ(Stocks->StringGrid1->Row(), 2);
    EXPECT_EQ(Stocks->StringGrid1->Cells(0, Stocks->StringGrid1->Row()), QStringLiteral("Бета"));
    EditStockForm->CancelButton->Click();

    // The document's goods list moved the table as well.
    NewDocument();
    OrderForm->StringGrid1Button->Click();
    OrderForm->ListBox1->SetItemIndex(0);
    OrderForm->ListBox1Click(OrderForm->ListBox1);
    QApplication::processEvents();
    EXPECT_EQ(DataModule1->stock->RecNo(), 1);
    EXPECT_EQ(Stocks->StringGrid1->Row(), 1);
    // "Редактирай" then edits the goods the list shows.
    Stocks->EditBtn->Click();
    EXPECT_EQ(EditStockForm->DBMemo1->Text(), QStringLiteral("Алфа"));
}

TEST_F(RecordKeys, DeleteQuestionsNameTheCustomerTheGoodsAndTheEmployee)
{
    TTable* cust = DataModule1->cust;
    for (const char* address : {"Плевен, ул. Васил Левски 5", "Русе"}) {
        cust->Append();
        Set(cust, "Фирма", QStringLiteral("Алфа ООД"));
        Set(cust, "Адрес", QString::fromUtf8(address));
        cust->Post();
    }
    TestDialogs().answers = {mrNo, mrNo};
    cust->SetRecNo(1);
    EditCustForm->DBNavigator1->BtnClick(nbDelete);
    cust->SetRecNo(2);
    EditCustForm->DBNavigator1->BtnClick(nbDelete);
    ASSERT_EQ(TestDialogs().boxes.size(), 2u);
    EXPECT_EQ(cust->RecordCount(), 2);
    // Two customers of one name are told apart by where they are.
    for (int i : {0, 1}) {
        EXPECT_TRUE(TestDialogs().boxes[i].text.contains(QStringLiteral("Алфа ООД"))) << TestDialogs().boxes[i].text.toStdString();
        EXPECT_EQ(TestDialogs().boxes[i].buttons, TMsgButtons::YesNo);
    }
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("Плевен"))) << TestDialogs().boxes[0].text.toStdString();
    EXPECT_TRUE(TestDialogs().boxes[1].text.contains(QStringLiteral("Русе"))) << TestDialogs().boxes[1].text.toStdString();

    AddGood(QStringLiteral("Кабел 3x2,5\r\nмедно жило"));
    ResetTestDialogs();
    TestDialogs().answers = {mrNo};
    EditStockForm->DBNavigator1->BtnClick(nbDelete);
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("Кабел 3x2,5"))) << TestDialogs().boxes[0].text.toStdString();
    EXPECT_EQ(DataModule1->stock->RecordCount(), 1);

    AddEmployee(QStringLiteral("Мария Иванова"));
    Emp->Show();
    ResetTestDialogs();
    TestDialogs().answers = {mrNo, mrYes};
    Emp->DBNavigator1->BtnClick(nbDelete);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier);
    QApplication::sendEvent(Emp->DBGrid1, &del);
    ASSERT_EQ(TestDialogs().boxes.size(), 2u);
    for (const RecordedBox& b : TestDialogs().boxes)
        EXPECT_TRUE(b.text.contains(QStringLiteral("Мария Иванова"))) << b.text.toStdString();
    EXPECT_EQ(DataModule1->employee->RecordCount(), 0);
}

}  // namespace
