#pragma once

#include "platform/forms.h"

#include "ui_emp.h"

// The employees, kept in place in a data grid; the editor offers their names as issuer.
class TEmp : public TForm, public Ui::TEmp {
public:
    explicit TEmp(TComponent* owner = nullptr);

    // Posts the row being typed (as the navigator's ✓ does); a value the table
    // refuses keeps the window open with its message and the typing.
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    // The employee a delete question names.
    QString RecordName() const;

protected:
    void resizeEvent(QResizeEvent* e) override;
};

extern TEmp* Emp;
