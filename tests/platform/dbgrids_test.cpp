// The data grid and the control grid, driven by real mouse and key events.
#include "platform/dbgrids.h"

#include "platform/db_support.h"
#include "platform/dbctrls.h"
#include "support/keys.h"
#include "support/test_env.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

const QString kNo = QStringLiteral("Клиент №");
const QString kFirm = QStringLiteral("Фирма");
const QString kPhone = QStringLiteral("Телефон");
const QString kNote = QStringLiteral("Бележка");

std::unique_ptr<TTable> Customers(const QString& folder, int count)
{
    auto t = NewTable(folder, QStringLiteral("cust.db"),
                      {{kNo, TFieldType::ftFloat, 0},
                       {kFirm, TFieldType::ftString, 30},
                       {kPhone, TFieldType::ftString, 15},
                       {kNote, TFieldType::ftMemo, 1}});
    for (int i = 1; i <= count; ++i)
        AddRecord(*t, {{kNo, QString::number(i)}, {kFirm, QStringLiteral("Фирма %1").arg(i)},
                       {kPhone, QStringLiteral("0%1").arg(i)}});
    t->First();
    return t;
}

void Mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &e);
}

void ClickAt(QWidget* target, QPoint at)
{
    Mouse(target, QEvent::MouseButtonPress, at);
    Mouse(target, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

// A click on a cell (1-based row, 0-based column).
void ClickCell(TDBGrid& g, int row, int column)
{
    ClickAt(g.viewport(), g.visualRect(g.model()->index(row - 1, column)).center());
}

QStringList Titles(TDBGrid& g)
{
    QStringList out;
    for (int i = 0; i < g.Columns()->Count(); ++i)
        out << g.Columns()->Items(i)->Title();
    return out;
}

}  // namespace

// ---- Data grid ----

TEST(DataGrid, RowsAreRecordsAndColumnsAreFieldsOrItsOwnList)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), 4);
    t->FieldByName(kNote)->SetVisible(false);
    TDataSource ds;
    ds.SetDataSet(t.get());
    TDBGrid grid;
    grid.resize(400, 200);
    grid.SetDataSource(&ds);

    EXPECT_FALSE(grid.Columns()->Customized());
    EXPECT_EQ(Titles(grid), (QStringList{kNo, kFirm, kPhone}));  // every visible field, in table order
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(grid.CellText(2, 1), QStringLiteral("Фирма 2"));
    EXPECT_EQ(grid.CellText(4, 2), QStringLiteral("04"));
    EXPECT_EQ(grid.CurrentRow(), 1);
    t->SetRecNo(3);
    EXPECT_EQ(grid.CurrentRow(), 3);

    // Append adds the new row and makes it current; Cancel takes it away.
    t->Append();
    EXPECT_EQ(grid.model()->rowCount(), 5);
    EXPECT_EQ(grid.CurrentRow(), 5);
    t->Cancel();
    EXPECT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(grid.CurrentRow(), 3);

    // Detached or closed: no rows.
    grid.SetDataSource(nullptr);
    EXPECT_EQ(grid.model()->rowCount(), 0);
    t->SetRecNo(2);
    grid.SetDataSource(&ds);
    EXPECT_EQ(grid.CurrentRow(), 2);
    t->Close();
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.Columns()->Count(), 0);
    t->Open();
    EXPECT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(grid.Columns()->Count(), 3);

    // The design's own columns: titles, widths, read-only.
    grid.setProperty("Columns", QStringLiteral("Клиент №|№|43;Фирма||192|ReadOnly;Телефон||86"));
    grid.setProperty("Options", QStringLiteral("dgEditing|dgTitles|dgColLines"));
    grid.setProperty("FixedColor", QStringLiteral("15658734"));
    grid.setProperty("BorderStyle", QStringLiteral("bsNone"));
    grid.LoadDesignProperties();
    EXPECT_TRUE(grid.Columns()->Customized());
    EXPECT_EQ(Titles(grid), (QStringList{QStringLiteral("№"), kFirm, kPhone}));
    EXPECT_EQ(grid.Columns()->Items(0)->Width(), 43);
    EXPECT_EQ(grid.horizontalHeader()->sectionSize(1), 192);
    EXPECT_TRUE(grid.Columns()->Items(1)->ReadOnly());
    EXPECT_EQ(grid.Options(), TDBGridOptions(dgEditing | dgTitles | dgColLines));
    EXPECT_EQ(grid.FixedColor(), RGB(238, 238, 238));
    EXPECT_EQ(grid.BorderStyle(), bsNone);
    EXPECT_TRUE(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 1)) & Qt::ItemIsEditable);  // read-only column
    grid.SetOptions(dgTitles | dgRowSelect);
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(grid.CellText(3, 0), QStringLiteral("3"));
}

TEST(DataGrid, AWalkIsFollowedWhenTheGridIsPaintedOrAsked)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), 30);
    TDataSource ds;
    ds.SetDataSet(t.get());
    TDBGrid grid;
    grid.resize(400, 120);
    grid.SetDataSource(&ds);
    grid.show();
    QCoreApplication::processEvents();
    for (int i = 1; i <= 30; ++i)
        t->SetRecNo(i);
    t->SetRecNo(25);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.currentIndex().row(), 24);  // painted: the row is current and in view
    EXPECT_TRUE(grid.viewport()->rect().intersects(grid.visualRect(grid.currentIndex())));

    // A field hidden meanwhile is gone from the columns when they are asked for.
    t->SetRecNo(2);
    t->FieldByName(kNote)->SetVisible(false);
    t->SetRecNo(3);
    EXPECT_EQ(Titles(grid), (QStringList{kNo, kFirm, kPhone}));
    EXPECT_EQ(grid.CurrentRow(), 3);
}

TEST(DataGrid, CellClickRunsAfterTheMoveAndKeyDownBefore)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), 6);
    TDataSource ds;
    ds.SetDataSet(t.get());
    TDBGrid grid;
    grid.resize(400, 220);
    grid.SetDataSource(&ds);
    grid.show();
    QStringList seen;
    grid.OnCellClick = [&](TColumn* c) {
        seen << QStringLiteral("click rec=%1 col=%2 %3").arg(t->RecNo()).arg(c->Index()).arg(c->FieldName());
    };
    grid.OnKeyDown = [&](TObject* s, WORD& key, TShiftState) {
        EXPECT_EQ(s, &grid);
        seen << QStringLiteral("key %1 rec=%2").arg(key).arg(t->RecNo());
        if (key == VK_UP)
            key = 0;  // swallowed
    };
    int doubles = 0;
    grid.OnDblClick = [&](TObject*) { ++doubles; };

    ClickCell(grid, 3, 1);
    TypeKey(&grid, Qt::Key_Down);
    EXPECT_EQ(t->RecNo(), 4);
    TypeKey(&grid, Qt::Key_Up);
    EXPECT_EQ(t->RecNo(), 4);
    ClickCell(grid, 1, 0);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("click rec=3 col=1 Фирма"), QStringLiteral("key 40 rec=3"),
                                 QStringLiteral("key 38 rec=4"), QStringLiteral("click rec=1 col=0 Клиент №")}));
    Mouse(grid.viewport(), QEvent::MouseButtonDblClick, grid.visualRect(grid.model()->index(1, 0)).center());
    EXPECT_EQ(doubles, 1);
}

TEST(DataGrid, EditsAreWrittenAndPostedWhenTheGridMovesToAnotherRow)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), 4);
    TDataSource ds;
    ds.SetDataSet(t.get());
    EventLog log;
    log.Attach(*t);
    TDBGrid grid;
    grid.resize(400, 200);
    grid.SetDataSource(&ds);
    grid.show();

    ClickCell(grid, 2, 1);
    log.events.clear();
    static_cast<QAbstractItemView&>(grid).edit(grid.model()->index(1, 1));
    auto* editor = grid.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);  // opening the editor edits nothing yet
    editor->selectAll();
    TypeKey(editor, Qt::Key_unknown, QStringLiteral("Н"));
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    TypeKey(editor, Qt::Key_unknown, QStringLiteral("ова"));
    ClickCell(grid, 4, 1);  // commits the cell, then the move posts it
    EXPECT_EQ(t->RecNo(), 4);
    EXPECT_EQ(log.Count(QStringLiteral("post")), 1);
    EXPECT_EQ(t->FieldByName(kFirm)->TextAt(2), QStringLiteral("Нова"));
    auto reread = OpenTable(dir.path(), QStringLiteral("cust.db"));
    EXPECT_EQ(reread->FieldByName(kFirm)->TextAt(2), QStringLiteral("Нова"));

    // An editor left without a change writes and posts nothing.
    static_cast<QAbstractItemView&>(grid).edit(grid.model()->index(3, 2));
    ClickCell(grid, 1, 2);
    EXPECT_EQ(log.Count(QStringLiteral("post")), 1);
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);

    // A value the field refuses is shown as an error and nothing is written.
    ResetTestDialogs();
    EXPECT_FALSE(grid.model()->setData(grid.model()->index(0, 0), QStringLiteral("x1"), Qt::EditRole));
    EXPECT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(t->FieldByName(kNo)->Text(), QStringLiteral("1"));

    // A cell written through the grid stays pending until the move.
    EXPECT_TRUE(grid.model()->setData(grid.model()->index(0, 2), QStringLiteral("555"), Qt::EditRole));
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    EXPECT_EQ(grid.CellText(1, 2), QStringLiteral("555"));
    TypeKey(&grid, Qt::Key_Down);
    EXPECT_EQ(log.Count(QStringLiteral("post")), 2);
    EXPECT_EQ(t->FieldByName(kPhone)->TextAt(1), QStringLiteral("555"));

    // Read-only grids open no editor.
    grid.SetOptions(DefaultDBGridOptions | dgReadOnly);
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 2)) & Qt::ItemIsEditable);
}

// A shown grid on a customer table of count records.
struct ShownGrid {
    explicit ShownGrid(int count) : t(Customers(dir.path(), count))
    {
        ds.SetDataSet(t.get());
        grid.resize(400, 200);
        grid.SetDataSource(&ds);
        grid.show();
    }
    QTemporaryDir dir;
    std::unique_ptr<TTable> t;
    TDataSource ds;
    TDBGrid grid;
};

// What an open cell shows is what the record gets, whatever posts it.
TEST(DataGrid, APostTakesTheOpenCellAndARefusedTextKeepsItOpen)
{
    ShownGrid g(3);
    TTable* t = g.t.get();
    TDBGrid& grid = g.grid;
    const QString folder = g.dir.path();
    ResetTestDialogs();
    const auto typeInto = [&](int row, int column, const QString& text) {
        ClickCell(grid, row, column);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // closed editors
        static_cast<QAbstractItemView&>(grid).edit(grid.model()->index(row - 1, column));
        auto* editor = grid.viewport()->findChild<QLineEdit*>();
        EXPECT_NE(editor, nullptr);
        if (!editor)
            return static_cast<QLineEdit*>(nullptr);
        editor->selectAll();
        TypeKey(editor, Qt::Key_unknown, text);
        return editor;
    };

    // The post of the record (the navigator's ✓) with the cell still open.
    typeInto(2, 2, QStringLiteral("0888"));
    t->Post();
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(OpenTable(folder, QStringLiteral("cust.db"))->FieldByName(kPhone)->TextAt(2), QStringLiteral("0888"));

    // A new row, posted by the next append (the navigator's +).
    t->Append();
    typeInto(4, 1, QStringLiteral("Нова"));
    t->Append();
    EXPECT_EQ(t->RecordCount(), 4);
    EXPECT_EQ(t->FieldByName(kFirm)->TextAt(4), QStringLiteral("Нова"));
    t->Cancel();

    // A move by code posts the open cell too.
    typeInto(1, 1, QStringLiteral("Първа"));
    t->SetRecNo(3);
    EXPECT_EQ(t->FieldByName(kFirm)->TextAt(1), QStringLiteral("Първа"));

    // A text the field refuses: its message, the cell stays open, nothing posted.
    QLineEdit* editor = typeInto(3, 0, QStringLiteral("x1"));
    EXPECT_THROW(t->Post(), EConvertError);
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    EXPECT_EQ(grid.viewport()->findChild<QLineEdit*>(), editor);
    EXPECT_EQ(t->FieldByName(kNo)->TextAt(3), QStringLiteral("3"));
    // Moving away with the keys neither: the row stays, the cell stays open.
    TypeKey(editor, Qt::Key_Up);
    EXPECT_EQ(t->RecNo(), 3);
    EXPECT_EQ(grid.CurrentRow(), 3);
    EXPECT_EQ(TestDialogs().boxes.size(), 1u);
    ASSERT_EQ(grid.viewport()->findChild<QLineEdit*>(), editor);
    EXPECT_EQ(editor->text(), QStringLiteral("x1"));
    // Corrected, it is posted like any other.
    editor->setText(QStringLiteral("33"));
    t->Post();
    EXPECT_EQ(OpenTable(folder, QStringLiteral("cust.db"))->FieldByName(kNo)->TextAt(3), QStringLiteral("33"));
}

TEST(DataGrid, AClickThatDropsAnUntouchedNewRowTypesIntoTheClickedCell)
{
    ShownGrid g(2);
    TTable* t = g.t.get();
    TDBGrid& grid = g.grid;
    t->Append();
    ASSERT_EQ(grid.RowCount(), 3);

    ClickCell(grid, 1, 2);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_EQ(grid.SelectedIndex(), 2);
    TypeKey(&grid, Qt::Key_0, QStringLiteral("0"));
    TypeKey(grid.viewport()->findChild<QLineEdit*>(), Qt::Key_unknown, QStringLiteral("88"));
    t->Post();
    EXPECT_EQ(t->FieldByName(kPhone)->TextAt(1), QStringLiteral("088"));
    EXPECT_EQ(t->FieldByName(kFirm)->TextAt(1), QStringLiteral("Фирма 1"));
}

namespace {

// Refuses every post while armed, as a window's own check of a record does.
class RefusingLink : public TDataLink {
public:
    bool armed = false;
    void RecordChanged() override {}
    void UpdateData() override
    {
        if (armed)
            throw EDatabaseError(QStringLiteral("Отказано."));
    }
};

std::vector<int> HighlightedRows(TDBGrid& grid)
{
    std::vector<int> rows;
    for (const QModelIndex& i : grid.selectionModel()->selectedIndexes())
        if (std::find(rows.begin(), rows.end(), i.row() + 1) == rows.end())
            rows.push_back(i.row() + 1);
    return rows;
}

}  // namespace

TEST(DataGrid, TheHighlightStaysOnTheCurrentRecordAfterARefusedMoveOrAMoveByCode)
{
    for (TDBGridOptions options : {DefaultDBGridOptions | dgAlwaysShowSelection | dgMultiSelect,
                                   TDBGridOptions(dgTitles | dgRowSelect | dgAlwaysShowSelection)}) {
        ShownGrid g(5);
        TTable* t = g.t.get();
        TDBGrid& grid = g.grid;
        grid.SetOptions(options);
        RefusingLink refusing;
        refusing.SetDataSource(&g.ds);
        ResetTestDialogs();

        t->SetRecNo(2);
        QCoreApplication::processEvents();
        t->Edit();
        t->FieldByName(kFirm)->SetText(QStringLiteral("Нова"));
        refusing.armed = true;
        ClickCell(grid, 4, 1);
        EXPECT_EQ(TestDialogs().boxes.size(), 1u);
        EXPECT_EQ(t->RecNo(), 2);
        EXPECT_EQ(grid.currentIndex().row(), 1);
        EXPECT_EQ(HighlightedRows(grid), std::vector<int>{2});
        TypeKey(&grid, Qt::Key_Down);
        EXPECT_EQ(t->RecNo(), 2);
        EXPECT_EQ(HighlightedRows(grid), std::vector<int>{2});

        // Moved by code, shown or hidden meanwhile.
        refusing.armed = false;
        t->Post();
        t->SetRecNo(5);
        QCoreApplication::processEvents();
        EXPECT_EQ(HighlightedRows(grid), std::vector<int>{5});
        grid.hide();
        t->SetRecNo(3);
        grid.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(HighlightedRows(grid), std::vector<int>{3});
    }
}

TEST(DataGrid, DeleteAppendAndCancelKeys)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), 3);
    TDataSource ds;
    ds.SetDataSet(t.get());
    TDBGrid grid;
    grid.resize(400, 200);
    grid.SetDataSource(&ds);
    ResetTestDialogs();

    // Ctrl+Delete asks first (dgConfirmDelete is a default option).
    TestDialogs().answers = {mrNo};
    TypeKey(&grid, Qt::Key_Delete, {}, Qt::ControlModifier);
    EXPECT_EQ(t->RecordCount(), 3);
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("Изтриване на записа?"));
    TestDialogs().answers = {mrYes};
    TypeKey(&grid, Qt::Key_Delete, {}, Qt::ControlModifier);
    EXPECT_EQ(t->RecordCount(), 2);
    grid.SetOptions(grid.Options() & ~dgConfirmDelete);
    TypeKey(&grid, Qt::Key_Delete, {}, Qt::ControlModifier);
    EXPECT_EQ(t->RecordCount(), 1);
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);
    TypeKey(&grid, Qt::Key_Delete);  // without Ctrl: not a delete
    EXPECT_EQ(t->RecordCount(), 1);

    // Down on the last row appends; leaving the grid drops the untouched row.
    TypeKey(&grid, Qt::Key_Down);
    EXPECT_EQ(t->State(), TDataSetState::dsInsert);
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(grid.CurrentRow(), 2);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&grid, &out);
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(grid.model()->rowCount(), 1);

    // Insert appends as well; Esc cancels.
    TypeKey(&grid, Qt::Key_Insert);
    EXPECT_EQ(t->State(), TDataSetState::dsInsert);
    TypeKey(&grid, Qt::Key_Escape);
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);

    // A changed new row survives leaving the grid.
    TypeKey(&grid, Qt::Key_Insert);
    t->FieldByName(kFirm)->SetText(QStringLiteral("Нова"));
    QCoreApplication::sendEvent(&grid, &out);
    EXPECT_EQ(t->State(), TDataSetState::dsInsert);
    t->Post();
    EXPECT_EQ(t->RecordCount(), 2);

    // Without editing rights the keys change nothing.
    grid.SetOptions(dgTitles | dgRowSelect | dgConfirmDelete);
    TypeKey(&grid, Qt::Key_Delete, {}, Qt::ControlModifier);
    TypeKey(&grid, Qt::Key_Insert);
    t->Last();
    TypeKey(&grid, Qt::Key_Down);
    EXPECT_EQ(t->RecordCount(), 2);
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);
}

// ---- Control grid ----

namespace {

const QString kNum = QStringLiteral("Num");
const QString kDoc = QStringLiteral("Документ");
const QString kPaid = QStringLiteral("Paid?");

// Fifteen register records; record 2 has no number; odd records are paid.
std::unique_ptr<TTable> Register(const QString& folder)
{
    auto t = NewTable(folder, QStringLiteral("store.db"),
                      {{kNum, TFieldType::ftString, 10}, {kDoc, TFieldType::ftString, 30}, {kPaid, TFieldType::ftBoolean, 0}});
    for (int i = 1; i <= 15; ++i)
        AddRecord(*t, {{kNum, i == 2 ? QString() : QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0'))},
                       {kDoc, QStringLiteral("ФАКТУРА")},
                       {kPaid, i % 2 ? QStringLiteral("True") : QStringLiteral("False")}});
    t->First();
    return t;
}

struct CtrlGridFixture {
    QTemporaryDir dir;
    std::unique_ptr<TTable> t = Register(dir.path());
    TDataSource ds;
    TDBCtrlGrid grid;
    TDBText* num;
    TDBCheckBox* paid;

    CtrlGridFixture()
    {
        ds.SetDataSet(t.get());
        num = new TDBText(&grid);
        num->SetBounds(8, 4, 100, 16);
        num->SetDataField(kNum);
        paid = new TDBCheckBox(&grid);
        paid->SetBounds(200, 4, 100, 18);
        paid->SetCaption(QStringLiteral("Платено"));
        paid->SetDataField(kPaid);
        grid.SetRowCount(4);
        grid.SetPanelWidth(320);
        grid.SetPanelHeight(56);
        grid.SetColor(clWhite);
        grid.SetSelectedColor(clMoneyGreen);
        grid.SetDataSource(&ds);
    }

    QPoint PanelPoint(int panel) const { return {150, panel * 56 + 40}; }
};

}  // namespace

TEST(ControlGrid, PanelsFollowTheTableAndAClickMakesARecordCurrent)
{
    CtrlGridFixture f;
    TDBCtrlGrid& g = f.grid;
    const int bar = g.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &g);
    EXPECT_EQ(g.Width(), 320 + bar);
    EXPECT_EQ(g.Height(), 4 * 56);
    EXPECT_EQ(f.num->DataSource(), &f.ds);  // the grid hands on its data source
    EXPECT_EQ(f.num->Caption(), QStringLiteral("0000000001"));
    EXPECT_EQ((std::vector<int>{g.PanelRecord(0), g.PanelRecord(1), g.PanelRecord(3)}), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(g.PanelIndex(), 0);

    // The current panel carries the real controls.
    f.t->SetRecNo(6);
    EXPECT_EQ(g.PanelRecord(0), 3);
    EXPECT_EQ(g.PanelIndex(), 3);
    EXPECT_EQ(f.num->pos(), QPoint(8, 4 + 3 * 56));
    EXPECT_EQ(f.paid->pos(), QPoint(200, 4 + 3 * 56));
    EXPECT_EQ(g.ScrollBar()->value(), 6);
    f.t->SetRecNo(2);
    EXPECT_EQ(g.PanelIndex(), 0);
    EXPECT_EQ(g.PanelRecord(0), 2);
    f.t->Last();
    EXPECT_EQ(g.PanelRecord(3), 15);
    EXPECT_EQ(g.PanelIndex(), 3);

    int clicks = 0, doubles = 0;
    g.OnClick = [&](TObject* s) {
        EXPECT_EQ(s, &g);
        EXPECT_EQ(f.t->RecNo(), 13);  // already moved
        ++clicks;
    };
    g.OnDblClick = [&](TObject*) { ++doubles; };
    ClickAt(&g, f.PanelPoint(1));
    EXPECT_EQ(f.t->RecNo(), 13);
    EXPECT_EQ(clicks, 1);
    Mouse(&g, QEvent::MouseButtonDblClick, f.PanelPoint(1));
    Mouse(&g, QEvent::MouseButtonRelease, f.PanelPoint(1), Qt::NoButton);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(clicks, 1);

    // Keys and the scroll bar move as well.
    TypeKey(&g, Qt::Key_Down);
    EXPECT_EQ(f.t->RecNo(), 14);
    TypeKey(&g, Qt::Key_Home);
    EXPECT_EQ(f.t->RecNo(), 1);
    g.ScrollBar()->setValue(9);  // as a drag of the bar does
    EXPECT_EQ(f.t->RecNo(), 9);

    // Deleting through the grid follows AllowDelete.
    g.AllowDelete = false;
    TypeKey(&g, Qt::Key_Delete, {}, Qt::ControlModifier);
    EXPECT_EQ(f.t->RecordCount(), 15);
    g.AllowDelete = true;
    TypeKey(&g, Qt::Key_Delete, {}, Qt::ControlModifier);
    EXPECT_EQ(f.t->RecordCount(), 14);
}

TEST(ControlGrid, PostsAPendingFlagOnAMoveAndDetachesWithItsControls)
{
    CtrlGridFixture f;
    EventLog log;
    log.Attach(*f.t);
    ASSERT_TRUE(f.paid->Checked());

    f.paid->click();  // the user clears "paid" on the current panel
    EXPECT_EQ(f.t->State(), TDataSetState::dsEdit);
    ClickAt(&f.grid, f.PanelPoint(2));
    EXPECT_EQ(f.t->RecNo(), 3);
    EXPECT_EQ(log.Count(QStringLiteral("post")), 1);
    EXPECT_EQ(f.t->FieldByName(kPaid)->TextAt(1), QStringLiteral("False"));

    // A register walk detaches the grid: nothing on it follows.
    f.grid.SetDataSource(nullptr);
    EXPECT_EQ(f.num->DataSource(), nullptr);
    EXPECT_EQ(f.num->Caption(), QString());
    EXPECT_EQ(f.grid.PanelIndex(), -1);
    QStringList walked;
    for (int i = 1; i <= f.t->RecordCount(); ++i) {
        f.t->SetRecNo(i);
        walked << f.t->FieldByName(kNum)->Text();
    }
    EXPECT_EQ(f.num->Caption(), QString());
    f.t->SetRecNo(10);
    f.grid.SetDataSource(&f.ds);
    f.grid.Repaint();
    EXPECT_EQ(f.num->Caption(), QStringLiteral("0000000010"));
    EXPECT_FALSE(f.paid->Checked());
    EXPECT_EQ(f.grid.PanelRecord(f.grid.PanelIndex()), 10);
}

TEST(ControlGrid, AControlPlacedOnTheGridLaterMovesWithTheCurrentPanel)
{
    CtrlGridFixture f;
    f.t->SetRecNo(3);
    auto* kind = new TDBText(&f.grid);
    kind->SetBounds(120, 30, 80, 16);
    f.t->SetRecNo(2);
    EXPECT_EQ(kind->pos(), QPoint(120, 30 + 1 * 56));
    f.t->SetRecNo(4);
    EXPECT_EQ(kind->pos(), QPoint(120, 30 + 3 * 56));
    EXPECT_EQ(f.num->pos(), QPoint(8, 4 + 3 * 56));

    delete kind;
    f.t->SetRecNo(1);
    EXPECT_EQ(f.num->pos(), QPoint(8, 4));
}

TEST(ControlGrid, OtherPanelsArePaintedCopiesOfTheirRecords)
{
    CtrlGridFixture f;
    QImage image(f.grid.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    f.grid.render(&image);

    // The current panel in the selected colour, the others white.
    EXPECT_EQ(image.pixelColor(310, 50), QColor(192, 220, 192));
    EXPECT_EQ(image.pixelColor(310, 56 + 50), QColor(Qt::white));

    const auto region = [&](int panel, const QRect& r) { return image.copy(r.translated(0, panel * 56)); };
    const auto hasInk = [](const QImage& part) {
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                if (qGray(part.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    const QRect label(8, 4, 100, 16);
    EXPECT_FALSE(hasInk(region(1, label)));  // record 2 has no number
    EXPECT_TRUE(hasInk(region(2, label)));   // record 3 shows its own
    // The check boxes show each record's flag: records 2 and 4 are not paid, 3 is.
    const QRect box(200, 4, 100, 18);
    EXPECT_EQ(region(1, box), region(3, box));
    EXPECT_NE(region(1, box), region(2, box));
}

TEST(ControlGrid, DesignValues)
{
    TDBCtrlGrid g;
    g.setGeometry(10, 20, 337, 616);
    auto* label = new TDBText(&g);
    label->setGeometry(8, 4, 80, 16);
    g.setProperty("RowCount", 11);
    g.setProperty("PanelWidth", 320);
    g.setProperty("PanelHeight", 56);
    g.setProperty("SelectedColor", QStringLiteral("clMoneyGreen"));
    g.setProperty("AllowDelete", false);
    g.setProperty("Color", QString::number(clWhite));
    LoadDesignProperties(&g);
    EXPECT_EQ(g.RowCount(), 11);
    EXPECT_EQ(g.PanelHeight(), 56);
    EXPECT_EQ(g.Height(), 616);
    EXPECT_EQ(g.Left(), 10);
    EXPECT_EQ(g.SelectedColor(), clMoneyGreen);
    EXPECT_FALSE(g.AllowDelete);
    EXPECT_EQ(g.Color(), clWhite);
    EXPECT_EQ(label->pos(), QPoint(8, 4));
}
