#include "registers/editstock.h"

#include "data/datamodule.h"

TEditStockForm* EditStockForm = nullptr;

TEditStockForm::TEditStockForm(TComponent* owner) : TForm(owner)
{
    x = new TDataSource(this);
    x->SetName(QStringLiteral("x"));
    x->SetDataSet(DataModule1 ? DataModule1->stock : nullptr);
    setupUi(this);
    Loaded();
}
