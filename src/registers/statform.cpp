#include "registers/statform.h"

TStatForm* StatForm = nullptr;

TStatForm::TStatForm(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}
