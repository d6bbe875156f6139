// What a user reads when the layer refuses something: Bulgarian, one text per
// fault wherever it occurs, a table or file named by its name and never its folder.
#include "db_support.h"
#include "platform/graphics.h"
#include "platform/jpeg.h"
#include "platform/printer.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "support/test_env.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

using namespace dbtest;

namespace {

QString MessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    ADD_FAILURE() << "nothing was raised";
    return {};
}

// Bulgarian (some Cyrillic), and no folder of the machine in it.
void ExpectUserText(const QString& msg, const QString& folder, const char* what)
{
    bool cyrillic = false;
    for (QChar c : msg)
        cyrillic = cyrillic || (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF);
    EXPECT_TRUE(cyrillic) << what << ": " << msg.toStdString();
    if (!folder.isEmpty()) {
        EXPECT_FALSE(msg.contains(folder)) << what << ": " << msg.toStdString();
    }
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct PrinterReset {
    ~PrinterReset() { SetPrinterAvailabilityForTests(std::nullopt); }
};

}  // namespace

TEST(UserMessages, ConversionsSayWhatWasTypedAndTheSameFaultReadsTheSame)
{
    LocaleScope bg(',');
    QTemporaryDir dir;
    auto goods = NewTable(dir.path(), QStringLiteral("stock.db"), StockDefs());
    goods->Append();
    // A price typed with its currency, a quantity in letters: the field says what
    // StrToFloat says.
    const QString price = MessageOf([&] { goods->FieldByName(QStringLiteral("Продажна цена"))->SetText("12,5лв"); });
    EXPECT_EQ(price, MessageOf([] { StrToFloat(QStringLiteral("12,5лв")); }));
    EXPECT_EQ(price, QStringLiteral("Невалидно число: „12,5лв“.\nВъведете число само с цифри и десетична запетая, "
                                    "например 12,5."));
    const QString quantity = MessageOf([&] { goods->FieldByName(QStringLiteral("К-во"))->SetText("абв"); });
    EXPECT_EQ(quantity, MessageOf([] { StrToFloat(QStringLiteral("абв")); }));
    ExpectUserText(quantity, {}, "quantity");

    const QString integer = MessageOf([] { StrToInt(QStringLiteral("abc12")); });
    EXPECT_TRUE(integer.startsWith(QStringLiteral("Невалидно цяло число: „abc12“."))) << integer.toStdString();
    ExpectUserText(MessageOf([] { StrToBool(QStringLiteral("може")); }), {}, "flag");
    ExpectUserText(MessageOf([] { EncodeDate(2026, 2, 31); }), {}, "date");
    TDateTimePicker picker;
    EXPECT_EQ(MessageOf([&] { picker.SetDate(QDate()); }), MessageOf([] { EncodeDate(2026, 2, 31); }));
}

TEST(UserMessages, PicturesThatDoNotLoadOrSave)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("logo.txt"));
    WriteFile(text, "not a picture");
    const QString empty = dir.filePath(QStringLiteral("empty.png"));
    WriteFile(empty, {});
    const QString broken = dir.filePath(QStringLiteral("broken.jpg"));
    WriteFile(broken, QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(40, 'x'));

    TPicture picture;
    const QString notPicture = MessageOf([&] { picture.LoadFromFile(text); });
    ExpectUserText(notPicture, dir.path(), "text file as logo");
    EXPECT_TRUE(notPicture.contains(QStringLiteral("JPEG, PNG или BMP"))) << notPicture.toStdString();
    EXPECT_EQ(MessageOf([&] { picture.LoadFromFile(empty); }), notPicture);
    ExpectUserText(MessageOf([&] { picture.LoadFromFile(broken); }), dir.path(), "broken JPEG");
    const QString missing = MessageOf([&] { picture.LoadFromFile(dir.filePath(QStringLiteral("gone.jpg"))); });
    ExpectUserText(missing, dir.path(), "missing file");
    EXPECT_TRUE(missing.contains(QStringLiteral("„gone.jpg“"))) << missing.toStdString();

    TJPEGImage jpeg;
    ExpectUserText(MessageOf([&] { jpeg.SaveToBytes(); }), {}, "empty JPEG");
    TBitmap bitmap;
    bitmap.SetWidth(4);
    bitmap.SetHeight(4);
    jpeg.Assign(bitmap);
    const QString unwritable = MessageOf([&] { jpeg.SaveToFile(dir.filePath(QStringLiteral("no/page.jpg"))); });
    ExpectUserText(unwritable, dir.path(), "JPEG into a missing folder");
    EXPECT_TRUE(unwritable.contains(QStringLiteral("„page.jpg“"))) << unwritable.toStdString();

    TStringList list;
    EXPECT_EQ(MessageOf([&] { list.LoadFromFile(dir.filePath(QStringLiteral("gone.jpg"))); }), missing);
    ExpectUserText(MessageOf([&] { list.SaveToFile(dir.filePath(QStringLiteral("no/network.txt"))); }), dir.path(),
                   "list into a missing folder");
}

TEST(UserMessages, TablesAreNamedByTheirFileName)
{
    QTemporaryDir dir;
    const QString folder = dir.path();

    TTable missing;
    missing.SetDatabaseName(folder);
    missing.SetTableName(QStringLiteral("Firm.db"));
    const QString absent = MessageOf([&] { missing.Open(); });
    ExpectUserText(absent, folder, "missing table");
    EXPECT_TRUE(absent.contains(QStringLiteral("„Firm.db“"))) << absent.toStdString();
    ExpectUserText(MessageOf([&] { missing.First(); }), folder, "closed table");

    WriteFile(QDir(folder).filePath(QStringLiteral("Firm.db")), QByteArray(4096, 'x'));
    ExpectUserText(MessageOf([&] { missing.Open(); }), folder, "foreign file");

    auto t = NewTable(folder, QStringLiteral("customer.db"), CustomerDefs());
    AddRecord(*t, {{QStringLiteral("Фирма"), QStringLiteral("Фирма ООД")}});
    ExpectUserText(MessageOf([&] { t->FieldByName(QStringLiteral("Лице")); }), folder, "unknown field");
    ExpectUserText(MessageOf([&] { t->SetRecNo(5); }), folder, "record out of range");
    t->Edit();
    t->FieldByName(QStringLiteral("Адрес"))->SetText(QStringLiteral("Варна"));
    // A save that finds the company window's typing still open.
    const QString editing = MessageOf([&] { t->Resync(); });
    ExpectUserText(editing, folder, "table being edited");
    EXPECT_TRUE(editing.contains(QStringLiteral("„customer.db“"))) << editing.toStdString();
    t->Cancel();

    // A file from elsewhere whose field has another type than the program's.
    TTable other;
    other.SetDatabaseName(folder);
    other.SetTableName(QStringLiteral("customer.db"));
    other.DeclareField(QStringLiteral("Фирма"), TFieldType::ftFloat);
    const QString wrongType = MessageOf([&] { other.Open(); });
    ExpectUserText(wrongType, folder, "field of another type");
    EXPECT_TRUE(wrongType.contains(QStringLiteral("„customer.db“"))) << wrongType.toStdString();
}

TEST(UserMessages, NoPrinterReadsTheSameForDocumentsAndExtracts)
{
    PrinterReset reset;
    SetPrinterAvailabilityForTests(false);
    const QString none = MessageOf([] { Printer()->BeginDoc(); });
    ExpectUserText(none, {}, "no printer");
    EXPECT_EQ(none, NoPrinterText());

    QPrinter* printer = Printer()->QtPrinter();
    const QPrinter::OutputFormat format = printer->outputFormat();
    const QString oldFile = printer->outputFileName();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString());
    TRichEdit extract;
    EXPECT_EQ(MessageOf([&] { extract.Print(QStringLiteral("Quarnel")); }), none);
    printer->setOutputFormat(format);
    printer->setOutputFileName(oldFile);
}

TEST(UserMessages, TheStandardLibrarysFaultsReachTheUserInBulgarian)
{
    ResetTestDialogs();
    SafeCall([] { throw std::out_of_range("vector::_M_range_check: __n (which is 3) >= this->size()"); });
    SafeCall([] { throw std::bad_alloc(); });
    SafeCall([] { throw 42; });
    ASSERT_EQ(TestDialogs().boxes.size(), 3u);
    for (const RecordedBox& box : TestDialogs().boxes)
        ExpectUserText(box.text, {}, "standard library fault");
}
