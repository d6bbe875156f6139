// Money as text: amounts are rounded on their decimal text, so that a shown
// amount never depends on the binary value behind it.
#pragma once

#include <QString>

// "1,5E-6" -> "0,0000015", "-2,5E2" -> "-250": the digits are shifted on the
// text, nothing is lost. Texts without an exponent come back unchanged.
QString ExpandExponent(const QString& text);

// Exactly the locale's currency decimals, rounded half away from zero on the
// text ("1,005" -> "1,01", "" -> ",00"). Raises EConvertError on a text that
// is no number where the rounding has to read it.
QString RoundMoneyString(const QString& text);
