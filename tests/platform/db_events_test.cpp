// Table events and data links: when they fire, what they see, and handlers
// that move the table again from inside them.

#include "platform/db_support.h"

using namespace dbtest;

namespace {

const QString kUnit = QStringLiteral("Мярка");
const QString kDescription = QStringLiteral("Описание на стока/услуга");

std::unique_ptr<TTable> Stock(const QString& folder, int records)
{
    auto t = NewTable(folder, QStringLiteral("stock.db"), StockDefs());
    for (int i = 1; i <= records; ++i)
        AddRecord(*t, {{kUnit, QStringLiteral("м%1").arg(i)}, {kDescription, QStringLiteral("Стока %1").arg(i)}});
    return t;
}

}  // namespace

TEST(TableEvents, FireAfterTheActionWithTheTableAsSender)
{
    QTemporaryDir dir;
    auto t = Stock(dir.path(), 3);
    EventLog log;
    log.Attach(*t);
    QStringList seen;
    auto inner = t->AfterPost;
    t->AfterPost = [&](TObject* s) {
        inner(s);
        auto other = OpenTable(dir.path(), QStringLiteral("stock.db"));  // already in the file
        seen << QStringLiteral("post state=%1 rec=%2/%3 stored=%4")
                    .arg(int(t->State()))
                    .arg(t->RecNo())
                    .arg(t->RecordCount())
                    .arg(other->RecordCount());
    };
    auto innerDelete = t->AfterDelete;
    t->AfterDelete = [&](TObject* s) {
        innerDelete(s);
        seen << QStringLiteral("delete rec=%1/%2").arg(t->RecNo()).arg(t->RecordCount());
    };
    auto innerScroll = t->AfterScroll;
    t->AfterScroll = [&](TObject* s) {
        innerScroll(s);
        seen << QStringLiteral("scroll rec=%1").arg(t->RecNo());
    };

    AddRecord(*t, {{kUnit, QStringLiteral("бр.")}});
    t->SetRecNo(2);
    t->SetRecNo(2);  // not a move
    t->Delete();
    t->Edit();
    t->Cancel();
    t->Refresh();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("post state=1 rec=4/4 stored=4"), QStringLiteral("scroll rec=2"),
                                 QStringLiteral("delete rec=2/3")}));
    EXPECT_EQ(log.events, (QStringList{QStringLiteral("post"), QStringLiteral("scroll"), QStringLiteral("delete"),
                                       QStringLiteral("cancel"), QStringLiteral("refresh")}));
}

TEST(TableEvents, NestedRefreshInsideAfterDelete)
{
    QTemporaryDir dir;
    auto cust = NewTable(dir.path(), QStringLiteral("customer.db"), CustomerDefs());
    for (const char* n : {"А", "Б", "В"})
        AddRecord(*cust, {{QStringLiteral("Фирма"), QString::fromUtf8(n)}});
    auto store = Stock(dir.path(), 4);
    QStringList order;
    cust->AfterDelete = [&](TObject*) {
        order << QStringLiteral("delete");
        cust->Refresh();
        order << QStringLiteral("delete end");
    };
    cust->AfterRefresh = [&](TObject*) {
        // The customer's documents are gathered by walking another table.
        QStringList units;
        const int keep = store->RecNo();
        for (int i = 1; i <= store->RecordCount(); ++i) {
            store->SetRecNo(i);
            units << store->FieldByName(kUnit)->Text();
        }
        store->SetRecNo(keep);
        order << QStringLiteral("refresh %1 of %2: %3")
                     .arg(cust->FieldByName(QStringLiteral("Фирма"))->Text())
                     .arg(cust->RecordCount())
                     .arg(units.join(QLatin1Char(',')));
    };
    cust->SetRecNo(2);
    cust->Delete();
    EXPECT_EQ(order, (QStringList{QStringLiteral("delete"), QStringLiteral("refresh В of 2: м1,м2,м3,м4"),
                                  QStringLiteral("delete end")}));
}

TEST(TableEvents, HandlersWalkTheSameTableFromInsideItsEvents)
{
    QTemporaryDir dir;
    auto stock = Stock(dir.path(), 4);
    TDataSource source;
    source.SetDataSet(stock.get());
    ProbeLink unitEdit(kUnit);  // the goods list is filled from what bound controls show
    unitEdit.SetDataSource(&source);

    QStringList grid;
    int refills = 0;
    auto refill = [&](TObject*) {
        ++refills;
        grid.clear();
        if (stock->IsEmpty())
            return;
        const int keep = stock->RecNo();
        for (int i = 1; i <= stock->RecordCount(); ++i) {
            stock->SetRecNo(i);
            grid << unitEdit.Last();
        }
        stock->SetRecNo(keep);
    };
    stock->AfterPost = refill;
    stock->AfterCancel = refill;
    stock->AfterDelete = refill;
    stock->AfterRefresh = refill;

    stock->SetRecNo(2);
    stock->Edit();
    stock->FieldByName(kUnit)->SetText(QStringLiteral("кг"));
    stock->Post();
    EXPECT_EQ(grid, (QStringList{QStringLiteral("м1"), QStringLiteral("кг"), QStringLiteral("м3"), QStringLiteral("м4")}));
    EXPECT_EQ(stock->RecNo(), 2);
    EXPECT_EQ(unitEdit.Last(), QStringLiteral("кг"));

    AddRecord(*stock, {{kUnit, QStringLiteral("л")}});
    EXPECT_EQ(grid.size(), 5);
    EXPECT_EQ(stock->RecNo(), 5);

    // A walk that edits each record: every move posts the previous record, whose
    // handler walks the table again and comes back before the walk goes on.
    refills = 0;
    for (int i = 1; i <= stock->RecordCount(); ++i) {
        stock->SetRecNo(i);
        ASSERT_EQ(stock->RecNo(), i);
        stock->Edit();
        stock->FieldByName(kUnit)->SetText(QStringLiteral("ед%1").arg(i));
    }
    stock->Post();
    EXPECT_EQ(refills, 5);
    EXPECT_EQ(grid, (QStringList{QStringLiteral("ед1"), QStringLiteral("ед2"), QStringLiteral("ед3"), QStringLiteral("ед4"),
                                 QStringLiteral("ед5")}));
    EXPECT_EQ(stock->RecNo(), 5);

    stock->SetRecNo(1);
    stock->Delete();
    EXPECT_EQ(grid.first(), QStringLiteral("ед2"));
    EXPECT_EQ(unitEdit.Last(), QStringLiteral("ед2"));
    while (!stock->IsEmpty())
        stock->Delete();
    EXPECT_TRUE(grid.isEmpty());
}

TEST(TableLinks, FollowTheCurrentRecordSynchronously)
{
    QTemporaryDir dir;
    auto stock = Stock(dir.path(), 3);
    TDataSource main, own;  // two data sources on one table
    main.SetDataSet(stock.get());
    own.SetDataSet(stock.get());
    ProbeLink a(kUnit), b(kUnit);
    a.SetDataSource(&main);
    b.SetDataSource(&own);
    EXPECT_EQ(a.Last(), QStringLiteral("м3"));  // the last appended record
    EXPECT_TRUE(a.Active());

    stock->SetRecNo(1);
    EXPECT_EQ(a.Last(), QStringLiteral("м1"));
    stock->SetRecNo(3);
    EXPECT_EQ(a.Last(), QStringLiteral("м3"));
    EXPECT_EQ(b.Last(), QStringLiteral("м3"));
    stock->Append();
    EXPECT_EQ(a.Last(), QString());
    TField* unit = stock->FieldByName(kUnit);
    unit->SetText(QStringLiteral("кг"));
    EXPECT_EQ(a.changedFields, std::vector<TField*>{unit});
    stock->Post();
    EXPECT_EQ(b.Last(), QStringLiteral("кг"));
    stock->SetRecNo(2);
    stock->Delete();
    EXPECT_EQ(a.Last(), QStringLiteral("м3"));

    main.SetEnabled(false);  // detaches a: it shows nothing and hears nothing
    EXPECT_EQ(a.Last(), QStringLiteral("<none>"));
    EXPECT_FALSE(a.Active());
    const int heard = a.records;
    stock->First();
    stock->Refresh();
    EXPECT_EQ(a.records, heard);
    EXPECT_EQ(b.Last(), QStringLiteral("м1"));
    main.SetEnabled(true);
    EXPECT_EQ(a.Last(), QStringLiteral("м1"));

    b.SetDataSource(nullptr);
    EXPECT_EQ(b.Last(), QStringLiteral("<none>"));
    const int heardB = b.records;
    stock->Last();
    EXPECT_EQ(b.records, heardB);
    b.SetDataSource(&own);
    EXPECT_EQ(b.Last(), QStringLiteral("кг"));

    auto other = NewTable(dir.path(), QStringLiteral("customer.db"), CustomerDefs());
    AddRecord(*other, {{QStringLiteral("Фирма"), QStringLiteral("Клиент")}});
    own.SetDataSet(other.get());
    b.fieldName = QStringLiteral("Фирма");
    own.SetDataSet(nullptr);
    own.SetDataSet(other.get());
    EXPECT_EQ(b.Last(), QStringLiteral("Клиент"));
    stock->Close();
    EXPECT_EQ(a.Last(), QStringLiteral("<none>"));
    EXPECT_EQ(b.Last(), QStringLiteral("Клиент"));
}

TEST(TableLinks, UpdateDataWritesPendingTextJustBeforeTheRecord)
{
    QTemporaryDir dir;
    auto stock = Stock(dir.path(), 1);
    TDataSource source;
    source.SetDataSet(stock.get());
    ProbeLink memo(kDescription), other(kUnit);
    memo.SetDataSource(&source);
    other.SetDataSource(&source);
    QString pending;  // the memo control's text, set by code while appending
    memo.onUpdate = [&] { stock->FieldByName(kDescription)->SetAsMemo(pending); };

    stock->Append();
    stock->FieldByName(kUnit)->SetText(QStringLiteral("бр."));
    pending = QStringLiteral("Нова стока\r\n");
    EXPECT_EQ(memo.updates, 0);
    stock->Post();
    EXPECT_EQ(memo.updates, 1);
    EXPECT_EQ(other.updates, 1);
    EXPECT_EQ(stock->FieldByName(kDescription)->AsMemo(), QStringLiteral("Нова стока\r\n"));
    // Code's writes are told to the links; a control's own write at post is not.
    EXPECT_EQ(other.changedFields, std::vector<TField*>{stock->FieldByName(kUnit)});
    stock->Post();
    stock->First();
    EXPECT_EQ(memo.updates, 1);

    stock->Edit();
    pending = QStringLiteral("Променена");
    stock->Last();  // the automatic post asks the controls too
    EXPECT_EQ(memo.updates, 2);
    EXPECT_EQ(stock->FieldByName(kDescription)->TextAt(1), QStringLiteral("(MEMO)"));
    stock->First();
    EXPECT_EQ(stock->FieldByName(kDescription)->AsMemo(), QStringLiteral("Променена"));
}

TEST(TableLinks, EditPutsTheTableIntoEditStateWhenAllowed)
{
    QTemporaryDir dir;
    auto stock = Stock(dir.path(), 0);
    TDataSource source;
    source.SetDataSet(stock.get());
    ProbeLink link(kUnit);
    EXPECT_FALSE(link.Edit());  // detached
    link.SetDataSource(&source);
    EXPECT_FALSE(link.Edit());  // empty table
    EXPECT_EQ(stock->State(), TDataSetState::dsBrowse);
    AddRecord(*stock, {{kUnit, QStringLiteral("бр.")}});
    source.AutoEdit = false;
    EXPECT_FALSE(link.Edit());
    EXPECT_EQ(stock->State(), TDataSetState::dsBrowse);
    source.AutoEdit = true;
    const int states = link.states;
    EXPECT_TRUE(link.Edit());
    EXPECT_EQ(stock->State(), TDataSetState::dsEdit);
    EXPECT_EQ(link.states, states + 1);
    EXPECT_EQ(link.Field(QStringLiteral("мярка")), stock->FieldByName(kUnit));
    source.SetEnabled(false);
    EXPECT_EQ(link.Field(kUnit), nullptr);
    EXPECT_FALSE(link.Edit());
}

TEST(TableLinks, HandlersMayMoveTheTableAndDetachOtherLinks)
{
    QTemporaryDir dir;
    auto stock = Stock(dir.path(), 3);
    TDataSource source;
    source.SetDataSet(stock.get());
    ProbeLink mover(kUnit), watcher(kUnit);
    auto doomed = std::make_unique<ProbeLink>(kUnit);
    auto detached = std::make_unique<ProbeLink>(kUnit);
    mover.SetDataSource(&source);
    doomed->SetDataSource(&source);
    detached->SetDataSource(&source);
    watcher.SetDataSource(&source);

    // A control that refuses record 1 and moves on, dropping two others as it goes.
    mover.onRecord = [&] {
        if (stock->Active() && stock->RecNo() == 1) {
            doomed.reset();
            detached->SetDataSource(nullptr);
            stock->SetRecNo(2);
        }
    };
    const int detachedHeard = detached->records;
    stock->SetRecNo(1);
    EXPECT_EQ(stock->RecNo(), 2);
    EXPECT_EQ(mover.Last(), QStringLiteral("м2"));
    EXPECT_EQ(watcher.Last(), QStringLiteral("м2"));
    EXPECT_EQ(detached->records, detachedHeard + 1);  // only its own detaching
    EXPECT_EQ(detached->Last(), QStringLiteral("<none>"));

    // A data source destroyed by a handler is not called either.
    auto second = std::make_unique<TDataSource>();
    second->SetDataSet(stock.get());
    ProbeLink late(kUnit);
    late.SetDataSource(second.get());
    watcher.onRecord = [&] { second.reset(); };
    const int lateHeard = late.records;
    stock->SetRecNo(3);
    EXPECT_EQ(late.records, lateHeard);
    EXPECT_EQ(late.DataSource(), nullptr);
    EXPECT_EQ(mover.Last(), QStringLiteral("м3"));
}
