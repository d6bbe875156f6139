// The locale's number and date format, taken from the system at start-up and
// read at each use; the program itself changes only the currency string.
#pragma once

#include <QChar>
#include <QString>

struct TFormatSettings {
    QChar DecimalSeparator = QLatin1Char(',');
    QChar ThousandSeparator = QChar(0x00A0);
    int CurrencyDecimals = 2;
    QString CurrencyString = QStringLiteral("лв");
    QString ShortDateFormat = QStringLiteral("dd.MM.yyyy");  // Qt date pattern
};

TFormatSettings& FormatSettings();
// From the system locale; a two-digit year in the short date format is widened
// to four digits, and currency decimals default to 2 when the locale gives none.
void LoadSystemLocale();
// Qt's own texts (dialog buttons, the folder chooser, the print dialog) in the
// locale's language, from the translations Qt ships; an empty locale name
// removes them again. False when Qt has no translation for that language.
bool LoadQtTranslations(const QString& localeName);
// Bulgarian values, for tests and as the reference setting.
void SetBulgarianLocale();
