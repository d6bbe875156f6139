// Helpers of the table tests: tables in a temporary folder, filled by text, and
// a data link that records what a data-aware control would have shown.
#pragma once

#include "platform/db.h"
#include "platform/locale.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace dbtest {

struct Def {
    QString name;
    TFieldType type;
    int size;
};

inline std::vector<Def> CustomerDefs()
{
    return {{QStringLiteral("Клиент №"), TFieldType::ftFloat, 0},
            {QStringLiteral("Фирма"), TFieldType::ftString, 255},
            {QStringLiteral("ИН по ЗДДС"), TFieldType::ftString, 20},
            {QStringLiteral("Адрес"), TFieldType::ftString, 255}};
}

inline std::vector<Def> StockDefs()
{
    return {{QStringLiteral("Пор. №"), TFieldType::ftFloat, 0},
            {QStringLiteral("Описание на стока/услуга"), TFieldType::ftMemo, 1},
            {QStringLiteral("Мярка"), TFieldType::ftString, 5},
            {QStringLiteral("К-во"), TFieldType::ftFloat, 0},
            {QStringLiteral("Цена"), TFieldType::ftCurrency, 0},
            {QStringLiteral("Продажна цена"), TFieldType::ftCurrency, 0}};
}

inline void CreateFile(const QString& folder, const QString& file, const std::vector<Def>& defs)
{
    TTable t;
    t.SetDatabaseName(folder);
    t.SetTableName(file);
    for (const Def& d : defs)
        t.FieldDefs().Add(d.name, d.type, d.size);
    t.CreateTable();
}

inline std::unique_ptr<TTable> OpenTable(const QString& folder, const QString& file)
{
    auto t = std::make_unique<TTable>();
    t->SetDatabaseName(folder);
    t->SetTableName(file);
    t->Open();
    return t;
}

inline std::unique_ptr<TTable> NewTable(const QString& folder, const QString& file, const std::vector<Def>& defs)
{
    CreateFile(folder, file, defs);
    return OpenTable(folder, file);
}

// Appends one record and posts it.
inline void AddRecord(TTable& t, std::initializer_list<std::pair<QString, QString>> values)
{
    t.Append();
    for (const auto& [name, text] : values)
        t.FieldByName(name)->SetText(text);
    t.Post();
}

// The texts of one field over all records, read without moving.
inline QStringList Column(const TTable& t, const QString& field)
{
    QStringList out;
    TField* f = t.FieldByName(field);
    for (int i = 1; i <= t.RecordCount(); ++i)
        out << f->TextAt(i);
    return out;
}

// What a control bound to one field shows, and what the table told it.
class ProbeLink : public TDataLink {
public:
    explicit ProbeLink(QString field = {}) : fieldName(std::move(field)) {}
    QString fieldName;
    QStringList shown;  // the field's text at each RecordChanged, "<none>" when inactive
    int records = 0;
    int states = 0;
    int updates = 0;
    std::vector<TField*> changedFields;
    std::function<void()> onRecord;
    std::function<void()> onUpdate;

    void RecordChanged() override
    {
        ++records;
        TField* f = Field(fieldName);
        shown << (f ? f->Text() : QStringLiteral("<none>"));
        if (onRecord)
            onRecord();
    }
    void FieldChanged(TField* field) override { changedFields.push_back(field); }
    void StateChanged() override { ++states; }
    void UpdateData() override
    {
        ++updates;
        if (onUpdate)
            onUpdate();
    }
    QString Last() const { return shown.isEmpty() ? QString() : shown.back(); }
};

// Counts the table's After… events in the order they fire.
struct EventLog {
    QStringList events;
    void Attach(TTable& t, const QString& prefix = {})
    {
        t.AfterPost = [this, prefix, &t](TObject* s) { Add(prefix + QStringLiteral("post"), s, &t); };
        t.AfterCancel = [this, prefix, &t](TObject* s) { Add(prefix + QStringLiteral("cancel"), s, &t); };
        t.AfterDelete = [this, prefix, &t](TObject* s) { Add(prefix + QStringLiteral("delete"), s, &t); };
        t.AfterRefresh = [this, prefix, &t](TObject* s) { Add(prefix + QStringLiteral("refresh"), s, &t); };
        t.AfterScroll = [this, prefix, &t](TObject* s) { Add(prefix + QStringLiteral("scroll"), s, &t); };
    }
    void Add(const QString& name, TObject* sender, TTable* table)
    {
        events << (sender == table ? name : name + QStringLiteral("(wrong sender)"));
    }
    int Count(const QString& name) const { return int(events.count(name)); }
};

// Keeps the decimal separator of a test from leaking into the next.
struct LocaleGuard {
    TFormatSettings saved = FormatSettings();
    LocaleGuard() { SetBulgarianLocale(); }
    ~LocaleGuard() { FormatSettings() = saved; }
};

}  // namespace dbtest
