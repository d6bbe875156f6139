#pragma once

#include "platform/db.h"
#include "platform/dbctrls.h"
#include "platform/forms.h"

#include "ui_editstock.h"

// The data-aware form of one goods record; its unit, quantity and price
// controls always show the current goods record, shown or not.
class TEditStockForm : public TForm, public Ui::TEditStockForm {
public:
    explicit TEditStockForm(TComponent* owner = nullptr);

    void FormShow(TObject* Sender);
    void OKButtonClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // The window's own data source on the goods table.
    TDataSource* x;
};

extern TEditStockForm* EditStockForm;
