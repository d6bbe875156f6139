// Times the table engine on a document register of realistic size: opening it,
// walking every record by record number, and appending one document.
//
//   table_bench [records] [folder]
//
// The folder defaults to a temporary one under the current directory, so that
// the timings are taken on the disk the program would use. A Store.DB already
// in a given folder is reused as it is.

#include "bench_support.h"

#include "platform/db.h"
#include "platform/locale.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

struct FieldSpec {
    const char* name;
    TFieldType type;
    int size;
};

const FieldSpec kStore[] = {
    {"Документ", TFieldType::ftString, 255},        {"Статус", TFieldType::ftBoolean, 0},
    {"Num", TFieldType::ftString, 255},             {"От дата", TFieldType::ftString, 255},
    {"Дата на д.с.?", TFieldType::ftBoolean, 0},    {"Дата на данъчното събитие", TFieldType::ftString, 255},
    {"Дата на плащане?", TFieldType::ftBoolean, 0}, {"Дата на плащане", TFieldType::ftString, 255},
    {"Вид плащане", TFieldType::ftString, 255},     {"Получател", TFieldType::ftString, 255},
    {"Съставил", TFieldType::ftString, 255},        {"Основание за:", TFieldType::ftString, 255},
    {"Основания", TFieldType::ftString, 255},       {"Известие", TFieldType::ftString, 255},
    {"Известие от дата", TFieldType::ftString, 255}, {"Известие към фактура No", TFieldType::ftString, 255},
    {"Клиент", TFieldType::ftString, 255},          {"Ин по ЗДДС /к/", TFieldType::ftString, 255},
    {"ИН /к/", TFieldType::ftString, 255},          {"Адрес /к/", TFieldType::ftString, 255},
    {"МОЛ /к/", TFieldType::ftString, 255},         {"Доставчик", TFieldType::ftString, 255},
    {"МОЛ /д/", TFieldType::ftString, 255},         {"Адрес /д/", TFieldType::ftString, 255},
    {"ИН /д/", TFieldType::ftString, 255},          {"ИН по ЗДДС /д/", TFieldType::ftString, 255},
    {"Местоиздаване", TFieldType::ftString, 255},   {"Банка", TFieldType::ftString, 255},
    {"IBAN", TFieldType::ftString, 255},            {"SWIFT", TFieldType::ftString, 255},
    {"Данъчна ставка", TFieldType::ftString, 255},  {"Стойност /общо/", TFieldType::ftString, 255},
    {"Стоки и Услуги", TFieldType::ftMemo, 240},    {"Str2", TFieldType::ftMemo, 240},
    {"Firm.db index", TFieldType::ftString, 255},   {"Paid?", TFieldType::ftBoolean, 0},
    {"CurrencyPrefix", TFieldType::ftString, 255},  {"CurrencyRate", TFieldType::ftString, 255},
    {"Anulirana", TFieldType::ftBoolean, 0},
};

// Writes a document of the register the way a save does: every field as text.
void FillDocument(TTable& t, int n)
{
    FillEveryField(t, n, QString());
    t.FieldByName(QStringLiteral("Документ"))->SetText(n % 5 ? QStringLiteral("ФАКТУРА") : QStringLiteral("ПРОФОРМА"));
    t.FieldByName(QStringLiteral("Num"))->SetText(QStringLiteral("%1").arg(n, 10, 10, QLatin1Char('0')));
    t.FieldByName(QStringLiteral("Стойност /общо/"))->SetText(QStringLiteral("%1,%2").arg(n % 10000).arg(n % 100, 2, 10, QLatin1Char('0')));
}

double Ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SetBulgarianLocale();
    const int records = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir temp(QDir::current().filePath(QStringLiteral("table_bench-XXXXXX")));
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.path();

    if (!QFileInfo::exists(QDir(folder).filePath(QStringLiteral("Store.DB")))) {
        TTable t;
        t.SetDatabaseName(folder);
        t.SetTableName(QStringLiteral("Store.DB"));
        for (const FieldSpec& f : kStore)
            t.FieldDefs().Add(QString::fromUtf8(f.name), f.type, f.size);
        QElapsedTimer timer;
        timer.start();
        t.CreateTable();
        t.Open();
        TDatabaseTransaction tx({&t});
        for (int n = 1; n <= records; ++n) {
            t.Append();
            FillDocument(t, n);
            t.Post();
        }
        tx.Commit();
        std::printf("fill   %d records: %8.1f ms (%.1f MB)\n", records, Ms(timer),
                    double(QFileInfo(t.FilePath()).size()) / 1e6);
    }

    TTable store;
    store.SetDatabaseName(folder);
    store.SetTableName(QStringLiteral("Store.DB"));
    QElapsedTimer timer;
    timer.start();
    store.Open();
    std::printf("open:                  %8.1f ms (goal < 300)\n", Ms(timer));

    TField* num = store.FieldByName(QStringLiteral("Num"));
    TField* kind = store.FieldByName(QStringLiteral("Документ"));
    TField* total = store.FieldByName(QStringLiteral("Стойност /общо/"));
    qint64 checksum = 0;
    timer.restart();
    const int count = store.RecordCount();
    for (int i = 1; i <= count; ++i) {
        store.SetRecNo(i);
        checksum += num->Text().size() + kind->Text().size() + total->Text().size();
    }
    std::printf("walk   %d records:  %8.1f ms (goal < 200) [%lld]\n", count, Ms(timer), checksum);

    // The duplicate search of a save: from the last record back to the first.
    timer.restart();
    int found = 0;
    for (store.SetRecNo(count); store.RecNo() >= 2; store.SetRecNo(store.RecNo() - 1))
        if (num->Text() == QLatin1String("0000000001") && kind->Text() == QLatin1String("ПРОФОРМА"))
            found = store.RecNo();
    std::printf("search back %d records: %6.1f ms [%d]\n", count, Ms(timer), found);

    timer.restart();
    store.Append();
    FillDocument(store, count + 1);
    store.Post();
    std::printf("append and post one:   %8.1f ms (goal < 20)\n", Ms(timer));

    timer.restart();
    store.Edit();
    store.FieldByName(QStringLiteral("Paid?"))->SetText(QStringLiteral("True"));
    store.Post();
    std::printf("edit and post one:     %8.1f ms\n", Ms(timer));
    return store.RecNo() == count + 1 ? 0 : 1;
}
