// Times the customer register and the goods list over full tables: opening
// "Клиенти", moving to another customer (its document list is rebuilt) and
// opening "Стоки и Услуги".
//
//   registers_bench [documents] [customers] [goods]   (100,000 / 10,000 / 10,000 by default)
//
// Runs offscreen with the program's windows over a temporary data folder.

#include "bench_support.h"

#include "app/mainform.h"
#include "app/startup.h"
#include "data/datamodule.h"
#include "data/tables.h"
#include "editor/calc.h"
#include "platform/application.h"
#include "platform/locale.h"
#include "platform/qtapp.h"
#include "registers/custform.h"
#include "registers/stocks.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

TTable* OpenTable(const QString& folder, const char* file)
{
    auto* t = new TTable;
    OpenIn(*t, folder, QString::fromUtf8(file));
    return t;
}

void Fill(const QString& folder, int documents, int customers, int goods)
{
    TTable* store = OpenTable(folder, "Store.DB");
    TTable* cust = OpenTable(folder, "customer.db");
    TTable* stock = OpenTable(folder, "stock.db");
    {
        TDatabaseTransaction tx({store, cust, stock});
        const auto put = [](TTable* t, const char* f, const QString& v) { t->FieldByName(QString::fromUtf8(f))->SetText(v); };
        for (int i = 1; i <= customers; ++i) {
            cust->Append();
            put(cust, "Клиент №", QString::number(i));
            put(cust, "Фирма", QStringLiteral("Клиент %1 ООД").arg(i));
            put(cust, "Телефон", QStringLiteral("02 %1").arg(i));
            cust->Post();
        }
        for (int i = 1; i <= documents; ++i) {
            store->Append();
            put(store, "Документ", i % 10 == 0 ? QStringLiteral("Кредитно известие") : QStringLiteral("ФАКТУРА"));
            put(store, "Num", QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0')));
            put(store, "От дата", QStringLiteral("%1.%2.2025 г.").arg(i % 28 + 1, 2, 10, QLatin1Char('0')).arg(i % 12 + 1, 2, 10, QLatin1Char('0')));
            put(store, "Anulirana", QStringLiteral("False"));
            put(store, "Клиент", QStringLiteral("Клиент %1 ООД").arg(i % customers + 1));
            put(store, "Доставчик", QStringLiteral("Алфа ООД"));
            put(store, "Firm.db index", QStringLiteral("1"));
            put(store, "Стойност /общо/", QStringLiteral("144,00"));
            store->Post();
        }
        for (int i = 1; i <= goods; ++i) {
            stock->Append();
            put(stock, "Пор. №", QString::number(i));
            stock->FieldByName(QStringLiteral("Описание на стока/услуга"))->SetAsMemo(QStringLiteral("Стока %1\r\nвтори ред").arg(i));
            put(stock, "Мярка", QStringLiteral("бр."));
            put(stock, "К-во", QString::number(i % 100));
            put(stock, "Продажна цена", QStringLiteral("12,50"));
            stock->Post();
        }
        tx.Commit();
    }
    delete store;
    delete cust;
    delete stock;
}

template <class F>
double Time(F f)
{
    QElapsedTimer t;
    t.start();
    f();
    QCoreApplication::processEvents();  // what is painted on showing counts too
    return t.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    const auto arg = [&](int i, int fallback) { return argc > i ? std::max(1, QString::fromLocal8Bit(argv[i]).toInt()) : fallback; };
    const int documents = arg(1, 100000), customers = arg(2, 10000), goods = arg(3, 10000);
    BenchProgram program("registers_bench", [&](const QString& folder) { Fill(folder, documents, customers, goods); });

    std::vector<double> opens, moves, keys, stocks, lists;
    for (int run = 0; run < 7; ++run) {
        opens.push_back(Time([] { Main->SpeedButton7->Click(); }));
        for (int k = 0; k < 5; ++k) {
            DataModule1->cust->SetRecNo(1 + (run * 997 + k * 1999) % customers);
            moves.push_back(Time([] { CustForm->DBGrid1CellClick(nullptr); }));
            lists.push_back(Time([] { CustForm->RebuildDocumentList(); }));
        }
        keys.push_back(Time([] {
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QCoreApplication::sendEvent(CustForm->DBGrid1, &down);
        }));
        CustForm->Close();

        stocks.push_back(Time([] { Main->SpeedButton3->Click(); }));
        Stocks->Close();
    }
    std::printf("%d documents, %d customers, %d goods, %zu runs\n", DataModule1->store->RecordCount(),
                DataModule1->cust->RecordCount(), DataModule1->stock->RecordCount(), opens.size());
    std::printf("open \"Клиенти\":              median %6.1f ms, max %6.1f ms (goal < 200 ms)\n", Median(opens), Max(opens));
    std::printf("click another customer:       median %6.1f ms, max %6.1f ms (goal < 100 ms)\n", Median(moves), Max(moves));
    std::printf("  of which the list alone:    median %6.1f ms, max %6.1f ms\n", Median(lists), Max(lists));
    std::printf("Down key in the customer grid: median %6.1f ms, max %6.1f ms (goal < 100 ms)\n", Median(keys), Max(keys));
    std::printf("open \"Стоки и Услуги\":        median %6.1f ms, max %6.1f ms (goal < 200 ms)\n", Median(stocks), Max(stocks));
    return 0;
}
