#include "editor/money.h"

#include "platform/locale.h"
#include "platform/sysutils.h"

#include <QRegularExpression>

QString NormalizeDecimalText(const QString& text)
{
    if (text.isEmpty())
        return {};
    QString s = text;
    const QChar sep = FormatSettings().DecimalSeparator;
    if (sep == QLatin1Char(',')) {
        const qsizetype i = s.indexOf(QLatin1Char('.'));
        if (i >= 0)
            s[i] = QLatin1Char(',');
    }
    if (sep == QLatin1Char('.')) {
        const qsizetype i = s.indexOf(QLatin1Char(','));
        if (i >= 0)
            s[i] = QLatin1Char('.');
    }
    double unused = 0;
    return TryStrToFloat(s, unused) ? s : QString();
}

bool ParseVatRate(const QString& text, QString& vatText, double& rate)
{
    static const QRegularExpression shape(QStringLiteral("^\\s*(\\d+(?:[.,]\\d+)?)\\s*%?\\s*$"));
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return false;
    const QString number = NormalizeDecimalText(m.captured(1));
    double v = 0;
    if (number.isEmpty() || !TryStrToFloat(number, v) || v < 0 || v > 100)
        return false;
    vatText = number;
    rate = v * 0.01;
    return true;
}

QString InvalidVatRateText(const QString& text)
{
    return QStringLiteral("Невалидна ставка на ДДС: „%1“.\nВъведете число от 0 до 100, по желание със знак %, "
                          "например 20% или 9%.")
        .arg(text);
}
