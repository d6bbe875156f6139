#include "registers/custform.h"

TCustForm* CustForm = nullptr;

TCustForm::TCustForm(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}
