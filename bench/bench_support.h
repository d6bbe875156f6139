// What the benchmarks that run the program's windows share.
#pragma once

#include "app/startup.h"
#include "data/tables.h"
#include "editor/calc.h"
#include "platform/application.h"
#include "platform/db.h"
#include "platform/dialogs.h"
#include "platform/locale.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double Max(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

// No box may wait for a click here: each is counted, and printed when asked.
class SilentDialogs : public TDialogs {
public:
    explicit SilentDialogs(bool print = false) : print_(print) {}
    // A question is answered "Не": a bench drops what it typed and never waits.
    int MessageBox(QWidget*, const QString& text, const QString&, TMsgIcon, TMsgButtons buttons) override
    {
        ++messages;
        if (print_)
            std::printf("message: %s\n", text.toUtf8().constData());
        return buttons == TMsgButtons::Ok ? mrOk : mrNo;
    }
    bool SelectDirectory(const QString&, const QString&, QString&) override { return false; }
    bool OpenPicture(QString&) override { return false; }
    bool SaveFile(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool PrintDialog(QWidget*) override { return false; }
    bool PrinterSetup(QWidget*) override { return false; }

    int messages = 0;

private:
    bool print_;
};

// A table file of the data folder, opened.
inline void OpenIn(TTable& t, const QString& folder, const QString& file)
{
    t.SetDatabaseName(folder);
    t.SetTableName(file);
    t.Open();
}

inline void Put(TTable& t, const char* field, const QString& value)
{
    t.FieldByName(QString::fromUtf8(field))->SetText(value);
}

// A document number as the register holds it: ten digits.
inline QString Number(int n) { return QStringLiteral("%1").arg(n, 10, 10, QLatin1Char('0')); }

// The own company "Алфа ООД" whose invoice counter stands at counter.
inline void AddAlfa(TTable& firm, const QString& counter)
{
    firm.Append();
    Put(firm, "ДОСТАВЧИК", QStringLiteral("Алфа ООД"));
    Put(firm, "Фактура №", counter);
    firm.Post();
}

// A printed invoice of "Алфа ООД" (company 1) with one line; row holds the
// line's six cells, stored under the grid's header as the editor does.
inline void AddInvoice(TTable& store, int number, const QString& date, const QString& customer, const QString& total,
                       const QStringList& row)
{
    QString lines;
    for (const QString& cell : QStringList{QStringLiteral("Пор. №"), QStringLiteral("Наименование на стоките или услугите"),
                                           QStringLiteral("Мярка"), QStringLiteral("К-во"), QStringLiteral("Ед. цена"),
                                           QStringLiteral("Стойност")} + row)
        lines += cell + QStringLiteral("\r\n");
    store.Append();
    Put(store, "Документ", QStringLiteral("ФАКТУРА"));
    Put(store, "Статус", QStringLiteral("True"));
    Put(store, "Num", Number(number));
    for (const char* field : {"От дата", "Дата на данъчното събитие", "Дата на плащане", "Известие от дата"})
        Put(store, field, date);
    for (const char* flag : {"Дата на д.с.?", "Дата на плащане?", "Paid?", "Anulirana"})
        Put(store, flag, QStringLiteral("False"));
    Put(store, "Клиент", customer);
    Put(store, "Доставчик", QStringLiteral("Алфа ООД"));
    Put(store, "Данъчна ставка", QStringLiteral("20%"));
    Put(store, "Стойност /общо/", total);
    Put(store, "Firm.db index", QStringLiteral("1"));
    Put(store, "CurrencyRate", QStringLiteral("1"));
    store.FieldByName(QStringLiteral("Стоки и Услуги"))->SetAsMemo(lines);
    store.Post();
}

// Document n of the register with every field written as text, the way a
// save writes it: the lines memo a 4 x 6 grid, Str2 as given.
inline void FillEveryField(TTable& t, int n, const QString& str2)
{
    QString lines;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 6; ++col)
            lines += row == 0 ? QStringLiteral("Колона %1\r\n").arg(col)
                              : QStringLiteral("Стока %1 ред %2\r\n").arg(n % 97).arg(row);
    for (int i = 0; i < t.FieldCount(); ++i) {
        TField* f = t.Fields(i);
        switch (f->DataType()) {
        case TFieldType::ftBoolean: f->SetText((n + i) % 3 ? QStringLiteral("False") : QStringLiteral("True")); break;
        case TFieldType::ftMemo: f->SetAsMemo(f->FieldName() == QLatin1String("Str2") ? str2 : lines); break;
        default: f->SetText(QStringLiteral("%1 %2 ООД").arg(f->FieldName().left(8)).arg(n)); break;
        }
    }
}

// A temporary install folder in the current directory, its data folder DB
// holding the shipped tables plus what fill writes, and every window of the
// program over it, as at start-up. Bulgarian number format.
class BenchProgram {
public:
    explicit BenchProgram(const char* name, const std::function<void(const QString& dataFolder)>& fill = {})
        : dir_(QDir::currentPath() + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral("-XXXXXX"))
    {
        SetBulgarianLocale();
        const QString folder = dir_.path() + QStringLiteral("/DB");
        CreateShippedTables(folder);
        if (fill)
            fill(folder);
        Application->SetExeName(dir_.path() + QStringLiteral("/Orlendix"));
        CreateAllWindows();
        Form1->FilesDir = dir_.path();  // payment.txt stays in the temporary folder
    }
    ~BenchProgram()
    {
        DestroyAllWindows();
        Application->SetExeName(QString());
    }
    BenchProgram(const BenchProgram&) = delete;
    BenchProgram& operator=(const BenchProgram&) = delete;

private:
    QTemporaryDir dir_;
};
