#include "registers/sort.h"

#include "data/datamodule.h"
#include "editor/orderform.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "registers/custform.h"
#include "registers/statform.h"

#include <QContextMenuEvent>
#include <QValidator>

TSort* Sort = nullptr;
QSet<QString> ChartedNumbers;

namespace {

constexpr int kMaxHitListHeight = 515;

// The number box takes digits only, also from a paste (keys, the context
// menu, the middle button): the other characters of a pasted text are dropped.
class DigitsOnly : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override
    {
        QString digits;
        int newPos = 0;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (input[i] < QLatin1Char('0') || input[i] > QLatin1Char('9'))
                continue;
            digits += input[i];
            if (i < pos)
                ++newPos;
        }
        input = digits;
        pos = newPos;
        return Acceptable;
    }
};

// A right click on a panel makes its record current before the menu acts on
// "the current record"; the menu then belongs to the panel that was clicked.
class RightClickSelects : public QObject {
public:
    explicit RightClickSelects(TDBCtrlGrid* grid) : QObject(grid), grid_(grid) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::ContextMenu)
            return false;
        auto* menu = static_cast<QContextMenuEvent*>(e);
        if (menu->reason() != QContextMenuEvent::Mouse || menu->pos().x() >= grid_->PanelWidth())
            return false;
        const int recNo = grid_->PanelRecord(menu->pos().y() / grid_->PanelHeight());
        TTable* store = DataModule1->store;
        if (recNo < 1 || !store->Active() || recNo == store->RecNo())
            return false;
        bool moved = false;
        SafeCall([&] {
            store->SetRecNo(recNo);  // posts a flag being changed first
            moved = true;
        });
        return !moved;  // no menu for a record the register could not go to
    }

private:
    TDBCtrlGrid* grid_;
};

}  // namespace

QString NumberKey(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
    int first = 0;
    while (first < t.size() - 1 && t[first] == QLatin1Char('0'))
        ++first;
    return t.mid(first);
}

TSort::TSort(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
    PopupMenu1 = new TPopupMenu(this);
    N1 = PopupMenu1->Items()->Add(QStringLiteral("Отвори"), Handler(this, &TSort::DBGrid1DblClick));
    N2 = PopupMenu1->Items()->Add(QStringLiteral("Изтрий"), Handler(this, &TSort::N2Click));
    AttachPopup(DBCtrlGrid1, PopupMenu1);
    // Installed after the popup's own filter, so it runs first.
    DBCtrlGrid1->installEventFilter(new RightClickSelects(DBCtrlGrid1));
    for (TControl* c : {static_cast<TControl*>(DBCtrlGrid1), static_cast<TControl*>(DBText1),
                        static_cast<TControl*>(DBText2), static_cast<TControl*>(DBText3)})
        c->OnDblClick = Handler(this, &TSort::DBGrid1DblClick);
    for (TControl* c : {static_cast<TControl*>(DBText1), static_cast<TControl*>(DBText2),
                        static_cast<TControl*>(DBText3), static_cast<TControl*>(DBCheckBox1),
                        static_cast<TControl*>(DBCheckBox2), static_cast<TControl*>(DBCheckBox3)})
        AttachPopup(c, PopupMenu1);
    // Only a user's toggle: an OnClick would run at every move of the register
    // and make the boxes read their fields at each one.
    for (TDBCheckBox* box : {DBCheckBox1, DBCheckBox2, DBCheckBox3})
        QObject::connect(box, &QAbstractButton::clicked, this, [this, box] { SafeCall([this, box] { FlagClick(box); }); });
    Button1->OnClick = Handler(this, &TSort::Button1Click);
    SpeedButton1->OnClick = Handler(this, &TSort::SpeedButton1Click);
    Edit1->OnKeyPress = Handler(this, &TSort::ComboBox1KeyPress);
    Edit1->setValidator(new DigitsOnly(Edit1));
    ListBox1->OnClick = Handler(this, &TSort::ListBox1Click);
    OnClick = Handler(this, &TSort::FormClick);
    DBCtrlGrid1->OnClick = Handler(this, &TSort::DBCtrlGrid1Click);
    OnCreate = Handler(this, &TSort::FormCreate);
    OnClose = Handler(this, &TSort::FormClose);
    // A hit names a record number of the folder it was found in.
    if (DataModule1)
        DataModule1->FolderChanged.Listen(this, [this] { ClearSearch(); });
}

void TSort::FormCreate(TObject*)
{
    ListBox1->SetBounds(Edit1->Left(), Edit1->Top() + Edit1->Height(), 290, ListBox1->Height());
    ListBox1->raise();
}

void TSort::DBGrid1DblClick(TObject*)
{
    TTable* store = DataModule1->store;
    if (!store->Active() || store->IsEmpty())
        return;
    store->Post();  // a flag being changed is kept
    // The load says itself why a record cannot be opened and leaves the editor
    // as it was; a save of the open document first comes back to this record.
    OrderForm->OpenStoredDocument(store->RecNo());
}

void TSort::Button1Click(TObject*)
{
    StatForm->Show();
    CalcStatistics();
}

void TSort::ComboBox1KeyPress(TObject*, char16_t& Key)
{
    if (Key == 13)
        SpeedButton1->Click();
    // Control characters are editing keys (Backspace, Ctrl+A, Ctrl+C, Ctrl+V,
    // Ctrl+X, Ctrl+Z); Enter has done its work and adds nothing.
    const bool editing = Key < 32 && Key != 13;
    if (!((Key >= u'0' && Key <= u'9') || editing))
        Key = 0;
}

void TSort::SpeedButton1Click(TObject*)
{
    if (Edit1->Text().isEmpty()) {
        ListBox1->Hide();
        return;
    }
    if (!DataModule1->CheckTablesOpen())
        return;
    const QString wanted = NumberKey(Edit1->Text());
    if (wanted.isEmpty())
        throw EConvertError(InvalidIntegerText(Edit1->Text()));
    TTable* store = DataModule1->store;
    TField* num = store->FieldByName(QStringLiteral("Num"));
    TField* kind = store->FieldByName(QStringLiteral("Документ"));
    TField* company = store->FieldByName(QStringLiteral("Доставчик"));
    QStringList items;
    SearchHits = QStringList();
    {
        TRegisterWalk walk(true);
        // Read in place: the table does not move, so the newest record comes first
        // without touching the current one.
        for (int rec = store->RecordCount(); rec >= 1; --rec) {
            const QString n = num->TextAt(rec);
            if (NumberKey(n) != wanted)
                continue;  // another number, or no number at all
            const QString hit = n + QStringLiteral(" - ") + kind->TextAt(rec) + QStringLiteral(" - ") + company->TextAt(rec);
            SearchHits.append(hit + QLatin1Char('@') + QString::number(rec));
            items.append(hit);
        }
    }
    ListBox1->clear();
    ListBox1->addItems(items);
    ListBox1->SetBounds(ListBox1->Left(), ListBox1->Top(), ListBox1->Width(),
                        std::min(int(items.size()) * ListBox1->ItemHeight() + 20, kMaxHitListHeight));
    ListBox1->Show();
    ListBox1->raise();
}

void TSort::ListBox1Click(TObject*)
{
    const int i = ListBox1->ItemIndex();
    if (i < 0 || i >= SearchHits.size())
        return;
    const QString& entry = SearchHits[i];
    const int recNo = entry.mid(entry.lastIndexOf(QLatin1Char('@')) + 1).toInt();
    TTable* store = DataModule1->store;
    if (store->Active() && recNo >= 1 && recNo <= store->RecordCount())
        store->SetRecNo(recNo);
    ListBox1->Hide();
}

void TSort::FormClick(TObject*) { ListBox1->Hide(); }

void TSort::DBCtrlGrid1Click(TObject*) { ListBox1->Hide(); }

void TSort::NavigatorClick(TObject*) { ListBox1->Hide(); }

void TSort::FormClose(TObject*, TCloseAction&) { ClearSearch(); }

void TSort::ClearSearch()
{
    ListBox1->Hide();
    ListBox1->clear();
    SearchHits = QStringList();
}

void TSort::N2Click(TObject*)
{
    TTable* store = DataModule1->store;
    if (!store->Active() || store->IsEmpty())
        return;
    store->Post();
    const QString question = QStringLiteral("Изтриване на %1 № %2?")
                                 .arg(store->FieldByName(QStringLiteral("Документ"))->Text(),
                                      store->FieldByName(QStringLiteral("Num"))->Text());
    if (MessageBox(this, question, Caption(), TMsgIcon::Question, TMsgButtons::YesNo) != mrYes)
        return;
    store->Delete();
    // Every later record has moved up by one.
    ClearSearch();
    if (CustForm)
        CustForm->RebuildDocumentList();
}

void TSort::FlagClick(TObject*)
{
    TTable* store = DataModule1->store;
    // A refused toggle leaves the table browsing.
    if (store->Active() && store->State() == TDataSetState::dsEdit)
        store->Post();
}

TRegisterWalk::TRegisterWalk(bool restoreRecord) : restore_(restoreRecord)
{
    if (Sort)
        Sort->DBCtrlGrid1->SetDataSource(nullptr);
    TTable* store = DataModule1->store;
    if (restore_ && store->Active())
        recNo_ = store->RecNo();
}

TRegisterWalk::~TRegisterWalk()
{
    TTable* store = DataModule1->store;
    try {
        if (restore_ && store->Active() && recNo_ >= 1 && recNo_ <= store->RecordCount())
            store->SetRecNo(recNo_);
    } catch (...) {
        // The grid must come back even when the table does not move.
    }
    if (Sort) {
        Sort->DBCtrlGrid1->SetDataSource(DataModule1->DataSource6);
        Sort->DBCtrlGrid1->repaint();
    }
}
