#include "editor/money.h"

#include "platform/locale.h"
#include "platform/sysutils.h"

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
    const qsizetype percent = text.indexOf(QLatin1Char('%'));
    const QString part = percent < 0 ? text : text.left(percent);
    double v = 0;
    if (!TryStrToFloat(part, v))
        return false;
    vatText = part;
    rate = v * 0.01;
    return true;
}
