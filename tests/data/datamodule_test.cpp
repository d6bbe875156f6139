// The data module's tables: the goods table's fields are fixed before opening.
#include "data/datamodule.h"
#include "data/tables.h"
#include "support/test_env.h"
#include "support/workplace.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A data folder as shipped, with stock.db made from other field definitions.
void MakeFolderWithStock(const QString& folder, std::vector<FieldDefinition> stockFields)
{
    CreateShippedTables(folder);
    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("/stock.db")));
    TableDefinition stock = TableDefinitionOf(QStringLiteral("stock"));
    stock.fields = std::move(stockFields);
    CreateTableFile(folder, stock);
}

// Appends one own company with its English twin, both in one write, as
// "Фирмени детайли" stores a new company.
void AddCompanyPair(TTable* firm, TTable* ae, const QString& name, const QString& english)
{
    TDatabaseTransaction tx({firm, ae});
    firm->Append();
    firm->FieldByName(QStringLiteral("ДОСТАВЧИК"))->SetText(name);
    firm->Post();
    ae->Append();
    ae->FieldByName(QStringLiteral("Supplier"))->SetText(english);
    ae->Post();
    tx.Commit();
}

QStringList EnglishNames(const QString& file)
{
    TTable t;
    t.SetDatabaseName(QFileInfo(file).absolutePath());
    t.SetTableName(QFileInfo(file).fileName());
    t.Open();
    QStringList names;
    for (int i = 1; i <= t.RecordCount(); ++i)
        names << t.FieldByName(QStringLiteral("Supplier"))->TextAt(i);
    return names;
}

}  // namespace

TEST(DataModuleTables, AGoodsTableWithoutItsSixFieldsDoesNotOpen)
{
    const auto shipped = TableDefinitionOf(QStringLiteral("stock")).fields;
    auto missing = shipped;
    missing.pop_back();  // no "Продажна цена"
    auto wrongType = shipped;
    wrongType[3].type = TFieldType::ftString;  // "К-во" as text
    wrongType[3].size = 20;

    for (const auto& [name, fields] : {std::pair{"missing sale price", missing}, std::pair{"text quantity", wrongType}}) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        MakeFolderWithStock(dir.path(), fields);
        TDataModule1 module(nullptr);
        EXPECT_THROW(module.OpenDatabase(dir.path(), true), EDatabaseError);
        EXPECT_FALSE(module.stock->Active());
    }

    QTemporaryDir dir;
    CreateShippedTables(dir.path());
    TDataModule1 module(nullptr);
    module.OpenDatabase(dir.path(), true);
    ASSERT_TRUE(module.stock->Active());
    EXPECT_EQ(module.stock->FieldByName(QStringLiteral("Продажна цена")), module.stockBDEDesigner6);
    EXPECT_EQ(module.stock->Fields(3), module.stockBDEDesigner4);
}

TEST(DataModuleTables, TheEnglishCleanUpCountsCompaniesAfreshAndKeepsEveryEarlierCopy)
{
    ResetTestDialogs();
    QTemporaryDir dir;
    CreateShippedTables(dir.path());
    TDataModule1 module(nullptr);
    module.OpenDatabase(dir.path(), true);
    AddCompanyPair(module.firm, module.Tableae, QStringLiteral("Алфа ООД"), QStringLiteral("Alfa Ltd"));

    // This workplace read Firm.db before another workplace stored a company,
    // and ae.db after it, as a start-up between the two reads does.
    ASSERT_EQ(Elsewhere([&] {
                  TTable firm, ae;
                  for (auto [t, file] : {std::pair{&firm, "Firm.db"}, std::pair{&ae, "ae.db"}}) {
                      t->SetDatabaseName(dir.path());
                      t->SetTableName(QString::fromUtf8(file));
                      t->Open();
                  }
                  AddCompanyPair(&firm, &ae, QStringLiteral("Гама ЕООД"), QStringLiteral("Gamma Ltd"));
              }),
              0);
    module.Tableae->Close();
    module.Tableae->Open();
    ASSERT_EQ(module.firm->RecordCount(), 1);
    ASSERT_EQ(module.Tableae->RecordCount(), 2);
    module.TrimParallelTable();
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_EQ(EnglishNames(dir.filePath(QStringLiteral("ae.db"))),
              (QStringList{QStringLiteral("Alfa Ltd"), QStringLiteral("Gamma Ltd")}));
    EXPECT_EQ(module.firm->RecordCount(), 2);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("ae.db.bak"))));

    // A record that belongs to no company is set aside in a copy of its own;
    // the copy an earlier start made stays as it was.
    const QString earlier = dir.filePath(QStringLiteral("ae.db.bak"));
    {
        QFile f(earlier);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("an earlier copy");
    }
    module.Tableae->Append();
    module.Tableae->FieldByName(QStringLiteral("Supplier"))->SetText(QStringLiteral("Stray Ltd"));
    module.Tableae->Post();
    module.OpenDatabase(dir.path(), true);
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("Stray Ltd")));
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("файла ae.db.bak2 ")));
    {
        QFile f(earlier);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("an earlier copy"));
    }
    EXPECT_EQ(EnglishNames(dir.filePath(QStringLiteral("ae.db.bak2"))),
              (QStringList{QStringLiteral("Alfa Ltd"), QStringLiteral("Gamma Ltd"), QStringLiteral("Stray Ltd")}));
    EXPECT_EQ(EnglishNames(dir.filePath(QStringLiteral("ae.db"))),
              (QStringList{QStringLiteral("Alfa Ltd"), QStringLiteral("Gamma Ltd")}));
}
