#pragma once

#include "platform/forms.h"

#include "ui_calc.h"

class TForm1 : public TForm, public Ui::TForm1 {
public:
    explicit TForm1(TComponent* owner = nullptr);
};

extern TForm1* Form1;
