#include "platform/strings.h"

#include "platform/sysutils.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <unistd.h>

namespace {

// Windows-1251, bytes 0x80..0xFF; 0x98 is unassigned.
constexpr char16_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0 А..
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0 а..
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

const QHash<char16_t, char>& Cp1251Reverse()
{
    static const QHash<char16_t, char> map = [] {
        QHash<char16_t, char> m;
        for (int i = 0; i < 128; ++i)
            if (kCp1251High[i] != 0xFFFD)
                m.insert(kCp1251High[i], static_cast<char>(0x80 + i));
        return m;
    }();
    return map;
}

[[noreturn]] void IndexError(int index)
{
    throw EListError(ListIndexText(index));
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

}  // namespace

QString DecodeCp1251(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        out += QChar(u < 0x80 ? char16_t(u) : kCp1251High[u - 0x80]);
    }
    return out;
}

QByteArray EncodeCp1251(const QString& text)
{
    const auto& reverse = Cp1251Reverse();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < 0x80) {
            out += static_cast<char>(u);
            continue;
        }
        // A character outside the basic plane is one '?', not two.
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        out += reverse.value(u, '?');
    }
    return out;
}

QString TStrings::Strings(int index) const
{
    if (index < 0 || index >= Count())
        IndexError(index);
    return items_.at(index);
}

void TStrings::SetStrings(int index, const QString& s)
{
    if (index < 0 || index >= Count())
        IndexError(index);
    items_[index] = s;
    Changed();
}

int TStrings::Add(const QString& s)
{
    items_.append(s);
    Changed();
    return Count() - 1;
}

void TStrings::Insert(int index, const QString& s)
{
    if (index < 0 || index > Count())
        IndexError(index);
    items_.insert(index, s);
    Changed();
}

void TStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        IndexError(index);
    items_.removeAt(index);
    Changed();
}

void TStrings::Clear()
{
    items_.clear();
    Changed();
}

void TStrings::Assign(const TStrings& other)
{
    items_ = other.items_;
    Changed();
}

void TStrings::Assign(const QStringList& list)
{
    items_ = list;
    Changed();
}

int TStrings::IndexOf(const QString& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(items_.at(i), s))
            return i;
    return -1;
}

QString TStrings::Text() const
{
    QString out;
    for (const QString& line : items_)
        out += line + QStringLiteral("\r\n");
    return out;
}

void TStrings::SetText(const QString& text)
{
    items_ = SplitLines(text);
    Changed();
}

void TStrings::LoadFromFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EInOutError(FileOpenText(path));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw EInOutError(FileReadText(path));
    SetText(DecodeCp1251(bytes));
}

void TStrings::SaveToFile(const QString& path) const
{
    // A temporary file in the same folder replaces the old one only when
    // complete and on disk, so a crash leaves either the old or the new list.
    QSaveFile f(path);
    const QByteArray bytes = EncodeCp1251(Text());
    if (!f.open(QIODevice::WriteOnly))
        throw EInOutError(FileCreateText(path));
    if (!(f.write(bytes) == bytes.size() && f.flush() && ::fsync(f.handle()) == 0 && f.commit()))
        throw EInOutError(FileWriteText(path));
}
