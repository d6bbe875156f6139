#include "registers/sort.h"

#include "data/datamodule.h"
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

TRegisterWalk::TRegisterWalk(bool restoreRecord) : restore_(restoreRecord)
{
    if (Sort)
        Sort->DBCtrlGrid1->SetDataSource(nullptr);
    TTable* store = DataModule1->store;
    if (restore_ && store->Active())
        recNo_ = store->RecNo();
}

TRegisterWalk::~TRegisterWalk()
{
    TTable* store = DataModule1->store;
    try {
        if (restore_ && store->Active() && recNo_ >= 1 && recNo_ <= store->RecordCount())
            store->SetRecNo(recNo_);
    } catch (...) {
        // The grid must come back even when the table does not move.
    }
    if (Sort) {
        Sort->DBCtrlGrid1->SetDataSource(DataModule1->DataSource6);
        Sort->DBCtrlGrid1->repaint();
    }
}
