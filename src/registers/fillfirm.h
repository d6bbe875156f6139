#pragma once

#include "platform/forms.h"

#include "ui_fillfirm.h"

class TFillFirm : public TForm, public Ui::TFillFirm {
public:
    explicit TFillFirm(TComponent* owner = nullptr);
};

extern TFillFirm* FillFirm;
