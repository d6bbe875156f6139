#include "registers/editcust.h"

#include "data/datamodule.h"
#include "platform/dialogs.h"

TEditCustForm* EditCustForm = nullptr;

namespace {
const QString kNameMissing = QStringLiteral("Въведете името на фирмата.");
}

// Customers are found by name: a customer without one cannot be written,
// whichever control posts it.
class TEditCustForm::NameGuard : public TDataLink {
public:
    void RecordChanged() override {}
    void UpdateData() override
    {
        TField* name = Field(QStringLiteral("Фирма"));
        if (name && name->AsString().trimmed().isEmpty())
            throw EDatabaseError(kNameMissing);
    }
};

TEditCustForm::TEditCustForm(TComponent* owner) : TForm(owner), guard_(std::make_unique<NameGuard>())
{
    setupUi(this);
    Loaded();
    OnClose = Handler(this, &TEditCustForm::FormClose);
    DBNavigator->OnClick = Handler(this, &TEditCustForm::DBNavigatorClick);
    OKButton->OnClick = Handler(this, &TEditCustForm::OKButtonClick);
    CancelButton->OnClick = Handler(this, &TEditCustForm::CancelButtonClick);
    if (DataModule1)
        guard_->SetDataSource(DataModule1->DataSource1);
}

TEditCustForm::~TEditCustForm() = default;

void TEditCustForm::DBNavigatorClick(TObject*, TNavigateBtn) { DataModule1->cust->Refresh(); }

void TEditCustForm::OKButtonClick(TObject*)
{
    TTable* cust = DataModule1->cust;
    if (DBEdName->Text().trimmed().isEmpty() &&
        (cust->State() == TDataSetState::dsInsert || cust->State() == TDataSetState::dsEdit)) {
        ShowMessage(kNameMissing);
        DBEdName->setFocus();
        return;
    }
    cust->Edit();
    if (cust->State() == TDataSetState::dsInsert || cust->State() == TDataSetState::dsEdit) {
        cust->Post();
        // A new or renamed customer has other documents than the list shows.
        cust->Refresh();
    }
    Close();
}

void TEditCustForm::CancelButtonClick(TObject*)
{
    if (!DataModule1->cust->IsEmpty())
        DataModule1->cust->Cancel();
    Close();
}

void TEditCustForm::FormClose(TObject*, TCloseAction&)
{
    if (!DataModule1->cust->IsEmpty())
        DataModule1->cust->Cancel();
}
