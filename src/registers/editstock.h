#pragma once

#include "platform/forms.h"

#include "ui_editstock.h"

class TEditStockForm : public TForm, public Ui::TEditStockForm {
public:
    explicit TEditStockForm(TComponent* owner = nullptr);
};

extern TEditStockForm* EditStockForm;
