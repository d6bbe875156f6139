#include "registers/stocks.h"

#include "editor/orderform.h"
#include "page/doc.h"
#include "platform/sysutils.h"

TStocks* Stocks = nullptr;

TStocks::TStocks(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
    OnCreate = Handler(this, &TStocks::FormCreate);
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
