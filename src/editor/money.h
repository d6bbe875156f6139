// Money as text: amounts, quantities, prices and rates live in control texts
// and are converted to numbers only for a calculation.
#pragma once

#include <QString>

// The text with its first '.' or ',' turned into the locale's decimal
// separator; "" when the result is no number.
QString NormalizeDecimalText(const QString& text);

// "1,5E-6" -> "0,0000015", "-2,5E2" -> "-250": the digits are shifted on the
// text, nothing is lost. Texts without an exponent come back unchanged.
QString ExpandExponent(const QString& text);

// Exactly the locale's currency decimals, rounded half away from zero on the
// text ("1,005" -> "1,01", "" -> ",00"). Raises EConvertError on a text that
// is no number where the rounding has to read it.
QString RoundMoneyString(const QString& text);

// A VAT rate text such as "20%": the part before the first '%' and its value
// as a fraction (0.2). False when that part is no number.
bool ParseVatRate(const QString& text, QString& vatText, double& rate);
