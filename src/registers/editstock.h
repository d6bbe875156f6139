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
    // The close box and the program's exit store what OK would store; a refused
    // value keeps the window open with its message and the typing.
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    // The goods a delete question names: the first line of its description.
    QString RecordName() const;

    // The window's own data source on the goods table.
    TDataSource* x;

private:
    // OK without the close: false (the user told why, the cursor in the
    // refused value) when nothing was stored.
    bool PostPending();
};

extern TEditStockForm* EditStockForm;
