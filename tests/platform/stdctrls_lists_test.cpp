// Memo, rich-text box, combo box and list box, all on widgets never shown.
#include "platform/stdctrls.h"

#include "platform/printer.h"
#include "support/keys.h"
#include "support/test_env.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <vector>

namespace {

QStringList ComboItems(const QComboBox& c)
{
    QStringList out;
    for (int i = 0; i < c.count(); ++i)
        out << c.itemText(i);
    return out;
}

QStringList ListItems(const QListWidget& l)
{
    QStringList out;
    for (int i = 0; i < l.count(); ++i)
        out << l.item(i)->text();
    return out;
}

}  // namespace

// ---- Memo ----

TEST(MemoTest, LinesAndTextShowInTheControl)
{
    TMemo memo;
    memo.Lines()->Add(QStringLiteral("Извадка"));
    memo.Lines()->Add(QString());
    memo.Lines()->Add(QStringLiteral("общо: 2\u00A0012,00 лв."));
    EXPECT_EQ(memo.toPlainText().count(QLatin1Char('\n')), 2);
    EXPECT_EQ(memo.Lines()->Count(), 3);
    EXPECT_EQ(memo.Lines()->Strings(2), QStringLiteral("общо: 2\u00A0012,00 лв."));  // no-break space kept
    EXPECT_EQ(memo.Text(), QStringLiteral("Извадка\r\n\r\nобщо: 2\u00A0012,00 лв."));
    EXPECT_THROW(memo.Lines()->Strings(3), EListError);

    memo.Lines()->Insert(0, QStringLiteral("first"));
    memo.Lines()->Delete(2);
    memo.Lines()->SetStrings(1, QStringLiteral("second"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("first\nsecond\nобщо: 2 012,00 лв."));

    // CR LF, LF or CR; a final line break shows no extra line.
    memo.SetText(QStringLiteral("a\r\nb\rc\n"));
    EXPECT_EQ(memo.Lines()->List(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(memo.Text(), QStringLiteral("a\r\nb\r\nc\r\n"));
    memo.Lines()->Assign(QStringList{QStringLiteral("x"), QStringLiteral("y")});
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("x\ny"));
    memo.Lines()->SetText(QStringLiteral("one\r\ntwo\r\n"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("one\ntwo"));
    memo.Clear();
    EXPECT_EQ(memo.toPlainText(), QString());
    EXPECT_EQ(memo.Lines()->Count(), 0);

    // Text the widget got elsewhere (a design text) reads back as lines.
    TMemo designed;
    designed.setPlainText(QStringLiteral("l1\n2\u00A0012"));
    EXPECT_EQ(designed.Lines()->Count(), 2);
    EXPECT_EQ(designed.Lines()->Strings(1), QStringLiteral("2\u00A0012"));

    // Another list takes the memo's lines.
    TStringList copy;
    copy.Assign(*designed.Lines());
    EXPECT_EQ(copy.Count(), 2);
}

TEST(MemoTest, ChangeEvents)
{
    ResetTestDialogs();
    TMemo memo;
    int changes = 0;
    memo.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &memo);
        ++changes;
    };
    memo.SetText(QStringLiteral("a\r\nb"));
    EXPECT_EQ(changes, 1);
    memo.SetText(QStringLiteral("a\nb"));  // the same text
    EXPECT_EQ(changes, 1);
    memo.SetText(QStringLiteral("a\r\n2\u00A0012"));
    memo.SetText(QStringLiteral("a\r\n2\u00A0012"));
    EXPECT_EQ(changes, 2);
    memo.SetText(QStringLiteral("a\r\nb"));
    EXPECT_EQ(changes, 3);
    memo.Lines()->Add(QStringLiteral("c"));
    EXPECT_EQ(changes, 4);

    memo.OnChange = [](TObject*) { throw EInvalidOperation(QStringLiteral("code")); };
    EXPECT_THROW(memo.Lines()->Add(QStringLiteral("d")), EInvalidOperation);
    EXPECT_EQ(memo.Lines()->Count(), 4);

    // Typing fires once per key, through the exception box.
    memo.OnChange = [&](TObject*) { ++changes; };
    memo.moveCursor(QTextCursor::End);
    TypeChars(&memo, QStringLiteral("ef"));
    EXPECT_EQ(changes, 6);
    EXPECT_EQ(memo.Lines()->Strings(3), QStringLiteral("def"));
    TypeKey(&memo, Qt::Key_Return, QStringLiteral("\r"));
    TypeChars(&memo, QStringLiteral("g"));
    EXPECT_EQ(memo.Lines()->Count(), 5);
    EXPECT_EQ(memo.Lines()->Strings(4), QStringLiteral("g"));

    memo.OnChange = [](TObject*) { throw EInvalidOperation(QStringLiteral("typed")); };
    EXPECT_NO_THROW(TypeChars(&memo, QStringLiteral("h")));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("typed"));
    EXPECT_EQ(memo.Lines()->Strings(4), QStringLiteral("gh"));
}

// ---- Rich-text box ----

TEST(RichEditTest, LinesSelectionAndClipboard)
{
    TRichEdit rich;
    rich.SetReadOnly(true);
    EXPECT_FALSE(rich.WordWrap());
    rich.Lines()->Add(QStringLiteral("Извадка за платени фактури"));
    rich.Lines()->Add(QStringLiteral("1.Клиент: X"));
    EXPECT_EQ(rich.Lines()->Count(), 2);
    EXPECT_EQ(rich.toPlainText(), QStringLiteral("Извадка за платени фактури\n1.Клиент: X"));

    QClipboard* clip = QApplication::clipboard();
    clip->setText(QStringLiteral("before"));
    rich.CopyToClipboard();  // nothing selected: nothing copied
    EXPECT_EQ(clip->text(), QStringLiteral("before"));
    rich.SelectAll();
    EXPECT_EQ(rich.SelText(), QStringLiteral("Извадка за платени фактури\r\n1.Клиент: X"));
    rich.CopyToClipboard();
    EXPECT_EQ(clip->text(), QStringLiteral("Извадка за платени фактури\n1.Клиент: X"));

    rich.Clear();
    EXPECT_EQ(rich.Lines()->Count(), 0);
    EXPECT_TRUE(rich.toPlainText().isEmpty());
}

TEST(RichEditTest, PrintsTheWholeTextAsOneJobAtItsPointSize)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TRichEdit rich;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);  // as a design's font height sets it
    rich.setFont(font);
    for (int i = 1; i <= 120; ++i)
        rich.Lines()->Add(QStringLiteral("%1.Клиент: ред").arg(i));
    QPrinter* printer = Printer()->QtPrinter();
    const QPrinter::OutputFormat format = printer->outputFormat();
    const QString oldFile = printer->outputFileName();
    const QString file = dir.filePath(QStringLiteral("extract.pdf"));
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    rich.Print(QStringLiteral("Quarnel"));
    EXPECT_EQ(printer->docName(), QStringLiteral("Quarnel"));
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // Some fifty lines of about 12 pt to a page, not all 120 on one: several pages, one file.
    EXPECT_GE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 3);
    EXPECT_EQ(rich.font().pixelSize(), 16);  // the window's own text is left as it was

    printer->setOutputFileName(QString());
    printer->setOutputFormat(QPrinter::PdfFormat);
    EXPECT_THROW(rich.Print(QStringLiteral("Quarnel")), EPrinter);
    printer->setOutputFormat(format);
    printer->setOutputFileName(oldFile);
}

// ---- Combo box ----

TEST(ComboBoxTest, ItemsFromCodeShowAndFireNothing)
{
    TComboBox combo;
    int fired = 0;
    combo.OnChange = [&](TObject*) { ++fired; };
    combo.OnSelect = [&](TObject*) { ++fired; };
    combo.addItem(QStringLiteral("по сметка"));  // a design item
    EXPECT_EQ(combo.Items()->Count(), 1);
    EXPECT_EQ(combo.Items()->Strings(0), QStringLiteral("по сметка"));

    combo.SetText(QStringLiteral("typed"));
    combo.SetItemIndex(-1);
    combo.SetText(QStringLiteral("typed"));
    combo.Items()->Clear();
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(combo.Text(), QStringLiteral("typed"));  // the text outlives the items

    // Adding to an empty combo selects nothing and keeps the text.
    combo.Items()->Add(QStringLiteral("в брой"));
    combo.Items()->Add(QStringLiteral("с карта"));
    combo.Items()->Insert(0, QStringLiteral("по сметка"));
    EXPECT_EQ(ComboItems(combo), (QStringList{QStringLiteral("по сметка"), QStringLiteral("в брой"), QStringLiteral("с карта")}));
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.Text(), QStringLiteral("typed"));
    EXPECT_EQ(combo.SelectedText(), QString());

    combo.SetItemIndex(1);
    EXPECT_EQ(combo.Text(), QStringLiteral("в брой"));
    EXPECT_EQ(combo.SelectedText(), QStringLiteral("в брой"));
    combo.Items()->Insert(0, QStringLiteral("нов"));  // the selection moves with its item
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_EQ(combo.Text(), QStringLiteral("в брой"));
    combo.Items()->Delete(2);  // ... and is lost with it
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.Text(), QStringLiteral("в брой"));
    EXPECT_THROW(combo.Items()->Delete(5), EListError);

    TStringList months;
    months.Assign(QStringList{QStringLiteral("Януари"), QStringLiteral("Февруари")});
    combo.Items()->Assign(months);
    EXPECT_EQ(ComboItems(combo), months.List());
    combo.SetItemIndex(7);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.Text(), QString());
    EXPECT_EQ(fired, 0);
}

TEST(ComboBoxTest, ExactSearchIgnoresLetterCase)
{
    TComboBox combo;
    combo.Items()->Assign(QStringList{QStringLiteral("по сметка"), QStringLiteral("В брой"), QStringLiteral("Май")});
    EXPECT_EQ(combo.FindExact(QStringLiteral("ПО СМЕТКА")), 0);
    EXPECT_EQ(combo.FindExact(QStringLiteral("в БРОЙ")), 1);
    EXPECT_EQ(combo.FindExact(QStringLiteral("май")), 2);
    EXPECT_EQ(combo.FindExact(QStringLiteral("по")), -1);
    EXPECT_EQ(combo.FindExact(QStringLiteral("по сметка ")), -1);
    EXPECT_EQ(combo.FindExact(QString()), -1);
}

TEST(ComboBoxTest, UserTypingAndChoosing)
{
    ResetTestDialogs();
    TComboBox combo;
    combo.Items()->Assign(QStringList{QStringLiteral("по сметка"), QStringLiteral("в брой")});
    std::vector<QString> events;
    combo.OnChange = [&](TObject*) { events.push_back(QStringLiteral("change:") + combo.Text()); };
    combo.SetItemIndex(0);
    TypeChars(combo.lineEdit(), QStringLiteral("!"));
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("change:по сметка!")}));
    EXPECT_EQ(combo.ItemIndex(), -1);  // typing leaves no item selected

    // Choosing an item: OnChange without an OnSelect, OnSelect instead when there is one.
    events.clear();
    combo.SetItemIndex(0);
    emit combo.activated(0);
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("change:по сметка")}));
    events.clear();
    combo.OnSelect = [&](TObject*) { events.push_back(QStringLiteral("select:") + combo.Text()); };
    combo.OnClick = [&](TObject*) { events.push_back(QStringLiteral("click")); };
    TypeKey(combo.lineEdit(), Qt::Key_Down);  // the arrow chooses the next item
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("click"), QStringLiteral("select:в брой")}));

    // Nothing is completed: the text is what was typed (completion needs focus).
    combo.show();
    combo.activateWindow();
    combo.setFocus();
    QCoreApplication::processEvents();
    combo.SetText(QString());
    TypeChars(combo.lineEdit(), QStringLiteral("п"));
    EXPECT_EQ(combo.Text(), QStringLiteral("п"));
    combo.hide();

    combo.OnChange = [](TObject*) { throw EConvertError(QStringLiteral("typed")); };
    EXPECT_NO_THROW(TypeChars(combo.lineEdit(), QStringLiteral("x")));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("typed"));
}

TEST(ComboBoxTest, EnterKeyAddsANewMethodOnlyOnce)
{
    TComboBox combo;
    combo.Items()->Add(QStringLiteral("по сметка"));
    int selects = 0;
    combo.OnSelect = [&](TObject*) { ++selects; };
    std::vector<WORD> keys;
    combo.OnKeyDown = [&](TObject* sender, WORD& key, TShiftState) {
        EXPECT_EQ(sender, &combo);
        keys.push_back(key);
        if (key == VK_RETURN && combo.FindExact(combo.Text()) < 0)
            combo.Items()->Insert(0, combo.Text());
    };
    TypeChars(combo.lineEdit(), QStringLiteral("в брой"));
    TypeKey(combo.lineEdit(), Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(ComboItems(combo), (QStringList{QStringLiteral("в брой"), QStringLiteral("по сметка")}));
    EXPECT_EQ(combo.Text(), QStringLiteral("в брой"));
    EXPECT_EQ(keys.back(), VK_RETURN);

    // Enter on a listed method in other letter case changes nothing.
    combo.SetText(QStringLiteral("ПО СМЕТКА"));
    TypeKey(combo.lineEdit(), Qt::Key_Enter, QStringLiteral("\r"));
    EXPECT_EQ(ComboItems(combo), (QStringList{QStringLiteral("в брой"), QStringLiteral("по сметка")}));
    EXPECT_EQ(combo.Text(), QStringLiteral("ПО СМЕТКА"));
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(selects, 0);

    // A key handler can swallow a key.
    combo.OnKeyDown = [](TObject*, WORD& key, TShiftState) { key = 0; };
    TypeKey(combo.lineEdit(), Qt::Key_Z, QStringLiteral("z"));
    EXPECT_EQ(combo.Text(), QStringLiteral("ПО СМЕТКА"));
}

TEST(ComboBoxTest, DropDownRefillsBeforeTheListOpens)
{
    TComboBox combo;
    combo.SetText(QStringLiteral("Собствена фирма..."));
    int drops = 0;
    combo.OnDropDown = [&](TObject*) {
        ++drops;
        combo.Items()->Clear();
        combo.Items()->Add(QStringLiteral("Фирма %1").arg(drops));
        combo.Items()->Add(QStringLiteral("Фирма Б"));
    };
    combo.showPopup();
    combo.hidePopup();
    combo.showPopup();
    combo.hidePopup();
    EXPECT_EQ(drops, 2);
    EXPECT_EQ(ComboItems(combo), (QStringList{QStringLiteral("Фирма 2"), QStringLiteral("Фирма Б")}));
    EXPECT_EQ(combo.Text(), QStringLiteral("Собствена фирма..."));
    EXPECT_EQ(combo.SelectedText(), QString());
}

TEST(ComboBoxTest, DropDownListStyle)
{
    TComboBox combo;
    combo.setProperty("Style", QStringLiteral("csDropDownList"));
    combo.LoadDesignProperties();
    EXPECT_EQ(combo.Style(), csDropDownList);
    EXPECT_FALSE(combo.isEditable());
    combo.Items()->Assign(QStringList{QStringLiteral("Януари"), QStringLiteral("Февруари")});
    combo.SetText(QStringLiteral("февруари"));
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(combo.Text(), QStringLiteral("Февруари"));
    combo.SetStyle(csDropDown);
    EXPECT_TRUE(combo.isEditable());
    int changes = 0;
    combo.OnChange = [&](TObject*) { ++changes; };
    TypeChars(combo.lineEdit(), QStringLiteral("x"));
    EXPECT_EQ(changes, 1);
}

// ---- List box ----

TEST(ListBoxTest, ItemsIndexAndUserClicks)
{
    ResetTestDialogs();
    TListBox list;
    list.resize(200, 100);
    EXPECT_EQ(list.ItemHeight(), 14);
    int clicks = 0;
    list.OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++clicks;
    };
    list.Items()->Add(QStringLiteral("Стока 1"));
    list.Items()->Add(QStringLiteral("Стока 2"));
    list.Items()->Add(QStringLiteral("Услуга"));
    EXPECT_EQ(ListItems(list), list.Items()->List());
    EXPECT_EQ(list.ItemIndex(), -1);

    list.SetItemIndex(1);
    EXPECT_EQ(list.ItemIndex(), 1);
    list.SetItemIndex(-1);
    EXPECT_EQ(list.ItemIndex(), -1);
    list.SetItemIndex(3);
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(clicks, 0);

    // Replaced by a filtered list: the selection follows its item.
    list.SetItemIndex(2);
    list.Items()->Assign(QStringList{QStringLiteral("Стока 2"), QStringLiteral("Услуга")});
    EXPECT_EQ(ListItems(list), (QStringList{QStringLiteral("Стока 2"), QStringLiteral("Услуга")}));
    EXPECT_EQ(list.ItemIndex(), 1);
    list.Items()->Clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.ItemIndex(), -1);

    // A long list cut down in its middle: same items, the selection follows.
    QStringList many;
    for (int i = 0; i < 200; ++i)
        many << QStringLiteral("ред %1").arg(i);
    list.Items()->Assign(many);
    list.SetItemIndex(150);
    QStringList cut = many;
    cut.remove(10, 100);
    cut.insert(10, QStringLiteral("нов"));
    list.Items()->Assign(cut);
    EXPECT_EQ(ListItems(list), cut);
    EXPECT_EQ(list.ItemIndex(), 51);
    list.SetItemIndex(5);
    list.Items()->Assign(many.mid(100));
    EXPECT_EQ(ListItems(list), many.mid(100));
    EXPECT_EQ(list.ItemIndex(), -1);
    list.Items()->Clear();

    list.Items()->Assign(QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    list.doItemsLayout();
    const QRect second = list.visualItemRect(list.item(1));
    EXPECT_EQ(second.height(), 14);
    EXPECT_EQ(second.top(), 14);
    const QPointF at = second.center();
    QMouseEvent press(QEvent::MouseButtonPress, at, list.viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, list.viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &release);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.ItemIndex(), 1);

    list.OnClick = [](TObject*) { throw EListError(QStringLiteral("click")); };
    EXPECT_NO_THROW(emit list.itemClicked(list.item(0)));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("click"));
}
