#include "registers/revenue.h"

#include "platform/db.h"

bool FlagSet(const QString& text)
{
    return text.trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

TRevenue RevenueRule(const QString& document, const QString& notice, const QString& cancelled)
{
    static const QString credit = QStringLiteral("Кредитно известие");
    if (notice == credit || document == credit || document == QLatin1String("Credit note"))
        return TRevenue::Subtracts;
    const bool sale = document == QStringLiteral("ФАКТУРА") || document == QLatin1String("INVOICE") ||
                      document == QLatin1String("Debit note") || document == QStringLiteral("Дебитно известие");
    if (sale && !FlagSet(cancelled))
        return TRevenue::Adds;
    return TRevenue::None;
}

TRevenue RevenueRuleAt(const TTable* store, int recNo)
{
    return RevenueRule(store->FieldByName(QStringLiteral("Документ"))->TextAt(recNo),
                       store->FieldByName(QStringLiteral("Известие"))->TextAt(recNo),
                       store->FieldByName(QStringLiteral("Anulirana"))->TextAt(recNo));
}
