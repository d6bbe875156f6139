#include "registers/fillfirm.h"

#include "editor/numbering.h"

#include "data/datamodule.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"

#include <QEvent>

#include <functional>

#include <utility>

TFillFirm* FillFirm = nullptr;

namespace {

// The class library's edit-then-post: writes any pending change of the record.
void PostTable(TTable* t)
{
    if (!t->Active())
        return;
    t->Edit();
    t->Post();
}

}  // namespace

// Whatever posts a company table while the window shows it (a move in the
// list, a logo, the editor's save) first has its counters checked.
class TFillFirm::CounterCheck : public TDataLink {
public:
    explicit CounterCheck(TFillFirm* form) : form_(form) {}
    void RecordChanged() override {}
    void UpdateData() override
    {
        if (!form_->isVisible())
            return;  // closing the window dropped whatever was typed
        TDBEdit* edit = nullptr;
        const QString problem = form_->CounterProblem(DataSet(), &edit);
        if (problem.isEmpty())
            return;
        edit->setFocus();
        throw EDatabaseError(problem);  // the record stays in edit state
    }

private:
    TFillFirm* form_;
};

TFillFirm::TFillFirm(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
    SpeedButton1->OnClick = Handler(this, &TFillFirm::SpeedButton1Click);
    SpeedButton2->OnClick = Handler(this, &TFillFirm::SpeedButton2Click);
    TabControl1->OnChange = Handler(this, &TFillFirm::TabControl1Change);
    Button1->OnClick = Handler(this, &TFillFirm::Button1Click);
    Button2->OnClick = Handler(this, &TFillFirm::Button2Click);
    DBGrid1->OnCellClick = [this](TColumn* c) { DBGrid1CellClick(c); };
    OKButton->OnClick = Handler(this, &TFillFirm::OKButtonClick);
    CancelButton->OnClick = Handler(this, &TFillFirm::CancelButtonClick);
    OnClose = Handler(this, &TFillFirm::FormClose);
    OnCloseQuery = Handler(this, &TFillFirm::FormCloseQuery);
    // A move in the company list posts the company: a bad counter must stop it first.
    DBGrid1->viewport()->installEventFilter(this);
    DBGrid1->installEventFilter(this);
    TabControl1->SetTabIndex(0);
    firmCheck_ = std::make_unique<CounterCheck>(this);
    firmCheck_->SetDataSource(DataModule1->DataSource2);
    aeCheck_ = std::make_unique<CounterCheck>(this);
    aeCheck_->SetDataSource(DataModule1->DataSourceae);
}

TFillFirm::~TFillFirm() = default;

bool TFillFirm::eventFilter(QObject* watched, QEvent* e)
{
    const QEvent::Type t = e->type();
    if ((t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick || t == QEvent::KeyPress) &&
        (watched == DBGrid1 || watched == DBGrid1->viewport())) {
        // A move in the list would post the company half by half: both go first, or the move waits.
        if (!CountersValid())
            return true;
        bool posted = false;
        SafeCall([&] {
            PostCompanies();
            posted = true;
        });
        if (!posted)
            return true;
    }
    return TForm::eventFilter(watched, e);
}

QString TFillFirm::CounterProblem(const TTable* t, TDBEdit** edit)
{
    const struct {
        TDBEdit* edit;
        const TTable* table;
        const char* name;
    } counters[] = {{DBEdit7, DataModule1->firm, "Фактура №"},
                    {DBEdit8, DataModule1->firm, "Проформа №"},
                    {DBEdit16, DataModule1->Tableae, "ВОП №"}};
    for (const auto& c : counters) {
        if ((t && c.table != t) || IsCounterText(c.edit->Text()))
            continue;
        if (edit)
            *edit = c.edit;
        return QStringLiteral("Полето „%1“ трябва да е празно или да съдържа до 10 цифри.")
            .arg(QString::fromUtf8(c.name));
    }
    return {};
}

bool TFillFirm::CountersValid()
{
    TDBEdit* edit = nullptr;
    const QString problem = CounterProblem(nullptr, &edit);
    if (problem.isEmpty())
        return true;
    MessageBox(this, problem, Caption(), TMsgIcon::Warning);
    edit->setFocus();
    return false;
}

bool TFillFirm::PostPendingChanges()
{
    if (!DataModule1->firm->Active() || !DataModule1->Tableae->Active() ||
        (!DataModule1->firm->Editing() && !DataModule1->Tableae->Editing()))
        return true;
    if (!CountersValid()) {
        activateWindow();
        return false;
    }
    try {
        PostCompanies();
    } catch (const Exception& e) {
        MessageBox(this,
                   QStringLiteral("Промяната във „Фирмени детайли“ не беше записана: %1\n"
                                  "Поправете я или я откажете там и опитайте отново.")
                       .arg(e.Message),
                   Caption(), TMsgIcon::Warning);
        activateWindow();
        return false;
    }
    return true;
}

int TFillFirm::DocumentsFromCompany(int recNo)
{
    TTable* store = DataModule1->store;
    if (!store->Active())
        return 0;
    TField* index = store->FieldByName(QStringLiteral("Firm.db index"));
    const int count = store->RecordCount();
    int n = 0;
    for (int i = 1; i <= count; ++i) {
        bool ok = false;
        const int company = index->TextAt(i).trimmed().toInt(&ok);
        if (ok && company >= recNo)
            ++n;
    }
    return n;
}

void TFillFirm::PostCompanies()
{
    TTable* firm = DataModule1->firm;
    TTable* ae = DataModule1->Tableae;
    if (firm->Editing() || ae->Editing()) {
        // Both halves of a company are stored together or not at all.
        TDatabaseTransaction tx({firm, ae});
        PostTable(ae);
        PostTable(firm);
        tx.Commit();
    }
    DataModule1->PadParallelTable();
}

bool TFillFirm::CompanyPending() const
{
    return DataModule1->firm->State() == TDataSetState::dsInsert ||
           DataModule1->Tableae->State() == TDataSetState::dsInsert;
}

void TFillFirm::ChangeLogo(const std::function<void(TDBImage*)>& change)
{
    TTable* t = EnglishTab() ? DataModule1->Tableae : DataModule1->firm;
    TDBImage* logo = EnglishTab() ? LOGO2 : LOGO;
    const bool pending = CompanyPending();
    const bool wasEditing = t->Editing();
    t->Edit();
    try {
        change(logo);
    } catch (...) {
        if (!wasEditing)
            t->Cancel();
        throw;
    }
    // A new company is stored with both of its halves (OK, a move, another company), or dropped by Cancel.
    if (!pending)
        t->Post();
}

void TFillFirm::AlignEnglish()
{
    TTable* firm = DataModule1->firm;
    if (firm->RecNo() >= 1 && firm->RecNo() <= DataModule1->Tableae->RecordCount())
        DataModule1->Tableae->SetRecNo(firm->RecNo());
}

void TFillFirm::TabControl1Change(TObject*)
{
    const bool en = EnglishTab();
    Label1->SetCaption(en ? QStringLiteral("Supplier") : QStringLiteral("ДОСТАВЧИК"));
    Label2->SetCaption(en ? QStringLiteral("Address") : QStringLiteral("АДРЕС"));
    Label3->SetCaption(en ? QStringLiteral("Resp.Person") : QStringLiteral("МОЛ"));
    Label6->SetCaption(en ? QStringLiteral("Place of publishment") : QStringLiteral("Местоиздаване"));
    // An empty English logo must not let the Bulgarian one show through.
    const std::pair<QWidget*, QWidget*> twins[] = {
        {LOGO2, LOGO}, {DBEdit12, DBEdit1}, {DBEdit13, DBEdit2}, {DBEdit14, DBEdit3}, {DBEdit15, DBEdit6}};
    for (const auto& [english, bulgarian] : twins) {
        english->setVisible(en);
        bulgarian->setVisible(!en);
    }
}

void TFillFirm::SpeedButton1Click(TObject*)
{
    if (!DataModule1->CheckTablesOpen() || !CountersValid())
        return;
    QString file;
    if (!Dialogs()->OpenPicture(file))
        return;
    ChangeLogo([&](TDBImage* logo) { logo->Picture()->LoadFromFile(file); });
}

void TFillFirm::SpeedButton2Click(TObject*)
{
    if (!DataModule1->CheckTablesOpen() || !CountersValid())
        return;
    ChangeLogo([this](TDBImage* logo) { logo->Picture()->Assign(Image1->Picture()); });
}

void TFillFirm::DBGrid1CellClick(TColumn*)
{
    if (!DataModule1->CheckTablesOpen())
        return;
    PostCompanies();
    TTable* firm = DataModule1->firm;
    if (firm->RecNo() > firm->RecordCount())
        firm->First();
    AlignEnglish();
}

void TFillFirm::Button1Click(TObject*)
{
    if (!DataModule1->CheckTablesOpen() || !CountersValid())
        return;
    PostCompanies();
    TTable* firm = DataModule1->firm;
    TTable* ae = DataModule1->Tableae;
    firm->First();
    AlignEnglish();
    firm->Append();
    // Written at once, so that a move in the list posts the new pair rather than
    // dropping the untouched half of it.
    firm->FieldByName(QStringLiteral("ДОСТАВЧИК"))->SetText(QString());
    ae->Append();
    ae->FieldByName(QStringLiteral("Supplier"))->SetText(QString());
    if (EnglishTab())
        DBEdit12->setFocus();
    else
        DBEdit1->setFocus();
}

void TFillFirm::Button2Click(TObject*)
{
    if (!DataModule1->CheckTablesOpen() || !CountersValid())
        return;
    PostCompanies();
    TTable* firm = DataModule1->firm;
    TTable* ae = DataModule1->Tableae;
    if (firm->IsEmpty())
        return;
    if (firm->RecNo() > firm->RecordCount())
        firm->First();
    AlignEnglish();
    const int recNo = firm->RecNo();
    QString question = QStringLiteral("Изтриване на фирма „%1“?")
                           .arg(firm->FieldByName(QStringLiteral("ДОСТАВЧИК"))->Text());
    // Documents keep the record number of their company, and the later companies move up by one.
    if (const int n = DocumentsFromCompany(recNo))
        question += n == 1 ? QStringLiteral("\n\n1 записан документ сочи тази или следваща фирма: при отваряне той ще "
                                            "покаже друга фирма.")
                           : QStringLiteral("\n\n%1 записани документа сочат тази или следваща фирма: при отваряне те ще "
                                            "покажат друга фирма.")
                                 .arg(n);
    if (MessageBox(this, question, Caption(), TMsgIcon::Question, TMsgButtons::YesNo) != mrYes)
        return;
    {
        // The twin goes first: deleting the company moves ae.db along with firm.
        TDatabaseTransaction tx({firm, ae});
        if (ae->RecNo() == recNo)
            ae->Delete();
        firm->Delete();
        tx.Commit();
    }
    ae->First();
    firm->First();
}

void TFillFirm::OKButtonClick(TObject*)
{
    if (DataModule1->CheckTablesOpen()) {
        if (!CountersValid())
            return;
        PostTable(DataModule1->details);
        PostCompanies();
    }
    Close();
}

bool TFillFirm::NewCompanyUntouched() const
{
    if (!CompanyPending())
        return false;
    for (const TDBEdit* e : {DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBEdit8, DBEdit12,
                             DBEdit13, DBEdit14, DBEdit15, DBEdit16})
        if (!e->Text().trimmed().isEmpty())
            return false;
    return DataModule1->firm->FieldByName(QStringLiteral("Лого"))->AsBytes().isEmpty() &&
           DataModule1->Tableae->FieldByName(QStringLiteral("logo"))->AsBytes().isEmpty();
}

void TFillFirm::FormCloseQuery(TObject*, bool& CanClose)
{
    TTable* details = DataModule1 ? DataModule1->details : nullptr;
    if (!isVisible() || !details || !DataModule1->firm->Active() || !DataModule1->Tableae->Active() ||
        !details->Active())
        return;
    if (NewCompanyUntouched()) {
        DataModule1->Tableae->Cancel();
        DataModule1->firm->Cancel();
    }
    if (details->State() == TDataSetState::dsInsert && !details->Modified() && DBEdit9->Text().trimmed().isEmpty() &&
        DBEdit10->Text().trimmed().isEmpty() && DBEdit11->Text().trimmed().isEmpty())
        details->Cancel();
    if ((DataModule1->firm->Editing() || DataModule1->Tableae->Editing()) && !CountersValid()) {
        CanClose = false;
        return;
    }
    try {
        if (details->Editing())
            details->Post();
        PostCompanies();
    } catch (const Exception& e) {
        MessageBox(this, e.Message, Caption(), TMsgIcon::Warning);
        CanClose = false;
    }
}

void TFillFirm::CancelAll()
{
    for (TTable* t : {DataModule1->details, DataModule1->firm, DataModule1->Tableae})
        if (t->Active())
            t->Cancel();
}

void TFillFirm::CancelButtonClick(TObject*)
{
    CancelAll();
    Close();
}

void TFillFirm::FormClose(TObject*, TCloseAction&)
{
    CancelAll();
}
