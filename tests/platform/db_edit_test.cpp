// Edit states: edit, append, post, cancel, and the automatic post or drop when
// the current record moves.

#include "platform/db_support.h"

using namespace dbtest;

namespace {

const QString kFirm = QStringLiteral("Фирма");
const QString kNumber = QStringLiteral("Клиент №");

std::unique_ptr<TTable> Customers(const QString& folder, std::initializer_list<const char*> names)
{
    auto t = NewTable(folder, QStringLiteral("customer.db"), CustomerDefs());
    for (const char* n : names)
        AddRecord(*t, {{kFirm, QString::fromUtf8(n)}});
    return t;
}

// What another workplace would read from the file now.
QStringList Stored(const QString& folder)
{
    auto t = OpenTable(folder, QStringLiteral("customer.db"));
    return Column(*t, kFirm);
}

}  // namespace

TEST(TableEditing, EditOnEmptyTableAndRepeatedCallsDoNothing)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {});
    EventLog log;
    log.Attach(*t);
    t->Edit();
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
    t->Post();
    t->Cancel();
    EXPECT_EQ(t->RecordCount(), 0);
    EXPECT_TRUE(log.events.isEmpty());

    AddRecord(*t, {{kFirm, QStringLiteral("А")}});
    log.events.clear();
    t->Edit();
    t->FieldByName(kFirm)->SetText(QStringLiteral("А2"));
    t->Edit();  // already editing: the pending change stays
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    EXPECT_EQ(t->FieldByName(kFirm)->Text(), QStringLiteral("А2"));
    t->Append();  // posts the edit first
    t->Edit();    // appending: no effect
    EXPECT_EQ(t->State(), TDataSetState::dsInsert);
    t->Cancel();
    t->Cancel();  // browse: no effect
    t->Post();    // browse: no effect
    EXPECT_EQ(log.events, (QStringList{QStringLiteral("post"), QStringLiteral("cancel")}));
    EXPECT_EQ(Stored(dir.path()), QStringList{QStringLiteral("А2")});
}

TEST(TableEditing, CancelRestoresTheStoredRecord)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {"А", "Б"});
    t->SetRecNo(1);
    t->Edit();
    t->FieldByName(kFirm)->SetText(QStringLiteral("X"));
    EXPECT_TRUE(t->Modified());
    t->Cancel();
    EXPECT_FALSE(t->Modified());
    EXPECT_EQ(t->FieldByName(kFirm)->Text(), QStringLiteral("А"));
    t->Append();
    t->FieldByName(kFirm)->SetText(QStringLiteral("В"));
    t->Cancel();
    EXPECT_EQ(t->RecordCount(), 2);
    EXPECT_EQ(t->RecNo(), 1);  // back where it stood
    EXPECT_EQ(t->FieldByName(kFirm)->Text(), QStringLiteral("А"));
    // Deleting while appending only drops the new record.
    t->Append();
    t->Delete();
    EXPECT_EQ(Stored(dir.path()), (QStringList{QStringLiteral("А"), QStringLiteral("Б")}));
}

TEST(TableEditing, MovingPostsThePendingChange)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {"А", "Б", "В"});
    EventLog log;
    log.Attach(*t);
    const std::vector<std::pair<const char*, std::function<void()>>> moves = {
        {"RecNo", [&] { t->SetRecNo(2); }}, {"First", [&] { t->First(); }},   {"Next", [&] { t->Next(); }},
        {"Prior", [&] { t->Prior(); }},     {"Last", [&] { t->Last(); }},     {"Refresh", [&] { t->Refresh(); }},
        {"Append", [&] { t->Append(); }},   {"same RecNo", [&] { t->SetRecNo(t->RecNo()); }},
    };
    int n = 0;
    for (const auto& [name, move] : moves) {
        SCOPED_TRACE(name);
        t->Cancel();
        t->SetRecNo(n % 3 + 1);
        const int rec = t->RecNo();
        log.events.clear();
        t->Edit();
        const QString text = QStringLiteral("ред %1").arg(++n);
        t->FieldByName(kFirm)->SetText(text);
        move();
        ASSERT_FALSE(log.events.isEmpty());
        EXPECT_EQ(log.events.first(), QStringLiteral("post"));
        EXPECT_EQ(log.Count(QStringLiteral("post")), 1);
        EXPECT_EQ(Stored(dir.path())[rec - 1], text);
    }
    EXPECT_EQ(t->RecordCount(), 3);
}

TEST(TableEditing, UntouchedAppendIsDroppedWhenMoving)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {"А", "Б"});
    EventLog log;
    log.Attach(*t);
    t->Append();
    t->SetRecNo(1);
    EXPECT_EQ(t->RecordCount(), 2);
    EXPECT_EQ(t->RecNo(), 1);
    EXPECT_EQ(log.Count(QStringLiteral("post")), 0);
    t->Append();
    t->Append();  // the first new record is dropped, the second one stays pending
    t->Next();
    EXPECT_EQ(t->RecordCount(), 2);
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);

    // A record that something was written to is kept, even an empty text.
    t->Append();
    t->FieldByName(kFirm)->SetText(QString());
    t->First();
    EXPECT_EQ(t->RecordCount(), 3);
    // An explicit post keeps a new record as it is: both company tables rely on it.
    t->Append();
    t->Post();
    EXPECT_EQ(t->RecordCount(), 4);
    EXPECT_EQ(Stored(dir.path()), (QStringList{QStringLiteral("А"), QStringLiteral("Б"), QString(), QString()}));
    EXPECT_EQ(log.Count(QStringLiteral("post")), 2);
}

TEST(TableEditing, FailedConversionAtPostKeepsEditState)
{
    LocaleGuard locale;
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {"А"});
    TDataSource source;
    source.SetDataSet(t.get());
    ProbeLink control(kNumber);
    control.SetDataSource(&source);
    QString typed = QStringLiteral("12а");  // what the user typed into the bound edit
    control.onUpdate = [&] { t->FieldByName(kNumber)->SetText(typed); };
    EventLog log;
    log.Attach(*t);

    t->Edit();
    t->FieldByName(kFirm)->SetText(QStringLiteral("А2"));
    EXPECT_THROW(t->Post(), EConvertError);
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    EXPECT_EQ(t->FieldByName(kFirm)->Text(), QStringLiteral("А2"));
    EXPECT_EQ(Stored(dir.path()), QStringList{QStringLiteral("А")});
    // The automatic post of a move fails the same way and does not move.
    EXPECT_THROW(t->Append(), EConvertError);
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    EXPECT_TRUE(log.events.isEmpty());

    typed = QStringLiteral("12,5");
    t->Post();
    EXPECT_EQ(t->FieldByName(kNumber)->Text(), QStringLiteral("12,5"));
    EXPECT_EQ(Stored(dir.path()), QStringList{QStringLiteral("А2")});
    EXPECT_EQ(log.events, QStringList{QStringLiteral("post")});
}
