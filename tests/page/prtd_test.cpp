// The print chooser: what is printed or written, and what the register says.
#include "editor/editor_fixture.h"
#include "platform/jpeg.h"
#include "platform/printer.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>

namespace {

class PrintTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        CompanyRecord a;
        a.name = QStringLiteral("Алфа ООД");
        a.address = QStringLiteral("София, ул. Роза 1");
        a.person = QStringLiteral("Иван Иванов");
        a.place = QStringLiteral("София");
        a.id = QStringLiteral("123456786");
        a.vatId = QStringLiteral("BG123456786");
        a.enName = QStringLiteral("Alfa Ltd");
        a.enAddress = QStringLiteral("Sofia, 1 Roza St");
        AddCompany(a);
        DataModule1->firm->SetRecNo(1);
        DataModule1->Tableae->SetRecNo(1);
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

    static TTable* Store() { return DataModule1->store; }
    static QString Status(int rec) { return Store()->FieldByName(QStringLiteral("Статус"))->TextAt(rec); }
    static QString Counter() { return DataModule1->firm->FieldByName(QStringLiteral("Фактура №"))->TextAt(1); }
    static QStringList Boxes()
    {
        QStringList texts;
        for (const RecordedBox& b : TestDialogs().boxes)
            texts << b.text;
        return texts;
    }
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

    QString pdf_;
};

}  // namespace

TEST_F(PrintTest, PrintingToPdfMarksStoresAndStampsInTheChoosersLanguage)
{
    TestDialogs().printAnswers = {true};
    PrtD->SpeedButton1->Click();

    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
    ASSERT_TRUE(QFileInfo(pdf_).size() > 0);
    EXPECT_EQ(Doc->Label8->Caption(), QStringLiteral("Оригинал"));
    EXPECT_TRUE(OrderForm->CheckBox3->Checked());
    EXPECT_EQ(OrderForm->Panel2->Caption(), QStringLiteral("Отпечатан"));
    EXPECT_EQ(OrderForm->Panel2->Font()->Color(), clBlue);
    ASSERT_EQ(Store()->RecordCount(), 1);
    EXPECT_EQ(Status(1), QStringLiteral("True"));
    EXPECT_EQ(Counter(), QStringLiteral("0000000001"));
}
