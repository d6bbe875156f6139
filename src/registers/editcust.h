#pragma once

#include "platform/dbctrls.h"
#include "platform/forms.h"

#include "ui_editcust.h"

#include <memory>

// The data-aware form of one customer, with its turnover including VAT.
class TEditCustForm : public TForm, public Ui::TEditCustForm {
public:
    explicit TEditCustForm(TComponent* owner = nullptr);
    ~TEditCustForm() override;

    void DBNavigatorClick(TObject* Sender, TNavigateBtn Button);
    void OKButtonClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The close box and the program's exit store what OK would store; a refused
    // value keeps the window open with its message and the typing.
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    // The customer a delete question names: its name and address.
    QString RecordName() const;

private:
    class NameGuard;
    // OK without the close: false (the user told why) when nothing was stored.
    bool PostPending();
    // A new customer nothing was typed into.
    bool NothingTyped() const;
    std::unique_ptr<NameGuard> guard_;
};

extern TEditCustForm* EditCustForm;
