#pragma once

#include <QString>

// The three numbering series of an own company. Each counter holds the last
// number used; invoices, debit and credit notes share one.
enum class TNumberSeries { Invoice, Protocol117, ProForma };

// The series of a document kind: exact, case-sensitive, whole text.
TNumberSeries NumberSeries(const QString& kind);

// Where a series keeps its counter: the data module's table component name
// ("firm" or "Tableae") and the field.
struct TSeriesCounter {
    QString table;
    QString field;
};
TSeriesCounter SeriesCounter(TNumberSeries series);

// What a counter may hold: nothing yet, or one to ten digits.
bool IsCounterText(const QString& text);

// The number after a counter text, zero-padded to ten digits ("" counts as 0;
// longer numbers are not cut). Raises EConvertError when the counter is no
// counter text (IsCounterText).
QString NextNumber(const QString& counter);

// The kind as it can be stored and compared: a lone half of a UTF-16 pair
// becomes '?', whole characters stay.
QString NormalizedKind(const QString& kind);
