// Conversions and string functions with the class library's semantics:
// positions are 1-based and count characters (one Cyrillic letter = one).
#pragma once

#include "platform/core.h"

#include <QDate>
#include <QString>

// Decimal text with the locale's decimal separator; raises EConvertError with
// InvalidNumberText on a text that is no number.
double StrToFloat(const QString& s);
// As StrToFloat, but false instead of raising.
bool TryStrToFloat(const QString& s, double& value);
// General format, at most 15 significant digits, locale separator, no trailing
// zeros, exponent form only below 0.00001 or above 15 integer digits.
QString FloatToStr(double v);
// "#.## лв."-style patterns: '#' optional digit, '0' required digit, '.' the
// locale separator, ',' digit grouping; text around the number (quoted or not)
// is copied. Rounds half away from zero on the 15 digits FloatToStr shows;
// "#.##" gives an empty number for 0 and ",5" for 0.5. One section only.
QString FormatFloat(const QString& format, double v);
// Decimal signed 32 bits; leading zeros allowed; raises EConvertError with
// InvalidIntegerText on anything else (blanks, line breaks).
int StrToInt(const QString& s);
// As StrToInt, but false instead of raising.
bool TryStrToInt(const QString& s, int& value);
QString IntToStr(long long v);

// What the user is told when a text does not convert: the text itself and
// what to type instead. One text per fault, wherever it occurs.
QString InvalidNumberText(const QString& s);
QString InvalidIntegerText(const QString& s);
QString InvalidFlagText(const QString& s);
QString InvalidDateText();
// What the user is told when a file fails: the file by its name, never its folder.
QString FileOpenText(const QString& path);
QString FileReadText(const QString& path);
QString FileCreateText(const QString& path);
QString FileWriteText(const QString& path);
// Only the ASCII digits 0-9 (no sign, blank or other script's digits); true for "".
bool IsDigits(QStringView s);
// Accepts "True"/"False" (any case), "-1"/"0"/numbers; raises on "".
bool StrToBool(const QString& s);
QString BoolToStr(bool b, bool useBoolStrs = true);

using TDate = QDate;
TDate Date();  // today, local
// Tests fix "today"; an invalid date gives the clock back.
void SetTodayForTests(const TDate& today);
// Raises EConvertError on an invalid date.
TDate EncodeDate(int year, int month, int day);
// Class-library patterns: d dd m mm yy yyyy, 'quoted' and "quoted" literals,
// other characters copied; "dd.MM.yyyy 'г.'" -> "08.12.2026 г.".
QString FormatDateTime(const QString& format, const TDate& d);
// The locale's short date format.
QString DateToStr(const TDate& d);

int Length(const QString& s);
// 1-based position of sub in s, 0 when absent.
int Pos(const QString& sub, const QString& s);
// Characters index..index+count-1 (1-based); clamps instead of raising.
QString Copy(const QString& s, int index, int count);
void Delete(QString& s, int index, int count);
void Insert(const QString& sub, QString& s, int index);
// 1-based position of the last character of s that is one of delimiters, 0 if none.
int LastDelimiter(const QString& delimiters, const QString& s);
QString AnsiLowerCase(const QString& s);
QString AnsiUpperCase(const QString& s);
// Case-insensitive comparison, Cyrillic and Latin alike.
bool AnsiSameText(const QString& a, const QString& b);

// File helpers: FileExists is true only for a regular file.
bool FileExists(const QString& path);
bool DeleteFile(const QString& path);
bool RenameFile(const QString& from, const QString& to);
bool DirectoryExists(const QString& path);
// The working directory at start-up: captured at the first call, so main()
// calls it before anything can change the directory.
QString StartDir();
