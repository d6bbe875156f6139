// The common control base. Every control is a Qt widget that also derives from
// TControl, which gives it the class library's properties with its semantics:
// Visible and Enabled are the control's own flags, geometry is exact pixels in
// the parent's client coordinates, and a size change fires OnResize at once.
#pragma once

#include "platform/core.h"

#include <QColor>
#include <QFont>
#include <QSize>

#include <initializer_list>

class QMouseEvent;
class QWidget;
class TWinControl;
class TPopupMenu;

// Colours as 0x00BBGGRR; the system colours carry the high bit.
using TColor = int;
constexpr TColor RGB(int r, int g, int b) { return r | (g << 8) | (b << 16); }
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBtnFace = int(0x8000000F);
constexpr TColor clBtnShadow = int(0x80000010);
constexpr TColor clBtnHighlight = int(0x80000014);
constexpr TColor cl3DLight = int(0x80000016);
constexpr TColor clInfoBk = int(0x80000018);
constexpr TColor clWindow = int(0x80000005);
constexpr TColor clWindowText = int(0x80000008);

QColor ColorToQColor(TColor c);

// Shared by labels, panels, edits and grids.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBorderStyle { bsNone, bsSingle };

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A control's font; changes apply to the widget at once.
class TFont {
public:
    explicit TFont(QWidget* w) : w_(w) {}
    QString Name() const;
    void SetName(const QString& name);
    int Size() const;  // points
    void SetSize(int points);
    int Height() const;  // pixels, negative as the class library gives it
    void SetHeight(int pixels);
    TFontStyles Style() const;
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    void Assign(const TFont& other);

private:
    void Apply(const QFont& f);
    QWidget* w_;
    TColor color_ = clWindowText;
};

class TControl : public TComponent {
public:
    explicit TControl(QWidget* self);
    ~TControl() override;

    QWidget* Widget() const { return self_; }
    QString Name() const override;
    void SetName(const QString& name) override;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int v);
    void SetTop(int v);
    void SetWidth(int v);
    void SetHeight(int v);
    virtual void SetBounds(int left, int top, int width, int height);
    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }

    // The control's own flag, whatever its parent or window shows.
    bool Visible() const;
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    void SetEnabled(bool v);

    QString Hint() const { return hint_; }
    void SetHint(const QString& h) { hint_ = h; }
    bool ShowHint = false;
    int TabOrder = 0;

    TColor Color() const { return color_; }
    virtual void SetColor(TColor c);
    TFont* Font() { return &font_; }

    // The generic text: the caption for labels and buttons, the text for edits.
    virtual QString Text() const;
    virtual void SetText(const QString& text);

    // Raises when the control or its window is hidden or disabled.
    void SetFocus();
    bool Focused() const;
    void Repaint();
    void Invalidate();

    TControl* Parent() const;
    int ControlCount() const;
    TControl* Controls(int index) const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TPopupMenu* PopupMenu = nullptr;

    // Runs OnClick as a user's click would (also while hidden).
    virtual void Click();

    // Reads the class library's design values (Hint, Tag, TabOrder, FontHeight,
    // Color, FontColor, FontStyle…) that a .ui file stores as dynamic properties.
    virtual void LoadDesignProperties();

    // Fires OnResize when the size differs from the last one seen.
    void CheckResize();
    // Hooks for auto-sizing: a child moved, resized, was shown or hidden; the
    // font changed (labels re-measure themselves).
    virtual void ChildGeometryChanged(TControl* child) { (void)child; }
    virtual void FontChanged() { CheckResize(); }
    void NotifyParent();

protected:
    // For controls that report clicks: call after the widget's own mouse
    // handling. A left release inside the control is a click (SafeCall); the
    // release that ends a double click is not another one.
    void ReleaseToClick(QMouseEvent* e, bool insideOnly = true);
    void DoubleClickToDblClick();

    QWidget* self_;

private:
    QString hint_;
    TColor color_ = clDefault;
    TFont font_;
    QSize lastSize_;
    bool skipClick_ = false;
};

// Finds the TControl side of a widget, or nullptr.
TControl* AsControl(QWidget* w);

// Applies design values to every TControl below root (root included).
void LoadDesignProperties(QWidget* root);

// Design values that a .ui file stores as dynamic properties.
// A boolean; false when the design does not give it.
bool DesignBool(const QWidget* w, const char* name, bool& out);
// An enum given by name ("bvRaised", any case) or by number; fallback when absent or unknown.
int DesignEnum(const QWidget* w, const char* name, std::initializer_list<const char*> names, int fallback = -1);
// A colour given by number or by name ("clMoneyGreen"); false when absent or unknown.
bool DesignColor(const QWidget* w, const char* name, TColor& out);
