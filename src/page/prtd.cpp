#include "page/prtd.h"

TPrtD* PrtD = nullptr;

TPrtD::TPrtD(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}
