#include "registers/editstock.h"

TEditStockForm* EditStockForm = nullptr;

TEditStockForm::TEditStockForm(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}
