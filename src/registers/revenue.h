// Which register records add to or subtract from a turnover, and by how much:
// the monthly statistics and the customer's turnover count by the same rules.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

class TTable;

enum class TRevenue { None, Adds, Subtracts };

// A stored flag text: "True" in any letter case is set; anything else,
// including the empty flags older files hold, is not.
bool FlagSet(const QString& text);

// Invoices and debit notes that are not cancelled add; credit notes subtract,
// cancelled or not; every other kind counts nothing.
TRevenue RevenueRule(const QString& document, const QString& notice, const QString& cancelled);

// The rule for record recNo of the register table, read without moving it.
TRevenue RevenueRuleAt(const TTable* store, int recNo);

// Sums of cents: no number of amounts at the top of the range overflows one.
using TCentSum = __int128;

// The largest amount a document may hold, in cents: 999 999 999 999 999,99.
constexpr long long kMaxAmountCents = 99'999'999'999'999'999LL;

// A stored amount text in cents, rounded half away from zero; blanks around the
// number are allowed. False for a text that is no number, is not finite or lies
// outside the money range.
bool AmountCents(const QString& text, long long& cents);

// What a record adds to a turnover in cents, negative when it takes off; false
// when it counts nothing or its amount is unreadable. A note counts by its
// absolute amount on its own side, whatever sign it was typed with.
bool RevenueCents(const QString& document, const QString& notice, const QString& cancelled, const QString& amount,
                  long long& cents);

// "1 документ с неразчетена сума", "3 документа с неразчетена сума": what a
// turnover leaves out because their amounts cannot be read.
QString LeftOutText(int documents);

// "-1234,50": two decimals, the locale's separator, no grouping, never "-0,00".
QString CentsText(TCentSum cents);
// A double sum rounded to cents, half away from zero.
TCentSum RoundToCents(double value);

// The date of a stored "dd.MM.yyyy г." text; invalid when the text names no
// date that exists (the editor's load then refuses the document).
QDate StoredDate(const QString& text);

// The own companies by name: a document belongs to the company whose Bulgarian
// (Firm.db) or English (ae.db, the same record) name equals its "Доставчик".
class TOwnCompanies {
public:
    TOwnCompanies();  // reads both tables as they are now
    // The company's Firm.db record number; 0 when no own company has that name.
    int Of(const QString& supplier) const;
    // The names a document of company recNo carries: the Bulgarian one and,
    // when it has one, the English one.
    QStringList NamesOf(int recNo) const;
    // The first company with that Bulgarian name; 0 when there is none.
    int ByBulgarianName(const QString& name) const;

private:
    std::vector<QString> bg_, en_;
};
