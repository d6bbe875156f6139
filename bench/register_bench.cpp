// Times the document register and the statistics over a full register: opening
// the register window, a search by number, one year's chart (with the current
// month's extracts) and one month's extracts.
//
//   register_bench [documents]    (100,000 by default, over 10 own companies)
//
// Runs offscreen with the program's windows over a temporary data folder.

#include "bench_support.h"

#include "app/startup.h"
#include "data/datamodule.h"
#include "data/tables.h"
#include "editor/calc.h"
#include "platform/application.h"
#include "platform/locale.h"
#include "platform/qtapp.h"
#include "registers/sort.h"
#include "registers/statform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kCompanies = 10;

QString CompanyName(int i) { return QStringLiteral("Фирма %1 ООД").arg(i); }
// English documents carry the company's English name.
QString EnglishName(int i) { return QStringLiteral("Firma %1 Ltd").arg(i); }

void FillRegister(const QString& folder, int count)
{
    TTable store, firm, ae;
    OpenIn(store, folder, QStringLiteral("Store.DB"));
    OpenIn(firm, folder, QStringLiteral("Firm.db"));
    CreateTableFile(folder, TableDefinitionOf(QStringLiteral("Tableae")));
    OpenIn(ae, folder, QStringLiteral("ae.db"));
    TDatabaseTransaction tx({&store, &firm, &ae});
    for (int c = 1; c <= kCompanies; ++c) {
        firm.Append();
        Put(firm, "ДОСТАВЧИК", CompanyName(c));
        firm.Post();
        ae.Append();
        Put(ae, "Supplier", EnglishName(c));
        ae.Post();
    }
    const char* kinds[] = {"ФАКТУРА", "ФАКТУРА", "ФАКТУРА", "INVOICE", "ПРОФОРМА ФАКТУРА", "Кредитно известие"};
    for (int i = 1; i <= count; ++i) {
        const int company = i % kCompanies + 1;
        store.Append();
        Put(store, "Документ", QString::fromUtf8(kinds[i % 6]));
        Put(store, "Статус", QStringLiteral("True"));
        Put(store, "Num", Number(i / kCompanies + 1));
        Put(store, "От дата", QStringLiteral("%1.%2.%3 г.")
                            .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                            .arg(i / 7 % 12 + 1, 2, 10, QLatin1Char('0'))
                            .arg(2024 + i / 13 % 3));
        Put(store, "Paid?", i % 3 ? QStringLiteral("True") : QStringLiteral("False"));
        Put(store, "Anulirana", i % 17 ? QStringLiteral("False") : QStringLiteral("True"));
        Put(store, "Клиент", QStringLiteral("Клиент %1 ООД").arg(i % 10000));
        Put(store, "Доставчик", i % 6 == 3 ? EnglishName(company) : CompanyName(company));
        Put(store, "Данъчна ставка", QStringLiteral("20%"));
        Put(store, "Стойност /общо/", QStringLiteral("%1,%2").arg(100 + i % 900).arg(i % 100, 2, 10, QLatin1Char('0')));
        Put(store, "Firm.db index", QString::number(company));
        store.Post();
    }
    tx.Commit();
}

void Report(const char* what, const std::function<void()>& run, double goal)
{
    std::vector<double> times;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("%-28s median %7.1f ms, max %7.1f ms (goal < %.0f ms)\n", what, Median(times),
                *std::max_element(times.begin(), times.end()), goal);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100000;
    BenchProgram program("register_bench", [&](const QString& folder) { FillRegister(folder, count); });
    std::printf("register of %d documents over %d own companies\n", DataModule1->store->RecordCount(), kCompanies);

    Report("open the register window", [] {
        Sort->Hide();
        DataModule1->store->SetRecNo(DataModule1->store->RecordCount() / 2);
        Sort->Show();
        Sort->repaint();
        QCoreApplication::processEvents();
    }, 200);
    Report("search for a number", [] {
        Sort->Edit1->SetText(QStringLiteral("4321"));
        Sort->SpeedButton1Click(nullptr);
    }, 100);
    std::printf("  (%d hits)\n", Sort->ListBox1->count());

    StatForm->Show();
    StatForm->DBComboBox1DropDown(nullptr);
    StatForm->DBComboBox1->SetItemIndex(3);
    StatForm->Edit1->SetText(QStringLiteral("2025"));
    Report("one year's chart", [] {
        Sort->CalcStatistics();
        QCoreApplication::processEvents();
    }, 300);
    Report("one month's extracts", [] {
        StatForm->ComboBox1->SetText(QStringLiteral("Май"));
        StatForm->ComboBox1Change(nullptr);
    }, 100);
    std::printf("  (%d paid and %d unpaid lines)\n", StatForm->PaidLines, StatForm->UnpaidLines);

    return 0;
}
