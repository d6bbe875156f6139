#pragma once

#include "platform/forms.h"
#include "platform/menus.h"

#include "registers/revenue.h"
#include "ui_statform.h"

#include <QSet>
#include <QStringList>

#include <memory>

class TBarSeries;

// The monthly turnover without VAT of one own company in one year, as paid and
// unpaid bars, and the chosen month's documents in two extracts.
class TStatForm : public TForm, public Ui::TStatForm {
public:
    explicit TStatForm(TComponent* owner = nullptr);
    ~TStatForm() override;

    // Fills the own-company chooser from the companies of the folder in use;
    // the company the box shows stays chosen when the folder has it.
    void FillCompanies();
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void DBLookupComboBox1Click(TObject* Sender);
    void DBComboBox1DropDown(TObject* Sender);
    void Series1Click(TBarSeries* Sender, int ValueIndex);
    // Rebuilds both extracts for the month the month chooser names.
    void ComboBox1Change(TObject* Sender);
    // Lists record recNo of the register in its extract.
    void ListRecord(int recNo);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void N1Click(TObject* Sender);
    void MenuItem1Click(TObject* Sender);

    // The four-digit year the year box names; 0 when it names none.
    int Year() const;
    // The "Доставчик" texts of the chosen company's documents: its Bulgarian
    // and its English name; with no company chosen, only the empty text.
    QStringList CompanyNames() const;

    TBarSeries* Series1;
    TBarSeries* Series2;
    TPopupMenu* PopupMenu1;
    TMenuItem* N1;
    TPopupMenu* PopupMenu2;
    TMenuItem* MenuItem1;

    // Extract state, zeroed at the start of each extract. Gross totals in cents,
    // so that a fully credited month comes to exactly zero.
    int PaidLines = 0;
    int UnpaidLines = 0;
    // Lines of documents whose amount cannot be read, in no total.
    int PaidUnread = 0;
    int UnpaidUnread = 0;
    TCentSum PaidGross = 0;
    TCentSum UnpaidGross = 0;
    int ChosenMonth = 0;

private:
    class CompanyLink;
    void PrintExtract(TRichEdit* memo);

    std::unique_ptr<CompanyLink> link_;
    QString companiesFolder_;  // the data folder the chooser's companies come from
};

extern TStatForm* StatForm;
// The numbers already listed in the current month extract.
extern QSet<QString> ListedNumbers;

// The month names, January first.
const QStringList& MonthNames();
// A sum as money: two decimals, the locale's separator, no exponent, never "-0,00".
QString MoneySum(double value);
