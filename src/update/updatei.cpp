#include "update/updatei.h"

TUpdateI* UpdateI = nullptr;

TUpdateI::TUpdateI(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}
