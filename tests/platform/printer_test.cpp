#include "platform/graphics.h"
#include "platform/printer.h"
#include "platform/stdctrls.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Puts the printer and its hooks back whatever the test does.
struct PrinterHooks {
    PrinterHooks() = default;
    PrinterHooks(const PrinterHooks&) = delete;
    PrinterHooks& operator=(const PrinterHooks&) = delete;
    ~PrinterHooks()
    {
        Printer()->Abort();
        SetPrinterOutputFile(QString());
        SetPrinterAvailabilityForTests(std::nullopt);
        SetInstalledPrintersForTests(QStringList());  // as the whole suite has it
        Printer()->QtPrinter()->setPageOrientation(QPageLayout::Portrait);
    }
};

}  // namespace

TEST(Printer, WithoutPrintersEverythingRaisesEPrinter)
{
    PrinterHooks hooks;
    SetPrinterAvailabilityForTests(false);
    TPrinter* p = Printer();
    EXPECT_TRUE(p->Printers().isEmpty());
    EXPECT_THROW(p->SetOrientation(poPortrait), EPrinter);
    EXPECT_THROW(p->Orientation(), EPrinter);
    EXPECT_THROW(p->PageWidth(), EPrinter);
    EXPECT_THROW(p->PageHeight(), EPrinter);
    EXPECT_THROW(p->BeginDoc(), EPrinter);
    EXPECT_FALSE(p->Printing());
    EXPECT_THROW(p->EndDoc(), EPrinter);
    EXPECT_THROW(p->CheckAvailable(), EPrinter);

    // Even with an output file, the override decides.
    QTemporaryDir dir;
    SetPrinterOutputFile(dir.filePath(QStringLiteral("x.pdf")));
    EXPECT_THROW(p->SetOrientation(poPortrait), EPrinter);
    SetPrinterAvailabilityForTests(std::nullopt);
    EXPECT_NO_THROW(p->SetOrientation(poPortrait));  // the file counts as a printer
    EXPECT_FALSE(p->Printers().isEmpty());
}

TEST(Printer, TheInstalledPrintersAreTheOnesTheTestsSetAndNoJobLeavesForTheMachine)
{
    PrinterHooks hooks;
    TPrinter* p = Printer();
    EXPECT_TRUE(p->Printers().isEmpty());
    EXPECT_THROW(p->CheckAvailable(), EPrinter);
    EXPECT_THROW(p->BeginDoc(), EPrinter);

    SetInstalledPrintersForTests(QStringList{QStringLiteral("Офис")});
    EXPECT_EQ(p->Printers(), QStringList{QStringLiteral("Офис")});
    EXPECT_NO_THROW(p->CheckAvailable());
    // A stand-in printer is no place to print to: only a file is.
    EXPECT_THROW(p->CheckTarget(), EPrinter);
    TRichEdit extract;
    extract.SetText(QStringLiteral("Извлечение"));
    EXPECT_THROW(extract.Print(QStringLiteral("Quarnel")), EPrinter);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("extract.pdf"));
    SetPrinterOutputFile(pdf);
    EXPECT_NO_THROW(p->CheckTarget());
    extract.Print(QStringLiteral("Quarnel"));
    EXPECT_TRUE(QFile::exists(pdf));
}

TEST(Printer, PrintsOnePageToAPdfFile)
{
    PrinterHooks hooks;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    SetPrinterOutputFile(pdf);
    SetPrinterAvailabilityForTests(true);
    TPrinter* p = Printer();

    p->SetOrientation(poLandscape);
    EXPECT_EQ(p->Orientation(), poLandscape);
    EXPECT_GT(p->PageWidth(), p->PageHeight());
    p->SetOrientation(poPortrait);
    EXPECT_EQ(p->Orientation(), poPortrait);
    const int w = p->PageWidth();
    const int h = p->PageHeight();
    EXPECT_GT(h, w);
    EXPECT_GT(w, 2000);  // device pixels of a high-resolution page

    EXPECT_THROW(p->Canvas()->FillRect(Rect(0, 0, 10, 10)), EPrinter);  // no document yet

    TBitmap page;
    page.SetSize(86, 117);
    page.Canvas()->Brush.Color = clRed;
    page.Canvas()->FillRect(Rect(0, 0, 86, 117));

    p->Title = QStringLiteral("Quarnel");
    p->BeginDoc();
    EXPECT_TRUE(p->Printing());
    EXPECT_EQ(p->QtPrinter()->docName(), QStringLiteral("Quarnel"));
    EXPECT_THROW(p->BeginDoc(), EPrinter);
    EXPECT_THROW(p->SetOrientation(poLandscape), EPrinter);
    p->Canvas()->StretchDraw(Rect(int(w * 0.01), 0, w, h), page);
    p->EndDoc();
    EXPECT_FALSE(p->Printing());
    EXPECT_THROW(p->EndDoc(), EPrinter);

    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n"), 1);
    EXPECT_TRUE(bytes.contains("/Subtype /Image"));  // the stretched bitmap

    // A file that cannot be created: the document does not start.
    SetPrinterOutputFile(dir.filePath(QStringLiteral("no/such/folder/p.pdf")));
    EXPECT_THROW(p->BeginDoc(), EPrinter);
    EXPECT_FALSE(p->Printing());
}
