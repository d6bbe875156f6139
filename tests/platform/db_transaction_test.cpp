// Saving across several tables of one folder: all or nothing, also when the
// process is killed before or in the middle of the commit.

#include "platform/db_support.h"

#include <QFile>

#include <sqlite3.h>

#include <csignal>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dbtest;

namespace {

const QString kCust = QStringLiteral("customer.db");
const QString kStore = QStringLiteral("Store.DB");
const QString kFirmFile = QStringLiteral("Firm.db");

std::vector<Def> StoreDefs()
{
    return {{QStringLiteral("Документ"), TFieldType::ftString, 255},
            {QStringLiteral("Num"), TFieldType::ftString, 255},
            {QStringLiteral("Стоки и Услуги"), TFieldType::ftMemo, 240}};
}

std::vector<Def> FirmDefs()
{
    return {{QStringLiteral("Фактура №"), TFieldType::ftString, 10},
            {QStringLiteral("ДОСТАВЧИК"), TFieldType::ftString, 255}};
}

// A data folder with one customer, one document and one company.
void MakeFolder(const QString& folder)
{
    auto cust = NewTable(folder, kCust, CustomerDefs());
    AddRecord(*cust, {{QStringLiteral("Фирма"), QStringLiteral("Стар клиент")}});
    auto store = NewTable(folder, kStore, StoreDefs());
    AddRecord(*store, {{QStringLiteral("Num"), QStringLiteral("0000000001")}});
    auto firm = NewTable(folder, kFirmFile, FirmDefs());
    AddRecord(*firm, {{QStringLiteral("Фактура №"), QStringLiteral("0000000001")},
                      {QStringLiteral("ДОСТАВЧИК"), QStringLiteral("Фирма ООД")}});
}

struct Tables {
    std::unique_ptr<TTable> cust, store, firm;
    explicit Tables(const QString& folder)
        : cust(OpenTable(folder, kCust)), store(OpenTable(folder, kStore)), firm(OpenTable(folder, kFirmFile))
    {
    }
};

// The writes of one document save: a new customer, a new document, the raised counter.
void SaveDocument(Tables& t)
{
    AddRecord(*t.cust, {{QStringLiteral("Фирма"), QStringLiteral("Нов клиент")}});
    t.store->Append();
    t.store->FieldByName(QStringLiteral("Num"))->SetText(QStringLiteral("0000000002"));
    t.store->FieldByName(QStringLiteral("Стоки и Услуги"))->SetAsMemo(QString(3000, QLatin1Char('x')));
    t.store->Post();
    t.firm->Edit();
    t.firm->FieldByName(QStringLiteral("Фактура №"))->SetText(QStringLiteral("0000000002"));
    t.firm->Post();
}

enum class Outcome { Nothing, All, Mixed };

// What a fresh start of the program finds in the folder.
Outcome Inspect(const QString& folder)
{
    Tables t(folder);
    const bool cust = t.cust->RecordCount() == 2;
    const bool store = t.store->RecordCount() == 2;
    t.firm->First();
    const bool firm = t.firm->FieldByName(QStringLiteral("Фактура №"))->Text() == QStringLiteral("0000000002");
    if (cust && store && firm) {
        t.cust->Last();
        t.store->Last();
        if (t.cust->FieldByName(QStringLiteral("Фирма"))->Text() != QStringLiteral("Нов клиент") ||
            t.store->FieldByName(QStringLiteral("Стоки и Услуги"))->AsMemo().size() != 3000)
            return Outcome::Mixed;
        return Outcome::All;
    }
    if (!cust && !store && !firm && t.cust->RecordCount() == 1 && t.store->RecordCount() == 1)
        return Outcome::Nothing;
    return Outcome::Mixed;
}

const char* Name(Outcome o)
{
    return o == Outcome::All ? "all" : o == Outcome::Nothing ? "nothing" : "MIXED";
}

// The child dies at the n-th file write, truncation or removal after it was armed.
int g_countdown = 0;
sqlite3_syscall_ptr g_write, g_pwrite, g_pwrite64, g_unlink, g_ftruncate;

void Tick()
{
    if (g_countdown > 0 && --g_countdown == 0)
        raise(SIGKILL);
}
ssize_t HookWrite(int fd, const void* b, size_t n)
{
    Tick();
    return reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(g_write)(fd, b, n);
}
ssize_t HookPwrite(int fd, const void* b, size_t n, off_t off)
{
    Tick();
    return reinterpret_cast<ssize_t (*)(int, const void*, size_t, off_t)>(g_pwrite)(fd, b, n, off);
}
ssize_t HookPwrite64(int fd, const void* b, size_t n, off_t off)
{
    Tick();
    return reinterpret_cast<ssize_t (*)(int, const void*, size_t, off_t)>(g_pwrite64)(fd, b, n, off);
}
int HookUnlink(const char* path)
{
    Tick();
    return reinterpret_cast<int (*)(const char*)>(g_unlink)(path);
}
int HookFtruncate(int fd, off_t size)
{
    Tick();
    return reinterpret_cast<int (*)(int, off_t)>(g_ftruncate)(fd, size);
}

void HookFileSystem()
{
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    auto hook = [vfs](const char* name, sqlite3_syscall_ptr& real, sqlite3_syscall_ptr replacement) {
        real = vfs->xGetSystemCall(vfs, name);
        if (real)
            vfs->xSetSystemCall(vfs, name, replacement);
    };
    hook("write", g_write, reinterpret_cast<sqlite3_syscall_ptr>(&HookWrite));
    hook("pwrite", g_pwrite, reinterpret_cast<sqlite3_syscall_ptr>(&HookPwrite));
    hook("pwrite64", g_pwrite64, reinterpret_cast<sqlite3_syscall_ptr>(&HookPwrite64));
    hook("unlink", g_unlink, reinterpret_cast<sqlite3_syscall_ptr>(&HookUnlink));
    hook("ftruncate", g_ftruncate, reinterpret_cast<sqlite3_syscall_ptr>(&HookFtruncate));
}

// Runs a save in a child process. killAt 0: killed after the writes, before the
// commit; n > 0: killed at the n-th file operation of the commit. Returns the
// child's wait status.
int SaveInChild(const QString& folder, int killAt)
{
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 0;
        try {
            HookFileSystem();
            Tables t(folder);
            TDatabaseTransaction tx({t.cust.get(), t.store.get(), t.firm.get()});
            SaveDocument(t);
            if (killAt == 0)
                raise(SIGKILL);
            g_countdown = killAt;
            tx.Commit();
        } catch (...) {
            code = 3;
        }
        _exit(code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

}  // namespace

TEST(TableTransactions, CommitWritesEveryTableAndOthersSeeItOnlyThen)
{
    QTemporaryDir dir;
    MakeFolder(dir.path());
    Tables t(dir.path());
    TDataSource source;
    source.SetDataSet(t.cust.get());
    ProbeLink link(QStringLiteral("Фирма"));
    link.SetDataSource(&source);
    EventLog log;
    log.Attach(*t.store);
    {
        TDatabaseTransaction tx({t.cust.get(), t.store.get(), t.firm.get(), t.cust.get()});
        EXPECT_TRUE(tx.Active());
        SaveDocument(t);
        // The tables read their own writes; the events fire as usual.
        EXPECT_EQ(t.cust->RecordCount(), 2);
        EXPECT_EQ(link.Last(), QStringLiteral("Нов клиент"));
        EXPECT_EQ(log.events, QStringList{QStringLiteral("post")});
        t.store->SetRecNo(1);
        EXPECT_EQ(t.store->FieldByName(QStringLiteral("Num"))->Text(), QStringLiteral("0000000001"));
        // A rollback journal beside each file, no write-ahead log.
        for (const QString& f : {kCust, kStore, kFirmFile}) {
            EXPECT_TRUE(QFile::exists(dir.filePath(f + QStringLiteral("-journal")))) << f.toStdString();
            EXPECT_FALSE(QFile::exists(dir.filePath(f + QStringLiteral("-wal")))) << f.toStdString();
        }
        // Another workplace still sees the folder as it was.
        auto other = OpenTable(dir.path(), kCust);
        EXPECT_EQ(other->RecordCount(), 1);
        other->Close();
        tx.Commit();
        EXPECT_FALSE(tx.Active());
        EXPECT_THROW(tx.Commit(), EDatabaseError);
    }
    EXPECT_EQ(Inspect(dir.path()), Outcome::All);
    // The tables carry on with their own commits.
    AddRecord(*t.cust, {{QStringLiteral("Фирма"), QStringLiteral("Трети")}});
    EXPECT_EQ(OpenTable(dir.path(), kCust)->RecordCount(), 3);
    EXPECT_EQ(t.cust->RecNo(), 3);
    for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
        EXPECT_TRUE(f == kCust || f == kStore || f == kFirmFile) << f.toStdString();
}

TEST(TableTransactions, RollbackRereadsEveryTable)
{
    QTemporaryDir dir;
    MakeFolder(dir.path());
    Tables t(dir.path());
    TDataSource source;
    source.SetDataSet(t.store.get());
    ProbeLink link(QStringLiteral("Num"));
    link.SetDataSource(&source);
    {
        TDatabaseTransaction tx({t.cust.get(), t.store.get(), t.firm.get()});
        SaveDocument(t);
        t.cust->Append();  // left pending
        t.cust->FieldByName(QStringLiteral("Фирма"))->SetText(QStringLiteral("Недовършен"));
        EXPECT_EQ(link.Last(), QStringLiteral("0000000002"));
        tx.Rollback();
        EXPECT_FALSE(tx.Active());
    }
    EXPECT_EQ(t.cust->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.cust->RecordCount(), 1);
    EXPECT_EQ(t.store->RecordCount(), 1);
    EXPECT_EQ(t.store->RecNo(), 1);
    EXPECT_EQ(link.Last(), QStringLiteral("0000000001"));
    EXPECT_EQ(t.firm->FieldByName(QStringLiteral("Фактура №"))->Text(), QStringLiteral("0000000001"));

    // A failure in the middle of a save rolls back what was written before it.
    try {
        TDatabaseTransaction tx({t.cust.get(), t.store.get(), t.firm.get()});
        AddRecord(*t.cust, {{QStringLiteral("Фирма"), QStringLiteral("Нов клиент")}});
        t.firm->Edit();
        t.firm->FieldByName(QStringLiteral("ДОСТАВЧИК"))->SetText(QStringLiteral("Друга"));
        t.firm->Post();
        t.store->FieldByName(QStringLiteral("Num"))->SetText(QStringLiteral("x"));  // not editing: raises
        tx.Commit();
    } catch (const EDatabaseError&) {
    }
    EXPECT_EQ(Inspect(dir.path()), Outcome::Nothing);
    EXPECT_EQ(t.cust->RecordCount(), 1);
    EXPECT_EQ(t.firm->FieldByName(QStringLiteral("ДОСТАВЧИК"))->Text(), QStringLiteral("Фирма ООД"));
}

TEST(TableTransactions, RefusesTablesItCannotCoverTogether)
{
    QTemporaryDir dir, elsewhere;
    MakeFolder(dir.path());
    MakeFolder(elsewhere.path());
    Tables t(dir.path());
    Tables far(elsewhere.path());
    EXPECT_THROW(TDatabaseTransaction({t.cust.get(), far.store.get()}), EDatabaseError);
    EXPECT_THROW(TDatabaseTransaction(std::vector<TTable*>{}), EDatabaseError);
    auto twin = OpenTable(dir.path(), kCust);  // a second table object on the same file
    EXPECT_THROW(TDatabaseTransaction({t.cust.get(), twin.get()}), EDatabaseError);
    t.firm->Close();
    EXPECT_THROW(TDatabaseTransaction({t.cust.get(), t.firm.get()}), EDatabaseError);
    TDatabaseTransaction tx({t.cust.get()});
    EXPECT_THROW(TDatabaseTransaction({t.store.get(), t.cust.get()}), EDatabaseError);
    // A table closed during the transaction leaves it; the rest still commits.
    AddRecord(*t.cust, {{QStringLiteral("Фирма"), QStringLiteral("Нов клиент")}});
    t.cust->Close();
    tx.Commit();
    t.cust->Open();
    EXPECT_EQ(t.cust->RecordCount(), 2);
}

TEST(TableTransactions, KilledBeforeTheCommitLeavesNothing)
{
    QTemporaryDir dir;
    MakeFolder(dir.path());
    const int status = SaveInChild(dir.path(), 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_EQ(Inspect(dir.path()), Outcome::Nothing);
    // The folder is usable again: a full save goes through.
    Tables t(dir.path());
    TDatabaseTransaction tx({t.cust.get(), t.store.get(), t.firm.get()});
    SaveDocument(t);
    tx.Commit();
    EXPECT_EQ(Inspect(dir.path()), Outcome::All);
}

TEST(TableTransactions, KilledAtAnyStepOfTheCommitIsAllOrNothing)
{
    QTemporaryDir pristine;
    MakeFolder(pristine.path());
    int nothing = 0, all = 0;
    bool completed = false;
    QStringList trace;
    for (int step = 1; step <= 100 && !completed; ++step) {
        SCOPED_TRACE(step);
        QTemporaryDir dir;
        for (const QString& f : {kCust, kStore, kFirmFile})
            ASSERT_TRUE(QFile::copy(pristine.filePath(f), dir.filePath(f)));
        const int status = SaveInChild(dir.path(), step);
        if (WIFEXITED(status)) {
            ASSERT_EQ(WEXITSTATUS(status), 0);
            completed = true;  // the commit needed fewer steps than this
        } else {
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        }
        const Outcome o = Inspect(dir.path());
        trace << QStringLiteral("%1:%2").arg(step).arg(QLatin1String(Name(o)));
        ASSERT_NE(o, Outcome::Mixed) << trace.join(QLatin1Char(' ')).toStdString();
        // Once the tables were opened again, no journal of the killed commit is left.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3)
            << QDir(dir.path()).entryList(QDir::Files).join(QLatin1Char(' ')).toStdString();
        if (completed)
            EXPECT_EQ(o, Outcome::All);
        else
            ++(o == Outcome::All ? all : nothing);
    }
    EXPECT_TRUE(completed);
    std::printf("commit kill steps: %s\n", qPrintable(trace.join(QLatin1Char(' '))));
    // Killed before the commit point nothing is kept; killed while the journals
    // are cleaned up after it, everything is.
    EXPECT_GT(nothing, 3) << trace.join(QLatin1Char(' ')).toStdString();
    EXPECT_GT(all, 0) << trace.join(QLatin1Char(' ')).toStdString();
}

TEST(TableTransaction, ARollbackLeavesTheUsersPendingChangesPendingAndDropsItsOwn)
{
    QTemporaryDir dir;
    MakeFolder(dir.path());
    Tables t(dir.path());
    // The user's typing, pending before the save: one table posted in it, one not yet.
    t.firm->Edit();
    t.firm->FieldByName(QStringLiteral("ДОСТАВЧИК"))->SetText(QStringLiteral("Алфа ООД"));
    t.cust->Edit();
    t.cust->FieldByName(QStringLiteral("Адрес"))->SetText(QStringLiteral("Варна"));
    {
        TDatabaseTransaction tx({t.firm.get(), t.cust.get(), t.store.get()});
        t.firm->Post();
        t.store->Edit();  // begun inside the save: its own
        t.store->FieldByName(QStringLiteral("Num"))->SetText(QStringLiteral("0000000009"));
        tx.Rollback();
    }
    EXPECT_EQ(t.firm->State(), TDataSetState::dsEdit);
    EXPECT_EQ(t.firm->FieldByName(QStringLiteral("ДОСТАВЧИК"))->Text(), QStringLiteral("Алфа ООД"));
    EXPECT_EQ(t.cust->State(), TDataSetState::dsEdit);
    EXPECT_EQ(t.cust->FieldByName(QStringLiteral("Адрес"))->Text(), QStringLiteral("Варна"));
    EXPECT_EQ(t.store->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.store->FieldByName(QStringLiteral("Num"))->Text(), QStringLiteral("0000000001"));
    EXPECT_EQ(Column(*OpenTable(dir.path(), kFirmFile), QStringLiteral("ДОСТАВЧИК")), QStringList{QStringLiteral("Фирма ООД")});
    // Posted again, outside any transaction, both are stored.
    t.firm->Post();
    t.cust->Post();
    EXPECT_EQ(Column(*OpenTable(dir.path(), kFirmFile), QStringLiteral("ДОСТАВЧИК")), QStringList{QStringLiteral("Алфа ООД")});
    EXPECT_EQ(Column(*OpenTable(dir.path(), kCust), QStringLiteral("Адрес")), QStringList{QStringLiteral("Варна")});
}

TEST(TableTransaction, AnEditWhoseRecordWasDeletedElsewhereNeverLandsInTheNextRecordAfterARollback)
{
    QTemporaryDir dir;
    auto a = NewTable(dir.path(), kCust, CustomerDefs());
    for (const char* name : {"Първи", "Втори", "Трети"})
        AddRecord(*a, {{QStringLiteral("Фирма"), QString::fromUtf8(name)}});
    a->SetRecNo(2);
    a->Edit();
    a->FieldByName(QStringLiteral("Адрес"))->SetText(QStringLiteral("Варна"));
    {
        auto other = OpenTable(dir.path(), kCust);  // another workplace
        other->SetRecNo(2);
        other->Delete();
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            TDatabaseTransaction tx({a.get()});
            a->Post();
            tx.Commit();
            ADD_FAILURE() << "a record deleted elsewhere was posted, attempt " << attempt;
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message.contains(QStringLiteral("изтрит от друго работно място"))) << e.Message.toStdString();
        }
    }
    auto stored = OpenTable(dir.path(), kCust);
    EXPECT_EQ(Column(*stored, QStringLiteral("Фирма")), (QStringList{QStringLiteral("Първи"), QStringLiteral("Трети")}));
    EXPECT_EQ(Column(*stored, QStringLiteral("Адрес")), (QStringList{QString(), QString()}));
}
