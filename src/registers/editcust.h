#pragma once

#include "platform/forms.h"

#include "ui_editcust.h"

class TEditCustForm : public TForm, public Ui::TEditCustForm {
public:
    explicit TEditCustForm(TComponent* owner = nullptr);
};

extern TEditCustForm* EditCustForm;
