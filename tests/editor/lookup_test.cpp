#include "editor/lookup.h"
#include "editor/money.h"
#include "editor_fixture.h"

#include "platform/keys.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>

#include <sqlite3.h>

namespace {

struct Customer {
    const char* name;
    const char* person = "";
    const char* address = "";
    const char* vat = "";
    const char* id = "";
    const char* contact = "";
};

class Lookup : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        f = OrderForm;
        grid = f->StringGrid1;
    }

    static void AddCustomer(const Customer& c)
    {
        TTable* t = DataModule1->cust;
        t->Append();
        Set(t, "Фирма", QString::fromUtf8(c.name));
        Set(t, "МОЛ", QString::fromUtf8(c.person));
        Set(t, "Адрес", QString::fromUtf8(c.address));
        Set(t, "ИН по ЗДДС", QString::fromUtf8(c.vat));
        Set(t, "Идент №", QString::fromUtf8(c.id));
        Set(t, "Лице", QString::fromUtf8(c.contact));
        t->Post();
    }

    QStringList Items() const { return f->ListBox1->Items()->List(); }

    // Selects a cell as the user does (the selection handler runs).
    void Select(int col, int row)
    {
        grid->SetRow(row);
        grid->SetCol(col);
    }

    // A user's click on list item index.
    void Choose(int index)
    {
        f->ListBox1->SetItemIndex(index);
        f->ListBox1Click(f->ListBox1);
    }

    void Key(WORD key)
    {
        WORD k = key;
        if (key == VK_DOWN)
            f->StringGrid1KeyDown(grid, k, 0);
        else
            f->StringGrid1KeyUp(grid, k, 0);
    }

    TOrderForm* f = nullptr;
    TStringGrid* grid = nullptr;
};

QString Repeat(QChar c, int n) { return QString(n, c); }

}  // namespace

TEST(LookupText, BindingsEntriesAndWrapping)
{
    LookupBinding b = ParseLookupBinding(QStringLiteral("Лице,МОЛ;cust"));
    EXPECT_EQ(b.table, QStringLiteral("cust"));
    EXPECT_EQ(b.field, QStringLiteral("Лице"));
    EXPECT_EQ(b.fallback, QStringLiteral("МОЛ"));
    b = ParseLookupBinding(QStringLiteral("cust"));
    EXPECT_EQ(b.table, QStringLiteral("cust"));
    EXPECT_EQ(b.field, QString());

    EXPECT_EQ(GoodsEntry(QStringLiteral("Болт М8\r\nпоцинкован"), 12), QStringLiteral("Болт М8~12"));
    EXPECT_EQ(GoodsEntry(QString(), 3), QStringLiteral("~3"));
    EXPECT_EQ(GoodsEntryRecNo(QStringLiteral("Кабел 3~5 мм~14")), 14);
    EXPECT_THROW(GoodsEntryRecNo(QStringLiteral("без номер")), EConvertError);

    // Counted in characters here; the editor measures the column.
    const auto upTo = [](int n) { return [n](const QString& t) { return t.size() <= n; }; };
    const QString a84 = Repeat(QLatin1Char('a'), 84);
    EXPECT_EQ(WrapDescription(a84, upTo(84)), QStringList{a84});
    EXPECT_EQ(WrapDescription(a84 + QLatin1Char('b'), upTo(84)), (QStringList{a84, QStringLiteral("b")}));
    // The cut falls at the last blank that keeps the piece fitting, which is dropped.
    const QString words = Repeat(QLatin1Char('x'), 50) + QLatin1Char(' ') + Repeat(QLatin1Char('y'), 30) +
                          QLatin1Char(' ') + Repeat(QLatin1Char('z'), 10);
    EXPECT_EQ(WrapDescription(words, upTo(84)),
              (QStringList{Repeat(QLatin1Char('x'), 50) + QLatin1Char(' ') + Repeat(QLatin1Char('y'), 30),
                           Repeat(QLatin1Char('z'), 10)}));
    EXPECT_EQ(WrapDescription(words, upTo(72)),
              (QStringList{Repeat(QLatin1Char('x'), 50), Repeat(QLatin1Char('y'), 30) + QLatin1Char(' ') +
                                                               Repeat(QLatin1Char('z'), 10)}));
    // A blank right after a piece that just fits breaks there.
    EXPECT_EQ(WrapDescription(QStringLiteral("abcd efgh"), upTo(4)), (QStringList{QStringLiteral("abcd"), QStringLiteral("efgh")}));
    // A word too long for the width is cut inside; each piece moves on.
    EXPECT_EQ(WrapDescription(QStringLiteral("ab abcdefghij"), upTo(4)),
              (QStringList{QStringLiteral("ab"), QStringLiteral("abcd"), QStringLiteral("efgh"), QStringLiteral("ij")}));
    EXPECT_EQ(WrapDescription(QStringLiteral("abc"), upTo(0)), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    // Each line wraps on its own; an empty line stays an empty piece.
    EXPECT_EQ(WrapDescription(QStringLiteral("ред 1\n\nред 3\n"), upTo(84)),
              (QStringList{QStringLiteral("ред 1"), QString(), QStringLiteral("ред 3")}));
    EXPECT_EQ(WrapDescription(QString(), upTo(84)), QStringList());
}

TEST_F(Lookup, TypedPrefixListsMatchingValuesInAnyCase)
{
    for (const char* name : {"Алфа ООД", "Бета Алфа", "алфа-2 ЕТ", "Ал", "АЛФАБЕТ АД", "Alpha"})
        AddCustomer({name});
    NewDocument();
    DataModule1->cust->SetRecNo(4);

    f->Edit1->SetText(QStringLiteral("алф"));
    EXPECT_EQ(Items(), (QStringList{QStringLiteral("Алфа ООД"), QStringLiteral("алфа-2 ЕТ"), QStringLiteral("АЛФАБЕТ АД")}));
    EXPECT_TRUE(f->ListBox1->Visible());
    EXPECT_EQ(f->ListBox1->Hint(), QStringLiteral("Edit1;cust"));
    EXPECT_EQ(f->ListBox1->Left(), f->Edit1->Left());
    EXPECT_EQ(f->ListBox1->Top(), f->Edit1->Top() + f->Edit1->Height());
    EXPECT_EQ(f->ListBox1->Width(), f->Edit1->Width() + 17);
    EXPECT_EQ(f->ListBox1->Height(), 4 * 14);
    EXPECT_EQ(DataModule1->cust->RecNo(), 1);
    EXPECT_TRUE(f->Save->Enabled());

    f->Edit1->SetText(QStringLiteral("alpha"));
    EXPECT_EQ(Items(), QStringList{QStringLiteral("Alpha")});
    f->Edit1->SetText(QStringLiteral("алфаз"));
    EXPECT_FALSE(f->ListBox1->Visible());
    f->Edit1->SetText(QStringLiteral("а"));
    EXPECT_TRUE(f->ListBox1->Visible());
    f->Edit1->SetText(QString());
    EXPECT_FALSE(f->ListBox1->Visible());
    EXPECT_TRUE(Items().isEmpty());
}

TEST_F(Lookup, ListHeightsAreCapped)
{
    for (int i = 0; i < 11; ++i)
        AddCustomer({i < 9 ? "Девет" : "Друг"});
    for (int i = 0; i < 8; ++i)
        AddGood(QStringLiteral("Стока %1").arg(i));
    NewDocument();

    f->Edit1->SetText(QStringLiteral("Девет"));
    EXPECT_EQ(f->ListBox1->Height(), 140);
    f->Edit1->SetText(QStringLiteral("Д"));
    EXPECT_EQ(Items().size(), 11);
    EXPECT_EQ(f->ListBox1->Height(), 150);
    // The list button lists every record.
    f->SpeedButton1->Click();
    EXPECT_EQ(Items().size(), 11);
    EXPECT_EQ(f->ListBox1->Height(), 150);
    EXPECT_EQ(DataModule1->cust->RecNo(), 11);

    Select(1, 1);
    f->StringGrid1Button->Click();
    EXPECT_EQ(Items().size(), 8);
    EXPECT_EQ(f->ListBox1->Height(), 100);
    EXPECT_EQ(f->ListBox1->Color(), RGB(255, 255, 155));
    EXPECT_EQ(f->ListBox1->Width(), grid->CellRect(1, 1).width());
    EXPECT_EQ(f->ListBox1->Top(), grid->CellRect(1, 2).y() + grid->Top());
    grid->SetCells(1, 1, QStringLiteral("стока 1"));
    f->FilterGoodsList();
    EXPECT_EQ(Items(), QStringList{QStringLiteral("Стока 1~2")});
    EXPECT_EQ(f->ListBox1->Height(), 100);  // the full list's height stays
    DataModule1->stock->Last();
    DataModule1->stock->Delete();
    DataModule1->stock->Last();
    DataModule1->stock->Delete();
    f->StringGrid1Button->Click();
    EXPECT_EQ(f->ListBox1->Height(), 98);
}

TEST_F(Lookup, ChosenCustomerFillsTheBlockFromItsOwnRecord)
{
    AddCustomer({"Първа ООД", "Иван Петров", "София", "BG111", "123456786", ""});
    AddCustomer({"Втора ЕТ", "Иван Петров", "Пловдив", "BG222", "000000047", "Мария"});
    NewDocument();

    f->Edit2->SetText(QStringLiteral("иван"));
    ASSERT_EQ(Items(), (QStringList{QStringLiteral("Иван Петров"), QStringLiteral("Иван Петров")}));
    Choose(1);
    EXPECT_EQ(f->Edit1->Text(), QStringLiteral("Втора ЕТ"));
    EXPECT_EQ(f->Edit2->Text(), QStringLiteral("Иван Петров"));
    EXPECT_EQ(f->Edit3->Text(), QStringLiteral("Пловдив"));
    EXPECT_EQ(f->Edit6->Text(), QStringLiteral("BG222"));
    EXPECT_EQ(f->Edit7->Text(), QStringLiteral("000000047"));
    EXPECT_EQ(f->Edit8->Text(), QStringLiteral("Мария"));  // Лице when it is filled
    EXPECT_EQ(f->Label1->Caption(), QStringLiteral("Валиден"));
    EXPECT_EQ(DataModule1->cust->RecNo(), 2);

    f->Edit2->SetText(QStringLiteral("Иван"));
    Choose(0);
    EXPECT_EQ(f->Edit1->Text(), QStringLiteral("Първа ООД"));
    EXPECT_EQ(f->Edit3->Text(), QStringLiteral("София"));
    EXPECT_EQ(f->Edit8->Text(), QStringLiteral("Иван Петров"));  // else МОЛ
    // The list serves the last customer edit whose text changed.
    EXPECT_EQ(f->ListBox1->Hint(), QStringLiteral("Edit7;cust"));
    EXPECT_TRUE(f->ListBox1->Visible());
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST_F(Lookup, IssuerListComesFromTheEmployees)
{
    TTable* e = DataModule1->employee;
    for (const char* name : {"Мария Иванова", "Милен Колев", "Петя Димова"}) {
        e->Append();
        Set(e, "Име", QString::fromUtf8(name));
        e->Post();
    }
    NewDocument();
    f->BitBtn7->Click();
    EXPECT_EQ(Items().size(), 3);
    EXPECT_EQ(f->ListBox1->Hint(), QStringLiteral("Edit10;employee"));
    EXPECT_EQ(f->ListBox1->Left(), f->Edit10->Left());
    Choose(2);
    EXPECT_EQ(f->Edit10->Text(), QStringLiteral("Петя Димова"));
    f->Edit10->SetText(QStringLiteral("м"));
    EXPECT_EQ(Items(), (QStringList{QStringLiteral("Мария Иванова"), QStringLiteral("Милен Колев")}));
}

TEST_F(Lookup, ChosenGoodFillsItsLineAndRecalculates)
{
    AddGood(QStringLiteral("Болт М8\r\nпоцинкован, клас 8.8"), "бр.", "0,125");
    AddGood(QStringLiteral("Услуга"), "ч.", "40");
    NewDocument();
    Select(1, 1);
    EXPECT_TRUE(f->StringGrid1Button->Visible());
    f->StringGrid1Button->Click();
    ASSERT_EQ(Items(), (QStringList{QStringLiteral("Болт М8~1"), QStringLiteral("Услуга~2")}));
    EXPECT_EQ(DataModule1->stock->RecNo(), 2);

    Choose(0);
    EXPECT_FALSE(f->ListBox1->Visible());
    // Typing after a choice must not land in another control.
    EXPECT_EQ(f->ListBox1->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->Rows(1), (QStringList{QStringLiteral("1"), QStringLiteral("Болт М8"), QStringLiteral("бр."),
                                          QStringLiteral("1"), QStringLiteral("0,125"), QStringLiteral("0,13")}));
    EXPECT_EQ(grid->Rows(2), (QStringList{QString(), QStringLiteral("поцинкован, клас 8.8"), QString(), QString(),
                                          QString(), QString()}));
    EXPECT_EQ(grid->Rows(3), QStringList(6, QString()));
    EXPECT_EQ(f->Label7->Caption(), QStringLiteral("0,13"));
    EXPECT_EQ(f->Label11->Caption(), QStringLiteral("0,16"));
    EXPECT_TRUE(f->Save->Enabled());

    // Typing narrows the list: the number after '~' counts too.
    Select(1, 3);
    grid->SetCells(1, 3, QStringLiteral("2"));
    f->StringGrid1SetEditText(grid, 1, 3, QStringLiteral("2"));
    EXPECT_EQ(Items(), QStringList{QStringLiteral("Услуга~2")});
    grid->SetCells(1, 3, QStringLiteral("УСЛ"));
    f->StringGrid1SetEditText(grid, 1, 3, QStringLiteral("УСЛ"));
    EXPECT_EQ(Items(), QStringList{QStringLiteral("Услуга~2")});
    grid->SetCells(1, 3, QStringLiteral("няма"));
    f->StringGrid1SetEditText(grid, 1, 3, QStringLiteral("няма"));
    EXPECT_TRUE(Items().isEmpty());
    EXPECT_TRUE(f->ListBox1->Visible());  // open and empty
    grid->SetCells(1, 3, QString());
    f->StringGrid1SetEditText(grid, 1, 3, QString());
    EXPECT_FALSE(f->ListBox1->Visible());
}

TEST_F(Lookup, TypingInTheDescriptionCellFiltersTheGoods)
{
    AddGood(QStringLiteral("Кабел"));
    AddGood(QStringLiteral("Контакт"));
    NewDocument();
    Select(1, 1);
    QLineEdit* editor = grid->InplaceEditor();
    ASSERT_NE(editor, nullptr);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("к"));
    QApplication::sendEvent(editor, &press);
    QKeyEvent press2(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("о"));
    QApplication::sendEvent(editor, &press2);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("ко"));
    EXPECT_EQ(Items(), QStringList{QStringLiteral("Контакт~2")});
    EXPECT_TRUE(f->ListBox1->Visible());
}

TEST_F(Lookup, ContinuationRowsFollowTheChosenRow)
{
    AddGood(QStringLiteral("Първи ред\nвтори ред"), "м", "2");
    NewDocument();
    grid->SetRowCount(4);
    grid->SetCells(1, 1, QStringLiteral("Горе"));
    grid->SetCells(3, 1, QStringLiteral("1"));
    grid->SetCells(4, 1, QStringLiteral("5"));
    grid->SetCells(1, 3, QStringLiteral("Долу"));
    grid->SetCells(3, 3, QStringLiteral("3"));
    grid->SetCells(4, 3, QStringLiteral("1"));
    Select(1, 2);
    f->StringGrid1Button->Click();
    Choose(0);

    ASSERT_EQ(grid->RowCount(), 6);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("Горе"));
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("Първи ред"));
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("м"));
    EXPECT_EQ(grid->Cells(5, 2), QStringLiteral("2,00"));
    EXPECT_EQ(grid->Cells(1, 3), QStringLiteral("втори ред"));
    EXPECT_EQ(grid->Cells(5, 3), QString());
    EXPECT_EQ(grid->Rows(4), (QStringList{QStringLiteral("3"), QStringLiteral("Долу"), QString(),
                                          QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("3,00")}));
    EXPECT_EQ(grid->Rows(5), QStringList(6, QString()));
    EXPECT_EQ(grid->Cells(0, 2), QStringLiteral("2"));
    EXPECT_EQ(f->Label7->Caption(), QStringLiteral("10,00"));
}

// Every description cell shows whole in both lines grids; the pieces from
// row first on are the description's words in order.
static void ExpectWholeDescription(TStringGrid* grid, int first, const QString& description, const char* what)
{
    QStringList pieces;
    // The continuation rows have no price.
    for (int r = first; r < grid->RowCount() && !grid->Cells(1, r).isEmpty() && (r == first || grid->Cells(4, r).isEmpty());
         ++r) {
        const QString cell = grid->Cells(1, r);
        EXPECT_TRUE(OrderForm->DescriptionFits(cell)) << what << ": " << cell.toStdString();
        for (TStringGrid* g : {grid, Doc->StringGrid2})
            EXPECT_LE(QFontMetrics(g->font()).horizontalAdvance(cell), g->ColWidths(1) - 2) << what << r;
        pieces << cell;
    }
    EXPECT_GT(pieces.size(), 1) << what;
    EXPECT_EQ(pieces.join(QLatin1Char(' ')), description) << what;
}

TEST_F(Lookup, DescriptionsAreWrappedByTheMeasuredWidthOfTheColumn)
{
    // 84 capitals measure far more than the description column.
    QString capitals;
    while (capitals.size() < 84)
        capitals += QStringLiteral("ЖЕЛЕЗОБЕТОННА ШУМОЗАЩИТНА КОНСТРУКЦИЯ ");
    capitals = capitals.left(84).trimmed();
    // 90 narrow letters fit on one line.
    const QString narrow = Repeat(QLatin1Char('i'), 40) + QLatin1Char(' ') + Repeat(QLatin1Char('l'), 49);
    AddGood(capitals, "м", "2");
    AddGood(narrow, "бр.", "3");

    NewDocument();
    Select(1, 1);
    f->StringGrid1Button->Click();
    Choose(0);
    ExpectWholeDescription(grid, 1, capitals, "six columns");
    const int goodsRows = grid->RowCount() - 2;
    Select(1, grid->RowCount() - 1);
    f->StringGrid1Button->Click();
    Choose(1);
    EXPECT_EQ(grid->Cells(1, goodsRows + 1), narrow);
    EXPECT_EQ(grid->Cells(4, goodsRows + 1), QStringLiteral("3"));
    const QString payable = f->Label11->Caption();

    // The narrower column of the discount breaks the lines again, right under their row.
    f->CheckBox7->SetChecked(true);
    ExpectWholeDescription(grid, 1, capitals, "discount turned on");
    EXPECT_EQ(grid->Cells(4, 1), QStringLiteral("2"));
    int narrowRow = 0;
    for (int r = 1; r < grid->RowCount(); ++r)
        if (grid->Cells(4, r) == QStringLiteral("3"))
            narrowRow = r;
    ASSERT_GT(narrowRow, goodsRows);
    EXPECT_EQ(grid->Cells(1, narrowRow), narrow);
    EXPECT_EQ(f->Label11->Caption(), payable);

    f->CheckBox8->SetChecked(true);
    ExpectWholeDescription(grid, 1, capitals, "bold lines");

    TestDialogs().answers.push_back(mrNo);  // the unsaved lines go
    NewDocument();
    f->CheckBox7->SetChecked(true);
    Select(1, 1);
    f->StringGrid1Button->Click();
    Choose(0);
    ExpectWholeDescription(grid, 1, capitals, "seven columns");
    EXPECT_EQ(grid->Cells(6, 1), QStringLiteral("2,00"));
}

TEST_F(Lookup, TildeInTheDescriptionAndEmptyDescriptions)
{
    AddGood(QStringLiteral("Профил ~ 40х40"), "м", "3");
    AddGood(QString(), "бр.", "7");
    NewDocument();
    Select(1, 1);
    EXPECT_NO_THROW(f->StringGrid1Button->Click());
    ASSERT_EQ(Items(), (QStringList{QStringLiteral("Профил ~ 40х40~1"), QStringLiteral("~2")}));
    EXPECT_TRUE(f->ListBox1->Visible());
    Choose(0);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("Профил ~ 40х40"));
    EXPECT_EQ(grid->Cells(4, 1), QStringLiteral("3"));

    Select(1, 2);
    f->StringGrid1Button->Click();
    Choose(1);
    EXPECT_EQ(grid->Cells(1, 2), QString());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("бр."));
    EXPECT_EQ(grid->Cells(5, 2), QStringLiteral("7,00"));
    EXPECT_EQ(grid->RowCount(), 4);

    // A good deleted while listed: choosing it only hides the list.
    Select(1, 3);
    f->StringGrid1Button->Click();
    DataModule1->stock->Last();
    DataModule1->stock->Delete();
    EXPECT_NO_THROW(Choose(1));
    EXPECT_FALSE(f->ListBox1->Visible());
    EXPECT_EQ(grid->Rows(3), QStringList(6, QString()));
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST_F(Lookup, DownAndUpMoveTheListOrAddAndDropRows)
{
    AddGood(QStringLiteral("Първа"));
    AddGood(QStringLiteral("Втора"));
    AddGood(QStringLiteral("Трета"));
    NewDocument();
    Select(1, 1);

    // An empty last row gets no row after it.
    Key(VK_DOWN);
    EXPECT_EQ(grid->RowCount(), 2);
    grid->SetCells(1, 1, QStringLiteral("текст"));
    Key(VK_DOWN);
    EXPECT_EQ(grid->RowCount(), 3);
    Key(VK_DOWN);  // not on the last row
    EXPECT_EQ(grid->RowCount(), 3);
    // Up drops an empty last row, but header and one line always remain.
    Key(VK_UP);
    EXPECT_EQ(grid->RowCount(), 2);
    grid->SetCells(1, 1, QString());
    Key(VK_UP);
    EXPECT_EQ(grid->RowCount(), 2);

    // With the list open the keys move its selection.
    f->StringGrid1Button->Click();
    ASSERT_TRUE(f->ListBox1->Visible());
    Key(VK_DOWN);
    EXPECT_EQ(f->ListBox1->ItemIndex(), 0);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(f->ListBox1->ItemIndex(), 2);
    Key(VK_DOWN);
    EXPECT_EQ(f->ListBox1->ItemIndex(), 0);
    Key(VK_UP);
    EXPECT_EQ(f->ListBox1->ItemIndex(), 0);
    Key(VK_DOWN);
    Key(VK_UP);
    EXPECT_EQ(f->ListBox1->ItemIndex(), 0);
    EXPECT_EQ(grid->RowCount(), 2);
}

TEST_F(Lookup, AGoodsPriceIsReadWithBlanksAroundAndOtherwiseRefused)
{
    AddGood(QStringLiteral("Кабел"), "м", "1");
    AddGood(QStringLiteral("Шестнайсетично"), "бр.", "1");
    AddGood(QStringLiteral("Безкрайно"), "бр.", "1");
    AddGood(QStringLiteral("Точка"), "бр.", "1");
    // Prices as another program wrote them into the file, as text.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(Path("DB/stock.db")).constData(), &db), SQLITE_OK);
    const char* prices[] = {"  12,30 ", "0x1F", "∞", " 2.5"};
    for (int i = 0; i < 4; ++i) {
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "UPDATE records SET \"Продажна цена\" = ?1 WHERE rowid = ?2", -1, &st, nullptr),
                  SQLITE_OK);
        sqlite3_bind_text(st, 1, prices[i], -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 2, i + 1);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    DataModule1->stock->Resync();
    NewDocument();

    const auto choose = [this](int row, int good) {
        ResetTestDialogs();
        Select(1, row);
        f->StringGrid1Button->Click();
        Choose(good);
    };
    choose(1, 0);
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("Кабел"));
    EXPECT_EQ(NormalizeDecimalText(grid->Cells(4, 1)), QStringLiteral("12,3")) << grid->Cells(4, 1).toStdString();
    EXPECT_EQ(grid->Cells(5, 1), QStringLiteral("12,30"));
    EXPECT_EQ(f->Label11->Caption(), QStringLiteral("14,76"));

    // Not a number: the number message, and the line is left as it was.
    for (int good : {1, 2}) {
        choose(2, good);
        ASSERT_EQ(TestDialogs().boxes.size(), 1u) << good;
        EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QString::fromUtf8(prices[good]))) << good;
        EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("Въведете число"))) << good;
        EXPECT_EQ(grid->Rows(2), QStringList(6, QString())) << good;
        EXPECT_FALSE(f->ListBox1->Visible());
    }
    EXPECT_EQ(f->Label11->Caption(), QStringLiteral("14,76"));

    choose(2, 3);
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_EQ(grid->Cells(5, 2), QStringLiteral("2,50"));
}
