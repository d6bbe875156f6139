#include "registers/statform.h"

#include "data/datamodule.h"

TStatForm* StatForm = nullptr;

TStatForm::TStatForm(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
    DBComboBox1->SetText(QStringLiteral("Собствена фирма..."));
    OnCreate = Handler(this, &TStatForm::FormCreate);
}

void TStatForm::FormCreate(TObject*)
{
    TTable* firm = DataModule1->firm;
    DBComboBox1->Items()->Clear();
    if (!firm->Active())
        return;  // the folder did not open: nothing to offer, and start-up said so
    const int count = firm->RecordCount();
    for (int i = 1; i <= count; ++i)
        DBComboBox1->Items()->Add(firm->FieldByName(QStringLiteral("ДОСТАВЧИК"))->TextAt(i));
}
