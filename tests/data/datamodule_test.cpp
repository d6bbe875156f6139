// The data module's tables: the goods table's fields are fixed before opening.
#include "data/datamodule.h"
#include "data/tables.h"

#include <QFile>
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
