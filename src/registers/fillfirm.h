#pragma once

#include "platform/forms.h"

#include "ui_fillfirm.h"

#include <functional>
#include <memory>

class TColumn;

// The own companies: Firm.db holds the Bulgarian texts, ae.db the English twin
// of each record at the same record number, Details.db the bank accounts.
class TFillFirm : public TForm, public Ui::TFillFirm {
public:
    explicit TFillFirm(TComponent* owner = nullptr);
    ~TFillFirm() override;

    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void TabControl1Change(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void DBGrid1CellClick(TColumn* Column);
    void OKButtonClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The close box and the program's exit store what OK would store (an
    // untouched new company or bank account is dropped); a refused value keeps
    // the window open with its message and the typing.
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    bool EnglishTab() const { return TabControl1->TabIndex() == 1; }
    // Each numbering counter is empty or up to ten digits; otherwise says
    // which one is wrong and gives false.
    bool CountersValid();
    // Posts what the user typed into a company, both tables together, before
    // another window writes them; false (the user told why) when it cannot.
    bool PostPendingChanges();
    // Stored documents that name company recNo or a later one.
    static int DocumentsFromCompany(int recNo);
    // A pending new company with nothing typed or loaded into either half.
    bool NewCompanyUntouched() const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    class CounterCheck;
    // The counter of table t (or of both with nullptr) that is no counter: its
    // message and its edit; an empty message when all are right.
    QString CounterProblem(const TTable* t, TDBEdit** edit = nullptr);
    // Posts both company tables at once and brings ae.db to Firm.db's length.
    void PostCompanies();
    // A company added with "Добави фирма" and not yet posted.
    bool CompanyPending() const;
    // Puts the shown tab's logo through change and posts it; a pending
    // company keeps it until both of its halves are posted.
    void ChangeLogo(const std::function<void(TDBImage*)>& change);
    void AlignEnglish();
    void CancelAll();

    std::unique_ptr<CounterCheck> firmCheck_;
    std::unique_ptr<CounterCheck> aeCheck_;
};

extern TFillFirm* FillFirm;
