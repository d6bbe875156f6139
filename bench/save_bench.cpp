// Times saving and loading a document with a full register: a save of a
// number not used yet (the duplicate search looks it up in every record) and a load.
//
//   save_bench [documents]    (100,000 by default)
//
// Runs offscreen with the program's windows over a temporary data folder.

#include "bench_support.h"

#include "app/mainform.h"
#include "app/startup.h"
#include "data/datamodule.h"
#include "data/tables.h"
#include "editor/calc.h"
#include "editor/orderform.h"
#include "platform/application.h"
#include "platform/locale.h"
#include "platform/qtapp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void FillRegister(const QString& folder, int count)
{
    TTable store, firm;
    OpenIn(store, folder, QStringLiteral("Store.DB"));
    OpenIn(firm, folder, QStringLiteral("Firm.db"));
    TDatabaseTransaction tx({&store, &firm});
    AddAlfa(firm, Number(count));
    const QStringList row = {QStringLiteral("1"), QStringLiteral("Консултантска услуга"), QStringLiteral("ч."),
                             QStringLiteral("3"), QStringLiteral("40,00"), QStringLiteral("120,00")};
    for (int i = 1; i <= count; ++i)
        AddInvoice(store, i,
                   QStringLiteral("%1.%2.2025 г.").arg(i % 28 + 1, 2, 10, QLatin1Char('0')).arg(i % 12 + 1, 2, 10, QLatin1Char('0')),
                   QStringLiteral("Клиент %1 ООД").arg(i % 10000), QStringLiteral("144,00"), row);
    tx.Commit();
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100000;
    SilentDialogs dialogs(true);
    SetDialogs(&dialogs);
    BenchProgram program("save_bench", [&](const QString& folder) { FillRegister(folder, count); });

    std::vector<double> saves, loads;
    for (int run = 0; run < 7; ++run) {
        Main->OrderBtn->Click();  // the next number: found nowhere in the register
        OrderForm->Edit1->SetText(QStringLiteral("Клиент %1 ООД").arg(run));
        OrderForm->StringGrid1->SetCells(1, 1, QStringLiteral("Услуга"));
        OrderForm->StringGrid1->SetCells(3, 1, QStringLiteral("2"));
        OrderForm->StringGrid1->SetCells(4, 1, QStringLiteral("15,50"));
        QElapsedTimer t;
        t.start();
        if (!OrderForm->SaveWithCustomer(true)) {
            std::printf("the save failed\n");
            return 1;
        }
        saves.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        // As the register opens it: the stored document leaves without a question.
        if (!OrderForm->OpenStoredDocument(count / 2 + run))
            return 1;
        loads.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("register of %d documents, %zu runs\n", DataModule1->store->RecordCount(), saves.size());
    std::printf("save of a new number: median %.1f ms, max %.1f ms (goal < 100 ms)\n", Median(saves), Max(saves));
    std::printf("load of a document:   median %.1f ms, max %.1f ms (goal < 50 ms)\n", Median(loads), Max(loads));
    SetDialogs(nullptr);
    // A box means a run timed something other than a plain save and load.
    return dialogs.messages == 0 ? 0 : 1;
}
