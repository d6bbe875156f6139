#include "platform/menus.h"

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "support/test_env.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A scroll-area control, as a memo is: the right click lands on its viewport.
class TestArea : public QPlainTextEdit, public TControl {
public:
    explicit TestArea(QWidget* parent = nullptr) : QPlainTextEdit(parent), TControl(this) {}
};

bool RightClick(QWidget* w)
{
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w, &e);
    return e.isAccepted();
}

}  // namespace

// ---- Menu items ----

TEST(MenuItemTest, ClickSeparatorsAndTheItemTree)
{
    ResetTestDialogs();
    TMenuItem documents;
    documents.SetCaption(QStringLiteral("Документи"));
    std::vector<TObject*> senders;
    TMenuItem* newDoc = documents.Add(QStringLiteral("Нов документ"), [&](TObject* s) { senders.push_back(s); });
    TMenuItem* line = documents.Add(QStringLiteral("-"));
    TMenuItem* print = documents.Add(QStringLiteral("Печат на документ"));
    ASSERT_EQ(documents.Count(), 3);
    EXPECT_EQ(documents.Items(0), newDoc);
    EXPECT_EQ(newDoc->Parent(), &documents);
    EXPECT_TRUE(line->IsLine());
    EXPECT_TRUE(line->Action()->isSeparator());
    EXPECT_TRUE(line->Action()->text().isEmpty());
    EXPECT_EQ(line->Caption(), QStringLiteral("-"));
    EXPECT_FALSE(print->Action()->isSeparator());
    EXPECT_THROW(documents.Items(3), EListError);
    EXPECT_THROW(documents.Items(-1), EListError);
    // The Qt menu lists the entries in order.
    const QList<QAction*> shown = documents.SubMenu()->actions();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0]->text(), "Нов документ");
    EXPECT_EQ(shown[2], print->Action());

    newDoc->Click();
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], newDoc);
    newDoc->SetEnabled(false);
    newDoc->Click();  // from code, whatever its state
    EXPECT_EQ(senders.size(), 2u);
    newDoc->SetEnabled(true);

    // From code the exception reaches the caller; the user's choice shows it.
    print->OnClick = [](TObject*) { throw EInOutError(QStringLiteral("File not found")); };
    EXPECT_THROW(print->Click(), EInOutError);
    EXPECT_NO_THROW(print->Action()->trigger());
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, "File not found");
    newDoc->Action()->trigger();
    EXPECT_EQ(senders.size(), 3u);

    // Deleting an item takes it out of its menu; adding it elsewhere moves it.
    delete line;
    EXPECT_EQ(documents.Count(), 2);
    EXPECT_EQ(documents.SubMenu()->actions().size(), 2);
    TMenuItem help;
    help.Add(print);
    EXPECT_EQ(documents.Count(), 1);
    EXPECT_EQ(help.Items(0), print);
    EXPECT_EQ(print->Parent(), &help);
    EXPECT_EQ(documents.SubMenu()->actions().size(), 1);
}

// ---- Main menu ----

TEST(MainMenuTest, AttachingMakesRoomAboveTheControls)
{
    TForm form;
    form.SetBounds(0, 0, 615, 386);
    TSpeedButton* orderBtn = new TSpeedButton(&form);
    orderBtn->SetBounds(0, 0, 123, 121);
    TSpeedButton* exitBtn = new TSpeedButton(&form);
    exitBtn->SetBounds(492, 121, 123, 121);

    auto* menu = new TMainMenu;
    TMenuItem* documents = menu->Items()->Add(QStringLiteral("Документи"));
    documents->Add(QStringLiteral("Нов документ"));
    menu->Items()->Add(QStringLiteral("Изглед"));
    EXPECT_EQ(menu->Height(), 0);

    menu->AttachTo(&form);
    EXPECT_EQ(form.Menu, menu);
    const int h = menu->Height();
    ASSERT_GT(h, 0);
    QMenuBar* bar = menu->MenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 615, h));
    EXPECT_EQ(QPoint(orderBtn->Left(), orderBtn->Top()), QPoint(0, h));
    EXPECT_EQ(QPoint(exitBtn->Left(), exitBtn->Top()), QPoint(492, 121 + h));
    EXPECT_EQ(QSize(form.Width(), form.Height()), QSize(615, 386 + h));

    // Items added later appear in the bar as well.
    menu->Items()->Add(QStringLiteral("Помощ"));
    const QList<QAction*> titles = bar->actions();
    ASSERT_EQ(titles.size(), 3);
    EXPECT_EQ(titles[0]->text(), "Документи");
    EXPECT_EQ(titles[0]->menu(), documents->SubMenu());
    EXPECT_EQ(titles[2]->text(), "Помощ");

    // Aligned controls start under the bar.
    TPanel* strip = new TPanel(&form);
    strip->SetHeight(20);
    SetAlign(strip, alTop);
    EXPECT_EQ(strip->Top(), h);

    TForm other;
    EXPECT_THROW(menu->AttachTo(&other), EInvalidOperation);

    form.Show();
    form.SetBounds(0, 0, 700, 450);
    QApplication::processEvents();
    EXPECT_EQ(bar->width(), 700);
    form.Hide();

    delete menu;
    EXPECT_EQ(form.Menu, nullptr);
    EXPECT_TRUE(form.findChildren<QMenuBar*>().isEmpty());
}

// ---- Popup menu ----

TEST(PopupMenuTest, RightClickShowsTheControlsMenu)
{
    ResetTestDialogs();
    TForm form;
    form.SetBounds(0, 0, 300, 200);
    TestArea* memo = new TestArea(&form);
    memo->SetBounds(0, 0, 200, 100);
    TPanel* panel = new TPanel(&form);
    panel->SetBounds(0, 120, 100, 50);
    TPopupMenu popup;
    int copies = 0;
    popup.Items()->Add(QStringLiteral("Копирай"), [&](TObject*) { ++copies; });
    AttachPopup(memo, &popup);
    AttachPopup(panel);  // no menu yet
    form.Show();
    QApplication::processEvents();

    EXPECT_TRUE(RightClick(memo->viewport()));
    EXPECT_TRUE(popup.Menu()->isVisible());
    EXPECT_EQ(popup.PopupComponent, memo);
    popup.Menu()->hide();

    EXPECT_FALSE(popup.Menu()->isVisible());
    RightClick(panel);
    EXPECT_FALSE(popup.Menu()->isVisible());
    panel->PopupMenu = &popup;  // set after attaching: read at the click
    EXPECT_TRUE(RightClick(panel));
    EXPECT_TRUE(popup.Menu()->isVisible());
    EXPECT_EQ(popup.PopupComponent, panel);
    popup.Menu()->hide();

    popup.Items()->Items(0)->Action()->trigger();
    EXPECT_EQ(copies, 1);
    popup.Items()->Items(0)->OnClick = [](TObject*) { throw EInvalidOperation(QStringLiteral("Clipboard busy")); };
    EXPECT_NO_THROW(popup.Items()->Items(0)->Action()->trigger());
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, "Clipboard busy");
    form.Hide();
}

// ---- Actions ----

TEST(ActionTest, ExecuteRunsTheHandlerAndTheListOwnsItsActions)
{
    auto* list = new TActionList;
    auto* resized = new TAction(list);
    resized->SetName(QStringLiteral("Resized"));
    resized->SetCaption(QStringLiteral("Resized"));
    auto* newAction = new TAction(list);
    newAction->SetName(QStringLiteral("New"));
    EXPECT_EQ(list->ActionCount(), 2);
    EXPECT_EQ(list->Actions(1), newAction);
    EXPECT_EQ(list->Find(QStringLiteral("resized")), resized);
    EXPECT_EQ(list->Find(QStringLiteral("Missing")), nullptr);

    EXPECT_FALSE(resized->Execute());
    std::vector<TObject*> senders;
    auto token = std::make_shared<int>(0);
    resized->OnExecute = [&senders, token](TObject* s) { senders.push_back(s); };
    EXPECT_TRUE(resized->Execute());
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], resized);

    newAction->OnExecute = [](TObject*) { throw EConvertError(QStringLiteral("'abc' is not a valid floating point value")); };
    EXPECT_THROW(newAction->Execute(), EConvertError);

    EXPECT_EQ(token.use_count(), 2);
    delete list;
    EXPECT_EQ(token.use_count(), 1);  // the action went with its list
}
