// Memos, the combo box and the list box: the controls whose content is a list
// of lines kept in step with a TStrings view.
#include "platform/stdctrls.h"

#include "platform/printer.h"
#include "platform/stdctrls_internal.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPrinter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

using namespace stdctrls;

namespace {

// The document's text with LF line breaks and no-break spaces kept.
QString RawText(const QTextDocument* doc)
{
    QString t = doc->toRawText();
    for (QChar& c : t)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    return t;
}

// The text as the printer gets it. A font set in pixels (a design's font
// height) is turned into points at the screen's resolution: pixels would be
// printer pixels and the text would shrink to a dot.
std::unique_ptr<QTextDocument> PrintableCopy(const QTextDocument* doc, qreal screenDpi)
{
    const auto points = [screenDpi](int pixels) { return pixels * 72.0 / screenDpi; };
    std::unique_ptr<QTextDocument> copy(doc->clone());
    QFont font = doc->defaultFont();
    if (font.pixelSize() > 0)
        font.setPointSizeF(points(font.pixelSize()));
    copy->setDefaultFont(font);
    QTextCursor cursor(copy.get());
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(QTextFormat::FontPixelSize))
                continue;
            const int pixels = format.intProperty(QTextFormat::FontPixelSize);
            format.clearProperty(QTextFormat::FontPixelSize);
            if (pixels > 0)
                format.setFontPointSize(points(pixels));
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    return copy;
}

// A final line break shows no extra line.
QStringList SplitLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString ToLf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString ToCrLf(QString text)
{
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

struct FlagGuard {
    bool& flag;
    explicit FlagGuard(bool& f) : flag(f) { flag = true; }
    ~FlagGuard() { flag = false; }
};

void ApplyScrollBars(QAbstractScrollArea* area, TScrollStyle s)
{
    area->setHorizontalScrollBarPolicy(s == ssHorizontal || s == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                       : Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(s == ssVertical || s == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
}

TScrollStyle ReadScrollBars(const QWidget* w, TScrollStyle fallback)
{
    return static_cast<TScrollStyle>(
        DesignEnum(w, "ScrollBars", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}, fallback));
}

}  // namespace

// ---- TMemoLines ----

TMemoLines::TMemoLines(QTextDocument* doc, std::function<void()> codeChange,
                       std::function<void()> userChange)
    : doc_(doc), codeChange_(std::move(codeChange)), userChange_(std::move(userChange))
{
    text_ = RawText(doc_);
    items_ = SplitLines(text_);
    connection_ = QObject::connect(doc_, &QTextDocument::contentsChanged, doc_, [this] {
        if (!pushing_)
            Reload();
    });
}

TMemoLines::~TMemoLines() { QObject::disconnect(connection_); }

void TMemoLines::Reload()
{
    const QString now = RawText(doc_);
    if (now == text_)
        return;  // a format change, not a text change
    text_ = now;
    items_ = SplitLines(now);
    if (userChange_)
        userChange_();
}

void TMemoLines::Changed() { Apply(items_.join(QLatin1Char('\n'))); }

void TMemoLines::SetDocText(const QString& text)
{
    items_ = SplitLines(text);
    Apply(text);
}

void TMemoLines::Apply(const QString& text)
{
    const QString old = RawText(doc_);
    if (old == text) {
        text_ = text;
        return;
    }
    {
        // Replace only what differs, so that adding a line to a long text stays cheap.
        const FlagGuard guard(pushing_);
        const qsizetype common = std::min(old.size(), text.size());
        qsizetype prefix = 0;
        while (prefix < common && old[prefix] == text[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < common - prefix && old[old.size() - 1 - suffix] == text[text.size() - 1 - suffix])
            ++suffix;
        QTextCursor c(doc_);
        c.setPosition(static_cast<int>(prefix));
        c.setPosition(static_cast<int>(old.size() - suffix), QTextCursor::KeepAnchor);
        c.insertText(text.mid(prefix, text.size() - prefix - suffix));
    }
    text_ = text;
    if (codeChange_)
        codeChange_();
}

// ---- TCustomMemo / TMemo ----

namespace {
// Lines kept in step with a memo's document; a change made by code fires
// onChange directly, a user's edit through SafeCall.
TMemoLines* NewMemoLines(QTextDocument* doc, TControl* self, const TNotifyEvent& onChange)
{
    return new TMemoLines(
        doc,
        [self, &onChange] {
            if (onChange)
                onChange(self);
        },
        [self, &onChange] { FireUser(onChange, self); });
}
}  // namespace

TCustomMemo::TCustomMemo(QWidget* parent) : QPlainTextEdit(parent), TControl(this)
{
    lines_ = NewMemoLines(document(), this, OnChange);
    ApplyScrollBars(this, scrollBars_);
}

TCustomMemo::~TCustomMemo() { delete lines_; }

TMemo::TMemo(QWidget* parent) : TCustomMemo(parent) {}

QString TCustomMemo::Text() const { return ToCrLf(lines_->DocText()); }
void TCustomMemo::SetText(const QString& text) { lines_->SetDocText(ToLf(text)); }

void TCustomMemo::SetWordWrap(bool on)
{
    setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TCustomMemo::SetScrollBars(TScrollStyle s)
{
    scrollBars_ = s;
    ApplyScrollBars(this, s);
}

void TCustomMemo::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    bool on = false;
    if (DesignBool(this, "WordWrap", on))
        SetWordWrap(on);
    if (DesignBool(this, "ReadOnly", on))
        setReadOnly(on);
    SetScrollBars(ReadScrollBars(this, scrollBars_));
}

void TCustomMemo::mouseReleaseEvent(QMouseEvent* e)
{
    QPlainTextEdit::mouseReleaseEvent(e);
    ReleaseToClick(e, false);
}

void TCustomMemo::mouseDoubleClickEvent(QMouseEvent* e)
{
    QPlainTextEdit::mouseDoubleClickEvent(e);
    DoubleClickToDblClick();
}

// ---- TRichEdit ----

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent), TControl(this)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    lines_ = NewMemoLines(document(), this, OnChange);
    ApplyScrollBars(this, scrollBars_);
}

TRichEdit::~TRichEdit() { delete lines_; }

QString TRichEdit::Text() const { return ToCrLf(lines_->DocText()); }
void TRichEdit::SetText(const QString& text) { lines_->SetDocText(ToLf(text)); }

void TRichEdit::SetWordWrap(bool on) { setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap); }

void TRichEdit::SetScrollBars(TScrollStyle s)
{
    scrollBars_ = s;
    ApplyScrollBars(this, s);
}

void TRichEdit::Print(const QString& title)
{
    Printer()->CheckTarget();
    QPrinter* printer = Printer()->QtPrinter();
    printer->setDocName(title);
    PrintableCopy(document(), logicalDpiY())->print(printer);
    if (printer->printerState() == QPrinter::Error)
        throw EPrinter(PrintFailedText());
}

void TRichEdit::CopyToClipboard()
{
    if (textCursor().hasSelection())
        copy();
}

QString TRichEdit::SelText() const
{
    return ToCrLf(textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
}

void TRichEdit::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    bool on = false;
    if (DesignBool(this, "WordWrap", on))
        SetWordWrap(on);
    if (DesignBool(this, "ReadOnly", on))
        setReadOnly(on);
    SetScrollBars(ReadScrollBars(this, scrollBars_));
}

// ---- TWidgetItems ----

TWidgetItems::~TWidgetItems()
{
    for (const auto& c : connections_)
        QObject::disconnect(c);
}

void TWidgetItems::Follow(QAbstractItemModel* model)
{
    auto reload = [this] {
        if (!pushing_)
            Reload();
    };
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::rowsInserted, model, reload));
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::rowsRemoved, model, reload));
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::rowsMoved, model, reload));
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::dataChanged, model, reload));
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::modelReset, model, reload));
    connections_.push_back(QObject::connect(model, &QAbstractItemModel::layoutChanged, model, reload));
    Reload();
}

void TWidgetItems::Reload() { items_ = WidgetItems(); }

void TWidgetItems::Changed()
{
    const QStringList shown = WidgetItems();
    if (shown == items_)
        return;
    const qsizetype common = std::min(shown.size(), items_.size());
    qsizetype prefix = 0;
    while (prefix < common && shown[prefix] == items_[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix && shown[shown.size() - 1 - suffix] == items_[items_.size() - 1 - suffix])
        ++suffix;
    const qsizetype removed = shown.size() - prefix - suffix;
    const qsizetype inserted = items_.size() - prefix - suffix;

    // The selection follows its item, or is lost with it; the shown text stays.
    const int index = WidgetIndex();
    const QString text = WidgetText();
    int newIndex = -1;
    if (index >= 0 && index < prefix)
        newIndex = index;
    else if (index >= prefix + removed)
        newIndex = static_cast<int>(index - removed + inserted);

    const FlagGuard guard(pushing_);
    EditWidget(static_cast<int>(prefix), static_cast<int>(removed), items_.mid(prefix, inserted));
    Restore(newIndex, text);
}

// ---- TComboBox ----

TComboItems::TComboItems(TComboBox* combo) : combo_(combo) { Follow(combo->model()); }

QStringList TComboItems::WidgetItems() const
{
    QStringList out;
    out.reserve(combo_->count());
    for (int i = 0; i < combo_->count(); ++i)
        out << combo_->itemText(i);
    return out;
}

int TComboItems::WidgetIndex() const { return combo_->currentIndex(); }
QString TComboItems::WidgetText() const { return combo_->currentText(); }

void TComboItems::EditWidget(int row, int count, const QStringList& items)
{
    const QSignalBlocker block(combo_);
    for (int i = 0; i < count; ++i)
        combo_->removeItem(row);
    combo_->insertItems(row, items);
}

void TComboItems::Restore(int index, const QString& text)
{
    const QSignalBlocker block(combo_);
    combo_->setCurrentIndex(index);
    if (combo_->isEditable() && combo_->currentText() != text)
        combo_->setEditText(text);
}

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent), TControl(this)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);  // Enter adds nothing by itself
    items_ = new TComboItems(this);
    HookLineEdit();
    QObject::connect(this, &QComboBox::activated, this, [this](int index) { UserChose(index); });
}

TComboBox::~TComboBox() { delete items_; }

void TComboBox::HookLineEdit()
{
    QLineEdit* edit = lineEdit();
    if (edit == hooked_)
        return;
    hooked_ = edit;
    if (!edit)
        return;
    edit->setCompleter(nullptr);  // the text is what the user types, nothing completed
    edit->installEventFilter(this);
    QObject::connect(edit, &QLineEdit::textEdited, this, [this] { UserTyped(); });
}

void TComboBox::SetStyle(TComboBoxStyle style)
{
    setEditable(style == csDropDown);
    HookLineEdit();
}

void TComboBox::SetItemIndex(int index)
{
    if (index < 0 || index >= count())
        index = -1;
    const QSignalBlocker block(this);
    setCurrentIndex(index);
    if (isEditable())
        setEditText(index >= 0 ? itemText(index) : QString());
}

void TComboBox::SetText(const QString& text)
{
    const QSignalBlocker block(this);
    if (isEditable()) {
        setEditText(text);
    } else {
        const int i = FindExact(text);
        if (i >= 0)
            setCurrentIndex(i);
    }
}

QString TComboBox::SelectedText() const
{
    const int i = currentIndex();
    return i >= 0 ? itemText(i) : QString();
}

int TComboBox::FindExact(const QString& text) const
{
    for (int i = 0; i < count(); ++i)
        if (itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TComboBox::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const QVariant style = property("Style");
    if (style.isValid())
        SetStyle(style.toString().contains(QLatin1String("List"), Qt::CaseInsensitive) ? csDropDownList
                                                                                        : csDropDown);
    HookLineEdit();
    const QVariant index = property("ItemIndex");
    if (index.isValid())
        SetItemIndex(index.toInt());
}

void TComboBox::showPopup()
{
    FireUser(OnDropDown, this);
    QComboBox::showPopup();
}

void TComboBox::UserTyped()
{
    // Typing leaves no item selected, even when the text matches one.
    if (currentIndex() != -1) {
        QLineEdit* edit = lineEdit();
        const QString text = edit->text();
        const int pos = edit->cursorPosition();
        const QSignalBlocker block(this);
        setCurrentIndex(-1);
        edit->setText(text);
        edit->setCursorPosition(pos);
    }
    FireUser(OnChange, this);
}

void TComboBox::UserChose(int)
{
    SafeCall([this] {
        if (OnClick)
            OnClick(this);
        if (OnSelect)
            OnSelect(this);
        else if (OnChange)
            OnChange(this);
    });
}

bool TComboBox::KeyHandlers(QKeyEvent* e)
{
    if (FireUserKeyDown(OnKeyDown, this, e))
        return false;
    const char16_t typed = TypedChar(e);
    if (typed != 0 && OnKeyPress && !IsEditingShortcut(e)) {
        char16_t key = typed;
        bool done = false;
        SafeCall([&] {
            OnKeyPress(this, key);
            done = true;
        });
        if (!done || key == 0)
            return false;
        if (key != typed && hooked_) {
            // The handler typed another character instead.
            QKeyEvent other = KeyEventForChar(e, key);
            hooked_->removeEventFilter(this);
            QCoreApplication::sendEvent(hooked_, &other);
            hooked_->installEventFilter(this);
            return false;
        }
    }
    return true;
}

bool TComboBox::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == hooked_ && e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (!KeyHandlers(key)) {
            key->accept();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Not the combo's: Qt would select a matching item; the window may use it.
            key->ignore();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, e);
}

void TComboBox::keyPressEvent(QKeyEvent* e)
{
    if (!isEditable() && !KeyHandlers(e)) {
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->ignore();
        return;
    }
    QComboBox::keyPressEvent(e);
}

// ---- TListBox ----

namespace {
class ItemHeightDelegate : public QStyledItemDelegate {
public:
    explicit ItemHeightDelegate(TListBox* list) : QStyledItemDelegate(list), list_(list) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), list_->ItemHeight());
    }

private:
    TListBox* list_;
};
}  // namespace

namespace {
constexpr int kRowByRowLimit = 64;
}

TListItems::TListItems(TListBox* list) : list_(list) { Follow(list->model()); }

QStringList TListItems::WidgetItems() const
{
    QStringList out;
    out.reserve(list_->count());
    for (int i = 0; i < list_->count(); ++i)
        out << list_->item(i)->text();
    return out;
}

int TListItems::WidgetIndex() const { return list_->ItemIndex(); }

void TListItems::EditWidget(int row, int count, const QStringList& items)
{
    const QSignalBlocker block(list_);
    if (count > kRowByRowLimit) {
        // The view handles every removed row on its own: a long list is
        // cheaper to build anew than to take apart row by row.
        QStringList all = WidgetItems();
        all.remove(row, count);
        for (qsizetype i = 0; i < items.size(); ++i)
            all.insert(row + i, items[i]);
        list_->clear();
        list_->insertItems(0, all);
        return;
    }
    for (int i = 0; i < count; ++i)
        delete list_->takeItem(row);
    list_->insertItems(row, items);
}

void TListItems::Restore(int index, const QString&)
{
    const QSignalBlocker block(list_);
    list_->SetItemIndex(index);
}

TListBox::TListBox(QWidget* parent) : QListWidget(parent), TControl(this)
{
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setItemDelegate(new ItemHeightDelegate(this));
    items_ = new TListItems(this);
    QObject::connect(this, &QListWidget::itemClicked, this, [this] { FireUser(OnClick, this); });
}

TListBox::~TListBox() { delete items_; }

int TListBox::ItemIndex() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TListBox::SetItemIndex(int index)
{
    const QSignalBlocker block(this);
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentRow(-1);
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

void TListBox::SetItemHeight(int h)
{
    itemHeight_ = h;
    doItemsLayout();
}

void TListBox::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const QVariant h = property("ItemHeight");
    if (h.isValid())
        SetItemHeight(h.toInt());
}
