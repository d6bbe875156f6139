#include "page/doc.h"

TDoc* Doc = nullptr;

TDoc::TDoc(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}
