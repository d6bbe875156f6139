// Storing the editor's document in the register, with its customer and the
// company's number counter.
#include "editor/orderform.h"

#include "data/datamodule.h"
#include "editor/money.h"
#include "editor/numbering.h"
#include "page/doc.h"
#include "platform/application.h"
#include "platform/dbctrls.h"
#include "platform/sysutils.h"
#include "registers/editcust.h"
#include "registers/fillfirm.h"
#include "registers/sort.h"

#include <algorithm>

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy 'г.'");

QString UnclearCustomerText(const QString& name)
{
    return QStringLiteral("Има няколко клиента с име „%1“ и не е ясно кой от тях да бъде обновен. "
                          "За да го посочите, изберете го от списъка до името.")
        .arg(name);
}

QString Flag(bool checked) { return BoolToStr(checked, true); }

}  // namespace

QString TOrderForm::GridMemoText(TStringGrid* grid)
{
    QString text;
    for (int r = 0; r < grid->RowCount(); ++r)
        for (int c = 0; c < grid->ColCount(); ++c) {
            QString cell = grid->Cells(c, r);
            // A line break inside a cell would shift every later cell on reload.
            if (cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'))) {
                cell.remove(QLatin1Char('\n'));
                cell.remove(QLatin1Char('\r'));
                grid->SetCells(c, r, cell);
            }
            text += cell + QStringLiteral("\r\n");
        }
    return text;
}

void TOrderForm::SaveClick(TObject* Sender) { SaveWithCustomer(Sender != nullptr); }

bool TOrderForm::SaveWithCustomer(bool askOverwrite)
{
    if (!DataModule1->CheckTablesOpen())
        return false;
    // Stored and compared as the table holds it, or every save would find no
    // record of this kind and add another one.
    const QString kind = NormalizedKind(ComboBox2->Text());
    if (kind != ComboBox2->Text()) {
        // The same kind, so the number stays.
        const TNotifyEvent change = ComboBox2->OnChange;
        ComboBox2->OnChange = nullptr;
        ComboBox2->SetText(kind);
        ComboBox2->OnChange = change;
    }
    if (!BuildPrintView(false))
        return false;
    // A document that cannot be printed gets no number and no record.
    if (!Doc->Fits()) {
        Doc->Hide();
        MessageBox(this, Doc->OverflowMessage(), QString(), TMsgIcon::Warning);
        return false;
    }
    GridRowUp();
    return SaveDocument(askOverwrite);
}

int TOrderForm::IssuingCompany() const
{
    TTable* firm = DataModule1->firm;
    const int count = firm->RecordCount();
    if (SupplierRecNo >= 1 && SupplierRecNo <= count)
        return SupplierRecNo;
    // Not known: the company whose name the block shows, else the first one.
    const bool bulgarian = RadioButton1->Checked();
    TTable* names = bulgarian ? firm : DataModule1->Tableae;
    TField* name = names->FieldByName(bulgarian ? QStringLiteral("ДОСТАВЧИК") : QStringLiteral("Supplier"));
    for (int i = 1; i <= names->RecordCount(); ++i)
        if (name->TextAt(i) == DBText1->Text())
            return i;
    return 1;
}

namespace {

const char* const kIdentityFields[] = {"Документ", "Firm.db index", "Клиент", "ИН /к/", "От дата", "Стойност /общо/"};

TOrderForm::TStoredIdentity Identity(const QString& number, const std::vector<QString>& texts)
{
    return {texts[0], number, texts[1], texts[2], texts[3], texts[4], texts[5]};
}

std::vector<TField*> IdentityFields(TTable* store)
{
    std::vector<TField*> fields;
    for (const char* name : kIdentityFields)
        fields.push_back(store->FieldByName(QString::fromUtf8(name)));
    return fields;
}

bool IsTenDigits(const QString& number) { return number.size() == 10 && IsDigits(number); }

QString CounterName(TNumberSeries series)
{
    switch (series) {
    case TNumberSeries::Invoice: return QStringLiteral("Фактура №");
    case TNumberSeries::Protocol117: return QStringLiteral("ВОП №");
    case TNumberSeries::ProForma: break;
    }
    return QStringLiteral("Проформа №");
}

}  // namespace

int TOrderForm::FindOwnRecord() const
{
    // A new document has none.
    if (LoadedRecNo == 0 || LoadedRecord.number.isEmpty())
        return 0;
    TTable* store = DataModule1->store;
    const TTable::TColumnRead rows =
        store->ColumnTexts(IdentityFields(store), store->FieldByName(QStringLiteral("Num")), LoadedRecord.number);
    int own = 0;
    for (size_t k = 0; k < rows.RecNos.size(); ++k) {
        std::vector<QString> texts;
        for (const auto& column : rows.Texts)
            texts.push_back(column[k]);
        if (Identity(LoadedRecord.number, texts) == LoadedRecord) {
            own = rows.RecNos[k];
            if (own == LoadedRecNo)
                break;
        }
    }
    return own;
}

int TOrderForm::FindStoredDocument(int company, const QString& number, int own) const
{
    TTable* store = DataModule1->store;
    const int companies = DataModule1->firm->RecordCount();
    const TTable::TColumnRead rows =
        store->ColumnTexts({store->FieldByName(QStringLiteral("Документ")), store->FieldByName(QStringLiteral("Firm.db index"))},
                           store->FieldByName(QStringLiteral("Num")), number);
    const QString kind = ComboBox2->Text();
    int last = 0;
    for (size_t k = 0; k < rows.RecNos.size(); ++k) {
        if (rows.Texts[0][k] != kind)
            continue;
        // Each own company numbers on its own: its number 5 is not another's.
        // "01", "+1" and " 1" all name company 1.
        const int stored = StoredCompany(rows.Texts[1][k], companies);
        const int r = rows.RecNos[k];
        // The document this editor holds was loaded under the company shown
        // when its own names none.
        if (r == own && (stored == company || stored == 0))
            return own;
        if (stored == company)
            last = r;
    }
    return last;
}

struct TOrderForm::TSavePlan {
    int company = 0;
    TNumberSeries series = TNumberSeries::Invoice;
    TTable* counterTable = nullptr;
    QString counterField;
    bool withCustomer = false;
    int approved = 0;  // the record the user agreed to overwrite
    // What the last decision found.
    int found = 0;
    QString number;  // the number the document is stored under
    QString counter;
    int customer = 0;
};

struct TOrderForm::TSaveStep {
    enum { Go, Refuse, AskOverwrite, AskCustomer } kind = Go;
    QString text;
    int found = 0;
};

// Decides from the tables as they are now; writes nothing, asks nothing.
TOrderForm::TSaveStep TOrderForm::DecideSave(TSavePlan& plan, bool askOverwrite) const
{
    TTable* store = DataModule1->store;
    const QString counter = plan.counterTable->FieldByName(plan.counterField)->TextAt(plan.company);
    if (!IsCounterText(counter))
        return {TSaveStep::Refuse,
                QStringLiteral("Броячът „%1“ на фирмата съдържа „%2“, което не е номер. Поправете го в „Моите фирмени детайли“.")
                    .arg(CounterName(plan.series), counter)};

    const QString typed = MaskEdit1->Text();
    const int own = FindOwnRecord();
    int found = IsTenDigits(typed) ? FindStoredDocument(plan.company, typed, own) : 0;
    QString number = typed;
    // A proposed number that another workplace took meanwhile, or that its
    // series has passed, is not what the user chose: the next free one is.
    const bool proposed = !ProposedNumber.isEmpty() && typed == ProposedNumber;
    if (proposed && !(found && found == own) &&
        (found || !IsTenDigits(typed) || (!counter.isEmpty() && StrToFloat(counter) >= StrToFloat(typed)))) {
        QString next = NextNumber(counter);
        while (next.size() == 10 && FindStoredDocument(plan.company, next, 0))
            next = NextNumber(next);
        if (next.size() > 10)
            return {TSaveStep::Refuse,
                    QStringLiteral("Номерата от серията „%1“ на фирмата са изчерпани: последният е %2. "
                                   "Документът не е запазен. Изберете друга фирма или друг вид документ.")
                        .arg(CounterName(plan.series), counter)};
        number = next;
        found = 0;
    }
    if (!IsTenDigits(number))
        return {TSaveStep::Refuse, QStringLiteral("Номерът на документа трябва да се състои от 10 цифри.")};

    if (found && found != plan.approved && !(found == own && !askOverwrite)) {
        const auto text = [store, found](const char* field) {
            return store->FieldByName(QString::fromUtf8(field))->TextAt(found);
        };
        const QString customer = text("Клиент").trimmed();
        return {TSaveStep::AskOverwrite,
                QStringLiteral("Вече съществува ") + ComboBox2->Text() + QStringLiteral(" с този номер!") +
                    QLatin1Char('\n') +
                    QStringLiteral("Ще бъде заменен документът %1 от %2 на стойност %3.")
                        .arg(customer.isEmpty() ? QStringLiteral("без клиент") : QStringLiteral("за „%1“").arg(customer),
                             text("От дата"), text("Стойност /общо/")) +
                    QLatin1Char('\n') + QStringLiteral("Да презапиша ли промените?"),
                found};
    }
    int customer = 0;
    if (plan.withCustomer) {
        customer = FindCustomerRecord();
        if (customer == kCustomerUnclear)
            return {TSaveStep::AskCustomer,
                    UnclearCustomerText(Edit1->Text()) + QLatin1Char('\n') +
                        QStringLiteral("Да запазя ли документа сега, без да променям клиентите?")};
    }
    plan.found = found;
    plan.number = number;
    plan.counter = counter;
    plan.customer = customer;
    return {};
}

bool TOrderForm::SaveDocument(bool askOverwrite)
{
    TDataModule1* dm = DataModule1;
    TTable* store = dm->store;
    TTable* firm = dm->firm;
    TTable* ae = dm->Tableae;
    TTable* cust = dm->cust;

    // Every refusal and every question comes before anything is posted, here
    // or in another window.
    const QString typed = MaskEdit1->Text();
    const bool proposed = !ProposedNumber.isEmpty() && typed == ProposedNumber;
    if (!proposed && !IsTenDigits(typed)) {
        MessageBox(this, QStringLiteral("Номерът на документа трябва да се състои от 10 цифри."), QString(),
                   TMsgIcon::Warning);
        return false;
    }
    if (firm->RecordCount() == 0) {
        MessageBox(this, QStringLiteral("Няма въведена фирма. Въведете я в „Моите фирмени детайли“."), QString(),
                   TMsgIcon::Warning);
        return false;
    }
    TSavePlan plan;
    plan.company = IssuingCompany();
    plan.series = NumberSeries(ComboBox2->Text());
    const TSeriesCounter counter = SeriesCounter(plan.series);
    plan.counterTable = counter.table == QLatin1String("Tableae") ? ae : firm;
    plan.counterField = counter.field;
    if (plan.counterTable->RecordCount() < plan.company) {
        MessageBox(this, QStringLiteral("Липсват английските данни на фирмата. Отворете „Моите фирмени детайли“."),
                   QString(), TMsgIcon::Warning);
        return false;
    }
    // The customer is stored with the document and looked up under the same
    // lock, so that one another workplace stored meanwhile is updated.
    plan.withCustomer = !Edit1->Text().trimmed().isEmpty() && cust->Active();
    const bool customerPending = plan.withCustomer && cust->Editing();
    if (customerPending && !CustomerWindowReady())
        return false;
    const bool companyPending = FillFirm && (firm->Editing() || ae->Editing());
    if (companyPending && !FillFirm->NewCompanyUntouched() && !FillFirm->CountersValid())
        return false;

    // Nothing may hold the other workplaces up while a question waits.
    const auto settle = [this, &plan](const TSaveStep& step) {
        switch (step.kind) {
        case TSaveStep::Go: return true;
        case TSaveStep::Refuse: MessageBox(this, step.text, QString(), TMsgIcon::Warning); return false;
        case TSaveStep::AskOverwrite:
            if (MessageBox(this, step.text, QString(), TMsgIcon::Warning, TMsgButtons::YesNoCancel) != mrYes)
                return false;
            plan.approved = step.found;
            return true;
        case TSaveStep::AskCustomer:
            if (MessageBox(this, step.text, QString(), TMsgIcon::Warning, TMsgButtons::YesNo) != mrYes)
                return false;
            plan.withCustomer = false;
            return true;
        }
        return false;
    };

    TRegisterWalk walk(false);
    const int keepCustomer = cust->RecNo();
    int customerRecNo = 0;
    QString printed;
    try {
        if (customerPending || companyPending) {
            // The typing waiting in those windows is posted only once every
            // question is answered, on the tables as they are now.
            for (TTable* t : {store, firm, ae, cust})
                if (t->Active() && !t->Editing())
                    t->Resync();
            for (;;) {
                const TSaveStep step = DecideSave(plan, askOverwrite);
                if (step.kind == TSaveStep::Go)
                    break;
                if (!settle(step))
                    return false;
            }
            if (companyPending) {
                if (FillFirm->NewCompanyUntouched()) {
                    // An empty company is no company.
                    firm->Cancel();
                    ae->Cancel();
                } else if (!FillFirm->PostPendingChanges()) {
                    return false;
                }
            }
            if (customerPending && !CustomerWindowPosted())
                return false;
        }

        for (;;) {
            std::vector<TTable*> tables{store, firm, ae};
            if (plan.withCustomer)
                tables.push_back(cust);
            TDatabaseTransaction tx(tables);
            // What other workplaces stored up to now counts: they wait for us from here on.
            for (TTable* t : tables)
                t->Resync();
            const TSaveStep step = DecideSave(plan, askOverwrite);
            if (step.kind != TSaveStep::Go) {
                tx.Rollback();
                if (!settle(step))
                    return false;
                continue;  // again, in case the register changed meanwhile
            }

            const QString lines = GridMemoText(StringGrid1);
            const QString notice = GridMemoText(StringGrid2);
            printed = WriteDocumentRecord(plan.found, DocumentValues(plan.company, plan.number, lines, notice),
                                          !askOverwrite);

            firm->SetRecNo(plan.company);
            if (ae->RecordCount() >= plan.company)
                ae->SetRecNo(plan.company);
            if (StrToFloat(plan.number) > (plan.counter.isEmpty() ? 0.0 : StrToFloat(plan.counter))) {
                plan.counterTable->Edit();
                plan.counterTable->FieldByName(plan.counterField)->SetText(plan.number);
                plan.counterTable->Post();
            }
            store->Post();
            if (plan.withCustomer)
                customerRecNo = WriteCustomerRecord(plan.customer);
            tx.Commit();
            break;
        }
    } catch (const Exception& e) {
        // The transaction has put every table back as it was in its file.
        Application->ShowException(e);
        return false;
    }

    SupplierRecNo = plan.company;
    RememberStoredRecord(store->RecNo());
    const bool isPrinted = printed == QLatin1String("True");
    CheckBox3->SetChecked(isPrinted);
    Panel2->SetCaption(isPrinted ? QStringLiteral("Отпечатан") : QStringLiteral("Неотпечатан"));
    Panel2->Font()->SetColor(isPrinted ? clBlue : clRed);
    if (plan.withCustomer) {
        RememberCustomer(customerRecNo, Edit1->Text(), Edit7->Text());
        if (keepCustomer >= 1 && keepCustomer <= cust->RecordCount())
            cust->SetRecNo(keepCustomer);
        ListBox1->Hide();
    }
    const bool renumbered = plan.number != typed;
    if (renumbered)
        MaskEdit1->SetText(plan.number);
    // Stored: from now on the number is the document's own.
    ProposedNumber.clear();
    Save->SetEnabled(false);
    if (renumbered)
        MessageBox(this,
                   (IsTenDigits(typed)
                        ? QStringLiteral("Номер %1 вече е използван: междувременно е записан друг документ от серията. ")
                              .arg(typed)
                        : QString()) +
                       QStringLiteral("Документът е запазен под номер %1.").arg(plan.number),
                   QString(), TMsgIcon::Information);
    return true;
}

void TOrderForm::RememberStoredRecord(int recNo)
{
    TTable* store = DataModule1->store;
    std::vector<QString> texts;
    for (TField* f : IdentityFields(store))
        texts.push_back(f->TextAt(recNo));
    LoadedRecNo = recNo;
    LoadedRecord = Identity(store->FieldByName(QStringLiteral("Num"))->TextAt(recNo), texts);
}

std::vector<std::pair<QString, QString>> TOrderForm::DocumentValues(int company, const QString& number,
                                                                    const QString& lines, const QString& notice)
{
    if (RadioButton1->Checked()) {
        Doc->CurrencyPrefix.clear();
        Doc->CurrencyRate = 1.0;
        Doc->Language = 0;
    }
    std::vector<std::pair<QString, QString>> values;
    const auto put = [&values](const char* field, const QString& text) {
        values.emplace_back(QString::fromUtf8(field), text);
    };
    put("Документ", ComboBox2->Text());
    put("Статус", Flag(CheckBox3->Checked()));
    put("Num", number);
    put("От дата", FormatDateTime(kDateFormat, EDate->Date()));
    put("Дата на д.с.?", Flag(CheckBox1->Checked()));
    put("Дата на данъчното събитие", FormatDateTime(kDateFormat, EDate2->Date()));
    put("Дата на плащане?", Flag(CheckBox2->Checked()));
    put("Дата на плащане", FormatDateTime(kDateFormat, EDate3->Date()));
    put("Вид плащане", ComboBox3->Text());
    put("Получател", Edit8->Text());
    put("Съставил", Edit10->Text());
    put("Основание за:", ComboBox5->Text());
    put("Основания", ComboBox4->Text());
    put("Известие", ComboBox1->Text());
    put("Известие от дата", FormatDateTime(kDateFormat, EDate4->Date()));
    put("Известие към фактура No", MaskEdit2->Text());
    put("Клиент", Edit1->Text());
    put("Ин по ЗДДС /к/", Edit6->Text());
    put("ИН /к/", Edit7->Text());
    put("Адрес /к/", Edit3->Text());
    put("МОЛ /к/", Edit2->Text());
    put("Доставчик", DBText1->Text());
    put("МОЛ /д/", DBText2->Text());
    put("Адрес /д/", DBText8->Text());
    put("ИН /д/", DBText5->Text());
    put("ИН по ЗДДС /д/", DBText6->Text());
    put("Местоиздаване", DBText7->Text());
    put("Банка", Bank->Text());
    put("IBAN", IBAN->Text());
    put("SWIFT", SWIFT->Text());
    put("Данъчна ставка", Edit9->Text());
    put("Стойност /общо/", Label11->Caption());
    put("Paid?", Flag(CheckBox6->Checked()));
    put("Firm.db index", QString::number(company));
    put("Anulirana", QStringLiteral("False"));
    put("CurrencyPrefix", Doc->CurrencyPrefix);
    put("CurrencyRate", FloatToStr(Doc->CurrencyRate));
    put("Стоки и Услуги", lines);
    put("Str2", notice);
    return values;
}

QString TOrderForm::WriteDocumentRecord(int found, std::vector<std::pair<QString, QString>> values,
                                        bool printedAsShown)
{
    TTable* store = DataModule1->store;
    const auto value = [&values](const char* field) -> QString& {
        for (auto& [name, text] : values)
            if (name == QString::fromUtf8(field))
                return text;
        throw EDatabaseError(QStringLiteral("Вътрешна грешка: няма поле „%1“.").arg(QString::fromUtf8(field)));
    };
    if (found) {
        const auto stored = [store, found](const QString& field) {
            TField* f = store->FieldByName(field);
            return f->DataType() == TFieldType::ftMemo ? f->AsStringAt(found) : f->TextAt(found);
        };
        // Re-saving (a reprint) must not bring a cancelled document back into the turnover.
        if (stored(QStringLiteral("Anulirana")) == QLatin1String("True"))
            value("Anulirana") = QStringLiteral("True");
        // The print mark stays only on what was printed: the print chooser
        // sets it for what it prints, any other save keeps it only while the
        // content is the stored one.
        if (!printedAsShown) {
            bool same = true;
            for (const auto& [name, text] : values) {
                if (name == QLatin1String("Статус") || name == QLatin1String("Anulirana") || name == QLatin1String("Paid?"))
                    continue;
                TField* f = store->FieldByName(name);
                const QString was = stored(name);
                if (f->DataType() == TFieldType::ftBoolean)
                    same = (was == QLatin1String("True")) == (text == QLatin1String("True"));
                else if (name == QLatin1String("CurrencyRate"))
                    same = NormalizeDecimalText(was) == NormalizeDecimalText(text);
                else
                    same = was == (f->DataType() == TFieldType::ftString && f->Size() > 0 ? text.left(f->Size()) : text);
                if (!same)
                    break;
            }
            value("Статус") = Flag(same && stored(QStringLiteral("Статус")) == QLatin1String("True"));
        }
        store->SetRecNo(found);
        store->Edit();
    } else {
        if (!printedAsShown)
            value("Статус") = Flag(false);
        store->Append();
    }
    for (const auto& [name, text] : values) {
        TField* f = store->FieldByName(name);
        if (f->DataType() == TFieldType::ftMemo)
            f->SetAsMemo(text);
        else
            f->SetText(text);
    }
    return value("Статус");
}

void TOrderForm::SpeedButton3Click(TObject* Sender)
{
    TTable* cust = DataModule1->cust;
    const QString name = Edit1->Text();
    if (name.trimmed().isEmpty()) {
        // A document without a customer must not overwrite the nameless one.
        if (Sender)
            MessageBox(this, QStringLiteral("Въведете името на клиента."), QString(), TMsgIcon::Warning);
        return;
    }
    if (!cust->Active()) {
        if (Sender)
            DataModule1->CheckTablesOpen();
        return;
    }
    // Refused before the customer window's typing is posted.
    if (!CustomerWindowReady())
        return;
    if (FindCustomerRecord() == kCustomerUnclear) {
        MessageBox(this, UnclearCustomerText(name), QString(), TMsgIcon::Warning);
        return;
    }
    if (!CustomerWindowPosted())
        return;
    const int keep = cust->RecNo();
    int written = 0;
    try {
        TDatabaseTransaction tx({cust});
        cust->Resync();
        const int found = FindCustomerRecord();
        if (found == kCustomerUnclear) {
            tx.Rollback();
            MessageBox(this, UnclearCustomerText(name), QString(), TMsgIcon::Warning);
            return;
        }
        written = WriteCustomerRecord(found);
        tx.Commit();
    } catch (const Exception& e) {
        // The transaction has put the table back as it was in its file.
        Application->ShowException(e);
        return;
    }
    RememberCustomer(written, name, Edit7->Text());
    if (keep >= 1 && keep <= cust->RecordCount())
        cust->SetRecNo(keep);
    ListBox1->Hide();
    if (Sender)
        ShowMessage(QStringLiteral("Запазен успешно!"));
}

void TOrderForm::RememberCustomer(int recNo, const QString& name, const QString& id)
{
    ChosenCustomer = {recNo, name, id};
}

// A change still open in the customer register is the user's own typing: it
// is posted before the editor writes the table, or the user is told why not.
bool TOrderForm::CustomerWindowReady()
{
    TTable* cust = DataModule1->cust;
    if (!cust->Editing())
        return true;
    if (!EditCustForm || !EditCustForm->DBEdName->Text().trimmed().isEmpty())
        return true;
    MessageBox(this,
               QStringLiteral("Клиентът, отворен в „Редактирай фирма“, още не е записан: няма име. "
                              "Запишете го там с „OK“ или го откажете с „Cancel“ и запазете отново."),
               QString(), TMsgIcon::Warning);
    return false;
}

bool TOrderForm::CustomerWindowPosted()
{
    TTable* cust = DataModule1->cust;
    if (!cust->Editing())
        return true;
    if (!CustomerWindowReady())
        return false;
    try {
        cust->Post();
        return true;
    } catch (const Exception&) {
    }
    MessageBox(this,
               QStringLiteral("Клиентът, отворен в „Редактирай фирма“, още не е записан. "
                              "Запишете го там с „OK“ или го откажете с „Cancel“ и запазете отново."),
               QString(), TMsgIcon::Warning);
    return false;
}

int TOrderForm::FindCustomerRecord() const
{
    TTable* cust = DataModule1->cust;
    TField* nameField = cust->FieldByName(QStringLiteral("Фирма"));
    TField* idField = cust->FieldByName(QStringLiteral("Идент №"));
    const QString name = Edit1->Text();
    const TTable::TColumnRead same = cust->ColumnTexts({idField}, nameField, name);
    // The register keeps a shorter number than a document does.
    const auto kept = [idField](const QString& id) { return idField->Size() > 0 ? id.left(idField->Size()) : id; };
    const auto withId = [&same, &kept](const QString& id) {
        std::vector<int> recNos;
        for (size_t k = 0; k < same.RecNos.size(); ++k)
            if (same.Texts[0][k] == kept(id))
                recNos.push_back(same.RecNos[k]);
        return recNos;
    };
    // The record the user chose, while the name is still the chosen one.
    if (!ChosenCustomer.name.isEmpty() && ChosenCustomer.name == name) {
        const std::vector<int> chosen = withId(ChosenCustomer.id);
        if (std::find(chosen.begin(), chosen.end(), ChosenCustomer.recNo) != chosen.end())
            return ChosenCustomer.recNo;
        if (chosen.size() == 1)
            return chosen.front();
    }
    if (same.RecNos.empty())
        return 0;
    if (same.RecNos.size() == 1)
        return same.RecNos.front();
    const std::vector<int> typed = withId(Edit7->Text());
    return typed.size() == 1 ? typed.front() : kCustomerUnclear;
}

int TOrderForm::WriteCustomerRecord(int found)
{
    TTable* cust = DataModule1->cust;
    if (found) {
        cust->SetRecNo(found);
        cust->Edit();
    } else {
        cust->Append();
    }
    const auto put = [cust, found](const char* field, const QString& text) {
        TField* f = cust->FieldByName(QString::fromUtf8(field));
        // A detail the document leaves out is not gone: clearing it is the register's job.
        if (found && text.trimmed().isEmpty() && !f->Text().trimmed().isEmpty())
            return;
        f->SetText(text);
    };
    put("Фирма", Edit1->Text());
    put("Адрес", Edit3->Text());
    put("МОЛ", Edit2->Text());
    put("Идент №", Edit7->Text());
    put("ИН по ЗДДС", Edit6->Text());
    put("Лице", Edit8->Text());
    cust->Post();
    return found ? found : cust->RecNo();
}
