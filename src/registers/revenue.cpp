#include "registers/revenue.h"

#include "data/datamodule.h"
#include "editor/money.h"
#include "platform/db.h"
#include "platform/locale.h"
#include "platform/sysutils.h"

#include <cmath>

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

bool AmountCents(const QString& text, long long& cents)
{
    // Blanks around the number, as a hand-edited register may hold them, are no part of it.
    const QString t = NormalizeDecimalText(text.trimmed());
    if (t.isEmpty())
        return false;
    // Plain decimals are read digit by digit, so that the cents stay exact.
    const bool exponent = t.contains(QLatin1Char('e'), Qt::CaseInsensitive);
    long long c = 0;
    if (!exponent) {
        qsizetype i = 0;
        const bool negative = t[0] == QLatin1Char('-');
        if (negative || t[0] == QLatin1Char('+'))
            ++i;
        int wholeDigits = 0;
        for (; i < t.size() && t[i].isDigit(); ++i) {
            c = c * 10 + t[i].digitValue();
            if (c > 0 && ++wholeDigits > 15)
                return false;  // beyond the range, and before the sum could overflow
        }
        c *= 100;
        int place = 0;
        for (++i; i < t.size() && place < 3; ++i, ++place) {
            const int d = t[i].digitValue();
            if (place == 0)
                c += 10 * d;
            else if (place == 1)
                c += d;
            else if (d >= 5)
                ++c;  // half away from zero
        }
        if (negative)
            c = -c;
    } else {
        double v = 0;
        if (!TryStrToFloat(t, v) || !std::isfinite(v) || std::fabs(v) >= 1e16)
            return false;
        c = std::llround(v * 100.0);
    }
    if (c > kMaxAmountCents || c < -kMaxAmountCents)
        return false;
    cents = c;
    return true;
}

bool RevenueCents(const QString& document, const QString& notice, const QString& cancelled, const QString& amount,
                  long long& cents)
{
    const TRevenue rule = RevenueRule(document, notice, cancelled);
    long long c = 0;
    if (rule == TRevenue::None || !AmountCents(amount, c))
        return false;
    static const QString debit = QStringLiteral("Дебитно известие");
    const bool note = rule == TRevenue::Subtracts || notice == debit || document == debit ||
                      document == QLatin1String("Debit note");
    if (note)
        c = std::llabs(c);
    cents = rule == TRevenue::Subtracts ? -c : c;
    return true;
}

QString LeftOutText(int documents)
{
    return documents == 1 ? QStringLiteral("1 документ с неразчетена сума")
                          : QStringLiteral("%1 документа с неразчетена сума").arg(documents);
}

QString CentsText(TCentSum cents)
{
    const bool negative = cents < 0;
    TCentSum a = negative ? -cents : cents;
    QString digits;
    do {
        digits.prepend(QChar(u'0' + int(a % 10)));
        a /= 10;
    } while (a > 0);
    while (digits.size() < 3)
        digits.prepend(QLatin1Char('0'));
    return (negative ? QStringLiteral("-") : QString()) + digits.left(digits.size() - 2) +
           FormatSettings().DecimalSeparator + digits.right(2);
}

TCentSum RoundToCents(double value)
{
    const double r = std::round(value * 100.0);
    return std::isfinite(r) && std::fabs(r) < 1e36 ? TCentSum(r) : 0;
}

QDate StoredDate(const QString& text)
{
    if (!text.contains(QLatin1Char(' ')))
        return {};
    const QString d = text.section(QLatin1Char(' '), 0, 0);
    bool okDay = false, okMonth = false, okYear = false;
    const int day = d.mid(0, 2).toInt(&okDay);
    const int month = d.mid(3, 2).toInt(&okMonth);
    const int year = d.mid(6, 4).toInt(&okYear);
    return okDay && okMonth && okYear ? QDate(year, month, day) : QDate();
}

TOwnCompanies::TOwnCompanies()
{
    TTable* firm = DataModule1->firm;
    TTable* ae = DataModule1->Tableae;
    if (!firm->Active())
        return;
    const int count = firm->RecordCount();
    const int english = ae->Active() ? ae->RecordCount() : 0;
    TField* bg = firm->FieldByName(QStringLiteral("ДОСТАВЧИК"));
    TField* en = english > 0 ? ae->FieldByName(QStringLiteral("Supplier")) : nullptr;
    for (int i = 1; i <= count; ++i) {
        bg_.push_back(bg->TextAt(i));
        en_.push_back(i <= english ? en->TextAt(i) : QString());
    }
}

int TOwnCompanies::Of(const QString& supplier) const
{
    for (size_t i = 0; i < bg_.size(); ++i)
        if (supplier == bg_[i] || (!en_[i].isEmpty() && supplier == en_[i]))
            return int(i) + 1;
    return 0;
}

QStringList TOwnCompanies::NamesOf(int recNo) const
{
    if (recNo < 1 || recNo > int(bg_.size()))
        return {};
    QStringList names{bg_[size_t(recNo - 1)]};
    const QString& en = en_[size_t(recNo - 1)];
    if (!en.isEmpty() && en != names.first())
        names.append(en);
    return names;
}

int TOwnCompanies::ByBulgarianName(const QString& name) const
{
    for (size_t i = 0; i < bg_.size(); ++i)
        if (bg_[i] == name)
            return int(i) + 1;
    return 0;
}
