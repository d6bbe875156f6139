#include "editor/numbering.h"

#include "data/datamodule.h"
#include "editor/orderform.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"

TNumberSeries NumberSeries(const QString& kind)
{
    static const QStringList invoiceKinds = {
        QStringLiteral("ФАКТУРА"),     QStringLiteral("INVOICE"),           QStringLiteral("Debit note"),
        QStringLiteral("Дебитно известие"), QStringLiteral("Credit note"), QStringLiteral("Кредитно известие")};
    if (invoiceKinds.contains(kind, Qt::CaseSensitive))
        return TNumberSeries::Invoice;
    if (kind == QStringLiteral("ПРОТОКОЛ чл.117"))
        return TNumberSeries::Protocol117;
    return TNumberSeries::ProForma;
}

TSeriesCounter SeriesCounter(TNumberSeries series)
{
    switch (series) {
    case TNumberSeries::Invoice: return {QStringLiteral("firm"), QStringLiteral("Фактура №")};
    case TNumberSeries::Protocol117: return {QStringLiteral("Tableae"), QStringLiteral("VOP")};
    case TNumberSeries::ProForma: break;
    }
    return {QStringLiteral("firm"), QStringLiteral("Проформа №")};
}

bool IsCounterText(const QString& text) { return text.size() <= 10 && IsDigits(text); }

QString NextNumber(const QString& counter)
{
    const double last = counter.isEmpty() ? 0.0 : StrToFloat(counter);
    QString next = FloatToStr(last + 1);
    while (next.size() < 10)
        next.insert(0, QLatin1Char('0'));
    return next;
}

void TOrderForm::AssignNextNumber()
{
    LoadSupplier();
    if (ComboBox2->Text().isEmpty())
        ComboBox2->SetItemIndex(0);

    TEdit* counter = DBText4;
    QString counterName = QStringLiteral("Проформа №");
    switch (NumberSeries(ComboBox2->Text())) {
    case TNumberSeries::Invoice:
        counter = DBText3;
        counterName = QStringLiteral("Фактура №");
        break;
    case TNumberSeries::Protocol117:
        counter = Edit11;
        counterName = QStringLiteral("ВОП №");
        break;
    case TNumberSeries::ProForma: break;
    }

    QString next;
    try {
        next = NextNumber(counter->Text());
    } catch (const EConvertError&) {
        // A counter typed by hand in the own-companies window; the new document
        // must still come up, so start the series over and say why.
        next = QStringLiteral("0000000001");
        ShowMessage(QStringLiteral("Броячът „%1“ на фирмата „%2“ не е число: „%3“.\nПредлага се номер %4.")
                        .arg(counterName, DBText1->Text(), counter->Text(), next));
    }
    MaskEdit1->SetText(next);
}
