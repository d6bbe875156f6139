// Buttons, check boxes, radio buttons, group boxes, panels, bevels, the
// progress gauge and the tab control. Each is a Qt widget that is also a
// TControl; programmatic changes fire their handlers inside the setter, user
// actions fire them through SafeCall.
#pragma once

#include "platform/control.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QToolButton>
#include <QWidget>

class QShortcut;
class QTabBar;

// ---- Alignment of a control inside its parent ----

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The control's alignment: set by SetAlign or by the design value "Align"
// ("alClient", "alTop"… or the number).
TAlign GetAlign(const TControl* control);
// Stores the alignment and lays out the parent's aligned children at once.
void SetAlign(TControl* control, TAlign align);
// Places the aligned children of parent: alTop, alBottom, alLeft, alRight
// take the edges in that order (each group in child order), alClient fills the
// rest. Hidden children take no room. From then on the parent's resizes re-run
// it. A form's area starts under its menu bar, a panel's inside its border.
void ApplyAlign(TControl* parent);

// ---- Buttons ----

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A push button. Click() runs OnClick whatever the button's or its window's
// state; a user's click runs it through SafeCall. Enter presses the window's
// Default button, Esc its Cancel button, when that button is visible and enabled.
class TButton : public QPushButton, public TControl {
public:
    explicit TButton(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TButton"); }

    QString Caption() const { return text(); }
    void SetCaption(const QString& c) { setText(c); }
    QString Text() const override { return Caption(); }
    void SetText(const QString& t) override { SetCaption(t); }

    bool Default() const { return defaultKey_ != nullptr; }
    void SetDefault(bool v);
    bool Cancel() const { return cancelKey_ != nullptr; }
    void SetCancel(bool v);

    // Design values: Default, Cancel (Qt's own "default" counts too).
    void LoadDesignProperties() override;

private:
    void KeyPressed();
    QShortcut* defaultKey_ = nullptr;
    QShortcut* cancelKey_ = nullptr;
};

// A push button with a picture before its caption.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TBitBtn"); }

    // A file or resource path; an unreadable one leaves the button without picture.
    void SetGlyph(const QString& path);
    void SetGlyph(const QIcon& icon);
    bool HasGlyph() const { return !icon().isNull(); }

    // Design value: Glyph (path).
    void LoadDesignProperties() override;
};

// A flat tool button, picture above or beside the caption; takes no focus.
class TSpeedButton : public QToolButton, public TControl {
public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TSpeedButton"); }

    QString Caption() const { return text(); }
    void SetCaption(const QString& c);
    QString Text() const override { return Caption(); }
    void SetText(const QString& t) override { SetCaption(t); }

    void SetGlyph(const QString& path);
    void SetGlyph(const QIcon& icon);
    bool HasGlyph() const { return !icon().isNull(); }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    bool Flat() const { return autoRaise(); }
    void SetFlat(bool v) { setAutoRaise(v); }

    // Design values: Glyph (path), Layout, Flat.
    void LoadDesignProperties() override;

private:
    void UpdateStyle();
    TButtonLayout layout_ = blGlyphLeft;
};

// ---- Check box, radio button, group box ----

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// Setting Checked or State from code fires OnClick when the state changes; a
// user's toggle fires it through SafeCall.
class TCheckBox : public QCheckBox, public TControl {
public:
    explicit TCheckBox(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TCheckBox"); }

    QString Caption() const { return text(); }
    void SetCaption(const QString& c) { setText(c); }
    QString Text() const override { return Caption(); }
    void SetText(const QString& t) override { SetCaption(t); }

    // True only for cbChecked.
    bool Checked() const { return checkState() == Qt::Checked; }
    void SetChecked(bool v);
    TCheckBoxState State() const;
    // cbGrayed is for code only: a user's click goes to checked or unchecked.
    void SetState(TCheckBoxState s);

protected:
    void nextCheckState() override;
};

// Exclusive among the radio buttons of the same parent. Checking one that was
// unchecked (from code or by the user) unchecks its siblings silently and fires
// its own OnClick; unchecking fires nothing; a click on the checked one changes
// nothing.
class TRadioButton : public QRadioButton, public TControl {
public:
    explicit TRadioButton(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TRadioButton"); }

    QString Caption() const { return text(); }
    void SetCaption(const QString& c) { setText(c); }
    QString Text() const override { return Caption(); }
    void SetText(const QString& t) override { SetCaption(t); }

    bool Checked() const { return isChecked(); }
    void SetChecked(bool v);

protected:
    void nextCheckState() override;

private:
    void CheckAlone();
    bool userChecked_ = false;
};

class TGroupBox : public QGroupBox, public TControl {
public:
    explicit TGroupBox(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TGroupBox"); }

    QString Caption() const { return title(); }
    void SetCaption(const QString& c) { setTitle(c); }
    QString Text() const override { return Caption(); }
    void SetText(const QString& t) override { SetCaption(t); }
};

// ---- Panel and bevel ----

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container with an optional caption and 1-pixel bevels.
//
// AutoSize: the panel keeps its Left and Top and fits its visible children.
// Their bounding box is moved to the panel's client origin (just inside the
// bevels and border): children that went left of or above it, such as a line
// centred on a narrower label, push the others right or down instead of being
// cut off, and a gap left at the origin closes. Hidden children take no room
// but move with the others. Without visible children the size stays. The fit
// is redone at once whenever a child moves, resizes, is shown or hidden (also
// while the panel or its window is hidden), and every resulting size change
// fires OnResize through SetBounds.
class TPanel : public QWidget, public TControl {
public:
    explicit TPanel(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TPanel"); }

    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    QString Text() const override { return Caption(); }
    void SetText(const QString& t) override { SetCaption(t); }

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut b);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut b);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int w);
    // Bevels plus border: the inset of the client area on every side.
    int BorderSize() const;
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TAlign Align() const { return GetAlign(this); }
    void SetAlign(TAlign a) { ::SetAlign(this, a); }

    // Recomputes the auto size and the aligned children.
    void Realign();

    // The background only: edits and buttons on the panel keep their own colours.
    void SetColor(TColor c) override;

    void SetBounds(int left, int top, int width, int height) override;
    void ChildGeometryChanged(TControl* child) override;
    void FontChanged() override;
    // Design values: Caption, BevelInner, BevelOuter, BorderWidth, Alignment,
    // AutoSize, Align. The design-time fit fires no OnResize.
    void LoadDesignProperties() override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // The fitted size; false when there is nothing to fit.
    bool Fit(QSize& size);
    QString caption_;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int borderWidth_ = 0;
    TAlignment alignment_ = taCenter;
    bool autoSize_ = false;
    bool pressed_ = false;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

// Etched lines and frames of 1-pixel lines: lowered puts the shadow line
// first (top or left), raised the light one.
class TBevel : public QWidget, public TControl {
public:
    explicit TBevel(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TBevel"); }

    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape s);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle s);

    // Design values: Shape, Style.
    void LoadDesignProperties() override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

// ---- Progress gauge ----

// A horizontal bar. It repaints itself at once when Progress changes, so that
// it moves while a long job blocks the event loop.
class TGauge : public QWidget, public TControl {
public:
    explicit TGauge(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TGauge"); }

    int MinValue() const { return min_; }
    void SetMinValue(int v);
    int MaxValue() const { return max_; }
    void SetMaxValue(int v);
    // Kept within MinValue..MaxValue.
    int Progress() const { return progress_; }
    void SetProgress(int v);
    void AddProgress(int v) { SetProgress(progress_ + v); }
    // 0..100, truncated; 0 for an empty range.
    int PercentDone() const;

    bool ShowText() const { return showText_; }
    void SetShowText(bool v);
    TColor ForeColor() const { return fore_; }
    void SetForeColor(TColor c);
    TColor BackColor() const { return back_; }
    void SetBackColor(TColor c);
    TBorderStyle BorderStyle() const { return border_; }
    void SetBorderStyle(TBorderStyle b);

    // Design values: MinValue, MaxValue, Progress, ShowText, ForeColor,
    // BackColor, BorderStyle.
    void LoadDesignProperties() override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void Clamp();
    int min_ = 0;
    int max_ = 100;
    int progress_ = 0;
    bool showText_ = true;
    TColor fore_ = clBlack;
    TColor back_ = clWhite;
    TBorderStyle border_ = bsSingle;
};

// ---- Tab control ----

// A row of tabs along the top; the controls lying on it are its own children
// (in its coordinates, tab row included). Setting Tabs or TabIndex from code
// fires nothing; the user's choice of a tab fires OnChange through SafeCall.
class TTabControl : public QWidget, public TControl {
public:
    explicit TTabControl(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TTabControl"); }

    QStringList Tabs() const;
    void SetTabs(const QStringList& tabs);
    // -1 without tabs.
    int TabIndex() const;
    // Out of range raises EListError.
    void SetTabIndex(int index);

    TNotifyEvent OnChange;

    QTabBar* TabBar() const { return bar_; }
    // Design values: Tabs (string list), TabIndex.
    void LoadDesignProperties() override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void PlaceBar();
    QTabBar* bar_;
};
