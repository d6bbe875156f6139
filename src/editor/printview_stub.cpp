// Placeholder until the page fill lands: the notice-kind handler calls it.
#include "editor/orderform.h"

void TOrderForm::BuildPrintView(bool) {}
