// Money as text: amounts, quantities, prices and rates live in control texts
// and are converted to numbers only for a calculation.
#pragma once

#include "platform/moneytext.h"

#include <QString>

// The text with its first '.' or ',' turned into the locale's decimal
// separator; "" when the result is no number.
QString NormalizeDecimalText(const QString& text);

// A VAT rate text such as "20%" or "9,5 %": a number from 0 to 100 ('.' or
// ',' as decimal mark), an optional '%' after it, blanks around allowed. Gives
// the number with the locale's decimal separator and its value as a fraction
// (0.2). False for anything else.
bool ParseVatRate(const QString& text, QString& vatText, double& rate);
// What the user is told about a VAT rate text ParseVatRate refuses.
QString InvalidVatRateText(const QString& text);
