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

// A walk over the register table: the register grid stops following the table
// while the walk moves it, and is reattached and repainted however the walk
// ends. With restoreRecord the table goes back to the record it stood on.
class TRegisterWalk {
public:
    explicit TRegisterWalk(bool restoreRecord);
    ~TRegisterWalk();
    TRegisterWalk(const TRegisterWalk&) = delete;
    TRegisterWalk& operator=(const TRegisterWalk&) = delete;

private:
    bool restore_;
    int recNo_ = 0;
};
