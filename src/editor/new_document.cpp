#include "app/mainform.h"
#include "editor/orderform.h"

// "Нов Документ": blanks the editor for a new invoice and shows it.
void TMain::OrderBtnClick(TObject*)
{
    OrderForm->Show();
}
