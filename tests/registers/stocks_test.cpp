#include "editor/editor_fixture.h"

#include "platform/dbgrids.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class Goods : public EditorTest {
protected:
    static void SelectGoods(int row)
    {
        Stocks->StringGrid1->SetRow(row);
        Stocks->StringGrid1Click(Stocks->StringGrid1);
    }

    static TStringGrid* Lines() { return OrderForm->StringGrid1; }
};

TEST_F(Goods, AddingStartsADocumentAndFillsConsecutiveLines)
{
    AddGood(QStringLiteral("Монтаж"), "ч.", "40");
    AddGood(QStringLiteral("Кабел 3x2,5\r\nмедно жило"), "м", "2,5");
    Main->SpeedButton3->Click();
    ASSERT_FALSE(OrderForm->isVisible());

    SelectGoods(1);
    Stocks->Button1->Click();
    ASSERT_TRUE(OrderForm->isVisible());
    EXPECT_EQ(Lines()->Rows(1).mid(1, 4),
              (QStringList{QStringLiteral("Монтаж"), QStringLiteral("ч."), QStringLiteral("1"), QStringLiteral("40")}));

    // The second addition takes the empty row the first one left, not one more.
    SelectGoods(2);
    Stocks->Button1->Click();
    EXPECT_EQ(Lines()->Rows(2).mid(1, 4),
              (QStringList{QStringLiteral("Кабел 3x2,5"), QStringLiteral("м"), QStringLiteral("1"), QStringLiteral("2,5")}));
    EXPECT_EQ(Lines()->Rows(3).mid(1, 4), (QStringList{QStringLiteral("медно жило"), QString(), QString(), QString()}));
    EXPECT_EQ(Lines()->RowCount(), 5);
    EXPECT_TRUE(Lines()->Cells(1, 4).isEmpty());
    EXPECT_FALSE(OrderForm->ListBox1->Visible());
    EXPECT_TRUE(OrderForm->Save->Enabled());
}

TEST_F(Goods, ListOutOfStepIsRefilledBeforeAdding)
{
    AddGood(QStringLiteral("Алфа"));
    AddGood(QStringLiteral("Бета"));
    AddGood(QStringLiteral("Гама"));
    // Another workplace deletes the first goods; this one re-reads the table without refilling the list.
    {
        auto other = FileTable("stock.db");
        other->First();
        other->Delete();
    }
    DataModule1->stock->Resync();
    ASSERT_EQ(Stocks->StringGrid1->RowCount(), 4);

    Stocks->StringGrid1->SetRow(2);  // "Бета", now record 1
    Stocks->Button1->Click();
    EXPECT_EQ(Lines()->Cells(1, 1), QStringLiteral("Бета"));
    EXPECT_EQ(Stocks->StringGrid1->RowCount(), 3);
    EXPECT_EQ(Stocks->StringGrid1->Row(), 1);

    // Editing from a stale list edits the goods the row showed.
    DataModule1->stock->Resync();
    auto other = FileTable("stock.db");
    other->First();
    other->Delete();
    DataModule1->stock->Resync();
    Stocks->StringGrid1->SetRow(2);  // "Гама", now record 1
    Stocks->EditBtn->Click();
    EXPECT_EQ(EditStockForm->DBMemo1->Text(), QStringLiteral("Гама"));
}

TEST_F(Goods, EmptyRowAddsNothing)
{
    Main->SpeedButton3->Click();
    Stocks->Button1->Click();
    EXPECT_FALSE(OrderForm->isVisible());
}

TEST_F(Goods, EditingWindowPostsDiscardsAndLimits)
{
    AddGood(QStringLiteral("Алфа"));
    Main->SpeedButton3->Click();
    TTable* stock = DataModule1->stock;

    // OK on a new record without description leaves nothing behind.
    Stocks->Button2->Click();
    ASSERT_TRUE(EditStockForm->isVisible());
    EXPECT_EQ(EditStockForm->Label2->Caption(), QStringLiteral("К-во\nсклад"));
    Keys(EditStockForm->DBEdit4->lineEdit(), QStringLiteral("кг."));
    EditStockForm->OKButton->Click();
    EXPECT_FALSE(EditStockForm->isVisible());
    EXPECT_EQ(stock->RecordCount(), 1);
    EXPECT_EQ(stock->State(), TDataSetState::dsBrowse);

    // A new record with a typed quantity outside the combo's items; the unit keeps 5 characters.
    Stocks->Button2->Click();
    Keys(EditStockForm->DBMemo1, QStringLiteral("Бета"));
    Keys(EditStockForm->DBEdit4->lineEdit(), QStringLiteral("пакет6"));
    EXPECT_EQ(EditStockForm->DBEdit4->Text(), QStringLiteral("пакет"));
    Keys(EditStockForm->DBEdit2->lineEdit(), QStringLiteral("3"));
    EditStockForm->OKButton->Click();
    ASSERT_EQ(stock->RecordCount(), 2);
    EXPECT_EQ(stock->FieldByName(QStringLiteral("К-во"))->TextAt(2), QStringLiteral("3"));
    EXPECT_EQ(stock->FieldByName(QStringLiteral("Мярка"))->TextAt(2), QStringLiteral("пакет"));
    EXPECT_EQ(Stocks->StringGrid1->Cells(0, 2), QStringLiteral("Бета"));
    EXPECT_EQ(Stocks->StringGrid1->Row(), 2);

    // Cancel throws away what was typed.
    SelectGoods(1);
    Stocks->EditBtn->Click();
    Keys(EditStockForm->DBEdit5, QStringLiteral("99"));
    EditStockForm->CancelButton->Click();
    EXPECT_EQ(stock->FieldByName(QStringLiteral("Продажна цена"))->TextAt(1), QStringLiteral("10"));
}

TEST_F(Goods, DeletingAsksFirst)
{
    AddGood(QStringLiteral("Алфа"));
    TTable* stock = DataModule1->stock;
    EditStockForm->DBNavigator1->BtnClick(nbDelete);  // the scripted box answers OK, not Yes
    EXPECT_EQ(stock->RecordCount(), 1);
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    TestDialogs().answers.push_back(mrYes);
    EditStockForm->DBNavigator1->BtnClick(nbDelete);
    EXPECT_EQ(stock->RecordCount(), 0);
    EXPECT_TRUE(Stocks->StringGrid1->Cells(0, 1).isEmpty());
}

TEST_F(Goods, EmployeesAskBeforeDeletingAndFeedTheIssuerList)
{
    TTable* e = DataModule1->employee;
    Emp->Show();
    Emp->DBNavigator1->BtnClick(nbInsert);
    Set(e, "Име", QStringLiteral("Мария Иванова"));
    Emp->DBNavigator1->BtnClick(nbPost);

    NewDocument();
    OrderForm->BitBtn7->Click();
    EXPECT_EQ(OrderForm->ListBox1->Items()->List(), QStringList{QStringLiteral("Мария Иванова")});

    Emp->DBNavigator1->BtnClick(nbDelete);
    EXPECT_EQ(e->RecordCount(), 1);
    Emp->DBGrid1->setFocus();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier);
    QApplication::sendEvent(Emp->DBGrid1, &del);
    EXPECT_EQ(e->RecordCount(), 1);
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);
    TestDialogs().answers.push_back(mrYes);
    Emp->DBNavigator1->BtnClick(nbDelete);
    EXPECT_EQ(e->RecordCount(), 0);
}

TEST_F(Goods, AnEmployeeCellStillBeingTypedIsStoredByTheNavigator)
{
    TTable* e = DataModule1->employee;
    Emp->Show();
    TDBGrid* g = Emp->DBGrid1;
    const auto typeInto = [g](int row, int column, const QString& text) {
        g->setCurrentIndex(g->model()->index(row - 1, column));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        static_cast<QAbstractItemView*>(g)->edit(g->model()->index(row - 1, column));
        auto* editor = g->viewport()->findChild<QLineEdit*>();
        EXPECT_NE(editor, nullptr);
        if (editor) {
            editor->selectAll();
            Keys(editor, text);
        }
    };
    const auto press = [](TNavigateBtn b) { Emp->DBNavigator1->Button(b)->click(); };

    // A new row: its name typed, then + for the next one, then ✓.
    press(nbInsert);
    typeInto(1, 0, QStringLiteral("Мария Иванова"));
    press(nbInsert);
    typeInto(2, 0, QStringLiteral("Петър Петров"));
    press(nbPost);
    ASSERT_EQ(e->RecordCount(), 2);
    EXPECT_EQ(e->FieldByName(QStringLiteral("Име"))->TextAt(1), QStringLiteral("Мария Иванова"));
    EXPECT_EQ(e->FieldByName(QStringLiteral("Име"))->TextAt(2), QStringLiteral("Петър Петров"));

    // A date typed into "Нает на" of a stored row.
    typeInto(1, 3, QStringLiteral("01.03.2026"));
    press(nbPost);
    EXPECT_EQ(e->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(e->FieldByName(QStringLiteral("Нает на"))->TextAt(1), QStringLiteral("01.03.2026"));

    // A phone that is no number: the field's message, the row stays in edit, nothing stored.
    typeInto(2, 1, QStringLiteral("08x"));
    press(nbPost);
    EXPECT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(e->State(), TDataSetState::dsEdit);
    EXPECT_EQ(e->FieldByName(QStringLiteral("Телефон"))->TextAt(2), QString());
}

}  // namespace
