#include "registers/emp.h"

TEmp* Emp = nullptr;

TEmp::TEmp(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}
