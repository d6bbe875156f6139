#pragma once

#include "platform/forms.h"

#include "ui_fillfirm.h"

class TColumn;

// The own companies: Firm.db holds the Bulgarian texts, ae.db the English twin
// of each record at the same record number, Details.db the bank accounts.
class TFillFirm : public TForm, public Ui::TFillFirm {
public:
    explicit TFillFirm(TComponent* owner = nullptr);

    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void TabControl1Change(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void DBGrid1CellClick(TColumn* Column);
    void OKButtonClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    bool EnglishTab() const { return TabControl1->TabIndex() == 1; }
    // Each numbering counter is empty or up to ten digits; otherwise says
    // which one is wrong and gives false.
    bool CountersValid();
    // Stored documents that name company recNo or a later one.
    static int DocumentsFromCompany(int recNo);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Posts both company tables and brings ae.db to Firm.db's length.
    void PostCompanies();
    void AlignEnglish();
    void CancelAll();
};

extern TFillFirm* FillFirm;
