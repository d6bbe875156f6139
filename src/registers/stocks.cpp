#include "registers/stocks.h"

#include "app/mainform.h"
#include "data/datamodule.h"
#include "editor/orderform.h"
#include "page/doc.h"
#include "platform/sysutils.h"
#include "registers/editstock.h"

#include <QTimer>

TStocks* Stocks = nullptr;

namespace {
// The grid's margins to the window's edges, kept on resize.
constexpr int kGridMargin = 8;
constexpr int kButtonsHeight = 51;
}  // namespace

class TStocks::Follow : public TDataLink {
public:
    explicit Follow(TStocks* form) : form_(form) {}
    void RecordChanged() override { form_->ScheduleFollow(); }

private:
    TStocks* form_;
};

TStocks::TStocks(TComponent* owner) : TForm(owner), follow_(std::make_unique<Follow>(this))
{
    setupUi(this);
    Loaded();
    OnCreate = Handler(this, &TStocks::FormCreate);
    StringGrid1->OnClick = Handler(this, &TStocks::StringGrid1Click);
    StringGrid1->OnDblClick = Handler(this, &TStocks::StringGrid1DblClick);
    EditBtn->OnClick = Handler(this, &TStocks::StringGrid1DblClick);
    Button2->OnClick = Handler(this, &TStocks::Button2Click);
    Button1->OnClick = Handler(this, &TStocks::Button1Click);
    CloseBtn->OnClick = Handler(this, &TStocks::CloseBtnClick);
    if (DataModule1) {
        follow_->SetDataSource(DataModule1->DataSource4);
        DataModule1->GoodsChanged.Listen(this, [this] { RefillFromGoods(); });
    }
}

TStocks::~TStocks() = default;

void TStocks::ScheduleFollow()
{
    // A walk through the goods (the list's refill) moves the table at every
    // record: only where it comes to rest counts.
    if (followPending_)
        return;
    followPending_ = true;
    QTimer::singleShot(0, this, [this] {
        followPending_ = false;
        SafeCall([this] { FollowStock(); });
    });
}

void TStocks::FollowStock()
{
    TTable* stock = DataModule1 ? DataModule1->stock : nullptr;
    if (!stock || !stock->Active() || stock->State() == TDataSetState::dsInsert || !ListInStep())
        return;
    const int recNo = stock->RecNo();
    if (recNo >= 1 && recNo < StringGrid1->RowCount() && StringGrid1->Row() != recNo)
        StringGrid1->SetRow(recNo);
}

void TStocks::RefillFromGoods()
{
    if (!EditStockForm)
        return;  // created right after this window
    TTable* stock = DataModule1->stock;
    TStringGrid* grid = StringGrid1;
    grid->SetRowCount(2);
    for (int c = 0; c <= 3; ++c)
        grid->SetCells(c, 1, QString());
    if (stock->IsEmpty())
        return;
    const int keep = stock->RecNo();
    const int count = stock->RecordCount();
    grid->SetRowCount(count + 1);  // once: every change of the count lays out all rows
    for (int i = 1; i <= count; ++i) {
        stock->SetRecNo(i);
        // What the goods controls show for the record, shown or not.
        grid->SetCells(0, i, DBMemo1->Text());
        grid->SetCells(1, i, EditStockForm->DBEdit4->Text());
        grid->SetCells(2, i, EditStockForm->DBEdit2->Text());
        grid->SetCells(3, i, EditStockForm->DBEdit5->Text());
    }
    stock->SetRecNo(keep);
}

void TStocks::FormCreate(TObject*)
{
    StringGrid1->SetCells(0, 0, QStringLiteral("Кратко описание на стока/услуга"));
    StringGrid1->SetCells(1, 0, QStringLiteral("Мярка"));
    StringGrid1->SetCells(2, 0, QStringLiteral("К-во"));
    StringGrid1->SetCells(3, 0, QStringLiteral("Цена"));

    // The editor and the page are created before this window: their line
    // grids still have their design widths, which the discount switch restores.
    TStringList* widths = OrderForm->ColumnWidths;
    widths->Clear();
    for (int i = 0; i <= 5; ++i)
        widths->Add(IntToStr(OrderForm->StringGrid1->ColWidths(i)));
    for (int i = 0; i <= 5; ++i)
        widths->Add(IntToStr(Doc->StringGrid2->ColWidths(i)));
}

void TStocks::resizeEvent(QResizeEvent* e)
{
    TForm::resizeEvent(e);
    // The list follows every edge of the window; the buttons stay under it.
    const int w = width(), h = height();
    StringGrid1->setGeometry(kGridMargin, kGridMargin, std::max(0, w - 2 * kGridMargin),
                             std::max(0, h - kGridMargin - kButtonsHeight));
    const int y = h - kButtonsHeight + 12;
    for (QWidget* b : {static_cast<QWidget*>(Button2), static_cast<QWidget*>(EditBtn),
                       static_cast<QWidget*>(Button1)})
        b->move(b->x(), y);
    CloseBtn->move(w - kGridMargin - CloseBtn->width(), y);
}

void TStocks::StringGrid1Click(TObject*)
{
    // Row i is taken as record i: a stale list would edit other goods.
    if (!ListInStep() && !RefillAndReselect())
        return;
    TTable* stock = DataModule1->stock;
    const int row = StringGrid1->Row();
    if (stock->Active() && row >= 1 && row <= stock->RecordCount())
        stock->SetRecNo(row);
}

void TStocks::StringGrid1DblClick(TObject* Sender)
{
    StringGrid1Click(Sender);
    EditStockForm->Show();
}

void TStocks::Button2Click(TObject*)
{
    DataModule1->stock->Append();
    EditStockForm->Show();
    // The user types the new goods at once, not into the last button pressed.
    EditStockForm->DBMemo1->setFocus(Qt::OtherFocusReason);
}

void TStocks::CloseBtnClick(TObject*) { Close(); }

bool TStocks::ListInStep() const
{
    TTable* stock = DataModule1->stock;
    const int records = stock->Active() ? stock->RecordCount() : 0;
    return StringGrid1->RowCount() == std::max(records, 1) + 1;
}

bool TStocks::RefillAndReselect()
{
    const QStringList wanted = StringGrid1->Rows(StringGrid1->Row()).mid(0, 4);
    DataModule1->RefreshStockGrid();
    for (int r = 1; r < StringGrid1->RowCount(); ++r)
        if (StringGrid1->Rows(r).mid(0, 4) == wanted) {
            StringGrid1->SetRow(r);
            return true;
        }
    return false;
}

void TStocks::Button1Click(TObject*)
{
    if (StringGrid1->Cells(0, StringGrid1->Row()).isEmpty())
        return;
    // Row i is taken as record i: a list another change left behind would add other goods.
    if (!ListInStep() && !RefillAndReselect())
        return;
    const int row = StringGrid1->Row();

    if (!OrderForm->isVisible())
        Main->OrderBtn->Click();
    TStringGrid* lines = OrderForm->StringGrid1;
    if (!lines->Cells(1, lines->RowCount() - 1).isEmpty())
        lines->SetRowCount(lines->RowCount() + 1);
    lines->SetRow(lines->RowCount() - 1);
    lines->SetCol(lines->ColCount() - 1);

    OrderForm->StringGrid1Button->Click();
    OrderForm->ListBox1->SetItemIndex(row - 1);
    OrderForm->ListBox1Click(this);
    OrderForm->ListBox1->Hide();
}
