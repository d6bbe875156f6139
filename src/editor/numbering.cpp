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
    // "-5", "+5", " 5" or "1e3" would read as numbers and give a number no counter can hold.
    if (!IsCounterText(counter))
        throw EConvertError(QStringLiteral("„%1“ не е номер").arg(counter));
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
    // A number past ten digits would be cut by the edit into one already used:
    // the edit stays blank and the save says the series is used up.
    MaskEdit1->SetText(next.size() > 10 ? QString() : next);
    ProposedNumber = MaskEdit1->Text();
}

QString NormalizedKind(const QString& kind)
{
    QString out = kind;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (c.isHighSurrogate() && i + 1 < out.size() && out.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            out[i] = QLatin1Char('?');
    }
    return out;
}
