// The print chooser: what is printed or written, and what the register says.
#include "editor/editor_fixture.h"
#include "platform/jpeg.h"
#include "platform/printer.h"

#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>
#include <QSet>

namespace {

class PrintTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        AddSampleCompany();
        NewDocument();
        TwoLineDocument();
        ResetTestDialogs();
        pdf_ = Path("page.pdf");
        SetPrinterOutputFile(pdf_);
    }

    void TearDown() override
    {
        Printer()->Abort();
        SetPrinterOutputFile(QString());
        SetPrinterAvailabilityForTests(std::nullopt);
        Printer()->QtPrinter()->setPageOrientation(QPageLayout::Portrait);
        Printer()->QtPrinter()->setPageSize(QPageSize(QPageSize::A4));
        EditorTest::TearDown();
    }

    static void TwoLineDocument()
    {
        TOrderForm* f = OrderForm;
        f->Edit1->SetText(QStringLiteral("Бета ООД"));
        f->Edit3->SetText(QStringLiteral("Пловдив, бул. Марица 5"));
        TStringGrid* g = f->StringGrid1;
        g->SetRowCount(3);
        g->SetCells(1, 1, QStringLiteral("Болт М8"));
        g->SetCells(3, 1, QStringLiteral("3"));
        g->SetCells(4, 1, QStringLiteral("1,115"));
        g->SetCells(1, 2, QStringLiteral("Гайка М8"));
        g->SetCells(3, 2, QStringLiteral("10"));
        g->SetCells(4, 2, QStringLiteral("0,20"));
        f->RecalcByRate();
    }

    static QString Status(int rec) { return Store()->FieldByName(QStringLiteral("Статус"))->TextAt(rec); }
    static QString Counter() { return DataModule1->firm->FieldByName(QStringLiteral("Фактура №"))->TextAt(1); }
    static QString PdfText(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    // The first page's size in points, from the PDF's page dictionary.
    static QSizeF PdfPageSize(const QString& path)
    {
        const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
        const QRegularExpressionMatch m = box.match(PdfText(path));
        return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
    }
    void ExpectUnprinted() const
    {
        EXPECT_FALSE(OrderForm->CheckBox3->Checked());
        EXPECT_EQ(OrderForm->Panel2->Caption(), QStringLiteral("Неотпечатан"));
        EXPECT_EQ(OrderForm->Panel2->Font()->Color(), clRed);
    }

    // Stores the document as the editor's own save button does (unprinted).
    static void SaveUnprinted()
    {
        OrderForm->Save->Click();
        ASSERT_EQ(Store()->RecordCount(), 1);
        ASSERT_EQ(Status(1), QStringLiteral("False"));
        ResetTestDialogs();
    }
    static void Export(const QString& file)
    {
        TestDialogs().files = {file};
        PrtD->SpeedButton3->Click();
    }

    QString pdf_;
};

// A print dialog in which the user picks other paper and turns it sideways.
class PaperChangingDialogs : public ScriptedDialogs {
public:
    bool PrintDialog(QWidget*) override
    {
        calls.push_back(QStringLiteral("PrintDialog"));
        QPrinter* p = Printer()->QtPrinter();
        p->setPageSize(QPageSize(QPageSize::A5));
        p->setPageOrientation(QPageLayout::Landscape);
        return true;
    }
};

}  // namespace

TEST_F(PrintTest, PrintingMarksAndStoresAndStampsInTheChoosersLanguage)
{
    TestDialogs().printAnswers = {true};
    PrtD->SpeedButton2->Click();
    EXPECT_EQ(Doc->Label8->Caption(), QStringLiteral("Копие"));
    EXPECT_GT(QFileInfo(pdf_).size(), 0);
    EXPECT_TRUE(OrderForm->CheckBox3->Checked());
    EXPECT_EQ(OrderForm->Panel2->Caption(), QStringLiteral("Отпечатан"));
    EXPECT_EQ(OrderForm->Panel2->Font()->Color(), clBlue);
    ASSERT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Status(1), QStringLiteral("True"));
    EXPECT_EQ(Counter(), QStringLiteral("0000000001"));
    Export(Path("bg.jpg"));
    EXPECT_EQ(Doc->Label8->Caption(), QStringLiteral("Оригинал"));

    OrderForm->RadioButton2->SetChecked(true);
    ASSERT_EQ(PrtD->Caption(), QStringLiteral("Print"));
    TwoLineDocument();
    TestDialogs().printAnswers = {true, true};
    PrtD->SpeedButton1->Click();
    EXPECT_EQ(Doc->Label8->Caption(), QStringLiteral("Original"));
    PrtD->SpeedButton2->Click();
    EXPECT_EQ(Doc->Label8->Caption(), QStringLiteral("Copy"));
    Export(Path("en.jpg"));
    EXPECT_EQ(Doc->Label8->Caption(), QStringLiteral("Original"));

    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_TRUE(QFileInfo::exists(Path("bg.jpg")));
    EXPECT_TRUE(QFileInfo::exists(Path("en.jpg")));
    // The Bulgarian and the English invoice, both printed.
    ASSERT_EQ(Store()->RecordCount(), 2);
    EXPECT_EQ(Status(1), QStringLiteral("True"));
    EXPECT_EQ(Status(2), QStringLiteral("True"));
}

// The stamp's middle under the kind's middle (odd widths give half a pixel).
static void ExpectStampCentred(const char* what)
{
    const int stamp = 2 * Doc->Label8->Left() + Doc->Label8->Width();
    const int kind = 2 * Doc->Label1->Left() + Doc->Label1->Width();
    EXPECT_LE(std::abs(stamp - kind), 2) << what << ": " << Doc->Label8->Caption().toStdString();
}

TEST_F(PrintTest, TheStampIsCentredWhateverWasShownBeforeAndANewDocumentHasNone)
{
    OrderForm->RadioButton2->SetChecked(true);
    TwoLineDocument();
    TestDialogs().printAnswers = {true, true};
    PrtD->SpeedButton1->Click();
    PrtD->SpeedButton2->Click();
    ASSERT_EQ(Doc->Label8->Caption(), QStringLiteral("Copy"));
    ExpectStampCentred("English copy after original");

    NewDocument();
    TwoLineDocument();
    TestDialogs().printAnswers = {true, true};
    PrtD->SpeedButton1->Click();
    ExpectStampCentred("original");
    PrtD->SpeedButton2->Click();
    ASSERT_EQ(Doc->Label8->Caption(), QStringLiteral("Копие"));
    ExpectStampCentred("copy after original");
    Export(Path("after-copy.jpg"));
    ExpectStampCentred("picture after copy");
    TestDialogs().printAnswers = {true};
    PrtD->SpeedButton2->Click();
    ASSERT_EQ(Doc->Label8->Caption(), QStringLiteral("Копие"));
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();

    // A new document's preview does not carry the last print's stamp.
    NewDocument();
    OrderForm->View->Click();
    EXPECT_EQ(Doc->Label8->Caption(), QStringLiteral("Оригинал"));
    ExpectStampCentred("new document");
}

TEST_F(PrintTest, CancelledDialogsChangeNothing)
{
    // A new document: nothing stored, nothing counted.
    PrtD->SpeedButton1->Click();
    Export(QString());
    EXPECT_EQ(Store()->RecordCount(), 0);
    EXPECT_TRUE(Counter().isEmpty());
    EXPECT_TRUE(OrderForm->Save->Enabled());
    ExpectUnprinted();

    // A stored, unprinted document stays unprinted.
    SaveUnprinted();
    const QString counter = Counter();
    PrtD->SpeedButton2->Click();
    Export(QString());
    EXPECT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Status(1), QStringLiteral("False"));
    EXPECT_EQ(Counter(), counter);
    ExpectUnprinted();
    EXPECT_FALSE(QFileInfo::exists(pdf_));
    EXPECT_EQ(TestDialogs().calls,
              (std::vector<QString>{QStringLiteral("PrintDialog"),
                                    QStringLiteral("SaveFile:Експортирай като снимка|JPEG 8/24/32 bit|*.jpg")}));
}

TEST_F(PrintTest, ARefusedSaveStopsThePrint)
{
    SaveUnprinted();
    NewDocument();
    TwoLineDocument();
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000001"));  // the stored one's number
    ResetTestDialogs();
    TestDialogs().printAnswers = {true};
    TestDialogs().answers = {mrNo};
    PrtD->SpeedButton1->Click();

    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(Boxes()[0].startsWith(QStringLiteral("Вече съществува ФАКТУРА")));
    EXPECT_FALSE(QFileInfo::exists(pdf_));
    EXPECT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Status(1), QStringLiteral("False"));
    ExpectUnprinted();
}

TEST_F(PrintTest, FailuresAreShownAndLeaveTheDocumentUnprinted)
{
    // No printer: found out before anything is stored.
    SetPrinterAvailabilityForTests(false);
    TestDialogs().printAnswers = {true};
    PrtD->SpeedButton1->Click();
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Store()->RecordCount(), 0);
    ExpectUnprinted();

    // A folder that does not exist: nothing stored either.
    ResetTestDialogs();
    Export(Path("missing/page.jpg"));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Store()->RecordCount(), 0);
    ExpectUnprinted();

    // The picture needs no printer at all.
    ResetTestDialogs();
    Export(Path("page.jpg"));
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_TRUE(QFileInfo::exists(Path("page.jpg")));
    ASSERT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Status(1), QStringLiteral("True"));

    // A print job that cannot start once the document is stored: the register
    // and the editor say it is not printed.
    const auto printFails = [this] {
        SetPrinterOutputFile(Path("missing/page.pdf"));
        ResetTestDialogs();
        TestDialogs().printAnswers = {true};
        PrtD->SpeedButton1->Click();
        EXPECT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Status(1), QStringLiteral("False"));
        ExpectUnprinted();
        SetPrinterOutputFile(pdf_);
    };
    SetPrinterAvailabilityForTests(std::nullopt);
    // Changed content over that printed record: the earlier mark was for the old content.
    OrderForm->StringGrid1->SetCells(3, 1, QStringLiteral("5"));
    OrderForm->RecalcByRate();
    printFails();

    // An unprinted record: the printed state is put back as it was.
    TestDialogs().answers = {mrYes};  // the save button asks before overwriting
    OrderForm->Save->Click();
    ASSERT_EQ(Status(1), QStringLiteral("False"));
    printFails();
}

TEST_F(PrintTest, TheExtensionIsAddedOnlyWhenMissingAndAnExistingFileIsAskedFor)
{
    EXPECT_EQ(TPrtD::JpegFileName(QStringLiteral("/d/page")), QStringLiteral("/d/page.jpg"));
    EXPECT_EQ(TPrtD::JpegFileName(QStringLiteral("/d/a.JPG")), QStringLiteral("/d/a.JPG"));
    EXPECT_EQ(TPrtD::JpegFileName(QStringLiteral("/d/a.jpg.bak")), QStringLiteral("/d/a.jpg.bak"));
    EXPECT_EQ(TPrtD::JpegFileName(QStringLiteral("/d/x.jpg/page")), QStringLiteral("/d/x.jpg/page.jpg"));
    EXPECT_EQ(TPrtD::JpegFileName(QStringLiteral("/d/a.jpeg")), QStringLiteral("/d/a.jpeg"));
    EXPECT_EQ(TPrtD::JpegFileName(QStringLiteral("/d/a.JPEG")), QStringLiteral("/d/a.JPEG"));
    EXPECT_EQ(TPrtD::JpegFileName(QStringLiteral("/d/a.jpeg.bak")), QStringLiteral("/d/a.jpeg.bak.jpg"));

    QFile old(Path("page.jpg"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep");
    old.close();

    TestDialogs().answers = {mrNo};
    Export(Path("page"));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(Boxes()[0].contains(QStringLiteral("page.jpg")));
    EXPECT_EQ(QFileInfo(Path("page.jpg")).size(), 4);
    EXPECT_EQ(Store()->RecordCount(), 0);
    ExpectUnprinted();

    ResetTestDialogs();
    TestDialogs().answers = {mrYes};
    Export(Path("page"));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(QImage(Path("page.jpg")).size(), QSize(859, 1168));
    EXPECT_EQ(Status(1), QStringLiteral("True"));

    // The dialog belongs to the chooser, which stays on top of every other window.
    EXPECT_EQ(TestDialogs().saveOwner, PrtD);

    // A name with the extension in capitals is taken as it is, without a question.
    ResetTestDialogs();
    Export(Path("a.JPG"));
    EXPECT_TRUE(Boxes().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(Path("a.JPG")));
    EXPECT_FALSE(QFileInfo::exists(Path("a.JPG.jpg")));
    Export(Path("b.jpeg"));
    EXPECT_EQ(QImage(Path("b.jpeg")).size(), QSize(859, 1168));
    EXPECT_FALSE(QFileInfo::exists(Path("b.jpeg.jpg")));
}

TEST_F(PrintTest, ColourDepthFollowsTheChoice)
{
    EXPECT_EQ(TPrtD::DepthOf(QStringLiteral("8 бита цвят")), pf8bit);
    EXPECT_EQ(TPrtD::DepthOf(QStringLiteral("24 бита цвят")), pf24bit);
    EXPECT_EQ(TPrtD::DepthOf(QStringLiteral("32 бита цвят")), pf32bit);
    EXPECT_EQ(TPrtD::DepthOf(QStringLiteral("16")), pf24bit);
    EXPECT_EQ(TPrtD::DepthOf(QStringLiteral("8 бита цвят ")), pf24bit);
    EXPECT_EQ(PrtD->ComboBox1->Text(), QStringLiteral("24 бита цвят"));

    TBitmap* picture = Doc->Image1->Picture()->Bitmap();
    PrtD->ComboBox1->SetText(QStringLiteral("16"));
    Export(Path("16.jpg"));
    EXPECT_EQ(picture->PixelFormat(), pf24bit);

    PrtD->ComboBox1->SetText(QStringLiteral("8 бита цвят"));
    Export(Path("8.jpg"));
    EXPECT_EQ(picture->PixelFormat(), pf8bit);
    QSet<QRgb> colours;
    const QImage img = picture->ToImage();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            colours.insert(img.pixel(x, y));
    EXPECT_LE(colours.size(), 256);
    EXPECT_EQ(QImage(Path("8.jpg")).size(), QSize(859, 1168));

    PrtD->ComboBox1->SetText(QStringLiteral("32 бита цвят"));
    Export(Path("32.jpg"));
    EXPECT_EQ(picture->PixelFormat(), pf32bit);
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
}

TEST_F(PrintTest, ThePageIsPrintedPortraitOnThePaperChosenInTheDialogAsText)
{
    EXPECT_EQ(TPrtD::PageTarget(1000, 1400), QRect(10, 0, 990, 1400));
    EXPECT_EQ(TPrtD::PageTarget(99, 140), QRect(0, 0, 99, 140));
    EXPECT_EQ(TPrtD::PageTarget(4958, 7016).left(), 49);

    Printer()->QtPrinter()->setPageOrientation(QPageLayout::Landscape);
    PaperChangingDialogs dialogs;
    SetDialogs(&dialogs);
    QRect target;
    EXPECT_TRUE(PrtD->ChoosePrinter(target));
    const QRect a5Pixels = Printer()->QtPrinter()->pageLayout().paintRectPixels(Printer()->QtPrinter()->resolution());
    EXPECT_LT(a5Pixels.width(), a5Pixels.height());
    EXPECT_EQ(target, TPrtD::PageTarget(a5Pixels.width(), a5Pixels.height()));
    PrtD->SpeedButton1->Click();
    SetDialogs(&TestDialogs());

    EXPECT_TRUE(dialogs.boxes.empty());
    const QSizeF a5 = PdfPageSize(pdf_);
    EXPECT_NEAR(a5.width(), 420, 1);
    EXPECT_NEAR(a5.height(), 595, 1);
    // Text, not one picture of the page: it stays sharp at any resolution.
    const QString pdf = PdfText(pdf_);
    EXPECT_TRUE(pdf.contains(QStringLiteral("/FontFile2")));
    EXPECT_FALSE(pdf.contains(QStringLiteral("/Subtype /Image")));
}

TEST_F(PrintTest, APageThatCannotBeLaidOutIsNeitherStoredNorPrinted)
{
    OrderForm->RadioButton2->SetChecked(true);
    TwoLineDocument();
    Doc->CurrencyRate = 0;
    TestDialogs().printAnswers = {true};
    PrtD->SpeedButton1->Click();

    EXPECT_EQ(Boxes().size(), 1u);  // told once
    EXPECT_FALSE(QFileInfo::exists(pdf_));
    EXPECT_EQ(Store()->RecordCount(), 0);
    ExpectUnprinted();
}

TEST_F(PrintTest, EightBitPrintingLeavesTheLogoAsItWas)
{
    QImage gradient(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            gradient.setPixel(x, y, qRgb(x * 4, y * 8, 255 - x * 2));
    Doc->Image2->Picture()->Bitmap()->Assign(gradient);
    // The fill copies the editor's logo onto the page: give the editor this one.
    OrderForm->DBImage1->Picture()->Bitmap()->Assign(gradient);
    PrtD->ComboBox1->SetText(QStringLiteral("8 бита цвят"));
    TestDialogs().printAnswers = {true};
    PrtD->SpeedButton1->Click();

    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_TRUE(PdfText(pdf_).contains(QStringLiteral("/Subtype /Image")));
    EXPECT_EQ(Doc->Image2->Picture()->Bitmap()->PixelFormat(), pf24bit);
    EXPECT_EQ(Doc->Image2->Picture()->ToImage().convertToFormat(QImage::Format_RGB32), gradient);
}

TEST_F(PrintTest, TheChooserOpensLeftOfTheCursorAndStaysOnTop)
{
    EXPECT_TRUE(PrtD->StayOnTop);
    QCursor::setPos(700, 300);
    if (Screen->CursorPos() != QPoint(700, 300))
        GTEST_SKIP() << "this platform does not move the cursor";
    OrderForm->Print->Click();
    EXPECT_EQ(PrtD->x(), 700 - PrtD->frameGeometry().width());
    EXPECT_EQ(PrtD->y(), 300);
}

TEST_F(PrintTest, ADocumentLongerThanTheSheetIsRefusedBeforeAnythingIsAskedOrStored)
{
    TStringGrid* g = OrderForm->StringGrid1;
    g->SetRowCount(36);
    for (int r = 1; r < 36; ++r) {
        g->SetCells(1, r, QStringLiteral("Стока %1").arg(r));
        g->SetCells(3, r, QStringLiteral("1"));
        g->SetCells(4, r, QStringLiteral("2,50"));
    }
    // The preview shows the page and says it does not fit.
    OrderForm->View->Click();
    ASSERT_EQ(Boxes().size(), 1u);
    const int fit = Doc->FittingRows();
    EXPECT_TRUE(Boxes()[0].contains(QStringLiteral("се побират %1 реда, а той има 35").arg(fit))) << Boxes()[0].toStdString();
    EXPECT_TRUE(Doc->isVisible());

    for (TSpeedButton* button : {PrtD->SpeedButton1, PrtD->SpeedButton2, PrtD->SpeedButton3}) {
        ResetTestDialogs();
        TestDialogs().printAnswers = {true};
        TestDialogs().files = {Path("long.jpg")};
        button->Click();
        EXPECT_EQ(Boxes(), QStringList{Doc->OverflowMessage()});
        EXPECT_EQ(TestDialogs().calls, std::vector<QString>{QStringLiteral("MessageBox")});
    }
    EXPECT_FALSE(QFileInfo::exists(pdf_));
    EXPECT_FALSE(QFileInfo::exists(Path("long.jpg")));
    EXPECT_EQ(Store()->RecordCount(), 0);
    EXPECT_TRUE(Counter().isEmpty());
    ExpectUnprinted();

    // Down to the lines that fit, it prints.
    g->SetRowCount(fit + 1);
    ResetTestDialogs();
    TestDialogs().printAnswers = {true};
    PrtD->SpeedButton1->Click();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_GT(QFileInfo(pdf_).size(), 0);
    EXPECT_EQ(Store()->RecordCount(), 1);
}

TEST_F(PrintTest, LinesAddedFromTheGoodsWindowAreCountedWithoutTheEmptyRowUnderThem)
{
    AddGood(QStringLiteral("Болт М8 поцинкован"), "бр.", "0,35");
    TestDialogs().answers = {mrNo};  // the fixture's document is dropped
    NewDocument();
    ResetTestDialogs();
    OrderForm->Edit1->SetText(QStringLiteral("Бета ООД"));
    Main->SpeedButton3->Click();
    const auto add = [](int count) {
        for (int i = 0; i < count; ++i) {
            Stocks->StringGrid1->SetRow(1);
            Stocks->Button1->Click();
        }
    };
    add(28);
    // The editor keeps an empty row under the last line for the next one.
    ASSERT_EQ(OrderForm->StringGrid1->RowCount(), 30);
    ASSERT_TRUE(OrderForm->StringGrid1->Rows(29).join(QString()).isEmpty());

    OrderForm->View->Click();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_TRUE(Doc->Fits());
    EXPECT_EQ(Doc->StringGrid2->RowCount(), 29);
    const int fit = Doc->FittingRows();
    EXPECT_EQ(fit, 28);

    ResetTestDialogs();
    TestDialogs().printAnswers = {true};
    PrtD->SpeedButton1->Click();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    EXPECT_GT(QFileInfo(pdf_).size(), 0);
    ASSERT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Status(1), QStringLiteral("True"));

    // One line more does not fit: the message counts the lines, not the empty row.
    add(1);
    ResetTestDialogs();
    OrderForm->View->Click();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(Boxes()[0].contains(QStringLiteral("се побират %1 реда, а той има 29.").arg(fit))) << Boxes()[0].toStdString();
}
