#include "app/mainform.h"
#include "data/datamodule.h"
#include "editor/orderform.h"
#include "page/doc.h"

// "Нов Документ": blanks the editor for a new invoice and shows it, once the
// document it holds is stored or may go.
void TMain::OrderBtnClick(TObject*)
{
    // A half-reset editor would be the only outcome on closed tables.
    if (!DataModule1->CheckTablesOpen())
        return;
    if (!OrderForm->ConfirmLeaveDocument())
        return;
    BlankDocument(true);
}

// Every text and check state is set through its setter, so the controls' own
// handlers run as for a user's change. The issuing company, the bank account
// and the payment methods stay as they are. A blank document is no change yet.
void TMain::BlankDocument(bool show)
{
    TOrderForm* f = OrderForm;
    for (TCheckBox* box : {f->CheckBox6, f->CheckBox4, f->CheckBox5, f->CheckBox1, f->CheckBox2})
        box->SetChecked(false);
    for (TEdit* edit : {f->Edit1, f->Edit3, f->Edit2, f->Edit7, f->Edit6})
        edit->SetText(QString());
    f->ComboBox1->SetText(QString());
    f->ComboBox2->SetText(QStringLiteral("ФАКТУРА"));
    f->SetCaption(QStringLiteral("Нов Документ"));
    if (f->CheckBox7->Checked()) {
        f->CheckBox7->SetChecked(false);  // back to six columns
        f->RestoreColumnWidths();
    }
    f->Label1->Hide();

    Doc->CurrencyPrefix.clear();
    Doc->Language = 0;
    Doc->CurrencyRate = 1.0;
    f->RadioButton1->SetChecked(true);
    for (TLabel* total : {Doc->Label5, Doc->Label7, Doc->Label3})
        total->SetCaption(QStringLiteral("0"));

    for (TComboBox* combo : {f->ComboBox3, f->ComboBox4, f->ComboBox5})
        combo->SetText(QString());
    f->MaskEdit2->SetText(QStringLiteral("0000000001"));
    f->SpeedButton2->SetEnabled(false);
    f->Edit8->SetText(QString());
    f->Edit10->SetText(QString());
    Doc->Label18->SetCaption(QString());

    TStringGrid* lines = f->StringGrid1;
    for (int r = 1; r < lines->RowCount(); ++r)
        for (int c = 0; c <= 5; ++c)
            lines->SetCells(c, r, QString());
    lines->SetRowCount(2);
    TStringGrid* accounts = f->StringGrid2;
    for (int r = 1; r < accounts->RowCount(); ++r)
        for (int c = 0; c <= 2; ++c)
            accounts->SetCells(c, r, QString());
    accounts->Hide();

    for (TLabel* total : {f->Label7, f->Label4, f->Label11})
        total->SetCaption(QStringLiteral("0"));
    f->Edit9->SetText(QStringLiteral("20%"));
    f->ListBox1->Hide();
    if (show)
        f->Show();

    f->LoadSupplier();
    f->LoadBankDetails();
    f->ResetForNewDocument();
    f->CheckBox3->SetChecked(false);
    f->Panel2->SetCaption(QStringLiteral("Неотпечатан"));
    f->Panel2->Font()->SetColor(clRed);
    f->MarkUnchanged();
}
