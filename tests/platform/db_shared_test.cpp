// Several workplaces on one data folder: each is a process of its own with its
// own connections, so the other workplace here is a child process.

#include "platform/db_support.h"
#include "support/workplace.h"

#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <set>

using namespace dbtest;

namespace {

const QString kCust = QStringLiteral("customer.db");
const QString kStore = QStringLiteral("Store.DB");
const QString kFirmFile = QStringLiteral("Firm.db");
const QString kFirm = QStringLiteral("Фирма");
const QString kAddress = QStringLiteral("Адрес");

QString ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EDatabaseError& e) {
        return e.Message;
    }
    return QStringLiteral("no exception");
}

// Raw connection of another program holding the file's lock until it is closed.
sqlite3* RawOpen(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw EDatabaseError(QStringLiteral("raw open failed"));
    return db;
}

void RawExec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
}

std::unique_ptr<TTable> Customers(const QString& folder, const QStringList& names)
{
    auto t = NewTable(folder, kCust, CustomerDefs());
    for (const QString& n : names)
        AddRecord(*t, {{kFirm, n}, {kAddress, QStringLiteral("адрес на ") + n}});
    return t;
}

}  // namespace

TEST(TableSharedFolder, APostToARecordAnotherWorkplaceDeletedFailsAndKeepsTheEdit)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")});
    t->SetRecNo(2);
    t->Edit();
    t->FieldByName(kFirm)->SetText(QStringLiteral("Промяна"));

    ASSERT_EQ(Elsewhere([&] {
                  auto other = OpenTable(dir.path(), kCust);
                  other->SetRecNo(2);
                  other->Delete();
              }),
              0);

    const QString msg = ErrorOf([&] { t->Post(); });
    EXPECT_EQ(msg, QStringLiteral("Записът в таблица „%1“ е изтрит от друго работно място.\nОткажете промяната и "
                                  "отворете прозореца отново.")
                       .arg(kCust));
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    EXPECT_EQ(t->FieldByName(kFirm)->Text(), QStringLiteral("Промяна"));
    // Listed here until a refresh, the record cannot be edited again.
    t->Cancel();
    EXPECT_THROW(t->Edit(), EDatabaseError);
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
    t->Refresh();
    EXPECT_EQ(Column(*t, kFirm), (QStringList{QStringLiteral("А"), QStringLiteral("В")}));
    EXPECT_EQ(Column(*OpenTable(dir.path(), kCust), kAddress),
              (QStringList{QStringLiteral("адрес на А"), QStringLiteral("адрес на В")}));
}

TEST(TableSharedFolder, AStaleWorkplaceNeverWritesIntoAnotherRecord)
{
    // Also a file of the previous build, which kept no key counter.
    for (const bool oldFile : {false, true}) {
        SCOPED_TRACE(oldFile ? "file without key counter" : "new file");
        QTemporaryDir dir;
        auto t = Customers(dir.path(), {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")});
        if (oldFile) {
            t->Close();
            sqlite3* raw = RawOpen(t->FilePath());
            RawExec(raw, "DROP TABLE \"__keys\"");
            sqlite3_close(raw);
            t->Open();
        }
        t->Last();  // this workplace shows "В"

        // The other deletes the last record and appends one.
        ASSERT_EQ(Elsewhere([&] {
                      auto other = OpenTable(dir.path(), kCust);
                      other->Last();
                      other->Delete();
                      AddRecord(*other, {{kFirm, QStringLiteral("Нов")}, {kAddress, QStringLiteral("нов адрес")}});
                  }),
                  0);

        EXPECT_THROW(t->Edit(), EDatabaseError);
        EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
        // An edit begun before the other's change fails at the post.
        t->First();
        t->Edit();
        ASSERT_EQ(Elsewhere([&] {
                      auto other = OpenTable(dir.path(), kCust);
                      other->First();
                      other->Delete();
                      AddRecord(*other, {{kFirm, QStringLiteral("Още един")}});
                  }),
                  0);
        t->FieldByName(kAddress)->SetText(QStringLiteral("чужд адрес"));
        EXPECT_THROW(t->Post(), EDatabaseError);
        t->Cancel();
        t->Refresh();
        EXPECT_EQ(Column(*t, kFirm), (QStringList{QStringLiteral("Б"), QStringLiteral("Нов"), QStringLiteral("Още един")}));
        EXPECT_EQ(Column(*t, kAddress), (QStringList{QStringLiteral("адрес на Б"), QStringLiteral("нов адрес"), QString()}));
    }
}

TEST(TableSharedFolder, TwoWorkplacesEditingDifferentFieldsKeepBothChanges)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {QStringLiteral("А"), QStringLiteral("Б")});
    t->SetRecNo(2);
    t->Edit();
    t->FieldByName(kAddress)->SetText(QStringLiteral("Пловдив"));
    t->FieldByName(kFirm)->SetText(QStringLiteral("Б"));  // written back unchanged

    ASSERT_EQ(Elsewhere([&] {
                  auto other = OpenTable(dir.path(), kCust);
                  other->SetRecNo(2);
                  other->Edit();
                  other->FieldByName(kFirm)->SetText(QStringLiteral("Б ООД"));
                  other->Post();
              }),
              0);

    t->Post();
    EXPECT_EQ(t->FieldByName(kFirm)->Text(), QStringLiteral("Б ООД"));
    EXPECT_EQ(t->FieldByName(kAddress)->Text(), QStringLiteral("Пловдив"));
    auto fresh = OpenTable(dir.path(), kCust);
    EXPECT_EQ(Column(*fresh, kFirm), (QStringList{QStringLiteral("А"), QStringLiteral("Б ООД")}));
    EXPECT_EQ(Column(*fresh, kAddress), (QStringList{QStringLiteral("адрес на А"), QStringLiteral("Пловдив")}));
}

TEST(TableSharedFolder, AFieldChangedElsewhereSinceTheEditBeganIsNeverOverwritten)
{
    const QString kVat = QStringLiteral("ИН по ЗДДС");
    const auto changeElsewhere = [](const QString& folder, std::initializer_list<std::pair<QString, QString>> values) {
        ASSERT_EQ(Elsewhere([&] {
                      auto other = OpenTable(folder, kCust);
                      other->SetRecNo(2);
                      other->Edit();
                      for (const auto& [field, text] : values)
                          other->FieldByName(field)->SetText(text);
                      other->Post();
                  }),
                  0);
    };
    // The edit began before the other's post, or began after it on values this
    // workplace had shown before it (a window opened earlier).
    for (const bool shownBefore : {false, true}) {
        SCOPED_TRACE(shownBefore ? "edit begun on values shown earlier" : "edit begun before the other's post");
        QTemporaryDir dir;
        auto t = Customers(dir.path(), {QStringLiteral("А"), QStringLiteral("Б")});
        t->SetRecNo(2);
        if (shownBefore)
            EXPECT_EQ(t->FieldByName(kAddress)->Text(), QStringLiteral("адрес на Б"));
        else
            t->Edit();
        changeElsewhere(dir.path(), {{kAddress, QStringLiteral("Пловдив, ул. Рила 3")}, {kVat, QStringLiteral("BG111")}});
        t->Edit();
        t->FieldByName(kAddress)->SetText(QStringLiteral("Варна"));
        t->FieldByName(kFirm)->SetText(QStringLiteral("Б ЕООД"));

        const QString msg = ErrorOf([&] { t->Post(); });
        EXPECT_EQ(msg, QStringLiteral("Промяната не е записана: докато редактирахте, друго работно място промени същия "
                                      "запис в таблица „customer.db“. Сега в него е записано:\nАдрес: „Пловдив, ул. Рила "
                                      "3“\nОткажете промяната, за да видите записаното, и я направете отново, ако "
                                      "искате да го замените."));
        // Nothing of the refused edit is written; the typing stays for the user.
        EXPECT_EQ(t->State(), TDataSetState::dsEdit);
        EXPECT_EQ(t->FieldByName(kAddress)->Text(), QStringLiteral("Варна"));
        auto stored = OpenTable(dir.path(), kCust);
        EXPECT_EQ(Column(*stored, kAddress), (QStringList{QStringLiteral("адрес на А"), QStringLiteral("Пловдив, ул. Рила 3")}));
        EXPECT_EQ(Column(*stored, kFirm), (QStringList{QStringLiteral("А"), QStringLiteral("Б")}));
        // Asked again, it refuses again; a cancel shows what is stored, and an
        // edit begun from it is written.
        EXPECT_THROW(t->Post(), EDatabaseError);
        t->Cancel();
        EXPECT_EQ(t->FieldByName(kAddress)->Text(), QStringLiteral("Пловдив, ул. Рила 3"));
        t->Edit();
        t->FieldByName(kAddress)->SetText(QStringLiteral("Варна"));
        t->Post();
        EXPECT_EQ(Column(*OpenTable(dir.path(), kCust), kAddress),
                  (QStringList{QStringLiteral("адрес на А"), QStringLiteral("Варна")}));
        EXPECT_EQ(Column(*OpenTable(dir.path(), kCust), kVat), (QStringList{QString(), QStringLiteral("BG111")}));
    }

    // The same value typed at both places, and a field written back as it was
    // shown, replace nothing another workplace wrote.
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {QStringLiteral("А"), QStringLiteral("Б")});
    t->SetRecNo(2);
    EXPECT_EQ(t->FieldByName(kFirm)->Text(), QStringLiteral("Б"));
    changeElsewhere(dir.path(), {{kAddress, QStringLiteral("Русе")}, {kFirm, QStringLiteral("Б АД")}});
    t->Edit();
    t->FieldByName(kAddress)->SetText(QStringLiteral("Русе"));
    t->FieldByName(kFirm)->SetText(QStringLiteral("Б"));
    t->Post();
    EXPECT_EQ(Column(*OpenTable(dir.path(), kCust), kFirm), (QStringList{QStringLiteral("А"), QStringLiteral("Б АД")}));
    EXPECT_EQ(Column(*OpenTable(dir.path(), kCust), kAddress),
              (QStringList{QStringLiteral("адрес на А"), QStringLiteral("Русе")}));
}

TEST(TableSharedFolder, AWriteWaitsSecondsForAnotherWorkplacesLock)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {QStringLiteral("А")});
    const QString path = t->FilePath();
    Workplace other([&](Workplace& self) {
        sqlite3* raw = RawOpen(path);
        RawExec(raw, "BEGIN IMMEDIATE");
        self.Signal();
        usleep(2500 * 1000);
        RawExec(raw, "COMMIT");
        sqlite3_close(raw);
    });
    ASSERT_TRUE(other.AwaitSignal());
    QElapsedTimer timer;
    timer.start();
    AddRecord(*t, {{kFirm, QStringLiteral("Б")}});
    EXPECT_GE(timer.elapsed(), 2000);
    EXPECT_EQ(other.Join(), 0);
    EXPECT_EQ(OpenTable(dir.path(), kCust)->RecordCount(), 2);
}

TEST(TableSharedFolder, ALockHeldPastTheWaitFailsAsLockedAndKeepsTheNewRecord)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {QStringLiteral("А")});
    const QString path = t->FilePath();
    Workplace other([&](Workplace& self) {
        sqlite3* raw = RawOpen(path);
        RawExec(raw, "BEGIN IMMEDIATE");
        self.Signal();
        self.Await();
        RawExec(raw, "COMMIT");
        sqlite3_close(raw);
    });
    ASSERT_TRUE(other.AwaitSignal());
    t->Append();
    t->FieldByName(kFirm)->SetText(QStringLiteral("Б"));
    QElapsedTimer timer;
    timer.start();
    const QString msg = ErrorOf([&] { t->Post(); });
    EXPECT_GE(timer.elapsed(), 4500);
    EXPECT_EQ(msg, QStringLiteral("Таблица „%1“ е заета от друго работно място.\nИзчакайте малко и опитайте отново.")
                       .arg(kCust));
    EXPECT_EQ(t->State(), TDataSetState::dsInsert);
    EXPECT_EQ(t->FieldByName(kFirm)->Text(), QStringLiteral("Б"));
    other.Go();
    EXPECT_EQ(other.Join(), 0);
    t->Post();
    EXPECT_EQ(Column(*OpenTable(dir.path(), kCust), kFirm), (QStringList{QStringLiteral("А"), QStringLiteral("Б")}));
}

namespace {

std::vector<Def> StoreDefs()
{
    return {{QStringLiteral("Документ"), TFieldType::ftString, 255}, {QStringLiteral("Num"), TFieldType::ftString, 255}};
}

std::vector<Def> FirmDefs() { return {{QStringLiteral("Фактура №"), TFieldType::ftString, 10}}; }

struct Folder {
    std::unique_ptr<TTable> cust, store, firm;
    explicit Folder(const QString& path)
        : cust(OpenTable(path, kCust)), store(OpenTable(path, kStore)), firm(OpenTable(path, kFirmFile))
    {
    }
};

void MakeFolder(const QString& path)
{
    Customers(path, {QStringLiteral("Стар клиент")});
    auto store = NewTable(path, kStore, StoreDefs());
    AddRecord(*store, {{QStringLiteral("Num"), QStringLiteral("0000000001")}});
    auto firm = NewTable(path, kFirmFile, FirmDefs());
    AddRecord(*firm, {{QStringLiteral("Фактура №"), QStringLiteral("0000000001")}});
}

// One document save: a customer, the document under the next number, the counter raised.
void SaveDocument(Folder& f, const QString& who)
{
    TDatabaseTransaction tx({f.cust.get(), f.store.get(), f.firm.get()});
    f.firm->First();
    f.firm->Edit();  // reads the counter afresh under the transaction's lock
    TField* counter = f.firm->FieldByName(QStringLiteral("Фактура №"));
    const QString number = QStringLiteral("%1").arg(counter->Text().toInt() + 1, 10, 10, QLatin1Char('0'));
    counter->SetText(number);
    f.firm->Post();
    AddRecord(*f.cust, {{kFirm, who}});
    AddRecord(*f.store, {{QStringLiteral("Документ"), who}, {QStringLiteral("Num"), number}});
    tx.Commit();
}

QString Counter(const QString& path)
{
    auto firm = OpenTable(path, kFirmFile);
    return firm->FieldByName(QStringLiteral("Фактура №"))->Text();
}

}  // namespace

TEST(TableSharedFolder, ACommitBlockedByAReaderFailsAndCanBeRetried)
{
    QTemporaryDir dir;
    MakeFolder(dir.path());
    const QString storePath = dir.filePath(kStore);
    Workplace reader([&](Workplace& self) {
        sqlite3* raw = RawOpen(storePath);
        RawExec(raw, "BEGIN; SELECT count(*) FROM records;");  // holds its read lock
        self.Signal();
        self.Await();
        RawExec(raw, "COMMIT");
        sqlite3_close(raw);
    });
    ASSERT_TRUE(reader.AwaitSignal());

    Folder f(dir.path());
    {
        TDatabaseTransaction tx({f.cust.get(), f.store.get(), f.firm.get()});
        AddRecord(*f.cust, {{kFirm, QStringLiteral("Нов")}});
        AddRecord(*f.store, {{QStringLiteral("Num"), QStringLiteral("0000000002")}});
        const QString msg = ErrorOf([&] { tx.Commit(); });
        EXPECT_TRUE(msg.startsWith(QStringLiteral("Таблица „customer.db“ е заета от друго работно място."))) << msg.toStdString();
        EXPECT_TRUE(tx.Active());
        reader.Go();
        EXPECT_EQ(reader.Join(), 0);
        tx.Commit();
    }
    EXPECT_EQ(OpenTable(dir.path(), kCust)->RecordCount(), 2);
    EXPECT_EQ(Column(*OpenTable(dir.path(), kStore), QStringLiteral("Num")),
              (QStringList{QStringLiteral("0000000001"), QStringLiteral("0000000002")}));
}

TEST(TableSharedFolder, TwoWorkplacesSavingAtOnceLoseNothing)
{
    QTemporaryDir dir;
    MakeFolder(dir.path());
    constexpr int kSaves = 12;
    auto work = [&](const QString& who) {
        return [&dir, who](Workplace& self) {
            Folder f(dir.path());
            self.Await();
            for (int i = 0; i < kSaves; ++i) {
                SaveDocument(f, who);
                // A plain post between saves, outside any transaction.
                AddRecord(*f.store, {{QStringLiteral("Документ"), who + QStringLiteral(" чернова")}});
            }
        };
    };
    Workplace first(work(QStringLiteral("първо")));
    Workplace second(work(QStringLiteral("второ")));
    first.Go();
    second.Go();
    EXPECT_EQ(first.Join(), 0);
    EXPECT_EQ(second.Join(), 0);

    // Every save got a number of its own and every record is there once.
    EXPECT_EQ(Counter(dir.path()), QStringLiteral("%1").arg(1 + 2 * kSaves, 10, 10, QLatin1Char('0')));
    EXPECT_EQ(OpenTable(dir.path(), kCust)->RecordCount(), 1 + 2 * kSaves);
    auto store = OpenTable(dir.path(), kStore);
    ASSERT_EQ(store->RecordCount(), 1 + 4 * kSaves);
    std::set<QString> numbers;
    int drafts = 0;
    for (int i = 1; i <= store->RecordCount(); ++i) {
        const QString num = store->FieldByName(QStringLiteral("Num"))->TextAt(i);
        if (num.isEmpty())
            ++drafts;
        else
            numbers.insert(num);
    }
    EXPECT_EQ(drafts, 2 * kSaves);
    EXPECT_EQ(int(numbers.size()), 1 + 2 * kSaves);
    for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
        EXPECT_TRUE(f == kCust || f == kStore || f == kFirmFile) << f.toStdString();
}
