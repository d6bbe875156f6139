// Data grids: the data grid (one row per record of a data source's table, the
// current row being the current record) and the control grid (a column of
// panels, one per record, each repeating the data-aware controls placed on the
// grid for its record).
#pragma once

#include "platform/control.h"
#include "platform/db.h"

#include <QPointer>
#include <QTableView>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QScrollBar;
class TDBGrid;
class TDBGridModel;

// ---- Data grid ----

enum TDBGridOption : unsigned {
    dgEditing = 0x1,
    dgTitles = 0x2,
    dgColumnResize = 0x4,
    dgColLines = 0x8,
    dgRowLines = 0x10,
    dgTabs = 0x20,
    dgRowSelect = 0x40,
    dgAlwaysShowSelection = 0x80,
    dgConfirmDelete = 0x100,
    dgCancelOnExit = 0x200,
    dgMultiSelect = 0x400,
    dgReadOnly = 0x800,
};
using TDBGridOptions = unsigned;
constexpr TDBGridOptions DefaultDBGridOptions =
    dgEditing | dgTitles | dgColumnResize | dgColLines | dgRowLines | dgTabs | dgConfirmDelete | dgCancelOnExit;

// One column of a data grid: a field shown under a title.
class TColumn : public TObject {
public:
    QString ClassName() const override { return QStringLiteral("TColumn"); }

    // 0-based position in the grid.
    int Index() const { return index_; }
    QString FieldName() const { return fieldName_; }
    void SetFieldName(const QString& name);
    // The field while the grid's table is open, else nullptr.
    TField* Field() const;
    // The field name while no title was given.
    QString Title() const { return title_.isEmpty() ? fieldName_ : title_; }
    void SetTitle(const QString& title);
    int Width() const { return width_; }
    void SetWidth(int width);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);

private:
    friend class TDBGrid;
    friend class TDBGridColumns;
    explicit TColumn(TDBGrid* grid) : grid_(grid) {}
    TDBGrid* grid_;
    int index_ = 0;
    QString fieldName_;
    QString title_;
    int width_ = 64;
    bool readOnly_ = false;
};

// The grid's column list. While it was never changed by code or design, the
// grid shows every visible field of the open table in table order, titled by
// field names; adding a column makes the list the grid's own.
class TDBGridColumns {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Out of range raises EListError.
    TColumn* Items(int index) const;
    TColumn* Add();
    // Back to the table's fields.
    void Clear();
    // Whether the columns are the grid's own rather than the table's fields.
    bool Customized() const { return custom_; }

private:
    friend class TDBGrid;
    explicit TDBGridColumns(TDBGrid* grid) : grid_(grid) {}
    TDBGrid* grid_;
    std::vector<std::unique_ptr<TColumn>> items_;
    bool custom_ = false;
};

using TDBGridClickEvent = std::function<void(TColumn* Column)>;

// One row per record, read on demand (only the rows on screen are read, through
// TField::DisplayTextAt, without moving the table). The current row is the
// current record: moving it by mouse or keys moves the table, which first
// posts a pending edit. Editing a cell puts the table into edit state and
// writes the field when the cell editor closes; a move or the navigator posts.
// Whatever posts the record (the navigator, code, a move) first writes what an
// open cell editor shows; a text the field refuses raises its message, the
// cell stays open and nothing is posted.
// Ctrl+Delete deletes the current record (asking "Изтриване на записа?", or
// naming the record OnRecordName gives, with dgConfirmDelete); Insert and Down
// on the last row append; Esc cancels the record's edit; leaving the grid with
// an untouched appended row cancels it (dgCancelOnExit). With dgTabs, Tab past
// the last cell of the last row appends (an untouched new row stays) and
// Shift+Tab before the first cell stays: neither wraps to the other end. The
// highlighted row is the current record also after a refused move.
//
// Design values (.ui dynamic properties):
//   Columns: columns joined by ";", each "FieldName|Title|Width|ReadOnly" where
//     the title may be empty (the field name), the width is in pixels and the
//     fourth part, when present, is "ReadOnly" — e.g. "Клиент №|№|43;Фирма||192|ReadOnly".
//   Options: the whole option set as flags joined by "|", e.g.
//     "dgTitles|dgColLines|dgRowLines|dgRowSelect"; without it DefaultDBGridOptions.
//   FixedColor (the title row's colour), Color: TColor numbers or names ("clWhite").
//   BorderStyle: "bsNone" or "bsSingle".
class TDBGrid : public QTableView, public TControl {
public:
    explicit TDBGrid(QWidget* parent = nullptr);
    ~TDBGrid() override;
    QString ClassName() const override { return QStringLiteral("TDBGrid"); }

    TDataSource* DataSource() const { return link_.DataSource(); }
    // nullptr detaches: the grid shows no rows until attached again.
    void SetDataSource(TDataSource* source);

    TDBGridColumns* Columns()
    {
        CatchUp();
        return &columns_;
    }
    TDBGridOptions Options() const { return options_; }
    void SetOptions(TDBGridOptions options);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor c);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    void SetColor(TColor c) override;
    void FontChanged() override;

    // The current column (0-based).
    int SelectedIndex() const;
    void SetSelectedIndex(int column);
    // Rows shown: the records, plus the one being appended.
    int RowCount() const;
    // The 1-based row the grid shows as current; 0 without rows.
    int CurrentRow() const;
    // The text a cell shows (1-based row, 0-based column).
    QString CellText(int row, int column) const;

    // Runs after a click on a cell has moved the table to its record.
    TDBGridClickEvent OnCellClick;
    // The current record as the delete question names it; empty for the plain question.
    std::function<QString()> OnRecordName;
    // The open cell holds typed text not yet written into its field.
    bool CellModified() const;
    // Runs before the grid handles the key (and before it moves); Key = 0
    // swallows the key. Windows virtual-key codes.
    TKeyEvent OnKeyDown;

    void LoadDesignProperties() override;

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class TColumn;
    friend class TDBGridColumns;
    friend class TDBGridModel;
    friend class TDBGridDelegate;

    class Link : public TDataLink {
    public:
        explicit Link(TDBGrid* grid) : grid_(grid) {}
        void RecordChanged() override { grid_->DataChanged(); }
        void StateChanged() override { grid_->StateChanged(); }
        void FieldChanged(TField*) override { grid_->viewport()->update(); }
        void UpdateData() override { grid_->UpdateData(); }

    private:
        TDBGrid* grid_;
    };

    TTable* Table() const;
    bool Editing() const;
    // Writes the open cell editor's text into its field; a refused text raises.
    void UpdateData();
    bool CanEditColumn(int column) const;
    bool CanModify() const;
    void DataChanged();
    // Shows the table's record and columns as they are now.
    void FollowTable();
    // Follows the moves of the table that were not shown yet.
    void CatchUp() const;
    void StateChanged();
    void ColumnsChanged();
    void RebuildDefaultColumns();
    void ResetModel();
    void SyncCurrent();
    void MoveToRow(int row);
    // After a move the table refused: the current record's row alone is highlighted.
    void ShowRefusedMove();
    bool WriteCell(int row, int column, const QString& text);
    // As WriteCell, but a text the field refuses raises instead of being shown.
    bool PutCell(int row, int column, const QString& text);
    void EditorTyped();
    void ApplyOptions();
    void ApplyFixedColor();
    bool HandleKey(QKeyEvent* e);

    // The table moved among the same rows since the grid last followed it.
    // First: the grid gets events while its members are being made.
    mutable bool behind_ = false;
    Link link_;
    TDBGridColumns columns_;
    TDBGridModel* model_;
    TDBGridOptions options_ = DefaultDBGridOptions;
    TColor fixedColor_ = clBtnFace;
    TBorderStyle borderStyle_ = bsSingle;
    int shownRows_ = -1;
    bool shownActive_ = false;
    int syncing_ = 0;
    bool scrollPending_ = false;
    int keptColumn_ = 0;
    int pressRow_ = -1;
    int pressColumn_ = -1;
    // The open cell editor and its cell.
    QPointer<QWidget> cellEditor_;
    QPersistentModelIndex cellEditorIndex_;
    int committing_ = 0;
    // The field refused the last commit: the editor stays open.
    bool refused_ = false;
    bool keptOpen_ = false;
    // A move to another row was refused (its post failed) since the last look.
    bool moveRefused_ = false;
};

// ---- Control grid ----

// A column of RowCount panels of PanelWidth x PanelHeight, one record each in
// record order, with a scroll bar that moves through the table. The controls
// placed on the grid (its children, placed as on the first panel) belong to
// the current record's panel and are the real, editable ones; the other panels
// are painted copies showing their own record's values (labels with their
// fonts and places, check boxes as ticked or not). The current panel is drawn
// in SelectedColor, the others in the grid's Color. A click on a panel makes
// its record current (posting a pending change first); Up, Down, Page Up,
// Page Down, Home and End move too; Ctrl+Delete deletes while AllowDelete.
//
// The grid hands its data source to the data-aware controls on it, so that
// detaching the grid detaches them too.
//
// Design values: RowCount, PanelWidth, PanelHeight (numbers; the grid takes the
// size they make, plus the scroll bar), SelectedColor (TColor number or name
// such as "clMoneyGreen"), AllowDelete.
class TDBCtrlGrid : public QWidget, public TControl {
public:
    explicit TDBCtrlGrid(QWidget* parent = nullptr);
    ~TDBCtrlGrid() override;
    QString ClassName() const override { return QStringLiteral("TDBCtrlGrid"); }

    TDataSource* DataSource() const { return link_.DataSource(); }
    // nullptr detaches the grid and its controls: nothing follows the table
    // until it is attached again.
    void SetDataSource(TDataSource* source);

    int RowCount() const { return rowCount_; }
    void SetRowCount(int rows);
    int PanelWidth() const { return panelWidth_; }
    void SetPanelWidth(int width);
    int PanelHeight() const { return panelHeight_; }
    void SetPanelHeight(int height);
    TColor SelectedColor() const { return selectedColor_; }
    void SetSelectedColor(TColor c);
    bool AllowDelete = true;

    // The record a panel shows (0-based panel), 0 when it shows none.
    int PanelRecord(int panel) const;
    // The panel of the current record; -1 while there is none.
    int PanelIndex() const;
    QScrollBar* ScrollBar() const { return scrollBar_; }

    void LoadDesignProperties() override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void childEvent(QChildEvent* e) override;

private:
    class Link : public TDataLink {
    public:
        explicit Link(TDBCtrlGrid* grid) : grid_(grid) {}
        void RecordChanged() override { grid_->DataChanged(); }
        void FieldChanged(TField*) override { grid_->update(); }

    private:
        TDBCtrlGrid* grid_;
    };

    TTable* Table() const;
    int RecordRows() const;
    void DataChanged();
    void CaptureTemplate();
    void PlaceControls(int panel);
    void FitSize();
    void MoveTo(int recNo);
    void PaintCopies(QPainter& p, const QPoint& origin, int recNo);

    Link link_;
    QScrollBar* scrollBar_;
    std::vector<std::pair<QPointer<QWidget>, QPoint>> template_;
    bool templateStale_ = true;  // a child came or went since the last capture
    int rowCount_ = 3;
    int panelWidth_ = 200;
    int panelHeight_ = 72;
    TColor selectedColor_ = clWindow;
    int top_ = 0;
};
