#include "platform/extctrls.h"

#include "platform/forms.h"
#include "support/keys.h"
#include "support/test_env.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

QImage Render(QWidget* w, QColor background = Qt::red)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(background);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

QImage RenderWithBackground(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::red);
    w->render(&img);
    return img;
}

QColor Pixel(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

}  // namespace

// ---- Buttons ----

TEST(ButtonTest, ClickRunsHandlerWhateverTheStateAndUserClicksAreGuarded)
{
    ResetTestDialogs();
    TForm form;  // never shown
    TButton* button = new TButton(&form);
    TBitBtn* bitBtn = new TBitBtn(&form);
    TSpeedButton* speed = new TSpeedButton(&form);
    EXPECT_EQ(speed->ClassName(), "TSpeedButton");
    EXPECT_EQ(static_cast<TControl*>(bitBtn)->ClassName(), "TBitBtn");

    for (TControl* c : std::vector<TControl*>{button, bitBtn, speed}) {
        std::vector<TObject*> senders;
        c->OnClick = [&](TObject* s) { senders.push_back(s); };
        c->Click();
        c->SetVisible(false);
        c->SetEnabled(false);
        c->Click();
        ASSERT_EQ(senders.size(), 2u) << c->ClassName().toStdString();
        EXPECT_EQ(senders[0], c);

        // From code the exception reaches the caller.
        c->OnClick = [](TObject*) { throw EConvertError(QStringLiteral("'x' is not a valid integer value")); };
        EXPECT_THROW(c->Click(), EConvertError);

        // A user's click shows it in the exception box instead.
        c->SetVisible(true);
        c->SetEnabled(true);
        const size_t before = TestDialogs().boxes.size();
        EXPECT_NO_THROW(static_cast<QAbstractButton*>(c->Widget())->click());
        ASSERT_EQ(TestDialogs().boxes.size(), before + 1);
        EXPECT_EQ(TestDialogs().boxes.back().text, "'x' is not a valid integer value");
        EXPECT_EQ(TestDialogs().boxes.back().icon, TMsgIcon::Error);
    }

    button->SetCaption(QStringLiteral("&Изход"));
    EXPECT_EQ(static_cast<TControl*>(button)->Text(), "&Изход");
    speed->SetText(QStringLiteral("?"));
    EXPECT_EQ(speed->Caption(), "?");
}

TEST(ButtonTest, EnterAndEscPressTheDefaultAndCancelButtons)
{
    ResetTestDialogs();
    TForm form;
    form.SetBounds(100, 100, 300, 200);
    TButton* ok = new TButton(&form);
    TButton* cancel = new TButton(&form);
    ok->setProperty("Default", true);  // as a design value
    ok->LoadDesignProperties();
    cancel->SetCancel(true);
    EXPECT_TRUE(ok->Default());
    EXPECT_FALSE(ok->Cancel());
    EXPECT_TRUE(cancel->Cancel());
    int oks = 0, cancels = 0;
    ok->OnClick = [&](TObject*) { ++oks; };
    cancel->OnClick = [&](TObject*) { ++cancels; };

    form.Show();
    QApplication::setActiveWindow(&form);
    QApplication::processEvents();
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;

    TypeKey(target, Qt::Key_Return);
    EXPECT_EQ(oks, 1);
    TypeKey(target, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);

    // A disabled default button is not pressed.
    ok->SetEnabled(false);
    TypeKey(&form, Qt::Key_Enter);
    EXPECT_EQ(oks, 1);
    ok->SetEnabled(true);
    TypeKey(&form, Qt::Key_Enter);
    EXPECT_EQ(oks, 2);

    // An exception from a key press is shown, not thrown through the event loop.
    cancel->OnClick = [](TObject*) { throw EDatabaseError(QStringLiteral("Table is not open")); };
    EXPECT_NO_THROW(TypeKey(&form, Qt::Key_Escape));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, "Table is not open");

    ok->SetDefault(false);
    TypeKey(&form, Qt::Key_Return);
    EXPECT_EQ(oks, 2);
    form.Hide();
}

TEST(ButtonTest, SpeedButtonShowsItsPictureAboveTheCaption)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("glyph.png"));
    QImage picture(48, 40, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(png));

    TSpeedButton button;
    button.setProperty("Glyph", png);
    button.setProperty("Layout", QStringLiteral("blGlyphTop"));
    button.SetCaption(QStringLiteral("Нов Документ"));
    button.LoadDesignProperties();
    EXPECT_TRUE(button.HasGlyph());
    EXPECT_EQ(button.Layout(), blGlyphTop);
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(button.iconSize(), QSize(48, 40));
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);

    // Without a caption only the picture shows; an unreadable file leaves the caption alone.
    button.SetCaption(QString());
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonIconOnly);
    TSpeedButton missing;
    missing.SetCaption(QStringLiteral("Изход"));
    missing.SetGlyph(dir.filePath(QStringLiteral("none.png")));
    EXPECT_FALSE(missing.HasGlyph());
    EXPECT_EQ(missing.toolButtonStyle(), Qt::ToolButtonTextOnly);

    TBitBtn bit;
    bit.SetGlyph(png);
    EXPECT_TRUE(bit.HasGlyph());
}

// ---- Check box ----

TEST(CheckBoxTest, CodeFiresOnRealChangeOnlyAndUserTogglesAreGuarded)
{
    ResetTestDialogs();
    TCheckBox box;
    int clicks = 0;
    bool seen = false;
    box.OnClick = [&](TObject* s) {
        ++clicks;
        seen = static_cast<TCheckBox*>(s)->Checked();
    };

    // Design values (Qt's own setter) fire nothing.
    box.setChecked(true);
    box.setChecked(false);
    EXPECT_EQ(clicks, 0);

    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(seen);  // the handler sees the new state
    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box.SetState(cbGrayed);
    EXPECT_EQ(box.State(), cbGrayed);
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(clicks, 2);
    box.SetChecked(false);
    EXPECT_EQ(clicks, 3);
    EXPECT_FALSE(seen);

    // Hidden and disabled, it still follows code.
    box.SetVisible(false);
    box.SetEnabled(false);
    box.SetChecked(true);
    EXPECT_EQ(clicks, 4);

    // A handler's exception leaves the setter; the state is already changed.
    box.OnClick = [](TObject*) { throw EInvalidOperation(QStringLiteral("boom")); };
    EXPECT_THROW(box.SetChecked(false), EInvalidOperation);
    EXPECT_FALSE(box.Checked());

    // A user's toggle fires once, through the exception box.
    box.SetVisible(true);
    box.SetEnabled(true);
    EXPECT_NO_THROW(box.click());
    EXPECT_TRUE(box.Checked());
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, "boom");
    clicks = 0;
    box.OnClick = [&](TObject*) { ++clicks; };
    box.click();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(box.Checked());
    // A grayed box goes to checked on a click, never back to grayed.
    box.SetState(cbGrayed);
    box.click();
    EXPECT_EQ(box.State(), cbChecked);
    box.click();
    EXPECT_EQ(box.State(), cbUnchecked);
    EXPECT_EQ(clicks, 4);
}

// ---- Radio buttons ----

TEST(RadioButtonTest, CheckingFiresOwnHandlerAndUnchecksSiblingsSilently)
{
    ResetTestDialogs();
    TForm form;
    TGroupBox* group = new TGroupBox(&form);
    group->SetCaption(QStringLiteral("Език на документа"));
    EXPECT_EQ(static_cast<TControl*>(group)->Text(), "Език на документа");
    TRadioButton* bg = new TRadioButton(group);
    TRadioButton* en = new TRadioButton(group);
    TRadioButton* third = new TRadioButton(group);
    TRadioButton* elsewhere = new TRadioButton(&form);
    bg->TabOrder = 0;
    en->TabOrder = 1;
    std::vector<int> orders;  // the shared handler reads Sender's tab order
    auto handler = [&](TObject* s) { orders.push_back(dynamic_cast<TRadioButton*>(s)->TabOrder); };
    for (TRadioButton* r : {bg, en, third, elsewhere})
        r->OnClick = handler;

    bg->setChecked(true);  // design value
    elsewhere->setChecked(true);
    EXPECT_TRUE(orders.empty());

    en->SetChecked(true);
    EXPECT_EQ(orders, std::vector<int>{1});
    EXPECT_FALSE(bg->Checked());
    EXPECT_TRUE(en->Checked());
    EXPECT_TRUE(elsewhere->Checked());  // another parent is another group

    en->SetChecked(true);   // already checked
    en->SetChecked(false);  // unchecking fires nothing
    EXPECT_EQ(orders.size(), 1u);
    EXPECT_FALSE(en->Checked());
    bg->SetChecked(true);
    EXPECT_EQ(orders, (std::vector<int>{1, 0}));

    // A handler's exception leaves the setter after the check is done.
    en->OnClick = [](TObject*) { throw EConvertError(QStringLiteral("bad")); };
    EXPECT_THROW(en->SetChecked(true), EConvertError);
    EXPECT_TRUE(en->Checked());
    EXPECT_FALSE(bg->Checked());

    // User clicks: an unchecked button fires once, the checked one nothing.
    orders.clear();
    third->click();
    EXPECT_EQ(orders.size(), 1u);
    EXPECT_TRUE(third->Checked());
    EXPECT_FALSE(en->Checked());
    third->click();
    EXPECT_EQ(orders.size(), 1u);
    EXPECT_TRUE(third->Checked());
    EXPECT_NO_THROW(en->click());
    EXPECT_TRUE(en->Checked());
    EXPECT_FALSE(third->Checked());
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, "bad");
}

// ---- Panel ----

TEST(PanelTest, AutoSizeFollowsChildrenAtOnceAndFiresOnResizePerChange)
{
    TPanel panel;  // never shown
    EXPECT_EQ(static_cast<TControl*>(&panel)->ClassName(), "TPanel");
    panel.SetBevelOuter(bvNone);
    panel.SetBounds(40, 120, 300, 300);
    TBevel* a = new TBevel(&panel);
    TBevel* b = new TBevel(&panel);
    a->SetBounds(0, 0, 50, 20);
    b->SetBounds(10, 30, 40, 10);
    int resizes = 0;
    panel.OnResize = [&](TObject*) { ++resizes; };

    panel.SetAutoSize(true);
    EXPECT_EQ(QRect(panel.Left(), panel.Top(), panel.Width(), panel.Height()), QRect(40, 120, 50, 40));
    EXPECT_EQ(resizes, 1);

    b->SetBounds(10, 30, 100, 10);
    EXPECT_EQ(panel.Width(), 110);
    EXPECT_EQ(resizes, 2);
    b->SetBounds(10, 30, 100, 10);  // no change
    b->SetTop(30);
    panel.Realign();
    EXPECT_EQ(resizes, 2);

    // A hidden child takes no room; the panel itself may be hidden.
    panel.SetVisible(false);
    b->SetVisible(false);
    EXPECT_EQ(QSize(panel.Width(), panel.Height()), QSize(50, 20));
    EXPECT_EQ(resizes, 3);
    b->SetTop(200);  // moving a hidden child changes nothing
    EXPECT_EQ(resizes, 3);
    b->SetVisible(true);
    EXPECT_EQ(QSize(panel.Width(), panel.Height()), QSize(110, 210));
    EXPECT_EQ(resizes, 4);

    // The fitted size wins over a size set from code.
    panel.SetWidth(500);
    EXPECT_EQ(panel.Width(), 110);
    EXPECT_EQ(panel.Left(), 40);

    // Without visible children the size stays.
    b->SetVisible(false);
    EXPECT_EQ(QSize(panel.Width(), panel.Height()), QSize(50, 20));
    a->SetVisible(false);
    EXPECT_EQ(QSize(panel.Width(), panel.Height()), QSize(50, 20));

    // A handler's exception leaves the child's setter.
    a->SetVisible(true);
    panel.OnResize = [](TObject*) { throw EInvalidOperation(QStringLiteral("resize")); };
    EXPECT_THROW(a->SetWidth(70), EInvalidOperation);
    EXPECT_EQ(panel.Width(), 70);
}

TEST(PanelTest, AutoSizeKeepsChildrenInsideTheClientArea)
{
    TPanel header;
    header.SetBevelOuter(bvNone);
    header.SetBounds(296, 20, 10, 10);
    TBevel* kind = new TBevel(&header);    // the narrow anchor
    TBevel* line = new TBevel(&header);    // the wider line centred on it
    TBevel* hidden = new TBevel(&header);
    kind->SetBounds(57, 0, 115, 30);
    line->SetBounds(0, 56, 250, 20);
    hidden->SetBounds(100, 100, 10, 10);
    hidden->SetVisible(false);
    header.SetAutoSize(true);
    EXPECT_EQ(QSize(header.Width(), header.Height()), QSize(250, 76));

    // Centring the line on the anchor gives it a negative Left: the others move
    // right instead of the line being cut off; the panel stays in place.
    line->SetLeft(kind->Left() + (kind->Width() - line->Width()) / 2);
    EXPECT_EQ(line->Left(), 0);
    EXPECT_EQ(kind->Left(), 67);
    EXPECT_EQ(hidden->Left(), 110);  // hidden children move with the rest
    EXPECT_EQ(header.Left(), 296);
    EXPECT_EQ(header.Width(), 250);

    // Bevels and border move the client origin inwards.
    header.SetBevelOuter(bvLowered);
    header.SetBevelInner(bvRaised);
    EXPECT_EQ(header.BorderSize(), 2);
    EXPECT_EQ(QPoint(line->Left(), kind->Top()), QPoint(2, 2));
    EXPECT_EQ(QSize(header.Width(), header.Height()), QSize(254, 80));
    header.SetBorderWidth(3);
    EXPECT_EQ(QSize(header.Width(), header.Height()), QSize(260, 86));
}

TEST(PanelTest, NestedAutoSizePanelsFollowEachOther)
{
    TPanel outer;
    outer.SetBevelOuter(bvNone);
    TPanel* inner = new TPanel(&outer);
    inner->SetBevelOuter(bvNone);
    inner->SetBounds(0, 0, 10, 10);
    TBevel* fixed = new TBevel(&outer);
    fixed->SetBounds(0, 0, 30, 30);
    TBevel* leaf = new TBevel(inner);
    leaf->SetBounds(0, 0, 20, 20);
    inner->SetAutoSize(true);
    outer.SetAutoSize(true);
    int innerResizes = 0, outerResizes = 0;
    inner->OnResize = [&](TObject*) { ++innerResizes; };
    outer.OnResize = [&](TObject*) { ++outerResizes; };

    leaf->SetBounds(0, 0, 80, 50);
    EXPECT_EQ(QSize(inner->Width(), inner->Height()), QSize(80, 50));
    EXPECT_EQ(QSize(outer.Width(), outer.Height()), QSize(80, 50));
    EXPECT_EQ(innerResizes, 1);
    EXPECT_EQ(outerResizes, 1);

    // Moving the inner block is a child change of the outer one.
    inner->SetTop(40);
    EXPECT_EQ(outer.Height(), 90);
    EXPECT_EQ(innerResizes, 1);
    EXPECT_EQ(outerResizes, 2);
}

TEST(PanelTest, DesignValuesFitWithoutFiringAndAlignFillsTheParent)
{
    TForm form;
    form.SetBounds(0, 0, 300, 200);
    TPanel* block = new TPanel(&form);
    block->setGeometry(10, 10, 500, 500);
    TBevel* child = new TBevel(block);
    child->setGeometry(0, 0, 60, 25);
    block->setProperty("AutoSize", true);
    block->setProperty("BevelOuter", QStringLiteral("bvNone"));
    block->setProperty("Caption", QStringLiteral("Неотпечатан"));
    int resizes = 0;
    block->OnResize = [&](TObject*) { ++resizes; };
    block->LoadDesignProperties();
    EXPECT_EQ(QSize(block->Width(), block->Height()), QSize(60, 25));
    EXPECT_EQ(block->Caption(), "Неотпечатан");
    EXPECT_EQ(block->BevelOuter(), bvNone);
    EXPECT_EQ(resizes, 0);
    child->SetWidth(61);
    EXPECT_EQ(resizes, 1);

    TPanel* top = new TPanel(&form);
    top->SetHeight(30);
    TPanel* client = new TPanel(&form);
    client->setProperty("Align", QStringLiteral("alClient"));
    client->LoadDesignProperties();
    top->SetAlign(alTop);
    EXPECT_EQ(client->Align(), alClient);
    EXPECT_EQ(QRect(top->Left(), top->Top(), top->Width(), top->Height()), QRect(0, 0, 300, 30));
    EXPECT_EQ(QRect(client->Left(), client->Top(), client->Width(), client->Height()), QRect(0, 30, 300, 170));

    // The window's resizes carry the aligned children along.
    form.Show();
    form.SetBounds(0, 0, 400, 260);
    QApplication::processEvents();
    EXPECT_EQ(QSize(client->Width(), client->Height()), QSize(400, 230));
    form.Hide();

    // Inside a panel, aligned children stay inside its bevels.
    TPanel* frame = new TPanel(&form);
    frame->SetBevelOuter(bvRaised);
    TBevel* fill = new TBevel(frame);
    SetAlign(fill, alClient);
    frame->SetBounds(0, 0, 100, 50);
    EXPECT_EQ(QRect(fill->Left(), fill->Top(), fill->Width(), fill->Height()), QRect(1, 1, 98, 48));
}

TEST(PanelTest, PaintsBackgroundBevelsAndKeepsChildColours)
{
    TPanel panel;
    panel.SetColor(clSilver);
    panel.SetBevelOuter(bvNone);
    panel.resize(40, 20);
    QImage img = RenderWithBackground(&panel);
    EXPECT_EQ(Pixel(img, 0, 0), QColor(192, 192, 192));
    EXPECT_EQ(Pixel(img, 39, 19), QColor(192, 192, 192));

    panel.SetBevelOuter(bvRaised);
    img = RenderWithBackground(&panel);
    EXPECT_EQ(Pixel(img, 0, 0), ColorToQColor(clBtnHighlight));
    EXPECT_EQ(Pixel(img, 39, 19), ColorToQColor(clBtnShadow));
    EXPECT_EQ(Pixel(img, 20, 10), QColor(192, 192, 192));

    // An edit on a coloured panel keeps its own white field.
    QLineEdit* edit = new QLineEdit(&panel);
    panel.SetColor(clSkyBlue);
    EXPECT_EQ(edit->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(panel.palette().color(QPalette::Window), ColorToQColor(clSkyBlue));
}

// ---- Bevel ----

TEST(BevelTest, PaintsEtchedLinesByShapeAndStyle)
{
    const QColor shadow = ColorToQColor(clBtnShadow), light = ColorToQColor(clBtnHighlight);
    TBevel bevel;
    bevel.resize(20, 2);
    bevel.SetShape(bsTopLine);
    QImage img = Render(&bevel);
    EXPECT_EQ(Pixel(img, 5, 0), shadow);
    EXPECT_EQ(Pixel(img, 5, 1), light);
    bevel.SetStyle(bsRaised);
    img = Render(&bevel);
    EXPECT_EQ(Pixel(img, 5, 0), light);
    EXPECT_EQ(Pixel(img, 5, 1), shadow);

    // A raised frame two pixels high: light over dark.
    bevel.setProperty("Shape", QStringLiteral("bsFrame"));
    bevel.setProperty("Style", QStringLiteral("bsRaised"));
    bevel.LoadDesignProperties();
    EXPECT_EQ(bevel.Shape(), bsFrame);
    img = Render(&bevel);
    EXPECT_EQ(Pixel(img, 10, 0), light);
    EXPECT_EQ(Pixel(img, 10, 1), shadow);

    // A one-pixel rule still shows.
    bevel.resize(20, 1);
    bevel.SetShape(bsBottomLine);
    bevel.SetStyle(bsLowered);
    img = Render(&bevel);
    EXPECT_EQ(Pixel(img, 10, 0), shadow);

    bevel.resize(20, 10);
    bevel.SetShape(bsSpacer);
    img = Render(&bevel);
    EXPECT_EQ(Pixel(img, 10, 5), QColor(Qt::red));
}

// ---- Gauge ----

TEST(GaugeTest, ProgressStaysInRangeAndRepaintsAtOnce)
{
    TGauge gauge;
    gauge.SetMaxValue(2048);
    gauge.SetProgress(512);
    EXPECT_EQ(gauge.PercentDone(), 25);
    gauge.SetProgress(5000);
    EXPECT_EQ(gauge.Progress(), 2048);
    gauge.SetProgress(-1);
    EXPECT_EQ(gauge.Progress(), 0);
    gauge.SetProgress(1000);
    gauge.SetMaxValue(800);
    EXPECT_EQ(gauge.Progress(), 800);
    EXPECT_EQ(gauge.PercentDone(), 100);
    gauge.SetMaxValue(0);  // an empty download
    EXPECT_EQ(gauge.PercentDone(), 0);

    // No event loop runs during a download: the change must reach the screen now.
    gauge.setProperty("ForeColor", 33023);
    gauge.setProperty("BackColor", 13882323);
    gauge.setProperty("ShowText", false);
    gauge.setProperty("BorderStyle", QStringLiteral("bsNone"));
    gauge.setProperty("MaxValue", 100);
    gauge.LoadDesignProperties();
    gauge.resize(100, 10);
    gauge.show();
    QApplication::processEvents();
    PaintCounter counter;
    gauge.installEventFilter(&counter);
    gauge.SetProgress(50);
    EXPECT_GE(counter.paints, 1);
    const int after = counter.paints;
    gauge.SetProgress(50);
    EXPECT_EQ(counter.paints, after);
    gauge.hide();

    const QImage img = Render(&gauge);
    EXPECT_EQ(Pixel(img, 10, 5), QColor(255, 128, 0));
    EXPECT_EQ(Pixel(img, 90, 5), QColor(211, 211, 211));
}

// ---- Tab control ----

TEST(TabControlTest, OnlyTheUsersChoiceFiresOnChange)
{
    ResetTestDialogs();
    TTabControl tabs;
    tabs.setProperty("Tabs", QStringList{QStringLiteral("Български език"), QStringLiteral("Английски език")});
    tabs.LoadDesignProperties();
    EXPECT_EQ(tabs.Tabs(), (QStringList{QStringLiteral("Български език"), QStringLiteral("Английски език")}));
    EXPECT_EQ(tabs.TabIndex(), 0);
    TBevel* onIt = new TBevel(&tabs);
    EXPECT_EQ(onIt->Parent(), &tabs);
    EXPECT_EQ(tabs.ControlCount(), 1);  // the tab row is not a control

    int changes = 0;
    tabs.OnChange = [&](TObject* s) {
        EXPECT_EQ(s, &tabs);
        ++changes;
    };
    tabs.SetTabIndex(1);
    EXPECT_EQ(tabs.TabIndex(), 1);
    EXPECT_EQ(changes, 0);
    EXPECT_THROW(tabs.SetTabIndex(2), EListError);

    tabs.TabBar()->setCurrentIndex(0);  // as a click on the tab does
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(tabs.TabIndex(), 0);

    tabs.OnChange = [](TObject*) { throw EDatabaseError(QStringLiteral("post failed")); };
    EXPECT_NO_THROW(tabs.TabBar()->setCurrentIndex(1));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, "post failed");
}
