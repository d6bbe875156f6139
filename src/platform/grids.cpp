#include "platform/grids.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QVariant>

#include <algorithm>

namespace {
// Windows virtual keys the grid handles itself.
constexpr WORD kBack = 8, kReturn = 13, kEscape = 27, kPrior = 33, kNext = 34, kEnd = 35,
               kHome = 36, kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kF2 = 113;

WORD VirtualKey(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<WORD>(key);  // same codes as the Windows keys
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return static_cast<WORD>(112 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return kBack;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kReturn;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return kEscape;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return kPrior;
    case Qt::Key_PageDown: return kNext;
    case Qt::Key_End: return kEnd;
    case Qt::Key_Home: return kHome;
    case Qt::Key_Left: return kLeft;
    case Qt::Key_Up: return kUp;
    case Qt::Key_Right: return kRight;
    case Qt::Key_Down: return kDown;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

TShiftState ShiftOf(Qt::KeyboardModifiers m)
{
    TShiftState s = 0;
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    if (m & Qt::AltModifier) s |= ssAlt;
    return s;
}

const std::pair<const char*, TGridOption> kOptionNames[] = {
    {"goFixedVertLine", goFixedVertLine}, {"goFixedHorzLine", goFixedHorzLine},
    {"goVertLine", goVertLine},           {"goHorzLine", goHorzLine},
    {"goRangeSelect", goRangeSelect},     {"goDrawFocusSelected", goDrawFocusSelected},
    {"goColSizing", goColSizing},         {"goEditing", goEditing},
    {"goRowSelect", goRowSelect},         {"goAlwaysShowEditor", goAlwaysShowEditor},
};

TGridOptions ParseOptions(const QVariant& v, TGridOptions options)
{
    bool isNumber = false;
    const uint n = v.toString().toUInt(&isNumber);
    if (isNumber)
        return n;
    static const QRegularExpression sep(QStringLiteral("[|,\\s\\[\\]]+"));
    for (QString token : v.toString().split(sep, Qt::SkipEmptyParts)) {
        const bool remove = token.startsWith(QLatin1Char('-'));
        if (remove)
            token.remove(0, 1);
        bool known = false;
        for (const auto& [name, flag] : kOptionNames)
            if (token == QLatin1String(name)) {
                options = remove ? (options & ~flag) : (options | flag);
                known = true;
            }
        if (!known)
            qWarning("TStringGrid: unknown option %s", qPrintable(token));
    }
    return options;
}
}  // namespace

// The in-place cell editor. Keys go to the grid's OnKeyDown first; the keys
// that move between cells are handed to the grid, the rest edit the text.
class TInplaceEdit : public QLineEdit {
public:
    explicit TInplaceEdit(TStringGrid* grid) : QLineEdit(grid->viewport()), grid_(grid)
    {
        setFrame(false);
        hide();
        connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { grid_->EditorEdited(t); });
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        e->accept();  // never let a key travel on to the grid a second time
        WORD key = VirtualKey(e->key());
        const TShiftState shift = ShiftOf(e->modifiers());
        if (key != 0) {
            if (!grid_->FireKeyDown(key, shift))
                return;
            if (MovesCell(key, shift)) {
                grid_->Navigate(key, shift);
                return;
            }
        }
        const QString typed = e->text();
        if (typed.isEmpty()) {
            QLineEdit::keyPressEvent(e);
            e->accept();
            return;
        }
        char16_t ch = typed.at(0).unicode();
        const char16_t original = ch;
        if (!grid_->FireKeyPress(ch))
            return;
        const bool alwaysShown = grid_->Options() & goAlwaysShowEditor;
        if (ch == kReturn || ch == kEscape) {
            if (alwaysShown)
                selectAll();
            else
                grid_->SetEditorMode(false);
            return;
        }
        if (ch != original) {
            if (QChar(ch).isPrint()) {
                insert(QString(QChar(ch)));
                grid_->EditorEdited(text());
            }
            return;
        }
        QLineEdit::keyPressEvent(e);
        e->accept();
    }

    void keyReleaseEvent(QKeyEvent* e) override
    {
        e->accept();
        if (e->isAutoRepeat())
            return;
        if (const WORD key = VirtualKey(e->key()))
            grid_->FireKeyUp(key, ShiftOf(e->modifiers()));
    }

private:
    bool MovesCell(WORD key, TShiftState shift) const
    {
        switch (key) {
        case kUp:
        case kDown:
        case kPrior:
        case kNext: return true;
        case kLeft: return shift == 0 && !hasSelectedText() && cursorPosition() == 0;
        case kRight: return shift == 0 && !hasSelectedText() && cursorPosition() == text().size();
        case kHome:
        case kEnd: return shift & ssCtrl;
        default: return false;
        }
    }

    TStringGrid* grid_;
};

TStringGrid::TStringGrid(QWidget* parent) : QAbstractScrollArea(parent), TControl(this)
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    viewport()->setMouseTracking(true);
    editor_ = new TInplaceEdit(this);
    ResizeCells(rowCount_, colCount_);
    Relayout();
}

TStringGrid::~TStringGrid() = default;

QLineEdit* TStringGrid::InplaceEditor() const { return editor_; }

// ---- cells and counts ----

QString TStringGrid::Cells(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return {};
    return cells_[row][col];
}

void TStringGrid::SetCells(int col, int row, const QString& text)
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return;
    cells_[row][col] = text;
    if (editorShown_ && col == editorCol_ && row == editorRow_ && editor_->text() != text)
        editor_->setText(text);
    viewport()->update();
}

QStringList TStringGrid::Rows(int row) const
{
    QStringList out;
    if (row >= 0 && row < rowCount_)
        for (const QString& s : cells_[row])
            out << s;
    return out;
}

QStringList TStringGrid::Cols(int col) const
{
    QStringList out;
    if (col >= 0 && col < colCount_)
        for (const auto& r : cells_)
            out << r[col];
    return out;
}

int TStringGrid::AddToRow(int row, const QString& text)
{
    if (row < 0 || row >= rowCount_)
        return -1;
    for (int c = 0; c < colCount_; ++c)
        if (cells_[row][c].isEmpty()) {
            SetCells(c, row, text);
            return c;
        }
    return -1;
}

// Adding a row costs the new row only, so that a list grown row by row stays
// linear; the size sums are kept up to date with it.
void TStringGrid::ResizeCells(int rows, int cols)
{
    const size_t oldRows = cells_.size();
    const bool colsChanged = colWidths_.size() != size_t(cols);
    cells_.resize(rows);
    for (size_t r = colsChanged ? 0 : std::min(oldRows, size_t(rows)); r < cells_.size(); ++r)
        cells_[r].resize(cols);
    for (size_t r = rows; r < rowHeights_.size(); ++r)
        rowHeightSum_ -= rowHeights_[r];
    if (size_t(rows) > rowHeights_.size())
        rowHeightSum_ += qint64(rows - rowHeights_.size()) * defaultRowHeight_;
    rowHeights_.resize(rows, defaultRowHeight_);
    for (size_t c = cols; c < colWidths_.size(); ++c)
        colWidthSum_ -= colWidths_[c];
    if (size_t(cols) > colWidths_.size())
        colWidthSum_ += qint64(cols - colWidths_.size()) * defaultColWidth_;
    colWidths_.resize(cols, defaultColWidth_);
}

void TStringGrid::SetRowCount(int value)
{
    value = std::max(1, value);
    if (value == rowCount_)
        return;
    ResizeCells(value, colCount_);
    rowCount_ = value;
    if (fixedRows_ >= value) {
        fixedRows_ = value - 1;
        ResetCurrent();
    }
    row_ = std::min(row_, rowCount_ - 1);
    Relayout();
}

void TStringGrid::SetColCount(int value)
{
    value = std::max(1, value);
    if (value == colCount_)
        return;
    ResizeCells(rowCount_, value);
    colCount_ = value;
    if (fixedCols_ >= value) {
        fixedCols_ = value - 1;
        ResetCurrent();
    }
    col_ = std::min(col_, colCount_ - 1);
    Relayout();
}

void TStringGrid::SetFixedRows(int value)
{
    if (value == fixedRows_)
        return;
    if (value < 0 || value >= rowCount_)
        throw EInvalidOperation(QStringLiteral("Вътрешна грешка: заглавните редове на таблицата трябва да са по-малко от всички редове."));
    fixedRows_ = value;
    ResetCurrent();
    Relayout();
}

void TStringGrid::SetFixedCols(int value)
{
    if (value == fixedCols_)
        return;
    if (value < 0 || value >= colCount_)
        throw EInvalidOperation(QStringLiteral("Вътрешна грешка: заглавните колони на таблицата трябва да са по-малко от всички колони."));
    fixedCols_ = value;
    ResetCurrent();
    Relayout();
}

void TStringGrid::ResetCurrent()
{
    col_ = leftCol_ = fixedCols_;
    row_ = topRow_ = fixedRows_;
}

// ---- sizes ----

void TStringGrid::SetDefaultRowHeight(int value)
{
    value = std::max(0, value);
    defaultRowHeight_ = value;
    std::fill(rowHeights_.begin(), rowHeights_.end(), value);
    rowHeightSum_ = qint64(rowHeights_.size()) * value;
    Relayout();
}

void TStringGrid::SetDefaultColWidth(int value)
{
    value = std::max(0, value);
    defaultColWidth_ = value;
    std::fill(colWidths_.begin(), colWidths_.end(), value);
    colWidthSum_ = qint64(colWidths_.size()) * value;
    Relayout();
}

int TStringGrid::ColWidths(int col) const
{
    return col >= 0 && col < colCount_ ? colWidths_[col] : defaultColWidth_;
}

void TStringGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= colCount_)
        return;
    colWidthSum_ -= colWidths_[col];
    colWidths_[col] = std::max(0, width);
    colWidthSum_ += colWidths_[col];
    Relayout();
}

int TStringGrid::RowHeights(int row) const
{
    return row >= 0 && row < rowCount_ ? rowHeights_[row] : defaultRowHeight_;
}

void TStringGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= rowCount_)
        return;
    rowHeightSum_ -= rowHeights_[row];
    rowHeights_[row] = std::max(0, height);
    rowHeightSum_ += rowHeights_[row];
    Relayout();
}

void TStringGrid::SetGridLineWidth(int value)
{
    lineWidth_ = std::max(0, value);
    Relayout();
}

// ---- geometry ----

int TStringGrid::RowSpan(int row) const { return RowHeights(row) + lineWidth_; }
int TStringGrid::ColSpan(int col) const { return ColWidths(col) + lineWidth_; }

int TStringGrid::FixedHeight() const
{
    int h = 0;
    for (int r = 0; r < fixedRows_; ++r)
        h += RowSpan(r);
    return h;
}

int TStringGrid::FixedWidth() const
{
    int w = 0;
    for (int c = 0; c < fixedCols_; ++c)
        w += ColSpan(c);
    return w;
}

int TStringGrid::RowTop(int row) const
{
    int y = 0;
    if (row < fixedRows_) {
        for (int r = 0; r < row; ++r)
            y += RowSpan(r);
        return y;
    }
    y = FixedHeight();
    for (int r = topRow_; r < row; ++r)
        y += RowSpan(r);
    for (int r = row; r < topRow_; ++r)
        y -= RowSpan(r);
    return y;
}

int TStringGrid::ColLeft(int col) const
{
    int x = 0;
    if (col < fixedCols_) {
        for (int c = 0; c < col; ++c)
            x += ColSpan(c);
        return x;
    }
    x = FixedWidth();
    for (int c = leftCol_; c < col; ++c)
        x += ColSpan(c);
    for (int c = col; c < leftCol_; ++c)
        x -= ColSpan(c);
    return x;
}

QRect TStringGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= colCount_ || row < 0 || row > rowCount_)
        return {};
    return QRect(ColLeft(col), RowTop(row), ColWidths(col), RowHeights(row));
}

bool TStringGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    col = row = -1;
    const QSize cs = ClientSize();
    if (x < 0 || y < 0 || x >= cs.width() || y >= cs.height())
        return false;
    // A grid line belongs to the cell left of it (above it).
    for (int c = 0; c < colCount_; ++c) {
        if (c >= fixedCols_ && c < leftCol_)
            continue;
        const int left = ColLeft(c);
        if (x >= left && x < left + ColSpan(c)) {
            col = c;
            break;
        }
    }
    for (int r = 0; r < rowCount_; ++r) {
        if (r >= fixedRows_ && r < topRow_)
            continue;
        const int top = RowTop(r);
        if (y >= top && y < top + RowSpan(r)) {
            row = r;
            break;
        }
    }
    if (col < 0 || row < 0) {
        col = row = -1;
        return false;
    }
    return true;
}

// The client size as the scroll bars the grid needs will leave it. Computed
// from the grid's own size so that it holds for hidden grids too. The last
// row's (column's) own grid line may be cut off without a scroll bar.
QSize TStringGrid::ClientSize(bool* needV, bool* needH) const
{
    const int fw = frameWidth();
    const int w = width() - 2 * fw;
    const int h = height() - 2 * fw;
    const qint64 rows = rowHeightSum_ + qint64(rowCount_ - 1) * lineWidth_;
    const qint64 cols = colWidthSum_ + qint64(colCount_ - 1) * lineWidth_;
    const bool allowV = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    const bool allowH = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    const int sbw = verticalScrollBar()->sizeHint().width();
    const int sbh = horizontalScrollBar()->sizeHint().height();
    bool v = false, hz = false;
    for (int pass = 0; pass < 3; ++pass) {
        v = allowV && rows > h - (hz ? sbh : 0);
        hz = allowH && cols > w - (v ? sbw : 0);
    }
    if (needV)
        *needV = v;
    if (needH)
        *needH = hz;
    return QSize(std::max(0, w - (v ? sbw : 0)), std::max(0, h - (hz ? sbh : 0)));
}

int TStringGrid::MaxTopRow(int clientHeight) const
{
    const int avail = clientHeight - FixedHeight();
    int top = rowCount_ - 1;
    int used = RowHeights(top);
    while (top - 1 >= fixedRows_ && used + RowSpan(top - 1) <= avail) {
        used += RowSpan(top - 1);
        --top;
    }
    return std::max(top, fixedRows_);
}

int TStringGrid::MaxLeftCol(int clientWidth) const
{
    const int avail = clientWidth - FixedWidth();
    int left = colCount_ - 1;
    int used = ColWidths(left);
    while (left - 1 >= fixedCols_ && used + ColSpan(left - 1) <= avail) {
        used += ColSpan(left - 1);
        --left;
    }
    return std::max(left, fixedCols_);
}

int TStringGrid::VisibleRowCount() const
{
    const int ch = ClientSize().height();
    int y = FixedHeight();
    int n = 0;
    for (int r = topRow_; r < rowCount_ && y + RowHeights(r) <= ch; ++r, ++n)
        y += RowSpan(r);
    return n;
}

int TStringGrid::VisibleColCount() const
{
    const int cw = ClientSize().width();
    int x = FixedWidth();
    int n = 0;
    for (int c = leftCol_; c < colCount_ && x + ColWidths(c) <= cw; ++c, ++n)
        x += ColSpan(c);
    return n;
}

void TStringGrid::SetTopRow(int value)
{
    topRow_ = std::clamp(value, fixedRows_, MaxTopRow(ClientSize().height()));
    Relayout();
}

void TStringGrid::SetLeftCol(int value)
{
    leftCol_ = std::clamp(value, fixedCols_, MaxLeftCol(ClientSize().width()));
    Relayout();
}

void TStringGrid::ScrollInView(int col, int row)
{
    const QSize cs = ClientSize();
    if (row >= fixedRows_) {
        if (row < topRow_)
            topRow_ = row;
        while (topRow_ < row && RowTop(row) + RowHeights(row) > cs.height())
            ++topRow_;
    }
    if (col >= fixedCols_) {
        if (col < leftCol_)
            leftCol_ = col;
        while (leftCol_ < col && ColLeft(col) + ColWidths(col) > cs.width())
            ++leftCol_;
    }
}

// Brings scroll position, scroll bars and the editor in line with the cells.
void TStringGrid::Relayout()
{
    bool needV = false, needH = false;
    const QSize cs = ClientSize(&needV, &needH);
    const int maxTop = MaxTopRow(cs.height());
    const int maxLeft = MaxLeftCol(cs.width());
    topRow_ = std::clamp(topRow_, fixedRows_, maxTop);
    leftCol_ = std::clamp(leftCol_, fixedCols_, maxLeft);

    updatingScroll_ = true;
    const auto vPolicy = needV ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (verticalScrollBarPolicy() != vPolicy)
        setVerticalScrollBarPolicy(vPolicy);
    const auto hPolicy = needH ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (horizontalScrollBarPolicy() != hPolicy)
        setHorizontalScrollBarPolicy(hPolicy);
    verticalScrollBar()->setRange(fixedRows_, maxTop);
    verticalScrollBar()->setPageStep(std::max(1, VisibleRowCount()));
    verticalScrollBar()->setValue(topRow_);
    horizontalScrollBar()->setRange(fixedCols_, maxLeft);
    horizontalScrollBar()->setPageStep(std::max(1, VisibleColCount()));
    horizontalScrollBar()->setValue(leftCol_);
    updatingScroll_ = false;

    SyncEditor();
    viewport()->update();
}

void TStringGrid::scrollContentsBy(int, int)
{
    if (updatingScroll_)
        return;
    topRow_ = verticalScrollBar()->value();
    leftCol_ = horizontalScrollBar()->value();
    SyncEditor();
    viewport()->update();
}

// ---- current cell ----

void TStringGrid::CheckCell(int col, int row) const
{
    if (col < fixedCols_ || col >= colCount_ || row < fixedRows_ || row >= rowCount_)
        throw EInvalidOperation(QStringLiteral("Вътрешна грешка: клетката е извън таблицата.\nЗатворете прозореца и опитайте отново."));
}

void TStringGrid::SetCol(int value)
{
    CheckCell(value, row_);
    MoveCurrent(value, row_);
}

void TStringGrid::SetRow(int value)
{
    CheckCell(col_, value);
    MoveCurrent(col_, value);
}

void TStringGrid::MoveCurrent(int col, int row)
{
    if (col == col_ && row == row_)
        return;
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, col, row, canSelect);
    if (!canSelect)
        return;
    // The handler may have reshaped the grid.
    if (col < fixedCols_ || col >= colCount_ || row < fixedRows_ || row >= rowCount_)
        return;
    col_ = col;
    row_ = row;
    if (!(options_ & goAlwaysShowEditor))
        editorMode_ = false;
    ScrollInView(col_, row_);
    Relayout();
}

void TStringGrid::UserMove(int col, int row)
{
    SafeCall([&] { MoveCurrent(col, row); });
}

// ---- options and the editor ----

void TStringGrid::SetOptions(TGridOptions value)
{
    options_ = value;
    if (!(options_ & goEditing))
        editorMode_ = false;
    else if (options_ & goAlwaysShowEditor)
        editorMode_ = true;
    Relayout();
}

void TStringGrid::SetEditorMode(bool on)
{
    editorMode_ = on;
    SyncEditor();
    viewport()->update();
}

void TStringGrid::SetShowsCurrentCell(bool on)
{
    if (showsCurrentCell_ == on)
        return;
    showsCurrentCell_ = on;
    viewport()->update();
}

bool TStringGrid::HasFocusInside() const { return hasFocus() || editor_->hasFocus(); }

void TStringGrid::SyncEditor()
{
    const bool wanted = editorMode_ && (options_ & goEditing) && !(options_ & goRowSelect) &&
                        ((options_ & goAlwaysShowEditor) || HasFocusInside());
    if (!wanted) {
        if (editorShown_) {
            editorShown_ = false;
            const bool hadFocus = editor_->hasFocus();
            editor_->hide();
            if (hadFocus)
                setFocus();
        }
        return;
    }
    if (!editorShown_ || editorCol_ != col_ || editorRow_ != row_) {
        editorCol_ = col_;
        editorRow_ = row_;
        editor_->setText(Cells(col_, row_));
        editor_->selectAll();
    }
    editorShown_ = true;
    const bool inView = row_ >= topRow_ && col_ >= leftCol_;
    editor_->setGeometry(CellRect(col_, row_));
    editor_->setVisible(inView);
    if (inView && hasFocus())
        editor_->setFocus();
}

void TStringGrid::EditorEdited(const QString& text)
{
    const int col = editorCol_;
    const int row = editorRow_;
    if (col >= 0 && row >= 0 && col < colCount_ && row < rowCount_)
        cells_[row][col] = text;
    viewport()->update();
    if (OnSetEditText)
        SafeCall([&] { OnSetEditText(this, col, row, text); });
}

// ---- appearance ----

void TStringGrid::SetFixedColor(TColor c)
{
    fixedColor_ = c;
    viewport()->update();
}

void TStringGrid::SetColor(TColor c)
{
    TControl::SetColor(c);
    viewport()->update();
}

void TStringGrid::SetScrollBars(TScrollStyle s)
{
    scrollBars_ = s;
    Relayout();
}

void TStringGrid::SetBorderStyle(TBorderStyle s)
{
    borderStyle_ = s;
    setFrameStyle(s == bsNone ? QFrame::NoFrame : (QFrame::WinPanel | QFrame::Sunken));
    Relayout();
}

QColor TStringGrid::Background() const
{
    const QColor c = ColorToQColor(Color());
    return c.isValid() ? c : ColorToQColor(clWindow);
}

void TStringGrid::paintEvent(QPaintEvent* e)
{
    QPainter p(viewport());
    const QSize vs = viewport()->size();
    const QColor bg = Background();
    p.fillRect(QRect(QPoint(0, 0), vs), bg);

    // A disabled grid keeps its normal text colour and shows no selection.
    const bool enabled = isEnabled();
    const bool marked = enabled && showsCurrentCell_;
    const bool focused = HasFocusInside();
    const QPalette& pal = palette();
    const QColor textColor = pal.color(QPalette::Active, QPalette::Text);
    const QColor selBg = pal.color(QPalette::Active, QPalette::Highlight);
    const QColor selText = pal.color(QPalette::Active, QPalette::HighlightedText);
    const QColor fixedBg = ColorToQColor(fixedColor_);
    const QColor fixedLine = ColorToQColor(clBlack);
    const QColor cellLine = ColorToQColor(clSilver);
    const bool rowSelect = options_ & goRowSelect;

    std::vector<std::pair<int, int>> cols;  // index, left
    int x = 0;
    for (int c = 0; c < colCount_ && x < vs.width(); ++c) {
        if (c >= fixedCols_ && c < leftCol_)
            continue;
        cols.emplace_back(c, x);
        x += ColSpan(c);
    }
    std::vector<std::pair<int, int>> rows;  // index, top
    int y = 0;
    // Only the rows in the painted area: a grid may be far taller than its window.
    const int bottom = std::min(vs.height(), e->rect().bottom() + 1);
    for (int r = 0; r < rowCount_ && y < bottom; ++r) {
        if (r >= fixedRows_ && r < topRow_)
            continue;
        if (y + RowSpan(r) > e->rect().top())
            rows.emplace_back(r, y);
        y += RowSpan(r);
    }

    for (const auto& [r, top] : rows) {
        for (const auto& [c, left] : cols) {
            const QRect cell(left, top, ColWidths(c), RowHeights(r));
            const bool fixed = r < fixedRows_ || c < fixedCols_;
            const bool selected = !fixed && marked && r == row_ && (rowSelect || c == col_) &&
                                  (rowSelect || !focused || (options_ & goDrawFocusSelected));
            const QColor cellBg = fixed ? fixedBg : selected ? selBg : bg;
            p.fillRect(cell, cellBg);
            if (lineWidth_ > 0) {
                const bool vLine = options_ & (fixed ? goFixedVertLine : goVertLine);
                const bool hLine = options_ & (fixed ? goFixedHorzLine : goHorzLine);
                const QColor line = fixed ? fixedLine : cellLine;
                p.fillRect(QRect(cell.right() + 1, top, lineWidth_, cell.height() + lineWidth_),
                           vLine ? line : cellBg);
                p.fillRect(QRect(left, cell.bottom() + 1, cell.width() + lineWidth_, lineWidth_),
                           hLine ? line : cellBg);
            }
            // No more of a long text than the cell can show is laid out.
            const QString& whole = cells_[r][c];
            if (whole.isEmpty())
                continue;
            const QString s = whole.size() > 4 * cell.width() + 64 ? whole.left(4 * cell.width() + 64) : whole;
            p.save();
            p.setClipRect(cell);
            p.setPen(selected ? selText : textColor);
            p.drawText(cell.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, s);
            p.restore();
        }
    }

    if (focused && marked && !editorShown_ && row_ >= topRow_) {
        QRect r = CellRect(col_, row_);
        if (rowSelect && !cols.empty()) {
            const int first = std::max(fixedCols_, leftCol_);
            r.setLeft(ColLeft(first));
            r.setRight(ColLeft(colCount_ - 1) + ColWidths(colCount_ - 1) - 1);
        }
        p.setPen(QPen(rowSelect ? selText : textColor, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

// ---- keyboard ----

bool TStringGrid::FireKeyDown(WORD& key, TShiftState shift)
{
    if (!OnKeyDown)
        return key != 0;
    bool done = false;
    SafeCall([&] {
        OnKeyDown(this, key, shift);
        done = true;
    });
    return done && key != 0;
}

bool TStringGrid::FireKeyPress(char16_t& ch)
{
    if (!OnKeyPress)
        return ch != 0;
    bool done = false;
    SafeCall([&] {
        OnKeyPress(this, ch);
        done = true;
    });
    return done && ch != 0;
}

void TStringGrid::FireKeyUp(WORD key, TShiftState shift)
{
    if (OnKeyUp)
        SafeCall([&] { OnKeyUp(this, key, shift); });
}

// The grid's own handling of a key that went down (after OnKeyDown).
void TStringGrid::Navigate(WORD key, TShiftState shift)
{
    const bool rowSelect = options_ & goRowSelect;
    int c = col_;
    int r = row_;
    const int page = std::max(1, VisibleRowCount());
    switch (key) {
    case kUp: r = std::max(fixedRows_, r - 1); break;
    case kDown: r = std::min(rowCount_ - 1, r + 1); break;
    case kPrior: r = std::max(fixedRows_, r - page); break;
    case kNext: r = std::min(rowCount_ - 1, r + page); break;
    case kLeft:
        if (rowSelect) {
            SetLeftCol(leftCol_ - 1);
            return;
        }
        c = std::max(fixedCols_, c - 1);
        break;
    case kRight:
        if (rowSelect) {
            SetLeftCol(leftCol_ + 1);
            return;
        }
        c = std::min(colCount_ - 1, c + 1);
        break;
    case kHome:
        c = fixedCols_;
        if (shift & ssCtrl)
            r = fixedRows_;
        break;
    case kEnd:
        c = colCount_ - 1;
        if (shift & ssCtrl)
            r = rowCount_ - 1;
        break;
    case kF2:
        if (options_ & goEditing)
            SetEditorMode(true);
        return;
    default: return;
    }
    if (c != col_ || r != row_)
        UserMove(c, r);
}

// A character typed on the grid itself starts editing the current cell.
void TStringGrid::StartTyping(char16_t ch)
{
    if (!(options_ & goEditing) || (options_ & goRowSelect))
        return;
    editorMode_ = true;
    SyncEditor();
    if (!editorShown_)
        return;
    editor_->selectAll();
    editor_->insert(QString(QChar(ch)));
    EditorEdited(editor_->text());
}

void TStringGrid::keyPressEvent(QKeyEvent* e)
{
    e->accept();
    WORD key = VirtualKey(e->key());
    const TShiftState shift = ShiftOf(e->modifiers());
    if (key != 0) {
        if (!FireKeyDown(key, shift))
            return;
        Navigate(key, shift);
    }
    const QString typed = e->text();
    if (typed.isEmpty())
        return;
    char16_t ch = typed.at(0).unicode();
    if (!QChar(ch).isPrint() && ch != kReturn && ch != kEscape && ch != kBack)
        return;
    if (!FireKeyPress(ch))
        return;
    const bool editable = (options_ & goEditing) && !(options_ & goRowSelect);
    if (ch == kReturn) {
        if (editable && !(options_ & goAlwaysShowEditor))
            SetEditorMode(!editorMode_);
    } else if (ch == kEscape) {
        if (!(options_ & goAlwaysShowEditor))
            SetEditorMode(false);
    } else if (QChar(ch).isPrint()) {
        StartTyping(ch);
    }
}

void TStringGrid::keyReleaseEvent(QKeyEvent* e)
{
    e->accept();
    if (e->isAutoRepeat())
        return;
    if (const WORD key = VirtualKey(e->key()))
        FireKeyUp(key, ShiftOf(e->modifiers()));
}

// ---- mouse ----

void TStringGrid::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(e);
        return;
    }
    clickPending_ = false;
    const QPoint pos = e->position().toPoint();
    if ((options_ & goColSizing) && pos.y() < FixedHeight()) {
        for (int c = 0; c < colCount_; ++c) {
            if (c >= fixedCols_ && c < leftCol_)
                continue;
            const int line = ColLeft(c) + ColWidths(c);
            if (std::abs(pos.x() - line) <= 2) {
                sizingCol_ = c;
                return;
            }
        }
    }
    int c = -1, r = -1;
    if (!MouseToCell(pos.x(), pos.y(), c, r) || c < fixedCols_ || r < fixedRows_)
        return;
    clickPending_ = true;
    if (c == col_ && r == row_) {
        if ((options_ & goEditing) && !(options_ & goRowSelect)) {
            editorMode_ = true;
            SyncEditor();
            if (editorShown_)
                editor_->setFocus();
        }
        return;
    }
    UserMove(c, r);
}

void TStringGrid::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (sizingCol_ >= 0) {
        SetColWidths(sizingCol_, pos.x() - ColLeft(sizingCol_));
        return;
    }
    bool overLine = false;
    if ((options_ & goColSizing) && pos.y() < FixedHeight())
        for (int c = 0; c < colCount_ && !overLine; ++c)
            if (c < fixedCols_ || c >= leftCol_)
                overLine = std::abs(pos.x() - (ColLeft(c) + ColWidths(c))) <= 2;
    if (overLine)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (sizingCol_ >= 0) {
        sizingCol_ = -1;
        return;
    }
    if (clickPending_) {
        clickPending_ = false;
        if (OnClick)
            SafeCall([this] { OnClick(this); });
    }
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    clickPending_ = false;
    if (e->button() == Qt::LeftButton && OnDblClick)
        SafeCall([this] { OnDblClick(this); });
}

// ---- focus, size, state ----

void TStringGrid::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    SyncEditor();
    if (editorShown_ && editor_->isVisible())
        editor_->setFocus();
    viewport()->update();
}

void TStringGrid::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}

void TStringGrid::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    Relayout();
    CheckResize();
}

void TStringGrid::showEvent(QShowEvent* e)
{
    QAbstractScrollArea::showEvent(e);
    Relayout();
}

void TStringGrid::changeEvent(QEvent* e)
{
    QAbstractScrollArea::changeEvent(e);
    switch (e->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange: viewport()->update(); break;
    default: break;
    }
}

// ---- design values ----

void TStringGrid::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    auto number = [this](const char* name, int& out) {
        const QVariant v = property(name);
        if (!v.isValid())
            return false;
        bool ok = false;
        out = v.toString().toInt(&ok);
        return ok;
    };
    int n = 0;
    if (number("ColCount", n))
        SetColCount(n);
    if (number("RowCount", n))
        SetRowCount(n);
    if (number("DefaultColWidth", n))
        SetDefaultColWidth(n);
    if (number("DefaultRowHeight", n))
        SetDefaultRowHeight(n);
    if (number("GridLineWidth", n))
        SetGridLineWidth(n);
    const QVariant widths = property("ColWidths");
    if (widths.isValid()) {
        const QStringList list = widths.toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (int c = 0; c < list.size(); ++c)
            SetColWidths(c, list[c].trimmed().toInt());
    }
    if (number("FixedCols", n))
        SetFixedCols(std::clamp(n, 0, colCount_ - 1));
    if (number("FixedRows", n))
        SetFixedRows(std::clamp(n, 0, rowCount_ - 1));
    const QVariant fixedColor = property("FixedColor");
    if (fixedColor.isValid())
        SetFixedColor(static_cast<TColor>(fixedColor.toLongLong()));
    const QVariant scroll = property("ScrollBars");
    if (scroll.isValid()) {
        const QString s = scroll.toString();
        SetScrollBars(s == QLatin1String("ssNone")         ? ssNone
                      : s == QLatin1String("ssHorizontal") ? ssHorizontal
                      : s == QLatin1String("ssVertical")   ? ssVertical
                                                           : ssBoth);
    }
    const QVariant border = property("BorderStyle");
    if (border.isValid())
        SetBorderStyle(border.toString() == QLatin1String("bsNone") ? bsNone : bsSingle);
    const QVariant options = property("Options");
    if (options.isValid())
        SetOptions(ParseOptions(options, options_));
}
