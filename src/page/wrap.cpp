#include "page/wrap.h"

#include "platform/grids.h"

#include <QFontMetrics>
#include <QHash>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <optional>
#include <vector>

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

// The longest start of line[from..] that fits, in UTF-16 units, found by
// measuring near the guess first: each probe measures at most about twice
// the piece, so a text costs time in proportion to its length.
qsizetype LongestFitting(const QString& line, qsizetype from, qsizetype guess, const TextFits& fits)
{
    const qsizetype rest = line.size() - from;
    const auto fitsTo = [&](qsizetype n) { return n <= 0 || fits(line.mid(from, n)); };
    qsizetype good = 0;     // a length known to fit
    qsizetype bad = rest + 1;  // a length known not to, or past the end
    qsizetype probe = std::clamp<qsizetype>(guess, 1, rest);
    if (fitsTo(probe)) {
        good = probe;
        for (qsizetype step = 1; good < rest; step *= 2) {
            probe = std::min(rest, good + step);
            if (!fitsTo(probe)) {
                bad = probe;
                break;
            }
            good = probe;
        }
    } else {
        bad = probe;
        for (qsizetype step = 1;; step *= 2) {
            probe = bad - step;
            if (probe <= 0)
                break;
            if (fitsTo(probe)) {
                good = probe;
                break;
            }
            bad = probe;
        }
    }
    while (bad - good > 1) {
        const qsizetype mid = good + (bad - good) / 2;
        if (fitsTo(mid))
            good = mid;
        else
            bad = mid;
    }
    return good;
}

// Where a cut inside a word may fall at or before end: never inside a
// character (two UTF-16 halves, a letter with its marks); at least one
// character after from.
qsizetype CharacterCut(const QString& line, qsizetype from, qsizetype end, std::optional<QTextBoundaryFinder>& chars)
{
    if (!chars)
        chars.emplace(QTextBoundaryFinder::Grapheme, line);
    chars->setPosition(end);
    if (!chars->isAtBoundary())
        chars->toPreviousBoundary();
    if (chars->position() > from)
        return chars->position();
    chars->setPosition(from);
    const qsizetype next = chars->toNextBoundary();
    return next > from ? next : std::min(line.size(), from + 1);
}

// Widths of texts in a font, measured, and estimated from the widths of
// their characters: close to the measured width, not equal to it where the
// font kerns pairs of letters.
class Widths {
public:
    Widths(const QFont& font, int room) : fm_(font), fmf_(font), room_(room) {}

    int Room() const { return room_; }
    qreal Scale() const { return scale_; }
    void SetScale(qreal scale) { scale_ = std::clamp<qreal>(scale, 0.5, 2); }
    int Measure(const QString& text) const { return fm_.horizontalAdvance(text); }
    bool Fits(const QString& text) const { return Measure(text) <= room_; }
    // The estimated width of line[at], or of the character that starts there.
    qreal At(const QString& line, qsizetype at)
    {
        const QChar c = line[at];
        if (c.isLowSurrogate() && at > 0 && line[at - 1].isHighSurrogate())
            return 0;  // counted with its first half
        char32_t code = c.unicode();
        qsizetype units = 1;
        if (c.isHighSurrogate() && at + 1 < line.size() && line[at + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, line[at + 1]);
            units = 2;
        }
        // Latin and Cyrillic letters are looked up in a table, the rest hashed.
        if (code < kTabled) {
            if (tabled_[code] < 0)
                tabled_[code] = fmf_.horizontalAdvance(line.mid(at, units));
            return tabled_[code];
        }
        const auto known = others_.constFind(code);
        if (known != others_.cend())
            return *known;
        const qreal w = fmf_.horizontalAdvance(line.mid(at, units));
        others_.insert(code, w);
        return w;
    }

private:
    static constexpr char32_t kTabled = 0x500;
    QFontMetrics fm_;
    QFontMetricsF fmf_;
    int room_;
    qreal scale_ = 1;
    std::vector<qreal> tabled_ = std::vector<qreal>(kTabled, -1);
    QHash<char32_t, qreal> others_;
};

bool WordEnd(const QString& line, qsizetype at) { return Blank(line[at]) && !Blank(line[at - 1]); }

// The end of the next piece, found from the estimate and measured once; -1
// when the estimate is too close to tell, the text's end when the rest fits.
// reach is how much fits by the estimate.
qsizetype EstimatedCut(const QString& line, qsizetype from, Widths& widths, qsizetype& reach)
{
    const qsizetype n = line.size();
    const int room = widths.Room();
    // Characters of next to no width are not counted on for long.
    const qsizetype most = 4 * qsizetype(room) + 64;
    // Scaled by how the last piece measured against its estimate.
    const qreal scale = widths.Scale();
    qreal width = 0;
    qsizetype end = from;
    while (end < n && end - from < most) {
        const qreal w = widths.At(line, end);
        if ((width + w) * scale > room)
            break;
        width += w;
        ++end;
    }
    reach = end - from;
    if (end == n)
        return widths.Fits(line.mid(from)) ? n : -1;
    // The last word end within reach; inside a word, as much as fits.
    qsizetype cut = end;
    qreal past = 0;  // the estimate from the cut to the reach
    while (cut > from && !WordEnd(line, cut))
        past += widths.At(line, --cut);
    const bool inWord = cut == from;
    if (inWord) {
        cut = end;
        past = 0;
    }
    if (cut == from)
        return -1;
    const int measured = widths.Measure(line.mid(from, cut - from));
    if (width - past > room / 4)
        widths.SetScale(measured / (width - past));
    if (measured > room)
        return -1;
    // The next word (inside a word, the next character) must not fit: clear
    // from the estimate when its kerning could not bring it back.
    const auto over = [&](qreal more) { return measured + more > room + 2 + more / 10; };
    qsizetype next = end;
    do
        past += widths.At(line, next++);
    while (!inWord && next < n && !WordEnd(line, next) && !over(past) && next - from < most);
    if (over(past))
        return cut;
    if (!widths.Fits(line.mid(from, next - from)))
        return cut;
    reach = next - from;
    return -1;
}

// Widths, when given, find most breaks with one measuring of the piece.
QStringList Wrap(const QString& line, const TextFits& fits, Widths* widths)
{
    QStringList pieces;
    std::optional<QTextBoundaryFinder> chars;  // made only for a cut inside a word
    qsizetype from = 0;
    // Pieces of one text are much alike: each search starts at the last one's length.
    qsizetype guess = 64;
    while (from < line.size()) {
        const qsizetype rest = line.size() - from;
        qsizetype cut = -1;
        qsizetype fit = 0;
        if (widths) {
            const qsizetype end = EstimatedCut(line, from, *widths, guess);
            if (end == line.size())
                break;
            if (end > from) {
                cut = end - from;
                fit = cut;
            }
        }
        if (cut < 0) {
            fit = LongestFitting(line, from, guess, fits);
            if (fit >= rest)
                break;
            // The last blank that ends a word within it, a blank right after it included.
            cut = std::min(fit, rest - 1);
            while (cut > 0 && !WordEnd(line, from + cut))
                --cut;
        }
        if (cut == 0 || !WordEnd(line, from + cut))  // one word wider than the room: as much of it as fits
            cut = CharacterCut(line, from, from + fit, chars) - from;
        pieces << TrimBlanksRight(line.mid(from, cut));
        guess = std::max<qsizetype>(fit, 1);
        from += cut;
        while (from < line.size() && Blank(line[from]))
            ++from;
        if (from == line.size())
            return pieces;
    }
    pieces << line.mid(from);
    return pieces;
}

}  // namespace

QStringList WrapToFit(const QString& line, const TextFits& fits) { return Wrap(line, fits, nullptr); }

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
    Widths widths(font, std::max(1, width));
    const TextFits fits = [&widths](const QString& s) { return widths.Fits(s); };
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n')))
        lines << Wrap(paragraph, fits, &widths);
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
