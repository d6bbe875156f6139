// Storing the editor's document in the register, with its customer and the
// company's number counter.
#include "editor/orderform.h"

#include "data/datamodule.h"
#include "editor/numbering.h"
#include "page/doc.h"
#include "platform/application.h"
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
    if (!BuildPrintView(false))
        return false;
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

int TOrderForm::FindStoredDocument(int company) const
{
    TTable* store = DataModule1->store;
    TField* num = store->FieldByName(QStringLiteral("Num"));
    TField* kind = store->FieldByName(QStringLiteral("Документ"));
    TField* index = store->FieldByName(QStringLiteral("Firm.db index"));
    const QString wantNum = MaskEdit1->Text();
    const QString wantKind = ComboBox2->Text();
    const QString wantIndex = QString::number(company);
    const auto sameDocument = [&](int r) { return num->TextAt(r) == wantNum && kind->TextAt(r) == wantKind; };
    const auto matches = [&](int r) {
        // Each own company numbers on its own: its number 5 is not another's.
        return sameDocument(r) && index->TextAt(r).trimmed() == wantIndex;
    };
    // The document this editor was loaded from, or last stored, comes first. One
    // whose company is unknown was loaded under the company shown and goes back
    // into its own record, not beside it.
    if (LoadedRecNo >= 1 && LoadedRecNo <= store->RecordCount() &&
        (matches(LoadedRecNo) ||
         (sameDocument(LoadedRecNo) && !StoredCompany(index->TextAt(LoadedRecNo), DataModule1->firm->RecordCount()))))
        return LoadedRecNo;
    for (int r = store->RecordCount(); r >= 1; --r)
        if (matches(r))
            return r;
    return 0;
}

bool TOrderForm::SaveDocument(bool askOverwrite)
{
    TDataModule1* dm = DataModule1;
    TTable* store = dm->store;
    TTable* firm = dm->firm;
    TTable* ae = dm->Tableae;

    // What the user typed in the company window is written first, or the save waits for it.
    if (FillFirm && !FillFirm->PostPendingChanges())
        return false;

    // Everything that can be refused is checked before any table is touched.
    const QString number = MaskEdit1->Text();
    if (number.size() != 10 || !IsDigits(number)) {
        MessageBox(this, QStringLiteral("Номерът на документа трябва да се състои от 10 цифри."), QString(),
                   TMsgIcon::Warning);
        return false;
    }
    if (firm->IsEmpty()) {
        MessageBox(this, QStringLiteral("Няма въведена фирма. Въведете я в „Моите фирмени детайли“."), QString(),
                   TMsgIcon::Warning);
        return false;
    }
    const int company = IssuingCompany();
    const TSeriesCounter series = SeriesCounter(NumberSeries(ComboBox2->Text()));
    TTable* counterTable = series.table == QLatin1String("Tableae") ? ae : firm;
    if (counterTable->RecordCount() < company) {
        MessageBox(this, QStringLiteral("Липсват английските данни на фирмата. Отворете „Моите фирмени детайли“."),
                   QString(), TMsgIcon::Warning);
        return false;
    }

    // The customer is stored with the document and looked up under the same
    // lock, so that one another workplace stored meanwhile is updated.
    TTable* cust = dm->cust;
    bool withCustomer = !Edit1->Text().trimmed().isEmpty() && cust->Active();
    if (withCustomer && !CustomerWindowPosted())
        return false;
    const int keepCustomer = cust->RecNo();
    int customerRecNo = 0;

    TRegisterWalk walk(false);
    int approved = 0;  // the record the user agreed to overwrite
    for (;;) {
        try {
            std::vector<TTable*> tables{store, firm, ae};
            if (withCustomer)
                tables.push_back(cust);
            TDatabaseTransaction tx(tables);
            // What other workplaces stored up to now counts: they wait for us from here on.
            store->Resync();
            firm->Resync();
            ae->Resync();
            if (withCustomer)
                cust->Resync();

            const QString counter = counterTable->FieldByName(series.field)->TextAt(company);
            if (!IsCounterText(counter)) {
                tx.Rollback();
                MessageBox(this,
                           QStringLiteral("Броячът „%1“ на фирмата съдържа „%2“, което не е номер. Поправете го в „Моите фирмени детайли“.")
                               .arg(series.field, counter),
                           QString(), TMsgIcon::Warning);
                return false;
            }

            const int found = FindStoredDocument(company);
            const bool silent = found == LoadedRecNo && !askOverwrite;
            if (found && found != approved && !silent) {
                // Never ask while holding the other workplaces up.
                tx.Rollback();
                const int answer = MessageBox(
                    this,
                    QStringLiteral("Вече съществува ") + ComboBox2->Text() + QStringLiteral(" с този номер!") +
                        QLatin1Char('\n') + QStringLiteral("Да презапиша ли промените?"),
                    QString(), TMsgIcon::Warning, TMsgButtons::YesNoCancel);
                if (answer != mrYes)
                    return false;
                approved = found;
                continue;  // again, in case the register changed meanwhile
            }
            const int customer = withCustomer ? FindCustomerRecord() : 0;
            if (customer == kCustomerUnclear) {
                tx.Rollback();
                const int answer = MessageBox(
                    this,
                    UnclearCustomerText(Edit1->Text()) + QLatin1Char('\n') +
                        QStringLiteral("Да запазя ли документа сега, без да променям клиентите?"),
                    QString(), TMsgIcon::Warning, TMsgButtons::YesNo);
                if (answer != mrYes)
                    return false;
                withCustomer = false;
                continue;
            }

            const QString lines = GridMemoText(StringGrid1);
            const QString notice = GridMemoText(StringGrid2);
            WriteDocumentRecord(found, company, lines, notice);

            firm->SetRecNo(company);
            if (ae->RecordCount() >= company)
                ae->SetRecNo(company);
            TField* counterField = counterTable->FieldByName(series.field);
            if (StrToFloat(number) > (counter.isEmpty() ? 0.0 : StrToFloat(counter))) {
                counterTable->Edit();
                counterField->SetText(number);
                counterTable->Post();
            }
            store->Post();
            if (withCustomer)
                customerRecNo = WriteCustomerRecord(customer);
            tx.Commit();
        } catch (const Exception& e) {
            // The transaction has put every table back as it was in its file.
            Application->ShowException(e);
            return false;
        }
        break;
    }

    SupplierRecNo = company;
    LoadedRecNo = store->RecNo();
    if (withCustomer) {
        RememberCustomer(customerRecNo, Edit1->Text(), Edit7->Text());
        if (keepCustomer >= 1 && keepCustomer <= cust->RecordCount())
            cust->SetRecNo(keepCustomer);
        ListBox1->Hide();
    }
    Save->SetEnabled(false);
    return true;
}

void TOrderForm::WriteDocumentRecord(int found, int company, const QString& lines, const QString& notice)
{
    TTable* store = DataModule1->store;
    QString cancelled = QStringLiteral("False");
    if (found) {
        store->SetRecNo(found);
        // Re-saving (a reprint) must not bring a cancelled document back into the turnover.
        if (store->FieldByName(QStringLiteral("Anulirana"))->Text() == QLatin1String("True"))
            cancelled = QStringLiteral("True");
        store->Edit();
    } else {
        store->Append();
    }
    const auto put = [store](const char* field, const QString& text) {
        store->FieldByName(QString::fromUtf8(field))->SetText(text);
    };
    put("Документ", ComboBox2->Text());
    put("Статус", Flag(CheckBox3->Checked()));
    put("Num", MaskEdit1->Text());
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
    put("Anulirana", cancelled);
    if (RadioButton1->Checked()) {
        Doc->CurrencyPrefix.clear();
        Doc->CurrencyRate = 1.0;
        Doc->Language = 0;
    }
    put("CurrencyPrefix", Doc->CurrencyPrefix);
    put("CurrencyRate", FloatToStr(Doc->CurrencyRate));
    store->FieldByName(QStringLiteral("Стоки и Услуги"))->SetAsMemo(lines);
    store->FieldByName(QStringLiteral("Str2"))->SetAsMemo(notice);
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
bool TOrderForm::CustomerWindowPosted()
{
    TTable* cust = DataModule1->cust;
    if (cust->State() != TDataSetState::dsEdit && cust->State() != TDataSetState::dsInsert)
        return true;
    const bool named = !EditCustForm || !EditCustForm->DBEdName->Text().trimmed().isEmpty();
    if (named) {
        try {
            cust->Post();
            return true;
        } catch (const Exception&) {
        }
    }
    MessageBox(this,
               QStringLiteral("Клиентът, отворен в „Редактирай фирма“, още не е записан") +
                   (named ? QStringLiteral(". ") : QStringLiteral(": няма име. ")) +
                   QStringLiteral("Запишете го там с „OK“ или го откажете с „Cancel“ и запазете отново."),
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
    const auto withId = [&same](const QString& id) {
        std::vector<int> recNos;
        for (size_t k = 0; k < same.RecNos.size(); ++k)
            if (same.Texts[0][k] == id)
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
