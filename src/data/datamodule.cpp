#include "data/datamodule.h"

#include "app/mainform.h"
#include "data/tables.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

TDataModule1* DataModule1 = nullptr;

namespace {

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

void TDataNotice::Listen(QObject* owner, std::function<void()> call)
{
    calls_.emplace_back(owner, std::move(call));
}

void TDataNotice::Announce()
{
    std::erase_if(calls_, [](const auto& c) { return c.first.isNull(); });
    const auto calls = calls_;  // a call may ask for another
    for (const auto& [owner, call] : calls)
        if (owner)
            call();
}

QString FolderName(const QString& path) { return path.isEmpty() ? path : QDir(path).dirName(); }

QString DefaultDataFolder() { return InstallPath(QStringLiteral("DB")); }

bool ReadCurrencyRate(const QString& text, double& rate)
{
    static const QRegularExpression plain(QStringLiteral("^\\d+(?:[.,]\\d+)?$"));
    QString t = text.trimmed();
    if (!plain.match(t).hasMatch())
        return false;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = t.toDouble(&ok);
    // A tiny rate makes page totals of hundreds of digits; no currency is worth that.
    if (!ok || value < 0.0001 || value > 100000)
        return false;
    rate = value;
    return true;
}

QString InvalidCurrencyRateText(const QString& text)
{
    return QStringLiteral("Невалиден курс: „%1“.\nВъведете курса като число от 0,0001 до 100 000 с десетична "
                          "запетая, например 1,95583.")
        .arg(text);
}

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
    currency->BeforePost = Handler(this, &TDataModule1::currencyBeforePost);

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
            ShowMessage(QStringLiteral("Папката с данни не е отворена.\nИзберете папка с данни с бутона „Работно място“."));
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

    const QString fallback = DefaultDataFolder();
    // Copied alone into a folder, the program lays out what an install would;
    // a workplace whose chosen folder is missing gets no empty register instead.
    const auto openDefault = [&](bool firstStart) {
        if (!QFileInfo::exists(fallback)) {
            if (!firstStart)
                throw EDatabaseError(QStringLiteral("Папката с данни по подразбиране „%1“ също не е намерена.")
                                         .arg(FolderName(fallback)));
            CreateShippedTables(fallback);
        }
        OpenDatabase(fallback, true);
    };
    QStringList reasons;  // the layer's own, each naming its file
    bool opened = false;
    try {
        QString folder = fallback;
        if (!ReadNetworkFolder(folder) || folder == fallback) {
            openDefault(true);
        } else {
            // What the user reads first: which folder, then why.
            const QString chosen = QStringLiteral("Папката с данни „%1“").arg(FolderName(folder));
            bool chosenFailed = true;
            if (!QFileInfo(folder).isDir()) {
                reasons << chosen + QStringLiteral(" не е намерена: няма я или мрежата до нея не е достъпна.");
            } else {
                try {
                    OpenDatabase(folder, true);
                    chosenFailed = false;
                } catch (const Exception& e) {
                    reasons << chosen + QStringLiteral(" не може да бъде отворена.") << e.Message;
                } catch (...) {
                    reasons << chosen + QStringLiteral(" не може да бъде отворена.");
                }
            }
            if (chosenFailed) {
                openDefault(false);
                // Documents would otherwise go into another database unnoticed.
                ShowMessage(reasons.join(QLatin1Char('\n')) + QLatin1Char('\n') +
                            QStringLiteral("Използва се папката по подразбиране „%1“.").arg(FolderName(fallback)));
            }
        }
        opened = true;
    } catch (const Exception& e) {
        reasons << e.Message;
    } catch (...) {
        reasons << QStringLiteral("Таблиците не могат да бъдат отворени.");
    }
    if (!opened) {
        reasons.removeDuplicates();
        ShowMessage(QStringLiteral("Не могат да се заредят база данните!\n") + reasons.join(QLatin1Char('\n')) +
                    QStringLiteral("\nС бутона „Работно място“ изберете друга папка с данни."));
    }
    // Always usable: it is the way out of a folder that does not open.
    Main->SpeedButton4->SetVisible(true);
}

void TDataModule1::OpenDatabase(const QString& folder, bool open)
{
    const auto tables = Tables();
    for (TTable* t : tables)
        t->Close();
    for (TTable* t : tables)
        t->SetDatabaseName(folder);
    if (!open) {
        FolderChanged.Announce();
        return;
    }
    try {
        Tableae->SetTableName(QStringLiteral("ae.db"));
        if (!FileExists(Tableae->FilePath()))
            CreateTableFile(folder, TableDefinitionOf(QStringLiteral("Tableae")));
        for (TTable* t : tables)
            t->Open();
    } catch (...) {
        // Record numbers a window keeps belong to the old folder even so.
        try {
            FolderChanged.Announce();
        } catch (...) {
        }
        throw;
    }
    if (TField* f = stock->FindField(QStringLiteral("Описание на стока/услуга")))
        f->OnGetText = Handler(this, &TDataModule1::stockBDEDesigner2GetText);
    LabelForeignFields();
    TrimParallelTable();
    PadParallelTable();
    FolderChanged.Announce();
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

void TDataModule1::LabelForeignFields()
{
    // Fields stored under English names are named in Bulgarian to the user.
    const struct {
        TTable* table;
        const char* field;
        const char* label;
    } labels[] = {
        {Tableae, "VOP", "ВОП № (английски данни)"},
        {Tableae, "Supplier", "Фирма (английски данни)"},
        {Tableae, "Address", "Адрес (английски данни)"},
        {Tableae, "Resp.Person", "МОЛ (английски данни)"},
        {Tableae, "Place of publishment", "Местоиздаване (английски данни)"},
        {Tableae, "logo", "Лого (английски данни)"},
        {details, "Bank", "Банка"},
        {details, "SWIFT", "SWIFT/BIC"},
        {store, "Num", "Номер"},
        {store, "Paid?", "Платено"},
        {store, "Anulirana", "Анулирана"},
        {store, "Firm.db index", "Собствена фирма"},
        {store, "CurrencyPrefix", "Валута"},
        {store, "CurrencyRate", "Курс"},
    };
    for (const auto& l : labels)
        if (TField* f = l.table->FindField(QString::fromUtf8(l.field)))
            f->SetDisplayLabel(QString::fromUtf8(l.label));
}

void TDataModule1::TrimParallelTable()
{
    // What this workplace read says whether there may be anything to do; the
    // count that decides is made again under the locks of both files, so that
    // a company another workplace added since Firm.db was read keeps its twin.
    if (Tableae->RecordCount() <= firm->RecordCount() || firm->Editing() || Tableae->Editing())
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
        ShowMessage(QStringLiteral("Английските данни на фирмите имат %1 повече от самите фирми и не може да се "
                                   "направи копие на файла им. Проверете правата за запис в папката с данни и "
                                   "стартирайте програмата отново.")
                        .arg(RecordsText(extra)));
        Tableae->Close();  // out of step, it must not pair companies with the wrong English texts
        return;
    }
    Tableae->First();
    ShowMessage(QStringLiteral("Английските данни на фирмите имаха %1 повече от самите фирми: %2.\n"
                               "%3; пълно копие е запазено във файла "
                               "%4 в папката с данни. Проверете английските данни на фирмите в „Моите фирмени "
                               "детайли“.")
                    .arg(RecordsText(extra), names.join(QStringLiteral(", ")),
                         extra == 1 ? QStringLiteral("Той не принадлежи на никоя фирма и беше премахнат")
                                    : QStringLiteral("Те не принадлежат на никоя фирма и бяха премахнати"),
                         QFileInfo(copy).fileName()));
}

void TDataModule1::PadParallelTable()
{
    if (Tableae->RecordCount() >= firm->RecordCount() || firm->Editing() || Tableae->Editing())
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

void TDataModule1::RefreshStockGrid() { GoodsChanged.Announce(); }

void TDataModule1::stockAfterPost(TObject*) { RefreshStockGrid(); }
void TDataModule1::stockAfterCancel(TObject*) { RefreshStockGrid(); }
void TDataModule1::stockAfterDelete(TObject*) { RefreshStockGrid(); }
void TDataModule1::stockAfterRefresh(TObject*) { RefreshStockGrid(); }
void TDataModule1::storeAfterRefresh(TObject*) { RefreshStockGrid(); }

void TDataModule1::custAfterDelete(TObject*) { cust->Refresh(); }

void TDataModule1::custAfterRefresh(TObject*) { CustomersRefreshed.Announce(); }

void TDataModule1::currencyBeforePost(TObject*)
{
    // No rate is allowed: choosing such a row leaves the document in leva.
    const QString rate = currency->FieldByName(QStringLiteral("Курс"))->Text();
    double unused = 0;
    if (!rate.trimmed().isEmpty() && !ReadCurrencyRate(rate, unused))
        throw EDatabaseError(InvalidCurrencyRateText(rate));
}

void TDataModule1::stockBDEDesigner2GetText(TField* Sender, QString& Text, bool)
{
    // The whole description, not the engine's memo placeholder.
    Text = Sender->AsString();
}
