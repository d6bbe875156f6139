#pragma once

#include "platform/forms.h"

#include "ui_doc.h"

class TDoc : public TForm, public Ui::TDoc {
public:
    explicit TDoc(TComponent* owner = nullptr);
};

extern TDoc* Doc;
