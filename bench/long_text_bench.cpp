// Times a document line with a very long description: opening the stored
// document (the load fills the page, breaking the text into rows), the print
// request that is refused because the page does not hold it, and adding the
// same text from the goods window.
//
//   long_text_bench [characters]    (1,048,576 by default)
//
// Two texts of that length: words with blanks, and one word without any
// blank that holds characters made of two UTF-16 halves. Runs offscreen over
// a temporary data folder.

#include "bench_support.h"

#include "app/mainform.h"
#include "data/datamodule.h"
#include "editor/orderform.h"
#include "page/doc.h"
#include "page/prtd.h"
#include "platform/dialogs.h"
#include "platform/qtapp.h"
#include "registers/stocks.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

QString Words(int size)
{
    const QString words = QStringLiteral("Доставка и монтаж на климатична система с външно тяло, ");
    QString text;
    text.reserve(size + words.size());
    while (text.size() < size)
        text += words;
    text.truncate(size);
    return text;
}

QString OneWord(int size)
{
    // Letters with an emoji (U+1F4E6, two halves) now and then.
    const QString part = QStringLiteral("Болтовесъединения") + QString::fromUcs4(U"\U0001F4E6");
    QString text;
    text.reserve(size + part.size());
    while (text.size() < size)
        text += part;
    text.truncate(size - (text[size - 1].isHighSurrogate() ? 1 : 0));
    return text;
}

void Fill(const QString& folder, const QList<QString>& descriptions)
{
    TTable store, firm, stock;
    OpenIn(store, folder, QStringLiteral("Store.DB"));
    OpenIn(firm, folder, QStringLiteral("Firm.db"));
    OpenIn(stock, folder, QStringLiteral("stock.db"));
    TDatabaseTransaction tx({&store, &firm, &stock});
    AddAlfa(firm, QStringLiteral("0000000002"));
    int number = 0;
    for (const QString& description : descriptions) {
        AddInvoice(store, ++number, QStringLiteral("09.12.2026 г."), QStringLiteral("Клиент ООД"), QStringLiteral("12,00"),
                   {QStringLiteral("1"), description, QStringLiteral("бр."), QStringLiteral("1"), QStringLiteral("10,00"),
                    QStringLiteral("10,00")});
        stock.Append();
        stock.FieldByName(QStringLiteral("Описание на стока/услуга"))->SetAsMemo(description);
        Put(stock, "Мярка", QStringLiteral("бр."));
        Put(stock, "Продажна цена", QStringLiteral("10,00"));
        stock.Post();
    }
    tx.Commit();
}

double Ms(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    SilentDialogs dialogs;
    SetDialogs(&dialogs);
    const int size = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 1 << 20;
    const QList<QString> texts = {Words(size), OneWord(size)};
    const char* const names[] = {"words and blanks", "one word, emoji"};
    {
        BenchProgram program("long_text_bench", [&](const QString& folder) { Fill(folder, texts); });
        std::printf("description of %d characters (UTF-16 units); goal: open + refusal < 1000 ms\n", size);
        for (int i = 0; i < int(texts.size()); ++i) {
            Main->OrderBtn->Click();
            QElapsedTimer t;
            t.start();
            const bool loaded = OrderForm->LoadDocument(i + 1);
            const double open = Ms(t);
            const int pageRows = Doc->StringGrid2->RowCount() - 1;
            dialogs.messages = 0;
            t.restart();
            PrtD->SpeedButton1->Click();  // refused: the page does not hold it
            const double refuse = Ms(t);
            std::printf("%-17s open (load + page fill) %7.1f ms, %6d page rows%s; print refused %7.1f ms (%d message)\n",
                        names[i], open, pageRows, loaded ? "" : " NOT LOADED", refuse, dialogs.messages);
            std::printf("%-17s fits: %s; %s\n", "", Doc->Fits() ? "yes" : "no",
                        qPrintable(Doc->OverflowMessage().section(QLatin1Char('.'), 0, 0)));

            Main->OrderBtn->Click();
            Main->SpeedButton3->Click();  // "Стоки и Услуги"
            Stocks->StringGrid1->SetRow(i + 1);
            t.restart();
            Stocks->Button1->Click();
            const double add = Ms(t);
            std::printf("%-17s added from the goods window %7.1f ms, %6d editor rows\n", "", add,
                        OrderForm->StringGrid1->RowCount() - 1);
            Stocks->Hide();
        }
    }
    SetDialogs(nullptr);
    return 0;
}
