// Label, edits, mask edit, up-down and date picker. None of the widgets is ever
// shown: the controls must work on windows that never appear.
#include "platform/stdctrls.h"

#include "platform/locale.h"
#include "support/keys.h"
#include "support/test_env.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

namespace {

void TypeText(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        const int key = c.isDigit() ? Qt::Key_0 + c.digitValue()
                        : c.isLetter() && c.unicode() < 128 ? Qt::Key_A + (c.toUpper().unicode() - 'A')
                                                            : Qt::Key_unknown;
        TypeKey(w, key, QString(c));
    }
}

// A container that records the children that told it of a size change and
// the mouse presses that reached it.
class TBlock : public QWidget, public TControl {
public:
    TBlock() : TControl(this) {}
    void ChildGeometryChanged(TControl* child) override { changed.push_back(child); }
    std::vector<TControl*> changed;
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

void Mouse(QWidget* w, QEvent::Type type, QPointF at = {2, 2})
{
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

bool HasInk(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    w->render(&img);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                return true;
    return false;
}

}  // namespace

// ---- Label ----

TEST(LabelTest, AutoSizeFollowsCaptionAndFontAtOnce)
{
    TBlock block;
    auto* label = new TLabel(&block);
    label->SetBounds(10, 20, 5, 5);
    int resized = 0;
    label->OnResize = [&](TObject* sender) {
        EXPECT_EQ(sender, label);
        ++resized;
    };
    block.changed.clear();

    label->SetCaption(QStringLiteral("Данъчна основа"));
    const QFontMetrics fm(label->font());
    EXPECT_EQ(label->Width(), fm.horizontalAdvance(QStringLiteral("Данъчна основа")));
    EXPECT_EQ(label->Height(), fm.height());
    EXPECT_EQ(resized, 1);
    ASSERT_EQ(block.changed.size(), 1u);
    EXPECT_EQ(block.changed[0], label);
    EXPECT_EQ(label->Left(), 10);

    // Two lines: as wide as the wider one, two lines high.
    label->SetCaption(QStringLiteral("К-во\nсклад"));
    EXPECT_EQ(label->Width(), std::max(fm.horizontalAdvance(QStringLiteral("К-во")),
                                       fm.horizontalAdvance(QStringLiteral("склад"))));
    EXPECT_EQ(label->Height(), 2 * fm.height());
    EXPECT_EQ(label->Caption(), QStringLiteral("К-во\nсклад"));
    EXPECT_EQ(label->Text(), label->Caption());

    // The same caption again changes nothing and fires nothing.
    const int before = resized;
    label->SetCaption(QStringLiteral("К-во\nсклад"));
    EXPECT_EQ(resized, before);

    // A bigger font re-measures before the setter returns.
    const int oldWidth = label->Width();
    label->Font()->SetHeight(-30);
    EXPECT_GT(label->Width(), oldWidth);
    EXPECT_EQ(label->Height(), 2 * QFontMetrics(label->font()).height());
    EXPECT_EQ(resized, before + 1);

    // An empty caption keeps one line's height.
    label->SetCaption(QString());
    EXPECT_EQ(label->Height(), QFontMetrics(label->font()).height());
    EXPECT_GT(label->Width(), 0);
}

TEST(LabelTest, AccelCharDecidesWidthAndDrawing)
{
    TLabel label;
    const QFontMetrics fm(label.font());
    label.SetCaption(QStringLiteral("A&B"));
    EXPECT_EQ(label.Width(), fm.horizontalAdvance(QStringLiteral("AB")));
    label.SetShowAccelChar(false);
    EXPECT_EQ(label.Width(), fm.horizontalAdvance(QStringLiteral("A&B")));
    label.SetShowAccelChar(true);
    label.SetCaption(QStringLiteral("R&&D"));
    EXPECT_EQ(label.Width(), fm.horizontalAdvance(QStringLiteral("R&D")));

    // A lone mark draws nothing; shown literally it draws the '&'.
    label.SetCaption(QStringLiteral("&"));
    label.resize(20, 20);
    EXPECT_FALSE(HasInk(&label));
    label.SetShowAccelChar(false);
    label.resize(20, 20);
    EXPECT_TRUE(HasInk(&label));
}

TEST(LabelTest, DesignValuesFixedSizeAndRightAlignment)
{
    TBlock block;
    auto* fixed = new TLabel(&block);
    fixed->setGeometry(0, 0, 96, 16);
    fixed->setText(QStringLiteral("as set up by the window"));
    fixed->setProperty("AutoSize", false);
    fixed->setProperty("ShowAccelChar", false);
    fixed->setProperty("FontHeight", -24);  // applied before AutoSize is known would resize it
    auto* grows = new TLabel(&block);
    grows->setGeometry(0, 30, 3, 3);
    grows->setText(QStringLiteral("Сума"));
    LoadDesignProperties(&block);

    EXPECT_EQ(fixed->Width(), 96);
    EXPECT_EQ(fixed->Height(), 16);
    EXPECT_EQ(fixed->Font()->Height(), -24);
    EXPECT_FALSE(fixed->ShowAccelChar());
    fixed->SetCaption(QStringLiteral("a much longer caption than ninety-six pixels"));
    EXPECT_EQ(fixed->Width(), 96);
    EXPECT_EQ(grows->Width(), QFontMetrics(grows->font()).horizontalAdvance(QStringLiteral("Сума")));

    // A right-aligned label grows to the left.
    TLabel right;
    right.SetAlignment(taRightJustify);
    right.SetBounds(200, 0, 10, 10);
    right.SetCaption(QStringLiteral("1 234,56"));
    EXPECT_EQ(right.Left() + right.Width(), 210);
}

TEST(LabelTest, ClicksAreTheLabelsOwn)
{
    ResetTestDialogs();
    TBlock block;
    auto* label = new TLabel(&block);
    label->SetCaption(QStringLiteral("Фактура"));
    std::vector<QString> events;
    label->OnClick = [&](TObject*) { events.push_back(QStringLiteral("click")); };
    label->OnDblClick = [&](TObject*) { events.push_back(QStringLiteral("dbl")); };
    Mouse(label, QEvent::MouseButtonPress);
    Mouse(label, QEvent::MouseButtonRelease);
    Mouse(label, QEvent::MouseButtonDblClick);
    Mouse(label, QEvent::MouseButtonRelease);
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("click"), QStringLiteral("dbl")}));
    EXPECT_EQ(block.presses, 0);

    label->OnClick = [](TObject*) { throw Exception(QStringLiteral("label")); };
    Mouse(label, QEvent::MouseButtonPress);
    EXPECT_NO_THROW(Mouse(label, QEvent::MouseButtonRelease));
    EXPECT_EQ(TestDialogs().boxes.size(), 1u);
}

// ---- Edit ----

TEST(EditTest, CodeChangeFiresOnceInsideTheSetter)
{
    TEdit edit;
    std::vector<QString> seen;
    edit.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &edit);
        seen.push_back(edit.Text());
    };
    edit.SetText(QStringLiteral("20%"));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], QStringLiteral("20%"));
    edit.SetText(QStringLiteral("20%"));
    EXPECT_EQ(seen.size(), 1u);

    // The "set to empty and back" idiom fires twice.
    const QString old = edit.Text();
    edit.SetText(QString());
    edit.SetText(old);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], QString());
    EXPECT_EQ(seen[2], QStringLiteral("20%"));

    // Read-only edits still take text from code; the generic text is the same.
    edit.SetReadOnly(true);
    TControl* c = &edit;
    c->SetText(QStringLiteral("BG123"));
    EXPECT_EQ(edit.Text(), QStringLiteral("BG123"));
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(c->ClassName(), QStringLiteral("TEdit"));

    // MaxLength limits typing and cuts longer texts set from code; 0 = none.
    EXPECT_EQ(edit.MaxLength(), 0);
    edit.setMaxLength(5);  // as a window's design sets it
    EXPECT_EQ(edit.MaxLength(), 5);
    edit.SetText(QStringLiteral("1234567"));
    EXPECT_EQ(edit.Text(), QStringLiteral("12345"));
    edit.SetMaxLength(0);
    EXPECT_EQ(edit.MaxLength(), 0);
}

TEST(EditTest, HandlerExceptionsLeaveTheSetterAndNest)
{
    TEdit a;
    TEdit b;
    std::vector<QString> order;
    a.OnChange = [&](TObject*) {
        order.push_back(QStringLiteral("a:") + a.Text());
        b.SetText(a.Text() + QStringLiteral("!"));
        order.push_back(QStringLiteral("a done"));
    };
    b.OnChange = [&](TObject*) {
        order.push_back(QStringLiteral("b:") + b.Text());
        if (b.Text() == QStringLiteral("bad!"))
            throw EConvertError(QStringLiteral("'bad' is not a valid floating point value"));
    };
    a.SetText(QStringLiteral("ok"));
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("a:ok"), QStringLiteral("b:ok!"), QStringLiteral("a done")}));

    order.clear();
    ResetTestDialogs();
    try {
        a.SetText(QStringLiteral("bad"));
        FAIL() << "the nested handler's exception must reach the caller";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, QStringLiteral("'bad' is not a valid floating point value"));
    }
    // Both texts were already set; the rest of a's handler did not run.
    EXPECT_EQ(a.Text(), QStringLiteral("bad"));
    EXPECT_EQ(b.Text(), QStringLiteral("bad!"));
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("a:bad"), QStringLiteral("b:bad!")}));
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST(EditTest, TypingFiresPerKeystrokeThroughTheKeyFilter)
{
    ResetTestDialogs();
    TEdit edit;
    std::vector<QString> changes;
    std::vector<char16_t> keys;
    edit.OnChange = [&](TObject*) { changes.push_back(edit.Text()); };
    // A rate box's filter: digits, backspace, '%' and the decimal separator.
    edit.OnKeyPress = [&](TObject* sender, char16_t& key) {
        EXPECT_EQ(sender, &edit);
        keys.push_back(key);
        const QChar c(key);
        if (!(c.isDigit() || key == 8 || c == QLatin1Char('%') || c == FormatSettings().DecimalSeparator))
            key = 0;
    };
    TypeText(&edit, QStringLiteral("2x0%"));
    EXPECT_EQ(edit.Text(), QStringLiteral("20%"));
    EXPECT_EQ(changes, (std::vector<QString>{QStringLiteral("2"), QStringLiteral("20"), QStringLiteral("20%")}));

    TypeKey(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.Text(), QStringLiteral("20"));
    TypeKey(&edit, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[4], 8);
    EXPECT_EQ(keys[5], 13);
    EXPECT_EQ(changes.size(), 4u);

    // A paste is not typed: it bypasses the filter but still changes the text.
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    edit.paste();
    EXPECT_EQ(edit.Text(), QStringLiteral("20abc"));
    EXPECT_EQ(changes.size(), 5u);
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST(EditTest, KeyHandlersCanReplaceAndSwallowKeys)
{
    TEdit edit;
    std::vector<WORD> downs;
    edit.OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        downs.push_back(key);
        if (key == VK_DOWN)
            key = 0;
    };
    edit.OnKeyPress = [&](TObject*, char16_t& key) {
        if (key == u'a')
            key = u'A';
    };
    TypeKey(&edit, Qt::Key_A, QStringLiteral("a"));
    TypeKey(&edit, Qt::Key_B, QStringLiteral("b"));
    EXPECT_EQ(edit.Text(), QStringLiteral("Ab"));
    TypeKey(&edit, Qt::Key_Enter, QStringLiteral("\r"));
    TypeKey(&edit, Qt::Key_Up);
    TypeKey(&edit, Qt::Key_Down);
    EXPECT_EQ(downs, (std::vector<WORD>{'A', 'B', VK_RETURN, VK_UP, VK_DOWN}));
}

TEST(EditTest, TypedHandlerExceptionsAreShownNotThrown)
{
    ResetTestDialogs();
    TEdit edit;
    edit.OnChange = [](TObject*) { throw EConvertError(QStringLiteral("'x' is not a valid integer value")); };
    EXPECT_NO_THROW(TypeKey(&edit, Qt::Key_X, QStringLiteral("x")));
    EXPECT_EQ(edit.Text(), QStringLiteral("x"));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("'x' is not a valid integer value"));

    // A failing key filter shows its error and the key is not typed.
    edit.OnChange = nullptr;
    edit.OnKeyPress = [](TObject*, char16_t&) { throw Exception(QStringLiteral("filter")); };
    EXPECT_NO_THROW(TypeKey(&edit, Qt::Key_Y, QStringLiteral("y")));
    EXPECT_EQ(edit.Text(), QStringLiteral("x"));
    ASSERT_EQ(TestDialogs().boxes.size(), 2u);
    EXPECT_EQ(TestDialogs().boxes[1].text, QStringLiteral("filter"));

    // From code the same exception travels out.
    edit.OnChange = [](TObject*) { throw EConvertError(QStringLiteral("boom")); };
    EXPECT_THROW(edit.SetText(QStringLiteral("z")), EConvertError);
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);
}

// ---- Mask edit ----

TEST(MaskEditTest, TenDigitMask)
{
    TMaskEdit edit;
    edit.setText(QStringLiteral("0000000001"));  // the design text, set before the mask
    edit.setProperty("EditMask", QStringLiteral("0000000000;1;_"));
    edit.LoadDesignProperties();
    EXPECT_EQ(edit.Text(), QStringLiteral("0000000001"));
    EXPECT_EQ(edit.MaxLength(), 10);
    EXPECT_EQ(edit.EditMask(), QStringLiteral("0000000000;1;_"));
    EXPECT_EQ(edit.ClassName(), QStringLiteral("TMaskEdit"));

    int changes = 0;
    edit.OnChange = [&](TObject*) { ++changes; };
    edit.SetText(QStringLiteral("0000000042"));
    EXPECT_EQ(changes, 1);
    edit.SetText(QStringLiteral("0000000042"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit.Text().toInt(), 42);

    // Too long: the first ten characters stay; unfilled places show the blank.
    edit.SetText(QStringLiteral("12345678901"));
    EXPECT_EQ(edit.Text(), QStringLiteral("1234567890"));
    edit.SetText(QStringLiteral("123"));
    EXPECT_EQ(edit.Text(), QStringLiteral("123_______"));
    EXPECT_EQ(changes, 3);

    // Typing a digit overwrites and fires; a letter is refused.
    edit.SetText(QStringLiteral("0000000001"));
    edit.setCursorPosition(0);
    TypeKey(&edit, Qt::Key_7, QStringLiteral("7"));
    EXPECT_EQ(edit.Text(), QStringLiteral("7000000001"));
    EXPECT_EQ(changes, 5);
    TypeKey(&edit, Qt::Key_Q, QStringLiteral("q"));
    EXPECT_EQ(edit.Text(), QStringLiteral("7000000001"));
}

// ---- Up-down ----

TEST(UpDownTest, StepsWriteTheYearWithGroupingAndFireTheEdit)
{
    ResetTestDialogs();
    QWidget window;
    auto* edit = new TEdit(&window);
    edit->setObjectName(QStringLiteral("Edit1"));
    auto* updown = new TUpDown(&window);
    updown->setProperty("Associate", QStringLiteral("Edit1"));
    updown->setProperty("Min", 2010);
    updown->setProperty("Max", 2030);
    updown->setProperty("Position", 2012);
    std::vector<QString> changes;
    edit->OnChange = [&](TObject*) { changes.push_back(edit->Text()); };

    LoadDesignProperties(&window);  // design values fire nothing
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(edit->Text(), QStringLiteral("2\u00A0012"));
    EXPECT_EQ(updown->Associate(), edit);

    updown->Click(true);
    EXPECT_EQ(updown->Position(), 2013);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], QStringLiteral("2\u00A0013"));
    updown->Click(false);
    updown->Click(false);
    EXPECT_EQ(edit->Text(), QStringLiteral("2\u00A0011"));
    EXPECT_EQ(changes.size(), 3u);

    // The arrows start from what the user typed, and stop at the range.
    edit->SetText(QStringLiteral("2030"));
    changes.clear();
    updown->Click(true);
    EXPECT_EQ(updown->Position(), 2030);
    ASSERT_EQ(changes.size(), 1u);  // "2030" became "2 030"
    updown->Click(true);
    EXPECT_EQ(changes.size(), 1u);

    // Up and Down in the edit step too.
    TypeKey(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Text(), QStringLiteral("2\u00A0029"));

    updown->SetThousands(false);
    updown->Click(false);
    EXPECT_EQ(edit->Text(), QStringLiteral("2028"));

    // An exception in the edit's handler during a click is shown.
    edit->OnChange = [](TObject*) { throw EConvertError(QStringLiteral("year")); };
    EXPECT_NO_THROW(updown->Click(true));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("year"));
}

TEST(UpDownTest, GroupsWithTheLocaleSeparator)
{
    TUpDown updown;
    EXPECT_EQ(updown.FormatPosition(7), QStringLiteral("7"));
    EXPECT_EQ(updown.FormatPosition(999), QStringLiteral("999"));
    EXPECT_EQ(updown.FormatPosition(1234567), QStringLiteral("1\u00A0234\u00A0567"));
    EXPECT_EQ(updown.FormatPosition(-2012), QStringLiteral("-2\u00A0012"));
    FormatSettings().ThousandSeparator = QLatin1Char(',');
    EXPECT_EQ(updown.FormatPosition(2012), QStringLiteral("2,012"));
    SetBulgarianLocale();
}

// ---- Date picker ----

TEST(DateTimePickerTest, FiresOnRealChangesOnly)
{
    ResetTestDialogs();
    TDateTimePicker picker;
    picker.SetDate(QDate(2026, 1, 1));
    int changes = 0;
    picker.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &picker);
        ++changes;
    };
    picker.SetDate(QDate(2026, 12, 8));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picker.Date(), QDate(2026, 12, 8));
    picker.SetDate(QDate(2026, 12, 8));
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(picker.SetDate(QDate()), EConvertError);

    // A user's step fires through the exception box.
    picker.stepBy(1);
    EXPECT_EQ(changes, 2);
    picker.OnChange = [](TObject*) { throw EConvertError(QStringLiteral("date")); };
    EXPECT_NO_THROW(picker.stepBy(1));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_THROW(picker.SetDate(QDate(2020, 2, 29)), EConvertError);
    EXPECT_EQ(picker.Date(), QDate(2020, 2, 29));
}

TEST(DateTimePickerTest, DisplayFormat)
{
    TDateTimePicker picker;
    picker.setProperty("Format", QStringLiteral("dd.MM.yyyy 'г.'"));
    picker.LoadDesignProperties();
    picker.SetDate(QDate(2026, 12, 8));
    EXPECT_EQ(picker.Text(), QStringLiteral("08.12.2026 г."));
    picker.SetFormat(QString());
    EXPECT_EQ(picker.Text(), QStringLiteral("08.12.2026"));

    EXPECT_EQ(DisplayFormatToQt(QStringLiteral("d/M/yy")), QStringLiteral("d/M/yy"));
    EXPECT_EQ(DisplayFormatToQt(QStringLiteral("dd 'de' MMMM yyyy")), QStringLiteral("dd 'de' MMMM yyyy"));
    EXPECT_EQ(DisplayFormatToQt(QStringLiteral("HH:mm tt")), QStringLiteral("HH:mm AP"));
    // Letters that are no field stay text; a doubled quote is a quote.
    EXPECT_EQ(DisplayFormatToQt(QStringLiteral("yyyy x 'it''s'")), QStringLiteral("yyyy 'x' 'it''s'"));
}

// ---- Keys ----

TEST(KeysTest, VirtualKeyNumbers)
{
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Return), 13);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter), 13);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Backspace), 8);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Escape), 27);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Up), 38);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Down), 40);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Delete), 46);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_5), '5');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Z), 'Z');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F12), 123);
    EXPECT_EQ(VirtualKeyFromQt(0x0410), 0);
    EXPECT_EQ(ShiftFromQt(Qt::ShiftModifier | Qt::ControlModifier), TShiftState(ssShift | ssCtrl));
}

TEST(EditTest, EditingKeysPassAKeyFilter)
{
    // A filter that lets only digits through, as the VAT box's does; the keys
    // carry their control characters, as the window system sends them.
    TEdit edit;
    edit.OnKeyPress = [](TObject*, char16_t& key) {
        if (key < u'0' || key > u'9')
            key = 0;
    };
    const auto ctrl = [&edit](Qt::Key key, char16_t control) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, QString(QChar(control)));
        QCoreApplication::sendEvent(&edit, &press);
    };
    TypeText(&edit, QStringLiteral("20x"));
    ASSERT_EQ(edit.Text(), QStringLiteral("20"));
    edit.setCursorPosition(1);
    ctrl(Qt::Key_A, 1);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("20"));
    ctrl(Qt::Key_C, 3);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("20"));
    ctrl(Qt::Key_X, 24);
    EXPECT_EQ(edit.Text(), QString());
    ctrl(Qt::Key_Z, 26);
    EXPECT_EQ(edit.Text(), QStringLiteral("20"));
    edit.setCursorPosition(2);
    ctrl(Qt::Key_V, 22);
    EXPECT_EQ(edit.Text(), QStringLiteral("2020"));
    TypeText(&edit, QStringLiteral("a9"));
    EXPECT_EQ(edit.Text(), QStringLiteral("20209"));
}
