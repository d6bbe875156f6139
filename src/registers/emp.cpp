#include "registers/emp.h"

#include "data/datamodule.h"
#include "platform/dialogs.h"

TEmp* Emp = nullptr;

TEmp::TEmp(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
    move(255, 271);  // the design position: the window is not centred
    OnCloseQuery = Handler(this, &TEmp::FormCloseQuery);
    DBNavigator1->OnRecordName = [this] { return RecordName(); };
    DBGrid1->OnRecordName = [this] { return RecordName(); };
}

void TEmp::FormCloseQuery(TObject*, bool& CanClose)
{
    TTable* t = DataModule1 ? DataModule1->employee : nullptr;
    if (!isVisible() || !t || !t->Editing())
        return;
    // A new row nothing was typed into goes as leaving the grid drops it.
    if (t->State() == TDataSetState::dsInsert && !t->Modified() && !DBGrid1->CellModified()) {
        t->Cancel();
        return;
    }
    try {
        t->Post();
    } catch (const Exception& e) {
        MessageBox(this, e.Message, Caption(), TMsgIcon::Warning);
        CanClose = false;
    }
}

QString TEmp::RecordName() const
{
    TTable* t = DataModule1 ? DataModule1->employee : nullptr;
    TField* name = t && t->Active() ? t->FindField(QStringLiteral("Име")) : nullptr;
    if (!name || name->Text().trimmed().isEmpty())
        return {};
    return QStringLiteral("служителя „%1“").arg(name->Text().trimmed());
}

void TEmp::resizeEvent(QResizeEvent* e)
{
    TForm::resizeEvent(e);
    // The navigator runs along the top, the grid fills the rest.
    DBNavigator1->setGeometry(0, 0, width(), DBNavigator1->height());
    DBGrid1->setGeometry(0, DBNavigator1->height(), width(), std::max(0, height() - DBNavigator1->height()));
}
