#pragma once

#include "platform/forms.h"

#include "ui_orderform.h"

class TOrderForm : public TForm, public Ui::TOrderForm {
public:
    explicit TOrderForm(TComponent* owner = nullptr);
};

extern TOrderForm* OrderForm;
