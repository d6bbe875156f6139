#include "registers/editcust.h"

TEditCustForm* EditCustForm = nullptr;

TEditCustForm::TEditCustForm(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}
