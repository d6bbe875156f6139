#include "registers/editcust.h"

#include "data/datamodule.h"
#include "platform/application.h"
#include "platform/dialogs.h"

TEditCustForm* EditCustForm = nullptr;

namespace {
const QString kNameMissing = QStringLiteral("Въведете името на фирмата.");

}  // namespace

// Customers are found by name: a customer without one cannot be written,
// whichever control posts it. A new customer starts with the cursor in its name.
class TEditCustForm::NameGuard : public TDataLink {
public:
    explicit NameGuard(TEditCustForm* form) : form_(form) {}
    void RecordChanged() override {}
    void StateChanged() override
    {
        if (DataSet() && DataSet()->State() == TDataSetState::dsInsert)
            form_->DBEdName->setFocus(Qt::OtherFocusReason);
    }
    void UpdateData() override
    {
        TField* name = Field(QStringLiteral("Фирма"));
        if (name && name->AsString().trimmed().isEmpty())
            throw EDatabaseError(kNameMissing);
    }

private:
    TEditCustForm* form_;
};

TEditCustForm::TEditCustForm(TComponent* owner) : TForm(owner), guard_(std::make_unique<NameGuard>(this))
{
    setupUi(this);
    Loaded();
    OnClose = Handler(this, &TEditCustForm::FormClose);
    OnCloseQuery = Handler(this, &TEditCustForm::FormCloseQuery);
    DBNavigator->OnClick = Handler(this, &TEditCustForm::DBNavigatorClick);
    DBNavigator1->OnRecordName = [this] { return RecordName(); };
    OKButton->OnClick = Handler(this, &TEditCustForm::OKButtonClick);
    CancelButton->OnClick = Handler(this, &TEditCustForm::CancelButtonClick);
    if (DataModule1)
        guard_->SetDataSource(DataModule1->DataSource1);
}

TEditCustForm::~TEditCustForm() = default;

void TEditCustForm::DBNavigatorClick(TObject*, TNavigateBtn) { DataModule1->cust->Refresh(); }

bool TEditCustForm::PostPending()
{
    TTable* cust = DataModule1->cust;
    if (DBEdName->Text().trimmed().isEmpty() && cust->Editing()) {
        ShowMessage(kNameMissing);
        DBEdName->setFocus();
        return false;
    }
    try {
        cust->Edit();
        if (cust->Editing()) {
            cust->Post();
            // A new or renamed customer has other documents than the list shows.
            cust->Refresh();
        }
    } catch (const Exception& e) {
        Application->ShowException(e);
        return false;
    }
    return true;
}

bool TEditCustForm::NothingTyped() const
{
    if (DataModule1->cust->Modified())
        return false;
    for (const TDBEdit* e : findChildren<TDBEdit*>())
        if (!e->Text().trimmed().isEmpty())
            return false;
    return true;
}

void TEditCustForm::OKButtonClick(TObject*)
{
    if (PostPending())
        Close();
}

void TEditCustForm::CancelButtonClick(TObject*)
{
    if (!DataModule1->cust->IsEmpty())
        DataModule1->cust->Cancel();
    Close();
}

void TEditCustForm::FormCloseQuery(TObject*, bool& CanClose)
{
    TTable* cust = DataModule1 ? DataModule1->cust : nullptr;
    if (!isVisible() || !cust || !cust->Editing())
        return;
    if (cust->State() == TDataSetState::dsInsert && NothingTyped())
        return;  // an empty new customer goes as Cancel drops it
    CanClose = PostPending();
}

void TEditCustForm::FormClose(TObject*, TCloseAction&)
{
    if (!DataModule1->cust->IsEmpty())
        DataModule1->cust->Cancel();
}

QString TEditCustForm::RecordName() const
{
    TTable* cust = DataModule1 ? DataModule1->cust : nullptr;
    if (!cust || !cust->Active() || cust->IsEmpty())
        return {};
    const QString name = cust->FieldByName(QStringLiteral("Фирма"))->Text().trimmed();
    const QString address = cust->FieldByName(QStringLiteral("Адрес"))->Text().simplified();
    if (name.isEmpty())
        return {};
    // Two customers may share a name: the address tells them apart.
    return address.isEmpty() ? QStringLiteral("клиента „%1“").arg(name)
                             : QStringLiteral("клиента „%1“ от %2").arg(name, address);
}
