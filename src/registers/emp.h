#pragma once

#include "platform/forms.h"

#include "ui_emp.h"

class TEmp : public TForm, public Ui::TEmp {
public:
    explicit TEmp(TComponent* owner = nullptr);
};

extern TEmp* Emp;
