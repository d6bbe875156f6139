#include "data/tables.h"

#include "platform/sysutils.h"

#include <QDir>

namespace {
using T = TFieldType;

std::vector<TableDefinition> MakeDefinitions()
{
    const auto s = [](const char* name, int size) { return FieldDefinition{QString::fromUtf8(name), T::ftString, size}; };
    const auto f = [](const char* name, T type, int size = 0) { return FieldDefinition{QString::fromUtf8(name), type, size}; };
    return {
        {QStringLiteral("cust"), QStringLiteral("customer.db"), QStringLiteral("DataSource1"), false,
         {f("Клиент №", T::ftFloat), s("Фирма", 255), s("Група", 255), s("ИН по ЗДДС", 20), s("Идент №", 20),
          s("Адрес", 255), s("МОЛ", 255), s("Телефон", 20), s("Факс", 20), s("E-mail", 255), s("Лице", 255),
          s("Бележки", 255)}},
        {QStringLiteral("firm"), QStringLiteral("Firm.db"), QStringLiteral("DataSource2"), false,
         {s("Фактура №", 10), s("Проформа №", 10), s("ДОСТАВЧИК", 255), s("АДРЕС", 255), s("МОЛ", 255),
          s("ИН ПО ЗДДС", 20), s("ИН", 20), s("Местоиздаване", 255), f("Лого", T::ftGraphic, 1)}},
        // Only these three fields are used; the widths hold a bank name, an IBAN and a BIC.
        {QStringLiteral("details"), QStringLiteral("Details.db"), QStringLiteral("DataSource3"), false,
         {s("Bank", 255), s("IBAN", 50), s("SWIFT", 20)}},
        {QStringLiteral("stock"), QStringLiteral("stock.db"), QStringLiteral("DataSource4"), false,
         {f("Пор. №", T::ftFloat), f("Описание на стока/услуга", T::ftMemo, 1), s("Мярка", 5), f("К-во", T::ftFloat),
          f("Цена", T::ftCurrency), f("Продажна цена", T::ftCurrency)}},
        {QStringLiteral("employee"), QStringLiteral("employee.DB"), QStringLiteral("DataSource5"), false,
         {s("Име", 40), f("Телефон", T::ftFloat), f("Заплата", T::ftCurrency), s("Нает на", 20)}},
        {QStringLiteral("store"), QStringLiteral("Store.DB"), QStringLiteral("DataSource6"), false,
         {s("Документ", 255), f("Статус", T::ftBoolean), s("Num", 255), s("От дата", 255),
          f("Дата на д.с.?", T::ftBoolean), s("Дата на данъчното събитие", 255), f("Дата на плащане?", T::ftBoolean),
          s("Дата на плащане", 255), s("Вид плащане", 255), s("Получател", 255), s("Съставил", 255),
          s("Основание за:", 255), s("Основания", 255), s("Известие", 255), s("Известие от дата", 255),
          s("Известие към фактура No", 255), s("Клиент", 255), s("Ин по ЗДДС /к/", 255), s("ИН /к/", 255),
          s("Адрес /к/", 255), s("МОЛ /к/", 255), s("Доставчик", 255), s("МОЛ /д/", 255), s("Адрес /д/", 255),
          s("ИН /д/", 255), s("ИН по ЗДДС /д/", 255), s("Местоиздаване", 255), s("Банка", 255), s("IBAN", 255),
          s("SWIFT", 255), s("Данъчна ставка", 255), s("Стойност /общо/", 255), f("Стоки и Услуги", T::ftMemo, 240),
          f("Str2", T::ftMemo, 240), s("Firm.db index", 255), f("Paid?", T::ftBoolean), s("CurrencyPrefix", 255),
          s("CurrencyRate", 255), f("Anulirana", T::ftBoolean)}},
        // Only these two fields are used; the rate is text with '.' or ','.
        {QStringLiteral("currency"), QStringLiteral("currency.db"), QStringLiteral("DataSource7"), false,
         {s("Валута", 50), s("Курс", 20)}},
        {QStringLiteral("Tableae"), QStringLiteral("ae.db"), QStringLiteral("DataSourceae"), true,
         {s("VOP", 10), s("Supplier", 255), s("Address", 255), s("Resp.Person", 255),
          s("Place of publishment", 255), f("logo", T::ftGraphic, 2)}},
    };
}
}  // namespace

const std::vector<TableDefinition>& TableDefinitions()
{
    static const std::vector<TableDefinition> defs = MakeDefinitions();
    return defs;
}

const TableDefinition& TableDefinitionOf(const QString& component)
{
    for (const auto& d : TableDefinitions())
        if (d.component == component)
            return d;
    throw EDatabaseError(QStringLiteral("Вътрешна грешка: непозната таблица „%1“.").arg(component));
}

void CreateTableFile(const QString& folder, const TableDefinition& def)
{
    TTable table;
    table.SetDatabaseName(folder);
    table.SetTableName(def.fileName);
    table.FieldDefs().Clear();
    for (const auto& f : def.fields)
        table.FieldDefs().Add(f.name, f.type, f.size, false);
    table.CreateTable();
}

QStringList CreateShippedTables(const QString& folder)
{
    QDir().mkpath(folder);
    QStringList created;
    for (const auto& def : TableDefinitions()) {
        if (def.createdByProgram || FileExists(folder + QLatin1Char('/') + def.fileName))
            continue;
        CreateTableFile(folder, def);
        created << def.fileName;
    }
    return created;
}
