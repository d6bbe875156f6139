#pragma once

#include "platform/forms.h"
#include "platform/strings.h"

#include "ui_calc.h"

class TStringGrid;

// The calculator: a window that is never shown. Its edits hold the line being
// added, its labels the line value and the running tax base, tax and amount
// payable, all as money text. It also owns the defaults and payment files.
class TForm1 : public TForm, public Ui::TForm1 {
public:
    explicit TForm1(TComponent* owner = nullptr);
    ~TForm1() override;

    // The rate text of the last valid SetVatRate, without '%', and its fraction.
    QString VatText;
    double VatRate = 0.2;
    // mem.txt: 0 rate, 1 kind, 2 notice kind, 3 VAT article, 4 VAT basis.
    TStringList* MemList = nullptr;
    // payment.txt: the payment methods, most recently used first.
    TStringList* PaymentList = nullptr;
    // Where mem.txt and payment.txt live: the working directory at start.
    QString FilesDir;

    void FormCreate(TObject* Sender);
    // Takes the rate from a text such as "20%". A text whose part before the
    // first '%' is no number changes nothing and gives false.
    bool SetVatRate(const QString& text);
    // Adds the line in Edit1 (price), Edit3 (quantity), Edit2 (discount %) to
    // the totals; result gets the line value, or "" when a text is no number.
    void SpeedButton1Click(TObject* Sender);
    // Rewrites the control's text to the currency decimals, half away from zero.
    void RoundMoneyText(TControl* control);
    void FitGridHeight(TStringGrid* grid);

    void LoadMemFile();
    void LoadPayments();
    void SavePayments();

private:
    QString FilePath(const QString& name) const;
};

extern TForm1* Form1;
