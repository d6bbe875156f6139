// Money, line calculation and the payment-method combo of the editor.
#include "editor/orderform.h"

#include "editor/calc.h"
#include "editor/money.h"
#include "page/doc.h"
#include "page/wrap.h"
#include "platform/keys.h"
#include "platform/dialogs.h"
#include "platform/locale.h"

#include <QFontMetrics>

namespace {

constexpr TColor RateBoxGrey = RGB(223, 223, 223);

}  // namespace

QString TOrderForm::NormalizeDecimal(const QString& text)
{
    return NormalizeDecimalText(text);
}

void TOrderForm::RecalcLines()
{
    Form1->Label7->SetCaption(QStringLiteral("0"));
    Form1->Label3->SetCaption(QStringLiteral("0"));
    Form1->Label5->SetCaption(QStringLiteral("0"));
    // Totals of a grid without a computable line are zero, not what was shown before.
    Label7->SetCaption(Form1->Label7->Caption());
    Label4->SetCaption(Form1->Label3->Caption());
    Label11->SetCaption(Form1->Label5->Caption());

    const bool discount = StringGrid1->ColCount() != 6;
    const int valueCol = discount ? 6 : 5;
    for (int r = 1; r < StringGrid1->RowCount(); ++r) {
        const QString quantity = NormalizeDecimal(StringGrid1->Cells(3, r));
        StringGrid1->SetCells(3, r, quantity);
        const QString price = NormalizeDecimal(StringGrid1->Cells(4, r));
        StringGrid1->SetCells(4, r, price);
        if (quantity.isEmpty() || price.isEmpty()) {
            // A line without quantity or price has no value.
            StringGrid1->SetCells(valueCol, r, QString());
            continue;
        }
        QString percent;
        if (discount) {
            percent = NormalizeDecimal(StringGrid1->Cells(5, r));
            StringGrid1->SetCells(5, r, percent);
        }
        Form1->Edit3->SetText(quantity);
        Form1->Edit1->SetText(price);
        Form1->Edit2->SetText(percent);
        Form1->SpeedButton1Click(Form1->SpeedButton1);
        StringGrid1->SetCells(valueCol, r, Form1->result->Caption());
        Label7->SetCaption(Form1->Label7->Caption());
        Label4->SetCaption(Form1->Label3->Caption());
        Label11->SetCaption(Form1->Label5->Caption());
    }
}

void TOrderForm::NumberLines()
{
    const int valueCol = StringGrid1->ColCount() == 6 ? 5 : 6;
    int number = 0;
    for (int r = 1; r < StringGrid1->RowCount(); ++r) {
        if (StringGrid1->Cells(valueCol, r).isEmpty()) {
            // Else an old number stays beside the renumbered lines: 1, 2, 2.
            StringGrid1->SetCells(0, r, QString());
            continue;
        }
        ++number;
        StringGrid1->SetCells(0, r, QString::number(number));
    }
}

void TOrderForm::Edit9Change(TObject*)
{
    // A text that gives no rate (empty, half typed, over 100) is marked and
    // computes nothing; the last valid rate stays until it is left or used.
    if (Form1->SetVatRate(Edit9->Text())) {
        Edit9->SetColor(RateBoxGrey);
        RecalcLines();
        NumberLines();
        if (RatesTyped.isEmpty() || RatesTyped.last() != Edit9->Text())
            RatesTyped << Edit9->Text();
        if (RatesTyped.size() > 64)
            RatesTyped.removeFirst();
    } else {
        Edit9->SetColor(clRed);
    }
    Save->SetEnabled(true);
}

void TOrderForm::Edit9KeyPress(TObject*, char16_t& Key)
{
    const bool digit = Key >= u'0' && Key <= u'9';
    if (!digit && Key != VK_BACK && Key != u'%' && Key != FormatSettings().DecimalSeparator.unicode())
        Key = 0;
}

void TOrderForm::Edit9Enter(TObject*)
{
    RatesTyped.clear();
    QString vatText;
    double rate = 0;
    if (ParseVatRate(Edit9->Text(), vatText, rate))
        RatesTyped << Edit9->Text();
}

void TOrderForm::Edit9Exit(TObject*)
{
    QString vatText;
    double rate = 0;
    if (ParseVatRate(Edit9->Text(), vatText, rate))
        RatesTyped.clear();
    else
        RefuseVatRate();  // the cursor comes back into the box
}

void TOrderForm::RefuseVatRate()
{
    const QString refused = Edit9->Text();
    QString back = Form1->VatText + QLatin1Char('%');
    for (qsizetype i = RatesTyped.size() - 1; i >= 0; --i)
        if (!refused.startsWith(RatesTyped[i])) {
            back = RatesTyped[i];
            break;
        }
    RatesTyped.clear();
    // The totals are computed again with the rate put back.
    Edit9->SetText(back);
    MessageBox(this, InvalidVatRateText(refused), QString(), TMsgIcon::Warning);
    if (Visible()) {
        Edit9->SetFocus();
        Edit9->selectAll();
    }
}

void TOrderForm::RecalcByRate()
{
    const QString rate = Edit9->Text();
    Edit9->SetText(QString());
    Edit9->SetText(rate);
}

bool TOrderForm::DescriptionFits(const QString& text) const
{
    // A cell's text starts 2 px in and is clipped at the cell's right edge;
    // a pixel more keeps the last letter clear of the grid line.
    for (const TStringGrid* grid : {StringGrid1, Doc->StringGrid2})
        if (QFontMetrics(grid->font()).horizontalAdvance(text) > grid->ColWidths(1) - 3)
            return false;
    return true;
}

void TOrderForm::RewrapDescriptions()
{
    const TextFits fits = [this](const QString& text) { return DescriptionFits(text); };
    for (int r = 1; r < StringGrid1->RowCount(); ++r) {
        const QStringList pieces = WrapToFit(StringGrid1->Cells(1, r), fits);
        if (pieces.size() < 2)
            continue;
        SpreadOverRows(StringGrid1, r, 1, pieces);
        r += int(pieces.size()) - 1;
    }
}

void TOrderForm::ComboBox3Change(TObject*)
{
    Doc->Label37->SetCaption(ComboBox3->Text());
    Save->SetEnabled(true);
}

void TOrderForm::ComboBox3KeyDown(TObject*, WORD& Key, TShiftState)
{
    if (Key != VK_RETURN)
        return;
    const QString text = ComboBox3->Text();
    if (ComboBox3->FindExact(text) < 0)
        ComboBox3->Items()->Insert(0, text);
}

void TOrderForm::ComboBox3Select(TObject*)
{
    // The chosen method moves to the top: the list is kept most recent first.
    const int index = ComboBox3->ItemIndex();
    if (index < 0)
        return;
    const QString text = ComboBox3->Items()->Strings(index);
    ComboBox3->Items()->Delete(index);
    ComboBox3->Items()->Insert(0, text);
    ComboBox3->SetItemIndex(0);
    ComboBox3->SetText(text);
    Doc->Label37->SetCaption(text);
    Save->SetEnabled(true);
}
