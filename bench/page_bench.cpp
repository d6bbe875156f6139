// Times the page of a 30-line document: one fill from the editor
// (BuildPrintView, which also renders the page) and one RenderPage alone.
//
//   page_bench [runs]
//
// Runs offscreen over the shipped, empty tables in a temporary folder; mem.txt
// and payment.txt are looked for in that folder too.

#include "bench_support.h"

#include "app/mainform.h"
#include "app/startup.h"
#include "data/tables.h"
#include "editor/calc.h"
#include "editor/orderform.h"
#include "page/doc.h"
#include "platform/application.h"
#include "platform/locale.h"
#include "platform/qtapp.h"
#include "platform/sysutils.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void FillThirtyLines()
{
    TOrderForm* f = OrderForm;
    f->Edit1->SetText(QStringLiteral("Бета & Гама Консултинг и Строителство ЕООД – клон Пловдив"));
    f->Edit3->SetText(QStringLiteral("4000 Пловдив, бул. „Марица“ 154, бизнес център „Тракия“, ет. 5"));
    f->Edit2->SetText(QStringLiteral("Мария Георгиева"));
    f->ComboBox1->SetText(QStringLiteral("Кредитно известие"));
    TStringGrid* g = f->StringGrid1;
    g->SetRowCount(31);
    for (int r = 1; r <= 30; ++r) {
        g->SetCells(1, r, QStringLiteral("Стока или услуга номер %1 с дълго описание").arg(r));
        g->SetCells(2, r, QStringLiteral("бр."));
        g->SetCells(3, r, QString::number(r % 7 + 1));
        g->SetCells(4, r, QStringLiteral("%1,%2").arg(r * 37).arg(r % 100, 2, 10, QLatin1Char('0')));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20;
    BenchProgram program("page_bench");
    Main->OrderBtn->Click();
    FillThirtyLines();

    std::vector<double> fills, renders;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        OrderForm->BuildPrintView(false);
        fills.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        Doc->RenderPage();
        renders.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("30-line document, %d runs\n", runs);
    std::printf("fill (BuildPrintView, includes its RenderPage): median %.1f ms, max %.1f ms\n", Median(fills),
                *std::max_element(fills.begin(), fills.end()));
    std::printf("RenderPage alone:                               median %.1f ms, max %.1f ms\n", Median(renders),
                *std::max_element(renders.begin(), renders.end()));
    std::printf("fill + RenderPage:                              median %.1f ms (goal < 100 ms)\n",
                Median(fills) + Median(renders));
    std::printf("amount in words: %s\n", qPrintable(Doc->Label18->Caption().replace(QLatin1Char('\n'), QLatin1Char(' '))));

    return 0;
}
