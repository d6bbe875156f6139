// Money, line calculation and the payment-method combo of the editor.
#include "editor/orderform.h"
