#include "editor/orderform.h"

#include "app/mainform.h"
#include "data/datamodule.h"
#include "data/tables.h"
#include "editor/calc.h"
#include "page/doc.h"
#include "page/prtd.h"
#include "platform/sysutils.h"
#include "registers/fillfirm.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLineEdit>

TOrderForm* OrderForm = nullptr;

// The side-bar pictures live in a resource of this static library.
static void InitEditorResources() { Q_INIT_RESOURCE(editor); }

// Follows the Save button: when it goes off, the document as it is then is
// the one later changes are measured against.
class TOrderForm::SaveWatch : public QObject {
public:
    explicit SaveWatch(TOrderForm* form) : QObject(form), form_(form) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        // Save itself turned off, not a window around it disabled for a while.
        if (e->type() == QEvent::EnabledChange && !form_->Save->Enabled())
            form_->unchangedText_ = form_->DocumentText();
        return false;
    }

private:
    TOrderForm* form_;
};

TOrderForm::TOrderForm(TComponent* owner) : TForm(owner)
{
    InitEditorResources();
    setupUi(this);
    Loaded();

    OnCreate = Handler(this, &TOrderForm::FormCreate);
    OnClose = Handler(this, &TOrderForm::FormClose);
    OnCloseQuery = Handler(this, &TOrderForm::FormCloseQuery);
    OnClick = Handler(this, &TOrderForm::HeaderPanelClick);
    Panel3->OnClick = Handler(this, &TOrderForm::HeaderPanelClick);

    Edit9->OnChange = Handler(this, &TOrderForm::Edit9Change);
    Edit9->OnKeyPress = Handler(this, &TOrderForm::Edit9KeyPress);
    Edit9->OnEnter = Handler(this, &TOrderForm::Edit9Enter);
    Edit9->OnExit = Handler(this, &TOrderForm::Edit9Exit);
    ComboBox3->OnChange = Handler(this, &TOrderForm::ComboBox3Change);
    ComboBox3->OnKeyDown = Handler(this, &TOrderForm::ComboBox3KeyDown);
    ComboBox3->OnSelect = Handler(this, &TOrderForm::ComboBox3Select);

    DBText7->OnChange = Handler(this, &TOrderForm::DBText7Change);
    Edit8->OnChange = Handler(this, &TOrderForm::Edit8Change);
    CheckBox6->OnClick = Handler(this, &TOrderForm::CheckBox6Click);
    Print->OnClick = Handler(this, &TOrderForm::PrintClick);
    Save->OnClick = Handler(this, &TOrderForm::SaveClick);
    SpeedButton3->OnClick = Handler(this, &TOrderForm::SpeedButton3Click);
    View->OnClick = Handler(this, &TOrderForm::ViewClick);
    StringGrid2->OnSelectCell = Handler(this, &TOrderForm::StringGrid2SelectCell);
    SpeedButton4->OnClick = Handler(this, &TOrderForm::SpeedButton4Click);
    OrderBtn->OnClick = Handler(this, &TOrderForm::OrderBtnClick);
    SpeedButton5->OnClick = Handler(this, &TOrderForm::SpeedButton5Click);
    SpeedButton7->OnClick = Handler(this, &TOrderForm::SpeedButton7Click);
    RadioButton1->OnClick = Handler(this, &TOrderForm::RadioButton1Click);
    RadioButton2->OnClick = Handler(this, &TOrderForm::RadioButton1Click);

    DBNavigator1->OnClick = [this](TObject* Sender, TNavigateBtn) { DBNavigator1Click(Sender); };
    DBNavigator2->OnClick = [this](TObject* Sender, TNavigateBtn) { DBNavigator2Click(Sender); };

    ConnectFieldHandlers();
    ConnectLookupHandlers();
    LimitEditLengths();

    // Whoever turns Save off (a save, a load, a new document) says the
    // document is now what is stored or blank.
    Save->installEventFilter(new SaveWatch(this));
}

QString TOrderForm::DocumentText() const
{
    QStringList parts;
    for (QWidget* w : findChildren<QWidget*>()) {
        TControl* c = AsControl(w);
        if (!c || w == ListBox1 || w == Save)
            continue;
        parts << w->objectName() << c->Text();
        if (auto* box = qobject_cast<QAbstractButton*>(w); box && box->isCheckable())
            parts << QString::number(box->isChecked());
    }
    for (const TStringGrid* grid : {StringGrid1, StringGrid2}) {
        parts << QString::number(grid->RowCount()) << QString::number(grid->ColCount());
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                parts << grid->Cells(c, r);
    }
    if (Doc)
        parts << Doc->CurrencyPrefix << QString::number(Doc->CurrencyRate, 'g', 17);
    parts << QString::number(SupplierRecNo);
    return parts.join(QChar(0x1F));
}

void TOrderForm::MarkUnchanged()
{
    // Save keeps its state: a blank or reopened document may be saved as it is.
    unchangedText_ = DocumentText();
}

bool TOrderForm::Changed() const { return Save->Enabled() && DocumentText() != unchangedText_; }

TOrderForm::~TOrderForm()
{
    // The focus leaves the rate box while the window is taken down, after this
    // object's members are gone: its handlers must not run then.
    Edit9->OnEnter = nullptr;
    Edit9->OnExit = nullptr;
    delete ColumnWidths;
}

// What is typed must fit every field it is stored in or looked up by: a longer
// text would be cut there silently, and a cut customer name never matches again.
void TOrderForm::LimitEditLengths()
{
    const auto size = [](const char* table, const char* field) {
        for (const FieldDefinition& f : TableDefinitionOf(QString::fromUtf8(table)).fields)
            if (f.name == QString::fromUtf8(field))
                return f.size;
        return 0;
    };
    const auto both = [&size](const char* table, const char* field, const char* stored) {
        return std::min(size(table, field), size("store", stored));
    };
    const std::pair<QLineEdit*, int> limits[] = {
        {Edit1, both("cust", "Фирма", "Клиент")},
        {Edit3, both("cust", "Адрес", "Адрес /к/")},
        {Edit2, both("cust", "МОЛ", "МОЛ /к/")},
        // The register keeps a shorter number: it is cut there, not in the document.
        {Edit7, size("store", "ИН /к/")},
        {Edit6, size("store", "Ин по ЗДДС /к/")},
        {Edit8, both("cust", "Лице", "Получател")},
        {Edit5, size("cust", "Група")},
        {Edit10, size("store", "Съставил")},
        {DBText7, both("firm", "Местоиздаване", "Местоиздаване")},
        {Edit9, size("store", "Данъчна ставка")},
        {ComboBox2->lineEdit(), size("store", "Документ")},
        {ComboBox1->lineEdit(), size("store", "Известие")},
        {ComboBox3->lineEdit(), size("store", "Вид плащане")},
        {ComboBox4->lineEdit(), size("store", "Основания")},
        {ComboBox5->lineEdit(), size("store", "Основание за:")},
    };
    for (const auto& [edit, limit] : limits)
        if (edit && limit > 0)
            edit->setMaxLength(limit);
}

// ---- window ----

void TOrderForm::FormCreate(TObject*)
{
    // Filled by the goods window, which is created after the editor and the page.
    delete ColumnWidths;
    ColumnWidths = new TStringList;
}

void TOrderForm::FormClose(TObject*, TCloseAction&)
{
    // Stored or dropped at the user's word: what stays on view is no pending work.
    MarkUnchanged();
    Form1->SavePayments();
    // Commits a change still pending in the currency grid; a folder that did
    // not open must not keep the window from closing.
    if (DataModule1->currency->Active()) {
        DataModule1->currency->Edit();
        DataModule1->currency->Post();
    }
    PrtD->Close();
}

void TOrderForm::FormCloseQuery(TObject*, bool& CanClose)
{
    if (!ConfirmLeaveDocument() || !PostCurrency())
        CanClose = false;
}

bool TOrderForm::ConfirmLeaveDocument()
{
    if (!Changed())
        return true;
    // The question is about what the user sees.
    if (!Visible())
        Show();
    switch (MessageBox(this, QStringLiteral("Документът е променен. Да запазя ли промените?"), QString(),
                       TMsgIcon::Question, TMsgButtons::YesNoCancel)) {
    case mrYes:
        return SaveWithCustomer(true);
    case mrNo:
        return true;
    default:
        return false;
    }
}

bool TOrderForm::OpenStoredDocument(int recNo)
{
    if (!ConfirmLeaveDocument() || !LoadDocument(recNo))
        return false;
    // Just as it is stored.
    MarkUnchanged();
    return true;
}

bool TOrderForm::PostCurrency()
{
    // What is typed in the currency grid is stored; a refused rate keeps the
    // editor open with the row as typed.
    TTable* currency = DataModule1 ? DataModule1->currency : nullptr;
    if (!currency || !currency->Editing())
        return true;
    const bool added = currency->State() == TDataSetState::dsInsert;
    try {
        currency->Post();
    } catch (const Exception& e) {
        MessageBox(this, e.Message, QString(), TMsgIcon::Warning);
        return false;
    }
    // A new row left empty is no currency.
    if (added && currency->FieldByName(QStringLiteral("Валута"))->Text().trimmed().isEmpty() &&
        currency->FieldByName(QStringLiteral("Курс"))->Text().trimmed().isEmpty())
        currency->Delete();
    return true;
}

// ---- issuing company and bank account ----

void TOrderForm::LoadSupplier()
{
    TTable* firm = DataModule1->firm;
    TTable* ae = DataModule1->Tableae;
    const QString oldPerson = DBText2->Text();
    const bool bulgarian = RadioButton1->Checked();
    SupplierRecNo = firm->IsEmpty() ? 0 : firm->RecNo();

    TImage* logo = bulgarian ? DBImage2 : DBImage3;
    if (logo->Picture()->IsEmpty())
        DBImage1->Picture()->Assign(FillFirm->Image1->Picture());
    else
        DBImage1->Picture()->Assign(logo->Picture());

    const auto text = [](TTable* t, const char* field) {
        return t->FieldByName(QString::fromUtf8(field))->DisplayText();
    };
    // Names, address and place follow the language; counters and numbers are firm's.
    DBText1->SetText(bulgarian ? text(firm, "ДОСТАВЧИК") : text(ae, "Supplier"));
    DBText2->SetText(bulgarian ? text(firm, "МОЛ") : text(ae, "Resp.Person"));
    DBText3->SetText(text(firm, "Фактура №"));
    DBText4->SetText(text(firm, "Проформа №"));
    Edit11->SetText(text(ae, "VOP"));
    DBText5->SetText(text(firm, "ИН"));
    DBText6->SetText(text(firm, "ИН по ЗДДС"));
    DBText7->SetText(bulgarian ? text(firm, "Местоиздаване") : text(ae, "Place of publishment"));
    DBText8->SetText(bulgarian ? text(firm, "Адрес") : text(ae, "Address"));

    DBImage1->Repaint();
    DBImage2->Repaint();
    DBImage3->Repaint();

    // The issuer follows the responsible person unless the user typed another name.
    if (Edit10->Text().isEmpty() || Edit10->Text() == oldPerson)
        Edit10->SetText(DBText2->Text());
}

void TOrderForm::LoadBankDetails()
{
    TTable* details = DataModule1->details;
    Bank->SetText(details->FieldByName(QStringLiteral("Bank"))->Text());
    IBAN->SetText(details->FieldByName(QStringLiteral("IBAN"))->Text());
    SWIFT->SetText(details->FieldByName(QStringLiteral("SWIFT"))->Text());
}

void TOrderForm::DBNavigator1Click(TObject*)
{
    DataModule1->Tableae->SetRecNo(DataModule1->firm->RecNo());
    LoadSupplier();
    AssignNextNumber();
    Save->SetEnabled(true);
}

void TOrderForm::DBNavigator2Click(TObject*)
{
    LoadBankDetails();
    Doc->Label38->SetCaption(Bank->Text());
    Doc->Label39->SetCaption(IBAN->Text());
    Doc->Label53->SetCaption(SWIFT->Text());
    Save->SetEnabled(true);
}

// ---- new document ----

void TOrderForm::ResetForNewDocument()
{
    // Only empty header cells take a caption: a filled header row stays as it is.
    for (const char* caption : {"Пор. №", "Наименование на стоките или услугите", "Мярка", "К-во", "Ед. цена",
                                "Стойност"})
        StringGrid1->AddToRow(0, QString::fromUtf8(caption));
    StringGrid1->SetCol(5);
    StringGrid1->SetRow(1);
    StringGrid1->SetEditorMode(true);

    const TDate today = Date();
    EDate->SetDate(today);
    EDate2->SetDate(today);
    EDate3->SetDate(today);
    EDate4->SetDate(today);

    LoadedRecNo = 0;
    ChosenCustomer = {};
    AssignNextNumber();
    ComboBox3->SetItemIndex(0);
    Doc->RenderPage();
    StringGrid1Button->SetLeft(566);
    StringGrid1Button->SetTop(336);
    Form1->LoadPayments();
}

void TOrderForm::RestoreColumnWidths()
{
    for (int i = 0; i <= 5; ++i) {
        StringGrid1->SetColWidths(i, StrToInt(ColumnWidths->Strings(i)));
        Doc->StringGrid2->SetColWidths(i, StrToInt(ColumnWidths->Strings(6 + i)));
    }
}

// ---- small handlers ----

void TOrderForm::DBText7Change(TObject*) { Save->SetEnabled(true); }
void TOrderForm::Edit8Change(TObject*) { Save->SetEnabled(true); }
void TOrderForm::CheckBox6Click(TObject*) { Save->SetEnabled(true); }

void TOrderForm::HeaderPanelClick(TObject*)
{
    RecalcByRate();
    ListBox1->Hide();
}

void TOrderForm::PrintClick(TObject*)
{
    RecalcByRate();
    // Closed first so that it reappears at the mouse cursor.
    PrtD->Close();
    PrtD->Show();
}

void TOrderForm::SpeedButton4Click(TObject*) { Close(); }
void TOrderForm::OrderBtnClick(TObject*) { Main->OrderBtn->Click(); }
void TOrderForm::SpeedButton5Click(TObject*) { Main->SpeedButton3->Click(); }
void TOrderForm::SpeedButton7Click(TObject*) { Main->SpeedButton7->Click(); }
