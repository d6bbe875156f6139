// Filling the page window from the editor.
#include "editor/orderform.h"

#include "editor/calc.h"
#include "editor/money.h"
#include "editor/words.h"
#include "page/doc.h"
#include "platform/dialogs.h"
#include "platform/locale.h"
#include "platform/sysutils.h"

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

}  // namespace

QString WrapPageText(const QString& text, int width)
{
    if (text.size() <= width || width < 2)
        return text;
    QStringList lines;
    const auto add = [&lines](const QString& line) {
        if (!line.isEmpty())
            lines << line;
    };
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QString rest = text.mid(pos);
        if (rest.size() <= width) {
            lines << rest;
            break;
        }
        const qsizetype star = rest.left(width).indexOf(QLatin1Char('*'));
        const qsizetype secondStart = star < 0 ? width : star + 1;
        const QString second = rest.mid(secondStart, width - 1);
        add(star < 0 ? rest.left(width) : rest.left(star));
        add(second);
        pos += secondStart + second.size();
    }
    return lines.join(QLatin1Char('\n'));
}

void TOrderForm::WrapToLabel(const QString& text, TLabel* label, int width)
{
    label->SetCaption(WrapPageText(text, width));
}

bool TOrderForm::BuildPrintView(bool show)
{
    TDoc* page = Doc;
    const bool english = RadioButton2->Checked();
    // Page amounts are divided by the rate: refuse before anything changes.
    if (english && !(page->CurrencyRate > 0)) {
        ShowMessage(U("Курсът на валутата трябва да е по-голям от нула. Изберете валутата отново или "
                      "поправете курса ѝ."));
        return false;
    }

    // Without a second currency (rate 1) the page shows the editor's own
    // prices, values and totals; converting would round the prices first.
    const bool converted = english && page->CurrencyRate != 1.0;

    RecalcByRate();
    page->RestorePositions();
    // The stamp of an earlier print is not this document's.
    page->SetStamp(StampText(english, false));

    page->Label1->SetCaption(ComboBox2->Text());
    page->Label21->SetCaption(ComboBox1->Text());
    page->Label19->SetCaption(ComboBox4->Text());
    page->Label20->SetCaption(ComboBox5->Text().isEmpty() ? QString()
                                                           : QLatin1Char('/') + ComboBox5->Text() + QLatin1Char('/'));
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
    const int rows = lines->RowCount();
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
    Form1->FitGridHeight(pageLines);

    // ---- heading, dates, people, bank ----
    page->Label15->SetCaption((english ? U("No ") : U("№ ")) + MaskEdit1->Text() +
                              (english ? U(" / Date: ") : U(" / Дата: ")) + DateToStr(EDate->Date()));
    page->Label57->SetCaption(CheckBox1->Checked() ? DateToStr(EDate2->Date()) : QString());
    page->Label40->SetCaption(CheckBox2->Checked() ? DateToStr(EDate3->Date()) : QString());
    page->Label35->SetCaption(Edit8->Text());
    page->Label52->SetCaption(Edit10->Text());
    page->Label37->SetCaption(ComboBox3->Text());
    page->Label38->SetCaption(Bank->Text());
    page->Label39->SetCaption(IBAN->Text());
    page->Label53->SetCaption(SWIFT->Text());

    // ---- customer and issuing company ----
    WrapToLabel(Edit1->Text(), page->Label33, 43);
    page->Label65->SetCaption(Edit7->Text());
    page->Label34->SetCaption(Edit6->Text());
    WrapToLabel(Edit3->Text(), page->Label29, 43);
    page->Label30->SetCaption(Edit2->Text());
    page->Image2->Picture()->Assign(DBImage1->Picture());
    WrapToLabel(DBText1->Text(), page->Label46, 38);
    WrapToLabel(DBText8->Text(), page->Label47, 38);
    page->Label49->SetCaption(DBText2->Text());
    page->Label11->SetCaption(DBText6->Text());
    page->Label10->SetCaption(DBText5->Text());
    page->Label16->SetCaption(DBText7->Text());

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
    if (RadioButton1->Checked()) {
        const QString words = SplitLongWords(BgAmountInWords(page->Label3->Caption(), sep));
        page->Label18->SetCaption(words);
        if (words.contains(QLatin1Char('\n'))) {
            const int top = page->Label18->Top();
            TPanel* block = page->Memo4;
            for (int i = 0; i < block->ControlCount(); ++i)
                if (TControl* c = block->Controls(i); c->Top() > top)
                    c->SetTop(c->Top() + 12);
        }
    } else if (english) {
        page->Label18->SetCaption(EnAmountInWords(page->Label3->Caption(), page->CurrencyPrefix, sep));
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
}

void TOrderForm::StringGrid2SelectCell(TObject*, int, int, bool&)
{
    BuildPrintView(false);
}
