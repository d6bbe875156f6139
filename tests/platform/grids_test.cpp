#include "platform/grids.h"

#include "support/test_env.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

void SendKey(QWidget* w, QEvent::Type type, Qt::Key key, const QString& text = {})
{
    QKeyEvent e(type, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &e);
}

void PressKey(QWidget* w, Qt::Key key, const QString& text = {})
{
    SendKey(w, QEvent::KeyPress, key, text);
    SendKey(w, QEvent::KeyRelease, key, text);
}

void Mouse(TStringGrid& g, QEvent::Type type, QPoint at)
{
    QMouseEvent e(type, QPointF(at), QPointF(g.viewport()->mapToGlobal(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(g.viewport(), &e);
}

QPoint CenterOf(const TStringGrid& g, int col, int row) { return g.CellRect(col, row).center(); }

struct Selection {
    int col, row;
    bool operator==(const Selection&) const = default;
};

}  // namespace

TEST(StringGrid, CellsCountsAndFixedRows)
{
    TStringGrid g;
    EXPECT_EQ(g.ClassName(), "TStringGrid");
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 1);

    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetCells(2, 3, "last");
    g.SetCells(0, 0, "head");
    EXPECT_EQ(g.Cells(2, 3), "last");
    EXPECT_EQ(g.Cells(0, 0), "head");

    // Outside the grid: reads are empty, writes vanish.
    EXPECT_EQ(g.Cells(3, 0), "");
    EXPECT_EQ(g.Cells(6, 3), "");
    EXPECT_EQ(g.Cells(0, 4), "");
    EXPECT_EQ(g.Cells(-1, 0), "");
    g.SetCells(3, 0, "x");
    g.SetCells(0, 9, "x");
    g.SetColCount(4);
    g.SetRowCount(10);
    EXPECT_EQ(g.Cells(3, 0), "");
    EXPECT_EQ(g.Cells(0, 9), "");

    // A cut row or column comes back empty.
    g.SetRowCount(3);
    g.SetRowCount(4);
    EXPECT_EQ(g.Cells(2, 3), "");
    g.SetCells(3, 1, "c3");
    g.SetColCount(3);
    g.SetColCount(4);
    EXPECT_EQ(g.Cells(3, 1), "");
    EXPECT_EQ(g.Cells(0, 0), "head");

    // Down to one row: no fixed row remains, and it may be fixed again later.
    g.SetRowCount(1);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.Row(), 0);
    EXPECT_THROW(g.SetFixedRows(1), EInvalidOperation);
    g.SetRowCount(3);
    g.SetFixedRows(1);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.Row(), 1);

    g.SetRowCount(0);
    EXPECT_EQ(g.RowCount(), 1);
    g.SetColCount(1);
    EXPECT_EQ(g.FixedCols(), 0);
    EXPECT_EQ(g.Col(), 0);
}

TEST(StringGrid, CountChangesMoveTheCurrentCellSilently)
{
    TStringGrid g;
    g.SetRowCount(6);
    g.SetRow(5);
    g.SetCol(4);
    int fired = 0;
    g.OnSelectCell = [&](TObject*, int, int, bool&) { ++fired; };
    g.SetRowCount(3);
    g.SetColCount(2);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Col(), 1);
    g.SetCells(1, 1, "x");
    g.SetFixedRows(2);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(fired, 0);
}

TEST(StringGrid, RowAppendRule)
{
    TStringGrid g;
    g.SetColCount(6);
    const QStringList captions = {"Пор. №", "Наименование", "Мярка", "К-во", "Ед. цена", "Стойност"};
    for (const QString& c : captions)
        g.AddToRow(0, c);
    EXPECT_EQ(g.Rows(0), captions);

    // A filled row stays as it is; the extra caption is dropped.
    EXPECT_EQ(g.AddToRow(0, "Отстъпка %"), -1);
    EXPECT_EQ(g.Rows(0), captions);

    // Gaps are filled first, in column order.
    g.SetCells(1, 0, "");
    g.SetCells(4, 0, "");
    EXPECT_EQ(g.AddToRow(0, "A"), 1);
    EXPECT_EQ(g.AddToRow(0, "B"), 4);
    EXPECT_EQ(g.AddToRow(0, "C"), -1);
    EXPECT_EQ(g.Cells(4, 0), "B");
    EXPECT_EQ(g.Cols(4).first(), "B");
}

TEST(StringGrid, SettingTheCurrentCellFiresSelectCell)
{
    TStringGrid g;
    g.SetColCount(7);
    g.SetRowCount(4);
    std::vector<Selection> seen;
    std::vector<Selection> currentDuringHandler;
    g.OnSelectCell = [&](TObject* sender, int c, int r, bool& can) {
        EXPECT_EQ(sender, &g);
        EXPECT_TRUE(can);
        seen.push_back({c, r});
        currentDuringHandler.push_back({g.Col(), g.Row()});
    };
    g.SetCol(5);
    g.SetRow(1);  // already there: nothing
    g.SetCol(5);
    g.SetRow(3);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (Selection{5, 1}));
    EXPECT_EQ(seen[1], (Selection{5, 3}));
    // The handler runs before the move.
    EXPECT_EQ(currentDuringHandler[0], (Selection{1, 1}));
    EXPECT_EQ(currentDuringHandler[1], (Selection{5, 1}));

    // A refusal keeps the old cell.
    g.OnSelectCell = [&](TObject*, int, int, bool& can) { can = false; };
    g.SetRow(2);
    EXPECT_EQ(g.Row(), 3);

    // A handler's exception leaves the setter; the cell stays.
    g.OnSelectCell = [&](TObject*, int, int, bool&) { throw EConvertError("bad"); };
    EXPECT_THROW(g.SetCol(2), EConvertError);
    EXPECT_EQ(g.Col(), 5);

    g.OnSelectCell = nullptr;
    EXPECT_THROW(g.SetRow(4), EInvalidOperation);
    EXPECT_THROW(g.SetRow(0), EInvalidOperation);  // the fixed header row
    EXPECT_THROW(g.SetCol(7), EInvalidOperation);
    EXPECT_EQ(g.Row(), 3);
}

TEST(StringGrid, KeyDownRunsBeforeTheGridMoves)
{
    TStringGrid g;
    g.SetColCount(6);
    g.SetRowCount(2);
    g.SetCells(1, 1, "Болт");
    std::vector<int> rowAtKeyDown;
    std::vector<int> rowAtKeyUp;
    // The lines grid's handler: Down on a filled last row adds a row.
    g.OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        rowAtKeyDown.push_back(g.Row());
        if (key == 40 && g.Row() == g.RowCount() - 1 && !g.Cells(1, g.Row()).isEmpty())
            g.SetRowCount(g.RowCount() + 1);
    };
    g.OnKeyUp = [&](TObject*, WORD& key, TShiftState) {
        if (key == 38 || key == 40)
            rowAtKeyUp.push_back(g.Row());
    };
    std::vector<Selection> selected;
    g.OnSelectCell = [&](TObject*, int c, int r, bool&) { selected.push_back({c, r}); };

    PressKey(&g, Qt::Key_Down);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.Row(), 2);  // into the row just added
    ASSERT_EQ(rowAtKeyDown.size(), 1u);
    EXPECT_EQ(rowAtKeyDown[0], 1);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0], (Selection{1, 2}));

    // Down on an empty last row: the handler adds nothing and neither does the grid.
    PressKey(&g, Qt::Key_Down);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.Row(), 2);

    PressKey(&g, Qt::Key_Up);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(rowAtKeyUp, (std::vector<int>{2, 2, 1}));  // released after the move

    // Key = 0 cancels the grid's own handling.
    g.OnKeyDown = [](TObject*, WORD& key, TShiftState) { key = 0; };
    PressKey(&g, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 1);

    // A failing handler is reported and the grid does not move.
    ResetTestDialogs();
    g.OnKeyDown = [](TObject*, WORD&, TShiftState) { throw EListError("List index out of bounds (0)"); };
    PressKey(&g, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 1);
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, "List index out of bounds (0)");
}

TEST(StringGrid, UserNavigationAsksSelectCell)
{
    TStringGrid g;
    g.SetRowCount(4);
    bool allow = false;
    int asked = 0;
    g.OnSelectCell = [&](TObject*, int, int, bool& can) {
        ++asked;
        can = allow;
    };
    PressKey(&g, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 1);
    allow = true;
    PressKey(&g, Qt::Key_Down);
    PressKey(&g, Qt::Key_Right);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(asked, 3);
    PressKey(&g, Qt::Key_Up);
    PressKey(&g, Qt::Key_Up);  // the header row is not reachable
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(asked, 4);

    // A selection handler that fails during navigation is reported, not thrown.
    ResetTestDialogs();
    g.OnSelectCell = [](TObject*, int, int, bool&) { throw EConvertError("'x' is not a valid integer value"); };
    PressKey(&g, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(TestDialogs().boxes.size(), 1u);
}

TEST(StringGrid, InplaceEditorAndSetEditText)
{
    TStringGrid g;
    g.SetColCount(6);
    g.SetRowCount(3);
    g.SetCells(1, 1, "old");
    std::vector<QString> edits;
    std::vector<QString> cellAtEvent;
    g.OnSetEditText = [&](TObject*, int c, int r, const QString& v) {
        EXPECT_EQ(c, 1);
        EXPECT_EQ(r, 1);
        edits.push_back(v);
        cellAtEvent.push_back(g.Cells(c, r));
    };
    g.SetOptions(g.Options() | goEditing | goAlwaysShowEditor);
    g.SetEditorMode(true);
    ASSERT_TRUE(g.EditorShown());
    QLineEdit* ed = g.InplaceEditor();
    EXPECT_EQ(ed->text(), "old");
    EXPECT_EQ(ed->geometry(), g.CellRect(1, 1));

    // Code writes fire nothing, but reach the open editor.
    g.SetCells(1, 1, "");
    g.SetCells(2, 1, "x");
    EXPECT_EQ(ed->text(), "");
    EXPECT_TRUE(edits.empty());

    PressKey(ed, Qt::Key_B, "б");
    PressKey(ed, Qt::Key_O, "о");
    EXPECT_EQ(edits, (std::vector<QString>{"б", "бо"}));
    EXPECT_EQ(cellAtEvent, edits);  // the cell is written before the event
    EXPECT_EQ(g.Cells(1, 1), "бо");

    // Keys typed in the editor pass OnKeyDown first; Down leaves the cell.
    std::vector<int> keys;
    g.OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keys.push_back(key); };
    PressKey(ed, Qt::Key_Down);
    EXPECT_EQ(keys, (std::vector<int>{40}));
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(ed->text(), "");
    EXPECT_EQ(ed->geometry(), g.CellRect(1, 2));
    EXPECT_EQ(g.Cells(1, 1), "бо");

    // Without the always-shown flag the editor closes when the cell changes.
    g.SetOptions(g.Options() & ~goAlwaysShowEditor);
    g.SetEditorMode(true);
    g.SetRow(1);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_FALSE(g.EditorShown());
}

TEST(StringGrid, CellRectanglesFollowSizesAndScrolling)
{
    TStringGrid g;
    g.SetBorderStyle(TStringGrid::bsNone);
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetDefaultRowHeight(20);
    g.SetColWidths(0, 19);
    g.SetColWidths(1, 146);
    g.SetColWidths(2, 90);
    g.resize(300, 200);

    EXPECT_EQ(g.CellRect(0, 0), QRect(0, 0, 19, 20));
    EXPECT_EQ(g.CellRect(1, 2), QRect(20, 42, 146, 20));
    EXPECT_EQ(g.CellRect(2, 3), QRect(167, 63, 90, 20));
    // One past the last row: where the next row would start.
    const QRect last = g.CellRect(2, 3);
    const QRect below = g.CellRect(2, 4);
    EXPECT_EQ(below.y(), last.y() + last.height() + g.GridLineWidth());
    EXPECT_EQ(below.x(), last.x());
    EXPECT_EQ(below.width(), 90);
    EXPECT_EQ(g.CellRect(2, 5), QRect());
    EXPECT_EQ(g.CellRect(3, 0), QRect());
    EXPECT_EQ(g.CellRect(-1, 1), QRect());

    // Scrolled by two rows: the header stays, the rows move up.
    g.SetRowCount(30);
    g.SetTopRow(3);
    EXPECT_EQ(g.TopRow(), 3);
    EXPECT_EQ(g.CellRect(1, 0), QRect(20, 0, 146, 20));
    EXPECT_EQ(g.CellRect(1, 3).y(), 21);
    EXPECT_EQ(g.CellRect(1, 1).y(), 21 - 2 * 21);
    int c = 0, r = 0;
    ASSERT_TRUE(g.MouseToCell(30, 25, c, r));
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 3);

    // Moving the current cell below the view scrolls it into view.
    g.SetRow(20);
    EXPECT_GT(g.TopRow(), 3);
    EXPECT_EQ(g.TopRow() + g.VisibleRowCount() - 1, 20);
    const QRect cur = g.CellRect(1, 20);
    EXPECT_LE(cur.y() + cur.height(), 200);
    g.SetRow(2);
    EXPECT_EQ(g.TopRow(), 2);
    EXPECT_EQ(g.CellRect(1, 2).y(), 21);
}

TEST(StringGrid, FitGridHeightShowsEveryRowWithoutScrollBar)
{
    QWidget window;
    window.resize(900, 600);
    for (auto scroll : {TStringGrid::ssNone, TStringGrid::ssBoth}) {
        for (auto border : {TStringGrid::bsNone, TStringGrid::bsSingle}) {
            for (int rows : {1, 2, 3, 7, 15}) {
                auto* g = new TStringGrid(&window);
                g->SetScrollBars(scroll);
                g->SetBorderStyle(border);
                g->SetColCount(6);
                const int widths[] = {49, 558, 44, 38, 63, 73};
                for (int c = 0; c < 6; ++c)
                    g->SetColWidths(c, widths[c]);
                g->SetDefaultRowHeight(18);
                g->SetRowCount(rows);
                if (rows > 1)
                    g->SetFixedRows(1);
                g->SetWidth(835 + (border == TStringGrid::bsSingle ? 4 : 0));
                g->SetHeight((g->DefaultRowHeight() + 1) * g->RowCount() + 3);
                EXPECT_EQ(g->VisibleRowCount(), rows - g->FixedRows()) << rows;  // while hidden
                window.show();
                EXPECT_FALSE(g->verticalScrollBar()->isVisible()) << rows;
                EXPECT_FALSE(g->horizontalScrollBar()->isVisible()) << rows;
                EXPECT_EQ(g->VisibleRowCount(), rows - g->FixedRows()) << rows;
                const QRect last = g->CellRect(0, rows - 1);
                EXPECT_LE(last.y() + last.height(), g->viewport()->height()) << rows;
                window.hide();
                delete g;
            }
        }
    }

    // Two pixels less and the last row no longer fits: a scroll bar appears.
    auto* g = new TStringGrid(&window);
    g->SetBorderStyle(TStringGrid::bsNone);
    g->SetColCount(2);
    g->SetDefaultRowHeight(18);
    g->SetRowCount(6);
    g->SetWidth(400);
    g->SetHeight(19 * 6 - 2);
    window.show();
    EXPECT_TRUE(g->verticalScrollBar()->isVisible());
    EXPECT_FALSE(g->horizontalScrollBar()->isVisible());
    EXPECT_EQ(g->viewport()->width(), 400 - g->verticalScrollBar()->width());
    EXPECT_EQ(g->viewport()->height(), 19 * 6 - 2);
    EXPECT_EQ(g->VisibleRowCount(), 4);
    g->SetTopRow(99);
    EXPECT_EQ(g->TopRow(), 2);  // scrolled to the end, the last row fully shown
    EXPECT_EQ(g->verticalScrollBar()->value(), 2);
    g->verticalScrollBar()->setValue(1);  // the user drags the scroll bar
    EXPECT_EQ(g->TopRow(), 1);
    EXPECT_EQ(g->CellRect(0, 1).y(), 19);
    window.hide();
}

TEST(StringGrid, ScrollBarsFollowRowsAddedOneByOneAndEverySizeChange)
{
    TStringGrid g;  // hidden: the sizes alone decide
    g.SetBorderStyle(TStringGrid::bsNone);
    g.SetScrollBars(TStringGrid::ssBoth);
    g.SetColCount(2);
    g.SetColWidths(0, 100);
    g.SetColWidths(1, 100);
    g.SetDefaultRowHeight(18);
    g.SetRowCount(1);
    g.SetFixedRows(0);
    g.SetWidth(400);
    g.SetHeight(19 * 6 - 1);  // six rows fit, the last one's grid line cut off
    const auto vertical = [&] { return g.verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn; };
    const auto horizontal = [&] { return g.horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn; };
    for (int rows = 2; rows <= 7; ++rows) {
        g.SetRowCount(g.RowCount() + 1);
        EXPECT_EQ(vertical(), rows == 7) << rows;
    }
    g.SetRowCount(6);
    EXPECT_FALSE(vertical());
    g.SetRowHeights(5, 19);
    EXPECT_TRUE(vertical());
    g.SetRowHeights(5, 40);
    g.SetRowCount(5);
    g.SetRowCount(6);  // the new row has the default height again
    EXPECT_FALSE(vertical());
    g.SetDefaultRowHeight(19);
    EXPECT_TRUE(vertical());
    g.SetRowCount(5);
    EXPECT_FALSE(vertical());

    EXPECT_FALSE(horizontal());
    g.SetColWidths(1, 400);
    EXPECT_TRUE(horizontal());
    g.SetColCount(1);
    EXPECT_FALSE(horizontal());
    g.SetColCount(2);  // 100 + 64 wide
    EXPECT_FALSE(horizontal());
    g.SetDefaultColWidth(250);
    EXPECT_TRUE(horizontal());
}

TEST(StringGrid, MouseSelectsAndClicks)
{
    QWidget window;
    window.resize(500, 300);
    auto* g = new TStringGrid(&window);
    g->SetBounds(0, 0, 400, 200);
    g->SetFixedCols(0);
    g->SetColCount(4);
    g->SetRowCount(3);
    g->SetDefaultRowHeight(16);
    g->SetOptions(g->Options() | goRowSelect | goColSizing);
    window.show();

    std::vector<QString> log;
    g->OnSelectCell = [&](TObject*, int c, int r, bool&) { log.push_back(QString("select %1,%2").arg(c).arg(r)); };
    g->OnClick = [&](TObject*) { log.push_back(QString("click row %1").arg(g->Row())); };
    g->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };

    const QPoint at = CenterOf(*g, 2, 2);
    Mouse(*g, QEvent::MouseButtonPress, at);
    Mouse(*g, QEvent::MouseButtonRelease, at);
    Mouse(*g, QEvent::MouseButtonDblClick, at);
    Mouse(*g, QEvent::MouseButtonRelease, at);
    EXPECT_EQ(log, (std::vector<QString>{"select 2,2", "click row 2", "dblclick"}));
    EXPECT_EQ(g->Row(), 2);

    // A click on the header selects nothing; dragging its line sizes the column.
    log.clear();
    const QRect head = g->CellRect(0, 0);
    const QPoint line(head.x() + head.width(), head.center().y());
    Mouse(*g, QEvent::MouseButtonPress, line);
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(line + QPoint(30, 0)), QPointF(), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(g->viewport(), &move);
    }
    Mouse(*g, QEvent::MouseButtonRelease, line + QPoint(30, 0));
    EXPECT_EQ(g->ColWidths(0), 64 + 30);
    EXPECT_TRUE(log.empty());
}

TEST(StringGrid, DisabledGridDrawsPlainText)
{
    QWidget window;
    window.resize(300, 200);
    auto* g = new TStringGrid(&window);
    g->SetBounds(0, 0, 250, 120);
    g->SetBorderStyle(TStringGrid::bsNone);
    g->SetColCount(2);
    g->SetRowCount(3);
    g->SetColWidths(1, 150);
    g->SetFixedColor(cl3DLight);
    g->Font()->SetHeight(-16);
    g->Font()->SetStyle(fsBold);
    g->SetCells(1, 1, "██████");
    g->SetCells(1, 2, "██████");
    window.show();

    auto darkest = [&](int col, int row) {
        const QImage img = g->viewport()->grab().toImage();
        const QRect r = g->CellRect(col, row);
        int best = 255;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                best = std::min(best, qGray(img.pixel(x, y)));
        return best;
    };
    auto pixel = [&](int col, int row) {
        const QImage img = g->viewport()->grab().toImage();
        const QRect r = g->CellRect(col, row);
        return QColor(img.pixel(r.right() - 1, r.bottom() - 1));
    };

    // Enabled and without focus: the current cell shows the selection colour.
    const QColor highlight = g->palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(pixel(1, 1), highlight);
    EXPECT_EQ(pixel(0, 0), ColorToQColor(cl3DLight));

    g->SetEnabled(false);
    EXPECT_EQ(pixel(1, 1), ColorToQColor(clWindow));  // no selection shown
    EXPECT_LT(darkest(1, 1), 40);                     // black text, not grey
    EXPECT_LT(darkest(1, 2), 40);
}

TEST(StringGrid, DesignPropertiesFromUi)
{
    TStringGrid g;
    g.setProperty("ColCount", 4);
    g.setProperty("RowCount", 2);
    g.setProperty("DefaultRowHeight", 16);
    g.setProperty("ColWidths", "243, 44,64,84");
    g.setProperty("FixedCols", 0);
    g.setProperty("Options", "goRowSelect|goColSizing|-goRangeSelect");
    g.setProperty("ScrollBars", "ssNone");
    g.setProperty("BorderStyle", "bsNone");
    g.setProperty("FixedColor", QVariant(qlonglong(unsigned(cl3DLight))));
    g.LoadDesignProperties();
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.FixedCols(), 0);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.Col(), 0);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.RowHeights(1), 16);
    EXPECT_EQ(g.ColWidths(0), 243);
    EXPECT_EQ(g.ColWidths(3), 84);
    EXPECT_EQ(g.Options(), goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRowSelect | goColSizing);
    EXPECT_EQ(g.ScrollBars(), TStringGrid::ssNone);
    EXPECT_EQ(g.BorderStyle(), TStringGrid::bsNone);
    EXPECT_EQ(g.FixedColor(), cl3DLight);

    TStringGrid lines;
    lines.setProperty("Options", "goEditing|goAlwaysShowEditor");
    lines.setProperty("RowCount", 2);
    lines.setProperty("FixedRows", 5);  // out of range in a design: kept below the count
    lines.LoadDesignProperties();
    EXPECT_TRUE(lines.EditorMode());
    EXPECT_EQ(lines.FixedRows(), 1);
}

TEST(StringGrid, HiddenGridWorks)
{
    QWidget window;  // never shown
    auto* g = new TStringGrid(&window);
    g->SetBorderStyle(TStringGrid::bsNone);
    g->SetScrollBars(TStringGrid::ssNone);
    g->SetColCount(3);
    g->SetDefaultRowHeight(20);
    g->SetRowCount(4);
    g->SetBounds(10, 10, 300, (20 + 1) * 4 + 3);
    g->SetVisible(false);
    g->SetOptions(g->Options() | goEditing | goAlwaysShowEditor);
    g->SetEditorMode(true);

    int fired = 0;
    g->OnSelectCell = [&](TObject*, int, int, bool&) { ++fired; };
    g->SetRow(3);
    g->SetCol(2);
    EXPECT_EQ(fired, 2);
    g->SetCells(2, 3, "Сума");
    EXPECT_EQ(g->Cells(2, 3), "Сума");
    EXPECT_EQ(g->InplaceEditor()->text(), "Сума");
    EXPECT_EQ(g->VisibleRowCount(), 3);
    EXPECT_EQ(g->CellRect(0, 4).y(), 4 * 21);
    EXPECT_FALSE(g->Visible());
}
