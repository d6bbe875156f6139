#include "platform/extctrls.h"

#include <QApplication>
#include <QEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QVariant>

#include <algorithm>
#include <climits>
#include <initializer_list>

namespace {

QColor Shadow() { return ColorToQColor(clBtnShadow); }
QColor Highlight() { return ColorToQColor(clBtnHighlight); }

std::vector<QWidget*> ChildWidgets(QWidget* w)
{
    std::vector<QWidget*> out;
    for (QObject* o : w->children())
        if (auto* cw = qobject_cast<QWidget*>(o); cw && !cw->isWindow())
            out.push_back(cw);
    return out;
}

// Whether a child takes room: its own flag, whatever the parent shows.
bool TakesRoom(QWidget* w)
{
    if (TControl* c = AsControl(w))
        return c->Visible();
    return !w->isHidden();
}

QIcon LoadGlyph(const QString& path)
{
    const QPixmap pm(path);
    if (pm.isNull()) {
        qWarning("Cannot load the button picture %s", qPrintable(path));
        return {};
    }
    return QIcon(pm);
}

QSize GlyphSize(const QIcon& icon)
{
    const QList<QSize> sizes = icon.availableSizes();
    return sizes.isEmpty() ? QSize(16, 16) : sizes.first();
}

// Re-lays a parent's aligned children when Qt resizes it (a form by the user).
class AlignHook : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Resize)
            if (TControl* c = AsControl(qobject_cast<QWidget*>(watched)))
                SafeCall([c] { ApplyAlign(c); });
        return false;
    }
};

}  // namespace

// ---- Alignment ----

TAlign GetAlign(const TControl* control)
{
    const int a = DesignEnum(control->Widget(), "Align",
                             {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
    return a >= alNone && a <= alClient ? static_cast<TAlign>(a) : alNone;
}

void SetAlign(TControl* control, TAlign align)
{
    control->Widget()->setProperty("Align", static_cast<int>(align));
    if (TControl* p = control->Parent())
        ApplyAlign(p);
}

void ApplyAlign(TControl* parent)
{
    QWidget* pw = parent->Widget();
    std::vector<TControl*> aligned;
    for (QWidget* w : ChildWidgets(pw))
        if (TControl* c = AsControl(w); c && GetAlign(c) != alNone)
            aligned.push_back(c);
    if (aligned.empty())
        return;
    if (!pw->property("_alignHook").toBool()) {
        pw->setProperty("_alignHook", true);
        pw->installEventFilter(new AlignHook(pw));
    }

    int x0 = 0, y0 = 0, x1 = pw->width(), y1 = pw->height();
    if (auto* panel = dynamic_cast<TPanel*>(parent)) {
        const int b = panel->BorderSize();
        x0 += b; y0 += b; x1 -= b; y1 -= b;
    }
    for (QMenuBar* bar : pw->findChildren<QMenuBar*>(Qt::FindDirectChildrenOnly))
        if (!bar->isHidden())
            y0 = std::max(y0, bar->y() + bar->height());

    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : aligned) {
            if (GetAlign(c) != pass || !c->Visible())
                continue;
            const int w = std::max(0, x1 - x0), h = std::max(0, y1 - y0);
            switch (pass) {
            case alTop:
                c->SetBounds(x0, y0, w, c->Height());
                y0 += c->Height();
                break;
            case alBottom:
                c->SetBounds(x0, y1 - c->Height(), w, c->Height());
                y1 -= c->Height();
                break;
            case alLeft:
                c->SetBounds(x0, y0, c->Width(), h);
                x0 += c->Width();
                break;
            case alRight:
                c->SetBounds(x1 - c->Width(), y0, c->Width(), h);
                x1 -= c->Width();
                break;
            default:
                c->SetBounds(x0, y0, w, h);
                break;
            }
        }
    }
}

// ---- TButton ----

TButton::TButton(QWidget* parent) : QPushButton(parent), TControl(this)
{
    connect(this, &QAbstractButton::clicked, this, [this] { SafeCall([this] { Click(); }); });
}

void TButton::SetDefault(bool v)
{
    setDefault(v);
    if (v == Default())
        return;
    if (v) {
        defaultKey_ = new QShortcut(this);
        defaultKey_->setKeys({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
        defaultKey_->setContext(Qt::WindowShortcut);
        connect(defaultKey_, &QShortcut::activated, this, [this] { KeyPressed(); });
    } else {
        delete defaultKey_;
        defaultKey_ = nullptr;
    }
}

void TButton::SetCancel(bool v)
{
    if (v == Cancel())
        return;
    if (v) {
        cancelKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        cancelKey_->setContext(Qt::WindowShortcut);
        connect(cancelKey_, &QShortcut::activated, this, [this] { KeyPressed(); });
    } else {
        delete cancelKey_;
        cancelKey_ = nullptr;
    }
}

void TButton::KeyPressed()
{
    // Qt already skips hidden and disabled buttons; say it here too.
    if (!isEnabled() || !isVisible())
        return;
    SafeCall([this] { Click(); });
}

void TButton::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const QVariant def = property("Default");
    if (isDefault() || (def.isValid() && def.toBool()))
        SetDefault(true);
    const QVariant cancel = property("Cancel");
    if (cancel.isValid() && cancel.toBool())
        SetCancel(true);
}

// ---- TBitBtn ----

TBitBtn::TBitBtn(QWidget* parent) : TButton(parent) {}

void TBitBtn::SetGlyph(const QString& path) { SetGlyph(LoadGlyph(path)); }

void TBitBtn::SetGlyph(const QIcon& glyph)
{
    setIcon(glyph);
    if (!glyph.isNull())
        setIconSize(GlyphSize(glyph));
}

void TBitBtn::LoadDesignProperties()
{
    TButton::LoadDesignProperties();
    const QVariant glyph = property("Glyph");
    if (glyph.isValid() && !glyph.toString().isEmpty())
        SetGlyph(glyph.toString());
}

// ---- TSpeedButton ----

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent), TControl(this)
{
    setFocusPolicy(Qt::NoFocus);
    UpdateStyle();
    connect(this, &QAbstractButton::clicked, this, [this] { SafeCall([this] { Click(); }); });
}

void TSpeedButton::SetCaption(const QString& c)
{
    setText(c);
    UpdateStyle();
}

void TSpeedButton::SetGlyph(const QString& path) { SetGlyph(LoadGlyph(path)); }

void TSpeedButton::SetGlyph(const QIcon& glyph)
{
    setIcon(glyph);
    if (!glyph.isNull())
        setIconSize(GlyphSize(glyph));
    UpdateStyle();
}

void TSpeedButton::SetLayout(TButtonLayout layout)
{
    layout_ = layout;
    UpdateStyle();
}

void TSpeedButton::UpdateStyle()
{
    if (icon().isNull())
        setToolButtonStyle(Qt::ToolButtonTextOnly);
    else if (text().isEmpty())
        setToolButtonStyle(Qt::ToolButtonIconOnly);
    else if (layout_ == blGlyphTop || layout_ == blGlyphBottom)
        setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    else
        setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void TSpeedButton::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const int layout = DesignEnum(this, "Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});
    if (layout >= blGlyphLeft && layout <= blGlyphBottom)
        layout_ = static_cast<TButtonLayout>(layout);
    const QVariant flat = property("Flat");
    if (flat.isValid())
        SetFlat(flat.toBool());
    const QVariant glyph = property("Glyph");
    if (glyph.isValid() && !glyph.toString().isEmpty())
        SetGlyph(glyph.toString());
    UpdateStyle();
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(QWidget* parent) : QCheckBox(parent), TControl(this)
{
    // clicked, not toggled: design values and code set the state without it.
    connect(this, &QAbstractButton::clicked, this, [this] { SafeCall([this] { Click(); }); });
}

void TCheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void TCheckBox::SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }

TCheckBoxState TCheckBox::State() const
{
    switch (checkState()) {
    case Qt::Checked: return cbChecked;
    case Qt::PartiallyChecked: return cbGrayed;
    default: return cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState s)
{
    if (s == State())
        return;
    {
        const QSignalBlocker block(this);
        if (s == cbGrayed)
            setTristate(true);
        setCheckState(s == cbChecked ? Qt::Checked : s == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    }
    Click();
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(QWidget* parent) : QRadioButton(parent), TControl(this)
{
    // Exclusivity is ours, so that siblings are unchecked without their signals.
    setAutoExclusive(false);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (!userChecked_)
            return;
        userChecked_ = false;
        SafeCall([this] { Click(); });
    });
}

void TRadioButton::nextCheckState()
{
    if (isChecked())
        return;
    CheckAlone();
    userChecked_ = true;
}

void TRadioButton::CheckAlone()
{
    if (QWidget* p = parentWidget())
        for (QObject* o : p->children())
            if (auto* rb = dynamic_cast<TRadioButton*>(o); rb && rb != this && rb->isChecked()) {
                const QSignalBlocker block(rb);
                rb->setChecked(false);
            }
    const QSignalBlocker block(this);
    setChecked(true);
}

void TRadioButton::SetChecked(bool v)
{
    if (v == isChecked())
        return;
    if (!v) {
        const QSignalBlocker block(this);
        setChecked(false);
        return;
    }
    CheckAlone();
    Click();
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(QWidget* parent) : QGroupBox(parent), TControl(this) {}

// ---- TPanel ----

TPanel::TPanel(QWidget* parent) : QWidget(parent), TControl(this)
{
    SetColor(clBtnFace);
}

void TPanel::SetColor(TColor c)
{
    TControl::SetColor(c);
    QPalette p = palette();
    const QPalette app = QApplication::palette();
    for (auto role : {QPalette::Base, QPalette::Button}) {
        p.setColor(QPalette::Active, role, app.color(QPalette::Active, role));
        p.setColor(QPalette::Inactive, role, app.color(QPalette::Inactive, role));
        p.setColor(QPalette::Disabled, role, app.color(QPalette::Disabled, role));
    }
    setPalette(p);
}

void TPanel::SetCaption(const QString& c)
{
    if (c == caption_)
        return;
    caption_ = c;
    update();
}

void TPanel::SetBevelInner(TBevelCut b)
{
    if (b == bevelInner_)
        return;
    bevelInner_ = b;
    Realign();
    update();
}

void TPanel::SetBevelOuter(TBevelCut b)
{
    if (b == bevelOuter_)
        return;
    bevelOuter_ = b;
    Realign();
    update();
}

void TPanel::SetBorderWidth(int w)
{
    w = std::max(0, w);
    if (w == borderWidth_)
        return;
    borderWidth_ = w;
    Realign();
    update();
}

int TPanel::BorderSize() const
{
    return borderWidth_ + (bevelOuter_ != bvNone ? 1 : 0) + (bevelInner_ != bvNone ? 1 : 0);
}

void TPanel::SetAlignment(TAlignment a)
{
    alignment_ = a;
    update();
}

void TPanel::SetAutoSize(bool v)
{
    if (v == autoSize_)
        return;
    autoSize_ = v;
    Realign();
}

void TPanel::Realign() { SetBounds(Left(), Top(), Width(), Height()); }

bool TPanel::Fit(QSize& size)
{
    std::vector<QWidget*> movable;
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    for (QWidget* w : ChildWidgets(this)) {
        if (TControl* c = AsControl(w); c && GetAlign(c) != alNone)
            continue;  // aligned children follow the panel, not the other way round
        movable.push_back(w);
        if (!TakesRoom(w))
            continue;
        const QRect g = w->geometry();
        x0 = std::min(x0, g.x());
        y0 = std::min(y0, g.y());
        x1 = std::max(x1, g.x() + g.width());
        y1 = std::max(y1, g.y() + g.height());
    }
    if (x0 == INT_MAX)
        return false;
    const int b = BorderSize();
    const QPoint shift(b - x0, b - y0);
    if (!shift.isNull())
        for (QWidget* w : movable)
            w->move(w->pos() + shift);
    size = QSize(x1 - x0 + 2 * b, y1 - y0 + 2 * b);
    return true;
}

void TPanel::SetBounds(int left, int top, int width, int height)
{
    QSize fitted;
    if (autoSize_ && Fit(fitted)) {
        width = fitted.width();
        height = fitted.height();
    }
    TControl::SetBounds(left, top, width, height);
    ApplyAlign(this);
}

void TPanel::ChildGeometryChanged(TControl* child)
{
    (void)child;
    if (autoSize_)
        Realign();
}

void TPanel::FontChanged()
{
    TControl::FontChanged();
    update();
}

void TPanel::LoadDesignProperties()
{
    const QVariant caption = property("Caption");
    if (caption.isValid())
        caption_ = caption.toString();
    const int inner = DesignEnum(this, "BevelInner", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
    if (inner >= bvNone && inner <= bvSpace)
        bevelInner_ = static_cast<TBevelCut>(inner);
    const int outer = DesignEnum(this, "BevelOuter", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
    if (outer >= bvNone && outer <= bvSpace)
        bevelOuter_ = static_cast<TBevelCut>(outer);
    const QVariant border = property("BorderWidth");
    if (border.isValid())
        borderWidth_ = std::max(0, border.toInt());
    const int alignment = DesignEnum(this, "Alignment", {"taLeftJustify", "taRightJustify", "taCenter"});
    if (alignment >= taLeftJustify && alignment <= taCenter)
        alignment_ = static_cast<TAlignment>(alignment);
    const QVariant autoSize = property("AutoSize");
    if (autoSize.isValid() && autoSize.toBool()) {
        autoSize_ = true;
        // Fit quietly: the base below records the design size without OnResize.
        QSize fitted;
        if (Fit(fitted) && fitted != size()) {
            resize(fitted);
            NotifyParent();
        }
    }
    if (GetAlign(this) != alNone)
        if (TControl* p = Parent())
            ApplyAlign(p);
    update();
    TControl::LoadDesignProperties();
}

void TPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        if (cut != bvSpace) {
            const QColor first = cut == bvRaised ? Highlight() : Shadow();
            const QColor second = cut == bvRaised ? Shadow() : Highlight();
            p.setPen(first);
            p.drawLine(r.left(), r.top(), r.right(), r.top());
            p.drawLine(r.left(), r.top(), r.left(), r.bottom());
            p.setPen(second);
            p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
            p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        }
        r.adjust(1, 1, -1, -1);
    };
    bevel(bevelOuter_);
    r.adjust(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
    bevel(bevelInner_);
    if (caption_.isEmpty())
        return;
    int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    flags |= alignment_ == taLeftJustify ? Qt::AlignLeft : alignment_ == taRightJustify ? Qt::AlignRight : Qt::AlignHCenter;
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r, flags, caption_);
}

void TPanel::mousePressEvent(QMouseEvent* e)
{
    // Taken here, so that a click on the panel is not also a click on the form.
    pressed_ = e->button() == Qt::LeftButton;
    e->accept();
}

void TPanel::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click)
        SafeCall([this] { Click(); });
}

// ---- TBevel ----

TBevel::TBevel(QWidget* parent) : QWidget(parent), TControl(this) {}

void TBevel::SetShape(TBevelShape s)
{
    shape_ = s;
    update();
}

void TBevel::SetStyle(TBevelStyle s)
{
    style_ = s;
    update();
}

void TBevel::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const int shape = DesignEnum(this, "Shape", {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"});
    if (shape >= bsBox && shape <= bsSpacer)
        shape_ = static_cast<TBevelShape>(shape);
    const int style = DesignEnum(this, "Style", {"bsLowered", "bsRaised"});
    if (style >= bsLowered && style <= bsRaised)
        style_ = static_cast<TBevelStyle>(style);
    update();
}

void TBevel::paintEvent(QPaintEvent*)
{
    const int w = width(), h = height();
    if (w <= 0 || h <= 0 || shape_ == bsSpacer)
        return;
    QPainter p(this);
    const QColor first = style_ == bsLowered ? Shadow() : Highlight();
    const QColor second = style_ == bsLowered ? Highlight() : Shadow();
    auto hline = [&](const QColor& c, int y) {
        p.setPen(c);
        p.drawLine(0, y, w - 1, y);
    };
    auto vline = [&](const QColor& c, int x) {
        p.setPen(c);
        p.drawLine(x, 0, x, h - 1);
    };
    // A rule one pixel thick has no room for its groove: it shows the dark line.
    switch (shape_) {
    case bsBox:
        hline(first, 0);
        vline(first, 0);
        hline(second, h - 1);
        vline(second, w - 1);
        break;
    case bsFrame:
        p.setPen(first);
        p.drawRect(0, 0, std::max(0, w - 2), std::max(0, h - 2));
        p.setPen(second);
        p.drawRect(1, 1, std::max(0, w - 2), std::max(0, h - 2));
        break;
    case bsTopLine:
        if (h == 1) {
            hline(Shadow(), 0);
        } else {
            hline(first, 0);
            hline(second, 1);
        }
        break;
    case bsBottomLine:
        if (h == 1) {
            hline(Shadow(), 0);
        } else {
            hline(first, h - 2);
            hline(second, h - 1);
        }
        break;
    case bsLeftLine:
        if (w == 1) {
            vline(Shadow(), 0);
        } else {
            vline(first, 0);
            vline(second, 1);
        }
        break;
    case bsRightLine:
        if (w == 1) {
            vline(Shadow(), 0);
        } else {
            vline(first, w - 2);
            vline(second, w - 1);
        }
        break;
    case bsSpacer:
        break;
    }
}

// ---- TGauge ----

TGauge::TGauge(QWidget* parent) : QWidget(parent), TControl(this) {}

void TGauge::Clamp() { progress_ = std::clamp(progress_, min_, std::max(min_, max_)); }

void TGauge::SetMinValue(int v)
{
    if (v == min_)
        return;
    min_ = v;
    Clamp();
    repaint();
}

void TGauge::SetMaxValue(int v)
{
    if (v == max_)
        return;
    max_ = v;
    Clamp();
    repaint();
}

void TGauge::SetProgress(int v)
{
    const int before = progress_;
    progress_ = v;
    Clamp();
    // Paint now: while a download runs no event loop turns to do it later.
    if (progress_ != before)
        repaint();
}

int TGauge::PercentDone() const
{
    const long long range = static_cast<long long>(max_) - min_;
    if (range <= 0)
        return 0;
    return static_cast<int>((static_cast<long long>(progress_) - min_) * 100 / range);
}

void TGauge::SetShowText(bool v)
{
    showText_ = v;
    repaint();
}

void TGauge::SetForeColor(TColor c)
{
    fore_ = c;
    repaint();
}

void TGauge::SetBackColor(TColor c)
{
    back_ = c;
    repaint();
}

void TGauge::SetBorderStyle(TBorderStyle b)
{
    border_ = b;
    repaint();
}

void TGauge::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const QVariant minV = property("MinValue");
    if (minV.isValid())
        min_ = minV.toInt();
    const QVariant maxV = property("MaxValue");
    if (maxV.isValid())
        max_ = maxV.toInt();
    const QVariant progress = property("Progress");
    if (progress.isValid())
        progress_ = progress.toInt();
    Clamp();
    const QVariant showText = property("ShowText");
    if (showText.isValid())
        showText_ = showText.toBool();
    const QVariant fore = property("ForeColor");
    if (fore.isValid())
        fore_ = static_cast<TColor>(fore.toLongLong());
    const QVariant back = property("BackColor");
    if (back.isValid())
        back_ = static_cast<TColor>(back.toLongLong());
    const int border = DesignEnum(this, "BorderStyle", {"bsNone", "bsSingle"});
    if (border == bsNone || border == bsSingle)
        border_ = static_cast<TBorderStyle>(border);
    update();
}

void TGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    if (border_ == bsSingle) {
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (r.isEmpty())
        return;
    p.fillRect(r, ColorToQColor(back_));
    const long long range = static_cast<long long>(max_) - min_;
    const int filled = range <= 0 ? 0 : static_cast<int>((static_cast<long long>(progress_) - min_) * r.width() / range);
    if (filled > 0)
        p.fillRect(QRect(r.left(), r.top(), filled, r.height()), ColorToQColor(fore_));
    if (showText_) {
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("%1%").arg(PercentDone()));
    }
}

// ---- TTabControl ----

TTabControl::TTabControl(QWidget* parent) : QWidget(parent), TControl(this), bar_(new QTabBar(this))
{
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->lower();
    connect(bar_, &QTabBar::currentChanged, this, [this](int) {
        if (OnChange)
            SafeCall([this] { OnChange(this); });
    });
    PlaceBar();
}

QStringList TTabControl::Tabs() const
{
    QStringList out;
    for (int i = 0; i < bar_->count(); ++i)
        out << bar_->tabText(i);
    return out;
}

void TTabControl::SetTabs(const QStringList& tabs)
{
    const QSignalBlocker block(bar_);
    const int keep = bar_->currentIndex();
    while (bar_->count() > 0)
        bar_->removeTab(bar_->count() - 1);
    for (const QString& t : tabs)
        bar_->addTab(t);
    if (keep >= 0 && keep < bar_->count())
        bar_->setCurrentIndex(keep);
    PlaceBar();
    update();
}

int TTabControl::TabIndex() const { return bar_->currentIndex(); }

void TTabControl::SetTabIndex(int index)
{
    if (index < 0 || index >= bar_->count())
        throw EListError(ListIndexText(index));
    const QSignalBlocker block(bar_);
    bar_->setCurrentIndex(index);
}

void TTabControl::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const QVariant tabs = property("Tabs");
    if (tabs.isValid())
        SetTabs(tabs.toStringList());
    const QVariant index = property("TabIndex");
    if (index.isValid() && index.toInt() >= 0 && index.toInt() < bar_->count())
        SetTabIndex(index.toInt());
}

void TTabControl::PlaceBar() { bar_->setGeometry(0, 0, width(), bar_->sizeHint().height()); }

void TTabControl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    PlaceBar();
}

void TTabControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(this);
    const int top = bar_->height() - 1;
    opt.rect = QRect(0, top, width(), height() - top);
    opt.shape = QTabBar::RoundedNorth;
    opt.tabBarSize = bar_->size();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &p, this);
}
