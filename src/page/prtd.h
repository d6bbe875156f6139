#pragma once

#include "platform/forms.h"

#include "ui_prtd.h"

class TPrtD : public TForm, public Ui::TPrtD {
public:
    explicit TPrtD(TComponent* owner = nullptr);
};

extern TPrtD* PrtD;
