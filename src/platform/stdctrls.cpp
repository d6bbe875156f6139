#include "platform/stdctrls.h"

#include "platform/locale.h"
#include "platform/stdctrls_internal.h"
#include "platform/sysutils.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QVariant>

#include <climits>

using namespace stdctrls;

bool stdctrls::IsEditingShortcut(const QKeyEvent* e)
{
    for (QKeySequence::StandardKey k : {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Paste,
                                        QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo})
        if (e->matches(k))
            return true;
    return false;
}

namespace {

// The characters the label draws on one line: with accelerators on, a single
// '&' is a mark (not drawn) and "&&" draws one '&'.
QString VisibleText(const QString& line, bool accel)
{
    if (!accel)
        return line;
    QString out;
    out.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('&')) {
            if (i + 1 < line.size() && line[i + 1] == QLatin1Char('&'))
                out += QLatin1Char('&');
            ++i;
            if (i < line.size() && line[i] != QLatin1Char('&'))
                out += line[i];
            continue;
        }
        out += line[i];
    }
    return out;
}

QStringList CaptionLines(const QString& caption)
{
    QStringList lines = caption.split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    return lines;
}

}  // namespace

// ---- TLabel ----

TLabel::TLabel(QWidget* parent) : QLabel(parent), TControl(this) {}

void TLabel::SetCaption(const QString& caption)
{
    if (caption == QLabel::text())
        return;
    QLabel::setText(caption);
    AdjustBounds();
    update();
}

void TLabel::SetAutoSize(bool on)
{
    autoSize_ = on;
    AdjustBounds();
}

void TLabel::SetShowAccelChar(bool on)
{
    showAccelChar_ = on;
    AdjustBounds();
    update();
}

void TLabel::SetAlignment(TAlignment a)
{
    alignment_ = a;
    update();
}

void TLabel::SetLayout(TTextLayout l)
{
    layout_ = l;
    update();
}

void TLabel::SetWordWrap(bool on)
{
    wordWrap_ = on;
    AdjustBounds();
    update();
}

void TLabel::SetTransparent(bool on)
{
    transparent_ = on;
    setAutoFillBackground(!on && ColorToQColor(Color()).isValid());
    update();
}

void TLabel::SetColor(TColor c)
{
    TControl::SetColor(c);
    if (transparent_)
        setAutoFillBackground(false);
}

void TLabel::FontChanged()
{
    AdjustBounds();
    TControl::FontChanged();
}

void TLabel::LoadDesignProperties()
{
    // Read before the base applies the design font, which re-measures a label.
    DesignBool(this, "AutoSize", autoSize_);
    DesignBool(this, "ShowAccelChar", showAccelChar_);
    if (!DesignBool(this, "WordWrap", wordWrap_))
        wordWrap_ = QLabel::wordWrap();
    const Qt::Alignment qt = QLabel::alignment();
    const int fromQt = qt & Qt::AlignRight ? taRightJustify : qt & Qt::AlignHCenter ? taCenter : taLeftJustify;
    alignment_ = static_cast<TAlignment>(
        DesignEnum(this, "Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, fromQt));
    layout_ = static_cast<TTextLayout>(DesignEnum(this, "Layout", {"tlTop", "tlCenter", "tlBottom"}, layout_));
    TControl::LoadDesignProperties();
    bool transparent = transparent_;
    if (DesignBool(this, "Transparent", transparent))
        SetTransparent(transparent);
    AdjustBounds();
    CheckResize();
}

int TLabel::DrawFlags() const
{
    int flags = alignment_ == taRightJustify ? Qt::AlignRight
                : alignment_ == taCenter     ? Qt::AlignHCenter
                                             : Qt::AlignLeft;
    if (showAccelChar_)
        flags |= Qt::TextShowMnemonic;
    if (wordWrap_)
        flags |= Qt::TextWordWrap;
    return flags;
}

void TLabel::AdjustBounds()
{
    if (!autoSize_)
        return;
    const QFontMetrics fm(font());
    int w = width();
    int h = 0;
    if (wordWrap_) {
        const QString text = CaptionLines(Caption()).join(QLatin1Char('\n'));
        h = fm.boundingRect(QRect(0, 0, std::max(1, w), INT_MAX / 2), DrawFlags() | Qt::AlignTop,
                            text.isEmpty() ? QStringLiteral(" ") : text)
                .height();
    } else {
        QStringList lines = CaptionLines(Caption());
        // An empty caption still measures one line, as wide as a blank.
        if (lines.size() == 1 && VisibleText(lines[0], showAccelChar_).isEmpty())
            lines[0] = QStringLiteral(" ");
        w = 0;
        for (const QString& l : lines)
            w = std::max(w, fm.horizontalAdvance(VisibleText(l, showAccelChar_)));
        h = static_cast<int>(lines.size()) * fm.height();
    }
    int left = Left();
    if (alignment_ == taRightJustify)
        left += Width() - w;  // a right-aligned label keeps its right edge
    SetBounds(left, Top(), w, h);
}

void TLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QStringList lines = CaptionLines(Caption());
    const QFontMetrics fm(font());
    const int flags = DrawFlags();
    QRect area = rect();
    if (wordWrap_) {
        const QString text = lines.join(QLatin1Char('\n'));
        const int textHeight = fm.boundingRect(area, flags, text).height();
        if (layout_ == tlCenter)
            area.setTop((height() - textHeight) / 2);
        else if (layout_ == tlBottom)
            area.setTop(height() - textHeight);
        p.drawText(area, flags | Qt::AlignTop, text);
        return;
    }
    const int lineHeight = fm.height();
    const int textHeight = static_cast<int>(lines.size()) * lineHeight;
    int y = layout_ == tlCenter ? (height() - textHeight) / 2 : layout_ == tlBottom ? height() - textHeight : 0;
    for (const QString& line : lines) {
        p.drawText(QRect(0, y, width(), lineHeight), flags | Qt::AlignTop | Qt::TextSingleLine, line);
        y += lineHeight;
    }
}

void TLabel::mousePressEvent(QMouseEvent* e)
{
    QLabel::mousePressEvent(e);
    e->accept();  // the click is the label's, not the panel's or window's below it
}

void TLabel::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    ReleaseToClick(e);
}

void TLabel::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLabel::mouseDoubleClickEvent(e);
    DoubleClickToDblClick();
}

// ---- TCustomEdit ----

TCustomEdit::TCustomEdit(QWidget* parent) : QLineEdit(parent), TControl(this)
{
    QObject::connect(this, &QLineEdit::textEdited, this, [this] { FireUser(OnChange, this); });
}

TEdit::TEdit(QWidget* parent) : TCustomEdit(parent) {}

void TCustomEdit::SetText(const QString& text)
{
    const QString before = QLineEdit::text();
    QLineEdit::setText(text);  // textChanged is not ours: nothing fires twice
    if (QLineEdit::text() != before && OnChange)
        OnChange(this);
}

void TCustomEdit::SetTextSilently(const QString& text) { QLineEdit::setText(text); }

int TCustomEdit::MaxLength() const
{
    const int n = QLineEdit::maxLength();
    return n >= 32767 ? 0 : n;
}

void TCustomEdit::SetMaxLength(int n) { setMaxLength(n <= 0 ? 32767 : n); }

void TCustomEdit::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const QVariant max = property("MaxLength");
    if (max.isValid())
        SetMaxLength(max.toInt());
    bool readOnly = false;
    if (DesignBool(this, "ReadOnly", readOnly))
        setReadOnly(readOnly);
}

void TCustomEdit::keyPressEvent(QKeyEvent* e)
{
    if (FireUserKeyDown(OnKeyDown, this, e)) {
        e->accept();
        return;
    }
    const char16_t typed = TypedChar(e);
    if (typed != 0 && OnKeyPress && !IsEditingShortcut(e)) {
        char16_t key = typed;
        bool done = false;
        SafeCall([&] {
            OnKeyPress(this, key);
            done = true;
        });
        if (!done || key == 0) {
            e->accept();
            return;
        }
        if (key != typed) {
            QKeyEvent other = KeyEventForChar(e, key);
            QLineEdit::keyPressEvent(&other);
            e->setAccepted(other.isAccepted());
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void TCustomEdit::mouseReleaseEvent(QMouseEvent* e)
{
    QLineEdit::mouseReleaseEvent(e);
    ReleaseToClick(e);
}

void TCustomEdit::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    DoubleClickToDblClick();
}

void TCustomEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    FireUser(OnEnter, this);
}

void TCustomEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    FireUser(OnExit, this);
}

// ---- TMaskEdit ----

namespace {
// The class library's mask characters as Qt's; other characters are literals.
QString MaskToQt(const QString& mask)
{
    QString out;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        switch (c.unicode()) {
        case '0': out += QLatin1Char('9'); break;  // digit required
        case '9': out += QLatin1Char('0'); break;  // digit optional
        case '#': out += QLatin1Char('#'); break;
        case 'L': out += QLatin1Char('A'); break;
        case 'l': out += QLatin1Char('a'); break;
        case 'A': out += QLatin1Char('N'); break;
        case 'a': out += QLatin1Char('n'); break;
        case 'C': out += QLatin1Char('X'); break;
        case 'c': out += QLatin1Char('x'); break;
        case '>': out += QLatin1Char('>'); break;
        case '<':
            if (i + 1 < mask.size() && mask[i + 1] == QLatin1Char('>')) {
                out += QLatin1Char('!');
                ++i;
            } else {
                out += QLatin1Char('<');
            }
            break;
        case '!': break;  // blank trimming: no counterpart, not needed
        case '\\':
            if (i + 1 < mask.size()) {
                out += QLatin1Char('\\');
                out += mask[++i];
            }
            break;
        default:
            if (QStringLiteral("9aANXxHhBbDd<>!;[]{}").contains(c))
                out += QLatin1Char('\\');
            out += c;
        }
    }
    return out;
}
}  // namespace

TMaskEdit::TMaskEdit(QWidget* parent) : TCustomEdit(parent) {}

void TMaskEdit::SetEditMask(const QString& mask)
{
    editMask_ = mask;
    const QStringList parts = mask.split(QLatin1Char(';'));
    blank_ = parts.size() >= 3 && !parts[2].isEmpty() ? parts[2].at(0) : QChar(QLatin1Char('_'));
    const QString shown = QLineEdit::text();
    if (parts[0].isEmpty())
        setInputMask(QString());
    else
        setInputMask(MaskToQt(parts[0]) + QLatin1Char(';') + blank_);
    SetTextSilently(shown);
}

QString TMaskEdit::Text() const
{
    if (editMask_.isEmpty())
        return QLineEdit::text();
    return displayText();
}

void TMaskEdit::SetText(const QString& text)
{
    const QString before = displayText();
    QLineEdit::setText(text);
    if (displayText() != before && OnChange)
        OnChange(this);
}

void TMaskEdit::LoadDesignProperties()
{
    TCustomEdit::LoadDesignProperties();
    const QVariant mask = property("EditMask");
    if (mask.isValid())
        SetEditMask(mask.toString());
}

// ---- TUpDown ----

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), TControl(this), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    QObject::connect(up_, &QToolButton::clicked, this, [this] { Click(true); });
    QObject::connect(down_, &QToolButton::clicked, this, [this] { Click(false); });
}

TCustomEdit* TUpDown::Associate() const
{
    return associate_ ? static_cast<TCustomEdit*>(associate_.data()) : nullptr;
}

void TUpDown::SetAssociate(TCustomEdit* edit)
{
    if (associate_)
        associate_->removeEventFilter(this);
    associate_ = edit;
    if (edit)
        edit->installEventFilter(this);  // Up and Down in the edit step too
    WriteSilently();
}

void TUpDown::WriteSilently()
{
    if (TCustomEdit* e = Associate())
        e->QLineEdit::setText(FormatPosition(position_));
}

QString TUpDown::FormatPosition(int v) const
{
    QString digits = QString::number(std::abs(static_cast<long long>(v)));
    const QChar sep = FormatSettings().ThousandSeparator;
    if (thousands_ && !sep.isNull())
        for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
            digits.insert(i, sep);
    return v < 0 ? QLatin1Char('-') + digits : digits;
}

void TUpDown::SetPosition(int v)
{
    position_ = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (TCustomEdit* e = Associate())
        e->SetText(FormatPosition(position_));
}

void TUpDown::Step(int delta)
{
    // Start from what the edit shows, as the user may have typed another value.
    if (TCustomEdit* e = Associate()) {
        QString t = e->Text();
        t.remove(FormatSettings().ThousandSeparator);
        t.remove(QLatin1Char(' '));
        t.remove(QChar(0x00A0));
        bool ok = false;
        const int shown = t.toInt(&ok);
        if (ok)
            position_ = shown;
    }
    SetPosition(position_ + delta);
}

void TUpDown::Click(bool up)
{
    SafeCall([&] { Step(up ? increment_ : -increment_); });
}

void TUpDown::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const QVariant mn = property("Min");
    if (mn.isValid())
        min_ = mn.toInt();
    const QVariant mx = property("Max");
    if (mx.isValid())
        max_ = mx.toInt();
    const QVariant inc = property("Increment");
    if (inc.isValid())
        increment_ = inc.toInt();
    DesignBool(this, "Thousands", thousands_);
    const QVariant pos = property("Position");
    if (pos.isValid())
        position_ = std::clamp(pos.toInt(), std::min(min_, max_), std::max(min_, max_));
    const QVariant assoc = property("Associate");
    if (assoc.isValid()) {
        auto* edit = dynamic_cast<TCustomEdit*>(window()->findChild<QWidget*>(assoc.toString()));
        SetAssociate(edit);
    } else {
        WriteSilently();
    }
}

void TUpDown::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
    SafeCall([this] { CheckResize(); });
}

bool TUpDown::eventFilter(QObject* watched, QEvent* e)
{
    // Type first: events of an edit being destroyed come here too, and comparing
    // with associate_ casts to the edit's type.
    if (e->type() == QEvent::KeyPress && watched == associate_) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Click(key == Qt::Key_Up);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

// ---- TDateTimePicker ----

QString DisplayFormatToQt(const QString& format)
{
    QString out;
    auto quoted = [&out](const QString& lit) {
        if (lit.isEmpty())
            return;
        QString q = lit;
        q.replace(QLatin1Char('\''), QStringLiteral("''"));
        out += QLatin1Char('\'') + q + QLatin1Char('\'');
    };
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Quoted text; a doubled quote inside stands for the quote itself.
            QString lit;
            ++i;
            while (i < format.size()) {
                if (format[i] == c) {
                    if (i + 1 < format.size() && format[i + 1] == c) {
                        lit += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                lit += format[i++];
            }
            quoted(lit);
            continue;
        }
        qsizetype n = 1;
        while (i + n < format.size() && format[i + n] == c)
            ++n;
        const QString run(n, c);
        switch (c.unicode()) {
        case 'd': out += QString(std::min<qsizetype>(n, 4), QLatin1Char('d')); break;
        case 'M': out += QString(std::min<qsizetype>(n, 4), QLatin1Char('M')); break;
        case 'y': out += n <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy"); break;
        case 'h':
        case 'H':
        case 'm':
        case 's': out += QString(std::min<qsizetype>(n, 2), c); break;
        case 't': out += QStringLiteral("AP"); break;
        default:
            if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')))
                quoted(run);  // a letter Qt would read as a field
            else
                out += run;
        }
        i += n;
    }
    return out;
}

TDateTimePicker::TDateTimePicker(QWidget* parent) : QDateEdit(parent), TControl(this)
{
    setCalendarPopup(true);
    setMinimumDate(QDate(100, 1, 1));
    SetFormat(QString());
    QObject::connect(this, &QDateEdit::dateChanged, this, [this] { FireUser(OnChange, this); });
}

void TDateTimePicker::SetDate(const QDate& d)
{
    if (!d.isValid())
        throw EConvertError(InvalidDateText());
    if (d == date())
        return;
    {
        const QSignalBlocker block(this);
        setDate(d);
    }
    if (OnChange)
        OnChange(this);
}

void TDateTimePicker::SetFormat(const QString& format)
{
    format_ = format;
    setDisplayFormat(format.isEmpty() ? FormatSettings().ShortDateFormat : DisplayFormatToQt(format));
}

void TDateTimePicker::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const QVariant f = property("Format");
    if (f.isValid())
        SetFormat(f.toString());
}
