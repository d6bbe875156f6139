// Money as text: amounts, quantities, prices and rates live in control texts
// and are converted to numbers only for a calculation.
#pragma once

#include "platform/moneytext.h"

#include <QString>

// The text with its first '.' or ',' turned into the locale's decimal
// separator; "" when the result is no number.
QString NormalizeDecimalText(const QString& text);

// A VAT rate text such as "20%": the part before the first '%' and its value
// as a fraction (0.2). False when that part is no number.
bool ParseVatRate(const QString& text, QString& vatText, double& rate);
