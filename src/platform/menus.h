// Menus (main menu, popup menus, their items) and actions. Click() and
// Execute() run the handler synchronously; a user's choice runs it through
// SafeCall.
#pragma once

#include "platform/control.h"

#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QString>

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class TForm;

// One menu entry; a caption of "-" makes it a separator. An item owns the
// items added to it and deletes them with itself.
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner = nullptr);
    ~TMenuItem() override;
    QString ClassName() const override { return QStringLiteral("TMenuItem"); }

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    bool IsLine() const { return caption_ == QLatin1String("-"); }
    bool Enabled() const;
    void SetEnabled(bool v);
    bool Visible() const;
    void SetVisible(bool v);

    // Appends a sub-item (taking it over, also from another parent item).
    void Add(TMenuItem* item);
    // Appends a new sub-item with this caption and handler and returns it.
    TMenuItem* Add(const QString& caption, TNotifyEvent onClick = {});
    int Count() const { return static_cast<int>(items_.size()); }
    // Out of range raises EListError.
    TMenuItem* Items(int index) const;
    TMenuItem* Parent() const { return parent_; }

    // Runs OnClick as choosing the item would, whatever its state.
    virtual void Click();
    TNotifyEvent OnClick;

    // The Qt side: the entry, and the drop-down list of the sub-items.
    QAction* Action() const { return action_; }
    QMenu* SubMenu();

private:
    friend class TMainMenu;
    void Detach(TMenuItem* item);
    QWidget* Host();  // where the sub-items' entries go

    QString caption_;
    QAction* action_;
    QMenu* menu_ = nullptr;
    QPointer<QWidget> host_;  // a menu bar for a main menu's root
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
};

// A window's menu bar. AttachTo puts it at the top of the form: the form grows
// by the bar's height and its other children move down by as much, so the
// client area keeps its size and the controls their places relative to each
// other (a child's Top then counts from the window's top, bar included). Items
// added to Items() later appear in the bar too.
class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* owner = nullptr);
    ~TMainMenu() override;
    QString ClassName() const override { return QStringLiteral("TMainMenu"); }

    // The root: its sub-items are the bar's menus.
    TMenuItem* Items() { return &root_; }
    // Once per menu; sets form->Menu.
    void AttachTo(TForm* form);
    TForm* Form() const { return form_; }
    QMenuBar* MenuBar() const { return bar_; }
    // The bar's height; 0 while not attached.
    int Height() const;

private:
    TMenuItem root_;
    TForm* form_ = nullptr;
    QPointer<QMenuBar> bar_;
};

// A context menu. Popup() shows it and returns at once; a right click on a
// control whose PopupMenu is set shows it once AttachPopup was called for it.
class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner = nullptr);
    QString ClassName() const override { return QStringLiteral("TPopupMenu"); }

    TMenuItem* Items() { return &root_; }
    // At screen coordinates.
    void Popup(int x, int y);
    QMenu* Menu() { return root_.SubMenu(); }
    // The control that was right-clicked last.
    TControl* PopupComponent = nullptr;

private:
    TMenuItem root_;
};

// Makes a right click on the control (its viewport too) show the control's
// PopupMenu when it is set at that moment. Calling it again does nothing more.
void AttachPopup(TControl* control);
// Sets control->PopupMenu and attaches it.
void AttachPopup(TControl* control, TPopupMenu* menu);

// ---- Actions ----

class TAction : public TComponent {
public:
    // An action list as owner takes the action over.
    explicit TAction(TComponent* owner = nullptr);
    QString ClassName() const override { return QStringLiteral("TAction"); }

    QString Caption() const { return caption_; }
    void SetCaption(const QString& c) { caption_ = c; }

    // Runs OnExecute with the action as Sender; false when there is none.
    virtual bool Execute();
    TNotifyEvent OnExecute;

private:
    QString caption_;
};

// Owns its actions (those created with it as owner) and deletes them with itself.
class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner = nullptr) : TComponent(owner) {}
    ~TActionList() override;
    QString ClassName() const override { return QStringLiteral("TActionList"); }

    int ActionCount() const { return ComponentCount(); }
    TAction* Actions(int index) const;
    // Case-insensitive; nullptr when absent.
    TAction* Find(const QString& name) const;
};
