#include "platform/control.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace {
QColor SystemColor(TColor c)
{
    switch (c) {
    case clBtnFace: return QColor(240, 240, 240);
    case clBtnShadow: return QColor(160, 160, 160);
    case clBtnHighlight: return QColor(255, 255, 255);
    case cl3DLight: return QColor(227, 227, 227);
    case clInfoBk: return QColor(255, 255, 225);
    case clWindow: return QColor(255, 255, 255);
    case clWindowText: return QColor(0, 0, 0);
    default: return QColor(0, 0, 0);
    }
}
}  // namespace

QColor ColorToQColor(TColor c)
{
    if (c == clNone || c == clDefault)
        return QColor();
    if (c < 0)
        return SystemColor(c);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// ---- TFont ----

QString TFont::Name() const { return w_->font().family(); }

void TFont::SetName(const QString& name)
{
    QFont f = w_->font();
    f.setFamily(name);
    Apply(f);
}

int TFont::Size() const
{
    const QFont f = w_->font();
    if (f.pointSize() > 0)
        return f.pointSize();
    return (f.pixelSize() * 72 + 48) / 96;
}

void TFont::SetSize(int points)
{
    QFont f = w_->font();
    f.setPointSize(points);
    Apply(f);
}

int TFont::Height() const
{
    const QFont f = w_->font();
    if (f.pixelSize() > 0)
        return -f.pixelSize();
    return -((f.pointSize() * 96 + 36) / 72);
}

void TFont::SetHeight(int pixels)
{
    QFont f = w_->font();
    f.setPixelSize(pixels < 0 ? -pixels : pixels);
    Apply(f);
}

TFontStyles TFont::Style() const
{
    const QFont f = w_->font();
    TFontStyles s = 0;
    if (f.bold()) s |= fsBold;
    if (f.italic()) s |= fsItalic;
    if (f.underline()) s |= fsUnderline;
    if (f.strikeOut()) s |= fsStrikeOut;
    return s;
}

void TFont::SetStyle(TFontStyles style)
{
    QFont f = w_->font();
    f.setBold(style & fsBold);
    f.setItalic(style & fsItalic);
    f.setUnderline(style & fsUnderline);
    f.setStrikeOut(style & fsStrikeOut);
    Apply(f);
}

void TFont::SetColor(TColor c)
{
    color_ = c;
    QPalette p = w_->palette();
    const QColor q = ColorToQColor(c);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Active, role, q);
        p.setColor(QPalette::Inactive, role, q);
    }
    w_->setPalette(p);
}

void TFont::Assign(const TFont& other)
{
    Apply(other.w_->font());
    SetColor(other.color_);
}

void TFont::Apply(const QFont& f)
{
    w_->setFont(f);
    if (TControl* c = AsControl(w_))
        c->FontChanged();
}

// ---- TControl ----

TControl::TControl(QWidget* self) : TComponent(nullptr), self_(self), font_(self)
{
    self_->setProperty("_tcontrol", QVariant::fromValue<void*>(this));
}

TControl::~TControl()
{
    // The widget part is destroyed after this base; make AsControl fail from now on.
    self_->setProperty("_tcontrol", QVariant());
}

TControl* AsControl(QWidget* w)
{
    if (!w)
        return nullptr;
    const QVariant v = w->property("_tcontrol");
    return v.isValid() ? static_cast<TControl*>(v.value<void*>()) : nullptr;
}

QString TControl::Name() const { return self_->objectName(); }
void TControl::SetName(const QString& name) { self_->setObjectName(name); }

int TControl::Left() const { return self_->isWindow() ? self_->frameGeometry().x() : self_->x(); }
int TControl::Top() const { return self_->isWindow() ? self_->frameGeometry().y() : self_->y(); }
int TControl::Width() const { return self_->width(); }
int TControl::Height() const { return self_->height(); }
void TControl::SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
void TControl::SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
void TControl::SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
void TControl::SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }

void TControl::SetBounds(int left, int top, int width, int height)
{
    const QRect before = self_->geometry();
    self_->move(left, top);
    self_->resize(std::max(0, width), std::max(0, height));
    CheckResize();
    if (self_->geometry() != before)
        NotifyParent();
}

void TControl::NotifyParent()
{
    if (TControl* p = Parent())
        p->ChildGeometryChanged(this);
}

void TControl::CheckResize()
{
    const QSize now = self_->size();
    if (now == lastSize_)
        return;
    lastSize_ = now;
    if (OnResize)
        OnResize(this);
}

bool TControl::Visible() const
{
    QWidget* p = self_->parentWidget();
    if (!p || self_->isWindow())
        return self_->isVisible();
    return self_->isVisibleTo(p);
}

void TControl::SetVisible(bool v)
{
    if (Visible() == v)
        return;
    self_->setVisible(v);
    NotifyParent();
}

bool TControl::Enabled() const { return !self_->testAttribute(Qt::WA_ForceDisabled); }

void TControl::SetEnabled(bool v) { self_->setEnabled(v); }

void TControl::SetColor(TColor c)
{
    color_ = c;
    const QColor q = ColorToQColor(c);
    // Only the role the widget itself paints with: a coloured window must not
    // recolour the edits and buttons on it through palette inheritance.
    QPalette::ColorRole role = QPalette::Window;
    if (qobject_cast<QLineEdit*>(self_) || qobject_cast<QAbstractScrollArea*>(self_) || qobject_cast<QComboBox*>(self_))
        role = QPalette::Base;
    else if (qobject_cast<QAbstractButton*>(self_))
        role = QPalette::Button;
    QPalette p = self_->palette();
    p.setColor(role, q.isValid() ? q : QApplication::palette().color(role));
    if (role == QPalette::Window)
        self_->setAutoFillBackground(q.isValid());
    self_->setPalette(p);
    font_.SetColor(font_.Color());
}

QString TControl::Text() const { return {}; }
void TControl::SetText(const QString&) {}

void TControl::SetFocus()
{
    QWidget* win = self_->window();
    if (!Visible() || !self_->isEnabled() || !win || !win->isVisible() || !win->isEnabled())
        throw EInvalidOperation(QStringLiteral("Полето е скрито или забранено и не може да бъде избрано.\nЗатворете прозореца и опитайте отново."));
    self_->setFocus(Qt::OtherFocusReason);
}

bool TControl::Focused() const { return self_->hasFocus(); }
void TControl::Repaint() { self_->repaint(); }
void TControl::Invalidate() { self_->update(); }

TControl* TControl::Parent() const
{
    return self_->isWindow() ? nullptr : AsControl(self_->parentWidget());
}

namespace {
std::vector<TControl*> ChildControls(QWidget* w)
{
    std::vector<TControl*> out;
    for (QObject* o : w->children())
        if (auto* cw = qobject_cast<QWidget*>(o))
            if (!cw->isWindow())
                if (TControl* c = AsControl(cw))
                    out.push_back(c);
    return out;
}
}  // namespace

int TControl::ControlCount() const { return static_cast<int>(ChildControls(self_).size()); }

TControl* TControl::Controls(int index) const
{
    const auto list = ChildControls(self_);
    if (index < 0 || index >= static_cast<int>(list.size()))
        throw EListError(ListIndexText(index));
    return list[static_cast<size_t>(index)];
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::ReleaseToClick(QMouseEvent* e, bool insideOnly)
{
    if (e->button() != Qt::LeftButton || (insideOnly && !self_->rect().contains(e->position().toPoint())))
        return;
    if (skipClick_) {
        skipClick_ = false;
        return;
    }
    if (OnClick)
        SafeCall([this] { OnClick(this); });
}

void TControl::DoubleClickToDblClick()
{
    skipClick_ = true;
    if (OnDblClick)
        SafeCall([this] { OnDblClick(this); });
}

void TControl::LoadDesignProperties()
{
    const QVariant hint = self_->property("Hint");
    if (hint.isValid())
        hint_ = hint.toString();
    const QVariant tag = self_->property("Tag");
    if (tag.isValid())
        Tag = tag.toInt();
    const QVariant order = self_->property("TabOrder");
    if (order.isValid())
        TabOrder = order.toInt();
    const QVariant showHint = self_->property("ShowHint");
    if (showHint.isValid())
        ShowHint = showHint.toBool();
    if (ShowHint)
        self_->setToolTip(hint_);
    const QVariant fh = self_->property("FontHeight");
    if (fh.isValid())
        font_.SetHeight(fh.toInt());
    const QVariant fs = self_->property("FontStyle");
    if (fs.isValid())
        font_.SetStyle(fs.toUInt());
    TColor c = clDefault;
    if (DesignColor(self_, "Color", c))
        SetColor(c);
    if (DesignColor(self_, "FontColor", c))
        font_.SetColor(c);
    lastSize_ = self_->size();
}

void LoadDesignProperties(QWidget* root)
{
    if (TControl* c = AsControl(root))
        c->LoadDesignProperties();
    for (QWidget* w : root->findChildren<QWidget*>())
        if (TControl* c = AsControl(w))
            c->LoadDesignProperties();
}

bool DesignBool(const QWidget* w, const char* name, bool& out)
{
    const QVariant v = w->property(name);
    if (!v.isValid())
        return false;
    out = v.toBool();
    return true;
}

int DesignEnum(const QWidget* w, const char* name, std::initializer_list<const char*> names, int fallback)
{
    const QVariant v = w->property(name);
    if (!v.isValid())
        return fallback;
    const QString s = v.toString().trimmed();
    int i = 0;
    for (const char* n : names) {
        if (s.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return i;
        ++i;
    }
    bool ok = false;
    const int n = s.toInt(&ok);
    return ok ? n : fallback;
}

bool DesignColor(const QWidget* w, const char* name, TColor& out)
{
    const QVariant v = w->property(name);
    if (!v.isValid())
        return false;
    const QString s = v.toString().trimmed();
    static const std::pair<const char*, TColor> names[] = {
        {"clBlack", clBlack},         {"clMaroon", clMaroon},       {"clGreen", clGreen},
        {"clNavy", clNavy},           {"clGray", clGray},           {"clSilver", clSilver},
        {"clRed", clRed},             {"clLime", clLime},           {"clBlue", clBlue},
        {"clYellow", clYellow},       {"clWhite", clWhite},         {"clMoneyGreen", clMoneyGreen},
        {"clSkyBlue", clSkyBlue},     {"clCream", clCream},         {"clNone", clNone},
        {"clDefault", clDefault},     {"clBtnFace", clBtnFace},     {"clBtnShadow", clBtnShadow},
        {"clBtnHighlight", clBtnHighlight}, {"cl3DLight", cl3DLight}, {"clInfoBk", clInfoBk},
        {"clWindow", clWindow},       {"clWindowText", clWindowText}};
    for (const auto& [n, c] : names)
        if (s.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) {
            out = c;
            return true;
        }
    bool ok = false;
    const long long n = s.toLongLong(&ok);
    if (ok)
        out = static_cast<TColor>(n);
    return ok;
}
