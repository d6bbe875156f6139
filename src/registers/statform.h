#pragma once

#include "platform/forms.h"

#include "ui_statform.h"

class TStatForm : public TForm, public Ui::TStatForm {
public:
    explicit TStatForm(TComponent* owner = nullptr);
};

extern TStatForm* StatForm;
