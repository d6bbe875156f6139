#include "app/mainform.h"
#include "update/updatei.h"

void TMain::CheckForUpdate(bool)
{
}
