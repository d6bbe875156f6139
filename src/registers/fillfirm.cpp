#include "registers/fillfirm.h"

TFillFirm* FillFirm = nullptr;

TFillFirm::TFillFirm(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}
