// Times the editor's lookup lists on large registers: one keystroke in the
// customer name edit (prefix list) and one in the description cell of the
// lines grid (goods filter), each walking its whole table.
//
//   lookup_bench [customers] [goods]
//
// The program's windows are created as at start-up over a temporary install
// folder whose tables are filled first. Runs offscreen unless told otherwise.

#include "bench_support.h"

#include "app/startup.h"
#include "data/datamodule.h"
#include "data/tables.h"
#include "editor/orderform.h"
#include "platform/application.h"
#include "platform/db.h"
#include "platform/dialogs.h"
#include "platform/locale.h"
#include "platform/qtapp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void Fill(const QString& folder, const QString& file, int count, void (*record)(TTable&, int))
{
    TTable t;
    OpenIn(t, folder, file);
    TDatabaseTransaction tx({&t});
    for (int n = 1; n <= count; ++n) {
        t.Append();
        record(t, n);
        t.Post();
    }
    tx.Commit();
}

void Customer(TTable& t, int n)
{
    t.FieldByName(QStringLiteral("Фирма"))->SetText(QStringLiteral("Фирма %1 ООД").arg(n));
    t.FieldByName(QStringLiteral("МОЛ"))->SetText(QStringLiteral("Управител %1").arg(n % 500));
    t.FieldByName(QStringLiteral("Адрес"))->SetText(QStringLiteral("София, ул. „Дълга“ %1").arg(n));
    t.FieldByName(QStringLiteral("Идент №"))->SetText(QStringLiteral("%1").arg(100000000 + n));
}

void Good(TTable& t, int n)
{
    t.FieldByName(QStringLiteral("Описание на стока/услуга"))
        ->SetAsMemo(QStringLiteral("Болт М%1 поцинкован, клас 8.8\r\nопаковка по 100 броя, DIN 933").arg(n));
    t.FieldByName(QStringLiteral("Мярка"))->SetText(QStringLiteral("бр."));
    t.FieldByName(QStringLiteral("Продажна цена"))->SetText(QStringLiteral("%1,25").arg(n % 90));
}

double Ms(qint64 ns) { return double(ns) / 1e6; }

struct Figure {
    double median = 0;
    double worst = 0;
};

template <class F>
Figure Time(int runs, F&& keystroke)
{
    std::vector<qint64> ns;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        keystroke(i);
        ns.push_back(t.nsecsElapsed());
    }
    std::sort(ns.begin(), ns.end());
    return {Ms(ns[ns.size() / 2]), Ms(ns.back())};
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    SetBulgarianLocale();
    SilentDialogs dialogs(true);
    SetDialogs(&dialogs);
    const int customers = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int goods = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 10000;

    QTemporaryDir temp(QDir::current().filePath(QStringLiteral("lookup_bench-XXXXXX")));
    const QString folder = temp.path() + QStringLiteral("/DB");
    CreateShippedTables(folder);
    Fill(folder, QStringLiteral("customer.db"), customers, Customer);
    Fill(folder, QStringLiteral("stock.db"), goods, Good);
    Application->SetExeName(temp.path() + QStringLiteral("/Orlendix"));
    QElapsedTimer timer;
    timer.start();
    CreateAllWindows();
    std::printf("start-up with %d customers, %d goods: %.0f ms\n", customers, goods, Ms(timer.nsecsElapsed()));
    TOrderForm* f = OrderForm;
    f->Show();

    std::printf("one keystroke (median / worst of the runs), goal < 30 ms:\n");
    // Typing a name letter by letter: each text lists fewer customers.
    const QString name = QStringLiteral("Фирма 1234");
    for (int len = 1; len <= name.size(); ++len) {
        const QString typed = name.left(len);
        const Figure fig = Time(9, [&](int i) {
            f->Edit1->SetText(i % 2 ? typed : typed.toLower());
        });
        std::printf("  customer \"%s\": %5d listed  %6.2f / %6.2f ms\n", typed.toUtf8().constData(),
                    f->ListBox1->Items()->Count(), fig.median, fig.worst);
    }

    // Erasing a letter: the list grows from 1,112 names to every one.
    const Figure grow = Time(9, [&](int i) {
        f->Edit1->SetText(i % 2 ? QStringLiteral("Фирма 1") : QStringLiteral("Фирма "));
    });
    std::printf("  customer \"Фирма 1\" <-> \"Фирма \" (1112 <-> 10000 listed): %6.2f / %6.2f ms\n", grow.median,
                grow.worst);

    // Typing in the description cell of the first line.
    f->StringGrid1->SetRow(1);
    f->StringGrid1->SetCol(1);
    const QString description = QStringLiteral("болт м1234");
    for (int len = 1; len <= description.size(); ++len) {
        const QString typed = description.left(len);
        const Figure fig = Time(9, [&](int i) {
            const QString text = i % 2 ? typed : typed.toUpper();
            f->StringGrid1->SetCells(1, 1, text);
            f->StringGrid1SetEditText(f->StringGrid1, 1, 1, text);
        });
        std::printf("  goods    \"%s\": %5d listed  %6.2f / %6.2f ms\n", typed.toUtf8().constData(),
                    f->ListBox1->Items()->Count(), fig.median, fig.worst);
    }

    const Figure growGoods = Time(9, [&](int i) {
        const QString text = i % 2 ? QStringLiteral("болт м1") : QStringLiteral("болт м");
        f->StringGrid1->SetCells(1, 1, text);
        f->StringGrid1SetEditText(f->StringGrid1, 1, 1, text);
    });
    std::printf("  goods    \"болт м1\" <-> \"болт м\" (1112 <-> 10000 listed): %6.2f / %6.2f ms\n",
                growGoods.median, growGoods.worst);

    const Figure all = Time(5, [&](int) { f->StringGrid1Button->Click(); });
    std::printf("goods list button (all %d): %6.2f / %6.2f ms\n", f->ListBox1->Items()->Count(), all.median,
                all.worst);
    const Figure button = Time(5, [&](int) { f->SpeedButton1->Click(); });
    std::printf("customer list button (all %d): %6.2f / %6.2f ms\n", f->ListBox1->Items()->Count(),
                button.median, button.worst);

    DestroyAllWindows();
    SetDialogs(nullptr);
    return 0;
}
