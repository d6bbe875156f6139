#include "registers/sort.h"

#include "registers/statform.h"

TSort* Sort = nullptr;

TSort::TSort(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}

void TSort::Button1Click(TObject*)
{
    StatForm->Show();
}
