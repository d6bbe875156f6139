// The editor's smaller handlers: mirrors of header values onto the page
// window, the check boxes that enable groups, the discount column, bold
// lines, the legal texts, the document currency and the identification check.
#include "editor/orderform.h"

#include "data/datamodule.h"
#include "editor/calc.h"
#include "page/doc.h"
#include "platform/dialogs.h"
#include "platform/locale.h"
#include "platform/sysutils.h"

#include <cmath>

namespace {

// The last choices live in the defaults list by line; a short mem.txt must
// not make every change of a combo fail.
void SetMemLine(int index, const QString& text)
{
    if (!Form1 || !Form1->MemList)
        return;
    TStringList* list = Form1->MemList;
    while (list->Count() <= index)
        list->Add(QString());
    list->SetStrings(index, text);
}

const char* const kLegalTexts[] = {
    "чл. 28с(Е)(3) 77/388/ЕЕС-за доставки на стоки като посредник в тристранна операция",
    "чл. 113, ал. 9 - за доставките на нерегистрирани по закона лица или лица, регистрирани на основание чл. 99 и "
    "чл. 100, ал. 2 от закона",
    "чл. 22, ал. 2 ЗДДС - Когато получател по доставката по ал. 1 е лице, регистрирано за целите на ДДС в друга "
    "държава членка, мястото на изпълнение на доставката е територията на държавата членка, издала "
    "идентификационния номер по ДДС на получателя, под който му е оказана услугата",
    "чл. 23, ал. 1 ЗДДС - Мястото на изпълнение при доставка на услуга, свързана с транспортна обработка на стоки, "
    "съпътстващи доставката по чл. 22 , е на територията на държавата членка, издала идентификационния номер по "
    "ДДС на получателя, под който му е оказана услугата",
    "чл. 23, ал. 3 ЗДДС - Когато получател по доставката по ал. 2 е лице, регистрирано за целите на ДДС в друга "
    "държава членка, мястото на изпълнение на доставката е територията на държавата членка, издала "
    "идентификационния номер по ДДС на получателя, под който му е оказана услугата",
    "чл. 23, ал. 4 ЗДДС - Мястото на изпълнение при доставка на услуга, оказвана от посредник, действащ от името и "
    "за сметка на друго лице, във връзка с предоставянето на услуга по транспортна обработка на стоки по ал. 1 е "
    "мястото, където фактически е извършена транспортната обработка на стоките",
    "чл. 23, ал. 5 ЗДДС - Когато получател по доставката по ал. 4 е лице, регистрирано за целите на ДДС в друга "
    "държава членка, мястото на изпълнение на доставката е територията на държавата членка, издала "
    "идентификационния номер по ДДС на получателя, под който му е оказана услугата",
    "чл. 24, ал. 1 ЗДДС - Мястото на изпълнение при доставка на услуга, оказвана от посредник, действащ от името и "
    "за сметка на друго лице, когато тази услуга е свързана с доставка на услуги, различни от тези по чл. 21, ал. "
    "3 , чл. 22 и 23 , е мястото на изпълнение на доставката, във връзка с която е оказано посредничеството",
    "чл. 24, ал. 2 ЗДДС - Когато получател по доставката е лице, регистрирано за целите на ДДС в друга държава "
    "членка, мястото на изпълнение на доставката е територията на държавата членка, издала идентификационния "
    "номер по ДДС на получателя, под който му е оказана услугата",
    "чл. 24, ал. 3 ЗДДС - Мястото на изпълнение при доставка на услуга по оценка или работа върху движими вещи е на "
    "територията на държавата членка, издала идентификационния номер по ДДС на получателя, под който му е оказана "
    "услугата, когато са налице едновременно следните условия:",
    "1. получател по доставката е лице, регистрирано за целите на ДДС в друга държава членка;",
    "2. стоките са изпратени или транспортирани от територията на страната извън нея.",
    "чл. 86, ал. 1 ППЗДДС - Туроператорите и туристическите агенти документират извършените от тях доставки на "
    "обща туристическа услуга, включително получените авансови плащания по такива доставки, с издаването на "
    "фактури и известия към фактури, в които не се посочва данък.",
    "чл.116,ал.4 от ЗДДС - Издаване на ПРОТОКОЛ по чл.116, ал. 4 от ЗДДС.",
};

}  // namespace

void TOrderForm::ConnectFieldHandlers()
{
    ComboBox2->OnChange = Handler(this, &TOrderForm::ComboBox2Change);
    ComboBox1->OnChange = Handler(this, &TOrderForm::ComboBox1Change);
    ComboBox4->OnChange = Handler(this, &TOrderForm::ComboBox4Change);
    ComboBox5->OnChange = Handler(this, &TOrderForm::ComboBox5Change);
    EDate->OnChange = Handler(this, &TOrderForm::EDateChange);
    MaskEdit1->OnChange = Handler(this, &TOrderForm::EDateChange);
    EDate2->OnChange = Handler(this, &TOrderForm::EDate2Change);
    EDate3->OnChange = Handler(this, &TOrderForm::EDate3Change);
    EDate4->OnChange = Handler(this, &TOrderForm::EDate4Change);
    MaskEdit2->OnChange = Handler(this, &TOrderForm::EDate4Change);
    CheckBox1->OnClick = Handler(this, &TOrderForm::CheckBox1Click);
    CheckBox2->OnClick = Handler(this, &TOrderForm::CheckBox2Click);
    CheckBox4->OnClick = Handler(this, &TOrderForm::CheckBox4Click);
    CheckBox5->OnClick = Handler(this, &TOrderForm::CheckBox5Click);
    CheckBox7->OnClick = Handler(this, &TOrderForm::CheckBox7Click);
    CheckBox8->OnClick = Handler(this, &TOrderForm::CheckBox8Click);
    SpeedButton2->OnClick = Handler(this, &TOrderForm::SpeedButton2Click);
    DBGrid1->OnCellClick = [this](TColumn* Column) { DBGrid1CellClick(Column); };
    DBNavigator->OnClick = [this](TObject*, TNavigateBtn Button) {
        // The new row is typed into at once, its currency name first.
        if (Button == nbInsert) {
            DBGrid1->SetSelectedIndex(0);
            DBGrid1->SetFocus();
        }
    };
}

// ---- mirrors onto the page ----

namespace {
QString NoticeLine(const TOrderForm* f)
{
    return QStringLiteral("от дата: ") + DateToStr(f->EDate4->Date()) + QStringLiteral(", към фактура № ") +
           f->MaskEdit2->Text();
}
}  // namespace

void TOrderForm::ComboBox2Change(TObject*)
{
    const QString kind = ComboBox2->Text();
    Doc->Label1->SetCaption(kind);
    SetMemLine(1, kind);
    // The number follows the series of the new kind at once.
    AssignNextNumber();
    Save->SetEnabled(true);
}

void TOrderForm::ComboBox1Change(TObject*)
{
    const QString notice = ComboBox1->Text();
    Doc->Label21->SetCaption(notice);
    Doc->Label22->SetCaption(NoticeLine(this));
    SetMemLine(2, notice);
    BuildPrintView(false);
    Save->SetEnabled(true);
}

void TOrderForm::EDate4Change(TObject*)
{
    Doc->Label22->SetCaption(NoticeLine(this));
    Save->SetEnabled(true);
}

void TOrderForm::ComboBox4Change(TObject*)
{
    const QString article = ComboBox4->Text();
    Doc->Label19->SetCaption(article);
    Doc->Label22->SetCaption(NoticeLine(this));
    SetMemLine(3, article);
    Save->SetEnabled(true);
}

void TOrderForm::ComboBox5Change(TObject*)
{
    const QString basis = ComboBox5->Text();
    // No pair of bare slashes for an empty basis.
    Doc->Label20->SetCaption(basis.isEmpty() ? QString() : QLatin1Char('/') + basis + QLatin1Char('/'));
    Doc->Label20->SetLeft(Doc->Label19->Left());
    SetMemLine(4, basis);
    Save->SetEnabled(true);
}

void TOrderForm::EDateChange(TObject*)
{
    Doc->Label15->SetCaption(QStringLiteral("№ ") + MaskEdit1->Text() + QStringLiteral(" / Дата: ") +
                             DateToStr(EDate->Date()));
    Save->SetEnabled(true);
}

void TOrderForm::EDate2Change(TObject*)
{
    Doc->Label57->SetCaption(DateToStr(EDate2->Date()));
    Save->SetEnabled(true);
}

void TOrderForm::EDate3Change(TObject*)
{
    Doc->Label40->SetCaption(DateToStr(EDate3->Date()));
    Save->SetEnabled(true);
}

// ---- group enablers ----

void TOrderForm::CheckBox1Click(TObject*)
{
    EDate2->SetEnabled(CheckBox1->Checked());
    Save->SetEnabled(true);
}

void TOrderForm::CheckBox2Click(TObject*)
{
    EDate3->SetEnabled(CheckBox2->Checked());
    Save->SetEnabled(true);
}

void TOrderForm::CheckBox4Click(TObject*)
{
    const bool on = CheckBox4->Checked();
    ComboBox1->SetEnabled(on);
    EDate4->SetEnabled(on);
    MaskEdit2->SetEnabled(on);
}

void TOrderForm::CheckBox5Click(TObject*)
{
    const bool on = CheckBox5->Checked();
    ComboBox4->SetEnabled(on);
    ComboBox5->SetEnabled(on);
    SpeedButton2->SetEnabled(on);
}

// ---- discount column and bold lines ----

void TOrderForm::CheckBox7Click(TObject*)
{
    TStringGrid* page = Doc->StringGrid2;
    if (!CheckBox7->Checked()) {
        StringGrid1->SetColCount(6);
        page->SetColCount(6);
        StringGrid1->SetCells(5, 0, QStringLiteral("Стойност"));
        for (int r = 1; r < StringGrid1->RowCount(); ++r)
            StringGrid1->SetCells(5, r, QString());
        RestoreColumnWidths();
        StringGrid1Button->SetLeft(566);
    } else {
        StringGrid1->SetColCount(7);
        page->SetColCount(7);
        StringGrid1->SetCells(5, 0, QStringLiteral("Отстъпка %"));
        StringGrid1->SetCells(6, 0, QStringLiteral("Стойност"));
        for (int r = 1; r < StringGrid1->RowCount(); ++r) {
            StringGrid1->SetCells(5, r, QString());
            StringGrid1->SetCells(6, r, QString());
        }
        // The description column gives up the room of the new column.
        StringGrid1->SetColWidths(1, StrToInt(ColumnWidths->Strings(1)) - 72);
        page->SetColWidths(1, StrToInt(ColumnWidths->Strings(7)) - 72);
        StringGrid1Button->SetLeft(494);
        RewrapDescriptions();
    }
    // Fills the value column again.
    RecalcByRate();
}

void TOrderForm::CheckBox8Click(TObject*)
{
    for (TStringGrid* grid : {StringGrid1, Doc->StringGrid2}) {
        const TFontStyles style = grid->Font()->Style();
        grid->Font()->SetStyle(CheckBox8->Checked() ? style | fsBold : style & ~TFontStyles(fsBold));
    }
    // Bold letters are wider.
    RewrapDescriptions();
}

// ---- legal texts ----

void TOrderForm::SpeedButton2Click(TObject*)
{
    Doc->Close();
    QStringList texts;
    for (const char* t : kLegalTexts)
        texts << QString::fromUtf8(t);
    ShowMessage(texts.join(QLatin1Char('\n')));
}

// ---- document currency ----

void TOrderForm::DBGrid1CellClick(TColumn* Column)
{
    if (!Column || Column->Index() != 0)
        return;
    TTable* currency = DataModule1->currency;
    // A row typed and chosen is stored now, not only when the editor closes;
    // a refused rate keeps the row unstored and the document as it was.
    if (currency->State() != TDataSetState::dsBrowse) {
        try {
            currency->Post();
        } catch (const Exception& e) {
            MessageBox(this, e.Message, QString(), TMsgIcon::Warning);
            DBGrid1->SetFocus();
            return;
        }
    }
    const QString rateText = currency->FieldByName(QStringLiteral("Курс"))->Text();
    if (rateText.trimmed().isEmpty()) {
        // No rate: the document stays in leva.
        Doc->CurrencyPrefix.clear();
        Doc->CurrencyRate = 1.0;
        return;
    }
    double rate = 0;
    if (!ReadCurrencyRate(rateText, rate)) {
        // A rate stored by hand or by an older version: the chosen currency stays as it was.
        MessageBox(this, InvalidCurrencyRateText(rateText), QString(), TMsgIcon::Warning);
        return;
    }
    Doc->CurrencyRate = rate;
    Doc->CurrencyPrefix = currency->FieldByName(QStringLiteral("Валута"))->Text();
    ShowMessage(QStringLiteral("Избраната валута е въведена."));
    Save->SetEnabled(true);
}

// ---- identification number ----

bool TOrderForm::CheckEik(const QString& id)
{
    Label1->SetVisible(true);
    if (id.size() != 9)
        return false;
    int d[9];
    for (int i = 0; i < 9; ++i) {
        const QChar c = id[i];
        // A letter is an invalid number, not an error.
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        d[i] = c.unicode() - '0';
    }
    int sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += (i + 1) * d[i];
    int r = sum % 11;
    if (r != 10)
        return r == d[8];
    sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += (i + 3) * d[i];
    r = sum % 11;
    if (r != 10)
        return r == d[8];
    return d[8] == 0;
}
