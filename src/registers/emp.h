#pragma once

#include "platform/forms.h"

#include "ui_emp.h"

// The employees, kept in place in a data grid; the editor offers their names as issuer.
class TEmp : public TForm, public Ui::TEmp {
public:
    explicit TEmp(TComponent* owner = nullptr);

protected:
    void resizeEvent(QResizeEvent* e) override;
};

extern TEmp* Emp;
