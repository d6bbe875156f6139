#pragma once

#include "platform/forms.h"

#include "ui_updatei.h"

class TUpdateI : public TForm, public Ui::TUpdateI {
public:
    explicit TUpdateI(TComponent* owner = nullptr);
};

extern TUpdateI* UpdateI;
