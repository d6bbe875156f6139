// The amount payable in words, as the page prints it under the lines.
#pragma once

#include <QChar>
#include <QString>

// pageTotal is the page's total as shown, e.g. "1234,50 лв": leva in words,
// stotinki in figures ("хиляда двеста тридесет и четири лева и 50 ст.").
// The sign is not worded; amounts from a billion up get no leva words.
QString BgAmountInWords(const QString& pageTotal, QChar decimalSeparator);

// pageTotal is e.g. "1234,50 EUR": the whole units in words, the cents as a
// fraction in figures, then the currency name ("... and  0,50 EUR"). A total
// without a decimal separator gives "".
QString EnAmountInWords(const QString& pageTotal, const QString& currencyName, QChar decimalSeparator);

// Words longer than 50 characters, in either language, go on two lines: the blank
// nearest to its middle becomes a line feed. Shorter texts come back as they are.
QString SplitLongWords(const QString& words);
