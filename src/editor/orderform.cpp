#include "editor/orderform.h"

TOrderForm* OrderForm = nullptr;

TOrderForm::TOrderForm(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}

TOrderForm::~TOrderForm() { delete ColumnWidths; }
