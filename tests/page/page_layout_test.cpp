// The laid-out page: with the longest names, kinds and amounts, in both
// languages, no text leaves the page or its block, none runs over another,
// and a document longer than the sheet is refused, not cut.
#include "editor/editor_fixture.h"

#include <QFontMetrics>

namespace {

struct TextBox {
    QString name;
    QRect text;   // where the text is drawn, on the page
    QRect own;    // the label
    QRect block;  // the label's block, or the page
};

QRect OnPage(QWidget* w) { return QRect(w->mapTo(Doc->Panel1, QPoint(0, 0)), w->size()); }

// Every shown text of the page.
std::vector<TextBox> TextBoxes()
{
    std::vector<TextBox> boxes;
    for (TLabel* l : Doc->Panel1->findChildren<TLabel*>()) {
        if (!l->isVisibleTo(Doc->Panel1) || l->Caption().trimmed().isEmpty())
            continue;
        const QFontMetrics fm(l->font());
        const QStringList lines = l->Caption().split(QLatin1Char('\n'));
        int w = 0;
        for (const QString& line : lines)
            w = std::max(w, fm.horizontalAdvance(line));
        const QRect own = OnPage(l);
        const int x = l->Alignment() == taRightJustify ? own.right() + 1 - w : own.left();
        QWidget* parent = l->parentWidget();
        boxes.push_back({l->objectName(), QRect(x, own.top(), w, int(lines.size()) * fm.height()), own,
                         parent == Doc->Panel1 ? QRect(0, 0, 859, 1168) : OnPage(parent)});
    }
    return boxes;
}

// Every cell of the page's lines grid fits its column; the grid keeps its width.
void ExpectCellsFit()
{
    TStringGrid* g = Doc->StringGrid2;
    const QFontMetrics fm(g->font());
    int width = 0;
    for (int c = 0; c < g->ColCount(); ++c) {
        width += g->ColWidths(c);
        for (int r = 0; r < g->RowCount(); ++r)
            EXPECT_LE(fm.horizontalAdvance(g->Cells(c, r)) + 2, g->ColWidths(c)) << c << ", " << r;
    }
    EXPECT_EQ(width, 49 + 558 + 44 + 38 + 63 + 73);
}

void ExpectCleanPage(const char* what)
{
    SCOPED_TRACE(what);
    const QRect page(0, 0, 859, 1168);
    const std::vector<TextBox> boxes = TextBoxes();
    std::vector<std::pair<QString, QRect>> solid = {{QStringLiteral("logo"), OnPage(Doc->Image2)},
                                                    {QStringLiteral("lines"), OnPage(Doc->StringGrid2)}};
    if (Doc->StringGrid1->isVisibleTo(Doc->Panel1))
        solid.push_back({QStringLiteral("notice grid"), OnPage(Doc->StringGrid1)});
    for (size_t i = 0; i < boxes.size(); ++i) {
        const TextBox& a = boxes[i];
        EXPECT_TRUE(page.contains(a.text)) << a.name.toStdString();
        EXPECT_TRUE(a.own.contains(a.text)) << a.name.toStdString() << " is cut by its own size";
        EXPECT_TRUE(a.block.contains(a.text)) << a.name.toStdString() << " leaves its block";
        // Side by side, texts keep a blank's width apart: none touches the next.
        for (size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(a.text.adjusted(-2, 0, 2, 0).intersects(boxes[j].text))
                << a.name.toStdString() << " runs over " << boxes[j].name.toStdString();
        for (const auto& [name, rect] : solid)
            EXPECT_FALSE(a.text.intersects(rect)) << a.name.toStdString() << " runs over the " << name.toStdString();
    }
    ExpectCellsFit();
    EXPECT_TRUE(Doc->Fits());
    EXPECT_LE(Doc->Panel5->Top() + Doc->Panel5->Height(), Doc->Label9->Top());
}

const char* const kLongDescription =
    "Доставка, монтаж и въвеждане в експлоатация на климатична система с външно тяло и четири вътрешни тела "
    "в офис сграда, включително изпитване и обучение на персонала";

class PageLayoutTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        NewDocument();
    }

    static void Fill(bool english)
    {
        TOrderForm* f = OrderForm;
        if (english) {
            f->RadioButton2->SetChecked(true);
            Doc->Language = 1;
            f->DBText1->SetText(QStringLiteral("INTERNATIONAL DISTRIBUTION OF BUILDING MATERIALS AND EQUIPMENT LTD"));
            f->DBText8->SetText(QStringLiteral("Floor 12, Office 77, Entrance B, Block 451, Mladost 4, 1715 Sofia, Bulgaria"));
            f->Edit1->SetText(QStringLiteral("UNITED TRADING COMPANIES FOR IMPORT, EXPORT AND DISTRIBUTION OF GOODS PLC"));
        } else {
            f->DBText1->SetText(QStringLiteral("МЕЖДУНАРОДНА ДИСТРИБУЦИЯ НА СТРОИТЕЛНИ МАТЕРИАЛИ И ОБОРУДВАНЕ ЕООД"));
            f->DBText8->SetText(QStringLiteral("гр. София 1715, ж.к. Младост 4, бл. 451, вх. Б, ет. 12, ап. 77, офис за дистрибуция"));
            f->Edit1->SetText(QStringLiteral("ОБЕДИНЕНИ ТЪРГОВСКИ ПРЕДПРИЯТИЯ ЗА ВНОС, ИЗНОС И ДИСТРИБУЦИЯ НА СТОКИ АД"));
            f->ComboBox2->SetText(QStringLiteral("ПРОТОКОЛ ЗА САМОЛЕТЕН БИЛЕТ"));
            f->ComboBox5->SetText(QStringLiteral("Обратно начисляване по чл. 82, ал. 2 от ЗДДС, данъкът е отразени при "
                                                 "доставчика/получателя"));
        }
        f->DBText2->SetText(QStringLiteral("ХРИСТОФОР АЛЕКСАНДРОВ КОНСТАНТИНОВ-ПЕТРОВ"));
        f->DBText7->SetText(QStringLiteral("ВЕЛИКО ТЪРНОВО"));
        f->DBText6->SetText(QStringLiteral("BG1234567890"));
        f->DBText5->SetText(QStringLiteral("1234567890"));
        QImage logo(233, 97, QImage::Format_RGB32);
        logo.fill(Qt::darkBlue);
        f->DBImage1->Picture()->Bitmap()->Assign(logo);
        f->Edit3->SetText(QStringLiteral("гр. Велико Търново 5000, бул. „България“ 123, търговски център, ет. 3, офис 301"));
        f->Edit2->SetText(QStringLiteral("МАКСИМИЛИАН ВЕЛИСЛАВОВ ХРИСТОФОРОВ"));
        f->Edit8->SetText(QStringLiteral("Максимилиан Велиславов Христофоров-Константинов"));
        f->Edit10->SetText(QStringLiteral("Александра Кирилова Стефанова-Димитрова"));
        f->Bank->SetText(QStringLiteral("ОБЕДИНЕНА БЪЛГАРСКА БАНКА АД, КЛОН ВЕЛИКО ТЪРНОВО"));
        f->IBAN->SetText(QStringLiteral("BG80 BNBG 9661 1020 3456 78"));
        f->SWIFT->SetText(QStringLiteral("UBBSBGSF"));
        f->ComboBox3->SetText(QStringLiteral("По банков път"));
    }

    // One typed line that brings the amount payable to the given total (20 % VAT).
    static void OneLine(const QString& net)
    {
        TStringGrid* g = OrderForm->StringGrid1;
        g->SetRowCount(2);
        g->SetCells(1, 1, QString::fromUtf8(kLongDescription));
        g->SetCells(2, 1, QStringLiteral("бр."));
        g->SetCells(3, 1, QStringLiteral("1"));
        g->SetCells(4, 1, net);
    }

    static void Lines(int count, const char* price = "10,00")
    {
        TStringGrid* g = OrderForm->StringGrid1;
        g->SetRowCount(count + 1);
        for (int r = 1; r <= count; ++r) {
            g->SetCells(1, r, QStringLiteral("Стока %1").arg(r));
            g->SetCells(3, r, QStringLiteral("1"));
            g->SetCells(4, r, QString::fromUtf8(price));
        }
    }
};

}  // namespace

TEST_F(PageLayoutTest, BulgarianPageWithTheLongestTextsAndAmountsStaysInItsBlocks)
{
    Fill(false);
    OneLine(QStringLiteral("833333333,32"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    ASSERT_EQ(Doc->Label3->Caption(), QStringLiteral("999999999,98 лв"));
    EXPECT_EQ(Doc->Label5->Caption(), QStringLiteral("833333333,32 лв"));
    // The three totals end on the block's right edge, never cut.
    for (TLabel* total : {Doc->Label5, Doc->Label7, Doc->Label3})
        EXPECT_EQ(total->Left() + total->Width(), Doc->Panel6->Width() - 2) << total->objectName().toStdString();
    // Names broken at blanks only.
    for (const QString& line : Doc->Label46->Caption().split(QLatin1Char('\n')))
        EXPECT_TRUE(QStringLiteral("МЕЖДУНАРОДНА ДИСТРИБУЦИЯ НА СТРОИТЕЛНИ МАТЕРИАЛИ И ОБОРУДВАНЕ ЕООД").split(QLatin1Char(' ')).contains(line.split(QLatin1Char(' ')).last()))
            << line.toStdString();
    // The typed description goes on in the rows under it.
    EXPECT_GT(Doc->StringGrid2->RowCount(), 2);
    ExpectCleanPage("Bulgarian");

    // A debit notice shows its block and account grid: still nothing overlaps.
    OrderForm->ComboBox1->SetText(QStringLiteral("Дебитно известие"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    ASSERT_TRUE(Doc->StringGrid1->isVisibleTo(Doc->Panel1));
    ExpectCleanPage("Bulgarian notice");
}

TEST_F(PageLayoutTest, EnglishPageWithLongTotalsAndWordsStaysInItsBlocks)
{
    Fill(true);
    const struct {
        const char* net;
        const char* currency;
        const char* total;
    } cases[] = {
        {"8333,33", "EUR", "10000,00 EUR"},
        // The words take two lines, split like the Bulgarian ones.
        {"6481481,48", "EUR", "7777777,78 EUR"},
        {"833333333,32", "POUNDS STERLING", "999999999,98 POUNDS STERLING"},
        // No second currency: the lev is named.
        {"833333333,32", "", "999999999,98 BGN"},
    };
    for (const auto& c : cases) {
        Doc->CurrencyPrefix = QString::fromUtf8(c.currency);
        Doc->CurrencyRate = 1.0;
        OneLine(QString::fromUtf8(c.net));
        ASSERT_TRUE(OrderForm->BuildPrintView(false));
        ASSERT_EQ(Doc->Label3->Caption(), QString::fromUtf8(c.total));
        if (QByteArray(c.net).size() > 7) {
            EXPECT_TRUE(Doc->Label18->Caption().contains(QLatin1Char('\n'))) << c.total;
        }
        ExpectCleanPage(c.total);
    }
}

TEST_F(PageLayoutTest, TwentyEightLinesWithTwoLineWordsFitTheSheet)
{
    Lines(28, "4409,65");
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    ASSERT_TRUE(Doc->Label18->Caption().contains(QLatin1Char('\n')));
    ExpectCleanPage("28 lines");
}

TEST_F(PageLayoutTest, TheLinesThatFitAreCountedExactly)
{
    Lines(35);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_FALSE(Doc->Fits());
    const int fit = Doc->FittingRows();
    ASSERT_GT(fit, 20);
    ASSERT_LT(fit, 35);
    EXPECT_TRUE(Doc->OverflowMessage().contains(QStringLiteral(" %1 реда").arg(fit)));
    Lines(fit);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_TRUE(Doc->Fits());
    Lines(fit + 1);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_FALSE(Doc->Fits());
}

TEST_F(PageLayoutTest, WidenedAmountColumnsGiveTheirRoomBackForSmallAmounts)
{
    const auto widths = [] {
        std::vector<int> w;
        for (int c = 0; c < Doc->StringGrid2->ColCount(); ++c)
            w.push_back(Doc->StringGrid2->ColWidths(c));
        return w;
    };
    Lines(1);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    const std::vector<int> design = widths();
    OneLine(QStringLiteral("833333333,32"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_NE(widths(), design);
    Lines(1);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(widths(), design);

    // Through the discount switch as well.
    OrderForm->CheckBox7->SetChecked(true);
    Lines(1);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    const std::vector<int> discount = widths();
    OrderForm->CheckBox7->SetChecked(false);
    OneLine(QStringLiteral("833333333,32"));
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    OrderForm->CheckBox7->SetChecked(true);
    Lines(1);
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(widths(), discount);
}
