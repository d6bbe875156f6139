// The editor's drop-down list: values of a table field offered while the
// customer and issuer edits are typed in, and goods offered in the
// description column of the lines grid. Which field a control offers is its
// Hint. Up and Down in the lines grid move the list or add and drop a line.
#include "editor/lookup.h"

#include "data/datamodule.h"
#include "editor/orderform.h"
#include "platform/keys.h"
#include "platform/sysutils.h"

#include <exception>

namespace {

constexpr int kEditListMaxHeight = 150;
constexpr int kGoodsListMaxHeight = 100;

QString Part(const QString& hint, bool before)
{
    const qsizetype semi = hint.indexOf(QLatin1Char(';'));
    if (semi < 0)
        return before ? QString() : hint;
    return before ? hint.left(semi) : hint.mid(semi + 1);
}

// A table holding a change another window has open is not moved: moving
// would post that change, or refuse it on every keystroke.
bool MayMove(TTable* table) { return table->State() == TDataSetState::dsBrowse; }

}  // namespace

LookupBinding ParseLookupBinding(const QString& hint)
{
    LookupBinding b;
    b.table = Part(hint, false);
    const QString fields = Part(hint, true);
    const qsizetype comma = fields.indexOf(QLatin1Char(','));
    if (comma < 0) {
        b.field = fields;
    } else {
        b.field = fields.left(comma);
        b.fallback = fields.mid(comma + 1);
    }
    return b;
}

TTable* LookupTable(const QString& name)
{
    if (!DataModule1 || name.isEmpty())
        return nullptr;
    return dynamic_cast<TTable*>(DataModule1->FindComponent(name));
}

QString LookupFieldText(TField* field, int recNo)
{
    // Read in place: moving the table for every record would refresh every
    // window that shows it, on each keystroke.
    return field->DataType() == TFieldType::ftMemo ? field->AsStringAt(recNo) : field->TextAt(recNo);
}

QStringList DescriptionLines(const QString& description)
{
    TStringList lines;
    lines.SetText(description);
    return lines.List();
}

QString GoodsEntry(const QString& description, int recNo)
{
    // An empty description still gives an entry that can be chosen.
    qsizetype end = 0;
    while (end < description.size() && description[end] != QLatin1Char('\r') && description[end] != QLatin1Char('\n'))
        ++end;
    return description.left(end) + QLatin1Char('~') + QString::number(recNo);
}

int GoodsEntryRecNo(const QString& entry)
{
    // The description's first line may hold a '~' itself; the number is last.
    const qsizetype tilde = entry.lastIndexOf(QLatin1Char('~'));
    if (tilde < 0)
        throw EConvertError(InvalidIntegerText(entry));
    return StrToInt(entry.mid(tilde + 1));
}

QStringList WrapDescription(const QString& description, const TextFits& fits)
{
    QStringList pieces;
    for (const QString& line : DescriptionLines(description))
        pieces << WrapToFit(line, fits);
    return pieces;
}

// ---- the editor's side ----

void TOrderForm::ConnectLookupHandlers()
{
    for (TEdit* e : {Edit1, Edit2, Edit3, Edit6, Edit7, Edit10, Edit4, Edit5})
        e->OnChange = Handler(this, &TOrderForm::Edit1Change);
    for (TBitBtn* b : {SpeedButton1, BitBtn1, BitBtn2, BitBtn5, BitBtn6, BitBtn7, BitBtn3, BitBtn4})
        b->OnClick = Handler(this, &TOrderForm::SpeedButton1Click);
    ListBox1->OnClick = Handler(this, &TOrderForm::ListBox1Click);
    // A click in the list must leave the focus where the user types: were the
    // list to take it, hiding the list would pass it on to the kind combo.
    ListBox1->setFocusPolicy(Qt::NoFocus);
    StringGrid1->OnSelectCell = Handler(this, &TOrderForm::StringGrid1SelectCell);
    StringGrid1Button->OnClick = Handler(this, &TOrderForm::StringGrid1ButtonClick);
    StringGrid1->OnSetEditText = Handler(this, &TOrderForm::StringGrid1SetEditText);
    StringGrid2->OnSetEditText = Handler(this, &TOrderForm::StringGrid2SetEditText);
    StringGrid1->OnKeyDown = Handler(this, &TOrderForm::StringGrid1KeyDown);
    StringGrid1->OnKeyUp = Handler(this, &TOrderForm::StringGrid1KeyUp);
}

void TOrderForm::SetListItems(const QStringList& entries, std::vector<int> recNos)
{
    ListBox1->Items()->Assign(entries);
    ListBox1->SetItemIndex(-1);
    ListRecNos = std::move(recNos);
}

void TOrderForm::ShowLookupList(TControl* edit)
{
    ListForGrid = 0;
    const int count = ListBox1->Items()->Count();
    if (count < 1) {
        ListBox1->Hide();
        return;
    }
    ListBox1->SetWidth(edit->Width() + 17);
    ListBox1->SetTop(edit->Top() + edit->Height());
    ListBox1->SetLeft(edit->Left());
    ListBox1->SetColor(edit->Color());
    ListBox1->SetVisible(true);
    ListBox1->SetHeight(std::min((count + 1) * ListBox1->ItemHeight(), kEditListMaxHeight));
}

void TOrderForm::FillLookupByPrefix(TControl* edit)
{
    const LookupBinding binding = ParseLookupBinding(edit->Hint());
    TTable* table = LookupTable(binding.table);
    const QString typed = edit->Text();
    QStringList entries;
    std::vector<int> recNos;
    if (!typed.isEmpty() && table && table->Active()) {
        TField* field = table->FieldByName(binding.field);
        const QString lowered = AnsiLowerCase(typed);
        const qsizetype n = typed.size();
        const int count = table->RecordCount();
        for (int r = 1; r <= count; ++r) {
            const QString value = LookupFieldText(field, r);
            if (value.size() >= n && AnsiLowerCase(value.left(n)) == lowered) {
                entries << value;
                recNos.push_back(r);
            }
        }
        if (MayMove(table))
            table->SetRecNo(1);
    }
    SetListItems(entries, std::move(recNos));
    ShowLookupList(edit);
}

void TOrderForm::Edit1Change(TObject* Sender)
{
    auto* edit = dynamic_cast<TControl*>(Sender);
    if (!edit)
        return;
    ListBox1->SetHint(edit->Name() + QLatin1Char(';') + ParseLookupBinding(edit->Hint()).table);
    FillLookupByPrefix(edit);
    Save->SetEnabled(true);
    const bool valid = CheckEik(Edit7->Text());
    Label1->SetCaption(valid ? QStringLiteral("Валиден") : QStringLiteral("Невалиден"));
    Label1->Font()->SetColor(valid ? clGreen : clRed);
}

void TOrderForm::SpeedButton1Click(TObject* Sender)
{
    auto* button = dynamic_cast<TControl*>(Sender);
    if (!button)
        return;
    // The client is the control the button stands against, on its right.
    TControl* client = nullptr;
    for (int i = 0; i < Panel3->ControlCount() && !client; ++i) {
        TControl* c = Panel3->Controls(i);
        if (c->Left() + c->Width() == button->Left() && c->Top() == button->Top())
            client = c;
    }
    if (!client)
        return;
    const LookupBinding binding = ParseLookupBinding(client->Hint());
    ListBox1->SetHint(client->Name() + QLatin1Char(';') + binding.table);
    QStringList entries;
    std::vector<int> recNos;
    TTable* table = LookupTable(binding.table);
    if (table && table->Active()) {
        TField* field = table->FieldByName(binding.field);
        const int count = table->RecordCount();
        for (int r = 1; r <= count; ++r) {
            entries << LookupFieldText(field, r);
            recNos.push_back(r);
        }
        if (count > 0 && MayMove(table))
            table->SetRecNo(count);
    }
    SetListItems(entries, std::move(recNos));
    ShowLookupList(client);
}

void TOrderForm::ListBox1Click(TObject*)
{
    Save->SetEnabled(true);
    ApplyLookupChoice(ListBox1->ItemIndex());
}

void TOrderForm::ApplyLookupChoice(int index)
{
    // A choice that cannot be applied leaves what was done and says nothing.
    try {
        if (ListForGrid == 0)
            ApplyToEdits(index);
        else
            ApplyToGrid();
    } catch (const std::exception&) {
    }
}

void TOrderForm::ApplyToEdits(int index)
{
    const QString hint = ListBox1->Hint();
    const QString targetName = Part(hint, true);
    const QString tablePart = Part(hint, false);
    TControl* target = nullptr;
    for (int i = 0; i < Panel3->ControlCount() && !target; ++i)
        if (Panel3->Controls(i)->Name() == targetName)
            target = Panel3->Controls(i);
    if (!target)
        return;
    const QString entry = ListBox1->Items()->Strings(index);
    // Taken before the target's change handler refills the list.
    const int chosen = index < int(ListRecNos.size()) ? ListRecNos[size_t(index)] : 0;

    target->SetText(entry);
    ListBox1->Hide();

    TTable* table = LookupTable(tablePart);
    if (!table || !table->Active())
        return;
    TField* targetField = table->FieldByName(ParseLookupBinding(target->Hint()).field);
    const QString text = target->Text();
    const int count = table->RecordCount();
    // The chosen item's own record: another record may hold the same value.
    int match = 0;
    if (chosen >= 1 && chosen <= count && LookupFieldText(targetField, chosen) == text)
        match = chosen;
    for (int r = 1; r <= count && match == 0; ++r)
        if (LookupFieldText(targetField, r) == text)
            match = r;
    if (match == 0)
        return;

    // Read in place: the change handlers of the edits filled here move the table.
    for (int i = 0; i < Panel3->ControlCount(); ++i) {
        TControl* c = Panel3->Controls(i);
        const LookupBinding binding = ParseLookupBinding(c->Hint());
        if (binding.table != tablePart)
            continue;
        TField* field = table->FieldByName(binding.field);
        if (!binding.fallback.isEmpty() && field->TextAt(match).isEmpty())
            field = table->FieldByName(binding.fallback);
        c->SetText(field->TextAt(match));
    }
    if (MayMove(table))
        table->SetRecNo(match);
    if (table == DataModule1->cust)
        RememberCustomer(match, table->FieldByName(QStringLiteral("Фирма"))->TextAt(match),
                         table->FieldByName(QStringLiteral("Идент №"))->TextAt(match));
}

void TOrderForm::ApplyToGrid()
{
    ListBox1->Hide();
    const QString entry = ListBox1->Items()->Strings(ListBox1->ItemIndex());
    TTable* stock = LookupTable(ParseLookupBinding(StringGrid1->Hint()).table);
    if (!stock || CurRow < 1 || CurRow >= StringGrid1->RowCount())
        return;
    const int recNo = GoodsEntryRecNo(entry);
    stock->SetRecNo(recNo);

    // A stored price that is no number would make a line without a value.
    const QString price = stock->Fields(5)->Text();
    if (!price.isEmpty() && NormalizeDecimal(price).isEmpty()) {
        MessageBox(this,
                   QStringLiteral("Продажната цена на избраната стока не е число.\n") + InvalidNumberText(price) +
                       QStringLiteral("\nПоправете цената в „Стоки и Услуги“."),
                   QString(), TMsgIcon::Warning);
        return;
    }
    StringGrid1->SetCells(2, CurRow, stock->Fields(2)->Text());
    StringGrid1->SetCells(4, CurRow, price);
    if (StringGrid1->Cells(3, CurRow).isEmpty())
        StringGrid1->SetCells(3, CurRow, QStringLiteral("1"));

    TField* description = stock->FieldByName(ParseLookupBinding(StringGrid1->Hint()).field);
    QStringList pieces = WrapDescription(LookupFieldText(description, recNo),
                                         [this](const QString& text) { return DescriptionFits(text); });
    if (pieces.isEmpty())
        pieces << QString();
    SpreadOverRows(StringGrid1, CurRow, 1, pieces);
    StringGrid1->SetRowCount(StringGrid1->RowCount() + 1);

    RecalcLines();
    NumberLines();
    GridRowDown();
}

void TOrderForm::StringGrid1SelectCell(TObject*, int ACol, int ARow, bool&)
{
    if (ACol == 1)
        StringGrid1->SetHint(QStringLiteral("Описание на стока/услуга;stock"));
    CurCol = ACol;
    CurRow = ARow;
    ListBox1->Hide();
    const QRect cell = StringGrid1->CellRect(ACol, ARow);
    StringGrid1Button->SetLeft(cell.x() + cell.width() + StringGrid1->Left() - StringGrid1Button->Width());
    StringGrid1Button->SetTop(StringGrid1->CellRect(ACol - 1, ARow).y() + StringGrid1->Top());
    StringGrid1Button->SetVisible(ACol == 1);
    RecalcByRate();
}

void TOrderForm::BuildGoodsEntries(QStringList& entries, std::vector<int>& recNos)
{
    const LookupBinding binding = ParseLookupBinding(StringGrid1->Hint());
    ListBox1->SetHint(QStringLiteral("StringGrid1;") + binding.table);
    TTable* table = LookupTable(binding.table);
    if (!table || !table->Active())
        return;
    TField* field = table->FieldByName(binding.field);
    const int count = table->RecordCount();
    entries.reserve(count);
    recNos.reserve(size_t(count));
    for (int r = 1; r <= count; ++r) {
        entries << GoodsEntry(LookupFieldText(field, r), r);
        recNos.push_back(r);
    }
    if (count > 0)
        table->SetRecNo(count);
}

void TOrderForm::ShowGoodsList(const QStringList& entries, const std::vector<int>& recNos, int placedCount)
{
    SetListItems(entries, recNos);
    if (placedCount < 1) {
        ListBox1->Hide();
        return;
    }
    // Under the current cell, as wide as it.
    const QRect cell = StringGrid1->CellRect(CurCol, CurRow);
    ListBox1->SetLeft(cell.x() + StringGrid1->Left());
    ListBox1->SetWidth(cell.width());
    ListBox1->SetTop(StringGrid1->CellRect(CurCol, CurRow + 1).y() + StringGrid1->Top());
    ListBox1->SetColor(RGB(255, 255, 155));
    ListBox1->SetVisible(true);
    ListBox1->SetHeight(std::min((placedCount + 1) * ListBox1->ItemHeight(), kGoodsListMaxHeight));
}

void TOrderForm::StringGrid1ButtonClick(TObject*)
{
    ListForGrid = 1;
    QStringList entries;
    std::vector<int> recNos;
    BuildGoodsEntries(entries, recNos);
    ShowGoodsList(entries, recNos, int(entries.size()));
}

void TOrderForm::FilterGoodsList()
{
    const QString typed = StringGrid1->Cells(CurCol, CurRow);
    ListForGrid = 1;
    QStringList entries;
    std::vector<int> recNos;
    BuildGoodsEntries(entries, recNos);
    if (typed.isEmpty() || CurCol != 1) {
        SetListItems(entries, std::move(recNos));
        ListBox1->Hide();
        return;
    }
    // Anywhere in the entry, its record number included.
    const QString lowered = AnsiLowerCase(typed);
    QStringList kept;
    std::vector<int> keptRecNos;
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (AnsiLowerCase(entries[i]).contains(lowered)) {
            kept << entries[i];
            keptRecNos.push_back(recNos[size_t(i)]);
        }
    // The list keeps the place and height of the full list, open even when empty.
    ShowGoodsList(kept, keptRecNos, int(entries.size()));
}

void TOrderForm::StringGrid1SetEditText(TObject*, int, int, const QString&)
{
    if (StringGrid1Button->Visible())
        FilterGoodsList();
    Save->SetEnabled(true);
}

void TOrderForm::StringGrid2SetEditText(TObject*, int, int, const QString&) { Save->SetEnabled(true); }

void TOrderForm::StringGrid1KeyDown(TObject*, WORD& Key, TShiftState)
{
    // The key stays: the grid's own move follows.
    if (Key == VK_DOWN)
        GridRowDown();
}

void TOrderForm::StringGrid1KeyUp(TObject*, WORD& Key, TShiftState)
{
    if (Key == VK_UP)
        GridRowUp();
}

void TOrderForm::GridRowDown()
{
    if (ListBox1->Visible()) {
        const int index = ListBox1->ItemIndex();
        ListBox1->SetItemIndex(index >= ListBox1->Items()->Count() - 1 ? 0 : index + 1);
        return;
    }
    const int last = StringGrid1->RowCount() - 1;
    if (CurRow != last)
        return;
    for (int c = 0; c < StringGrid1->ColCount(); ++c)
        if (!StringGrid1->Cells(c, last).isEmpty()) {
            StringGrid1->SetRowCount(last + 2);
            return;
        }
}

void TOrderForm::GridRowUp()
{
    if (ListBox1->Visible()) {
        const int index = ListBox1->ItemIndex();
        ListBox1->SetItemIndex(index >= 1 ? index - 1 : 0);
        return;
    }
    const int rows = StringGrid1->RowCount();
    if (rows <= 2)
        return;
    for (int c = 0; c <= 6; ++c)
        if (!StringGrid1->Cells(c, rows - 1).isEmpty())
            return;
    StringGrid1->SetRowCount(rows - 1);
}
