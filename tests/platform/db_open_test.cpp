// Table files: creating, opening, and the ways opening fails.

#include "platform/db_support.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

using namespace dbtest;

namespace {

QString Closed(const QString& file)
{
    return QStringLiteral("Таблица „%1“ не е отворена.\nИзберете работно място с данни или стартирайте програмата "
                          "отново.")
        .arg(file);
}

QString Damaged(const QString& file)
{
    return QStringLiteral("Таблица „%1“ е повредена.\nВъзстановете я от резервно копие.").arg(file);
}

template <class F>
QString ErrorOf(F&& f)
{
    try {
        f();
    } catch (const EDatabaseError& e) {
        return e.Message;
    } catch (const Exception& e) {
        return QStringLiteral("other exception: ") + e.Message;
    }
    return QStringLiteral("no exception");
}

void RawExec(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

}  // namespace

TEST(TableFile, CreatedTableReopensWithTheSameFieldsAndValues)
{
    LocaleGuard locale;
    QTemporaryDir dir;
    const std::vector<Def> defs = {
        {QStringLiteral("Клиент №"), TFieldType::ftFloat, 0},
        {QStringLiteral("Дата на д.с.?"), TFieldType::ftBoolean, 0},
        {QStringLiteral("Стойност /общо/"), TFieldType::ftString, 255},
        {QStringLiteral("Resp.Person"), TFieldType::ftString, 255},
        {QStringLiteral("Place of publishment"), TFieldType::ftString, 255},
        {QStringLiteral("Име \"в кавички\""), TFieldType::ftString, 10},
        {QStringLiteral("Цена"), TFieldType::ftCurrency, 0},
        {QStringLiteral("Стоки и Услуги"), TFieldType::ftMemo, 240},
        {QStringLiteral("logo"), TFieldType::ftGraphic, 2},
    };
    {
        auto t = NewTable(dir.path(), QStringLiteral("Store.DB"), defs);
        EXPECT_TRUE(t->IsEmpty());
        t->Append();
        t->FieldByName(QStringLiteral("Клиент №"))->SetText(QStringLiteral("7"));
        t->FieldByName(QStringLiteral("Дата на д.с.?"))->SetText(QStringLiteral("True"));
        t->FieldByName(QStringLiteral("Стойност /общо/"))->SetText(QStringLiteral("1 234,50 лв."));
        t->FieldByName(QStringLiteral("Име \"в кавички\""))->SetText(QStringLiteral("x\"y"));
        t->FieldByName(QStringLiteral("Цена"))->SetText(QStringLiteral("12,5"));
        t->FieldByName(QStringLiteral("Стоки и Услуги"))->SetAsMemo(QStringLiteral("ред 1\r\nред 2\r\n"));
        t->FieldByName(QStringLiteral("logo"))->SetAsBytes(QByteArray("\x89PNG\0\x01", 6));
        t->Post();
    }
    // Only the table file stays in the folder, under its exact name.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Store.DB")});

    auto t = OpenTable(dir.path(), QStringLiteral("Store.DB"));
    ASSERT_EQ(t->FieldCount(), int(defs.size()));
    ASSERT_EQ(t->FieldDefs().Count(), int(defs.size()));
    for (int i = 0; i < t->FieldCount(); ++i) {
        SCOPED_TRACE(defs[size_t(i)].name.toStdString());
        EXPECT_EQ(t->Fields(i)->FieldName(), defs[size_t(i)].name);
        EXPECT_EQ(t->Fields(i)->DataType(), defs[size_t(i)].type);
        EXPECT_EQ(t->Fields(i)->Size(), defs[size_t(i)].size);
        EXPECT_EQ(t->Fields(i)->Index(), i);
        EXPECT_EQ(t->FieldDefs().Items(i).Name, defs[size_t(i)].name);
        EXPECT_EQ(t->FieldDefs().Items(i).DataType, defs[size_t(i)].type);
    }
    EXPECT_EQ(t->RecordCount(), 1);
    EXPECT_EQ(t->RecNo(), 1);
    EXPECT_EQ(t->Fields(0)->Text(), QStringLiteral("7"));
    EXPECT_EQ(t->Fields(1)->Text(), QStringLiteral("True"));
    EXPECT_EQ(t->Fields(2)->Text(), QStringLiteral("1 234,50 лв."));
    EXPECT_EQ(t->Fields(3)->Text(), QString());
    EXPECT_EQ(t->Fields(5)->Text(), QStringLiteral("x\"y"));
    EXPECT_EQ(t->Fields(6)->Text(), QStringLiteral("12,5"));
    EXPECT_EQ(t->Fields(7)->AsMemo(), QStringLiteral("ред 1\r\nред 2\r\n"));
    EXPECT_EQ(t->Fields(8)->AsBytes(), QByteArray("\x89PNG\0\x01", 6));
}

TEST(TableFile, CreateTableRefusesBadDefinitionsAndReplacesOldFiles)
{
    QTemporaryDir dir;
    TTable t;
    t.SetDatabaseName(dir.path());
    t.SetTableName(QStringLiteral("ae.db"));
    EXPECT_THROW(t.CreateTable(), EDatabaseError);  // no fields
    t.FieldDefs().Add(QStringLiteral("VOP"), TFieldType::ftString, 10);
    EXPECT_THROW(t.FieldDefs().Add(QStringLiteral("vop"), TFieldType::ftString, 10), EDatabaseError);
    EXPECT_EQ(t.FieldDefs().Count(), 1);

    TTable missing;
    missing.SetDatabaseName(dir.filePath(QStringLiteral("no such folder")));
    missing.SetTableName(QStringLiteral("ae.db"));
    missing.FieldDefs().Add(QStringLiteral("VOP"), TFieldType::ftString, 10);
    const QString msg = ErrorOf([&] { missing.CreateTable(); });
    EXPECT_TRUE(msg.contains(QStringLiteral("„ae.db“"))) << msg.toStdString();
    EXPECT_FALSE(msg.contains(dir.path())) << msg.toStdString();

    t.CreateTable();
    t.Open();
    AddRecord(t, {{QStringLiteral("VOP"), QStringLiteral("0000000004")}});
    EXPECT_THROW(t.CreateTable(), EDatabaseError);  // open
    EXPECT_THROW(t.SetTableName(QStringLiteral("x.db")), EDatabaseError);
    EXPECT_THROW(t.SetDatabaseName(QStringLiteral("/")), EDatabaseError);
    t.Close();
    t.CreateTable();  // a new empty file in place of the old one
    t.Open();
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST(TableFile, OpenFailuresRaiseNamingTheFile)
{
    QTemporaryDir dir;
    CreateFile(dir.path(), QStringLiteral("Store.DB"), CustomerDefs());
    {
        QFile text(dir.filePath(QStringLiteral("customer.db")));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("Клиент;Адрес\r\nНякой;София\r\n" + QByteArray(200, 'x'));
    }
    QFile(dir.filePath(QStringLiteral("empty.db"))).open(QIODevice::WriteOnly);
    QDir(dir.path()).mkdir(QStringLiteral("Firm.db"));
    RawExec(dir.filePath(QStringLiteral("foreign.db")), "CREATE TABLE t(a); INSERT INTO t VALUES(1);");

    for (const QString& file : {QStringLiteral("store.db"), QStringLiteral("nothing.db"), QStringLiteral("customer.db"),
                                QStringLiteral("empty.db"), QStringLiteral("Firm.db"), QStringLiteral("foreign.db")}) {
        SCOPED_TRACE(file.toStdString());
        TTable t;
        t.SetDatabaseName(dir.path());
        t.SetTableName(file);
        const QString msg = ErrorOf([&] { t.Open(); });
        EXPECT_TRUE(msg.contains(QStringLiteral("„%1“").arg(file))) << msg.toStdString();
        EXPECT_FALSE(msg.contains(dir.path())) << msg.toStdString();
        EXPECT_FALSE(t.Active());
        EXPECT_EQ(t.State(), TDataSetState::dsInactive);
        EXPECT_EQ(ErrorOf([&] { t.RecordCount(); }), Closed(file));
    }
    // The foreign files are left as they were.
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("empty.db"))).size(), 0);
}

TEST(TableFile, LockedFileRaisesUntilTheLockEnds)
{
    QTemporaryDir dir;
    CreateFile(dir.path(), QStringLiteral("customer.db"), CustomerDefs());
    const QString path = dir.filePath(QStringLiteral("customer.db"));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    TTable t;
    t.SetDatabaseName(dir.path());
    t.SetTableName(QStringLiteral("customer.db"));
    const QString msg = ErrorOf([&] { t.Open(); });
    EXPECT_EQ(msg, QStringLiteral("Таблица „customer.db“ е заета от друго работно място.\nИзчакайте малко и опитайте "
                                  "отново."));
    EXPECT_FALSE(t.Active());

    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    t.Open();
    EXPECT_TRUE(t.Active());
}

TEST(TableFile, ClosedTableRefusesDataOperations)
{
    QTemporaryDir dir;
    auto t = NewTable(dir.path(), QStringLiteral("customer.db"), CustomerDefs());
    AddRecord(*t, {{QStringLiteral("Фирма"), QStringLiteral("А")}});
    TField* firm = t->FieldByName(QStringLiteral("Фирма"));
    t->Close();
    t->Close();  // twice is harmless

    const std::vector<std::pair<const char*, std::function<void()>>> ops = {
        {"RecordCount", [&] { t->RecordCount(); }}, {"RecNo", [&] { t->RecNo(); }},
        {"SetRecNo", [&] { t->SetRecNo(1); }},      {"First", [&] { t->First(); }},
        {"Next", [&] { t->Next(); }},               {"Last", [&] { t->Last(); }},
        {"Prior", [&] { t->Prior(); }},             {"Append", [&] { t->Append(); }},
        {"Edit", [&] { t->Edit(); }},               {"Post", [&] { t->Post(); }},
        {"Cancel", [&] { t->Cancel(); }},           {"Delete", [&] { t->Delete(); }},
        {"Refresh", [&] { t->Refresh(); }},         {"Text", [&] { firm->Text(); }},
        {"SetText", [&] { firm->SetText(QStringLiteral("Б")); }},
    };
    for (const auto& [name, op] : ops)
        EXPECT_EQ(ErrorOf(op), Closed(QStringLiteral("customer.db"))) << name;
    EXPECT_TRUE(t->IsEmpty());
    EXPECT_EQ(t->State(), TDataSetState::dsInactive);
    EXPECT_EQ(ErrorOf([&] { t->FieldByName(QStringLiteral("Фирма")); }),
              QStringLiteral("Полето „Фирма“ липсва в таблица „customer.db“.\nИзберете папката, в която са данните на "
                             "програмата."));

    t->Open();  // the field object comes back
    EXPECT_EQ(t->FieldByName(QStringLiteral("фирма")), firm);
    EXPECT_EQ(firm->Text(), QStringLiteral("А"));
}

TEST(TableFile, OpeningAndClosingFireNoEventsButTellTheLinks)
{
    QTemporaryDir dir;
    {
        auto t = NewTable(dir.path(), QStringLiteral("stock.db"), StockDefs());
        AddRecord(*t, {{QStringLiteral("Мярка"), QStringLiteral("бр.")}});
        AddRecord(*t, {{QStringLiteral("Мярка"), QStringLiteral("кг")}});
    }
    TTable t;
    t.SetDatabaseName(dir.path());
    t.SetTableName(QStringLiteral("stock.db"));
    EventLog log;
    log.Attach(t);
    TDataSource source;
    source.SetDataSet(&t);
    ProbeLink link(QStringLiteral("Мярка"));
    link.SetDataSource(&source);
    EXPECT_EQ(link.Last(), QStringLiteral("<none>"));

    t.Open();
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_EQ(link.Last(), QStringLiteral("бр."));
    EXPECT_TRUE(t.Bof());
    EXPECT_FALSE(t.Eof());
    t.Close();
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_EQ(link.Last(), QStringLiteral("<none>"));
    EXPECT_FALSE(link.Active());
}

TEST(TableFile, AFieldThatIsNoColumnOfTheFileIsDamage)
{
    QTemporaryDir dir;
    auto t = NewTable(dir.path(), QStringLiteral("customer.db"), CustomerDefs());
    AddRecord(*t, {{QStringLiteral("Фирма"), QStringLiteral("Фирма ООД")}, {QStringLiteral("Адрес"), QStringLiteral("София")}});
    t->Close();
    const QString path = t->FilePath();
    // The field list names "Адрес"; the records hold it under another name.
    RawExec(path, "ALTER TABLE records RENAME COLUMN \"Адрес\" TO \"Адрес2\"");
    EXPECT_EQ(ErrorOf([&] { t->Open(); }), Damaged(QStringLiteral("customer.db")));
    EXPECT_FALSE(t->Active());
    RawExec(path, "ALTER TABLE records RENAME COLUMN \"Адрес2\" TO \"адрес\"");  // letter case differs
    EXPECT_EQ(ErrorOf([&] { t->Open(); }), Damaged(QStringLiteral("customer.db")));
    RawExec(path, "ALTER TABLE records RENAME COLUMN \"адрес\" TO \"Адрес\"");
    t->Open();
    EXPECT_EQ(t->FieldByName(QStringLiteral("Адрес"))->Text(), QStringLiteral("София"));
}

TEST(TableFile, CreateTableIgnoresTheJournalOfAFileKilledWhileWriting)
{
    for (const bool oldFileLeft : {false, true}) {
        SCOPED_TRACE(oldFileLeft ? "old file still there" : "old file deleted");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ae.db"));
        {
            auto old = NewTable(dir.path(), QStringLiteral("ae.db"), CustomerDefs());
            for (int i = 0; i < 40; ++i)
                AddRecord(*old, {{QStringLiteral("Фирма"), QString(3000, QLatin1Char('a' + i % 26))}});
        }
        // A writer's journal as a kill in the middle of its commit leaves it:
        // synced, with the file already partly overwritten.
        {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(db,
                                   "PRAGMA cache_size=1; BEGIN; UPDATE records SET \"Адрес\"=hex(randomblob(2000));"
                                   "DELETE FROM records WHERE \"__row\">20;",
                                   nullptr, nullptr, nullptr),
                      SQLITE_OK);
            ASSERT_TRUE(QFile::copy(path + QStringLiteral("-journal"), dir.filePath(QStringLiteral("hot"))));
            if (oldFileLeft) {
                ASSERT_TRUE(QFile::copy(path, dir.filePath(QStringLiteral("torn"))));
            }
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        ASSERT_TRUE(QFile::remove(path));
        if (oldFileLeft) {
            ASSERT_TRUE(QFile::rename(dir.filePath(QStringLiteral("torn")), path));
        }
        ASSERT_TRUE(QFile::rename(dir.filePath(QStringLiteral("hot")), path + QStringLiteral("-journal")));

        TTable t;
        t.SetDatabaseName(dir.path());
        t.SetTableName(QStringLiteral("ae.db"));
        t.FieldDefs().Add(QStringLiteral("VOP"), TFieldType::ftString, 10);
        t.CreateTable();
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal")));
        t.Open();
        EXPECT_EQ(t.FieldCount(), 1);
        EXPECT_EQ(t.RecordCount(), 0);
        AddRecord(t, {{QStringLiteral("VOP"), QStringLiteral("0000000001")}});
        t.Close();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        sqlite3_stmt* check = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
        sqlite3_finalize(check);
        sqlite3_close(db);
    }
}
