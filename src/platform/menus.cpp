#include "platform/menus.h"

#include "platform/forms.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>

#include <algorithm>

namespace {

// Keeps a form's menu bar as wide as the form.
class BarWidthHook : public QObject {
public:
    BarWidthHook(QWidget* form, QMenuBar* bar) : QObject(form), form_(form), bar_(bar) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Resize && bar_)
            bar_->resize(form_->width(), bar_->height());
        return false;
    }

private:
    QWidget* form_;
    QPointer<QMenuBar> bar_;
};

// Shows the control's popup menu on a right click (or the menu key).
class PopupHook : public QObject {
public:
    PopupHook(QObject* parent, QWidget* control) : QObject(parent), control_(control) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::ContextMenu)
            return false;
        TControl* c = AsControl(control_);
        if (!c || !c->PopupMenu)
            return false;
        TPopupMenu* menu = c->PopupMenu;
        const QPoint at = static_cast<QContextMenuEvent*>(e)->globalPos();
        menu->PopupComponent = c;
        menu->Popup(at.x(), at.y());
        return true;
    }

private:
    QWidget* control_;
};

}  // namespace

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), action_(new QAction)
{
    QObject::connect(action_, &QAction::triggered, action_, [this] { SafeCall([this] { Click(); }); });
}

TMenuItem::~TMenuItem()
{
    if (parent_)
        parent_->Detach(this);
    for (TMenuItem* item : items_) {
        item->parent_ = nullptr;
        delete item;
    }
    delete menu_;
    delete action_;
}

void TMenuItem::SetCaption(const QString& caption)
{
    caption_ = caption;
    // A line draws its text as a section title in some styles.
    action_->setText(IsLine() ? QString() : caption);
    action_->setSeparator(IsLine());
    if (menu_)
        menu_->setTitle(caption);
}

bool TMenuItem::Enabled() const { return action_->isEnabled(); }
void TMenuItem::SetEnabled(bool v) { action_->setEnabled(v); }
bool TMenuItem::Visible() const { return action_->isVisible(); }
void TMenuItem::SetVisible(bool v) { action_->setVisible(v); }

QMenu* TMenuItem::SubMenu()
{
    if (!menu_) {
        menu_ = new QMenu;
        menu_->setTitle(caption_);
        action_->setMenu(menu_);
    }
    return menu_;
}

QWidget* TMenuItem::Host()
{
    if (host_)
        return host_;
    return SubMenu();
}

void TMenuItem::Add(TMenuItem* item)
{
    if (!item || item == this)
        return;
    if (item->parent_)
        item->parent_->Detach(item);
    item->parent_ = this;
    items_.push_back(item);
    Host()->addAction(item->action_);
}

TMenuItem* TMenuItem::Add(const QString& caption, TNotifyEvent onClick)
{
    auto* item = new TMenuItem;
    item->SetCaption(caption);
    item->OnClick = std::move(onClick);
    Add(item);
    return item;
}

void TMenuItem::Detach(TMenuItem* item)
{
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    if (host_)
        host_->removeAction(item->action_);
    if (menu_)
        menu_->removeAction(item->action_);
    item->parent_ = nullptr;
}

TMenuItem* TMenuItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(ListIndexText(index));
    return items_[static_cast<size_t>(index)];
}

void TMenuItem::Click()
{
    if (OnClick)
        OnClick(this);
}

// ---- TMainMenu ----

TMainMenu::TMainMenu(TComponent* owner) : TComponent(owner) {}

TMainMenu::~TMainMenu()
{
    if (bar_) {  // the bar lives as long as its form
        if (form_->Menu == this)
            form_->Menu = nullptr;
        delete bar_;
    }
}

void TMainMenu::AttachTo(TForm* form)
{
    if (!form || form == form_)
        return;
    if (form_)
        throw EInvalidOperation(QStringLiteral("Вътрешна грешка: менюто вече е на друг прозорец."));
    form_ = form;
    bar_ = new QMenuBar(form);
    bar_->setNativeMenuBar(false);  // it must take its room inside the window
    for (TMenuItem* item : root_.items_) {
        if (root_.menu_)
            root_.menu_->removeAction(item->action_);
        bar_->addAction(item->action_);
    }
    root_.host_ = bar_;

    const int h = bar_->sizeHint().height();
    for (QObject* o : form->children())
        if (auto* w = qobject_cast<QWidget*>(o); w && w != bar_ && !w->isWindow())
            w->move(w->x(), w->y() + h);
    bar_->setGeometry(0, 0, form->width(), h);
    form->resize(form->width(), form->height() + h);
    bar_->show();
    form->installEventFilter(new BarWidthHook(form, bar_));
    form->Menu = this;
}

int TMainMenu::Height() const { return bar_ ? bar_->height() : 0; }

// ---- TPopupMenu ----

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

void TPopupMenu::Popup(int x, int y) { Menu()->popup(QPoint(x, y)); }

void AttachPopup(TControl* control)
{
    QWidget* w = control->Widget();
    if (w->property("_popupHook").toBool())
        return;
    w->setProperty("_popupHook", true);
    w->setContextMenuPolicy(Qt::DefaultContextMenu);
    w->installEventFilter(new PopupHook(w, w));
    // A scroll area gets the right click on its viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
        area->viewport()->setContextMenuPolicy(Qt::DefaultContextMenu);
        area->viewport()->installEventFilter(new PopupHook(w, w));
    }
}

void AttachPopup(TControl* control, TPopupMenu* menu)
{
    control->PopupMenu = menu;
    AttachPopup(control);
}

// ---- Actions ----

TAction::TAction(TComponent* owner) : TComponent(owner) {}

bool TAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

TActionList::~TActionList()
{
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
}

TAction* TActionList::Actions(int index) const { return dynamic_cast<TAction*>(Components(index)); }

TAction* TActionList::Find(const QString& name) const { return dynamic_cast<TAction*>(FindComponent(name)); }
