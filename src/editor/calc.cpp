#include "editor/calc.h"

#include "editor/money.h"
#include "editor/orderform.h"
#include "platform/grids.h"
#include "platform/locale.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(TComponent* owner) : TForm(owner), FilesDir(StartDir())
{
    setupUi(this);
    Loaded();
    OnCreate = Handler(this, &TForm1::FormCreate);
    SpeedButton1->OnClick = Handler(this, &TForm1::SpeedButton1Click);
}

TForm1::~TForm1()
{
    delete MemList;
    delete PaymentList;
}

QString TForm1::FilePath(const QString& name) const
{
    return FilesDir + QLatin1Char('/') + name;
}

void TForm1::FormCreate(TObject*)
{
    LoadMemFile();
    LoadPayments();
    VatText = QStringLiteral("20%");
    VatRate = 0.2;
    FormatSettings().CurrencyString = QStringLiteral("лв");
    // The rate always starts at 20 %, whatever mem.txt says.
    SetVatRate(QStringLiteral("20%"));
}

bool TForm1::SetVatRate(const QString& text)
{
    QString vatText;
    double rate = 0;
    if (!ParseVatRate(text, vatText, rate))
        return false;
    VatText = vatText;
    VatRate = rate;
    if (MemList) {
        // An empty mem.txt leaves no rate line to overwrite.
        if (MemList->Count() > 0)
            MemList->SetStrings(0, text);
        else
            MemList->Add(text);
    }
    return true;
}

void TForm1::SpeedButton1Click(TObject*)
{
    try {
        double v = StrToFloat(Edit1->Text()) * StrToFloat(Edit3->Text());
        if (!Edit2->Text().isEmpty())
            v = v - StrToFloat(Edit2->Text()) * v * 0.01;
        Label10->SetCaption(FloatToStr(v));
        RoundMoneyText(Label10);
        Label7->SetCaption(FloatToStr(StrToFloat(Label10->Caption()) + StrToFloat(Label7->Caption())));
        Label1->SetCaption(FloatToStr(StrToFloat(Label7->Caption()) * VatRate));
        RoundMoneyText(Label1);
        Label3->SetCaption(Label1->Caption());
        Label5->SetCaption(FloatToStr(StrToFloat(Label3->Caption()) + StrToFloat(Label7->Caption())));
        result->SetCaption(Label10->Caption());
        RoundMoneyText(result);
        RoundMoneyText(Label1);
        RoundMoneyText(Label3);
        RoundMoneyText(Label5);
        RoundMoneyText(Label7);
    } catch (const Exception&) {
        // A line that cannot be computed has no value; the totals stay as far
        // as they got.
        result->SetCaption(QString());
    }
}

void TForm1::RoundMoneyText(TControl* control)
{
    control->SetText(RoundMoneyString(control->Text()));
}

void TForm1::FitGridHeight(TStringGrid* grid)
{
    grid->SetHeight((grid->DefaultRowHeight() + 1) * grid->RowCount() + 3);
}

void TForm1::LoadMemFile()
{
    delete MemList;
    MemList = new TStringList;
    const QString path = FilePath(QStringLiteral("mem.txt"));
    if (FileExists(path)) {
        MemList->LoadFromFile(path);
    } else {
        MemList->Add(QStringLiteral("20%"));
        MemList->Add(QStringLiteral("ФАКТУРА"));
        MemList->Add(QString());
        MemList->Add(QString());
        MemList->Add(QString());
    }
    const int n = MemList->Count();
    if (n < 1)
        return;
    VatText = MemList->Strings(0);
    if (!OrderForm)
        return;
    // Lines past the fifth stay in the list and do nothing.
    TComboBox* const combos[] = {OrderForm->ComboBox2, OrderForm->ComboBox1, OrderForm->ComboBox4,
                                 OrderForm->ComboBox5};
    for (int i = 1; i < n && i <= 4; ++i)
        combos[i - 1]->SetText(MemList->Strings(i));
}

void TForm1::LoadPayments()
{
    delete PaymentList;
    PaymentList = new TStringList;
    const QString path = FilePath(QStringLiteral("payment.txt"));
    if (FileExists(path))
        PaymentList->LoadFromFile(path);
    else if (OrderForm)
        PaymentList->Assign(*OrderForm->ComboBox3->Items());
    if (!OrderForm)
        return;
    try {
        OrderForm->ComboBox3->Items()->Assign(*PaymentList);
    } catch (const Exception&) {
    }
}

void TForm1::SavePayments()
{
    if (!PaymentList)
        PaymentList = new TStringList;
    if (OrderForm)
        PaymentList->Assign(*OrderForm->ComboBox3->Items());
    try {
        PaymentList->SaveToFile(FilePath(QStringLiteral("payment.txt")));
    } catch (const Exception&) {
        // The file keeps its old content; nobody is told.
    }
}
