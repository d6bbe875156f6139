#include "registers/statform.h"

#include "data/datamodule.h"
#include "editor/money.h"
#include "platform/chart.h"
#include "platform/dialogs.h"
#include "platform/locale.h"
#include "platform/sysutils.h"
#include "registers/revenue.h"
#include "registers/sort.h"

#include <QMetaObject>
#include <QValidator>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

TStatForm* StatForm = nullptr;
QSet<QString> ListedNumbers;

namespace {

const TColor kGreen = 0x008000;
const TColor kRed = 0x0000FF;
const QString kNoCompany = QStringLiteral("Собствена фирма...");

// Keeps digits and the blanks of the locale's digit grouping; drops every
// other character typed or pasted.
class YearDigits : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override
    {
        const QChar group = FormatSettings().ThousandSeparator;
        QString kept;
        int newPos = 0;
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input[i];
            const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
            if (!digit && c != group && c != QChar(0x00A0) && c != QLatin1Char(' '))
                continue;
            kept += c;
            if (i < pos)
                ++newPos;
        }
        input = kept;
        pos = newPos;
        return Acceptable;
    }
};

// The register fields a statistics walk reads, in Column order.
enum Column { cDate, cCompany, cNum, cKind, cNotice, cCancelled, cRate, cAmount, cPaid, cCustomer, cCount };

std::vector<TField*> StoreFields()
{
    TTable* s = DataModule1->store;
    std::vector<TField*> out;
    for (const char* name : {"От дата", "Доставчик", "Num", "Документ", "Известие", "Anulirana", "Данъчна ставка",
                             "Стойност /общо/", "Paid?", "Клиент"})
        out.push_back(s->FieldByName(QString::fromUtf8(name)));
    return out;
}

// One register record as the statistics see it.
struct StatRecord {
    QString v[cCount];
    const QString& operator[](Column c) const { return v[c]; }
};

StatRecord RecordAt(int recNo)
{
    StatRecord r;
    const std::vector<TField*> f = StoreFields();
    for (int c = 0; c < cCount; ++c)
        r.v[c] = f[size_t(c)]->TextAt(recNo);
    return r;
}

using RegisterRecords = std::vector<std::pair<int, StatRecord>>;

// The records whose "Доставчик" is one of names, read in one pass per name,
// newest first as the walks visit them.
RegisterRecords ReadRegister(const QStringList& names)
{
    TRegisterWalk walk(true);
    const std::vector<TField*> fields = StoreFields();
    RegisterRecords records;
    for (const QString& name : names) {
        const TTable::TColumnRead read = DataModule1->store->ColumnTexts(fields, fields[cCompany], name);
        for (size_t i = 0; i < read.RecNos.size(); ++i) {
            StatRecord r;
            for (int c = 0; c < cCount; ++c)
                r.v[c] = read.Texts[size_t(c)][i];
            records.emplace_back(read.RecNos[i], std::move(r));
        }
    }
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    return records;
}

// What the chart's walk read, for the extracts that follow it at once.
const RegisterRecords* chartRecords = nullptr;

// The month (1-12) and year of a stored date; false when it names no date that exists.
bool MonthAndYear(const QString& date, int& month, int& year)
{
    const QDate d = StoredDate(date);
    month = d.isValid() ? d.month() : 0;
    year = d.isValid() ? d.year() : 0;
    return d.isValid();
}

// 1 + rate / 100, from a rate text such as "20%"; false when it is no number.
bool FactorOf(QString rate, double& factor)
{
    const int percent = rate.indexOf(QLatin1Char('%'));
    if (percent >= 0)
        rate.truncate(percent);
    const QString t = NormalizeDecimalText(rate);
    double r = 0;
    if (t.isEmpty() || !TryStrToFloat(t, r) || !std::isfinite(r))
        return false;
    factor = r * 0.01 + 1.0;
    return factor != 0;
}

}  // namespace

const QStringList& MonthNames()
{
    static const QStringList names = {
        QStringLiteral("Януари"), QStringLiteral("Февруари"), QStringLiteral("Март"),     QStringLiteral("Април"),
        QStringLiteral("Май"),    QStringLiteral("Юни"),      QStringLiteral("Юли"),      QStringLiteral("Август"),
        QStringLiteral("Септември"), QStringLiteral("Октомври"), QStringLiteral("Ноември"), QStringLiteral("Декември")};
    return names;
}

QString MoneySum(double value) { return CentsText(RoundToCents(value)); }

// Follows the own-company table: when it is opened from another data folder,
// the chooser offers that folder's companies.
class TStatForm::CompanyLink : public TDataLink {
public:
    explicit CompanyLink(TStatForm* form) : form_(form) {}
    void RecordChanged() override
    {
        TTable* firm = DataSet();
        if (!firm || !firm->Active() || firm->DatabaseName() == form_->companiesFolder_)
            return;
        form_->FillCompanies();
        if (form_->isVisible())  // after the switch, once every table is open again
            QMetaObject::invokeMethod(form_, [] { Sort->CalcStatistics(); }, Qt::QueuedConnection);
    }

private:
    TStatForm* form_;
};

TStatForm::TStatForm(TComponent* owner) : TForm(owner), link_(std::make_unique<CompanyLink>(this))
{
    setupUi(this);
    Loaded();
    DBComboBox1->SetText(kNoCompany);
    Series1 = Chart1->AddSeries(QStringLiteral("Платени фактури"));
    Series2 = Chart1->AddSeries(QStringLiteral("Неплатени фактури"));
    // An empty month shows no mark: " лв." alone says nothing.
    const auto mark = [](double v) { return v == 0 ? QString() : FormatFloat(QStringLiteral("#.## лв."), v); };
    Series1->SetMarkFormatter(mark);
    Series2->SetMarkFormatter(mark);
    Chart1->OnClickSeries = [this](TBarSeries* s, int i) { Series1Click(s, i); };
    PopupMenu1 = new TPopupMenu(this);
    N1 = PopupMenu1->Items()->Add(QStringLiteral("Копирай"), Handler(this, &TStatForm::N1Click));
    AttachPopup(Memo1, PopupMenu1);
    PopupMenu2 = new TPopupMenu(this);
    MenuItem1 = PopupMenu2->Items()->Add(QStringLiteral("Копирай"), Handler(this, &TStatForm::MenuItem1Click));
    AttachPopup(Memo2, PopupMenu2);
    SpeedButton1->OnClick = Handler(this, &TStatForm::SpeedButton1Click);
    SpeedButton2->OnClick = Handler(this, &TStatForm::SpeedButton2Click);
    // The year box takes digits only, also from a paste; the up-down's digit grouping is its own.
    Edit1->setValidator(new YearDigits(Edit1));
    Edit1->OnChange = Handler(this, &TStatForm::Edit1Change);
    DBComboBox1->OnChange = Handler(this, &TStatForm::Edit1Change);
    DBComboBox1->OnSelect = Handler(this, &TStatForm::Edit1Change);
    DBComboBox1->OnDropDown = Handler(this, &TStatForm::DBComboBox1DropDown);
    ComboBox1->OnChange = Handler(this, &TStatForm::ComboBox1Change);
    ComboBox1->OnSelect = Handler(this, &TStatForm::ComboBox1Change);
    OnCreate = Handler(this, &TStatForm::FormCreate);
    OnShow = Handler(this, &TStatForm::FormShow);
    Edit1->raise();
    UpDown1->raise();
    DBComboBox1->raise();
    // The chooser and the year box lie over the chart's top: its marks stay below them.
    Chart1->SetTopClearance(std::max(DBComboBox1->geometry().bottom(), Edit1->geometry().bottom()) + 3);
    if (DataModule1)
        link_->SetDataSource(DataModule1->DataSource2);
}

TStatForm::~TStatForm() = default;

void TStatForm::FillCompanies()
{
    const QString shown = DBComboBox1->Text();
    const int index = DBComboBox1->ItemIndex();
    TTable* firm = DataModule1->firm;
    DBComboBox1->Items()->Clear();
    companiesFolder_ = firm->Active() ? firm->DatabaseName() : QString();
    QStringList names;
    if (firm->Active()) {  // else the folder did not open: nothing to offer, and start-up said so
        const int count = firm->RecordCount();
        for (int i = 1; i <= count; ++i)
            names.append(firm->FieldByName(QStringLiteral("ДОСТАВЧИК"))->TextAt(i));
        DBComboBox1->Items()->SetText(names.join(QLatin1Char('\n')));
    }
    // The company the box shows stays chosen; one the folder does not have is not shown.
    const int keep = index >= 0 && index < names.size() && names[index] == shown ? index : int(names.indexOf(shown));
    DBComboBox1->SetItemIndex(keep);
    if (keep < 0)
        DBComboBox1->SetText(kNoCompany);
}

void TStatForm::FormCreate(TObject*) { FillCompanies(); }

void TStatForm::FormShow(TObject*) {}

void TStatForm::DBComboBox1DropDown(TObject*) { FillCompanies(); }

QStringList TStatForm::CompanyNames() const
{
    const QString chosen = DBComboBox1->SelectedText();
    if (chosen.isEmpty())
        return {QString()};  // only documents without a company
    const TOwnCompanies companies;
    const int index = DBComboBox1->ItemIndex() + 1;
    const QStringList names = companies.NamesOf(index);
    if (!names.isEmpty() && names.first() == chosen)
        return names;
    const int byName = companies.ByBulgarianName(chosen);
    return byName > 0 ? companies.NamesOf(byName) : QStringList{chosen};
}

void TStatForm::Edit1Change(TObject*) { Sort->CalcStatistics(); }

void TStatForm::DBLookupComboBox1Click(TObject*) { Sort->CalcStatistics(); }

int TStatForm::Year() const
{
    QString digits;
    for (QChar c : Edit1->Text())
        if (c.isDigit())
            digits.append(c);
    return digits.size() == 4 ? digits.toInt() : 0;
}

void TStatForm::Series1Click(TBarSeries*, int ValueIndex)
{
    if (ValueIndex < 0 || ValueIndex >= ComboBox1->Items()->Count())
        return;
    ComboBox1->SetText(ComboBox1->Items()->Strings(ValueIndex));
    ComboBox1Change(this);
}

namespace {

bool InChosenMonth(const TStatForm* f, const StatRecord& r)
{
    int month = 0, year = 0;
    return MonthAndYear(r[cDate], month, year) && month == f->ChosenMonth && year == f->Year();
}

// A record of the chosen month, company and year as its extract lists it.
struct ExtractEntry {
    const StatRecord* record = nullptr;
    bool paid = false;
    bool unread = false;  // it would count, but its amount cannot be read
    long long cents = 0;
};

// The entry of a record of the chosen month whose number is not listed yet
// and that counts, readable or not; false for any other record.
bool EntryOf(const TStatForm* f, const StatRecord& r, ExtractEntry& e)
{
    if (!InChosenMonth(f, r) || ListedNumbers.contains(r[cNum]))
        return false;
    e.record = &r;
    e.paid = FlagSet(r[cPaid]);
    if (RevenueCents(r[cKind], r[cNotice], r[cCancelled], r[cAmount], e.cents))
        return true;
    e.unread = RevenueRule(r[cKind], r[cNotice], r[cCancelled]) != TRevenue::None;
    return e.unread;
}

// The entry's line, numbered on its side; a readable amount goes into the
// side's total, an unreadable one is listed so that it is not missed.
QString ExtractLine(TStatForm* f, const ExtractEntry& e)
{
    const StatRecord& r = *e.record;
    int& lines = e.paid ? f->PaidLines : f->UnpaidLines;
    const QString head = QString::number(++lines) + QStringLiteral(".Клиент: ") + r[cCustomer] +
                         QStringLiteral(", ф.N. ") + r[cNum] + QLatin1Char('/') + r[cDate].left(5);
    if (e.unread) {
        ++(e.paid ? f->PaidUnread : f->UnpaidUnread);
        return head + QStringLiteral(", неразчетена сума „") + r[cAmount] + QStringLiteral("“");
    }
    (e.paid ? f->PaidGross : f->UnpaidGross) += e.cents;
    // The stored text, with the sign the record counts by in front, once.
    QString amount = r[cAmount].trimmed();
    if (amount.startsWith(QLatin1Char('-')) || amount.startsWith(QLatin1Char('+')))
        amount.remove(0, 1);
    return head + (e.cents < 0 ? QStringLiteral(", -") : QStringLiteral(", ")) + amount + QStringLiteral(" лв.");
}

enum class TShare { None, Counts, Unreadable };

// The record's share of the chart: its month, side and signed net amount
// (Counts, which claims the record's number); Unreadable for a record of the
// year that would count but whose amount or rate cannot be read.
TShare ChartShare(const StatRecord& r, int year, int& month, bool& paid, double& net)
{
    int recordYear = 0;
    if (!MonthAndYear(r[cDate], month, recordYear) || recordYear != year || ChartedNumbers.contains(r[cNum]))
        return TShare::None;
    long long cents = 0;
    double factor = 1;
    if (!RevenueCents(r[cKind], r[cNotice], r[cCancelled], r[cAmount], cents))
        return RevenueRule(r[cKind], r[cNotice], r[cCancelled]) == TRevenue::None ? TShare::None : TShare::Unreadable;
    if (!FactorOf(r[cRate], factor))
        return TShare::Unreadable;
    net = double(cents) / 100.0 / factor;
    if (!std::isfinite(net) || std::fabs(net) * 100.0 > double(kMaxAmountCents))
        return TShare::Unreadable;  // a rate near -100 % would make a money amount out of nothing
    ChartedNumbers.insert(r[cNum]);
    paid = FlagSet(r[cPaid]);
    return TShare::Counts;
}

}  // namespace

void TStatForm::ComboBox1Change(TObject*)
{
    ListedNumbers.clear();
    Memo1->Clear();
    Memo2->Clear();
    const int month = ComboBox1->FindExact(ComboBox1->Text()) + 1;
    if (month < 1 || month > 12 || Series1->Count() != 12)
        return;
    ChosenMonth = month;
    PaidLines = UnpaidLines = 0;
    PaidUnread = UnpaidUnread = 0;
    PaidGross = UnpaidGross = 0;
    const QString period = ComboBox1->Text() + QLatin1Char(' ') + Edit1->Text() + QStringLiteral(" с ДДС");
    QStringList paid{QStringLiteral("Извадка за платени фактури за месец ") + period};
    QStringList unpaid{QStringLiteral("Извадка за неплатени фактури за месец ") + period};
    if (DataModule1->store->Active()) {
        const RegisterRecords records = chartRecords ? RegisterRecords() : ReadRegister(CompanyNames());
        const RegisterRecords& walked = chartRecords ? *chartRecords : records;
        // A readable record claims its number as it is met; an unreadable one
        // only when no readable record of the month carries it.
        std::vector<ExtractEntry> entries;
        for (const auto& [recNo, r] : walked) {
            ExtractEntry e;
            if (!EntryOf(this, r, e))
                continue;
            if (!e.unread)
                ListedNumbers.insert(r[cNum]);
            entries.push_back(e);
        }
        for (const ExtractEntry& e : entries) {
            if (e.unread) {
                const QString& num = (*e.record)[cNum];
                if (ListedNumbers.contains(num))
                    continue;
                ListedNumbers.insert(num);
            }
            (e.paid ? paid : unpaid).append(ExtractLine(this, e));
        }
    }
    const auto close = [](QStringList& lines, double net, TCentSum gross, int unread) {
        lines.append(QString());
        lines.append(QStringLiteral("общо без ДДС: ") + MoneySum(net) + QStringLiteral(" лв."));
        lines.append(QStringLiteral("общо с ДДС: ") + CentsText(gross) + QStringLiteral(" лв."));
        if (unread > 0)
            lines.append(QStringLiteral("без ") + LeftOutText(unread));
    };
    close(paid, Series1->YValue(month - 1), PaidGross, PaidUnread);
    close(unpaid, Series2->YValue(month - 1), UnpaidGross, UnpaidUnread);
    Memo1->SetText(paid.join(QLatin1Char('\n')));
    Memo2->SetText(unpaid.join(QLatin1Char('\n')));
}

void TStatForm::ListRecord(int recNo)
{
    const StatRecord r = RecordAt(recNo);
    ExtractEntry e;
    if (!CompanyNames().contains(r[cCompany]) || !EntryOf(this, r, e))
        return;
    ListedNumbers.insert(r[cNum]);
    (e.paid ? Memo1 : Memo2)->Lines()->Add(ExtractLine(this, e));
}

void TStatForm::PrintExtract(TRichEdit* memo)
{
    if (Dialogs()->PrintDialog(this))
        memo->Print(QStringLiteral("Quarnel"));
}

void TStatForm::SpeedButton1Click(TObject*) { PrintExtract(Memo1); }

void TStatForm::SpeedButton2Click(TObject*) { PrintExtract(Memo2); }

void TStatForm::N1Click(TObject*) { Memo1->CopyToClipboard(); }

void TStatForm::MenuItem1Click(TObject*) { Memo2->CopyToClipboard(); }

// ---- The chart's engine, run from the register ----

void TSort::CalcStatistics()
{
    ChartedNumbers.clear();
    TStatForm* f = StatForm;
    f->Chart1->TitleClear();
    f->Chart1->TitleAdd(QStringLiteral("Приходи без ДДС за ") + f->Edit1->Text() + QStringLiteral(" г."));
    f->Series1->Clear();
    f->Series2->Clear();
    std::array<double, 12> paid{};
    std::array<double, 12> unpaid{};
    RegisterRecords records;
    QSet<QString> unread;
    if (DataModule1->store->Active()) {
        records = ReadRegister(f->CompanyNames());
        const int year = f->Year();
        for (const auto& [recNo, r] : records) {
            int month = 0;
            bool isPaid = false;
            double net = 0;
            const TShare share = ChartShare(r, year, month, isPaid, net);
            if (share == TShare::Counts)
                (isPaid ? paid : unpaid)[size_t(month - 1)] += net;
            else if (share == TShare::Unreadable)
                unread.insert(r[cNum]);
        }
    }
    // One whose twin was read is in the chart: it is not left out.
    int leftOut = 0;
    for (const QString& num : unread)
        if (!ChartedNumbers.contains(num))
            ++leftOut;
    f->Label1->SetCaption(leftOut > 0 ? QStringLiteral("Графиката е без ") + LeftOutText(leftOut) +
                                            QStringLiteral(" или ставка.")
                                      : QString());
    f->Label1->SetVisible(leftOut > 0);
    for (int m = 0; m < 12; ++m) {
        // Money, not floating-point noise: a fully credited month is exactly 0.
        f->Series1->Add(double(RoundToCents(paid[size_t(m)])) / 100.0, MonthNames()[m], kGreen);
        f->Series2->Add(double(RoundToCents(unpaid[size_t(m)])) / 100.0, MonthNames()[m], kRed);
    }
    f->ComboBox1->Items()->SetText(MonthNames().join(QLatin1Char('\n')));
    // The local calendar: just after midnight on the 1st the new month is meant.
    f->ComboBox1->SetText(MonthNames()[Date().month() - 1]);
    struct Keep {
        explicit Keep(const RegisterRecords& r) { chartRecords = &r; }
        ~Keep() { chartRecords = nullptr; }
    } keep(records);
    f->ComboBox1Change(f);
}

void TSort::AddRecordToChart(int recNo)
{
    TStatForm* f = StatForm;
    int month = 0;
    bool paid = false;
    double net = 0;
    if (f->Series1->Count() != 12)
        return;
    const StatRecord r = RecordAt(recNo);
    if (!f->CompanyNames().contains(r[cCompany]) || ChartShare(r, f->Year(), month, paid, net) != TShare::Counts)
        return;
    TBarSeries* series = paid ? f->Series1 : f->Series2;
    series->SetYValue(month - 1, double(RoundToCents(series->YValue(month - 1) + net)) / 100.0);
}
