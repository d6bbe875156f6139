#pragma once

#include "platform/forms.h"

#include "ui_statform.h"

class TStatForm : public TForm, public Ui::TStatForm {
public:
    explicit TStatForm(TComponent* owner = nullptr);

    // Fills the own-company chooser from the companies of the folder in use.
    void FormCreate(TObject* Sender);
};

extern TStatForm* StatForm;
