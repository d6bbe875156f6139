// The document's language: the kind list, the page's captions and fonts, the
// tax caption and footer, the notice panel or the currency chooser, and the
// print chooser's caption, all switched at once.
#include "editor/orderform.h"

#include "app/mainform.h"
#include "page/doc.h"
#include "page/prtd.h"

namespace {

const char* const kBulgarianKinds[] = {
    "ФАКТУРА", "ПРОФОРМА ФАКТУРА", "ПРОТОКОЛ чл.116", "ПРОТОКОЛ чл.117", "СТОКОВА РАЗПИСКА",
    "ПРОТОКОЛ ЗА САМОЛЕТЕН БИЛЕТ", "ПРОТОКОЛ чл.90",
};
const char* const kEnglishKinds[] = {
    "INVOICE", "PROFORMA INVOICE", "Order confirmation", "Packing list", "Delivery note", "Credit note",
    "Debit note",
};

// "Arial" is drawn with its metric twin Liberation Sans on Linux.
const QString kEnglishFont = QStringLiteral("Arial");
const QString kBulgarianFont = QStringLiteral("Times New Roman");

struct CaptionRow {
    TLabel* label;
    const char* english;  // nullptr: the tax caption or the footer, built apart
};

// The page's captions in the order they are set. Every row but the tax
// caption (Label2) reads its Bulgarian text back from the main window's list,
// by its position among the others.
std::vector<CaptionRow> CaptionRows(TDoc* d)
{
    return {
        {d->Label8, "Original"},
        {d->Label24, "Customer"},
        {d->Label28, "Address"},
        {d->Label31, "Resp.Person"},
        {d->Label25, "VAT"},
        {d->Label66, "ID"},
        {d->Label25, "VAT"},
        {d->Label45, "Supplier"},
        {d->Label48, "Address"},
        {d->Label50, "Resp.Person"},
        {d->Label64, "VAT"},
        {d->Label69, "ID"},
        {d->Label12, "Place of publishment"},
        {d->Label36, "in words:"},
        {d->Label6, "Tax basis"},
        {d->Label2, nullptr},
        {d->Label4, "Total amount"},
        {d->Label58, "Date of tax event"},
        {d->Label27, "Date of payment"},
        {d->Label44, "Payment"},
        {d->Label43, "Bank"},
        {d->Label42, "IBAN"},
        {d->Label41, "SWIFT/BIC"},
        {d->Label32, "Recipient"},
        {d->Label51, "Issuer"},
        {d->Label62, "/name and signature/"},
        {d->Label13, "/name and signature/"},
        {d->Label9, nullptr},
    };
}

void FillKinds(TComboBox* combo, const char* const (&kinds)[7])
{
    TComboItems* items = combo->Items();
    items->Clear();
    for (const char* kind : kinds)
        items->Add(QString::fromUtf8(kind));
    // Set from code: the kind-change handler (and its renumbering) does not run.
    combo->SetItemIndex(0);
}

}  // namespace

QString TOrderForm::EnFooterLine()
{
    return QStringLiteral("Printed from DOVRENTA") + QLatin1Char(' ') + QStringLiteral("2012") +
           QStringLiteral(", Quarnel Ltd, 1 Primerna St., 1000 Sofia, tel. +359 2 000 00 00, "
                          "e-mail: office@quarnel.example, www.quarnel.example;");
}

void TOrderForm::RadioButton1Click(TObject* Sender)
{
    // The sender's tab order decides, not the check states: the document
    // load calls this directly with the button of the stored language.
    const auto* button = dynamic_cast<TControl*>(Sender);
    const int language = button ? button->TabOrder : (RadioButton2->Checked() ? 1 : 0);
    const bool english = language == 1;
    Doc->Language = language;

    const std::vector<CaptionRow> rows = CaptionRows(Doc);
    if (english) {
        FillKinds(ComboBox2, kEnglishKinds);
        ComboBox1->SetText(QString());
        StringGrid2->Hide();
        for (const CaptionRow& row : rows) {
            if (row.label == Doc->Label2)
                row.label->SetCaption(QStringLiteral("VAT ") + Edit9->Text() + QLatin1Char('\n') +
                                      QStringLiteral("Total VAT"));
            else if (row.label == Doc->Label9)
                row.label->SetCaption(EnFooterLine());
            else
                row.label->SetCaption(QString::fromUtf8(row.english));
            row.label->Font()->SetName(kEnglishFont);
        }
        Doc->StringGrid1->Font()->SetName(kEnglishFont);
        Panel4->Hide();
        DBGrid1->Show();
        DBNavigator->Show();
        // The currency stays until one is chosen in the grid or a document is loaded.
        Doc->Language = 1;
        if (PrtD)
            PrtD->SetCaption(QStringLiteral("Print"));
    } else {
        FillKinds(ComboBox2, kBulgarianKinds);
        const TStringList* captions = Main->BgCaptions;
        int i = 0;
        for (const CaptionRow& row : rows) {
            if (row.label == Doc->Label2)
                continue;  // the next page fill writes the Bulgarian tax caption
            if (captions && i < captions->Count())
                row.label->SetCaption(captions->Strings(i));
            ++i;
        }
        for (const CaptionRow& row : rows)
            row.label->Font()->SetName(kBulgarianFont);
        Doc->StringGrid1->Font()->SetName(kBulgarianFont);
        Panel4->Show();
        DBGrid1->Hide();
        DBNavigator->Hide();
        // A Bulgarian document is always in leva.
        Doc->CurrencyPrefix.clear();
        Doc->CurrencyRate = 1.0;
        Doc->Language = 0;
        if (PrtD)
            PrtD->SetCaption(QStringLiteral("Отпечатай"));
    }

    LoadSupplier();
    Save->SetEnabled(true);
    if (Visible())
        Edit1->SetFocus();
}
