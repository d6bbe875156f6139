#include "registers/editstock.h"

#include "data/datamodule.h"
#include "platform/application.h"
#include "registers/stocks.h"

#include <QRegularExpression>

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
    OnCloseQuery = Handler(this, &TEditStockForm::FormCloseQuery);
    OKButton->OnClick = Handler(this, &TEditStockForm::OKButtonClick);
    CancelButton->OnClick = Handler(this, &TEditStockForm::CancelButtonClick);
    DBNavigator1->OnRecordName = [this] { return RecordName(); };
}

void TEditStockForm::FormShow(TObject*)
{
    Label2->SetCaption(QStringLiteral("К-во\nсклад"));
}

bool TEditStockForm::PostPending()
{
    TTable* stock = DataModule1->stock;
    // A new record without a description is discarded.
    if (DBMemo1->Text().isEmpty()) {
        if (!stock->IsEmpty() || stock->State() == TDataSetState::dsInsert)
            stock->Cancel();
        return true;
    }
    try {
        stock->Edit();
        // A quantity typed into the combo, not one of its items, must be stored too.
        try {
            stock->FieldByName(QStringLiteral("К-во"))->SetText(DBEdit2->Text());
        } catch (...) {
            FocusAfterMessage(DBEdit2);
            throw;
        }
        stock->Post();
    } catch (const Exception& e) {
        Application->ShowException(e);
        return false;
    }
    return true;
}

void TEditStockForm::OKButtonClick(TObject* Sender)
{
    if (DBMemo1->Text().isEmpty()) {
        CancelButtonClick(Sender);
        return;
    }
    if (PostPending())
        Close();
}

void TEditStockForm::CancelButtonClick(TObject*)
{
    TTable* stock = DataModule1->stock;
    if (!stock->IsEmpty() || stock->State() == TDataSetState::dsInsert)
        stock->Cancel();
    Close();
}

void TEditStockForm::FormCloseQuery(TObject*, bool& CanClose)
{
    TTable* stock = DataModule1 ? DataModule1->stock : nullptr;
    if (!isVisible() || !stock || !stock->Editing())
        return;
    CanClose = PostPending();
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

QString TEditStockForm::RecordName() const
{
    TTable* stock = DataModule1 ? DataModule1->stock : nullptr;
    if (!stock || !stock->Active() || stock->IsEmpty())
        return {};
    const QString text = stock->FieldByName(QStringLiteral("Описание на стока/услуга"))->AsString();
    const QString first = text.section(QRegularExpression(QStringLiteral("[\r\n]")), 0, 0).trimmed();
    return first.isEmpty() ? QString() : QStringLiteral("стоката „%1“").arg(first);
}
