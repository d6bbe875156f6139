#pragma once

#include "platform/forms.h"

#include "ui_custform.h"

class TCustForm : public TForm, public Ui::TCustForm {
public:
    explicit TCustForm(TComponent* owner = nullptr);
};

extern TCustForm* CustForm;
