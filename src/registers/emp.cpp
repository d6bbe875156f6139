#include "registers/emp.h"

TEmp* Emp = nullptr;

TEmp::TEmp(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
    move(255, 271);  // the design position: the window is not centred
}

void TEmp::resizeEvent(QResizeEvent* e)
{
    TForm::resizeEvent(e);
    // The navigator runs along the top, the grid fills the rest.
    DBNavigator1->setGeometry(0, 0, width(), DBNavigator1->height());
    DBGrid1->setGeometry(0, DBNavigator1->height(), width(), std::max(0, height() - DBNavigator1->height()));
}
