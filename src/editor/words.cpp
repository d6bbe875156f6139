#include "editor/words.h"

#include "platform/sysutils.h"

namespace {

const char* const BgMasculineWords[] = {"", "един", "два", "три", "четири", "пет",
                                        "шест", "седем", "осем", "девет", "десет"};
const char* const BgNeuterWords[] = {"", "едно", "две", "три", "четири", "пет",
                                     "шест", "седем", "осем", "девет", "десет"};
const char* const EnWords[] = {"", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten"};
const char* const EnTeenWords[] = {"eleven", "twelve", "thirteen"};

QString W(const char* s) { return QString::fromUtf8(s); }

bool AllDigits(const QString& s) { return !s.isEmpty() && IsDigits(s); }

// Digits counted from the end: 1 units, 2 tens, 3 hundreds, 4 thousands.
int Digit(const QString& s, int fromEnd)
{
    const qsizetype i = s.size() - fromEnd;
    return i < 0 ? 0 : s[i].unicode() - '0';
}

QString WithoutLeadingZeros(const QString& s)
{
    qsizetype i = 0;
    while (i + 1 < s.size() && s[i] == QLatin1Char('0'))
        ++i;
    return s.mid(i);
}

// ---- Bulgarian ----

// A thousands count ends in the feminine: "една хиляди", "две хиляди".
void BgUnits(QString& text, const QString& s, bool feminine = false)
{
    const int u = Digit(s, 1);
    if (feminine && u == 1)
        text += W("една");
    else if (feminine && u == 2)
        text += W("две");
    else
        text += W(BgMasculineWords[u]);
}

void BgTens(QString& text, const QString& s, bool feminine = false)
{
    const int t = Digit(s, 2);
    const int u = Digit(s, 1);
    if (!text.isEmpty() && (t == 1 || u == 0))
        text += W("и ");
    if (t == 1) {
        if (u == 0)
            text += W("десет");
        else if (u == 1)
            text += W("единадесет");
        else
            text += W(BgMasculineWords[u]) + W("надесет");
    } else if (u == 0) {
        text += W(BgMasculineWords[t]) + W("десет");
    } else {
        text += W(BgMasculineWords[t]) + W("десет и ");
        BgUnits(text, s, feminine);
    }
}

void BgHundreds(QString& text, const QString& s, bool feminine = false)
{
    const int h = Digit(s, 3);
    const int t = Digit(s, 2);
    const int u = Digit(s, 1);
    if (h == 1)
        text += W("сто ");
    else if (h == 2 || h == 3)
        text += W(BgNeuterWords[h]) + W("ста ");
    else
        text += W(BgNeuterWords[h]) + W("стотин ");
    if (t == 0 && u != 0) {
        text += W("и ");
        BgUnits(text, s, feminine);
    } else if (t != 0) {
        BgTens(text, s, feminine);
    }
}

void BgThousandsTail(QString& text, const QString& s)
{
    const int h = Digit(s, 3);
    const int t = Digit(s, 2);
    const int u = Digit(s, 1);
    if (h != 0) {
        text += W(" хиляди и ");
        BgHundreds(text, s);
    } else if (t != 0) {
        text += W(" хиляди и ");
        QString tens;
        BgTens(tens, s);
        text += tens;  // worded on an empty text: no conjunction of its own
    } else if (u != 0) {
        text += W(" хиляди и ");
        BgUnits(text, s);
    } else {
        text += W(" хиляди ");
    }
}

// Below a million; s has no leading zeros and is not "0".
void BgBelowMillion(QString& text, const QString& s)
{
    switch (s.size()) {
    case 1:
        BgUnits(text, s);
        break;
    case 2:
        BgTens(text, s);
        break;
    case 3:
        BgHundreds(text, s);
        break;
    case 4: {
        const int k = Digit(s, 4);
        text += k == 1 ? W("хиляда ") : W(BgNeuterWords[k]) + W(" хиляди ");
        if (Digit(s, 3) != 0) {
            BgHundreds(text, s);
        } else if (Digit(s, 2) != 0) {
            BgTens(text, s);
        } else if (Digit(s, 1) != 0) {
            text += W("и ");
            BgUnits(text, s);
        }
        break;
    }
    case 5:
        BgTens(text, s.left(2), true);
        BgThousandsTail(text, s);
        break;
    case 6:
        BgHundreds(text, s.left(3), true);
        BgThousandsTail(text, s);
        break;
    default:
        break;
    }
}

// ---- English ----

void EnUnits(QString& text, const QString& s) { text += W(EnWords[Digit(s, 1)]); }

void EnTens(QString& text, const QString& s)
{
    const int t = Digit(s, 2);
    const int u = Digit(s, 1);
    if (t == 1) {
        if (!text.isEmpty())
            text += W("and ");
        if (u == 0)
            text += W("ten");
        else if (u <= 3)
            text += W(EnTeenWords[u - 1]);
        else if (u == 5)
            text += W("fifteen");
        else if (u == 8)
            text += W("eighteen");
        else
            text += W(EnWords[u]) + W("teen");
        return;
    }
    static const char* const regular[] = {"", "", "twenty", "thirty", "forty", "fifty", "", "", "eighty", ""};
    const bool isRegular = regular[t][0] != '\0';
    if (u == 0) {
        text += isRegular ? W(regular[t]) : W(EnWords[t]) + W("ty ");
    } else {
        text += isRegular ? W(regular[t]) + QLatin1Char(' ') : W(EnWords[t]) + W("ty ");
        EnUnits(text, s);
    }
}

void EnHundreds(QString& text, const QString& s)
{
    const int t = Digit(s, 2);
    const int u = Digit(s, 1);
    text += W(EnWords[Digit(s, 3)]) + W(" hundred ");
    if (t == 0 && u != 0) {
        text += W("and ");
        EnUnits(text, s);
    } else if (t != 0) {
        EnTens(text, s);
    }
}

void EnThousandsTail(QString& text, const QString& s)
{
    const int h = Digit(s, 3);
    const int t = Digit(s, 2);
    const int u = Digit(s, 1);
    if (h != 0) {
        text += W(" thousand and ");
        EnHundreds(text, s);
    } else if (t != 0) {
        text += W(" thousand and ");
        QString tens;
        EnTens(tens, s);
        text += tens;
    } else if (u != 0) {
        text += W(" thousand and ");
        EnUnits(text, s);
    } else {
        text += W(" thousand ");
    }
}

void EnBelowMillion(QString& text, const QString& s)
{
    switch (s.size()) {
    case 1:
        EnUnits(text, s);
        break;
    case 2:
        EnTens(text, s);
        break;
    case 3:
        EnHundreds(text, s);
        break;
    case 4:
        text += W(EnWords[Digit(s, 4)]) + W(" thousand ");
        if (Digit(s, 3) != 0) {
            EnHundreds(text, s);
        } else if (Digit(s, 2) != 0) {
            EnTens(text, s);
        } else if (Digit(s, 1) != 0) {
            text += W(" and ");
            EnUnits(text, s);
        }
        break;
    case 5:
        EnTens(text, s.left(2));
        EnThousandsTail(text, s);
        break;
    case 6:
        EnHundreds(text, s.left(3));
        EnThousandsTail(text, s);
        break;
    default:
        break;
    }
}

// ---- both ----

struct Amount {
    QString integer;   // digits without sign and leading zeros; "" when none
    QString fraction;  // after the separator up to the first blank
    bool hasSeparator = false;
};

Amount SplitTotal(const QString& pageTotal, QChar sep)
{
    Amount a;
    const qsizetype p = pageTotal.indexOf(sep);
    a.hasSeparator = p >= 0;
    QString head = a.hasSeparator ? pageTotal.left(p) : pageTotal.section(QLatin1Char(' '), 0, 0);
    if (head.startsWith(QLatin1Char('-')))
        head.remove(0, 1);
    a.integer = AllDigits(head) ? WithoutLeadingZeros(head) : QString();
    if (a.hasSeparator) {
        a.fraction = pageTotal.mid(p + 1);
        const qsizetype blank = a.fraction.indexOf(QLatin1Char(' '));
        if (blank >= 0)
            a.fraction.truncate(blank);
    }
    return a;
}

// Words the integer part up to 999 999 999: the millions, then after a blank
// what lies below a million, both with the language's own routines.
template <typename BelowMillion, typename Millions>
void WordInteger(QString& text, const QString& digits, BelowMillion below, Millions millions)
{
    if (digits.size() > 9)
        return;
    if (digits.size() <= 6) {
        below(text, digits);
        return;
    }
    const QString count = digits.left(digits.size() - 6);
    millions(text, count);
    const QString rest = WithoutLeadingZeros(digits.right(6));
    if (rest != QLatin1String("0")) {
        text += QLatin1Char(' ');
        below(text, rest);
    }
}

}  // namespace

QString BgAmountInWords(const QString& pageTotal, QChar decimalSeparator)
{
    const Amount a = SplitTotal(pageTotal, decimalSeparator);
    if (a.integer.isEmpty())
        return {};
    QString text;
    if (a.integer == QLatin1String("0")) {
        text = W("нула");
    } else {
        WordInteger(text, a.integer, BgBelowMillion, [](QString& t, const QString& count) {
            if (count == QLatin1String("1")) {
                t += W("един милион");
            } else {
                BgBelowMillion(t, count);
                t += W(" милиона");
            }
        });
    }
    text += a.integer == QLatin1String("1") ? W(" лев") : W(" лева");

    const QString cents = a.fraction.left(2);
    bool ok = false;
    const int c = cents.toInt(&ok);
    if (ok && AllDigits(cents) && c != 0)
        text += W(" и ") + QString::number(c) + W(" ст.");
    return text;
}

QString EnAmountInWords(const QString& pageTotal, const QString& currencyName, QChar decimalSeparator)
{
    const Amount a = SplitTotal(pageTotal, decimalSeparator);
    if (!a.hasSeparator || a.integer.isEmpty())
        return {};
    QString text;
    if (a.integer == QLatin1String("0")) {
        text = W("zero");
    } else {
        WordInteger(text, a.integer, EnBelowMillion, [](QString& t, const QString& count) {
            EnBelowMillion(t, count);
            t += W(" million");
        });
    }
    bool ok = false;
    if (AllDigits(a.fraction) && a.fraction.toInt(&ok) != 0 && ok)
        text += W(" and ") + W(" 0") + decimalSeparator + a.fraction;
    text += QLatin1Char(' ') + currencyName;
    return text;
}

QString SplitLongWords(const QString& words)
{
    if (words.size() <= 50)
        return words;
    const qsizetype middle = words.size() / 2;
    qsizetype best = -1;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i] != QLatin1Char(' '))
            continue;
        if (best < 0 || qAbs(i - middle) < qAbs(best - middle))
            best = i;
    }
    // One long word: the cut stays in the middle.
    if (best < 0)
        return words.left(middle) + QLatin1Char('\n') + words.mid(middle);
    QString split = words;
    split[best] = QLatin1Char('\n');
    return split;
}
