// Reopening a stored document in the editor.
#include "editor/orderform.h"

#include "data/datamodule.h"
#include "editor/money.h"
#include "page/doc.h"
#include "platform/sysutils.h"
#include "registers/revenue.h"
#include "registers/sort.h"

#include <algorithm>
#include <optional>

namespace {

const QStringList kEnglishKinds = {QStringLiteral("INVOICE"),      QStringLiteral("PROFORMA INVOICE"),
                                   QStringLiteral("Order confirmation"), QStringLiteral("Packing list"),
                                   QStringLiteral("Delivery note"), QStringLiteral("Credit note"),
                                   QStringLiteral("Debit note")};

struct LoadError {
    QString reason;
};

QDate ParseStoredDate(const QString& field, const QString& text)
{
    const QDate date = StoredDate(text);
    if (!date.isValid())
        throw LoadError{QStringLiteral("полето „%1“ съдържа „%2“, което не е дата").arg(field, text)};
    return date;
}

// Stored files hold empty flags too: they read as not set.
bool ParseStoredFlag(const QString& field, const QString& text)
{
    if (text.trimmed().isEmpty())
        return false;
    try {
        return StrToBool(text);
    } catch (const Exception&) {
        throw LoadError{QStringLiteral("полето „%1“ съдържа „%2“, което не е „True“ или „False“").arg(field, text)};
    }
}

// Everything a load takes from the record, read and checked before the editor changes.
struct StoredDocument {
    QString kind, number, payment, recipient, issuer, basis, article, notice, noticeNumber;
    QString customer, customerVat, customerId, customerAddress, customerPerson;
    QString place, bank, iban, swift, rate, payable, prefix;
    bool printed = false, taxDateShown = false, paymentDateShown = false, paid = false;
    QDate date, taxDate, paymentDate, noticeDate;
    double currencyRate = 1.0;
    bool english = false;
    std::optional<int> company;  // none when the record names no company of the folder
    QString companyText;
    QStringList lines, noticeLines;
};

QStringList MemoLines(const QString& memo)
{
    QStringList lines = memo.split(QStringLiteral("\r\n"));
    // The text ends in a line break: no line follows it.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Reads the current record of store.
StoredDocument ReadStoredDocument(TTable* store, int companies)
{
    const auto text = [&](const char* field) { return store->FieldByName(QString::fromUtf8(field))->Text(); };
    const auto date = [&](const char* field) { return ParseStoredDate(QString::fromUtf8(field), text(field)); };
    const auto flag = [&](const char* field) { return ParseStoredFlag(QString::fromUtf8(field), text(field)); };
    StoredDocument d;
    d.kind = text("Документ");
    d.english = kEnglishKinds.contains(d.kind);
    d.printed = flag("Статус");
    d.number = text("Num");
    // The number box holds exactly ten digits: anything else would be printed
    // and stored again as another number.
    if (d.number.size() != 10 || !IsDigits(d.number))
        throw LoadError{QStringLiteral("номерът „%1“ не се състои от 10 цифри").arg(d.number)};
    d.date = date("От дата");
    d.taxDateShown = flag("Дата на д.с.?");
    d.taxDate = date("Дата на данъчното събитие");
    d.paymentDateShown = flag("Дата на плащане?");
    d.paymentDate = date("Дата на плащане");
    d.payment = text("Вид плащане");
    d.recipient = text("Получател");
    d.issuer = text("Съставил");
    d.basis = text("Основание за:");
    d.article = text("Основания");
    d.notice = text("Известие");
    d.noticeDate = date("Известие от дата");
    d.noticeNumber = text("Известие към фактура No");
    // Its box holds ten digits too; what it would cut or drop is refused, not changed.
    if (d.noticeNumber.size() > 10 ||
        !std::all_of(d.noticeNumber.begin(), d.noticeNumber.end(),
                     [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'_' || c == u' '; }))
        throw LoadError{QStringLiteral("номерът на фактурата към известието „%1“ не се състои от 10 цифри")
                            .arg(d.noticeNumber)};
    d.customer = text("Клиент");
    d.customerVat = text("Ин по ЗДДС /к/");
    d.customerId = text("ИН /к/");
    d.customerAddress = text("Адрес /к/");
    d.customerPerson = text("МОЛ /к/");
    d.place = text("Местоиздаване");
    d.bank = text("Банка");
    d.iban = text("IBAN");
    d.swift = text("SWIFT");
    d.rate = text("Данъчна ставка");
    d.payable = text("Стойност /общо/");
    d.paid = flag("Paid?");
    d.prefix = text("CurrencyPrefix");
    if (d.english) {
        // Written under either decimal separator, depending on the workplace's locale.
        const QString rate = NormalizeDecimalText(text("CurrencyRate"));
        if (rate.isEmpty() || StrToFloat(rate) <= 0)
            throw LoadError{QStringLiteral("курсът „%1“ не е положително число").arg(text("CurrencyRate"))};
        d.currencyRate = StrToFloat(rate);
    }
    d.companyText = text("Firm.db index");
    if (const int company = TOrderForm::StoredCompany(d.companyText, companies))
        d.company = company;
    d.lines = MemoLines(store->FieldByName(QStringLiteral("Стоки и Услуги"))->AsMemo());
    d.noticeLines = MemoLines(store->FieldByName(QStringLiteral("Str2"))->AsMemo());
    return d;
}

}  // namespace

int TOrderForm::StoredCompany(const QString& index, int companies)
{
    bool ok = false;
    const int company = index.trimmed().toInt(&ok);
    return ok && company >= 1 && company <= companies ? company : 0;
}

bool TOrderForm::LoadDocument(int recNo)
{
    if (recNo <= 0)
        return false;
    if (!DataModule1->CheckTablesOpen())
        return false;
    TTable* store = DataModule1->store;
    TTable* cust = DataModule1->cust;
    TTable* firm = DataModule1->firm;
    TTable* ae = DataModule1->Tableae;

    // 2. (first, so that the whole record is checked before the editor changes)
    // store goes back to where it stood however the load ends.
    TRegisterWalk walk(true);
    const int keepCust = cust->RecNo();
    StoredDocument d;
    QString failure;
    try {
        if (recNo > store->RecordCount())
            throw LoadError{QStringLiteral("документ № %1 не съществува").arg(recNo)};
        store->SetRecNo(recNo);
        d = ReadStoredDocument(store, firm->RecordCount());
    } catch (const LoadError& e) {
        failure = e.reason;
    } catch (const Exception& e) {
        failure = e.Message;
    }
    if (!failure.isEmpty()) {
        // Nothing has changed: the editor keeps the document it had.
        MessageBox(this, QStringLiteral("Документът не може да бъде зареден: ") + failure, QString(),
                   TMsgIcon::Warning);
        return false;
    }

    // 1. The editor.
    SetCaption(QStringLiteral("Зареден Документ"));
    StringGrid1->SetCol(5);
    StringGrid1->SetRow(1);
    StringGrid1->SetEditorMode(true);
    Doc->RenderPage();
    StringGrid1Button->SetLeft(566);
    StringGrid1Button->SetTop(336);
    CheckBox3->SetChecked(false);
    Panel2->SetCaption(QStringLiteral("Неотпечатан"));
    Panel2->Font()->SetColor(clRed);

    // 3. The language, which also replaces the kind list.
    TRadioButton* language = d.english ? RadioButton2 : RadioButton1;
    language->SetChecked(true);
    RadioButton1Click(language);
    if (d.english) {
        Doc->CurrencyPrefix = d.prefix;
        Doc->CurrencyRate = d.currencyRate;
    }

    // 4.-6.
    ComboBox2->SetText(d.kind);
    CheckBox3->SetChecked(d.printed);
    Panel2->SetCaption(d.printed ? QStringLiteral("Отпечатан") : QStringLiteral("Неотпечатан"));
    Panel2->Font()->SetColor(d.printed ? clBlue : clRed);
    MaskEdit1->SetText(d.number);
    EDate->SetDate(d.date);
    CheckBox1->SetChecked(d.taxDateShown);
    EDate2->SetDate(d.taxDate);
    CheckBox2->SetChecked(d.paymentDateShown);
    EDate3->SetDate(d.paymentDate);
    ComboBox3->SetText(d.payment);
    Edit8->SetText(d.recipient);
    ComboBox5->SetText(d.basis);
    ComboBox4->SetText(d.article);
    ComboBox1->SetText(d.notice);
    // A document without a notice must not show the previous document's one.
    StringGrid2->SetVisible(!d.notice.isEmpty());
    CheckBox4->SetChecked(!d.notice.isEmpty());
    EDate4->SetDate(d.noticeDate);
    MaskEdit2->SetText(d.noticeNumber);
    Edit1->SetText(d.customer);
    Edit6->SetText(d.customerVat);
    Edit7->SetText(d.customerId);
    Edit3->SetText(d.customerAddress);
    Edit2->SetText(d.customerPerson);
    // Re-saving updates this customer even when the number is corrected.
    RememberCustomer(0, d.customer, d.customerId);

    // 7. The company as it is now, not as it was stored.
    if (d.company) {
        firm->SetRecNo(*d.company);
        if (ae->RecordCount() >= *d.company)
            ae->SetRecNo(*d.company);
    }
    LoadSupplier();
    // After the company block: its "issuer follows the responsible person" rule is for new documents.
    Edit10->SetText(d.issuer);

    // 8.
    DBText7->SetText(d.place);
    Bank->SetText(d.bank);
    IBAN->SetText(d.iban);
    SWIFT->SetText(d.swift);
    Edit9->SetText(d.rate);
    Label11->SetCaption(d.payable);
    CheckBox6->SetChecked(d.paid);

    // 9. Discount column: only the header row says so, a line may read the same.
    const auto isDiscountCaption = [](const QString& caption) {
        return caption.compare(QStringLiteral("Отстъпка %"), Qt::CaseInsensitive) == 0 ||
               caption.compare(QStringLiteral("Discount %"), Qt::CaseInsensitive) == 0;
    };
    CheckBox7->SetChecked(d.lines.size() > 5 && isDiscountCaption(d.lines[5]));
    CheckBox7Click(CheckBox7);

    // 10. The lines, header row included; never fewer than one line row. A
    // short last row is a row too, unless all it has is empty lines.
    const int cols = StringGrid1->ColCount();
    int rows = int(d.lines.size()) / cols;
    for (int i = rows * cols; i < d.lines.size(); ++i)
        if (!d.lines[i].isEmpty()) {
            ++rows;
            break;
        }
    StringGrid1->SetRowCount(std::max(2, rows));
    for (int r = 0; r < StringGrid1->RowCount(); ++r)
        for (int c = 0; c < cols; ++c) {
            const int i = r * cols + c;
            StringGrid1->SetCells(c, r, i < d.lines.size() ? d.lines[i] : QString());
        }
    // 11. The notice account grid keeps its size.
    for (int r = 0; r < StringGrid2->RowCount(); ++r)
        for (int c = 0; c < StringGrid2->ColCount(); ++c) {
            const int i = r * StringGrid2->ColCount() + c;
            StringGrid2->SetCells(c, r, i < d.noticeLines.size() ? d.noticeLines[i] : QString());
        }

    // 12.-14.
    RecalcByRate();
    Show();
    ListBox1->Hide();
    if (keepCust >= 1 && keepCust <= cust->RecordCount())
        cust->SetRecNo(keepCust);

    // 15.
    BuildPrintView(false);
    Doc->RenderPage();
    RememberStoredRecord(recNo);
    // The stored number is the document's own, not a proposal.
    ProposedNumber.clear();
    if (!d.company)
        MessageBox(this,
                   QStringLiteral("Фирмата на документа („%1“) не е намерена. Документът е отворен с текущата фирма.")
                       .arg(d.companyText),
                   QString(), TMsgIcon::Warning);
    return true;
}
