#include "page/wrap.h"

#include "platform/grids.h"

#include <QFontMetrics>

#include <algorithm>

namespace {

bool Blank(QChar c) { return c == QLatin1Char(' '); }

QString TrimBlanksRight(QString s)
{
    qsizetype n = s.size();
    while (n > 0 && Blank(s[n - 1]))
        --n;
    s.truncate(n);
    return s;
}

}  // namespace

QStringList WrapToFit(const QString& line, const TextFits& fits)
{
    QStringList pieces;
    QString rest = line;
    while (!rest.isEmpty() && !fits(rest)) {
        // The longest start of the rest that fits.
        qsizetype low = 0;
        qsizetype high = rest.size() - 1;
        while (low < high) {
            const qsizetype mid = (low + high + 1) / 2;
            if (fits(rest.left(mid)))
                low = mid;
            else
                high = mid - 1;
        }
        // The last blank that ends a word within it, a blank right after it included.
        qsizetype cut = std::min(low, rest.size() - 1);
        while (cut > 0 && !(Blank(rest[cut]) && !Blank(rest[cut - 1])))
            --cut;
        if (cut == 0)
            cut = std::max<qsizetype>(low, 1);  // one word wider than the room: as much as fits
        pieces << TrimBlanksRight(rest.left(cut));
        while (cut < rest.size() && Blank(rest[cut]))
            ++cut;
        rest = rest.mid(cut);
        if (rest.isEmpty())
            return pieces;
    }
    pieces << rest;
    return pieces;
}

int TextWidth(const QString& text, const QFont& font)
{
    const QFontMetrics fm(font);
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

QStringList WrapToWidth(const QString& text, const QFont& font, int width)
{
    const QFontMetrics fm(font);
    const int room = std::max(1, width);
    const TextFits fits = [&fm, room](const QString& s) { return fm.horizontalAdvance(s) <= room; };
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n')))
        lines << WrapToFit(paragraph, fits);
    return lines;
}

void SpreadOverRows(TStringGrid* grid, int row, int col, const QStringList& pieces)
{
    if (pieces.isEmpty())
        return;
    grid->SetCells(col, row, pieces.first());
    const int extra = int(pieces.size()) - 1;
    if (extra < 1)
        return;
    const int oldCount = grid->RowCount();
    // Cells below the row count would be dropped: grow the grid first.
    grid->SetRowCount(oldCount + extra);
    for (int r = oldCount - 1; r > row; --r)
        for (int c = 0; c < grid->ColCount(); ++c)
            grid->SetCells(c, r + extra, grid->Cells(c, r));
    for (int k = 1; k <= extra; ++k)
        for (int c = 0; c < grid->ColCount(); ++c)
            grid->SetCells(c, row + k, c == col ? pieces[k] : QString());
}
