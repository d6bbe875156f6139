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

private:
    class NameGuard;
    std::unique_ptr<NameGuard> guard_;
};

extern TEditCustForm* EditCustForm;
