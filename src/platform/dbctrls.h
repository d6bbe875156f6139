// Data-aware controls: edits, labels, memos, pictures, combo and check boxes
// bound to one field of a data source's table, and the navigator. They show the
// current record before any move of the table returns (hidden or not), put the
// table into edit state when the user changes them, and write their pending
// value into the field when the table posts.
//
// Following a record is cheap: unless a handler must see every change, a
// control only notes that its field moved on and reads it when its widget gets
// an event (shown, painted, focused, typed into) or when code reads or sets it.
//
// Design values read from .ui dynamic properties: "DataField" (the field name)
// on every field control; the data source itself is bound by window code.
#pragma once

#include "platform/db.h"
#include "platform/extctrls.h"
#include "platform/graphics.h"
#include "platform/stdctrls.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <initializer_list>

class QToolButton;

// The current record as a delete question names it; empty when it has no name.
using TRecordNameEvent = std::function<QString()>;
// "Изтриване на <name>?", or "Изтриване на записа?" for an empty name.
QString DeleteQuestion(const QString& recordName);

// Puts the cursor into w once the message about its refused value is shown,
// so that the user's next key corrects it.
void FocusAfterMessage(QWidget* w);

// ---- The link of a control to one field ----

// Follows one field of the current record for a control. The control shows the
// record on DataChange and writes its pending value in UpdateField when the
// table is about to write the record. A value set by code into another field
// leaves the control's pending value alone.
class TFieldDataLink : public TDataLink {
public:
    struct Client {
        virtual ~Client() = default;
        // The record, the field or the link's activity changed: show it anew.
        virtual void DataChange() = 0;
        // Write the pending value into the field.
        virtual void UpdateField(TField* field) = 0;
        // The table entered or left edit or insert state.
        virtual void EditingChange() {}
        // The field refused the pending value: the user corrects it here.
        virtual void Refused() {}
    };

    explicit TFieldDataLink(Client* client) : client_(client) {}

    QString FieldName() const { return fieldName_; }
    // Shows the record anew.
    void SetFieldName(const QString& name);
    using TDataLink::Field;
    // The bound field while the link is active, else nullptr.
    TField* Field() const { return Field(fieldName_); }
    // Active and the table is editing or appending.
    bool Editing() const;
    // A value waits to be written into the field.
    bool Modified() const { return modified_; }
    void SetModified() { modified_ = true; }
    // Writes the pending value now; the record stays in edit state.
    void UpdateRecord();
    // Shows the current record anew, dropping a pending value.
    void Reset();

    void RecordChanged() override;
    void FieldChanged(TField* field) override;
    void StateChanged() override;
    void UpdateData() override;

private:
    // UpdateField; a refused value sends the client its Refused notice first.
    void Write(TField* field);

    Client* client_;
    QString fieldName_;
    bool modified_ = false;
};

// Binds a control to the data source its design names in the dynamic property
// "DataSource": "DataModule1.DataSource2" (a component of a window or data
// module, resolved once that one exists) or "x" (a component of the control's
// own window).
void BindDesignDataSource(QWidget* control, std::function<void(TDataSource*)> set);

// What every control bound to one field has in common.
class TDBFieldControl : protected TFieldDataLink::Client {
public:
    virtual ~TDBFieldControl() = default;
    TDataSource* DataSource() const { return link_.DataSource(); }
    // nullptr detaches: the control shows nothing and follows nothing until
    // it is attached again.
    void SetDataSource(TDataSource* source);
    QString DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& name);
    // The bound field while the link is active, else nullptr.
    TField* Field() const { return link_.Field(); }
    // The field's display text at another record, read without moving the
    // table; "" while inactive. Used by grids that repeat the control.
    QString DisplayTextAt(int recNo) const;

protected:
    explicit TDBFieldControl(QWidget* self) : link_(this), self_(self) {}
    // Reads "DataField" from the widget's design values.
    void LoadDataField(const QWidget* w);

    // Shows the field's value of the current record now.
    virtual void ShowRecord() = 0;
    // Whether showing a new record may wait until someone needs it: false
    // while a handler has to see every change as it happens.
    virtual bool MayDefer() const { return true; }
    // For code reading the value: the text the widget would show for the
    // current record, read from the field without touching the widget; false
    // when that cannot be told without showing it.
    virtual bool ReadValue(QString&) const { return false; }
    // Shows the current record now if a move has not been shown yet. Catching
    // up is no change of the value: ShowRecord fires no handler meanwhile.
    void Catch() const;
    // The current record's value while the widget is still behind (read with
    // ReadValue, or shown when it cannot be); nullptr when the widget holds it.
    const QString* ReadBehind() const;
    bool CatchingUp() const { return catching_; }
    // For a widget's event(): catches up first, so that whatever Qt does with
    // the event (paint, focus, keys) works on the current value.
    void CatchForEvent() const;
    void DataChange() override;
    // Takes the cursor back, so that the next key goes into the refused value.
    void Refused() override;

    TFieldDataLink link_;

private:
    QWidget* self_;
    mutable bool behind_ = false;  // the record moved on since the widget was set
    mutable bool read_ = false;    // value_ holds the current record's value; the widget is behind
    mutable QString value_;
    mutable bool catching_ = false;
    bool binding_ = false;
};

// ---- Edit ----

// Shows the field's display text (a money field in its display form); while it
// has the focus, the field's edit text. Typing puts the table into edit state
// (refused when the table cannot edit) and the text is written into the field
// when the table posts or the edit loses the focus. Text set by code while the
// table edits or appends is written at the post as well. A string field limits
// the text to its size (or to a smaller design MaxLength). OnChange fires on
// every change of the text, also when the edit follows another record. With no
// data source at all it is a plain edit.
class TDBEdit : public TCustomEdit, public TDBFieldControl {
public:
    explicit TDBEdit(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TDBEdit"); }

    QString Text() const override;
    void SetText(const QString& text) override;
    void LoadDesignProperties() override;

protected:
    void ShowRecord() override;
    bool MayDefer() const override;
    bool ReadValue(QString& value) const override;
    bool event(QEvent* e) override;
    void UpdateField(TField* field) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void UserEdited();
    void ShowField(bool editText);
    int FieldMaxLength(const TField* f) const;
    int designMaxLength_ = 0;  // a limit the design gave, kept under a shorter field's
};

// ---- Label ----

// Shows the field's display text as its caption; not auto-sized unless the
// design says so.
class TDBText : public TLabel, public TDBFieldControl {
public:
    explicit TDBText(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TDBText"); }

    QString Caption() const;
    void SetCaption(const QString& caption);
    QString Text() const override { return Caption(); }
    void SetText(const QString& text) override { SetCaption(text); }
    void LoadDesignProperties() override;

protected:
    void ShowRecord() override;
    bool ReadValue(QString& value) const override;
    bool event(QEvent* e) override;
    void UpdateField(TField*) override {}
};

// ---- Memo ----

// Shows the whole value of a memo field (never the field's Text, which may be
// computed from this very memo). Typing puts the table into edit state; text
// set by code while the table edits or appends marks it changed; the field
// receives the memo's text when the table posts.
class TDBMemo : public TCustomMemo, public TDBFieldControl {
public:
    explicit TDBMemo(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TDBMemo"); }

    QString Text() const override;
    void SetText(const QString& text) override;
    void LoadDesignProperties() override;

protected:
    void SyncLines() override { Catch(); }
    void ShowRecord() override;
    bool MayDefer() const override { return !OnChange; }
    bool ReadValue(QString& value) const override;
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void UpdateField(TField* field) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void ContentsChanged();
    QString known_;
    bool loading_ = false;
    int userEdit_ = 0;
};

// ---- Picture ----

// Loads its picture from the graphic field whenever the record changes. A
// picture changed while the table edits or appends (loaded, assigned, cleared)
// is written into the field when the table posts. Unbound, it is a plain
// picture holder.
class TDBImage : public TImage, public TDBFieldControl {
public:
    explicit TDBImage(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TDBImage"); }

    void LoadDesignProperties() override;

protected:
    void PictureChanged() override;
    void ShowRecord() override;
    bool MayDefer() const override { return false; }
    void UpdateField(TField* field) override;

private:
    bool loading_ = false;
};

// ---- Combo box ----

// Items to choose from plus free text. Shows the field's display text; typing
// or choosing puts the table into edit state and the text is written into the
// field when the table posts.
class TDBComboBox : public TComboBox, public TDBFieldControl {
public:
    explicit TDBComboBox(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TDBComboBox"); }

    QString Text() const override;
    void SetText(const QString& text) override;
    // Also shows that item's text.
    void SetItemIndex(int index);
    void LoadDesignProperties() override;

protected:
    void ShowRecord() override;
    bool ReadValue(QString& value) const override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void UpdateField(TField* field) override;

private:
    void HookEdit();
    void UserEdited();
    QPointer<QLineEdit> hooked_;
};

// ---- Check box ----

// Ticked when the field's text equals ValueChecked (letter case ignored).
// A user's toggle puts the table into edit state (no toggle when it cannot
// edit); the field receives ValueChecked or ValueUnchecked when the table
// posts. Checked set by code while the table edits is written as well.
// OnClick fires on every change of the state, also when following a record.
// Design values: ValueChecked, ValueUnchecked.
class TDBCheckBox : public TCheckBox, public TDBFieldControl {
public:
    explicit TDBCheckBox(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TDBCheckBox"); }

    QString ValueChecked() const { return valueChecked_; }
    void SetValueChecked(const QString& v);
    QString ValueUnchecked() const { return valueUnchecked_; }
    void SetValueUnchecked(const QString& v);
    // Whether a field text means ticked.
    bool IsCheckedText(const QString& text) const;

    bool Checked() const;
    void SetChecked(bool v);
    TCheckBoxState State() const;
    void SetState(TCheckBoxState s);

    void Click() override;
    void LoadDesignProperties() override;

protected:
    void ShowRecord() override;
    bool MayDefer() const override { return !OnClick; }
    bool event(QEvent* e) override;
    void UpdateField(TField* field) override;
    void nextCheckState() override;

private:
    QString valueChecked_ = QStringLiteral("True");
    QString valueUnchecked_ = QStringLiteral("False");
    bool loading_ = false;
    bool refused_ = false;
};

// ---- Navigator ----

enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
constexpr int NavigateBtnCount = 10;
// A set of navigator buttons, one bit per button.
using TButtonSet = unsigned;
constexpr TButtonSet NavButtons(std::initializer_list<TNavigateBtn> buttons)
{
    TButtonSet s = 0;
    for (TNavigateBtn b : buttons)
        s |= 1u << b;
    return s;
}
constexpr TButtonSet AllNavButtons = (1u << NavigateBtnCount) - 1;

using TNavClickEvent = std::function<void(TObject* Sender, TNavigateBtn Button)>;

// A row of small buttons that move through the data source's table and edit
// it: first, prior, next, last, insert (appends), delete, edit, post, cancel,
// refresh. Each button calls the table's own method, so the table's events
// fire, and then OnClick(Sender, Button). Delete asks "Изтриване на записа?" (Yes
// deletes) while ConfirmDelete is set; with OnRecordName the question names the
// record the window says it is. The buttons share the width equally
// and are enabled as the table's state allows.
//
// Design values: VisibleButtons ("nbFirst|nbPrior|nbNext|nbLast"), ConfirmDelete,
// Flat, Hints (entries joined by "|": either one per button in the order above,
// empty keeping the default, or "nbDelete=Изтрий записа" for single buttons).
// The hints show as tooltips only when ShowHint is set.
class TDBNavigator : public QWidget, public TControl {
public:
    explicit TDBNavigator(QWidget* parent = nullptr);
    ~TDBNavigator() override;
    QString ClassName() const override { return QStringLiteral("TDBNavigator"); }

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }

    TButtonSet VisibleButtons() const { return visible_; }
    void SetVisibleButtons(TButtonSet buttons);
    bool ConfirmDelete = true;
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    // One hint per button in TNavigateBtn order; missing or empty entries
    // keep the default hint.
    QStringList Hints() const { return hints_; }
    void SetHints(const QStringList& hints);
    // The hint a button shows.
    QString ButtonHint(TNavigateBtn button) const;

    // Whether a button can be pressed now (also false while hidden from the row).
    bool ButtonEnabled(TNavigateBtn button) const;
    QToolButton* Button(TNavigateBtn button) const { return buttons_[button]; }

    // Runs the button's action and then OnClick, as a press does (whatever the
    // button's state); exceptions travel to the caller.
    void BtnClick(TNavigateBtn button);

    TNavClickEvent OnClick;
    // The current record as a delete question names it ("клиента „Алфа ООД“");
    // empty for the plain question.
    TRecordNameEvent OnRecordName;

    void LoadDesignProperties() override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    class Link : public TDataLink {
    public:
        explicit Link(TDBNavigator* nav) : nav_(nav) {}
        void RecordChanged() override { nav_->UpdateButtons(); }
        void StateChanged() override { nav_->UpdateButtons(); }
        void FieldChanged(TField*) override {}

    private:
        TDBNavigator* nav_;
    };

    void LayoutButtons();
    void UpdateButtons();

    Link link_;
    std::array<QToolButton*, NavigateBtnCount> buttons_{};
    TButtonSet visible_ = AllNavButtons;
    bool flat_ = false;
    QStringList hints_;
};
