#include "platform/dbgrids.h"

#include "platform/dbctrls.h"
#include "platform/dialogs.h"
#include "platform/keys.h"
#include "platform/stdctrls_internal.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QChildEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>

using namespace stdctrls;

namespace {


bool TableEditing(const TTable* t)
{
    return t && t->Editing();
}

// A design colour: a TColor number or one of the class library's names.

bool IsNumeric(const TField* f)
{
    return f->DataType() == TFieldType::ftFloat || f->DataType() == TFieldType::ftCurrency;
}

}  // namespace

// ---- Columns ----

void TColumn::SetFieldName(const QString& name)
{
    fieldName_ = name;
    grid_->ColumnsChanged();
}

TField* TColumn::Field() const { return grid_->link_.Field(fieldName_); }

void TColumn::SetTitle(const QString& title)
{
    title_ = title;
    grid_->horizontalHeader()->viewport()->update();
}

void TColumn::SetWidth(int width)
{
    width_ = std::max(0, width);
    if (index_ < grid_->horizontalHeader()->count()) {
        const Depth guard(grid_->syncing_);
        grid_->horizontalHeader()->resizeSection(index_, width_);
    }
}

void TColumn::SetReadOnly(bool on) { readOnly_ = on; }

TColumn* TDBGridColumns::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(ListIndexText(index));
    return items_[size_t(index)].get();
}

TColumn* TDBGridColumns::Add()
{
    if (!custom_) {
        items_.clear();
        custom_ = true;
    }
    items_.push_back(std::unique_ptr<TColumn>(new TColumn(grid_)));
    TColumn* c = items_.back().get();
    c->index_ = Count() - 1;
    grid_->ColumnsChanged();
    return c;
}

void TDBGridColumns::Clear()
{
    items_.clear();
    custom_ = false;
    grid_->ColumnsChanged();
}

// ---- The grid's model and delegate ----

// Reads the table on demand: only the cells the view paints are read.
class TDBGridModel : public QAbstractTableModel {
public:
    explicit TDBGridModel(TDBGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : std::max(0, grid_->shownRows_);
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : grid_->columns_.Count();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.column() >= grid_->columns_.Count())
            return {};
        TField* f = grid_->columns_.Items(index.column())->Field();
        if (!f)
            return {};
        try {
            switch (role) {
            case Qt::DisplayRole: return f->DisplayTextAt(index.row() + 1);
            case Qt::EditRole: return f->TextAt(index.row() + 1);
            case Qt::TextAlignmentRole:
                return int((IsNumeric(f) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            default: return {};
            }
        } catch (const Exception&) {
            return {};  // painting never throws; a closed table shows nothing
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= grid_->columns_.Count())
            return {};
        return grid_->columns_.Items(section)->Title();
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (grid_->CanEditColumn(index.column()))
            f |= Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::EditRole || !index.isValid())
            return false;
        return grid_->WriteCell(index.row(), index.column(), value.toString());
    }

    void Reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    TDBGrid* grid_;
};

// Draws the chosen grid lines and starts the record's edit at the first
// keystroke in a cell editor.
class TDBGridDelegate : public QStyledItemDelegate {
public:
    explicit TDBGridDelegate(TDBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            if (index.column() < grid_->columns_.Count())
                if (TField* f = grid_->columns_.Items(index.column())->Field();
                    f && f->DataType() == TFieldType::ftString && f->Size() > 0)
                    edit->setMaxLength(f->Size());
            QObject::connect(edit, &QLineEdit::textEdited, grid_, [g = grid_] { g->EditorTyped(); });
        }
        grid_->cellEditor_ = w;
        grid_->cellEditorIndex_ = index;
        return w;
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        if (grid_->cellEditor_ == editor)
            grid_->cellEditor_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

protected:
    bool eventFilter(QObject* editor, QEvent* e) override
    {
        // A message box or another window taking the focus leaves the cell
        // open: the post takes what it shows.
        if (e->type() == QEvent::FocusOut) {
            const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
            if (why == Qt::ActiveWindowFocusReason || why == Qt::PopupFocusReason)
                return false;
        }
        return QStyledItemDelegate::eventFilter(editor, e);
    }

public:

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(p, option, index);
        const TDBGridOptions o = grid_->Options();
        if (!(o & (dgColLines | dgRowLines)))
            return;
        p->save();
        p->setPen(QColor(192, 192, 192));
        const QRect r = option.rect;
        if (o & dgColLines)
            p->drawLine(r.topRight(), r.bottomRight());
        if (o & dgRowLines)
            p->drawLine(r.bottomLeft(), r.bottomRight());
        p->restore();
    }

private:
    TDBGrid* grid_;
};

// ---- TDBGrid ----

TDBGrid::TDBGrid(QWidget* parent)
    : QTableView(parent), TControl(this), link_(this), columns_(this), model_(new TDBGridModel(this))
{
    setModel(model_);
    setItemDelegate(new TDBGridDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 5);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setMinimumSectionSize(4);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setShowGrid(false);  // the delegate draws the chosen lines
    QObject::connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int i, int, int size) {
        if (!syncing_ && i < columns_.Count())
            columns_.items_[size_t(i)]->width_ = size;
    });
    ApplyOptions();
    ApplyFixedColor();
    shownRows_ = 0;
}

TDBGrid::~TDBGrid()
{
    // The control base still sends the widget events after the members are gone.
    behind_ = false;
}

TTable* TDBGrid::Table() const { return link_.Active() ? link_.DataSet() : nullptr; }

bool TDBGrid::Editing() const { return TableEditing(Table()); }

void TDBGrid::SetDataSource(TDataSource* source) { link_.SetDataSource(source); }

bool TDBGrid::CanModify() const
{
    const TTable* t = Table();
    if (!t || (options_ & dgReadOnly))
        return false;
    return Editing() || (DataSource()->AutoEdit && !t->IsEmpty());
}

bool TDBGrid::CanEditColumn(int column) const
{
    if (!(options_ & dgEditing) || (options_ & (dgReadOnly | dgRowSelect)) || column < 0 || column >= columns_.Count())
        return false;
    const TColumn* c = columns_.Items(column);
    const TField* f = c->Field();
    return !c->ReadOnly() && f && f->DataType() != TFieldType::ftMemo && f->DataType() != TFieldType::ftGraphic;
}

int TDBGrid::RowCount() const
{
    const TTable* t = Table();
    if (!t)
        return 0;
    return t->RecordCount() + (t->State() == TDataSetState::dsInsert ? 1 : 0);
}

int TDBGrid::CurrentRow() const
{
    CatchUp();
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

QString TDBGrid::CellText(int row, int column) const
{
    CatchUp();
    return model_->data(model_->index(row - 1, column), Qt::DisplayRole).toString();
}

int TDBGrid::SelectedIndex() const
{
    CatchUp();
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : 0;
}

void TDBGrid::SetSelectedIndex(int column)
{
    CatchUp();
    if (column < 0 || column >= columns_.Count() || shownRows_ <= 0)
        return;
    const Depth guard(syncing_);
    const int row = std::max(0, currentIndex().row());
    selectionModel()->setCurrentIndex(model_->index(row, column), QItemSelectionModel::ClearAndSelect);
}

void TDBGrid::SetOptions(TDBGridOptions options)
{
    options_ = options;
    ApplyOptions();
}

void TDBGrid::ApplyOptions()
{
    horizontalHeader()->setVisible(options_ & dgTitles);
    horizontalHeader()->setSectionResizeMode(options_ & dgColumnResize ? QHeaderView::Interactive : QHeaderView::Fixed);
    setSelectionBehavior(options_ & dgRowSelect ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    setSelectionMode(options_ & dgMultiSelect ? QAbstractItemView::ExtendedSelection
                                              : QAbstractItemView::SingleSelection);
    setTabKeyNavigation(options_ & dgTabs);
    const bool editable = (options_ & dgEditing) && !(options_ & (dgReadOnly | dgRowSelect));
    setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
    // Without dgAlwaysShowSelection the selection shows only while the grid has the focus.
    QPalette p = palette();
    const bool always = options_ & dgAlwaysShowSelection;
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Active, always ? QPalette::Highlight : QPalette::Base));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, always ? QPalette::HighlightedText : QPalette::Text));
    setPalette(p);
    viewport()->update();
}

void TDBGrid::SetFixedColor(TColor c)
{
    fixedColor_ = c;
    ApplyFixedColor();
}

void TDBGrid::ApplyFixedColor()
{
    QColor c = ColorToQColor(fixedColor_);
    if (!c.isValid())
        c = ColorToQColor(clBtnFace);
    horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; padding: 1px 3px; border: none;"
                       " border-right: 1px solid #a0a0a0; border-bottom: 1px solid #a0a0a0; }")
            .arg(c.name()));
}

void TDBGrid::SetColor(TColor c)
{
    TControl::SetColor(c);
    ApplyOptions();  // the hidden selection takes the new background
}

void TDBGrid::FontChanged()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 5);
    TControl::FontChanged();
}

void TDBGrid::SetBorderStyle(TBorderStyle s)
{
    borderStyle_ = s;
    setFrameShape(s == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TDBGrid::RebuildDefaultColumns()
{
    QStringList names;
    if (const TTable* t = Table())
        for (int i = 0; i < t->FieldCount(); ++i)
            if (t->Fields(i)->Visible())
                names << t->Fields(i)->FieldName();
    QStringList shown;
    for (const auto& c : columns_.items_)
        shown << c->fieldName_;
    if (names == shown)
        return;
    columns_.items_.clear();
    const int charWidth = fontMetrics().averageCharWidth();
    for (const QString& n : names) {
        columns_.items_.push_back(std::unique_ptr<TColumn>(new TColumn(this)));
        TColumn* c = columns_.items_.back().get();
        c->index_ = columns_.Count() - 1;
        c->fieldName_ = n;
        const TField* f = Table()->FindField(n);
        c->width_ = f && f->DataType() == TFieldType::ftString ? std::clamp(f->Size(), 4, 30) * charWidth + 8 : 80;
    }
    shownRows_ = -1;  // forces a reset
}

void TDBGrid::ColumnsChanged()
{
    if (!columns_.custom_)
        RebuildDefaultColumns();
    for (int i = 0; i < columns_.Count(); ++i)
        columns_.items_[size_t(i)]->index_ = i;
    shownRows_ = RowCount();
    shownActive_ = link_.Active();
    ResetModel();
    SyncCurrent();
}

void TDBGrid::ResetModel()
{
    const Depth guard(syncing_);
    // A reset forgets the current cell: the column the user is in must survive it.
    if (const QModelIndex now = currentIndex(); now.isValid())
        keptColumn_ = now.column();
    model_->Reset();
    for (int i = 0; i < columns_.Count(); ++i)
        horizontalHeader()->resizeSection(i, columns_.items_[size_t(i)]->width_);
}

void TDBGrid::DataChanged()
{
    // A move among the same rows is shown when the grid is painted or asked:
    // a walk of the table costs nothing here.
    if (link_.Active() && shownActive_ && RowCount() == shownRows_ && shownRows_ > 0) {
        if (!behind_) {
            behind_ = true;
            if (isVisible())
                viewport()->update();
        }
        return;
    }
    behind_ = false;
    FollowTable();
}

void TDBGrid::CatchUp() const
{
    if (!behind_)
        return;
    behind_ = false;
    const_cast<TDBGrid*>(this)->FollowTable();
}

bool TDBGrid::event(QEvent* e)
{
    if (behind_)
        SafeCall([this] { CatchUp(); });
    return QTableView::event(e);
}

bool TDBGrid::viewportEvent(QEvent* e)
{
    if (behind_)
        SafeCall([this] { CatchUp(); });
    return QTableView::viewportEvent(e);
}

void TDBGrid::FollowTable()
{
    if (!columns_.custom_)
        RebuildDefaultColumns();
    const bool active = link_.Active();
    const int rows = RowCount();
    if (rows != shownRows_ || active != shownActive_) {
        shownRows_ = rows;
        shownActive_ = active;
        ResetModel();
    } else {
        viewport()->update();  // values may have changed anywhere (post, refresh)
    }
    SyncCurrent();
}

void TDBGrid::StateChanged()
{
    CatchUp();
    // Leaving edit state (cancel, post by others) closes an open cell editor.
    if (!Editing() && state() == QAbstractItemView::EditingState) {
        ResetModel();
        SyncCurrent();
    }
    viewport()->update();
}

void TDBGrid::SyncCurrent()
{
    const Depth guard(syncing_);
    const TTable* t = Table();
    if (!t || shownRows_ <= 0 || columns_.Count() == 0)
        return;
    const int row = std::clamp(t->RecNo() - 1, 0, shownRows_ - 1);
    const QModelIndex now = currentIndex();
    const int column = now.isValid() && now.column() < columns_.Count() ? now.column()
                                                                        : std::clamp(keptColumn_, 0, columns_.Count() - 1);
    const QModelIndex target = model_->index(row, column);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (options_ & dgRowSelect)
        flags |= QItemSelectionModel::Rows;
    if (target != now)  // a user's multi-row selection around the current row stays
        selectionModel()->setCurrentIndex(target, flags);
    if (isVisible())
        scrollTo(target);
    else
        scrollPending_ = true;
}

void TDBGrid::MoveToRow(int row)
{
    SafeCall([&] {
        TTable* t = Table();
        if (t && row + 1 != t->RecNo() && row + 1 <= t->RecordCount())
            t->SetRecNo(row + 1);  // posts a pending edit first
    });
    const TTable* t = Table();
    if (t && t->RecNo() != row + 1)
        moveRefused_ = true;
    SyncCurrent();  // also when the move was refused
}

void TDBGrid::ShowRefusedMove()
{
    if (!moveRefused_)
        return;
    moveRefused_ = false;
    // The click or key that asked for the move selects its own row after us.
    const Depth guard(syncing_);
    if (const QModelIndex now = currentIndex(); now.isValid())
        keptColumn_ = now.column();
    selectionModel()->clearSelection();
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    SyncCurrent();
}

bool TDBGrid::CellModified() const
{
    auto* edit = qobject_cast<QLineEdit*>(cellEditor_.data());
    if (!edit || !cellEditorIndex_.isValid() || state() != QAbstractItemView::EditingState)
        return false;
    const int column = cellEditorIndex_.column();
    const TField* f = column < columns_.Count() ? columns_.Items(column)->Field() : nullptr;
    return f && f->Text() != edit->text();
}

QModelIndex TDBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex now = currentIndex();
    const int lastColumn = columns_.Count() - 1;
    if (!(options_ & dgTabs) || !now.isValid() || (action != MoveNext && action != MovePrevious))
        return QTableView::moveCursor(action, modifiers);
    if (action == MovePrevious)
        return now.row() == 0 && now.column() == 0 ? now : QTableView::moveCursor(action, modifiers);
    if (now.row() < shownRows_ - 1 || now.column() < lastColumn)
        return QTableView::moveCursor(action, modifiers);
    // Past the last cell: a new row, never back to the first record.
    TTable* t = Table();
    const bool mayChange = (options_ & dgEditing) && !(options_ & dgReadOnly);
    if (!t || !mayChange || (t->State() == TDataSetState::dsInsert && !t->Modified() && !CellModified()))
        return now;
    bool appended = false;
    SafeCall([&] {
        t->Append();  // posts the row first
        appended = true;
    });
    CatchUp();
    if (!appended || t->State() != TDataSetState::dsInsert)
        return currentIndex();
    return model_->index(shownRows_ - 1, 0);
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    keptOpen_ = false;
    QTableView::currentChanged(current, previous);  // commits an open cell editor
    if (keptOpen_ && previous.isValid()) {
        // The cell's text was refused: stay on it.
        keptOpen_ = false;
        const Depth guard(syncing_);
        selectionModel()->setCurrentIndex(previous, QItemSelectionModel::ClearAndSelect);
        return;
    }
    if (syncing_ || !current.isValid())
        return;
    if (previous.isValid() && current.row() == previous.row())
        return;
    MoveToRow(current.row());
}

bool TDBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (state() != QAbstractItemView::EditingState && index.isValid() && (model_->flags(index) & Qt::ItemIsEditable) &&
        !CanModify())
        return false;
    return QTableView::edit(index, trigger, event);
}

void TDBGrid::EditorTyped()
{
    SafeCall([this] { link_.Edit(); });
}

bool TDBGrid::PutCell(int row, int column, const QString& text)
{
    TTable* t = Table();
    TField* f = column < columns_.Count() ? columns_.Items(column)->Field() : nullptr;
    if (!t || !f || row + 1 != t->RecNo())
        return false;
    if (f->Text() == text)
        return true;  // an editor closed without a change writes nothing
    if (!link_.Edit())
        return false;
    f->SetText(text);
    return true;
}

bool TDBGrid::WriteCell(int row, int column, const QString& text)
{
    bool ok = false;
    bool threw = true;
    SafeCall([&] {
        ok = PutCell(row, column, text);
        threw = false;
    });
    if (threw)
        refused_ = true;
    return ok;
}

void TDBGrid::UpdateData()
{
    auto* edit = qobject_cast<QLineEdit*>(cellEditor_.data());
    if (!edit || !cellEditorIndex_.isValid() || state() != QAbstractItemView::EditingState)
        return;
    PutCell(cellEditorIndex_.row(), cellEditorIndex_.column(), edit->text());
}

void TDBGrid::commitData(QWidget* editor)
{
    if (committing_)
        return;  // the refusal's message box took the focus from the editor
    const Depth guard(committing_);
    refused_ = false;
    QTableView::commitData(editor);
}

void TDBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (committing_)
        return;
    if (refused_ && hint != QAbstractItemDelegate::RevertModelCache) {
        // The field refused the text: the cell stays open to be corrected.
        refused_ = false;
        keptOpen_ = true;
        editor->setFocus();
        return;
    }
    refused_ = false;
    QTableView::closeEditor(editor, hint);
}

bool TDBGrid::HandleKey(QKeyEvent* e)
{
    TTable* t = Table();
    if (!t)
        return false;
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool mayChange = (options_ & dgEditing) && !(options_ & dgReadOnly);
    switch (e->key()) {
    case Qt::Key_Delete:
        if (mods != Qt::ControlModifier)
            return false;
        if (mayChange && !t->IsEmpty())
            SafeCall([&] {
                if (!(options_ & dgConfirmDelete) ||
                    MessageBox(this, DeleteQuestion(OnRecordName ? OnRecordName() : QString()),
                               QStringLiteral("Потвърждение"), TMsgIcon::Question, TMsgButtons::YesNo) == mrYes)
                    t->Delete();
            });
        return true;
    case Qt::Key_Insert:
        if (mods != Qt::NoModifier || !mayChange)
            return false;
        SafeCall([&] { t->Insert(); });
        return true;
    case Qt::Key_Down:
        if (mods != Qt::NoModifier || !mayChange || t->State() == TDataSetState::dsInsert ||
            t->RecNo() < t->RecordCount())
            return false;
        SafeCall([&] { t->Append(); });  // Down on the last row adds one
        return true;
    case Qt::Key_Escape:
        if (!Editing())
            return false;
        SafeCall([&] { t->Cancel(); });
        return true;
    default:
        return false;
    }
}

void TDBGrid::keyPressEvent(QKeyEvent* e)
{
    if (FireUserKeyDown(OnKeyDown, this, e)) {
        e->accept();
        return;
    }
    if (HandleKey(e)) {
        e->accept();
        return;
    }
    moveRefused_ = false;
    QTableView::keyPressEvent(e);
    ShowRefusedMove();
}

void TDBGrid::mousePressEvent(QMouseEvent* e)
{
    const QModelIndex at = indexAt(e->position().toPoint());
    pressRow_ = at.isValid() ? at.row() : -1;
    pressColumn_ = at.isValid() ? at.column() : -1;
    moveRefused_ = false;
    QTableView::mousePressEvent(e);
    ShowRefusedMove();
}

void TDBGrid::mouseMoveEvent(QMouseEvent* e)
{
    moveRefused_ = false;
    QTableView::mouseMoveEvent(e);
    ShowRefusedMove();
}

void TDBGrid::mouseReleaseEvent(QMouseEvent* e)
{
    moveRefused_ = false;
    QTableView::mouseReleaseEvent(e);
    ShowRefusedMove();
    if (e->button() != Qt::LeftButton)
        return;
    const QModelIndex at = indexAt(e->position().toPoint());
    const int column = pressColumn_;
    const bool same = at.isValid() && at.row() == pressRow_ && at.column() == column;
    pressRow_ = pressColumn_ = -1;
    if (!same || column >= columns_.Count() || !OnCellClick)
        return;
    TColumn* c = columns_.Items(column);
    SafeCall([&] { OnCellClick(c); });
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    QTableView::mouseDoubleClickEvent(e);
    FireUser(OnDblClick, this);
}

void TDBGrid::focusOutEvent(QFocusEvent* e)
{
    QTableView::focusOutEvent(e);
    if (!(options_ & dgCancelOnExit))
        return;
    if (QWidget* f = QApplication::focusWidget(); f && isAncestorOf(f))
        return;  // into the grid's own cell editor
    TTable* t = Table();
    if (t && t->State() == TDataSetState::dsInsert && !t->Modified())
        SafeCall([t] { t->Cancel(); });
}

void TDBGrid::showEvent(QShowEvent* e)
{
    QTableView::showEvent(e);
    if (scrollPending_ && currentIndex().isValid()) {
        scrollPending_ = false;
        scrollTo(currentIndex());
    }
}

void TDBGrid::resizeEvent(QResizeEvent* e)
{
    QTableView::resizeEvent(e);
    SafeCall([this] { CheckResize(); });
}

void TDBGrid::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    BindDesignDataSource(this, [this](TDataSource* ds) { SetDataSource(ds); });
    const QVariant options = property("Options");
    if (options.isValid()) {
        static const std::pair<const char*, TDBGridOption> names[] = {
            {"dgEditing", dgEditing},           {"dgTitles", dgTitles},
            {"dgColumnResize", dgColumnResize}, {"dgColLines", dgColLines},
            {"dgRowLines", dgRowLines},         {"dgTabs", dgTabs},
            {"dgRowSelect", dgRowSelect},       {"dgAlwaysShowSelection", dgAlwaysShowSelection},
            {"dgConfirmDelete", dgConfirmDelete}, {"dgCancelOnExit", dgCancelOnExit},
            {"dgMultiSelect", dgMultiSelect},   {"dgReadOnly", dgReadOnly}};
        TDBGridOptions set = 0;
        for (const QString& part : options.toString().split(QLatin1Char('|'), Qt::SkipEmptyParts))
            for (const auto& [n, flag] : names)
                if (part.trimmed().compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
                    set |= flag;
        SetOptions(set);
    }
    TColor fixed = fixedColor_;
    if (DesignColor(this, "FixedColor", fixed))
        SetFixedColor(fixed);
    SetBorderStyle(static_cast<TBorderStyle>(DesignEnum(this, "BorderStyle", {"bsNone", "bsSingle"}, borderStyle_)));
    const QVariant columns = property("Columns");
    if (columns.isValid()) {
        columns_.items_.clear();
        columns_.custom_ = true;
        for (const QString& entry : columns.toString().split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList parts = entry.split(QLatin1Char('|'));
            if (parts.value(0).trimmed().isEmpty())
                continue;
            columns_.items_.push_back(std::unique_ptr<TColumn>(new TColumn(this)));
            TColumn* c = columns_.items_.back().get();
            c->fieldName_ = parts.value(0).trimmed();
            c->title_ = parts.value(1);
            bool ok = false;
            const int width = parts.value(2).trimmed().toInt(&ok);
            if (ok)
                c->width_ = width;
            c->readOnly_ = parts.value(3).trimmed().compare(QLatin1String("ReadOnly"), Qt::CaseInsensitive) == 0;
        }
        ColumnsChanged();
    }
}

// ---- TDBCtrlGrid ----

TDBCtrlGrid::TDBCtrlGrid(QWidget* parent)
    : QWidget(parent), TControl(this), link_(this), scrollBar_(new QScrollBar(Qt::Vertical, this))
{
    setFocusPolicy(Qt::StrongFocus);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    scrollBar_->setRange(1, 1);
    scrollBar_->setEnabled(false);
    QObject::connect(scrollBar_, &QScrollBar::valueChanged, this,
                     [this](int value) { SafeCall([this, value] { MoveTo(value); }); });
}

TDBCtrlGrid::~TDBCtrlGrid() = default;

TTable* TDBCtrlGrid::Table() const { return link_.Active() ? link_.DataSet() : nullptr; }

int TDBCtrlGrid::RecordRows() const
{
    const TTable* t = Table();
    if (!t)
        return 0;
    return t->RecordCount() + (t->State() == TDataSetState::dsInsert ? 1 : 0);
}

void TDBCtrlGrid::SetDataSource(TDataSource* source)
{
    CaptureTemplate();
    for (auto& entry : template_)
        if (auto* c = dynamic_cast<TDBFieldControl*>(entry.first.data()))
            c->SetDataSource(source);
    link_.SetDataSource(source);
}

void TDBCtrlGrid::SetRowCount(int rows)
{
    rowCount_ = std::max(1, rows);
    FitSize();
    DataChanged();
}

void TDBCtrlGrid::SetPanelWidth(int width)
{
    panelWidth_ = std::max(1, width);
    FitSize();
    update();
}

void TDBCtrlGrid::SetPanelHeight(int height)
{
    panelHeight_ = std::max(1, height);
    FitSize();
    DataChanged();
}

void TDBCtrlGrid::SetSelectedColor(TColor c)
{
    selectedColor_ = c;
    update();
}

void TDBCtrlGrid::FitSize()
{
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    SetBounds(Left(), Top(), panelWidth_ + bar, rowCount_ * panelHeight_);
    scrollBar_->setGeometry(panelWidth_, 0, bar, rowCount_ * panelHeight_);
}

int TDBCtrlGrid::PanelRecord(int panel) const
{
    if (top_ < 1 || panel < 0 || panel >= rowCount_)
        return 0;
    const int rec = top_ + panel;
    return rec <= RecordRows() ? rec : 0;
}

int TDBCtrlGrid::PanelIndex() const
{
    const TTable* t = Table();
    if (!t || top_ < 1)
        return -1;
    return t->RecNo() - top_;
}

void TDBCtrlGrid::CaptureTemplate()
{
    templateStale_ = false;
    template_.erase(std::remove_if(template_.begin(), template_.end(), [](const auto& e) { return e.first.isNull(); }),
                    template_.end());
    for (QObject* o : children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w == scrollBar_ || w->isWindow() || !AsControl(w))
            continue;
        const bool known = std::any_of(template_.begin(), template_.end(), [w](const auto& e) { return e.first == w; });
        if (!known)
            template_.emplace_back(w, w->pos());  // still where its creator placed it
    }
}

void TDBCtrlGrid::PlaceControls(int panel)
{
    for (auto& [w, pos] : template_)
        if (w)
            w->move(pos + QPoint(0, panel * panelHeight_));
}

void TDBCtrlGrid::DataChanged()
{
    // Not at every move: a walk of the table runs this for every record.
    if (templateStale_)
        CaptureTemplate();
    const TTable* t = Table();
    const int total = RecordRows();
    if (total == 0) {
        top_ = 0;
        PlaceControls(0);
        const QSignalBlocker block(scrollBar_);
        scrollBar_->setRange(1, 1);
        scrollBar_->setEnabled(false);
        update();
        return;
    }
    const int current = std::clamp(t->RecNo(), 1, total);
    if (top_ < 1)
        top_ = 1;
    if (current < top_)
        top_ = current;
    else if (current >= top_ + rowCount_)
        top_ = current - rowCount_ + 1;
    top_ = std::clamp(top_, 1, std::max(1, total - rowCount_ + 1));  // keep the panels filled
    PlaceControls(current - top_);
    {
        const QSignalBlocker block(scrollBar_);
        scrollBar_->setRange(1, total);
        scrollBar_->setPageStep(rowCount_);
        scrollBar_->setValue(current);
        scrollBar_->setEnabled(total > 1);
    }
    update();
}

void TDBCtrlGrid::MoveTo(int recNo)
{
    TTable* t = Table();
    if (!t || recNo < 1 || recNo > t->RecordCount() || recNo == t->RecNo())
        return;
    t->SetRecNo(recNo);  // posts a pending change first
}

void TDBCtrlGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QColor base = ColorToQColor(Color());
    if (!base.isValid())
        base = Qt::white;
    QColor selected = ColorToQColor(selectedColor_);
    if (!selected.isValid())
        selected = base;
    const int current = PanelIndex();
    for (int i = 0; i < rowCount_; ++i) {
        const int rec = PanelRecord(i);
        const bool isCurrent = current < 0 ? i == 0 : i == current;
        if (rec == 0 && !(isCurrent && current < 0))
            continue;
        const QRect r(0, i * panelHeight_, panelWidth_, panelHeight_);
        p.fillRect(r, isCurrent ? selected : base);
        p.setPen(QColor(255, 255, 255));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(QColor(160, 160, 160));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        if (!isCurrent && rec > 0)
            PaintCopies(p, r.topLeft(), rec);
    }
}

void TDBCtrlGrid::PaintCopies(QPainter& p, const QPoint& origin, int recNo)
{
    for (auto& [w, pos] : template_) {
        if (!w || !w->isVisibleTo(this))
            continue;
        const QRect r(origin + pos, w->size());
        p.save();
        p.setClipRect(r);
        if (auto* box = dynamic_cast<TCheckBox*>(w.data())) {
            bool on = box->Checked();
            if (auto* db = dynamic_cast<TDBCheckBox*>(box))
                on = db->IsCheckedText(db->DisplayTextAt(recNo));
            QStyleOptionButton opt;
            opt.initFrom(box);
            opt.rect = r;
            opt.text = box->text();
            opt.iconSize = box->iconSize();
            opt.state &= ~(QStyle::State_HasFocus | QStyle::State_On | QStyle::State_Off | QStyle::State_NoChange |
                           QStyle::State_MouseOver);
            opt.state |= on ? QStyle::State_On : QStyle::State_Off;
            p.setFont(box->font());
            box->style()->drawControl(QStyle::CE_CheckBox, &opt, &p, box);
        } else if (auto* label = dynamic_cast<TLabel*>(w.data())) {
            QString text = label->Caption();
            if (auto* db = dynamic_cast<TDBText*>(label))
                text = db->DisplayTextAt(recNo);
            int flags = label->Alignment() == taRightJustify ? Qt::AlignRight
                        : label->Alignment() == taCenter     ? Qt::AlignHCenter
                                                             : Qt::AlignLeft;
            flags |= label->Layout() == tlCenter ? Qt::AlignVCenter : label->Layout() == tlBottom ? Qt::AlignBottom
                                                                                                 : Qt::AlignTop;
            flags |= label->WordWrap() ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine);
            if (label->ShowAccelChar())
                flags |= Qt::TextShowMnemonic;
            p.setFont(label->font());
            p.setPen(label->palette().color(QPalette::WindowText));
            p.drawText(r, flags, text);
        } else if (auto* db = dynamic_cast<TDBFieldControl*>(w.data())) {
            p.setFont(w->font());
            p.setPen(w->palette().color(QPalette::Text));
            p.drawText(r.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       db->DisplayTextAt(recNo));
        }
        p.restore();
    }
}

void TDBCtrlGrid::mousePressEvent(QMouseEvent* e)
{
    QWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint at = e->position().toPoint();
    if (at.x() < 0 || at.x() >= panelWidth_ || at.y() < 0)
        return;
    const int rec = PanelRecord(at.y() / panelHeight_);
    if (rec > 0)
        SafeCall([this, rec] { MoveTo(rec); });
}

void TDBCtrlGrid::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
    ReleaseToClick(e);
}

void TDBCtrlGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    QWidget::mouseDoubleClickEvent(e);
    DoubleClickToDblClick();
}

void TDBCtrlGrid::keyPressEvent(QKeyEvent* e)
{
    TTable* t = Table();
    if (!t) {
        QWidget::keyPressEvent(e);
        return;
    }
    const int current = t->RecNo();
    int target = 0;
    switch (e->key()) {
    case Qt::Key_Up: target = current - 1; break;
    case Qt::Key_Down: target = current + 1; break;
    case Qt::Key_PageUp: target = current - rowCount_; break;
    case Qt::Key_PageDown: target = current + rowCount_; break;
    case Qt::Key_Home: target = 1; break;
    case Qt::Key_End: target = t->RecordCount(); break;
    case Qt::Key_Delete:
        if (!(e->modifiers() & Qt::ControlModifier)) {
            QWidget::keyPressEvent(e);
            return;
        }
        if (AllowDelete && !t->IsEmpty())
            SafeCall([t] { t->Delete(); });
        e->accept();
        return;
    default: QWidget::keyPressEvent(e); return;
    }
    target = std::clamp(target, 1, std::max(1, t->RecordCount()));
    SafeCall([this, target] { MoveTo(target); });
    e->accept();
}

void TDBCtrlGrid::wheelEvent(QWheelEvent* e)
{
    TTable* t = Table();
    const int steps = e->angleDelta().y() / 120;
    if (t && steps != 0) {
        const int target = std::clamp(t->RecNo() - steps, 1, std::max(1, t->RecordCount()));
        SafeCall([this, target] { MoveTo(target); });
    }
    e->accept();
}

void TDBCtrlGrid::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    scrollBar_->setGeometry(panelWidth_, 0, bar, rowCount_ * panelHeight_);
    SafeCall([this] { CheckResize(); });
}

void TDBCtrlGrid::childEvent(QChildEvent* e)
{
    QWidget::childEvent(e);
    if (e->added() || e->removed())
        templateStale_ = true;
}

void TDBCtrlGrid::LoadDesignProperties()
{
    CaptureTemplate();  // the controls are still where the design put them
    BindDesignDataSource(this, [this](TDataSource* ds) { SetDataSource(ds); });
    const QVariant rows = property("RowCount");
    if (rows.isValid())
        rowCount_ = std::max(1, rows.toInt());
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QVariant ph = property("PanelHeight");
    panelHeight_ = std::max(1, ph.isValid() ? ph.toInt() : height() / rowCount_);
    const QVariant pw = property("PanelWidth");
    panelWidth_ = std::max(1, pw.isValid() ? pw.toInt() : width() - bar);
    FitSize();  // before the base, which takes the design size as seen: no OnResize
    TControl::LoadDesignProperties();
    TColor selected = selectedColor_;
    if (DesignColor(this, "SelectedColor", selected))
        selectedColor_ = selected;
    DesignBool(this, "AllowDelete", AllowDelete);
    DataChanged();
}
