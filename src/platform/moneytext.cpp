#include "platform/moneytext.h"

#include "platform/locale.h"
#include "platform/sysutils.h"

namespace {

// "-0,00" and "-0" read as a minus sign on nothing: money shows them unsigned.
QString DropNegativeZero(const QString& s, QChar sep)
{
    if (!s.startsWith(QLatin1Char('-')))
        return s;
    for (qsizetype i = 1; i < s.size(); ++i)
        if (s[i] != QLatin1Char('0') && s[i] != sep)
            return s;
    return s.size() > 1 ? s.mid(1) : s;
}

}  // namespace

QString ExpandExponent(const QString& text)
{
    const qsizetype e = text.indexOf(QLatin1Char('E'), 0, Qt::CaseInsensitive);
    if (e < 0)
        return text;
    int exponent = 0;
    // Larger exponents are no amount; leave them to the caller's conversion.
    if (!TryStrToInt(text.mid(e + 1), exponent) || exponent > 400 || exponent < -400)
        return text;

    QString mantissa = text.left(e);
    QString sign;
    if (mantissa.startsWith(QLatin1Char('-')) || mantissa.startsWith(QLatin1Char('+'))) {
        if (mantissa[0] == QLatin1Char('-'))
            sign = QStringLiteral("-");
        mantissa.remove(0, 1);
    }
    const QChar sep = FormatSettings().DecimalSeparator;
    const qsizetype p = mantissa.indexOf(sep);
    const QString intDigits = p < 0 ? mantissa : mantissa.left(p);
    const QString fracDigits = p < 0 ? QString() : mantissa.mid(p + 1);
    if (!IsDigits(intDigits) || !IsDigits(fracDigits) || intDigits.size() + fracDigits.size() == 0)
        return text;

    const QString digits = intDigits + fracDigits;
    const qsizetype point = intDigits.size() + exponent;
    QString intPart;
    QString fraction;
    if (point <= 0) {
        fraction = QString(-point, QLatin1Char('0')) + digits;
    } else if (point >= digits.size()) {
        intPart = digits + QString(point - digits.size(), QLatin1Char('0'));
    } else {
        intPart = digits.left(point);
        fraction = digits.mid(point);
    }
    qsizetype lead = 0;
    while (lead < intPart.size() && intPart[lead] == QLatin1Char('0'))
        ++lead;
    intPart = intPart.mid(lead);
    if (intPart.isEmpty())
        intPart = QStringLiteral("0");
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    return sign + intPart + (fraction.isEmpty() ? QString() : sep + fraction);
}

QString RoundMoneyString(const QString& text)
{
    const QChar sep = FormatSettings().DecimalSeparator;
    const int d = FormatSettings().CurrencyDecimals;
    QString s = ExpandExponent(text);
    const int p = Pos(sep, s);
    if (p == 0) {
        s += sep + QString(d, QLatin1Char('0'));
    } else {
        const int f = Length(s) - p;
        if (f < d) {
            s += QString(d - f, QLatin1Char('0'));
        } else if (f > d) {
            // One digit past the decimals decides; below 5 the cut is the rounding.
            s = Copy(s, 1, p + d + 1);
            const int last = StrToInt(Copy(s, p + d + 1, 1));
            if (last < 5) {
                s.chop(1);
            } else {
                // Adding one unit of the last kept decimal leaves the deciding
                // digit in place, so cutting it off rounds away from zero.
                double v = StrToFloat(s);
                const QString stepText =
                    d > 0 ? QStringLiteral("0") + sep + QString(d - 1, QLatin1Char('0')) + QStringLiteral("1")
                          : QStringLiteral("1");
                const double step = StrToFloat(stepText);
                v = v >= 0 ? v + step : v - step;
                s = FloatToStr(v);
                s.chop(1);
            }
        }
    }
    // Without currency decimals an amount is a whole number, no separator.
    if (d <= 0 && s.endsWith(sep))
        s.chop(1);
    return DropNegativeZero(s, sep);
}
