#include "data/datamodule.h"

#include "app/mainform.h"
#include "data/tables.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "registers/custform.h"
#include "registers/editstock.h"
#include "registers/sort.h"
#include "registers/stocks.h"
#include "platform/dbctrls.h"
#include "platform/grids.h"

#include <QFile>
#include <QFileInfo>

TDataModule1* DataModule1 = nullptr;

namespace {

bool Editing(const TTable* t)
{
    return t->State() == TDataSetState::dsEdit || t->State() == TDataSetState::dsInsert;
}

// Record i of ae.db is the twin of record i of Firm.db: whatever moves firm
// (a list, a walk, a post, a delete) takes ae.db along.
class FollowFirm : public TDataLink {
public:
    explicit FollowFirm(TDataModule1* dm) : dm_(dm) {}

    void RecordChanged() override
    {
        TTable* firm = dm_->firm;
        TTable* ae = dm_->Tableae;
        if (following_ || !Active() || !ae->Active() || firm->State() == TDataSetState::dsInsert)
            return;
        const Depth guard(following_);
        if (ae->State() == TDataSetState::dsInsert) {
            // The new company was posted: its twin goes with it; it was dropped: so is the twin.
            if (ae->RecordCount() < firm->RecordCount())
                ae->Post();
            else
                ae->Cancel();
        }
        const int recNo = firm->RecNo();
        if (recNo >= 1 && recNo <= ae->RecordCount() && ae->RecNo() != recNo)
            ae->SetRecNo(recNo);
    }

private:
    struct Depth {
        explicit Depth(bool& f) : f_(f) { f_ = true; }
        ~Depth() { f_ = false; }
        bool& f_;
    };
    TDataModule1* dm_;
    bool following_ = false;
};

}  // namespace

QString DefaultDataFolder() { return InstallPath(QStringLiteral("DB")); }
QString NetworkFile() { return InstallPath(QStringLiteral("network.txt")); }

bool ReadNetworkFolder(QString& folder)
{
    if (!FileExists(NetworkFile()))
        return false;
    TStringList lines;
    lines.LoadFromFile(NetworkFile());
    if (lines.Text().isEmpty())
        return false;
    folder = lines[0];
    return true;
}

TDataModule1::TDataModule1(TComponent* owner) : TDataModule(owner)
{
    SetName(QStringLiteral("DataModule1"));
    TTable** tables[] = {&cust, &firm, &details, &stock, &employee, &store, &currency, &Tableae};
    TDataSource** sources[] = {&DataSource1, &DataSource2, &DataSource3, &DataSource4,
                               &DataSource5, &DataSource6, &DataSource7, &DataSourceae};
    const auto& defs = TableDefinitions();
    for (size_t i = 0; i < defs.size(); ++i) {
        TTable* t = new TTable(this);
        t->SetName(defs[i].component);
        t->SetDatabaseName(DefaultDataFolder());
        t->SetTableName(defs[i].fileName);
        *tables[i] = t;
        TDataSource* ds = new TDataSource(this);
        ds->SetName(defs[i].dataSource);
        ds->SetDataSet(t);
        *sources[i] = ds;
    }
    // The goods table's fields are bound before opening, so a stock.db without
    // one of them, or with another type, does not open.
    TField** persistent[] = {&stockBDEDesigner,  &stockBDEDesigner2, &stockBDEDesigner3,
                             &stockBDEDesigner4, &stockBDEDesigner5, &stockBDEDesigner6};
    const auto& stockFields = TableDefinitionOf(QStringLiteral("stock")).fields;
    for (size_t i = 0; i < stockFields.size(); ++i)
        *persistent[i] = stock->DeclareField(stockFields[i].name, stockFields[i].type, stockFields[i].size);
    // Data-aware grids show only the measure, the quantity and the sale price.
    for (TField* hidden : {stockBDEDesigner, stockBDEDesigner2, stockBDEDesigner5})
        hidden->SetVisible(false);

    // ae.db gets its field definitions only when it has to be created.
    Tableae->SetTableName(QString());

    stock->AfterPost = Handler(this, &TDataModule1::stockAfterPost);
    stock->AfterCancel = Handler(this, &TDataModule1::stockAfterCancel);
    stock->AfterDelete = Handler(this, &TDataModule1::stockAfterDelete);
    stock->AfterRefresh = Handler(this, &TDataModule1::stockAfterRefresh);
    employee->AfterPost = Handler(this, &TDataModule1::stockAfterPost);
    employee->AfterRefresh = Handler(this, &TDataModule1::stockAfterRefresh);
    store->AfterPost = Handler(this, &TDataModule1::stockAfterPost);
    store->AfterRefresh = Handler(this, &TDataModule1::storeAfterRefresh);
    cust->AfterDelete = Handler(this, &TDataModule1::custAfterDelete);
    cust->AfterRefresh = Handler(this, &TDataModule1::custAfterRefresh);

    followFirm_ = std::make_unique<FollowFirm>(this);
    followFirm_->SetDataSource(DataSource2);

    OnCreate = Handler(this, &TDataModule1::DataModuleCreate);
    OnDestroy = Handler(this, &TDataModule1::DataModuleDestroy);
}

std::vector<TTable*> TDataModule1::Tables() const
{
    return {cust, firm, details, stock, employee, store, currency, Tableae};
}

bool TDataModule1::CheckTablesOpen() const
{
    for (TTable* t : Tables())
        if (!t->Active()) {
            ShowMessage(QStringLiteral("Папката с данни не е отворена: проверете файловете в нея и стартирайте програмата отново."));
            return false;
        }
    return true;
}

QString TDataModule1::Folder() const { return cust->DatabaseName(); }

void TDataModule1::DataModuleCreate(TObject*)
{
    DeleteFile(InstallPath(QStringLiteral("Orlendixold")));

    // The start-up check is silent: a bad reply must not keep the tables closed.
    try {
        Main->CheckForUpdate(false);
    } catch (...) {
    }

    try {
        QString folder = DefaultDataFolder();
        ReadNetworkFolder(folder);
        try {
            OpenDatabase(folder, true);
        } catch (...) {
            OpenDatabase(DefaultDataFolder(), true);
            // Documents would otherwise go into another database unnoticed.
            ShowMessage(QStringLiteral("Папката с данни „%1“ не може да бъде отворена.\nИзползва се папката по подразбиране „%2“.")
                            .arg(folder, DefaultDataFolder()));
        }
        Main->SpeedButton4->SetVisible(true);
    } catch (...) {
        ShowMessage(QStringLiteral("Не могат да се заредят база данните!") + QLatin1Char('\n') +
                    QStringLiteral("BDE може да не е инсталирано правилно,моля повторете инсталацията! ") +
                    QLatin1Char('\n') +
                    QStringLiteral(" За потребителите на Windows Vista, Start->Settings->Control Panel->User Accounts->Turn User Account Control on or off->... - отметката трябва да бъде изключена"));
    }
}

void TDataModule1::OpenDatabase(const QString& folder, bool open)
{
    const auto tables = Tables();
    for (TTable* t : tables)
        t->Close();
    // A hit names a record number of the folder it was found in.
    if (Sort)
        Sort->ClearSearch();
    for (TTable* t : tables)
        t->SetDatabaseName(folder);
    if (!open)
        return;
    Tableae->SetTableName(QStringLiteral("ae.db"));
    if (!FileExists(Tableae->FilePath()))
        CreateTableFile(folder, TableDefinitionOf(QStringLiteral("Tableae")));
    for (TTable* t : tables)
        t->Open();
    if (TField* f = stock->FindField(QStringLiteral("Описание на стока/услуга")))
        f->OnGetText = Handler(this, &TDataModule1::stockBDEDesigner2GetText);
    TrimParallelTable();
    PadParallelTable();
    // The customer's document list names records of the old folder.
    if (CustForm)
        CustForm->RebuildDocumentList();
}

namespace {

// A copy beside ae.db that keeps every earlier one: ae.db.bak, ae.db.bak2, …
QString FreeBackupPath(const QString& file)
{
    const QString first = file + QStringLiteral(".bak");
    if (!QFile::exists(first))
        return first;
    for (int n = 2;; ++n)
        if (!QFile::exists(first + QString::number(n)))
            return first + QString::number(n);
}

}  // namespace

void TDataModule1::TrimParallelTable()
{
    // What this workplace read says whether there may be anything to do; the
    // count that decides is made again under the locks of both files, so that
    // a company another workplace added since Firm.db was read keeps its twin.
    if (Tableae->RecordCount() <= firm->RecordCount() || Editing(firm) || Editing(Tableae))
        return;
    QStringList names;
    QString copy;
    int extra = 0;
    bool copied = false;
    {
        TDatabaseTransaction tx({firm, Tableae});
        firm->Resync();
        Tableae->Resync();
        const int companies = firm->RecordCount();
        extra = Tableae->RecordCount() - companies;
        if (extra <= 0)
            return;
        TField* supplier = Tableae->FieldByName(QStringLiteral("Supplier"));
        for (int i = companies + 1; i <= Tableae->RecordCount(); ++i) {
            const QString name = supplier->TextAt(i).trimmed();
            names << (name.isEmpty() ? QStringLiteral("(без име)") : name);
        }
        // Nobody writes ae.db while its lock is held: the copy is what is removed from.
        copy = FreeBackupPath(Tableae->FilePath());
        copied = QFile::copy(Tableae->FilePath(), copy);
        if (copied) {
            while (Tableae->RecordCount() > companies) {
                Tableae->Last();
                Tableae->Delete();
            }
            tx.Commit();
        }
    }
    if (!copied) {
        ShowMessage(QStringLiteral("Английските данни на фирмите имат %1 записа повече от самите фирми и не може да се "
                                   "направи копие на файла им. Проверете правата за запис в папката с данни и "
                                   "стартирайте програмата отново.")
                        .arg(extra));
        Tableae->Close();  // out of step, it must not pair companies with the wrong English texts
        return;
    }
    Tableae->First();
    ShowMessage(QStringLiteral("Английските данни на фирмите имаха %1 записа повече от самите фирми: %2.\n"
                               "Те не принадлежат на никоя фирма и бяха премахнати; пълно копие е запазено във файла "
                               "%3 в папката с данни. Проверете английските данни на фирмите в „Моите фирмени "
                               "детайли“.")
                    .arg(extra)
                    .arg(names.join(QStringLiteral(", ")), QFileInfo(copy).fileName()));
}

void TDataModule1::PadParallelTable()
{
    if (Tableae->RecordCount() >= firm->RecordCount() || Editing(firm) || Editing(Tableae))
        return;
    const int keep = Tableae->RecNo();
    {
        // Counted again under both locks, as the trim does.
        TDatabaseTransaction tx({firm, Tableae});
        firm->Resync();
        Tableae->Resync();
        const int target = firm->RecordCount();
        if (Tableae->RecordCount() >= target)
            return;
        while (Tableae->RecordCount() < target) {
            Tableae->Append();
            Tableae->Post();
        }
        tx.Commit();
    }
    if (keep > 0 && keep <= Tableae->RecordCount())
        Tableae->SetRecNo(keep);
    else
        Tableae->First();
}

void TDataModule1::DataModuleDestroy(TObject*)
{
    for (TDataSource* ds : {DataSource1, DataSource2, DataSource3, DataSource4, DataSource5, DataSource6})
        ds->SetEnabled(false);
    for (TTable* t : Tables())
        t->Close();
}

void TDataModule1::RefreshStockGrid()
{
    if (!Stocks || !EditStockForm)
        return;  // the goods windows are created after the tables are opened
    TStringGrid* grid = Stocks->StringGrid1;
    grid->SetRowCount(2);
    for (int c = 0; c <= 3; ++c)
        grid->SetCells(c, 1, QString());
    if (stock->IsEmpty())
        return;
    const int keep = stock->RecNo();
    const int count = stock->RecordCount();
    grid->SetRowCount(count + 1);  // once: every change of the count lays out all rows
    for (int i = 1; i <= count; ++i) {
        stock->SetRecNo(i);
        // What the goods controls show for the record, shown or not.
        grid->SetCells(0, i, Stocks->DBMemo1->Text());
        grid->SetCells(1, i, EditStockForm->DBEdit4->Text());
        grid->SetCells(2, i, EditStockForm->DBEdit2->Text());
        grid->SetCells(3, i, EditStockForm->DBEdit5->Text());
    }
    stock->SetRecNo(keep);
}

void TDataModule1::stockAfterPost(TObject*) { RefreshStockGrid(); }
void TDataModule1::stockAfterCancel(TObject*) { RefreshStockGrid(); }
void TDataModule1::stockAfterDelete(TObject*) { RefreshStockGrid(); }
void TDataModule1::stockAfterRefresh(TObject*) { RefreshStockGrid(); }
void TDataModule1::storeAfterRefresh(TObject*) { RefreshStockGrid(); }

void TDataModule1::custAfterDelete(TObject*) { cust->Refresh(); }

void TDataModule1::custAfterRefresh(TObject*)
{
    // The customer window is created after the tables are opened.
    if (CustForm)
        CustForm->RebuildDocumentList();
}

void TDataModule1::stockBDEDesigner2GetText(TField*, QString& Text, bool)
{
    if (Stocks)
        Text = Stocks->DBMemo1->Text();
}
