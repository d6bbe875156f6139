// The text controls: label, edits, memos, combo box, list box, up-down and
// date picker. Code changes fire the change handler inside the setter, once,
// and only on a real change; user actions fire their handlers through SafeCall.
#pragma once

#include "platform/control.h"
#include "platform/keys.h"
#include "platform/strings.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QWidget>

#include <functional>
#include <vector>

class QTextDocument;
class QToolButton;

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TComboBoxStyle { csDropDown, csDropDownList };

// ---- Label ----

// Draws its caption itself so that '&' follows ShowAccelChar; with AutoSize on,
// Width and Height follow the caption and font as soon as either changes.
class TLabel : public QLabel, public TControl {
public:
    explicit TLabel(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TLabel"); }

    QString Caption() const { return QLabel::text(); }
    void SetCaption(const QString& caption);
    QString Text() const override { return Caption(); }
    void SetText(const QString& text) override { SetCaption(text); }

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool on);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    void SetColor(TColor c) override;

    void FontChanged() override;
    void LoadDesignProperties() override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void AdjustBounds();
    int DrawFlags() const;

    bool autoSize_ = true;
    bool showAccelChar_ = true;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool transparent_ = false;
};

// ---- Edits ----

// The common part of the plain and the masked edit.
class TCustomEdit : public QLineEdit, public TControl {
public:
    explicit TCustomEdit(QWidget* parent = nullptr);

    // Fires OnChange (synchronously, exceptions travel out) when the text changes.
    QString Text() const override { return QLineEdit::text(); }
    void SetText(const QString& text) override;

    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool on) { setReadOnly(on); }
    // 0 = no limit; a mask edit gives its mask's length. A longer text set
    // from code is cut to the limit.
    int MaxLength() const;
    void SetMaxLength(int n);
    void Clear() { SetText(QString()); }
    void SelectAll() { selectAll(); }
    QString SelText() const { return selectedText(); }

    void LoadDesignProperties() override;

    TNotifyEvent OnChange;
    // Runs before the character is inserted; Key = 0 discards it. Backspace is
    // 8 and Enter 13. Only typed keys pass here: a paste bypasses it.
    TKeyPressEvent OnKeyPress;
    // Virtual-key code before any other handling; Key = 0 swallows the key.
    TKeyEvent OnKeyDown;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    // Sets the text without firing OnChange (design values).
    void SetTextSilently(const QString& text);

private:
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TEdit"); }
};

// An edit with the class library's edit mask "mask;save-literals;blank", for
// example "0000000000;1;_" (ten required digits, '_' in the unfilled places).
// Text reads the shown text with the blank character in unfilled places; a
// text set from code that is longer than the mask keeps its first characters.
class TMaskEdit : public TCustomEdit {
public:
    explicit TMaskEdit(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TMaskEdit"); }

    QString EditMask() const { return editMask_; }
    void SetEditMask(const QString& mask);
    QString Text() const override;
    void SetText(const QString& text) override;

    void LoadDesignProperties() override;

private:
    QString editMask_;
    QChar blank_ = QLatin1Char('_');
};

// ---- Memos ----

// A memo's lines: reading gives the lines the control shows, changing them
// changes the control at once. A final line break shows no extra line.
class TMemoLines : public TStrings {
public:
    // codeChange runs after code changed the text (its exceptions travel out);
    // userChange after any other change (typing), already inside SafeCall.
    TMemoLines(QTextDocument* doc, std::function<void()> codeChange,
               std::function<void()> userChange);
    ~TMemoLines() override;
    TMemoLines(const TMemoLines&) = delete;
    TMemoLines& operator=(const TMemoLines&) = delete;

    // The whole text with LF line breaks, as the control shows it.
    QString DocText() const { return text_; }
    // Replaces the whole text (LF line breaks); fires codeChange on a change.
    void SetDocText(const QString& text);

protected:
    void Changed() override;

private:
    void Apply(const QString& text);
    void Reload();

    QTextDocument* doc_;
    std::function<void()> codeChange_;
    std::function<void()> userChange_;
    QMetaObject::Connection connection_;
    QString text_;
    bool pushing_ = false;
};

class TCustomMemo : public QPlainTextEdit, public TControl {
public:
    explicit TCustomMemo(QWidget* parent = nullptr);
    ~TCustomMemo() override;

    TMemoLines* Lines()
    {
        SyncLines();
        return lines_;
    }
    // Lines joined by CR LF; set accepts CR LF, LF or CR. Fires OnChange on a change.
    QString Text() const override;
    void SetText(const QString& text) override;
    void Clear() { Lines()->Clear(); }

    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool on) { setReadOnly(on); }
    bool WordWrap() const { return lineWrapMode() != QPlainTextEdit::NoWrap; }
    void SetWordWrap(bool on);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle s);

    void LoadDesignProperties() override;

    TNotifyEvent OnChange;

protected:
    // Brings the lines up to date before code reads or changes them.
    virtual void SyncLines() {}
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    TMemoLines* lines_;
    TScrollStyle scrollBars_ = ssNone;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TMemo"); }
};

// Used for plain text only: lines, printing, copying the selection.
class TRichEdit : public QTextEdit, public TControl {
public:
    explicit TRichEdit(QWidget* parent = nullptr);
    ~TRichEdit() override;
    QString ClassName() const override { return QStringLiteral("TRichEdit"); }

    TMemoLines* Lines() { return lines_; }
    QString Text() const override;
    void SetText(const QString& text) override;
    void Clear() { lines_->Clear(); }

    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool on) { setReadOnly(on); }
    bool WordWrap() const { return lineWrapMode() != QTextEdit::NoWrap; }
    void SetWordWrap(bool on);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle s);

    // The whole content as one print job named title, on the current printer.
    // Raises EPrinter when there is no usable printer.
    void Print(const QString& title);
    // Copies the selection; with nothing selected nothing is copied.
    void CopyToClipboard();
    void SelectAll() { selectAll(); }
    // The selected text, line breaks as CR LF.
    QString SelText() const;

    void LoadDesignProperties() override;

    TNotifyEvent OnChange;

private:
    TMemoLines* lines_;
    TScrollStyle scrollBars_ = ssBoth;
};

// ---- Item lists of the combo box and the list box ----

// The items of a combo or list box as a string list: every change shows at once,
// and items the widget got elsewhere (design items) read back.
class TWidgetItems : public TStrings {
public:
    ~TWidgetItems() override;
    TWidgetItems(const TWidgetItems&) = delete;
    TWidgetItems& operator=(const TWidgetItems&) = delete;

protected:
    TWidgetItems() = default;
    // Starts following the widget's model; call from the derived constructor.
    void Follow(QAbstractItemModel* model);
    void Changed() override;
    void Reload();

    virtual QStringList WidgetItems() const = 0;
    virtual int WidgetIndex() const = 0;
    // Removes count rows at row and inserts items there.
    virtual void EditWidget(int row, int count, const QStringList& items) = 0;
    // Called after an edit with the index the old selection moved to (-1 when
    // it was removed) and the text shown before.
    virtual void Restore(int index, const QString& text) = 0;
    virtual QString WidgetText() const = 0;

private:
    std::vector<QMetaObject::Connection> connections_;
    bool pushing_ = false;
};

class TComboBox;

class TComboItems : public TWidgetItems {
public:
    explicit TComboItems(TComboBox* combo);

protected:
    QStringList WidgetItems() const override;
    int WidgetIndex() const override;
    void EditWidget(int row, int count, const QStringList& items) override;
    void Restore(int index, const QString& text) override;
    QString WidgetText() const override;

private:
    TComboBox* combo_;
};

// ---- Combo box ----

// Editable (csDropDown) by default. Code that sets Text, ItemIndex or Items
// fires nothing; the user's typing fires OnChange, the user's choice of an
// item fires OnClick and then OnSelect (OnChange when there is no OnSelect).
class TComboBox : public QComboBox, public TControl {
public:
    explicit TComboBox(QWidget* parent = nullptr);
    ~TComboBox() override;
    QString ClassName() const override { return QStringLiteral("TComboBox"); }

    TComboItems* Items() { return items_; }
    int ItemIndex() const { return currentIndex(); }
    // Also shows that item's text; -1 (or an index out of range) selects none.
    void SetItemIndex(int index);
    QString Text() const override { return currentText(); }
    void SetText(const QString& text) override;
    // Items[ItemIndex], or "" while no item is selected.
    QString SelectedText() const;
    // Exact match ignoring letter case (Cyrillic too); -1 when absent.
    int FindExact(const QString& text) const;

    TComboBoxStyle Style() const { return isEditable() ? csDropDown : csDropDownList; }
    void SetStyle(TComboBoxStyle style);

    void LoadDesignProperties() override;
    void showPopup() override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    // Before the combo's own handling; Enter is 13. Key = 0 swallows the key.
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    // Before the list opens; may clear and refill the items.
    TNotifyEvent OnDropDown;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class TComboItems;
    void HookLineEdit();
    void UserTyped();
    void UserChose(int index);
    // Runs OnKeyDown/OnKeyPress for a key; false when the key is swallowed.
    bool KeyHandlers(QKeyEvent* e);

    TComboItems* items_;
    QPointer<QLineEdit> hooked_;
};

// ---- List box ----

class TListBox;

class TListItems : public TWidgetItems {
public:
    explicit TListItems(TListBox* list);

protected:
    QStringList WidgetItems() const override;
    int WidgetIndex() const override;
    void EditWidget(int row, int count, const QStringList& items) override;
    void Restore(int index, const QString& text) override;
    QString WidgetText() const override { return {}; }

private:
    TListBox* list_;
};

// Flat, without a border; OnClick fires on the user's click only.
class TListBox : public QListWidget, public TControl {
public:
    explicit TListBox(QWidget* parent = nullptr);
    ~TListBox() override;
    QString ClassName() const override { return QStringLiteral("TListBox"); }

    TListItems* Items() { return items_; }
    int ItemIndex() const;
    // -1 (or an index out of range) selects none; fires nothing.
    void SetItemIndex(int index);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int h);

    void LoadDesignProperties() override;

private:
    TListItems* items_;
    int itemHeight_ = 14;
};

// ---- Up-down ----

// Two arrow buttons that step Position and write it into the associated edit
// through its SetText, so that the edit's OnChange fires for each step.
class TUpDown : public QWidget, public TControl {
public:
    explicit TUpDown(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TUpDown"); }

    TCustomEdit* Associate() const;
    // Writes the position into the edit without firing its OnChange.
    void SetAssociate(TCustomEdit* edit);
    int Min() const { return min_; }
    void SetMin(int v) { min_ = v; }
    int Max() const { return max_; }
    void SetMax(int v) { max_ = v; }
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = v; }
    int Position() const { return position_; }
    // Clamped to Min..Max; writes the edit's text (its OnChange fires on a change).
    void SetPosition(int v);
    // Digit grouping with the locale's thousand separator ("2 012").
    bool Thousands() const { return thousands_; }
    void SetThousands(bool on) { thousands_ = on; }
    // The position as the edit shows it.
    QString FormatPosition(int v) const;

    using TControl::Click;
    // A user's click on the up (true) or down arrow; exceptions are shown.
    void Click(bool up);

    void LoadDesignProperties() override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Step(int delta);
    void WriteSilently();

    QToolButton* up_;
    QToolButton* down_;
    QPointer<QLineEdit> associate_;
    int min_ = 0;
    int max_ = 100;
    int increment_ = 1;
    int position_ = 0;
    bool thousands_ = true;
};

// ---- Date picker ----

// Converts a date-picker display format ("dd.MM.yyyy 'г.'": d day, M month,
// y year, h/H hour, m minute, s second, t AM/PM, text in single quotes) to Qt's.
QString DisplayFormatToQt(const QString& format);

class TDateTimePicker : public QDateEdit, public TControl {
public:
    explicit TDateTimePicker(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TDateTimePicker"); }

    QDate Date() const { return date(); }
    // Fires OnChange (synchronously) when the date changes; raises
    // EConvertError on an invalid date.
    void SetDate(const QDate& d);
    QString Format() const { return format_; }
    // "" shows the locale's short date format.
    void SetFormat(const QString& format);
    // The date as shown.
    QString Text() const override { return QDateEdit::text(); }

    void LoadDesignProperties() override;

    TNotifyEvent OnChange;

private:
    QString format_;
};
