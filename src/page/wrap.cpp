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

void WrapParagraph(const QString& paragraph, const QFontMetrics& fm, int width, QStringList& lines)
{
    QString rest = paragraph;
    while (fm.horizontalAdvance(rest) > width) {
        // The longest start that ends before a blank and fits.
        qsizetype cut = -1;
        for (qsizetype i = 1; i < rest.size(); ++i) {
            if (!Blank(rest[i]) || Blank(rest[i - 1]))
                continue;
            if (fm.horizontalAdvance(rest.left(i)) > width)
                break;
            cut = i;
        }
        if (cut < 0) {
            // One word wider than the width: as many characters as fit, at least one.
            cut = 1;
            while (cut < rest.size() && fm.horizontalAdvance(rest.left(cut + 1)) <= width)
                ++cut;
        }
        lines << TrimBlanksRight(rest.left(cut));
        qsizetype next = cut;
        while (next < rest.size() && Blank(rest[next]))
            ++next;
        rest = rest.mid(next);
        if (rest.isEmpty())
            return;
    }
    lines << rest;
}

}  // namespace

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
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n')))
        WrapParagraph(paragraph, fm, std::max(1, width), lines);
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
