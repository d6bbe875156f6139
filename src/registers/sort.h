#pragma once

#include "platform/forms.h"

#include "ui_sort.h"

class TSort : public TForm, public Ui::TSort {
public:
    explicit TSort(TComponent* owner = nullptr);

    // Shows the statistics window and computes the statistics.
    void Button1Click(TObject* Sender);
};

extern TSort* Sort;
