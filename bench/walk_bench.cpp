// Times walks and refills with the whole program's windows open over a data
// folder of realistic size: a walk of the document register with the bound
// controls following it against the engine alone, the goods list refill at
// 1,000 and 10,000 goods, and one post to the register with 5,000 goods.
//
//   walk_bench [documents] [--max-ratio R]
//
// The walks are timed three times each, the engine's and the controls' runs
// taking turns, and the best of each counts. With --max-ratio only the walk is
// timed, and the exit code is 1 when the program's controls make it more than
// R times the engine alone (the CI's check).
//
// The install folder is a temporary one under the current directory, so that
// the timings are taken on the disk the program would use.

#include "bench_support.h"

#include "app/startup.h"
#include "data/datamodule.h"
#include "data/tables.h"
#include "platform/application.h"
#include "platform/dbctrls.h"
#include "platform/dbgrids.h"
#include "platform/dialogs.h"
#include "platform/grids.h"
#include "platform/locale.h"
#include "platform/qtapp.h"
#include "registers/editstock.h"
#include "registers/stocks.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double Ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

double Time(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return Ms(timer);
}

// A document the way a save writes it: every field as text.
void FillDocument(TTable& t, int n)
{
    FillEveryField(t, n, QStringLiteral("1\r\n2"));
    t.FieldByName(QStringLiteral("Num"))->SetText(QStringLiteral("%1").arg(n, 10, 10, QLatin1Char('0')));
}

void FillGoods(TTable& t, int n)
{
    t.FieldByName(QStringLiteral("Пор. №"))->SetText(QString::number(n));
    t.FieldByName(QStringLiteral("Описание на стока/услуга"))
        ->SetAsMemo(QStringLiteral("Стока номер %1\r\nс втори ред").arg(n));
    t.FieldByName(QStringLiteral("Мярка"))->SetText(n % 2 ? QStringLiteral("бр.") : QStringLiteral("кг."));
    t.FieldByName(QStringLiteral("К-во"))->SetText(QString::number(n % 50));
    t.FieldByName(QStringLiteral("Цена"))->SetText(QStringLiteral("%1,%2").arg(n % 300).arg(n % 100));
    t.FieldByName(QStringLiteral("Продажна цена"))->SetText(QStringLiteral("%1,%2").arg(n % 400).arg(n % 100));
}

// Appends records to a table file through a connection of its own, in one
// transaction, so that the program's tables see them only when refreshed.
void AddRecords(const QString& folder, const QString& file, int from, int to, void (*fill)(TTable&, int))
{
    TTable t;
    OpenIn(t, folder, file);
    TDatabaseTransaction tx({&t});
    for (int n = from; n <= to; ++n) {
        t.Append();
        fill(t, n);
        t.Post();
    }
    tx.Commit();
}

// Walks every record by record number, reading what a register reads.
double Walk(TTable* store, qint64& checksum)
{
    TField* num = store->FieldByName(QStringLiteral("Num"));
    TField* kind = store->FieldByName(QStringLiteral("Документ"));
    TField* total = store->FieldByName(QStringLiteral("Стойност /общо/"));
    return Time([&] {
        const int count = store->RecordCount();
        for (int i = 1; i <= count; ++i) {
            store->SetRecNo(i);
            checksum += num->Text().size() + kind->Text().size() + total->Text().size();
        }
    });
}

// A hidden window with one control of every data-aware kind on the register.
QWidget* ControlsOfEveryKind(TDataSource* source)
{
    auto* w = new QWidget;
    const auto bind = [source](TDBFieldControl* c, const char* field) {
        c->SetDataSource(source);
        c->SetDataField(QString::fromUtf8(field));
    };
    bind(new TDBEdit(w), "Клиент");
    bind(new TDBText(w), "Num");
    bind(new TDBMemo(w), "Стоки и Услуги");
    bind(new TDBComboBox(w), "Вид плащане");
    auto* check = new TDBCheckBox(w);
    bind(check, "Paid?");
    (new TDBNavigator(w))->SetDataSource(source);
    (new TDBGrid(w))->SetDataSource(source);
    return w;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    SilentDialogs dialogs(true);
    SetDialogs(&dialogs);
    SetBulgarianLocale();
    int documents = 100000;
    double maxRatio = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--max-ratio") && i + 1 < argc)
            maxRatio = QString::fromLocal8Bit(argv[++i]).toDouble();
        else
            documents = arg.toInt();
    }
    if (documents < 1) {
        std::fprintf(stderr, "usage: walk_bench [documents] [--max-ratio R]\n");
        return 2;
    }

    QTemporaryDir install(QDir::current().filePath(QStringLiteral("walk_bench-XXXXXX")));
    const QString folder = install.path() + QStringLiteral("/DB");
    CreateShippedTables(folder);
    std::printf("fill %d documents, 1000 goods: %.0f ms\n", documents, Time([&] {
                    AddRecords(folder, QStringLiteral("Store.DB"), 1, documents, FillDocument);
                    AddRecords(folder, QStringLiteral("stock.db"), 1, 1000, FillGoods);
                }));

    Application->SetExeName(install.path() + QStringLiteral("/Orlendix"));
    std::printf("start-up with every window: %.0f ms\n", Time([] { CreateAllWindows(); }));
    TTable* store = DataModule1->store;
    TTable* stock = DataModule1->stock;
    if (!store->Active() || store->RecordCount() != documents) {
        std::fprintf(stderr, "the data folder did not open\n");
        return 1;
    }

    qint64 checksum = 0;
    Walk(store, checksum);  // the file into the page cache
    std::vector<double> engineRuns, boundRuns;
    for (int run = 0; run < 3; ++run) {
        DataModule1->DataSource6->SetEnabled(false);
        engineRuns.push_back(Walk(store, checksum));
        DataModule1->DataSource6->SetEnabled(true);
        boundRuns.push_back(Walk(store, checksum));
    }
    const double engine = *std::min_element(engineRuns.begin(), engineRuns.end());
    const double bound = *std::min_element(boundRuns.begin(), boundRuns.end());
    const double ratio = bound / engine;
    std::printf("walk %d documents, engine alone:          %8.1f ms (runs %.1f, %.1f, %.1f)\n", documents, engine,
                engineRuns[0], engineRuns[1], engineRuns[2]);
    std::printf("walk %d documents, program's controls:    %8.1f ms (runs %.1f, %.1f, %.1f; %.2fx, goal <= 2x)\n",
                documents, bound, boundRuns[0], boundRuns[1], boundRuns[2], ratio);
    if (maxRatio > 0) {
        DestroyAllWindows();
        Application->SetExeName(QString());
        SetDialogs(nullptr);
        if (ratio > maxRatio) {
            std::printf("the walk with the program's controls is %.2fx the engine alone, above %.2fx\n", ratio, maxRatio);
            return 1;
        }
        return 0;
    }
    QWidget* extra = ControlsOfEveryKind(DataModule1->DataSource6);
    const double everyKind = Walk(store, checksum);
    delete extra;
    std::printf("walk %d documents, + one of every kind:   %8.1f ms (%.2fx, goal <= 2x)\n", documents, everyKind,
                everyKind / engine);

    TStringGrid* grid = Stocks->StringGrid1;
    const double refill1k = Time([] { DataModule1->RefreshStockGrid(); });
    std::printf("goods refill, %d goods:  %8.1f ms (%d rows)\n", stock->RecordCount(), refill1k, grid->RowCount() - 1);

    AddRecords(folder, QStringLiteral("stock.db"), 1001, 5000, FillGoods);
    stock->Refresh();
    store->SetRecNo(documents / 2);
    const double post = Time([&] {
        store->Edit();
        store->FieldByName(QStringLiteral("Paid?"))->SetText(QStringLiteral("True"));
        store->Post();
    });
    std::printf("one register post, %d goods: %8.1f ms\n", stock->RecordCount(), post);

    AddRecords(folder, QStringLiteral("stock.db"), 5001, 10000, FillGoods);
    stock->Refresh();
    const double refill10k = Time([] { DataModule1->RefreshStockGrid(); });
    std::printf("goods refill, %d goods: %8.1f ms (%d rows, goal < 100) [%lld]\n", stock->RecordCount(), refill10k,
                grid->RowCount() - 1, checksum);

    // A list filled the way registers fill theirs: one row more at a time.
    const double grown = Time([] {
        TStringGrid list;
        list.SetColCount(4);
        list.SetRowCount(2);
        for (int r = 1; r <= 10000; ++r) {
            for (int c = 0; c < 4; ++c)
                list.SetCells(c, r, QStringLiteral("ред %1").arg(r));
            list.SetRowCount(list.RowCount() + 1);
        }
    });
    std::printf("a list grown row by row to 10000 rows:  %8.1f ms\n", grown);

    // The goods windows open, as while the user edits the goods.
    Stocks->Show();
    EditStockForm->Show();
    QCoreApplication::processEvents();
    const double refillShown = Time([] { DataModule1->RefreshStockGrid(); });
    QCoreApplication::processEvents();
    std::printf("goods refill, %d goods, goods windows shown: %8.1f ms\n", stock->RecordCount(), refillShown);

    DestroyAllWindows();
    Application->SetExeName(QString());
    SetDialogs(nullptr);
    return 0;
}
