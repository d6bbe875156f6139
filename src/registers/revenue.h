// Which register records add to or subtract from a turnover: the monthly
// statistics and the customer's turnover count by the same rule.
#pragma once

#include <QString>

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
