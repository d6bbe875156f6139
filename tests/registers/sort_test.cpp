#include "registers/register_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>

namespace {

class SortTest : public RegisterTest {
protected:
    static void Type(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QCoreApplication::sendEvent(w, &press);
    }

    static void Ctrl(QWidget* w, int key, char16_t control) { Type(w, key, QString(QChar(control)), Qt::ControlModifier); }

    // A right click on the panel of the grid's panel-th visible record.
    static void RightClickPanel(int panel)
    {
        TDBCtrlGrid* grid = Sort->DBCtrlGrid1;
        const QPoint at(20, panel * grid->PanelHeight() + grid->PanelHeight() / 2);
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, grid->mapToGlobal(at));
        QCoreApplication::sendEvent(grid, &e);
    }

    static QStringList Hits()
    {
        QStringList items;
        for (int i = 0; i < Sort->ListBox1->count(); ++i)
            items.append(Sort->ListBox1->item(i)->text());
        return items;
    }
};

TEST_F(SortTest, ANumberAndEnterListsEveryKindAndCompanyNewestFirst)
{
    StoredDoc a;
    Store(a);
    StoredDoc b;
    b.num = QStringLiteral("0000000002");
    Store(b);
    StoredDoc c;
    c.kind = QStringLiteral("ПРОФОРМА ФАКТУРА");
    c.company = QStringLiteral("Бета ЕООД");
    Store(c);
    DataModule1->store->SetRecNo(2);
    Sort->Show();

    Type(Sort->Edit1, Qt::Key_A, QStringLiteral("a"));
    Type(Sort->Edit1, Qt::Key_1, QStringLiteral("1"));
    Type(Sort->Edit1, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(Sort->Edit1->Text(), QStringLiteral("1"));
    EXPECT_EQ(Hits(), QStringList({QStringLiteral("0000000001 - ПРОФОРМА ФАКТУРА - Бета ЕООД"),
                                   QStringLiteral("0000000001 - ФАКТУРА - Алфа ООД")}));
    EXPECT_TRUE(Sort->ListBox1->isVisible());
    EXPECT_EQ(Sort->ListBox1->height(), 2 * 14 + 20);
    EXPECT_EQ(DataModule1->store->RecNo(), 2);  // the search does not move the register
    EXPECT_EQ(Sort->DBCtrlGrid1->DataSource(), DataModule1->DataSource6);

    // Choosing a hit makes it the current panel; it is not opened.
    Sort->ListBox1->SetItemIndex(1);
    Sort->ListBox1Click(nullptr);
    EXPECT_EQ(DataModule1->store->RecNo(), 1);
    EXPECT_FALSE(Sort->ListBox1->isVisible());
    EXPECT_FALSE(OrderForm->isVisible());

    // An empty box only hides the list.
    Sort->Edit1->SetText(QString());
    Sort->SpeedButton1->Click();
    EXPECT_FALSE(Sort->ListBox1->isVisible());
}

TEST_F(SortTest, TheHitListGrowsTo515PixelsAndANumberAboveInt32IsFound)
{
    StoredDoc d;
    for (int i = 0; i < 37; ++i)
        Store(d);
    StoredDoc big;
    big.num = QStringLiteral("3000000001");
    Store(big);
    StoredDoc blank;
    blank.num = QString();
    Store(blank);
    Sort->Show();

    Sort->Edit1->SetText(QStringLiteral("1"));
    Sort->SpeedButton1->Click();
    EXPECT_EQ(Sort->ListBox1->count(), 37);
    EXPECT_EQ(Sort->ListBox1->height(), 515);

    Sort->Edit1->SetText(QStringLiteral("3000000001"));
    Sort->SpeedButton1->Click();
    EXPECT_EQ(Hits(), QStringList({QStringLiteral("3000000001 - ФАКТУРА - Алфа ООД")}));
    EXPECT_EQ(Sort->SearchHits, QStringList({QStringLiteral("3000000001 - ФАКТУРА - Алфа ООД@38")}));

    Sort->Edit1->SetText(QStringLiteral("77"));
    Sort->SpeedButton1->Click();
    EXPECT_EQ(Sort->ListBox1->count(), 0);
    EXPECT_EQ(Sort->ListBox1->height(), 20);
    EXPECT_TRUE(Sort->ListBox1->isVisible());
}

TEST_F(SortTest, AnEmptyRegisterGivesAnEmptyHitList)
{
    Sort->Show();
    Sort->Edit1->SetText(QStringLiteral("1"));
    Sort->SpeedButton1->Click();
    EXPECT_TRUE(Sort->ListBox1->isVisible());
    EXPECT_EQ(Sort->ListBox1->count(), 0);
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST_F(SortTest, DeleteAsksAndNoKeepsTheRecord)
{
    StoredDoc d;
    Store(d);
    d.num = QStringLiteral("0000000002");
    Store(d);
    Sort->Show();
    TestDialogs().answers.push_back(mrNo);
    Sort->N2->Click();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("Изтриване на ФАКТУРА № 0000000002?"));
    EXPECT_EQ(TestDialogs().boxes[0].buttons, TMsgButtons::YesNo);  // no Отказ that does what Не does
    EXPECT_EQ(DataModule1->store->RecordCount(), 2);

    TestDialogs().answers.push_back(mrYes);
    Sort->N2->Click();
    EXPECT_EQ(DataModule1->store->RecordCount(), 1);
    EXPECT_EQ(DataModule1->store->FieldByName(QStringLiteral("Num"))->TextAt(1), QStringLiteral("0000000001"));
}

TEST_F(SortTest, AFlagTickedOnThePanelIsStoredAtOnce)
{
    StoredDoc d;
    d.paid = QString();  // older files hold empty flags
    Store(d);
    Sort->Show();
    EXPECT_FALSE(Sort->DBCheckBox1->Checked());
    Sort->DBCheckBox1->click();
    EXPECT_EQ(DataModule1->store->State(), TDataSetState::dsBrowse);
    // What another workplace, or the next start, reads from the file.
    TTable other;
    other.SetDatabaseName(DataModule1->store->DatabaseName());
    other.SetTableName(DataModule1->store->TableName());
    other.Open();
    EXPECT_EQ(other.FieldByName(QStringLiteral("Paid?"))->TextAt(1), QStringLiteral("True"));
}

TEST_F(SortTest, MovesOfTheRegisterLeaveTheFlagsOfTheHiddenWindowUnread)
{
    StoredDoc d;
    for (int i = 0; i < 5; ++i)
        Store(d);
    TTable* store = DataModule1->store;
    int reads = 0;
    for (const char* flag : {"Статус", "Paid?", "Anulirana"})
        store->FieldByName(QString::fromUtf8(flag))->OnGetText = [&](TField* f, QString& text, bool) {
            ++reads;
            text = f->AsString();
        };
    for (int i = 1; i <= store->RecordCount(); ++i)
        store->SetRecNo(i);
    EXPECT_EQ(reads, 0);

    // Asked, a box reads its record's flag.
    EXPECT_TRUE(Sort->DBCheckBox1->Checked());
    EXPECT_EQ(reads, 1);
    for (const char* flag : {"Статус", "Paid?", "Anulirana"})
        store->FieldByName(QString::fromUtf8(flag))->OnGetText = nullptr;
}

TEST_F(SortTest, OpeningARecordThatCannotBeLoadedSaysSo)
{
    StoredDoc d;
    d.num = QStringLiteral("0000000009");
    Store(d);
    TTable* store = DataModule1->store;
    store->Edit();
    Set(store, "Firm.db index", QStringLiteral("x"));
    store->Post();
    Sort->Show();
    Sort->N1->Click();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.startsWith(QStringLiteral("Документът не може да бъде зареден")));
}

TEST_F(SortTest, TheGridPaintsOnlyThePanelsThatFit)
{
    StoredDoc d;
    for (int i = 0; i < 30; ++i)
        Store(d);
    Sort->Show();
    EXPECT_EQ(Sort->DBCtrlGrid1->RowCount(), 11);
    EXPECT_EQ(Sort->DBCtrlGrid1->findChildren<TDBCheckBox*>().size(), 3);
    EXPECT_EQ(Sort->DBCtrlGrid1->PanelRecord(10), 30);
}

TEST_F(SortTest, TheNumberBoxPastesDigitsOnlyAndKeepsItsEditingKeys)
{
    StoredDoc d;
    d.num = QStringLiteral("0000000012");
    Store(d);
    Sort->Show();
    TEdit* box = Sort->Edit1;
    box->setFocus();

    QApplication::clipboard()->setText(QStringLiteral("abc12"));
    Ctrl(box, Qt::Key_V, 22);
    EXPECT_EQ(box->Text(), QStringLiteral("12"));
    Type(box, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_EQ(Hits(), QStringList({QStringLiteral("0000000012 - ФАКТУРА - Алфа ООД")}));

    // The context menu's paste and a middle-click paste insert without keys.
    box->SetText(QString());
    QApplication::clipboard()->setText(QStringLiteral("№ 0000000012 г."));
    box->paste();
    EXPECT_EQ(box->Text(), QStringLiteral("0000000012"));

    Ctrl(box, Qt::Key_A, 1);
    EXPECT_EQ(box->selectedText(), QStringLiteral("0000000012"));
    QApplication::clipboard()->clear();
    Ctrl(box, Qt::Key_C, 3);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("0000000012"));
    Type(box, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(box->Text(), QString());
    Type(box, Qt::Key_B, QStringLiteral("б"));  // typed letters still never reach the box
    EXPECT_EQ(box->Text(), QString());
}

TEST_F(SortTest, AnOldHitListGoesWithTheRegisterAndTheDataFolder)
{
    StoredDoc d;
    Store(d);
    Sort->Show();
    Sort->Edit1->SetText(QStringLiteral("1"));
    Sort->SpeedButton1->Click();
    ASSERT_EQ(Sort->ListBox1->count(), 1);
    Sort->Close();
    EXPECT_FALSE(Sort->ListBox1->isVisible());
    EXPECT_EQ(Sort->ListBox1->count(), 0);
    EXPECT_TRUE(Sort->SearchHits.isEmpty());

    Sort->Show();
    Sort->SpeedButton1->Click();
    ASSERT_EQ(Sort->SearchHits.size(), 1);
    // Another workplace: the hit's record number would name a record of the new folder.
    QTemporaryDir other;
    CreateShippedTables(other.path());
    TestDialogs().folders.push_back(other.path());
    Main->SpeedButton4Click(nullptr);
    ASSERT_EQ(DataModule1->Folder(), other.path());
    EXPECT_FALSE(Sort->ListBox1->isVisible());
    EXPECT_EQ(Sort->ListBox1->count(), 0);
    EXPECT_TRUE(Sort->SearchHits.isEmpty());
}

TEST_F(SortTest, TheMenuActsOnThePanelThatWasRightClicked)
{
    AddSampleCompany();
    StoredDoc d;
    TTable* store = DataModule1->store;
    for (const char* num : {"0000000501", "0000000502", "0000000503"}) {
        d.num = QString::fromUtf8(num);
        Store(d);
        store->Edit();  // what a load needs beside the register's fields
        for (const char* date : {"Дата на данъчното събитие", "Дата на плащане", "Известие от дата"})
            Set(store, date, d.date);
        store->Post();
    }
    store->SetRecNo(1);
    Sort->Show();

    RightClickPanel(2);
    EXPECT_EQ(DataModule1->store->RecNo(), 3);
    EXPECT_TRUE(Sort->PopupMenu1->Menu()->isVisible());
    Sort->PopupMenu1->Menu()->hide();
    TestDialogs().answers.push_back(mrNo);
    Sort->N2->Click();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("Изтриване на ФАКТУРА № 0000000503?"));

    RightClickPanel(1);
    Sort->PopupMenu1->Menu()->hide();
    Sort->N1->Click();
    EXPECT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(OrderForm->isVisible());
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000502"));
}

}  // namespace
