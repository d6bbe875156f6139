#include "registers/custform.h"

#include "data/datamodule.h"
#include "editor/orderform.h"
#include "platform/dbctrls.h"
#include "platform/dbgrids.h"
#include "platform/locale.h"
#include "platform/sysutils.h"
#include "registers/editcust.h"
#include "registers/revenue.h"
#include "registers/sort.h"

#include <QSet>

TCustForm* CustForm = nullptr;

QString TurnoverText(TCentSum cents)
{
    QString text = CentsText(cents);
    const QChar sep = FormatSettings().DecimalSeparator;
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(sep))
        text.chop(1);
    return text + QStringLiteral(" лв.");
}

// Follows the customer table: a key that moved the customer grid rebuilds the
// list once the grid has moved, not before.
class TCustForm::CustomerLink : public TDataLink {
public:
    explicit CustomerLink(TCustForm* form) : form_(form) {}
    void RecordChanged() override
    {
        if (!form_->keyMoving_)
            return;
        form_->keyMoving_ = false;
        form_->RebuildDocumentList();
    }

private:
    TCustForm* form_;
};

TCustForm::TCustForm(TComponent* owner) : TForm(owner), link_(std::make_unique<CustomerLink>(this))
{
    setupUi(this);
    Loaded();
    OnCreate = Handler(this, &TCustForm::FormCreate);
    CloseBtn->OnClick = Handler(this, &TCustForm::CloseBtnClick);
    DBGrid1->OnCellClick = [this](TColumn* c) { DBGrid1CellClick(c); };
    DBGrid1->OnKeyDown = Handler(this, &TCustForm::DBGrid1KeyDown);
    DBGrid1->OnDblClick = Handler(this, &TCustForm::EditBtnClick);
    Navigator->OnClick = Handler(this, &TCustForm::NavigatorClick);
    Button1->OnClick = Handler(this, &TCustForm::Button1Click);
    StringGrid1->OnDblClick = Handler(this, &TCustForm::Button1Click);
    EditBtn->OnClick = Handler(this, &TCustForm::EditBtnClick);
    Button3->OnClick = Handler(this, &TCustForm::Button3Click);
    Button2->OnClick = Handler(this, &TCustForm::Button2Click);
    if (DataModule1) {
        link_->SetDataSource(DataModule1->DataSource1);
        // The list names records of the folder and customer it was built for.
        DataModule1->FolderChanged.Listen(this, [this] { RebuildDocumentList(); });
        DataModule1->CustomersRefreshed.Listen(this, [this] { RebuildDocumentList(); });
    }
}

TCustForm::~TCustForm() = default;

void TCustForm::FormCreate(TObject*)
{
    const char* titles[] = {"Доставчик", "No", "Документ", "От дата", "Стойност"};
    for (int c = 0; c < 5; ++c)
        StringGrid1->SetCells(c, 0, QString::fromUtf8(titles[c]));
}

void TCustForm::CloseBtnClick(TObject*) { Close(); }

void TCustForm::DBGrid1CellClick(TColumn*) { DataModule1->cust->Refresh(); }

void TCustForm::NavigatorClick(TObject*, TNavigateBtn) { DataModule1->cust->Refresh(); }

void TCustForm::DBGrid1KeyDown(TObject*, WORD&, TShiftState)
{
    // The grid moves after this handler: the list follows the move.
    keyMoving_ = true;
}

namespace {

// The stored fields shown in list columns 0 to 4.
const char* const kListedFields[] = {"Доставчик", "Num", "Документ", "От дата", "Стойност /общо/"};

}  // namespace

bool TCustForm::IsListedDocument(int recNo, int row) const
{
    TTable* store = DataModule1->store;
    if (!store->Active() || recNo < 1 || recNo > store->RecordCount())
        return false;
    if (store->FieldByName(QStringLiteral("Клиент"))->TextAt(recNo) != listedCustomer_ ||
        !listedCustomerId_.Owns(store->FieldByName(QStringLiteral("ИН /к/"))->TextAt(recNo)))
        return false;
    for (int c = 0; c < 5; ++c)
        if (store->FieldByName(QString::fromUtf8(kListedFields[c]))->TextAt(recNo) != StringGrid1->Cells(c, row))
            return false;
    return true;
}

void TCustForm::Button1Click(TObject*)
{
    if (Panel2->Visible())
        return;
    int row = StringGrid1->Row();
    int recNo = 0;
    if (row < 1 || !TryStrToInt(StringGrid1->Cells(5, row), recNo))
        return;
    if (!IsListedDocument(recNo, row)) {
        // The register changed under the list (a delete, another workplace):
        // list it anew and open the same document where it now is.
        QStringList listed;
        for (int c = 0; c < 5; ++c)
            listed << StringGrid1->Cells(c, row);
        RebuildDocumentList();
        int matches = 0;
        for (int r = 1; r < StringGrid1->RowCount() && !Panel2->Visible(); ++r) {
            QStringList shown;
            for (int c = 0; c < 5; ++c)
                shown << StringGrid1->Cells(c, r);
            if (shown == listed) {
                ++matches;
                row = r;
            }
        }
        if (matches != 1) {
            ShowMessage(QStringLiteral("Документът вече не е в регистъра или е променен.\nСписъкът е обновен: изберете "
                                       "документа отново."));
            return;
        }
        StringGrid1->SetRow(row);
        if (!TryStrToInt(StringGrid1->Cells(5, row), recNo))
            return;
    }
    // A save of the open document appends or rewrites a record: recNo still
    // names the same document.
    OrderForm->OpenStoredDocument(recNo);
}

void TCustForm::EditBtnClick(TObject*) { EditCustForm->Show(); }

void TCustForm::Button3Click(TObject*) { EditCustForm->Show(); }

void TCustForm::Button2Click(TObject*)
{
    DataModule1->cust->Append();
    EditCustForm->TotalLabel->SetCaption(QStringLiteral("0 лв."));
    EditCustForm->LastLabel->SetCaption(QStringLiteral("няма"));
    EditCustForm->Show();
}

bool TCustForm::CustomerId::Owns(const QString& documentId) const
{
    const QString id = documentId.trimmed();
    // A document that stores no number is known by the name alone.
    if (id.isEmpty() || id == own)
        return true;
    if (!own.isEmpty())
        return false;
    // Without a number of its own, the customer is not given the documents
    // that carry the number of another customer of the same name. Read only
    // when such a document comes up.
    if (!othersRead) {
        othersRead = true;
        TTable* cust = DataModule1->cust;
        if (cust->Active()) {
            const TTable::TColumnRead same = cust->ColumnTexts({cust->FieldByName(QStringLiteral("Идент №"))},
                                                               cust->FieldByName(QStringLiteral("Фирма")), name);
            for (size_t k = 0; k < same.RecNos.size(); ++k) {
                const QString other = same.Texts[0][k].trimmed();
                if (same.RecNos[k] != recNo && !other.isEmpty())
                    others.insert(other);
            }
        }
    }
    return !others.contains(id);
}

TCustForm::CustomerId TCustForm::CurrentCustomerId(const QString& name)
{
    CustomerId id;
    TTable* cust = DataModule1->cust;
    id.name = name;
    if (name.isEmpty() || !cust->Active())
        return id;
    id.own = cust->FieldByName(QStringLiteral("Идент №"))->Text().trimmed();
    id.recNo = cust->RecNo();
    return id;
}

void TCustForm::RebuildDocumentList()
{
    keyMoving_ = false;
    TTable* cust = DataModule1->cust;
    TTable* store = DataModule1->store;
    const QString customer = cust->Active() && !cust->IsEmpty() ? DBEdit7->Text() : QString();
    listedCustomer_ = customer;
    listedCustomerId_ = CurrentCustomerId(customer);

    std::vector<QStringList> rows;
    TCentSum total = 0;
    int unreadable = 0;
    {
        TRegisterWalk walk(true);
        if (!customer.isEmpty() && store->Active()) {
            const auto field = [store](const char* name) { return store->FieldByName(QString::fromUtf8(name)); };
            TField* client = field("Клиент");
            TField* supplier = field("Доставчик");
            TField* num = field("Num");
            TField* kind = field("Документ");
            TField* date = field("От дата");
            TField* amount = field("Стойност /общо/");
            TField* notice = field("Известие");
            TField* cancelled = field("Anulirana");
            TField* customerId = field("ИН /к/");
            const TOwnCompanies companies;
            std::vector<std::pair<QString, QString>> noticeAndCancelled;
            const int count = store->RecordCount();
            for (int n = 1; n <= count; ++n) {
                try {
                    if (client->TextAt(n) != customer || !listedCustomerId_.Owns(customerId->TextAt(n)))
                        continue;
                    QStringList row{supplier->TextAt(n), num->TextAt(n), kind->TextAt(n), date->TextAt(n),
                                    amount->TextAt(n), QString::number(n)};
                    noticeAndCancelled.emplace_back(notice->TextAt(n), cancelled->TextAt(n));
                    rows.push_back(std::move(row));
                } catch (const std::exception&) {
                    // An unreadable record is skipped, the walk goes on.
                }
            }
            // A number counts once per own company, for the latest record that
            // counts: the English twin of an invoice is the same invoice, and a
            // pro-forma does not claim its invoice's number.
            QSet<QString> claimed;
            QSet<QString> unread;  // documents that count but whose amount cannot be read
            for (size_t i = rows.size(); i-- > 0;) {
                const QStringList& row = rows[i];
                const QString& notice = noticeAndCancelled[i].first;
                const QString& flag = noticeAndCancelled[i].second;
                // A company no longer kept is told apart by the name its documents carry.
                const int company = companies.Of(row[0]);
                const QString owner = company > 0 ? QString::number(company) : QLatin1Char('=') + row[0];
                const QString key = owner + QChar(0x1f) + row[1];
                long long cents = 0;
                if (!RevenueCents(row[2], notice, flag, row[4], cents)) {
                    if (RevenueRule(row[2], notice, flag) != TRevenue::None)
                        unread.insert(key);
                    continue;
                }
                if (claimed.contains(key))
                    continue;
                claimed.insert(key);
                total += cents;
            }
            // One whose twin was read is counted: it is not left out.
            for (const QString& key : unread)
                if (!claimed.contains(key))
                    ++unreadable;
        }
    }

    StringGrid1->SetRowCount(int(std::max<size_t>(rows.size(), 1)) + 1);
    StringGrid1->SetFixedRows(1);
    for (int c = 0; c < StringGrid1->ColCount(); ++c)
        StringGrid1->SetCells(c, 1, QString());
    for (size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < int(rows[i].size()); ++c)
            StringGrid1->SetCells(c, int(i) + 1, rows[i][c]);
    StringGrid1->SetRow(1);
    Panel2->SetVisible(rows.empty());
    if (rows.empty() && EditCustForm)
        EditCustForm->LastLabel->SetCaption(QStringLiteral("няма"));
    Button1->SetEnabled(!Panel2->Visible());
    if (EditCustForm) {
        EditCustForm->TotalLabel->SetCaption(TurnoverText(total));
        ShowLeftOut(EditCustForm->Label14, unreadable);
    }
}

void TCustForm::ShowLeftOut(TLabel* label, int unreadable)
{
    QString caption = QStringLiteral("вкл. ДДС");
    if (unreadable > 0)
        caption += QStringLiteral(", без ") + LeftOutText(unreadable);
    if (label->Caption() == caption)
        return;
    // The note takes the width left of the OK button, on two lines at most;
    // without one the caption stands under the total as designed.
    if (designLeft_ < 0) {
        designLeft_ = label->Left();
        designWidth_ = label->Width();
    }
    label->SetWordWrap(true);
    if (unreadable > 0)
        label->SetBounds(EditCustForm->Label13->Left(), label->Top(), EditCustForm->OKButton->Left() - 4 -
                         EditCustForm->Label13->Left(), label->Height());
    else
        label->SetBounds(designLeft_, label->Top(), designWidth_, label->Height());
    label->SetCaption(caption);
}
