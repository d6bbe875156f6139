#include "platform/dbctrls.h"

#include <QApplication>
#include <QTimer>

#include "platform/application.h"

#include <QPointer>

#include "platform/dialogs.h"
#include "platform/stdctrls_internal.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRegularExpression>
#include <QTextDocument>
#include <QToolButton>
#include <QVariant>

#include <utility>

using namespace stdctrls;

namespace {


struct Flag {
    explicit Flag(bool& f) : f_(f), old_(f) { f_ = true; }
    ~Flag() { f_ = old_; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;
    bool& f_;
    bool old_;
};

bool TableEditing(const TTable* t)
{
    return t && t->Editing();
}

// Keys that change the text of an edit or memo.
bool IsEditingKey(const QKeyEvent* e)
{
    if (e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Undo) ||
        e->matches(QKeySequence::Redo))
        return true;
    switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        return true;
    default:
        break;
    }
    const QString t = e->text();
    return !t.isEmpty() && t.at(0) >= QLatin1Char(' ') && !(e->modifiers() & Qt::ControlModifier);
}

// Puts the table into edit state for a user's change; false when it cannot.
bool UserEdit(TFieldDataLink& link)
{
    bool ok = false;
    SafeCall([&] { ok = link.Edit(); });
    return ok;
}

}  // namespace

// ---- TFieldDataLink ----

void TFieldDataLink::SetFieldName(const QString& name)
{
    if (name == fieldName_)
        return;
    fieldName_ = name;
    Reset();
}

bool TFieldDataLink::Editing() const { return Active() && TableEditing(DataSet()); }

void TFieldDataLink::UpdateRecord()
{
    if (!modified_ || !Editing())
        return;
    if (TField* f = Field())
        Write(f);  // the field's own notice shows the written value
    modified_ = false;
}

void TFieldDataLink::Write(TField* field)
{
    try {
        client_->UpdateField(field);
    } catch (...) {
        client_->Refused();
        throw;
    }
}

void TFieldDataLink::Reset()
{
    modified_ = false;
    client_->DataChange();
}

void TFieldDataLink::RecordChanged() { Reset(); }

void TFieldDataLink::FieldChanged(TField* field)
{
    // Another field written by code leaves this control's typed value alone.
    if (field && field == Field())
        Reset();
}

void TFieldDataLink::StateChanged() { client_->EditingChange(); }

void TFieldDataLink::UpdateData()
{
    if (!modified_)
        return;
    if (TField* f = Field())
        Write(f);  // a refused value keeps the record in edit state
    modified_ = false;
}

// ---- TDBFieldControl ----

void FocusAfterMessage(QWidget* w)
{
    // Only once the message box about the value has closed: focused while the
    // box is opening, the control would lose the focus to it and have its
    // value checked, and refused, a second time.
    QTimer::singleShot(0, w, [w] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != w->window()) {
            QTimer::singleShot(30, w, [w] { FocusAfterMessage(w); });
            return;
        }
        if (w->isVisible() && w->isEnabled())
            w->setFocus(Qt::OtherFocusReason);
    });
}

void TDBFieldControl::Refused() { FocusAfterMessage(self_); }

QString TDBFieldControl::DisplayTextAt(int recNo) const
{
    TField* f = Field();
    return f ? f->DisplayTextAt(recNo) : QString();
}

void TDBFieldControl::SetDataSource(TDataSource* source)
{
    // Bound or unbound, the control shows what it follows at once.
    const Flag binding(binding_);
    link_.SetDataSource(source);
}

void TDBFieldControl::SetDataField(const QString& name)
{
    const Flag binding(binding_);
    link_.SetFieldName(name);
}

void TDBFieldControl::DataChange()
{
    if (binding_ || !MayDefer()) {
        behind_ = read_ = false;
        ShowRecord();
        return;
    }
    const bool widgetWasCurrent = !behind_ && !read_;
    behind_ = true;
    read_ = false;
    // A widget on the screen catches up when it is painted.
    if (widgetWasCurrent && self_->isVisible()) {
        self_->update();
        if (auto* area = qobject_cast<QAbstractScrollArea*>(self_))
            area->viewport()->update();
    }
}

void TDBFieldControl::Catch() const
{
    if (!behind_ && !read_)
        return;
    behind_ = read_ = false;
    const Flag catching(catching_);
    const_cast<TDBFieldControl*>(this)->ShowRecord();
}

const QString* TDBFieldControl::ReadBehind() const
{
    if (behind_) {
        if (ReadValue(value_)) {
            behind_ = false;
            read_ = true;
        } else {
            Catch();
        }
    }
    return read_ ? &value_ : nullptr;
}

void TDBFieldControl::CatchForEvent() const
{
    if (behind_ || read_)
        SafeCall([this] { Catch(); });
}

void TDBFieldControl::LoadDataField(const QWidget* w)
{
    const QVariant v = w->property("DataField");
    if (v.isValid())
        SetDataField(v.toString());
    BindDesignDataSource(const_cast<QWidget*>(w), [this](TDataSource* ds) { SetDataSource(ds); });
}

void BindDesignDataSource(QWidget* control, std::function<void(TDataSource*)> set)
{
    const QString ref = control->property("DataSource").toString();
    if (ref.isEmpty())
        return;
    QPointer<QWidget> guard(control);
    Application->AddFixup([guard, ref, set = std::move(set)]() {
        if (!guard)
            return true;  // the control is gone: nothing left to bind
        const int dot = ref.indexOf(QLatin1Char('.'));
        TComponent* owner = nullptr;
        if (dot < 0)
            owner = dynamic_cast<TComponent*>(AsControl(guard->window()));
        else
            owner = Application->FindComponent(ref.left(dot));
        if (!owner)
            return false;
        auto* ds = dynamic_cast<TDataSource*>(owner->FindComponent(dot < 0 ? ref : ref.mid(dot + 1)));
        if (!ds)
            return false;
        set(ds);
        return true;
    });
}

// ---- TDBEdit ----

TDBEdit::TDBEdit(QWidget* parent) : TCustomEdit(parent), TDBFieldControl(this)
{
    // Replaces the plain edit's typing handler: the table enters edit state
    // and takes note of the change before OnChange runs.
    QObject::disconnect(this, &QLineEdit::textEdited, this, nullptr);
    QObject::connect(this, &QLineEdit::textEdited, this, [this] { SafeCall([this] { UserEdited(); }); });
}

void TDBEdit::UserEdited()
{
    if (link_.DataSource()) {
        if (!link_.Edit()) {
            // Refused: the field's value comes back as if nothing was typed.
            TField* f = Field();
            SetTextSilently(!f ? QString() : hasFocus() ? f->Text() : f->DisplayText());
            return;
        }
        link_.SetModified();
    }
    if (OnChange)
        OnChange(this);
}

QString TDBEdit::Text() const
{
    if (const QString* v = ReadBehind())
        return *v;
    return TCustomEdit::Text();
}

bool TDBEdit::ReadValue(QString& value) const
{
    // As ShowField would put it into the unfocused edit.
    TField* f = Field();
    value = f ? f->DisplayText() : QString();
    const int limit = FieldMaxLength(f);
    if (limit > 0 && value.size() > limit)
        value.truncate(limit);
    return true;
}

int TDBEdit::FieldMaxLength(const TField* f) const
{
    const bool sized = f && f->DataType() == TFieldType::ftString && f->Size() > 0;
    return sized && (designMaxLength_ <= 0 || f->Size() < designMaxLength_) ? f->Size() : designMaxLength_;
}

void TDBEdit::SetText(const QString& text)
{
    Catch();
    if (link_.Editing())
        link_.SetModified();
    TCustomEdit::SetText(text);
}

void TDBEdit::ShowField(bool editText)
{
    TField* f = Field();
    const int limit = FieldMaxLength(f);
    if (maxLength() != (limit <= 0 ? 32767 : limit))
        SetMaxLength(limit);  // sets the text anew, losing the selection
    const QString text = !f ? QString() : editText ? f->Text() : f->DisplayText();
    if (CatchingUp()) {
        // The same text keeps the selection and cursor that code may have set.
        if (QLineEdit::text() != text)
            SetTextSilently(text);
    } else
        TCustomEdit::SetText(text);
}

void TDBEdit::ShowRecord() { ShowField(hasFocus()); }

// OnChange fires on every record followed; the focused edit shows the edit text.
bool TDBEdit::MayDefer() const { return !OnChange && !hasFocus(); }

bool TDBEdit::event(QEvent* e)
{
    CatchForEvent();
    return TCustomEdit::event(e);
}

void TDBEdit::UpdateField(TField* field) { field->SetText(Text()); }

void TDBEdit::focusInEvent(QFocusEvent* e)
{
    if (!link_.Modified() && Field())
        SafeCall([this] { ShowField(true); });
    TCustomEdit::focusInEvent(e);
}

void TDBEdit::focusOutEvent(QFocusEvent* e)
{
    SafeCall([this] {
        if (link_.Modified())
            link_.UpdateRecord();
        if (!link_.Modified() && Field())
            ShowField(false);
    });
    TCustomEdit::focusOutEvent(e);
}

void TDBEdit::LoadDesignProperties()
{
    TCustomEdit::LoadDesignProperties();
    designMaxLength_ = MaxLength();
    LoadDataField(this);
}

// ---- TDBText ----

TDBText::TDBText(QWidget* parent) : TLabel(parent), TDBFieldControl(this)
{
    SetAutoSize(false);
    SetShowAccelChar(false);  // an '&' in the data is a character
}

void TDBText::ShowRecord()
{
    TField* f = Field();
    TLabel::SetCaption(f ? f->DisplayText() : QString());
}

QString TDBText::Caption() const
{
    if (const QString* v = ReadBehind())
        return *v;
    return TLabel::Caption();
}

bool TDBText::ReadValue(QString& value) const
{
    TField* f = Field();
    value = f ? f->DisplayText() : QString();
    return true;
}

void TDBText::SetCaption(const QString& caption)
{
    Catch();
    TLabel::SetCaption(caption);
}

bool TDBText::event(QEvent* e)
{
    CatchForEvent();
    return TLabel::event(e);
}

void TDBText::LoadDesignProperties()
{
    TLabel::LoadDesignProperties();
    LoadDataField(this);
}

// ---- TDBMemo ----

TDBMemo::TDBMemo(QWidget* parent) : TCustomMemo(parent), TDBFieldControl(this)
{
    known_ = document()->toPlainText();
    QObject::connect(document(), &QTextDocument::contentsChanged, this, [this] { ContentsChanged(); });
}

void TDBMemo::ContentsChanged()
{
    const QString now = document()->toPlainText();
    if (now == known_)
        return;  // a format change
    known_ = now;
    if (loading_ || !link_.DataSource())
        return;
    if (userEdit_ > 0 && !link_.Editing())
        UserEdit(link_);
    if (link_.Editing())
        link_.SetModified();
}

void TDBMemo::ShowRecord()
{
    const Flag loading(loading_);
    TField* f = Field();
    // The raw value: the field's Text may be computed from this memo.
    const QString value = f ? f->AsMemo() : QString();
    if (!CatchingUp()) {
        TCustomMemo::SetText(value);
        return;
    }
    struct Silent {
        TNotifyEvent& event;
        TNotifyEvent saved;
        ~Silent() { event = std::move(saved); }
    } silent{OnChange, std::exchange(OnChange, nullptr)};
    TCustomMemo::SetText(value);
}

QString TDBMemo::Text() const
{
    if (const QString* v = ReadBehind())
        return *v;
    return TCustomMemo::Text();
}

bool TDBMemo::ReadValue(QString& value) const
{
    // The memo's Text of that value: line breaks as CR LF whatever the value holds.
    TField* f = Field();
    value = f ? f->AsMemo() : QString();
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    value.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    value.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return true;
}

void TDBMemo::SetText(const QString& text)
{
    Catch();
    TCustomMemo::SetText(text);
}

bool TDBMemo::event(QEvent* e)
{
    CatchForEvent();
    return TCustomMemo::event(e);
}

bool TDBMemo::viewportEvent(QEvent* e)
{
    CatchForEvent();
    return TCustomMemo::viewportEvent(e);
}

void TDBMemo::UpdateField(TField* field) { field->SetAsMemo(Text()); }

void TDBMemo::keyPressEvent(QKeyEvent* e)
{
    if (link_.DataSource() && !isReadOnly() && IsEditingKey(e) && !UserEdit(link_)) {
        e->accept();
        return;
    }
    const Depth user(userEdit_);
    TCustomMemo::keyPressEvent(e);
}

void TDBMemo::inputMethodEvent(QInputMethodEvent* e)
{
    if (link_.DataSource() && !isReadOnly() && !e->commitString().isEmpty() && !UserEdit(link_)) {
        e->accept();
        return;
    }
    const Depth user(userEdit_);
    TCustomMemo::inputMethodEvent(e);
}

void TDBMemo::insertFromMimeData(const QMimeData* source)
{
    if (link_.DataSource() && !UserEdit(link_))
        return;
    const Depth user(userEdit_);
    TCustomMemo::insertFromMimeData(source);
}

void TDBMemo::contextMenuEvent(QContextMenuEvent* e)
{
    const Depth user(userEdit_);
    TCustomMemo::contextMenuEvent(e);
}

void TDBMemo::focusOutEvent(QFocusEvent* e)
{
    if (link_.Modified())
        SafeCall([this] { link_.UpdateRecord(); });
    TCustomMemo::focusOutEvent(e);
}

void TDBMemo::LoadDesignProperties()
{
    TCustomMemo::LoadDesignProperties();
    LoadDataField(this);
}

// ---- TDBImage ----

TDBImage::TDBImage(QWidget* parent) : TImage(parent), TDBFieldControl(this) {}

void TDBImage::PictureChanged()
{
    TImage::PictureChanged();
    if (!loading_ && link_.Editing())
        link_.SetModified();
}

void TDBImage::ShowRecord()
{
    const Flag loading(loading_);
    TField* f = Field();
    if (!f) {
        Picture()->Clear();
        return;
    }
    try {
        Picture()->LoadFromBytes(f->AsBytes());
    } catch (const EInvalidGraphic&) {
        Picture()->Clear();  // unreadable stored data shows as no picture
    }
}

void TDBImage::UpdateField(TField* field) { field->SetAsBytes(Picture()->SaveToBytes()); }

void TDBImage::LoadDesignProperties()
{
    LoadDataField(this);  // first: a design picture is not cleared by it
    TImage::LoadDesignProperties();
}

// ---- TDBComboBox ----

TDBComboBox::TDBComboBox(QWidget* parent) : TComboBox(parent), TDBFieldControl(this)
{
    HookEdit();
    QObject::connect(this, &QComboBox::activated, this, [this] { SafeCall([this] { UserEdited(); }); });
}

void TDBComboBox::HookEdit()
{
    QLineEdit* edit = lineEdit();
    if (edit == hooked_)
        return;
    hooked_ = edit;
    if (edit)
        QObject::connect(edit, &QLineEdit::textEdited, this, [this] { SafeCall([this] { UserEdited(); }); });
}

void TDBComboBox::UserEdited()
{
    if (!link_.DataSource())
        return;
    if (!link_.Edit()) {
        ShowRecord();  // refused: the field's value comes back
        return;
    }
    link_.SetModified();
}

QString TDBComboBox::Text() const
{
    if (const QString* v = ReadBehind())
        return *v;
    return TComboBox::Text();
}

bool TDBComboBox::ReadValue(QString& value) const
{
    // A list-only combo shows a matching item, or keeps its text.
    if (!isEditable())
        return false;
    TField* f = Field();
    value = f ? f->DisplayText() : QString();
    return true;
}

void TDBComboBox::SetItemIndex(int index)
{
    Catch();
    TComboBox::SetItemIndex(index);
}

void TDBComboBox::SetText(const QString& text)
{
    Catch();
    if (link_.Editing())
        link_.SetModified();
    TComboBox::SetText(text);
}

void TDBComboBox::ShowRecord()
{
    TField* f = Field();
    // Typing stops at the field's size instead of the rest being lost at the post.
    if (QLineEdit* edit = lineEdit()) {
        const int limit = f && f->DataType() == TFieldType::ftString && f->Size() > 0 ? f->Size() : 32767;
        if (edit->maxLength() != limit)
            edit->setMaxLength(limit);
    }
    const QString text = f ? f->DisplayText() : QString();
    if (!CatchingUp() || TComboBox::Text() != text)
        TComboBox::SetText(text);
}

bool TDBComboBox::event(QEvent* e)
{
    CatchForEvent();
    return TComboBox::event(e);
}

bool TDBComboBox::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == hooked_)
        CatchForEvent();  // the line edit is painted and typed into on its own
    return TComboBox::eventFilter(watched, e);
}

void TDBComboBox::UpdateField(TField* field) { field->SetText(Text()); }

void TDBComboBox::LoadDesignProperties()
{
    TComboBox::LoadDesignProperties();
    HookEdit();
    LoadDataField(this);
}

// ---- TDBCheckBox ----

TDBCheckBox::TDBCheckBox(QWidget* parent) : TCheckBox(parent), TDBFieldControl(this) {}

bool TDBCheckBox::Checked() const
{
    Catch();
    return TCheckBox::Checked();
}

void TDBCheckBox::SetChecked(bool v)
{
    Catch();
    TCheckBox::SetChecked(v);
}

TCheckBoxState TDBCheckBox::State() const
{
    Catch();
    return TCheckBox::State();
}

void TDBCheckBox::SetState(TCheckBoxState s)
{
    Catch();
    TCheckBox::SetState(s);
}

bool TDBCheckBox::event(QEvent* e)
{
    CatchForEvent();
    return TCheckBox::event(e);
}

bool TDBCheckBox::IsCheckedText(const QString& text) const
{
    return !text.isEmpty() && text.compare(valueChecked_, Qt::CaseInsensitive) == 0;
}

void TDBCheckBox::SetValueChecked(const QString& v)
{
    valueChecked_ = v;
    if (Field())
        link_.Reset();
}

void TDBCheckBox::SetValueUnchecked(const QString& v)
{
    valueUnchecked_ = v;
    if (Field())
        link_.Reset();
}

void TDBCheckBox::nextCheckState()
{
    Catch();  // toggles the current record's state
    if (link_.DataSource() && !UserEdit(link_)) {
        refused_ = true;  // no toggle, and no click either
        return;
    }
    TCheckBox::nextCheckState();
    if (link_.DataSource())
        link_.SetModified();
}

void TDBCheckBox::Click()
{
    if (refused_) {
        refused_ = false;
        return;
    }
    if (CatchingUp())
        return;
    if (!loading_ && link_.Editing())
        link_.SetModified();
    TCheckBox::Click();
}

void TDBCheckBox::ShowRecord()
{
    const Flag loading(loading_);
    TField* f = Field();
    TCheckBox::SetChecked(f && IsCheckedText(f->Text()));
}

void TDBCheckBox::UpdateField(TField* field) { field->SetText(Checked() ? valueChecked_ : valueUnchecked_); }

void TDBCheckBox::LoadDesignProperties()
{
    TCheckBox::LoadDesignProperties();
    const QVariant on = property("ValueChecked");
    if (on.isValid())
        valueChecked_ = on.toString();
    const QVariant off = property("ValueUnchecked");
    if (off.isValid())
        valueUnchecked_ = off.toString();
    LoadDataField(this);
}

// ---- TDBNavigator ----

namespace {

const char* const kButtonNames[NavigateBtnCount] = {"nbFirst",  "nbPrior", "nbNext", "nbLast",   "nbInsert",
                                                     "nbDelete", "nbEdit",  "nbPost", "nbCancel", "nbRefresh"};

const char* const kDefaultHints[NavigateBtnCount] = {
    "First record", "Prior record", "Next record", "Last record", "Insert record",
    "Delete record", "Edit record", "Post edit",  "Cancel edit", "Refresh data"};

int ButtonByName(const QString& name)
{
    for (int i = 0; i < NavigateBtnCount; ++i)
        if (name.compare(QLatin1String(kButtonNames[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// The button pictures, drawn so that they need no font or file.
QIcon NavIcon(TNavigateBtn b)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 40);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const auto left = [&](int x) { p.drawPolygon(QPolygon({QPoint(x + 6, 3), QPoint(x + 6, 13), QPoint(x, 8)})); };
    const auto right = [&](int x) { p.drawPolygon(QPolygon({QPoint(x, 3), QPoint(x, 13), QPoint(x + 6, 8)})); };
    switch (b) {
    case nbFirst:
        p.drawRect(3, 3, 2, 10);
        left(6);
        break;
    case nbPrior: left(5); break;
    case nbNext: right(5); break;
    case nbLast:
        right(4);
        p.drawRect(11, 3, 2, 10);
        break;
    case nbInsert:
        p.drawRect(3, 7, 10, 2);
        p.drawRect(7, 3, 2, 10);
        break;
    case nbDelete: p.drawRect(3, 7, 10, 2); break;
    case nbEdit: p.drawPolygon(QPolygon({QPoint(3, 11), QPoint(13, 11), QPoint(8, 4)})); break;
    case nbPost: {
        QPen pen(ink, 2);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygon({QPoint(3, 8), QPoint(7, 12), QPoint(13, 4)}));
        break;
    }
    case nbCancel: {
        QPen pen(QColor(170, 30, 30), 2);
        p.setPen(pen);
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
        break;
    }
    case nbRefresh: {
        QPen pen(ink, 2);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRect(3, 3, 10, 10), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(QPolygon({QPoint(9, 1), QPoint(14, 4), QPoint(9, 7)}));
        break;
    }
    }
    p.end();
    return QIcon(pm);
}

}  // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent), TControl(this), link_(this)
{
    for (int i = 0; i < NavigateBtnCount; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(kButtonNames[i]));
        b->setIcon(NavIcon(TNavigateBtn(i)));
        b->setFocusPolicy(Qt::NoFocus);
        b->installEventFilter(this);
        QObject::connect(b, &QToolButton::clicked, this, [this, i] { SafeCall([this, i] { BtnClick(TNavigateBtn(i)); }); });
        buttons_[size_t(i)] = b;
    }
    SetHints({});
    LayoutButtons();
    UpdateButtons();
}

TDBNavigator::~TDBNavigator() = default;

void TDBNavigator::SetVisibleButtons(TButtonSet buttons)
{
    visible_ = buttons & AllNavButtons;
    for (int i = 0; i < NavigateBtnCount; ++i)
        buttons_[size_t(i)]->setVisible(visible_ & (1u << i));
    LayoutButtons();
    UpdateButtons();
}

void TDBNavigator::SetFlat(bool v)
{
    flat_ = v;
    for (QToolButton* b : buttons_)
        b->setAutoRaise(v);
}

void TDBNavigator::SetHints(const QStringList& hints)
{
    hints_ = hints;
    for (int i = 0; i < NavigateBtnCount; ++i)
        buttons_[size_t(i)]->setToolTip(ButtonHint(TNavigateBtn(i)));
}

QString TDBNavigator::ButtonHint(TNavigateBtn button) const
{
    const QString own = hints_.value(button);
    return own.isEmpty() ? QString::fromLatin1(kDefaultHints[button]) : own;
}

void TDBNavigator::LayoutButtons()
{
    int count = 0;
    for (int i = 0; i < NavigateBtnCount; ++i)
        if (visible_ & (1u << i))
            ++count;
    if (count == 0)
        return;
    // Equal widths; the pixels left over are shared out from the left.
    const int w = width() / count;
    int extra = width() - w * count;
    int x = 0;
    for (int i = 0; i < NavigateBtnCount; ++i) {
        if (!(visible_ & (1u << i)))
            continue;
        const int bw = w + (extra > 0 ? 1 : 0);
        if (extra > 0)
            --extra;
        buttons_[size_t(i)]->setGeometry(x, 0, bw, height());
        x += bw;
    }
}

bool TDBNavigator::ButtonEnabled(TNavigateBtn button) const
{
    if (!(visible_ & (1u << button)) || !link_.Active())
        return false;
    const TTable* t = link_.DataSet();
    const bool editing = TableEditing(t);
    const bool empty = t->IsEmpty();
    const int rec = t->RecNo();
    const int count = t->RecordCount();
    switch (button) {
    case nbFirst:
    case nbPrior: return rec > 1;
    case nbNext:
    case nbLast: return rec < count;
    case nbInsert:
    case nbRefresh: return true;
    case nbDelete: return !empty;
    case nbEdit: return !editing && !empty;
    case nbPost:
    case nbCancel: return editing;
    }
    return false;
}

void TDBNavigator::UpdateButtons()
{
    for (int i = 0; i < NavigateBtnCount; ++i)
        buttons_[size_t(i)]->setEnabled(ButtonEnabled(TNavigateBtn(i)));
}

QString DeleteQuestion(const QString& recordName)
{
    return recordName.isEmpty() ? QStringLiteral("Изтриване на записа?")
                                : QStringLiteral("Изтриване на %1?").arg(recordName);
}

void TDBNavigator::BtnClick(TNavigateBtn button)
{
    if (link_.Active()) {
        TTable* t = link_.DataSet();
        switch (button) {
        case nbFirst: t->First(); break;
        case nbPrior: t->Prior(); break;
        case nbNext: t->Next(); break;
        case nbLast: t->Last(); break;
        case nbInsert: t->Insert(); break;
        case nbDelete:
            if (!t->IsEmpty() &&
                (!ConfirmDelete ||
                 MessageBox(this, DeleteQuestion(OnRecordName ? OnRecordName() : QString()),
                            QStringLiteral("Потвърждение"), TMsgIcon::Question, TMsgButtons::YesNo) == mrYes))
                t->Delete();
            break;
        case nbEdit: t->Edit(); break;
        case nbPost: t->Post(); break;
        case nbCancel: t->Cancel(); break;
        case nbRefresh: t->Refresh(); break;
        }
    }
    if (OnClick)
        OnClick(this, button);
}

void TDBNavigator::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    LayoutButtons();
    SafeCall([this] { CheckResize(); });
}

bool TDBNavigator::eventFilter(QObject* watched, QEvent* e)
{
    // The hints are tooltips only while ShowHint is on.
    if (e->type() == QEvent::ToolTip && !ShowHint)
        return true;
    return QWidget::eventFilter(watched, e);
}

void TDBNavigator::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    BindDesignDataSource(this, [this](TDataSource* ds) { SetDataSource(ds); });
    setToolTip(QString());  // the buttons carry the hints
    const QVariant buttons = property("VisibleButtons");
    if (buttons.isValid()) {
        TButtonSet set = 0;
        const QStringList names =
            buttons.toString().split(QRegularExpression(QStringLiteral("[|,\\s\\[\\]]+")), Qt::SkipEmptyParts);
        for (const QString& n : names)
            if (const int b = ButtonByName(n); b >= 0)
                set |= 1u << b;
        SetVisibleButtons(set);
    }
    bool flag = false;
    if (DesignBool(this, "ConfirmDelete", flag))
        ConfirmDelete = flag;
    if (DesignBool(this, "Flat", flag))
        SetFlat(flag);
    const QVariant hints = property("Hints");
    if (hints.isValid()) {
        QStringList list;
        const QStringList entries = hints.toString().split(QLatin1Char('|'));
        int position = 0;
        for (const QString& entry : entries) {
            const int eq = entry.indexOf(QLatin1Char('='));
            const int named = eq > 0 ? ButtonByName(entry.left(eq).trimmed()) : -1;
            const int index = named >= 0 ? named : position++;
            if (index >= NavigateBtnCount)
                continue;
            while (list.size() <= index)
                list << QString();
            list[index] = named >= 0 ? entry.mid(eq + 1) : entry;
        }
        SetHints(list);
    }
}
