#include "platform/strings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

QStringList Lines(const TStrings& list)
{
    return list.List();
}

QString ListMessage(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const EListError& e) {
        return e.Message;
    }
    return QStringLiteral("<no error>");
}

// "ФАКТУРА" in Windows-1251.
const QByteArray kInvoiceWord("\xD4\xC0\xCA\xD2\xD3\xD0\xC0");

}  // namespace

TEST(Cp1251, EveryAssignedByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        if (b != 0x98)
            all += static_cast<char>(b);
    const QString text = DecodeCp1251(all);
    EXPECT_EQ(text.size(), all.size());
    EXPECT_EQ(EncodeCp1251(text), all);
    EXPECT_EQ(DecodeCp1251(QByteArray("\x98", 1)), QString(QChar(0xFFFD)));
}

TEST(Cp1251, CodePageTable)
{
    const auto at = [](unsigned char b) { return DecodeCp1251(QByteArray(1, static_cast<char>(b))).at(0).unicode(); };
    EXPECT_EQ(at(0x41), u'A');
    EXPECT_EQ(at(0xC0), u'А');
    EXPECT_EQ(at(0xDF), u'Я');
    EXPECT_EQ(at(0xE0), u'а');
    EXPECT_EQ(at(0xFF), u'я');
    EXPECT_EQ(at(0xA8), u'Ё');
    EXPECT_EQ(at(0xB8), u'ё');
    EXPECT_EQ(at(0xB9), u'№');
    EXPECT_EQ(at(0xAB), u'«');
    EXPECT_EQ(at(0xBB), u'»');
    EXPECT_EQ(at(0x84), u'„');
    EXPECT_EQ(at(0x93), u'“');
    EXPECT_EQ(at(0x94), u'”');
    EXPECT_EQ(at(0x96), u'–');
    EXPECT_EQ(at(0x97), u'—');
    EXPECT_EQ(at(0x88), u'€');
    EXPECT_EQ(at(0x85), u'…');
    EXPECT_EQ(at(0xA0), 0x00A0);
    EXPECT_EQ(at(0xA5), u'Ґ');
    EXPECT_EQ(at(0xB4), u'ґ');
    EXPECT_EQ(at(0x80), u'Ђ');
    EXPECT_EQ(at(0x9F), u'џ');
    EXPECT_EQ(DecodeCp1251(kInvoiceWord), QStringLiteral("ФАКТУРА"));

    EXPECT_EQ(EncodeCp1251(QStringLiteral("ä€№")), QByteArray("?\x88\xB9"));
    EXPECT_EQ(EncodeCp1251(QStringLiteral("a😀b")), QByteArray("a?b"));  // one '?' per character
    EXPECT_EQ(EncodeCp1251(QString(QChar(0xFFFD))), QByteArray("?"));
    EXPECT_EQ(EncodeCp1251(""), QByteArray());
}

TEST(StringList, IndexesAndOutOfRange)
{
    TStringList list;
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add(QStringLiteral("б")), 1);
    list.Insert(0, "first");
    list.Insert(3, "last");  // Count itself appends
    EXPECT_EQ(Lines(list), QStringList({"first", "a", QStringLiteral("б"), "last"}));
    list.SetStrings(1, "A");
    EXPECT_EQ(list.Strings(1), "A");
    EXPECT_EQ(list[2], QStringLiteral("б"));
    list.Delete(0);
    EXPECT_EQ(Lines(list), QStringList({"A", QStringLiteral("б"), "last"}));

    EXPECT_EQ(ListMessage([&] { list.Strings(3); }), ListIndexText(3));
    EXPECT_EQ(ListMessage([&] { list.Strings(-1); }), ListIndexText(-1));
    EXPECT_EQ(ListMessage([&] { list.SetStrings(3, "x"); }), ListIndexText(3));
    EXPECT_EQ(ListMessage([&] { list.Delete(3); }), ListIndexText(3));
    EXPECT_EQ(ListMessage([&] { list.Insert(5, "x"); }), ListIndexText(5));
    EXPECT_EQ(ListMessage([&] { list.Insert(-1, "x"); }), ListIndexText(-1));
    EXPECT_EQ(list.Count(), 3);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(ListMessage([&] { list.Strings(0); }), ListIndexText(0));

    TStringList copy;
    copy.Add("old");
    list.Assign(QStringList({"x", "y"}));
    copy.Assign(list);
    EXPECT_EQ(Lines(copy), QStringList({"x", "y"}));
}

TEST(StringList, IndexOfIgnoresCase)
{
    TStringList list;
    list.SetText(QStringLiteral("0000000012\r\nИван Петров\r\nivan\r\nиван петров\r\n"));
    EXPECT_EQ(list.IndexOf(QStringLiteral("ИВАН ПЕТРОВ")), 1);  // the first of equal entries
    EXPECT_EQ(list.IndexOf(QStringLiteral("иван петров")), 1);
    EXPECT_EQ(list.IndexOf("IVAN"), 2);
    EXPECT_EQ(list.IndexOf("0000000012"), 0);
    EXPECT_EQ(list.IndexOf("12"), -1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("Иван")), -1);
    EXPECT_EQ(list.IndexOf(""), -1);
    list.Add("");
    EXPECT_EQ(list.IndexOf(""), 4);
}

TEST(StringList, TextAndSetText)
{
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Assign(QStringList({"a", "", QStringLiteral("б")}));
    EXPECT_EQ(list.Text(), QStringLiteral("a\r\n\r\nб\r\n"));

    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"\n", {""}},
        {"\r", {""}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc\r\n", {"a", "b", "c"}},
        {"a\n\n", {"a", ""}},
        {"\r\r\n", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {"\r\n\r\nx", {"", "", "x"}},
    };
    for (const auto& c : cases) {
        list.SetText(QString::fromUtf8(c.text));
        EXPECT_EQ(Lines(list), c.lines) << c.text;
    }
    list.SetText(QStringLiteral("20%\r\nФАКТУРА\r\n\r\n\r\n\r\n"));
    EXPECT_EQ(list.Count(), 5);
    TStringList again;
    again.SetText(list.Text());
    EXPECT_EQ(Lines(again), Lines(list));
}

TEST(StringList, ChangedRunsOncePerChange)
{
    struct Counting : TStringList {
        int changes = 0;
        void Changed() override { ++changes; }
    } list;
    list.SetText("a\r\nb\r\nc");
    EXPECT_EQ(list.changes, 1);
    list.Add("d");
    list.Insert(0, "z");
    list.SetStrings(0, "y");
    list.Delete(0);
    EXPECT_EQ(list.changes, 5);
    EXPECT_THROW(list.Delete(9), EListError);
    EXPECT_EQ(list.changes, 5);
}

TEST(StringListFiles, LoadsWindows1251WithAnyLineBreak)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("mem.txt");
    TStringList list;

    WriteBytes(path, "20%\r\n" + kInvoiceWord + "\r\n\r\n\xB9 \xAB\xE0\xBB\r\n");
    list.LoadFromFile(path);
    EXPECT_EQ(Lines(list), QStringList({"20%", QStringLiteral("ФАКТУРА"), "", QStringLiteral("№ «а»")}));

    WriteBytes(path, "a\nb\rc\r\n\nd");
    list.LoadFromFile(path);
    EXPECT_EQ(Lines(list), QStringList({"a", "b", "c", "", "d"}));

    WriteBytes(path, "");
    list.LoadFromFile(path);
    EXPECT_EQ(list.Count(), 0);

    WriteBytes(path, "\r\n");
    list.LoadFromFile(path);
    EXPECT_EQ(Lines(list), QStringList({""}));
}

TEST(StringListFiles, SavesWindows1251ByteExact)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("payment.txt");
    TStringList list;
    list.Assign(QStringList({QStringLiteral("по сметка"), "", QStringLiteral("в брой – €5 ä")}));
    list.SaveToFile(path);
    EXPECT_EQ(ReadBytes(path), QByteArray("\xEF\xEE \xF1\xEC\xE5\xF2\xEA\xE0\r\n\r\n\xE2 \xE1\xF0\xEE\xE9 \x96 \x88"
                                          "5 ?\r\n"));

    // A file read and written again keeps every byte.
    const QByteArray original = "20%\r\n" + kInvoiceWord + "\r\n\r\n\xA8\xB8\x84\x93\x94\r\n";
    const QString source = dir.filePath("mem.txt");
    WriteBytes(source, original);
    list.LoadFromFile(source);
    list.SaveToFile(path);
    EXPECT_EQ(ReadBytes(path), original);

    // A shorter list replaces the old file completely and leaves no temporary file behind.
    list.Assign(QStringList({"x"}));
    list.SaveToFile(path);
    EXPECT_EQ(ReadBytes(path), "x\r\n");
    list.Clear();
    list.SaveToFile(path);
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"mem.txt", "payment.txt"}));
}

TEST(StringListFiles, FailuresRaiseInOutError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TStringList list;
    list.Add("kept");
    EXPECT_THROW(list.LoadFromFile(dir.filePath("missing.txt")), EInOutError);
    EXPECT_THROW(list.LoadFromFile(dir.path()), EInOutError);
    EXPECT_EQ(Lines(list), QStringList({"kept"}));  // a failed load leaves the list alone

    EXPECT_THROW(list.SaveToFile(dir.filePath("no/such/folder/x.txt")), EInOutError);
    const QString folder = dir.filePath("folder");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_THROW(list.SaveToFile(folder), EInOutError);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}
