// The string grid: a table of texts with fixed header rows and columns, an
// in-place cell editor, and the class library's selection and key events.
// Drawn by hand so that row heights, grid lines and cell rectangles are exact
// pixels: a row takes RowHeights(r) + GridLineWidth pixels, a column
// ColWidths(c) + GridLineWidth, the line lying right of and below its cell.
#pragma once

#include "platform/control.h"

#include <QAbstractScrollArea>
#include <QRect>
#include <QStringList>

#include <vector>

class QLineEdit;
class TInplaceEdit;

enum TGridOption : unsigned {
    goFixedVertLine = 0x1,
    goFixedHorzLine = 0x2,
    goVertLine = 0x4,
    goHorzLine = 0x8,
    goRangeSelect = 0x10,
    goDrawFocusSelected = 0x20,
    goColSizing = 0x80,
    goEditing = 0x400,
    goTabs = 0x800,
    goRowSelect = 0x1000,
    goAlwaysShowEditor = 0x2000,
};
using TGridOptions = unsigned;
constexpr TGridOptions DefaultGridOptions =
    goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& Value)>;

// Design values read from .ui dynamic properties (all optional):
//   ColCount, RowCount, FixedCols, FixedRows, DefaultColWidth, DefaultRowHeight,
//   GridLineWidth (numbers); ColWidths ("49,522,44"); FixedColor (a TColor number);
//   ScrollBars ("ssNone", "ssHorizontal", "ssVertical", "ssBoth");
//   BorderStyle ("bsNone", "bsSingle");
//   Options: flags joined by "|" that are added to the default set (the four line
//   flags and goRangeSelect), e.g. "goEditing|goAlwaysShowEditor"; a flag written
//   with a leading "-" is removed instead ("-goVertLine"). A number sets the
//   whole set.
// Promote the grid from QWidget in Designer (not from QTableWidget).
class TStringGrid : public QAbstractScrollArea, public TControl {
    Q_OBJECT
public:
    enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
    enum TBorderStyle { bsNone, bsSingle };

    explicit TStringGrid(QWidget* parent = nullptr);
    ~TStringGrid() override;
    QString ClassName() const override { return QStringLiteral("TStringGrid"); }

    // Column first. Reading outside the grid gives "", writing there does
    // nothing; no write fires an event.
    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString& text);
    // The texts of one row or column (empty list outside the grid).
    QStringList Rows(int row) const;
    QStringList Cols(int col) const;
    // Appends to a row as the class library's row strings do: the text goes
    // into the first empty cell of the row; returns that column, or -1 when
    // the row has no empty cell (the text is dropped).
    int AddToRow(int row, const QString& text);

    // Counts are at least 1. Shrinking discards the cut cells, growing adds
    // empty ones; lowering a count to or below the fixed count lowers the
    // fixed count. The current cell stays, moved inside when cut. No events.
    int RowCount() const { return rowCount_; }
    void SetRowCount(int value);
    int ColCount() const { return colCount_; }
    void SetColCount(int value);
    // Must stay below the count (EInvalidOperation otherwise). A change makes
    // the first non-fixed cell current and scrolls to the start, silently.
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int value);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int value);

    // Setting a default size resets every row (column) to it.
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int value);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int value);
    // Outside the grid: the default is read, a write is ignored.
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return lineWidth_; }
    void SetGridLineWidth(int value);

    // The current cell. Setting fires OnSelectCell before the move, only when
    // the cell changes; CanSelect = false keeps the old cell. A cell outside
    // the grid or inside the fixed area raises EInvalidOperation. Handler
    // exceptions leave the setter with the cell unchanged. With goRowSelect
    // the selected row is Row().
    int Col() const { return col_; }
    void SetCol(int value);
    int Row() const { return row_; }
    void SetRow(int value);

    // Scrolling, in whole rows and columns: the first non-fixed row (column)
    // shown, and how many rows (columns) are fully visible from there.
    int TopRow() const { return topRow_; }
    void SetTopRow(int value);
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int value);
    int VisibleRowCount() const;
    int VisibleColCount() const;

    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions value);

    // The in-place editor: shown on the current cell when EditorMode is on,
    // goEditing is set, goRowSelect is not, and the grid has the focus or
    // goAlwaysShowEditor is set. Typing in it writes the cell and fires
    // OnSetEditText; a cell written by code under the open editor updates it.
    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool on);
    bool EditorShown() const { return editorShown_; }
    QLineEdit* InplaceEditor() const;

    // Off for a grid that is printed: the current cell is drawn as the others,
    // without the highlight or the focus frame.
    bool ShowsCurrentCell() const { return showsCurrentCell_; }
    void SetShowsCurrentCell(bool on);

    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor c);
    void SetColor(TColor c) override;
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle s);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);

    // Cell (col, row) in client coordinates: x() = left, y() = top, width()
    // and height() of the cell without its grid lines; the class library's
    // exclusive Right and Bottom are x() + width() and y() + height().
    // Row RowCount() is the row that would follow the last one (its top lies
    // a grid line below the last row's bottom), so a list can be opened under
    // the last row. Scrolled-out cells get their position as if the grid went
    // on past the client edges. Other cells outside the grid give QRect().
    QRect CellRect(int col, int row) const;
    // The cell at a client point; false (and -1, -1) when there is none.
    bool MouseToCell(int x, int y, int& col, int& row) const;

    TSelectCellEvent OnSelectCell;
    TSetEditEvent OnSetEditText;
    // Key codes are Windows virtual keys (Enter 13, Up 38, Down 40...).
    // OnKeyDown runs before the grid's own key handling (also for keys typed
    // in the in-place editor); setting Key to 0 cancels that handling.
    // OnKeyUp runs on release, after the grid has moved.
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    void LoadDesignProperties() override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class TInplaceEdit;

    void ResizeCells(int rows, int cols);
    void ResetCurrent();
    void MoveCurrent(int col, int row);
    void UserMove(int col, int row);
    void CheckCell(int col, int row) const;

    // Key handling shared by the grid and its editor.
    bool FireKeyDown(WORD& key, TShiftState shift);
    void Navigate(WORD key, TShiftState shift);
    bool FireKeyPress(char16_t& ch);
    void FireKeyUp(WORD key, TShiftState shift);
    void StartTyping(char16_t ch);
    void EditorEdited(const QString& text);

    int FixedHeight() const;
    int FixedWidth() const;
    int RowTop(int row) const;
    int ColLeft(int col) const;
    int RowSpan(int row) const;
    int ColSpan(int col) const;
    QSize ClientSize(bool* needV = nullptr, bool* needH = nullptr) const;
    int MaxTopRow(int clientHeight) const;
    int MaxLeftCol(int clientWidth) const;
    void ScrollInView(int col, int row);
    void Relayout();
    void SyncEditor();
    bool HasFocusInside() const;
    QColor Background() const;

    int rowCount_ = 5;
    int colCount_ = 5;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int defaultRowHeight_ = 24;
    int defaultColWidth_ = 64;
    int lineWidth_ = 1;
    int col_ = 1;
    int row_ = 1;
    int topRow_ = 1;
    int leftCol_ = 1;
    TGridOptions options_ = DefaultGridOptions;
    bool editorMode_ = false;
    bool editorShown_ = false;
    bool showsCurrentCell_ = true;
    int editorCol_ = -1;
    int editorRow_ = -1;
    TColor fixedColor_ = clBtnFace;
    TScrollStyle scrollBars_ = ssBoth;
    TBorderStyle borderStyle_ = bsSingle;
    std::vector<std::vector<QString>> cells_;  // [row][col]
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    qint64 rowHeightSum_ = 0;  // of rowHeights_
    qint64 colWidthSum_ = 0;   // of colWidths_
    TInplaceEdit* editor_ = nullptr;
    bool updatingScroll_ = false;
    bool clickPending_ = false;
    int sizingCol_ = -1;
};
