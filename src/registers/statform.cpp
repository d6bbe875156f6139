#include "registers/statform.h"

#include "data/datamodule.h"
#include "editor/money.h"
#include "platform/chart.h"
#include "platform/dialogs.h"
#include "platform/locale.h"
#include "platform/sysutils.h"
#include "registers/revenue.h"
#include "registers/sort.h"

#include <array>
#include <cmath>

TStatForm* StatForm = nullptr;
QSet<QString> ListedNumbers;

namespace {

const TColor kGreen = 0x008000;
const TColor kRed = 0x0000FF;

// The register fields the statistics read, looked up once per walk.
struct StoreFields {
    TField* kind;
    TField* num;
    TField* customer;
    TField* amount;
    TField* rate;
    TField* company;
    TField* date;
    TField* paid;
    TField* cancelled;
    TField* notice;
};

StoreFields g_fields{};

const StoreFields& LookUpFields()
{
    TTable* s = DataModule1->store;
    const auto f = [s](const char* name) { return s->FieldByName(QString::fromUtf8(name)); };
    g_fields = {f("Документ"), f("Num"), f("Клиент"), f("Стойност /общо/"), f("Данъчна ставка"),
                f("Доставчик"), f("От дата"), f("Paid?"), f("Anulirana"), f("Известие")};
    return g_fields;
}

const StoreFields& Fields()
{
    return g_fields.num && g_fields.num->DataSet() == DataModule1->store ? g_fields : LookUpFields();
}

// The month (1-12) of a stored date "dd.MM.yyyy г."; 0 when it has none.
int MonthOf(const QString& date)
{
    bool ok = false;
    const int m = date.mid(3, 2).toInt(&ok);
    return ok && m >= 1 && m <= 12 ? m : 0;
}

int YearOf(const QString& date)
{
    bool ok = false;
    const int y = date.mid(6, 4).toInt(&ok);
    return ok ? y : 0;
}

bool AmountOf(const QString& text, double& value)
{
    const QString t = NormalizeDecimalText(text);
    return !t.isEmpty() && TryStrToFloat(t, value) && std::isfinite(value);
}

// 1 + rate / 100, from a rate text such as "20%"; false when it is no number.
bool FactorOf(QString rate, double& factor)
{
    const int percent = rate.indexOf(QLatin1Char('%'));
    if (percent >= 0)
        rate.truncate(percent);
    double r = 0;
    if (!AmountOf(rate, r))
        return false;
    factor = r * 0.01 + 1.0;
    return factor != 0;
}

long long Cents(double v) { return std::llround(v * 100.0); }

QString CentsText(long long cents)
{
    const QString sign = cents < 0 ? QStringLiteral("-") : QString();
    const long long a = std::llabs(cents);
    return sign + QString::number(a / 100) + FormatSettings().DecimalSeparator +
           QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
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

QString MoneySum(double value) { return CentsText(Cents(value)); }

TStatForm::TStatForm(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
    DBComboBox1->SetText(QStringLiteral("Собствена фирма..."));
    Series1 = Chart1->AddSeries(QStringLiteral("Платени фактури"));
    Series2 = Chart1->AddSeries(QStringLiteral("Неплатени фактури"));
    const auto mark = [](double v) { return FormatFloat(QStringLiteral("#.## лв."), v); };
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
}

void TStatForm::FormCreate(TObject*)
{
    TTable* firm = DataModule1->firm;
    DBComboBox1->Items()->Clear();
    if (!firm->Active())
        return;  // the folder did not open: nothing to offer, and start-up said so
    const int count = firm->RecordCount();
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(firm->FieldByName(QStringLiteral("ДОСТАВЧИК"))->TextAt(i));
    DBComboBox1->Items()->SetText(names.join(QLatin1Char('\n')));
}

void TStatForm::FormShow(TObject*) {}

void TStatForm::DBComboBox1DropDown(TObject* Sender)
{
    const QString text = DBComboBox1->Text();
    FormCreate(Sender);
    DBComboBox1->SetText(text);
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

void TStatForm::ComboBox1Change(TObject*)
{
    ListedNumbers.clear();
    Memo1->Clear();
    Memo2->Clear();
    const int month = ComboBox1->FindExact(ComboBox1->Text()) + 1;
    if (month < 1 || month > 12)
        return;
    ChosenMonth = month;
    if (!DataModule1->store->Active())
        return;
    PaidLines = UnpaidLines = 0;
    PaidGross = UnpaidGross = 0;
    const QString period = ComboBox1->Text() + QLatin1Char(' ') + Edit1->Text() + QStringLiteral(" с ДДС");
    QStringList paid{QStringLiteral("Извадка за платени фактури за месец ") + period};
    QStringList unpaid{QStringLiteral("Извадка за неплатени фактури за месец ") + period};
    Memo1->Lines()->SetText(paid.join(QLatin1Char('\n')));
    Memo2->Lines()->SetText(unpaid.join(QLatin1Char('\n')));
    {
        TRegisterWalk walk(true);
        LookUpFields();
        for (int rec = DataModule1->store->RecordCount(); rec >= 1; --rec)
            ListRecord(rec);
    }
    const auto close = [](TRichEdit* memo, double net, long long gross) {
        memo->Lines()->Add(QString());
        memo->Lines()->Add(QStringLiteral("общо без ДДС: ") + MoneySum(net) + QStringLiteral(" лв."));
        memo->Lines()->Add(QStringLiteral("общо с ДДС: ") + CentsText(gross) + QStringLiteral(" лв."));
    };
    close(Memo1, Series1->YValue(month - 1), PaidGross);
    close(Memo2, Series2->YValue(month - 1), UnpaidGross);
}

void TStatForm::ListRecord(int recNo)
{
    const StoreFields& f = Fields();
    const QString date = f.date->TextAt(recNo);
    if (MonthOf(date) != ChosenMonth)
        return;
    const QString num = f.num->TextAt(recNo);
    if (ListedNumbers.contains(num))
        return;
    if (f.company->TextAt(recNo) != DBComboBox1->SelectedText() || YearOf(date) != Year())
        return;
    const TRevenue rule = RevenueRuleAt(DataModule1->store, recNo);
    if (rule == TRevenue::None)
        return;  // only a record that counts claims its number
    const QString amountText = f.amount->TextAt(recNo);
    double amount = 0;
    if (!AmountOf(amountText, amount))
        return;  // unreadable: counts nothing
    ListedNumbers.insert(num);
    const bool paid = FlagSet(f.paid->TextAt(recNo));
    int& lines = paid ? PaidLines : UnpaidLines;
    long long& gross = paid ? PaidGross : UnpaidGross;
    const bool adds = rule == TRevenue::Adds;
    ++lines;
    (paid ? Memo1 : Memo2)
        ->Lines()
        ->Add(QString::number(lines) + QStringLiteral(".Клиент: ") + f.customer->TextAt(recNo) +
              QStringLiteral(", ф.N. ") + num + QLatin1Char('/') + date.left(5) +
              (adds ? QStringLiteral(", ") : QStringLiteral(", -")) + amountText + QStringLiteral(" лв."));
    gross += adds ? Cents(amount) : -Cents(amount);
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
    if (DataModule1->store->Active()) {
        TRegisterWalk walk(true);
        LookUpFields();
        const int year = f->Year();
        const QString company = f->DBComboBox1->SelectedText();
        for (int rec = DataModule1->store->RecordCount(); rec >= 1; --rec) {
            // Same tests as AddRecordToChart, summed here so the bars are set once.
            const StoreFields& s = g_fields;
            const QString date = s.date->TextAt(rec);
            const int month = MonthOf(date);
            if (month == 0 || YearOf(date) != year || s.company->TextAt(rec) != company)
                continue;
            const QString num = s.num->TextAt(rec);
            if (ChartedNumbers.contains(num))
                continue;
            const TRevenue rule = RevenueRuleAt(DataModule1->store, rec);
            double factor = 1, amount = 0;
            if (rule == TRevenue::None || !FactorOf(s.rate->TextAt(rec), factor) ||
                !AmountOf(s.amount->TextAt(rec), amount))
                continue;
            ChartedNumbers.insert(num);
            const double net = amount / factor;
            (FlagSet(s.paid->TextAt(rec)) ? paid : unpaid)[size_t(month - 1)] += rule == TRevenue::Adds ? net : -net;
        }
    }
    for (int m = 0; m < 12; ++m) {
        // Money, not floating-point noise: a fully credited month is exactly 0.
        f->Series1->Add(Cents(paid[size_t(m)]) / 100.0, MonthNames()[m], kGreen);
        f->Series2->Add(Cents(unpaid[size_t(m)]) / 100.0, MonthNames()[m], kRed);
    }
    f->ComboBox1->Items()->SetText(MonthNames().join(QLatin1Char('\n')));
    f->ComboBox1->SetText(MonthNames()[Date().month() - 1]);
    f->ComboBox1Change(f);
}

void TSort::AddRecordToChart(int recNo)
{
    TStatForm* f = StatForm;
    const StoreFields& s = Fields();
    const QString date = s.date->TextAt(recNo);
    const int month = MonthOf(date);
    if (month == 0 || YearOf(date) != f->Year() || s.company->TextAt(recNo) != f->DBComboBox1->SelectedText())
        return;
    const QString num = s.num->TextAt(recNo);
    if (ChartedNumbers.contains(num))
        return;
    const TRevenue rule = RevenueRuleAt(DataModule1->store, recNo);
    double factor = 1, amount = 0;
    if (rule == TRevenue::None || !FactorOf(s.rate->TextAt(recNo), factor) || !AmountOf(s.amount->TextAt(recNo), amount))
        return;
    ChartedNumbers.insert(num);
    TBarSeries* series = FlagSet(s.paid->TextAt(recNo)) ? f->Series1 : f->Series2;
    const double net = amount / factor;
    const double current = series->YValue(month - 1);
    series->SetYValue(month - 1, Cents(current + (rule == TRevenue::Adds ? net : -net)) / 100.0);
}
