#include "editor/editor_fixture.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QScrollBar>

namespace {

QImage Crop(TControl* c)
{
    const QImage page = Doc->Image1->Picture()->Bitmap()->ToImage();
    QPoint at;
    for (QWidget* w = c->Widget(); w != Doc->Panel1; w = w->parentWidget())
        at += w->pos();
    return page.copy(QRect(at, c->Widget()->size()));
}

}  // namespace

TEST_F(EditorTest, PageFontsAreTheMetricTwinsOfTheDesignFonts)
{
    EXPECT_EQ(PageFontFamily(QStringLiteral("Times New Roman")), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(PageFontFamily(QStringLiteral("Arial")), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(Doc->Label33->font()).family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(QFontInfo(Doc->Panel1->font()).family(), QStringLiteral("Liberation Sans"));
}

TEST_F(EditorTest, PageDrawsAmpersandsInNamesLiterally)
{
    NewDocument();
    OrderForm->Edit1->SetText(QStringLiteral("А & Б ООД"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    const QImage with = Crop(Doc->Label33);
    OrderForm->Edit1->SetText(QStringLiteral("А  Б ООД"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    const QImage without = Crop(Doc->Label33);

    // Ink where the '&' stands, above the line where an accelerator underline would go.
    const QFontMetrics fm(Doc->Label33->font());
    const int x0 = fm.horizontalAdvance(QStringLiteral("А "));
    const int x1 = fm.horizontalAdvance(QStringLiteral("А  "));  // where "Б" starts without it
    const auto ink = [&](const QImage& img) {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = 0; y < fm.ascent() - 1; ++y)
                n += qGray(img.pixel(x, y)) < 128;
        return n;
    };
    EXPECT_GT(ink(with), 2);
    EXPECT_EQ(ink(without), 0);
    EXPECT_GT(with.width(), without.width());
}

TEST_F(EditorTest, RefillingThePageGivesTheSamePicture)
{
    NewDocument();
    OrderForm->Edit1->SetText(QString(100, QChar(0x0416)));  // three lines
    OrderForm->ComboBox1->SetText(QStringLiteral("Дебитно известие"));
    OrderForm->StringGrid1->SetCells(1, 1, QStringLiteral("Услуга"));
    OrderForm->StringGrid1->SetCells(3, 1, QStringLiteral("3"));
    OrderForm->StringGrid1->SetCells(4, 1, QStringLiteral("123456,78"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    const QImage first = Doc->Image1->Picture()->Bitmap()->ToImage();
    EXPECT_EQ(first.size(), QSize(859, 1168));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->Image1->Picture()->Bitmap()->ToImage(), first);
}

TEST_F(EditorTest, ThePageShowsNoCurrentCellOfItsGrids)
{
    NewDocument();
    OrderForm->ComboBox1->SetText(QStringLiteral("Дебитно известие"));
    OrderForm->StringGrid2->SetCells(0, 1, QStringLiteral("1"));
    OrderForm->StringGrid2->SetCells(1, 1, QStringLiteral("411"));
    OrderForm->StringGrid2->SetCells(2, 1, QStringLiteral("120,00"));
    OrderForm->StringGrid1->SetCells(1, 1, QStringLiteral("Услуга"));
    OrderForm->StringGrid1->SetCells(3, 1, QStringLiteral("1"));
    OrderForm->StringGrid1->SetCells(4, 1, QStringLiteral("100"));
    // Printed from the editor, and again with the page window open.
    for (bool show : {false, true}) {
        ASSERT_TRUE(OrderForm->BuildPrintView(show));
        for (TStringGrid* grid : {Doc->StringGrid1, Doc->StringGrid2}) {
            ASSERT_TRUE(grid->isVisibleTo(Doc->Panel1));
            const QColor highlight = grid->palette().color(QPalette::Active, QPalette::Highlight);
            const QImage image = Crop(grid);
            const QRect cell = grid->CellRect(grid->Col(), grid->Row()).translated(grid->viewport()->pos());
            ASSERT_TRUE(image.rect().contains(cell)) << grid->Name().toStdString();
            int marked = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    marked += image.pixelColor(x, y) == highlight;
            EXPECT_EQ(marked, 0) << grid->Name().toStdString() << " shown " << show;
        }
    }
}

TEST_F(EditorTest, PageFlowFollowsWrappedBlocksAndTheShownNoticeBlock)
{
    NewDocument();
    // Name and address of 200 characters each: the customer block outgrows the supplier's.
    OrderForm->Edit1->SetText(QString(200, QLatin1Char('N')));
    OrderForm->Edit3->SetText(QString(200, QLatin1Char('A')));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    TDoc* d = Doc;
    EXPECT_EQ(d->Label33->Caption().count(QLatin1Char('\n')), 4);
    EXPECT_FALSE(d->Panel2->isVisibleTo(d->Panel1));
    const auto bottom = [](TControl* c) { return c->Top() + c->Height(); };
    EXPECT_EQ(d->Label28->Top(), bottom(d->Label33) + 10);
    EXPECT_EQ(d->Label29->Top(), d->Label28->Top());
    EXPECT_EQ(d->Label30->Top(), bottom(d->Label29) + 10);
    EXPECT_EQ(d->Panel2->Top(), bottom(d->Panel3) + 2);
    ASSERT_GT(bottom(d->Panel3), bottom(d->Panel4));
    // The hidden notice block takes no room: a long document still fits.
    EXPECT_EQ(d->StringGrid2->Top(), bottom(d->Panel3) + 15);
    OrderForm->ComboBox1->SetText(QStringLiteral("Кредитно известие"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    ASSERT_TRUE(d->Panel2->isVisibleTo(d->Panel1));
    EXPECT_EQ(d->StringGrid2->Top(), bottom(d->Panel2) + 15);
    EXPECT_EQ(d->Bevel1->Top(), bottom(d->StringGrid2));
    EXPECT_EQ(d->Memo4->Top(), bottom(d->Bevel1) + 6);
    EXPECT_EQ(d->Bevel3->Top(), bottom(d->Memo4) + 7);
    EXPECT_EQ(d->Panel5->Top(), bottom(d->Bevel3) + 9);
    // Heading centred on the page, stamp and number line on the kind.
    EXPECT_EQ(d->Header->Left(), d->Panel1->Width() / 2 - d->Header->Width() / 2);
    EXPECT_EQ(d->Label8->Left(), d->Label1->Left() + (d->Label1->Width() - d->Label8->Width()) / 2);
}

TEST_F(EditorTest, LongBulgarianWordsTakeTwoLinesAndPushTheBottomBlockDown)
{
    NewDocument();
    OrderForm->StringGrid1->SetCells(3, 1, QStringLiteral("1"));
    OrderForm->StringGrid1->SetCells(4, 1, QStringLiteral("1"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    const int bevelTop = Doc->Bevel2->Top();
    EXPECT_EQ(Doc->Label18->Caption(), QStringLiteral("един лев и 20 ст."));

    // 123456,78 with VAT: 102880,65 + 20 576,13 = 123456,78.
    OrderForm->StringGrid1->SetCells(4, 1, QStringLiteral("102880,65"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    ASSERT_EQ(Doc->Label3->Caption(), QStringLiteral("123456,78 лв"));
    EXPECT_EQ(Doc->Label18->Caption(),
              QStringLiteral("сто двадесет и три хиляди и четиристотин\nпетдесет и шест лева и 78 ст."));
    EXPECT_EQ(Doc->Bevel2->Top(), bevelTop + 12);
    // The next fill starts from the design places: no second shift.
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->Bevel2->Top(), bevelTop + 12);
}

TEST_F(EditorTest, PageWindowCentresThePageAndScrollsItsWholeHeight)
{
    Doc->Show();
    Doc->resize(901, 700);
    EXPECT_EQ(Doc->Panel1->Left(), 450 - 429);  // both halves truncated
    QScrollBar* bar = Doc->VertScrollBar();
    EXPECT_EQ(bar->maximum(), 1200 - 700);
    EXPECT_EQ(bar->singleStep(), 54);
    bar->setValue(bar->maximum());
    EXPECT_EQ(Doc->Panel1->Top(), -500);
    // Scrolled or not, the rendered page is the whole page.
    Doc->RenderPage();
    EXPECT_EQ(Doc->Image1->Picture()->Bitmap()->ToImage().size(), QSize(859, 1168));
    EXPECT_EQ(Doc->Image1->Picture()->Bitmap()->ToImage().pixelColor(5, 5), QColor(Qt::white));
}
