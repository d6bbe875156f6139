// Filling the page window from the editor.
#include "editor/orderform.h"

#include "data/datamodule.h"
#include "editor/calc.h"
#include "editor/money.h"
#include "editor/words.h"
#include "page/doc.h"
#include "page/wrap.h"
#include "platform/dialogs.h"
#include "platform/locale.h"
#include "platform/sysutils.h"

#include <QFontMetrics>
#include <QRegularExpression>

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

// Descriptions wider than their column go on in the rows under their line,
// as those chosen from the catalogue do.
void WrapDescriptions(TStringGrid* grid)
{
    const int width = grid->ColWidths(1) - 4;
    for (int r = grid->RowCount() - 1; r >= 1; --r) {
        const QStringList pieces = WrapToWidth(grid->Cells(1, r), grid->font(), width);
        if (pieces.size() > 1)
            SpreadOverRows(grid, r, 1, pieces);
    }
}

// The amount in words on one line, or on two split near the middle when it
// is long; more when even those do not fit the room beside the totals.
QString FitWords(const QString& words, const QFont& font, int width)
{
    const QString split = SplitLongWords(words);
    if (TextWidth(split, font) <= width)
        return split;
    return WrapToWidth(words, font, width).join(QLatin1Char('\n'));
}

// The locale's short date with none of its words: the Bulgarian one ends
// in "г.", which an English page does not say.
QString EnglishDate(const TDate& d)
{
    static const QRegularExpression quoted(QStringLiteral("'[^']*'"));
    static const QRegularExpression outside(QStringLiteral("^[^dMy]+|[^dMy]+$"));
    QString format = FormatSettings().ShortDateFormat;
    format.remove(quoted).remove(outside);
    return format.isEmpty() ? DateToStr(d) : d.toString(format);
}

}  // namespace

QString WrapPageText(const QString& text, const QFont& font, int width)
{
    if (TextWidth(text, font) <= width)
        return text;
    // Too long for one line: a typed '*' marks where the user wants a break.
    QStringList lines;
    for (const QString& part : text.split(QLatin1Char('*')))
        if (const QString trimmed = part.trimmed(); !trimmed.isEmpty())
            lines << WrapToWidth(trimmed, font, width);
    return lines.join(QLatin1Char('\n'));
}

void TOrderForm::WrapToLabel(const QString& text, TLabel* label, int width)
{
    label->SetCaption(WrapPageText(text, label->font(), width));
}

bool TOrderForm::BuildPrintView(bool show)
{
    TDoc* page = Doc;
    const bool english = RadioButton2->Checked();
    // Page amounts are divided by the rate: refuse before anything changes.
    if (english && !(page->CurrencyRate >= 0.0001 && page->CurrencyRate <= 100000)) {
        MessageBox(this, InvalidCurrencyRateText(FloatToStr(page->CurrencyRate)) +
                             U("\nИзберете валутата отново или поправете курса ѝ."),
                   QString(), TMsgIcon::Warning);
        return false;
    }
    // A rate the box refused is not what the totals were computed with. (A
    // document stored without a rate still opens.)
    QString vatText;
    double vat = 0;
    if (!Edit9->Text().isEmpty() && !ParseVatRate(Edit9->Text(), vatText, vat)) {
        RefuseVatRate();
        return false;
    }

    // Without a second currency (rate 1) the page shows the editor's own
    // prices, values and totals; converting would round the prices first.
    const bool converted = english && page->CurrencyRate != 1.0;

    RecalcByRate();
    page->RestorePositions();
    // The stamp of an earlier print is not this document's.
    page->SetStamp(StampText(english, false));

    WrapToLabel(ComboBox2->Text(), page->Label1, page->TextArea(page->Label1));
    page->Label21->SetCaption(ComboBox1->Text());
    WrapToLabel(ComboBox4->Text(), page->Label19, page->TextArea(page->Label19));
    WrapToLabel(ComboBox5->Text().isEmpty() ? QString() : QLatin1Char('/') + ComboBox5->Text() + QLatin1Char('/'),
                page->Label20, page->TextArea(page->Label20));
    page->Label20->SetLeft(page->Label19->Left());
    if (!converted) {
        page->Label5->SetCaption(Label7->Caption());
        page->Label7->SetCaption(Label4->Caption());
        page->Label3->SetCaption(Label11->Caption());
    }
    page->Label2->SetCaption(english ? U("VAT ") + Edit9->Text() + U("\nTotal VAT")
                                     : U("Данъчна ставка ") + Edit9->Text() + U("\nразмер на данъка"));

    // ---- the lines ----
    TStringGrid* lines = StringGrid1;
    TStringGrid* pageLines = page->StringGrid2;
    // The empty rows the editor keeps under the last line, for the next one,
    // take no row of the sheet; a document without lines shows one empty row.
    int rows = lines->RowCount();
    while (rows > 2 && !RowHoldsSomething(lines, rows - 1))
        --rows;
    const int cols = lines->ColCount();
    const int valueCol = cols - 1;
    int longest = 1;
    // The page grid drops cells written below its row count.
    pageLines->SetRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c)
            pageLines->SetCells(c, r, lines->Cells(c, r));
        if (converted && r >= 1) {
            for (int c : {4, valueCol}) {
                const QString amount = NormalizeDecimal(lines->Cells(c, r));
                lines->SetCells(c, r, amount);
                if (amount.isEmpty())
                    continue;
                pageLines->SetCells(c, r, RoundMoneyString(FloatToStr(StrToFloat(amount) / page->CurrencyRate)));
            }
        }
        if (r >= 1)
            longest = std::max<int>(longest, pageLines->Cells(valueCol, r).size());
    }
    // Values line up on the right: two blanks per missing character.
    for (int r = 1; r < rows; ++r) {
        const QString value = pageLines->Cells(valueCol, r);
        if (!value.isEmpty() && value.size() < longest)
            pageLines->SetCells(valueCol, r, QString(2 * (longest - value.size()), QLatin1Char(' ')) + value);
    }
    if (rows > 1)
        pageLines->SetFixedRows(1);
    static const char* const bgHeader[] = {"Пор. №", "Наименование на стоките или услугите", "Мярка", "К-во",
                                           "Ед. цена"};
    static const char* const enHeader[] = {"Part No.", "Description", "Measr.", "Qty.", "Unit Price"};
    for (int c = 0; c < 5; ++c)
        pageLines->SetCells(c, 0, U(english ? enHeader[c] : bgHeader[c]));
    if (cols == 6) {
        pageLines->SetCells(5, 0, english ? U("Total") : U("Стойност"));
    } else {
        pageLines->SetCells(5, 0, english ? U("Discount %") : U("Отстъпка %"));
        pageLines->SetCells(6, 0, english ? U("Total") : U("Стойност"));
    }
    page->FitLineColumns();
    WrapDescriptions(pageLines);
    Form1->FitGridHeight(pageLines);

    // ---- heading, dates, people, bank ----
    const auto date = [english](const TDate& d) { return english ? EnglishDate(d) : DateToStr(d); };
    page->Label15->SetCaption((english ? U("No ") : U("№ ")) + MaskEdit1->Text() +
                              (english ? U(" / Date: ") : U(" / Дата: ")) + date(EDate->Date()));
    // Every value is broken at blanks to fit where the page puts it.
    const auto put = [this, page](TLabel* label, const QString& text) {
        WrapToLabel(text, label, page->TextArea(label));
    };
    put(page->Label57, CheckBox1->Checked() ? date(EDate2->Date()) : QString());
    put(page->Label40, CheckBox2->Checked() ? date(EDate3->Date()) : QString());
    put(page->Label35, Edit8->Text());
    put(page->Label52, Edit10->Text());
    put(page->Label37, ComboBox3->Text());
    put(page->Label38, Bank->Text());
    put(page->Label39, IBAN->Text());
    put(page->Label53, SWIFT->Text());

    // ---- customer and issuing company ----
    put(page->Label33, Edit1->Text());
    put(page->Label65, Edit7->Text());
    put(page->Label34, Edit6->Text());
    put(page->Label29, Edit3->Text());
    put(page->Label30, Edit2->Text());
    page->Image2->Picture()->Assign(DBImage1->Picture());
    put(page->Label46, DBText1->Text());
    put(page->Label47, DBText8->Text());
    put(page->Label49, DBText2->Text());
    put(page->Label11, DBText6->Text());
    put(page->Label10, DBText5->Text());
    put(page->Label16, DBText7->Text());

    // ---- the notice block ----
    const QString notice = ComboBox1->Text();
    if (!notice.isEmpty()) {
        StringGrid2->Show();
        page->StringGrid1->Show();
        page->Panel2->Show();
        StringGrid2->SetCells(0, 0, U("№"));
        if (notice == U("Дебитно известие"))
            StringGrid2->SetCells(1, 0, U("Дебит с/ка"));
        else if (notice == U("Кредитно известие"))
            StringGrid2->SetCells(1, 0, U("Кредит с/ка"));
        StringGrid2->SetCells(2, 0, U("Сума"));
        for (int r = 0; r < StringGrid2->RowCount(); ++r)
            for (int c = 0; c < StringGrid2->ColCount(); ++c)
                page->StringGrid1->SetCells(c, r, StringGrid2->Cells(c, r));
    } else {
        page->StringGrid1->Hide();
        StringGrid2->Hide();
        page->Panel2->Hide();
    }

    page->ArrangeLabels();
    page->New->Execute();
    page->Resized->Execute();

    // ---- the amount in words ----
    const QChar sep = FormatSettings().DecimalSeparator;
    if (RadioButton1->Checked() || english) {
        const QString words = english ? EnAmountInWords(page->Label3->Caption(), page->CurrencyName(), sep)
                                      : BgAmountInWords(page->Label3->Caption(), sep);
        TLabel* label = page->Label18;
        label->SetCaption(FitWords(words, label->font(), page->TextArea(label)));
        // The rows under the words move down: 12 px for the second line, a
        // line's height for each further one.
        const int lines = int(label->Caption().count(QLatin1Char('\n'))) + 1;
        if (lines > 1) {
            const int shift = 12 + (lines - 2) * QFontMetrics(label->font()).height();
            const int top = label->Top();
            TPanel* block = page->Memo4;
            for (int i = 0; i < block->ControlCount(); ++i)
                if (TControl* c = block->Controls(i); c->Top() > top)
                    c->SetTop(c->Top() + shift);
        }
    }

    page->ArrangeLabels();
    page->New->Execute();
    page->Resized->Execute();

    if (show)
        page->Show();
    page->RenderPage();
    return true;
}

void TOrderForm::ViewClick(TObject*)
{
    // The first fill runs in the page's old language, the shown one in the editor's.
    if (!BuildPrintView(false))
        return;
    Doc->Language = RadioButton1->Checked() ? 0 : RadioButton2->Checked() ? 1 : Doc->Language;
    BuildPrintView(true);
    // The page stays one sheet: what does not fit would be printed cut.
    if (!Doc->Fits())
        ShowMessage(Doc->OverflowMessage());
}

void TOrderForm::StringGrid2SelectCell(TObject*, int, int, bool&)
{
    BuildPrintView(false);
}
