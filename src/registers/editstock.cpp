#include "registers/editstock.h"

#include "data/datamodule.h"
#include "registers/stocks.h"

TEditStockForm* EditStockForm = nullptr;

TEditStockForm::TEditStockForm(TComponent* owner) : TForm(owner)
{
    x = new TDataSource(this);
    x->SetName(QStringLiteral("x"));
    x->SetDataSet(DataModule1 ? DataModule1->stock : nullptr);
    setupUi(this);
    Loaded();
    OnShow = Handler(this, &TEditStockForm::FormShow);
    OnClose = Handler(this, &TEditStockForm::FormClose);
    OKButton->OnClick = Handler(this, &TEditStockForm::OKButtonClick);
    CancelButton->OnClick = Handler(this, &TEditStockForm::CancelButtonClick);
}

void TEditStockForm::FormShow(TObject*)
{
    Label2->SetCaption(QStringLiteral("К-во\nсклад"));
}

void TEditStockForm::OKButtonClick(TObject* Sender)
{
    // A new record without a description is discarded.
    if (DBMemo1->Text().isEmpty()) {
        CancelButtonClick(Sender);
        return;
    }
    TTable* stock = DataModule1->stock;
    stock->Edit();
    // A quantity typed into the combo, not one of its items, must be stored too.
    stock->FieldByName(QStringLiteral("К-во"))->SetText(DBEdit2->Text());
    stock->Post();
    Close();
}

void TEditStockForm::CancelButtonClick(TObject*)
{
    TTable* stock = DataModule1->stock;
    if (!stock->IsEmpty() || stock->State() == TDataSetState::dsInsert)
        stock->Cancel();
    Close();
}

void TEditStockForm::FormClose(TObject*, TCloseAction&)
{
    try {
        TTable* stock = DataModule1->stock;
        if (!stock->IsEmpty() || stock->State() == TDataSetState::dsInsert) {
            stock->Cancel();
            Stocks->StringGrid1->SetRow(std::max(1, stock->RecNo()));
        }
    } catch (const std::exception&) {
        // The window closes whatever went wrong.
    }
}
