// Record numbers: positions in insertion order through append, post, delete,
// refresh and navigation.

#include "platform/db_support.h"

using namespace dbtest;

namespace {

const QString kFirm = QStringLiteral("Фирма");

std::unique_ptr<TTable> Customers(const QString& folder, std::initializer_list<const char*> names)
{
    auto t = NewTable(folder, QStringLiteral("customer.db"), CustomerDefs());
    for (const char* n : names)
        AddRecord(*t, {{kFirm, QString::fromUtf8(n)}});
    return t;
}

QString Current(const TTable& t) { return t.FieldByName(kFirm)->Text(); }

}  // namespace

TEST(TableRecords, EmptyTableHasNoRecordToMoveTo)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {});
    EXPECT_TRUE(t->IsEmpty());
    EXPECT_EQ(t->RecordCount(), 0);
    EXPECT_EQ(t->RecNo(), 0);
    t->SetRecNo(1);  // no effect, no error
    t->SetRecNo(0);
    t->SetRecNo(t->RecordCount());
    EXPECT_EQ(t->RecNo(), 0);
    t->First();
    t->Next();
    EXPECT_TRUE(t->Eof());
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(Current(*t), QString());
    EXPECT_THROW(t->Delete(), EDatabaseError);
}

TEST(TableRecords, NumbersFollowAppendPostAndDelete)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {});
    for (const char* n : {"А", "Б", "В", "Г"}) {
        t->Append();
        EXPECT_EQ(t->RecNo(), t->RecordCount() + 1);
        EXPECT_FALSE(t->IsEmpty());
        t->FieldByName(kFirm)->SetText(QString::fromUtf8(n));
        t->Post();
        EXPECT_EQ(t->RecNo(), t->RecordCount());  // stands on the saved record
        EXPECT_EQ(Current(*t), QString::fromUtf8(n));
    }
    EXPECT_THROW(t->SetRecNo(0), EDatabaseError);
    EXPECT_THROW(t->SetRecNo(5), EDatabaseError);
    EXPECT_EQ(t->RecNo(), 4);

    t->SetRecNo(2);
    EXPECT_EQ(Current(*t), QStringLiteral("Б"));
    t->Delete();  // later records shift by one; the next takes the current place
    EXPECT_EQ(t->RecordCount(), 3);
    EXPECT_EQ(t->RecNo(), 2);
    EXPECT_EQ(Current(*t), QStringLiteral("В"));
    t->Last();
    t->Delete();  // the last one: the new last becomes current
    EXPECT_EQ(t->RecNo(), 2);
    EXPECT_EQ(Current(*t), QStringLiteral("В"));
    EXPECT_EQ(Column(*t, kFirm), (QStringList{QStringLiteral("А"), QStringLiteral("В")}));

    // New records go to the end also after the last one was deleted.
    AddRecord(*t, {{kFirm, QStringLiteral("Д")}});
    t->First();
    t->Delete();
    AddRecord(*t, {{kFirm, QStringLiteral("Е")}});
    t->Insert();  // appends as well
    t->FieldByName(kFirm)->SetText(QStringLiteral("Ж"));
    t->Post();
    EXPECT_EQ(Column(*t, kFirm), (QStringList{QStringLiteral("В"), QStringLiteral("Д"), QStringLiteral("Е"), QStringLiteral("Ж")}));
    EXPECT_EQ(t->RecNo(), 4);

    t->Close();
    t->Open();
    EXPECT_EQ(Column(*t, kFirm), (QStringList{QStringLiteral("В"), QStringLiteral("Д"), QStringLiteral("Е"), QStringLiteral("Ж")}));
    while (!t->IsEmpty())
        t->Delete();
    EXPECT_EQ(t->RecNo(), 0);
    EXPECT_EQ(Current(*t), QString());
}

TEST(TableRecords, NavigationAndEofBof)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {"А", "Б", "В"});
    QStringList seen;
    for (t->First(); !t->Eof(); t->Next())
        seen << Current(*t);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")}));
    EXPECT_EQ(t->RecNo(), 3);
    seen.clear();
    for (t->Last(); !t->Bof(); t->Prior())
        seen << Current(*t);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("В"), QStringLiteral("Б"), QStringLiteral("А")}));
    EXPECT_EQ(t->RecNo(), 1);
    t->SetRecNo(2);
    EXPECT_FALSE(t->Bof());
    EXPECT_FALSE(t->Eof());
}

TEST(TableRecords, RefreshRereadsAndStaysOnTheCurrentRecord)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {"А", "Б", "В", "Г"});
    t->SetRecNo(3);
    // Another workplace changes the file.
    auto other = OpenTable(dir.path(), QStringLiteral("customer.db"));
    other->SetRecNo(1);
    other->Delete();
    AddRecord(*other, {{kFirm, QStringLiteral("Д")}});
    other->SetRecNo(2);
    other->Edit();
    other->FieldByName(kFirm)->SetText(QStringLiteral("В*"));
    other->Post();

    EXPECT_EQ(t->RecordCount(), 4);  // not seen before a refresh
    t->Refresh();
    EXPECT_EQ(t->RecordCount(), 4);
    EXPECT_EQ(Current(*t), QStringLiteral("В*"));
    EXPECT_EQ(t->RecNo(), 2);
    EXPECT_EQ(Column(*t, kFirm), (QStringList{QStringLiteral("Б"), QStringLiteral("В*"), QStringLiteral("Г"), QStringLiteral("Д")}));

    // The current record itself gone: the position is kept, within the table.
    t->Last();
    other->Last();
    other->Delete();
    other->Last();
    other->Delete();
    t->Refresh();
    EXPECT_EQ(t->RecNo(), 2);
    EXPECT_EQ(Current(*t), QStringLiteral("В*"));
}

TEST(TableRecords, LargeTableKeepsValuesRightAcrossChanges)
{
    // More records than are fetched at a time, so that changes cross those blocks.
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {});
    {
        TDatabaseTransaction tx({t.get()});
        for (int i = 1; i <= 700; ++i) {
            t->Append();
            t->FieldByName(kFirm)->SetText(QStringLiteral("Фирма %1").arg(i));
            t->FieldByName(QStringLiteral("Клиент №"))->SetText(QString::number(i));
            t->Post();
        }
        tx.Commit();
    }
    EXPECT_EQ(t->RecordCount(), 700);
    TField* firm = t->FieldByName(kFirm);
    TField* number = t->FieldByName(QStringLiteral("Клиент №"));
    for (int i = 700; i >= 1; i -= 7) {
        t->SetRecNo(i);
        ASSERT_EQ(firm->Text(), QStringLiteral("Фирма %1").arg(i));
    }
    t->SetRecNo(300);
    t->Edit();
    firm->SetText(QStringLiteral("Променена"));
    t->Post();
    t->SetRecNo(256);
    t->Delete();
    t->SetRecNo(1);
    t->Delete();
    EXPECT_EQ(t->RecordCount(), 698);
    for (int i = 1; i <= t->RecordCount(); ++i) {
        t->SetRecNo(i);
        const int original = i < 255 ? i + 1 : i + 2;
        ASSERT_EQ(number->AsFloat(), original) << i;
        ASSERT_EQ(firm->Text(), original == 300 ? QStringLiteral("Променена") : QStringLiteral("Фирма %1").arg(original)) << i;
    }
}

TEST(TableRecords, ColumnTextsReadsEveryRecordOrTheMatchingOnesInOrder)
{
    QTemporaryDir dir;
    auto t = Customers(dir.path(), {"Алфа", "Бета", "Алфа", ""});
    TField* firm = t->FieldByName(kFirm);
    TField* vat = t->FieldByName(QStringLiteral("ИН по ЗДДС"));
    t->SetRecNo(3);
    t->Edit();
    vat->SetText(QStringLiteral("BG3"));
    t->Post();

    const auto all = t->ColumnTexts({firm, vat});
    EXPECT_EQ(all.RecNos, std::vector<int>({1, 2, 3, 4}));
    EXPECT_EQ(all.Texts[0], std::vector<QString>({"Алфа", "Бета", "Алфа", ""}));
    EXPECT_EQ(all.Texts[1][2], QStringLiteral("BG3"));

    EXPECT_EQ(t->ColumnTexts({vat}, firm, QStringLiteral("Алфа")).RecNos, std::vector<int>({1, 3}));
    EXPECT_EQ(t->ColumnTexts({vat}, firm, QString()).RecNos, std::vector<int>({4}));  // empty matches empty
    EXPECT_TRUE(t->ColumnTexts({vat}, firm, QStringLiteral("алфа")).RecNos.empty());  // exact text

    // A pending change reads as the record shows it.
    t->SetRecNo(2);
    t->Edit();
    firm->SetText(QStringLiteral("Алфа"));
    const auto pending = t->ColumnTexts({firm}, firm, QStringLiteral("Алфа"));
    EXPECT_EQ(pending.RecNos, std::vector<int>({1, 2, 3}));
    EXPECT_EQ(t->RecNo(), 2);
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
}
