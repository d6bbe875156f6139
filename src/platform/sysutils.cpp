#include "platform/sysutils.h"

#include "platform/locale.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

bool IsAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// The ASCII form ("-12.5e3") of a number written with the locale's separator;
// false when the text is no number. Blanks are not skipped.
bool ToAsciiNumber(const QString& s, QChar sep, std::string& out)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        out += char(s[i++].unicode());
    int digits = 0;
    for (; i < n && IsAsciiDigit(s[i]); ++i, ++digits)
        out += char(s[i].unicode());
    if (i < n && s[i] == sep) {
        out += '.';
        for (++i; i < n && IsAsciiDigit(s[i]); ++i, ++digits)
            out += char(s[i].unicode());
    }
    if (digits == 0)
        return false;
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        out += 'e';
        ++i;
        if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
            out += char(s[i++].unicode());
        int expDigits = 0;
        for (; i < n && IsAsciiDigit(s[i]); ++i, ++expDigits)
            out += char(s[i].unicode());
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

// strtod in the C locale: the process locale (set by Qt from the environment)
// may use a comma.
double CStrtod(const std::string& text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text.c_str(), nullptr, cLocale);
}

// |v| rounded to 15 significant digits: digits "d1d2...d15" and the decimal
// exponent of d1 (value = d1.d2...d15 x 10^exponent).
struct Digits15 {
    std::string digits;
    int exponent = 0;
};

Digits15 RoundTo15(double v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
    const std::string text(buf, res.ptr);  // "d.dddddddddddddde+XX"
    Digits15 d;
    const size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            d.digits += text[i];
    d.exponent = std::atoi(text.c_str() + e + 1);
    return d;
}

bool ParseInt(const QString& s, int& value)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        negative = s[i++] == QLatin1Char('-');
    if (i == n)
        return false;
    long long v = 0;
    for (; i < n; ++i) {
        if (!IsAsciiDigit(s[i]))
            return false;
        v = v * 10 + (s[i].unicode() - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL)
        return false;
    value = static_cast<int>(v);
    return true;
}

// One section of a FormatFloat pattern, split into the literal text around
// the number and the number's placeholders.
struct FloatPattern {
    QString prefix;
    QString suffix;
    int minInt = 0;    // '0's in the integer part, counted from the first '0'
    int minDec = 0;    // decimals up to the last '0'
    int maxDec = 0;    // all decimal placeholders
    bool grouping = false;
    bool hasNumber = false;
};

FloatPattern ParsePattern(const QString& format)
{
    FloatPattern p;
    bool done = false;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = format[i];
        QString& literal = p.hasNumber ? p.suffix : p.prefix;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = format.indexOf(c, i + 1);
            if (j < 0)
                j = n;
            literal += format.mid(i + 1, j - i - 1);
            i = j + 1;
            continue;
        }
        if (!done) {
            // The number is the first run of # 0 , and one '.' that holds a digit
            // placeholder; a lone '.' (as in "лв.") is literal text.
            qsizetype j = i;
            bool point = false;
            bool placeholder = false;
            while (j < n) {
                const QChar r = format[j];
                if (r == QLatin1Char('#') || r == QLatin1Char('0'))
                    placeholder = true;
                else if (r == QLatin1Char('.') && !point)
                    point = true;
                else if (r != QLatin1Char(','))
                    break;
                ++j;
            }
            if (placeholder) {
                bool inFraction = false;
                bool zeroSeen = false;
                for (qsizetype k = i; k < j; ++k) {
                    const QChar r = format[k];
                    if (r == QLatin1Char('.')) {
                        inFraction = true;
                    } else if (r == QLatin1Char(',')) {
                        p.grouping = p.grouping || !inFraction;
                    } else if (inFraction) {
                        ++p.maxDec;
                        if (r == QLatin1Char('0'))
                            p.minDec = p.maxDec;
                    } else {
                        zeroSeen = zeroSeen || r == QLatin1Char('0');
                        if (zeroSeen)
                            ++p.minInt;
                    }
                }
                p.hasNumber = true;
                done = true;
                i = j;
                continue;
            }
        }
        literal += c;
        ++i;
    }
    return p;
}

}  // namespace

bool TryStrToFloat(const QString& s, double& value)
{
    std::string ascii;
    if (!ToAsciiNumber(s, FormatSettings().DecimalSeparator, ascii))
        return false;
    const double v = CStrtod(ascii);
    if (std::isinf(v))
        return false;
    value = v;
    return true;
}

double StrToFloat(const QString& s)
{
    double v = 0;
    if (!TryStrToFloat(s, v))
        throw EConvertError(InvalidNumberText(s));
    return v;
}

QString FloatToStr(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NAN");
    if (std::isinf(v))
        return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    Digits15 d = RoundTo15(v);
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        return QStringLiteral("0");

    const QChar sep = FormatSettings().DecimalSeparator;
    QString out;
    if (v < 0)
        out += QLatin1Char('-');
    const int e = d.exponent;
    const QString digits = QString::fromLatin1(d.digits.data(), qsizetype(d.digits.size()));
    if (e < -5 || e >= 15) {
        out += digits.at(0);
        if (digits.size() > 1)
            out += sep + digits.mid(1);
        out += QLatin1Char('E') + QString::number(e);
    } else if (e < 0) {
        out += QLatin1Char('0') + sep + QString(-e - 1, QLatin1Char('0')) + digits;
    } else {
        const QString padded = digits.leftJustified(e + 1, QLatin1Char('0'));
        out += padded.left(e + 1);
        if (padded.size() > e + 1)
            out += sep + padded.mid(e + 1);
    }
    return out;
}

QString FormatFloat(const QString& format, double v)
{
    if (format.isEmpty() || std::isnan(v) || std::isinf(v))
        return FloatToStr(v);
    const FloatPattern p = ParsePattern(format);
    if (!p.hasNumber)
        return p.prefix;

    // Round half away from zero on the 15-digit decimal text, the digits
    // FloatToStr shows, so that a mark agrees with the printed amounts.
    const Digits15 d = RoundTo15(v);
    QString intPart;
    QString fraction;
    if (d.exponent >= 0) {
        const QString all = QString::fromLatin1(d.digits.data(), qsizetype(d.digits.size()))
                                .leftJustified(d.exponent + 1, QLatin1Char('0'));
        intPart = all.left(d.exponent + 1);
        fraction = all.mid(d.exponent + 1);
    } else {
        intPart = QStringLiteral("0");
        fraction = QString(-d.exponent - 1, QLatin1Char('0'))
                   + QString::fromLatin1(d.digits.data(), qsizetype(d.digits.size()));
    }
    QString number = intPart + fraction.left(p.maxDec).leftJustified(p.maxDec, QLatin1Char('0'));
    if (fraction.size() > p.maxDec && fraction.at(p.maxDec).unicode() >= '5') {
        qsizetype k = number.size() - 1;
        for (; k >= 0 && number.at(k) == QLatin1Char('9'); --k)
            number[k] = QLatin1Char('0');
        if (k < 0)
            number.prepend(QLatin1Char('1'));
        else
            number[k] = QChar(number.at(k).unicode() + 1);
    }
    intPart = number.left(number.size() - p.maxDec);
    fraction = number.right(p.maxDec);

    qsizetype lead = 0;
    while (lead < intPart.size() && intPart.at(lead) == QLatin1Char('0'))
        ++lead;
    intPart = intPart.mid(lead);
    if (intPart.size() < p.minInt)
        intPart = intPart.rightJustified(p.minInt, QLatin1Char('0'));
    while (fraction.size() > p.minDec && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);

    bool zero = true;
    for (const QChar c : number)
        zero = zero && c == QLatin1Char('0');
    if (p.grouping) {
        const QChar group = FormatSettings().ThousandSeparator;
        for (qsizetype k = intPart.size() - 3; k > 0; k -= 3)
            intPart.insert(k, group);
    }
    QString out = p.prefix;
    if (v < 0 && !zero)
        out += QLatin1Char('-');
    out += intPart;
    if (!fraction.isEmpty())
        out += FormatSettings().DecimalSeparator + fraction;
    return out + p.suffix;
}

bool TryStrToInt(const QString& s, int& value)
{
    return ParseInt(s, value);
}

int StrToInt(const QString& s)
{
    int v = 0;
    if (!ParseInt(s, v))
        throw EConvertError(InvalidIntegerText(s));
    return v;
}

QString IntToStr(long long v)
{
    return QString::number(v);
}

QString InvalidNumberText(const QString& s)
{
    const QChar sep = FormatSettings().DecimalSeparator;
    const QString mark = sep == QLatin1Char(',')   ? QStringLiteral("десетична запетая")
                         : sep == QLatin1Char('.') ? QStringLiteral("десетична точка")
                                                   : QStringLiteral("десетичен знак „%1“").arg(sep);
    return QStringLiteral("Невалидно число: „%1“.\nВъведете число само с цифри и %2, например 12%3%4.")
        .arg(s, mark, QString(sep), QStringLiteral("5"));
}

QString InvalidIntegerText(const QString& s)
{
    return QStringLiteral("Невалидно цяло число: „%1“.\nВъведете цяло число само с цифри, например 12.").arg(s);
}

QString InvalidFlagText(const QString& s)
{
    return QStringLiteral("Невалидна стойност на отметка: „%1“.\nОтметнете или изчистете отметката отново.").arg(s);
}

QString InvalidDateText()
{
    return QStringLiteral("Невалидна дата.\nВъведете съществуваща дата, например 31.12.2026.");
}

namespace {
QString FileFault(const QString& path, const char* fault, const char* todo)
{
    return QStringLiteral("Файлът „%1“ не може да бъде %2.\n%3")
        .arg(QFileInfo(path).fileName(), QString::fromUtf8(fault), QString::fromUtf8(todo));
}
}  // namespace

QString FileOpenText(const QString& path)
{
    return FileFault(path, "отворен", "Проверете дали съществува и дали имате достъп до него.");
}

QString FileReadText(const QString& path)
{
    return FileFault(path, "прочетен", "Проверете дали е достъпен и опитайте отново.");
}

QString FileCreateText(const QString& path)
{
    return FileFault(path, "създаден", "Изберете друга папка или проверете правата за запис в нея.");
}

QString FileWriteText(const QString& path)
{
    return FileFault(path, "записан докрай", "Освободете място на диска и опитайте отново.");
}

bool StrToBool(const QString& s)
{
    int n = 0;
    if (ParseInt(s, n))
        return n != 0;
    if (AnsiSameText(s, QStringLiteral("True")))
        return true;
    if (AnsiSameText(s, QStringLiteral("False")))
        return false;
    throw EConvertError(InvalidFlagText(s));
}

QString BoolToStr(bool b, bool useBoolStrs)
{
    if (useBoolStrs)
        return b ? QStringLiteral("True") : QStringLiteral("False");
    return b ? QStringLiteral("-1") : QStringLiteral("0");
}

namespace {
TDate& FixedToday()
{
    static TDate today;
    return today;
}
}  // namespace

TDate Date()
{
    return FixedToday().isValid() ? FixedToday() : QDate::currentDate();
}

void SetTodayForTests(const TDate& today) { FixedToday() = today; }

bool IsDigits(QStringView s)
{
    for (const QChar c : s)
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    return true;
}

TDate EncodeDate(int year, int month, int day)
{
    const QDate d(year, month, day);
    if (year < 1 || year > 9999 || !d.isValid())
        throw EConvertError(InvalidDateText());
    return d;
}

QString FormatDateTime(const QString& format, const TDate& d)
{
    if (!d.isValid())
        return {};
    const QLocale loc = QLocale::system();
    QString out;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = format.indexOf(c, i + 1);
            if (j < 0)
                j = n;
            out += format.mid(i + 1, j - i - 1);
            i = j + 1;
            continue;
        }
        const QChar lc = c.toLower();
        if (lc != QLatin1Char('d') && lc != QLatin1Char('m') && lc != QLatin1Char('y')) {
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < n && format[j].toLower() == lc)
            ++j;
        const qsizetype count = j - i;
        i = j;
        const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        const QLocale::FormatType len = count == 3 ? QLocale::ShortFormat : QLocale::LongFormat;
        if (lc == QLatin1Char('d'))
            out += count == 1 ? QString::number(d.day()) : count == 2 ? two(d.day()) : loc.dayName(d.dayOfWeek(), len);
        else if (lc == QLatin1Char('m'))
            out += count == 1 ? QString::number(d.month()) : count == 2 ? two(d.month()) : loc.monthName(d.month(), len);
        else
            out += count <= 2 ? two(d.year() % 100) : QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
    }
    return out;
}

QString DateToStr(const TDate& d)
{
    return d.toString(FormatSettings().ShortDateFormat);
}

int Length(const QString& s)
{
    return static_cast<int>(s.size());
}

int Pos(const QString& sub, const QString& s)
{
    if (sub.isEmpty())
        return 0;
    return static_cast<int>(s.indexOf(sub)) + 1;
}

QString Copy(const QString& s, int index, int count)
{
    if (index < 1)
        index = 1;
    if (count <= 0 || index > s.size())
        return {};
    return s.mid(index - 1, count);
}

void Delete(QString& s, int index, int count)
{
    if (index < 1 || index > s.size() || count <= 0)
        return;
    s.remove(index - 1, count);
}

void Insert(const QString& sub, QString& s, int index)
{
    if (index < 1)
        index = 1;
    if (index > s.size() + 1)
        index = static_cast<int>(s.size()) + 1;
    s.insert(index - 1, sub);
}

int LastDelimiter(const QString& delimiters, const QString& s)
{
    for (qsizetype i = s.size() - 1; i >= 0; --i)
        if (delimiters.contains(s.at(i)))
            return static_cast<int>(i) + 1;
    return 0;
}

QString AnsiLowerCase(const QString& s)
{
    return s.toLower();
}

QString AnsiUpperCase(const QString& s)
{
    return s.toUpper();
}

bool AnsiSameText(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

bool FileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool DeleteFile(const QString& path)
{
    return FileExists(path) && QFile::remove(path);
}

bool RenameFile(const QString& from, const QString& to)
{
    // QFile::rename refuses an existing target, as the class library does.
    return QFile::rename(from, to);
}

bool DirectoryExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString StartDir()
{
    static const QString dir = QDir::currentPath();
    return dir;
}
