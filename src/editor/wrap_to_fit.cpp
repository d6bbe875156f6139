#include "editor/wrap_to_fit.h"

QStringList WrapToFit(const QString& line, const TextFits& fits)
{
    QStringList pieces;
    QString rest = line;
    while (!fits(rest)) {
        // The longest start of the rest that fits; widths grow with the length.
        qsizetype low = 0;
        qsizetype high = rest.size() - 1;
        while (low < high) {
            const qsizetype mid = (low + high + 1) / 2;
            if (fits(rest.left(mid)))
                low = mid;
            else
                high = mid - 1;
        }
        // A blank right after the fitting start is a break as good as one inside it.
        const qsizetype blank = rest.left(low + 1).lastIndexOf(QLatin1Char(' '));
        if (blank > 0) {
            pieces << rest.left(blank);
            rest = rest.mid(blank + 1);
        } else {
            const qsizetype cut = std::max<qsizetype>(low, 1);
            pieces << rest.left(cut);
            rest = rest.mid(cut);
        }
    }
    if (!rest.isEmpty() || pieces.isEmpty())
        pieces << rest;
    return pieces;
}
