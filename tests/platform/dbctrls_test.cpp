// Data-aware controls and the navigator, on widgets that are never shown.
#include "platform/dbctrls.h"

#include "platform/db_support.h"
#include "support/keys.h"
#include "support/test_env.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

const QString kName = QStringLiteral("Name");
const QString kPrice = QStringLiteral("Price");
const QString kPaid = QStringLiteral("Paid");
const QString kNote = QStringLiteral("Note");
const QString kLogo = QStringLiteral("Logo");

std::vector<Def> GoodsDefs()
{
    return {{kName, TFieldType::ftString, 10},
            {kPrice, TFieldType::ftCurrency, 0},
            {kPaid, TFieldType::ftBoolean, 0},
            {kNote, TFieldType::ftMemo, 1},
            {kLogo, TFieldType::ftGraphic, 1}};
}

// Three goods: "Болт 1".."Болт 3", prices 1.5, 2.5, 3.5, paid True/False/True,
// notes of two lines; the third record has an empty note.
std::unique_ptr<TTable> Goods(const QString& folder)
{
    auto t = NewTable(folder, QStringLiteral("goods.db"), GoodsDefs());
    for (int i = 1; i <= 3; ++i)
        AddRecord(*t, {{kName, QStringLiteral("Болт %1").arg(i)},
                       {kPrice, QStringLiteral("%1,5").arg(i)},
                       {kPaid, i == 2 ? QStringLiteral("False") : QStringLiteral("True")},
                       {kNote, i == 3 ? QString() : QStringLiteral("ред %1\r\nвтори").arg(i)}});
    t->First();
    return t;
}

// The three goods in a temporary folder behind a data source, under the
// Bulgarian number format.
class GoodsTest : public ::testing::Test {
protected:
    GoodsTest() { ds.SetDataSet(t.get()); }

    LocaleGuard locale;
    QTemporaryDir dir;
    std::unique_ptr<TTable> t = Goods(dir.path());
    TDataSource ds;
};
class DataAwareControls : public GoodsTest {};
class DataAwareEdit : public GoodsTest {};
class DataAwareMemo : public GoodsTest {};
class DataAwareCheckBox : public GoodsTest {};
class DataAwareComboBox : public GoodsTest {};

}  // namespace

// ---- Following the current record ----

TEST_F(DataAwareControls, FollowTheRecordAtOnceWhileHidden)
{
    QWidget window;  // never shown
    TDBEdit name(&window), price(&window);
    TDBMemo memo(&window);
    TDBText label(&window);
    TDBCheckBox paid(&window);
    TDBComboBox combo(&window);
    name.SetDataField(kName);
    price.SetDataField(kPrice);
    memo.SetDataField(kNote);
    label.SetDataField(kName);
    paid.SetDataField(kPaid);
    combo.SetDataField(kName);
    int nameChanges = 0, paidClicks = 0;
    name.OnChange = [&](TObject* s) {
        EXPECT_EQ(s, &name);
        ++nameChanges;
    };
    paid.OnClick = [&](TObject*) { ++paidClicks; };
    for (TDBFieldControl* c : std::initializer_list<TDBFieldControl*>{&name, &price, &memo, &label, &paid, &combo})
        c->SetDataSource(&ds);
    EXPECT_EQ(name.Text(), QStringLiteral("Болт 1"));
    EXPECT_EQ(nameChanges, 1);

    // A walk reads every record through the controls as it moves.
    QStringList names, prices, notes, labels, flags, combos;
    for (int i = 1; i <= t->RecordCount(); ++i) {
        t->SetRecNo(i);
        names << name.Text();
        prices << price.Text();
        notes << memo.Text();
        labels << label.Caption();
        flags << (paid.Checked() ? QStringLiteral("x") : QStringLiteral("-"));
        combos << combo.Text();
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Болт 1"), QStringLiteral("Болт 2"), QStringLiteral("Болт 3")}));
    EXPECT_EQ(combos, names);
    EXPECT_EQ(labels, names);
    EXPECT_EQ(prices, (QStringList{QStringLiteral("1,50"), QStringLiteral("2,50"), QStringLiteral("3,50")}));
    EXPECT_EQ(notes, (QStringList{QStringLiteral("ред 1\r\nвтори"), QStringLiteral("ред 2\r\nвтори"), QString()}));
    EXPECT_EQ(flags, (QStringList{QStringLiteral("x"), QStringLiteral("-"), QStringLiteral("x")}));
    EXPECT_TRUE(memo.Text().isEmpty());
    EXPECT_EQ(nameChanges, 3);
    EXPECT_EQ(paidClicks, 3);  // attached (ticked), then False, then True
    EXPECT_EQ(name.MaxLength(), 10);  // the user sees the field's size

    t->First();
    EXPECT_EQ(memo.Lines()->Count(), 2);
    EXPECT_EQ(memo.Lines()->Strings(1), QStringLiteral("втори"));

    // Append shows an empty record, Cancel brings the current one back.
    t->Append();
    EXPECT_EQ(name.Text(), QString());
    EXPECT_EQ(memo.Text(), QString());
    EXPECT_FALSE(paid.Checked());
    t->Cancel();
    EXPECT_EQ(name.Text(), QStringLiteral("Болт 1"));
    EXPECT_EQ(memo.Lines()->Strings(0), QStringLiteral("ред 1"));

    // Delete shows the record that became current; Refresh keeps it.
    t->SetRecNo(2);
    t->Delete();
    EXPECT_EQ(name.Text(), t->FieldByName(kName)->Text());
    EXPECT_EQ(label.Caption(), t->FieldByName(kName)->Text());
    t->Refresh();
    EXPECT_EQ(name.Text(), t->FieldByName(kName)->Text());

    // A closed table or a disabled data source shows nothing.
    t->Close();
    EXPECT_EQ(name.Text(), QString());
    EXPECT_EQ(memo.Text(), QString());
    EXPECT_EQ(label.Caption(), QString());
    t->Open();
    EXPECT_EQ(name.Text(), QStringLiteral("Болт 1"));
    ds.SetEnabled(false);
    EXPECT_EQ(name.Text(), QString());
    EXPECT_EQ(price.Text(), QString());
    t->SetRecNo(2);
    EXPECT_EQ(name.Text(), QString());
    ds.SetEnabled(true);
    EXPECT_EQ(name.Text(), QStringLiteral("Болт 3"));
}

TEST_F(DataAwareControls, AWalkNotReadMeanwhileIsShownWhenNeeded)
{
    QWidget window;
    window.resize(300, 200);
    TDBEdit name(&window);
    TDBMemo memo(&window);
    TDBText label(&window);
    TDBCheckBox paid(&window);
    TDBComboBox combo(&window);
    memo.setGeometry(0, 30, 200, 80);
    combo.move(0, 120);
    name.SetDataField(kName);
    memo.SetDataField(kNote);
    label.SetDataField(kPrice);
    paid.SetDataField(kPaid);
    combo.SetDataField(kName);
    for (TDBFieldControl* c : std::initializer_list<TDBFieldControl*>{&name, &memo, &label, &paid, &combo})
        c->SetDataSource(&ds);

    // Hidden: code reading after a walk gets the record it ended on.
    for (int i : {2, 3, 1, 2})
        t->SetRecNo(i);
    EXPECT_EQ(memo.Text(), QStringLiteral("ред 2\r\nвтори"));
    EXPECT_EQ(name.Text(), QStringLiteral("Болт 2"));
    EXPECT_EQ(label.Caption(), QStringLiteral("2,50"));
    EXPECT_FALSE(paid.Checked());
    EXPECT_EQ(combo.Text(), QStringLiteral("Болт 2"));
    t->SetRecNo(1);
    EXPECT_EQ(memo.Lines()->Strings(0), QStringLiteral("ред 1"));

    // What code reads without the widget equals what the widget then shows.
    t->Append();
    t->FieldByName(kName)->SetText(QStringLiteral("Дълго име!"));
    t->FieldByName(kNote)->SetAsMemo(QStringLiteral("а\rб\nв\r\n\r\nг"));
    t->FieldByName(kPrice)->SetText(QStringLiteral("1234,5"));
    t->Post();
    TDBEdit cut(&window);
    cut.setProperty("MaxLength", 4);
    cut.LoadDesignProperties();
    cut.SetDataField(kName);
    cut.SetDataSource(&ds);
    TDBEdit price(&window);
    price.SetDataField(kPrice);
    price.SetDataSource(&ds);
    for (int i = 1; i <= t->RecordCount(); ++i) {
        t->SetRecNo(i);
        const QStringList read{memo.Text(), cut.Text(), price.Text(), combo.Text(), label.Caption()};
        memo.Lines();
        for (QWidget* w : std::initializer_list<QWidget*>{&memo, &cut, &price, &combo, &label}) {
            QEvent shown(QEvent::Show);
            QCoreApplication::sendEvent(w, &shown);
        }
        EXPECT_EQ(read, (QStringList{memo.Text(), cut.text(), price.text(), combo.currentText(), label.text()}));
    }
    EXPECT_EQ(memo.Text(), QStringLiteral("а\r\nб\r\nв\r\n\r\nг"));
    EXPECT_EQ(cut.Text(), QStringLiteral("Дълг"));
    t->Delete();

    // Values set by code or a toggle after a walk act on the record moved to,
    // even where they equal what the control last showed.
    EXPECT_TRUE(paid.Checked());
    t->SetRecNo(2);
    t->Edit();
    memo.SetText(QStringLiteral("ред 1\r\nвтори"));
    name.SetText(QStringLiteral("Болт 1"));
    paid.click();
    t->Post();
    EXPECT_EQ(t->FieldByName(kNote)->AsMemo(), QStringLiteral("ред 1\r\nвтори"));
    EXPECT_EQ(t->FieldByName(kName)->Text(), QStringLiteral("Болт 1"));
    EXPECT_EQ(t->FieldByName(kPaid)->Text(), QStringLiteral("True"));

    // Shown: the widgets display the record once painted, nobody asking.
    window.show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("ред 1\nвтори"));
    t->SetRecNo(1);
    t->SetRecNo(3);
    QCoreApplication::processEvents();
    EXPECT_EQ(memo.toPlainText(), QString());
    EXPECT_EQ(name.text(), QStringLiteral("Болт 3"));
    EXPECT_EQ(combo.currentText(), QStringLiteral("Болт 3"));
    EXPECT_EQ(label.text(), QStringLiteral("3,50"));
}

TEST_F(DataAwareControls, MemoReadsTheRawValueSoAComputedTextCanUseIt)
{
    TDBMemo memo;
    memo.SetDataField(kNote);
    // The field's text is the memo's text: reading the field through the memo
    // must not come back here.
    int calls = 0;
    t->FieldByName(kNote)->OnGetText = [&](TField*, QString& text, bool) {
        ++calls;
        text = memo.Text();
    };
    memo.SetDataSource(&ds);
    t->SetRecNo(2);
    EXPECT_EQ(t->FieldByName(kNote)->Text(), QStringLiteral("ред 2\r\nвтори"));
    EXPECT_EQ(calls, 1);
}

TEST_F(DataAwareControls, DetachedControlsNeitherFollowNorChange)
{
    TDBEdit name;
    TDBImage logo;
    name.SetDataField(kName);
    name.SetDataSource(&ds);
    int changes = 0;
    name.OnChange = [&](TObject*) { ++changes; };

    name.SetDataSource(nullptr);
    EXPECT_EQ(name.DataSource(), nullptr);
    EXPECT_EQ(name.Text(), QString());
    EXPECT_EQ(changes, 1);
    t->SetRecNo(3);
    t->SetRecNo(2);
    EXPECT_EQ(name.Text(), QString());
    EXPECT_EQ(changes, 1);

    name.SetDataSource(&ds);
    EXPECT_EQ(name.Text(), QStringLiteral("Болт 2"));
    name.Repaint();

    // Unbound, the picture control is a plain holder.
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(Qt::red);
    TPicture source;
    source.Bitmap()->Assign(img);
    logo.Picture()->Assign(source);
    t->SetRecNo(1);
    EXPECT_EQ(logo.Picture()->Width(), 4);
}

// ---- Writing at the post ----

TEST_F(DataAwareEdit, TypedTextIsPostedAndSurvivesCodeWritingOtherFields)
{
    TDBEdit name, other;
    name.SetDataField(kName);
    other.SetDataField(kName);
    name.SetDataSource(&ds);
    other.SetDataSource(&ds);
    QStringList seen;
    name.OnChange = [&](TObject*) { seen << QStringLiteral("%1:%2").arg(name.Text()).arg(int(t->State())); };

    name.selectAll();
    TypeChars(&name, QStringLiteral("Гайка"));
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);  // typing starts the edit
    EXPECT_EQ(seen.front(), QStringLiteral("Г:2"));  // already editing when OnChange runs
    t->FieldByName(kPrice)->SetText(QStringLiteral("9"));  // another field, by code
    EXPECT_EQ(name.Text(), QStringLiteral("Гайка"));
    EXPECT_EQ(t->FieldByName(kName)->Text(), QStringLiteral("Болт 1"));  // not yet written
    t->Post();
    EXPECT_EQ(t->FieldByName(kName)->Text(), QStringLiteral("Гайка"));
    EXPECT_EQ(other.Text(), QStringLiteral("Гайка"));

    // Typing beyond the field's size is cut, as the user sees it.
    name.selectAll();
    TypeChars(&name, QStringLiteral("12345678901234"));
    EXPECT_EQ(name.Text(), QStringLiteral("1234567890"));
    // Code writing the same field shows the new value instead.
    t->FieldByName(kName)->SetText(QStringLiteral("Шайба"));
    EXPECT_EQ(name.Text(), QStringLiteral("Шайба"));
    t->Cancel();
    EXPECT_EQ(name.Text(), QStringLiteral("Гайка"));

    // A move posts the typed text (the table's automatic post).
    name.selectAll();
    TypeChars(&name, QStringLiteral("Винт"));
    t->SetRecNo(2);
    EXPECT_EQ(t->FieldByName(kName)->TextAt(1), QStringLiteral("Винт"));

    // Text set by code while editing reaches the field at the post; while
    // browsing it is only shown, until the next record.
    name.SetText(QStringLiteral("Само тук"));
    t->SetRecNo(3);
    EXPECT_EQ(t->FieldByName(kName)->TextAt(2), QStringLiteral("Болт 2"));
    t->Append();
    name.SetText(QStringLiteral("Нов"));
    t->Post();
    auto reread = OpenTable(dir.path(), QStringLiteral("goods.db"));
    EXPECT_EQ(Column(*reread, kName),
              (QStringList{QStringLiteral("Винт"), QStringLiteral("Болт 2"), QStringLiteral("Болт 3"),
                           QStringLiteral("Нов")}));
}

TEST_F(DataAwareEdit, RefusedEditsAndBadNumbers)
{
    TDBEdit name, price;
    name.SetDataField(kName);
    price.SetDataField(kPrice);
    name.SetDataSource(&ds);
    price.SetDataSource(&ds);

    // Without auto-edit the typing is refused and the field's text comes back.
    ds.AutoEdit = false;
    int changes = 0;
    name.OnChange = [&](TObject*) { ++changes; };
    TypeChars(&name, QStringLiteral("x"));
    EXPECT_EQ(name.Text(), QStringLiteral("Болт 1"));
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(changes, 0);
    ds.AutoEdit = true;

    // A text the number field refuses leaves the record in edit state.
    price.selectAll();
    TypeChars(&price, QStringLiteral("abc"));
    EXPECT_THROW(t->Post(), EConvertError);
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    price.selectAll();
    TypeChars(&price, QStringLiteral("7,25"));
    t->Post();
    EXPECT_EQ(t->FieldByName(kPrice)->AsFloat(), 7.25);
    EXPECT_EQ(price.Text(), QStringLiteral("7,25"));

    // Leaving the edit writes the field at once and shows the display form.
    price.selectAll();
    TypeChars(&price, QStringLiteral("2,5"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&price, &out);
    EXPECT_EQ(t->FieldByName(kPrice)->AsFloat(), 2.5);
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    EXPECT_EQ(price.Text(), QStringLiteral("2,50"));
    t->Cancel();
    EXPECT_EQ(price.Text(), QStringLiteral("7,25"));

    // With no data source at all it is a plain edit.
    TDBEdit plain;
    int plainChanges = 0;
    plain.OnChange = [&](TObject*) { ++plainChanges; };
    TypeChars(&plain, QStringLiteral("ok"));
    EXPECT_EQ(plain.Text(), QStringLiteral("ok"));
    EXPECT_EQ(plainChanges, 2);

    // On an empty table nothing can be typed.
    auto empty = NewTable(dir.path(), QStringLiteral("empty.db"), GoodsDefs());
    TDataSource emptySource;
    emptySource.SetDataSet(empty.get());
    TDBEdit onEmpty;
    onEmpty.SetDataField(kName);
    onEmpty.SetDataSource(&emptySource);
    TypeChars(&onEmpty, QStringLiteral("x"));
    EXPECT_EQ(onEmpty.Text(), QString());
    EXPECT_EQ(empty->RecordCount(), 0);
}

TEST_F(DataAwareMemo, TextIsWrittenWhenTheTableIsPosted)
{
    TDBMemo memo;
    TDBEdit name;
    memo.SetDataField(kNote);
    name.SetDataField(kName);
    memo.SetDataSource(&ds);
    name.SetDataSource(&ds);

    t->Append();
    EXPECT_TRUE(memo.Text().isEmpty());
    memo.SetText(QStringLiteral("Стоки и Услуги\r\nвтори ред"));
    name.SetText(QStringLiteral("Нов"));
    t->Post();
    EXPECT_EQ(t->FieldByName(kNote)->AsMemo(), QStringLiteral("Стоки и Услуги\r\nвтори ред"));
    EXPECT_EQ(memo.Lines()->IndexOf(QStringLiteral("ВТОРИ РЕД")), 1);

    // Set while browsing, the text is not written.
    t->SetRecNo(1);
    memo.SetText(QStringLiteral("само показан"));
    t->SetRecNo(2);
    t->SetRecNo(1);
    EXPECT_EQ(memo.Text(), QStringLiteral("ред 1\r\nвтори"));

    // Typing starts the edit; code writing another field keeps the typed text.
    memo.moveCursor(QTextCursor::End);
    TypeChars(&memo, QStringLiteral("!"));
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    t->FieldByName(kName)->SetText(QStringLiteral("Друг"));
    EXPECT_EQ(memo.Text(), QStringLiteral("ред 1\r\nвтори!"));
    t->Post();
    auto reread = OpenTable(dir.path(), QStringLiteral("goods.db"));
    EXPECT_EQ(reread->FieldByName(kNote)->AsMemo(), QStringLiteral("ред 1\r\nвтори!"));
    reread->Last();
    EXPECT_EQ(reread->FieldByName(kNote)->AsMemo(), QStringLiteral("Стоки и Услуги\r\nвтори ред"));
}

TEST(DataAwareImage, PictureChangedWhileEditingIsStoredAtThePost)
{
    QTemporaryDir dir;
    auto t = Goods(dir.path());
    const QString file = dir.filePath(QStringLiteral("logo.png"));
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(QColor(10, 120, 200));
    ASSERT_TRUE(img.save(file));
    TDataSource ds;
    ds.SetDataSet(t.get());
    TDBImage logo;
    logo.SetDataField(kLogo);
    logo.SetDataSource(&ds);
    EXPECT_TRUE(logo.Picture()->IsEmpty());

    t->SetRecNo(2);
    t->Edit();
    logo.Picture()->LoadFromFile(file);
    t->Post();
    // Loaded while browsing: shown, not stored.
    t->SetRecNo(3);
    logo.Picture()->LoadFromFile(file);
    t->SetRecNo(1);
    EXPECT_TRUE(logo.Picture()->IsEmpty());  // the record's own (empty) picture

    auto reread = OpenTable(dir.path(), QStringLiteral("goods.db"));
    TDataSource ds2;
    ds2.SetDataSet(reread.get());
    TDBImage shown;
    shown.SetDataField(kLogo);
    shown.SetDataSource(&ds2);
    reread->SetRecNo(2);
    ASSERT_FALSE(shown.Picture()->IsEmpty());
    EXPECT_EQ(shown.Picture()->Width(), 30);
    EXPECT_EQ(shown.Picture()->ToImage().pixelColor(5, 5), QColor(10, 120, 200));
    reread->SetRecNo(3);
    EXPECT_TRUE(shown.Picture()->IsEmpty());

    // Clearing by assigning an empty picture, inside an edit.
    reread->SetRecNo(2);
    reread->Edit();
    TImage empty;
    shown.Picture()->Assign(empty.Picture());
    reread->Post();
    reread->SetRecNo(1);
    reread->SetRecNo(2);
    EXPECT_TRUE(shown.Picture()->IsEmpty());
    EXPECT_TRUE(reread->FieldByName(kLogo)->IsNull());
}

TEST_F(DataAwareCheckBox, WritesTrueAndFalseIntoTheRecordUnderIt)
{
    TDBCheckBox paid;
    paid.SetCaption(QStringLiteral("Платено"));
    paid.SetDataField(kPaid);
    paid.SetDataSource(&ds);
    int clicks = 0;
    paid.OnClick = [&](TObject*) { ++clicks; };
    ASSERT_TRUE(paid.Checked());

    paid.click();  // the user's toggle
    EXPECT_FALSE(paid.Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    EXPECT_EQ(t->FieldByName(kPaid)->Text(), QStringLiteral("True"));  // written at the post
    t->Post();
    EXPECT_EQ(t->FieldByName(kPaid)->Text(), QStringLiteral("False"));
    paid.click();
    t->SetRecNo(2);  // the move posts it
    EXPECT_EQ(t->FieldByName(kPaid)->TextAt(1), QStringLiteral("True"));

    // Code ticking the box while the table edits writes it too.
    t->Edit();
    paid.SetChecked(true);
    t->Post();
    EXPECT_EQ(t->FieldByName(kPaid)->Text(), QStringLiteral("True"));

    // Without auto-edit the box does not toggle and nothing is clicked.
    ds.AutoEdit = false;
    clicks = 0;
    paid.click();
    EXPECT_TRUE(paid.Checked());
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(t->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(paid.Caption(), QStringLiteral("Платено"));
}

TEST_F(DataAwareComboBox, ItemsAndFreeTextWrittenAtThePost)
{
    TDBComboBox unit;
    unit.Items()->Add(QStringLiteral("бр."));
    unit.Items()->Add(QStringLiteral("кг"));
    unit.SetDataField(kName);
    unit.SetDataSource(&ds);
    EXPECT_EQ(unit.Text(), QStringLiteral("Болт 1"));

    unit.lineEdit()->selectAll();
    TypeChars(unit.lineEdit(), QStringLiteral("м"));
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    t->Post();
    EXPECT_EQ(t->FieldByName(kName)->Text(), QStringLiteral("м"));

    t->Edit();
    unit.SetItemIndex(1);  // a choice made by code while editing
    unit.SetText(unit.Items()->Strings(1));
    t->Post();
    EXPECT_EQ(t->FieldByName(kName)->Text(), QStringLiteral("кг"));
    t->SetRecNo(2);
    EXPECT_EQ(unit.Text(), QStringLiteral("Болт 2"));
}

// ---- Navigator ----

TEST(Navigator, ButtonsActOnTheTableAndOnClickFollows)
{
    QTemporaryDir dir;
    auto t = Goods(dir.path());
    TDataSource ds;
    ds.SetDataSet(t.get());
    EventLog log;
    log.Attach(*t);
    TDBNavigator nav;
    nav.resize(200, 25);
    nav.SetDataSource(&ds);
    QStringList clicks;
    nav.OnClick = [&](TObject* sender, TNavigateBtn b) {
        EXPECT_EQ(sender, &nav);
        clicks << QStringLiteral("%1@%2").arg(int(b)).arg(t->RecNo());  // after the action
    };

    nav.BtnClick(nbNext);
    nav.BtnClick(nbLast);
    nav.BtnClick(nbPrior);
    nav.BtnClick(nbFirst);
    EXPECT_EQ(clicks, (QStringList{QStringLiteral("2@2"), QStringLiteral("3@3"), QStringLiteral("1@2"),
                                   QStringLiteral("0@1")}));
    EXPECT_FALSE(nav.ButtonEnabled(nbPrior));
    EXPECT_TRUE(nav.ButtonEnabled(nbNext));
    EXPECT_FALSE(nav.ButtonEnabled(nbPost));

    nav.BtnClick(nbEdit);
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);
    EXPECT_TRUE(nav.ButtonEnabled(nbPost));
    EXPECT_FALSE(nav.ButtonEnabled(nbEdit));
    t->FieldByName(kName)->SetText(QStringLiteral("Ново"));
    nav.BtnClick(nbPost);
    nav.BtnClick(nbInsert);
    EXPECT_EQ(t->State(), TDataSetState::dsInsert);
    nav.BtnClick(nbCancel);
    nav.BtnClick(nbRefresh);
    EXPECT_EQ(log.events, (QStringList{QStringLiteral("scroll"), QStringLiteral("scroll"), QStringLiteral("scroll"),
                                       QStringLiteral("scroll"), QStringLiteral("post"), QStringLiteral("cancel"),
                                       QStringLiteral("refresh")}));
    EXPECT_EQ(t->FieldByName(kName)->Text(), QStringLiteral("Ново"));

    // A press of the button itself does the same.
    clicks.clear();
    nav.Button(nbLast)->click();
    EXPECT_EQ(clicks, QStringList{QStringLiteral("3@3")});

    // Detached, the buttons do nothing, but OnClick still runs.
    nav.SetDataSource(nullptr);
    EXPECT_FALSE(nav.ButtonEnabled(nbFirst));
    nav.BtnClick(nbFirst);
    EXPECT_EQ(t->RecNo(), 3);
    EXPECT_EQ(clicks.size(), 2);
}

TEST(Navigator, DeleteAsksOnlyWhileConfirmDeleteIsSet)
{
    QTemporaryDir dir;
    auto t = Goods(dir.path());
    TDataSource ds;
    ds.SetDataSet(t.get());
    TDBNavigator nav;
    nav.SetDataSource(&ds);
    int clicks = 0;
    nav.OnClick = [&](TObject*, TNavigateBtn b) {
        EXPECT_EQ(b, nbDelete);
        ++clicks;
    };
    ResetTestDialogs();

    EXPECT_TRUE(nav.ConfirmDelete);  // the default
    TestDialogs().answers = {mrNo, mrCancel};
    nav.BtnClick(nbDelete);
    nav.BtnClick(nbDelete);
    EXPECT_EQ(t->RecordCount(), 3);
    ASSERT_EQ(TestDialogs().boxes.size(), 2u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("Изтриване на записа?"));
    EXPECT_EQ(TestDialogs().boxes[0].buttons, TMsgButtons::YesNo);
    TestDialogs().answers = {mrYes};
    nav.BtnClick(nbDelete);
    EXPECT_EQ(t->RecordCount(), 2);
    EXPECT_EQ(clicks, 3);

    nav.ConfirmDelete = false;
    nav.BtnClick(nbDelete);
    EXPECT_EQ(t->RecordCount(), 1);
    EXPECT_EQ(TestDialogs().boxes.size(), 3u);
}

TEST(Navigator, DesignValues)
{
    TDBNavigator nav;
    nav.resize(100, 25);
    nav.setProperty("VisibleButtons", QStringLiteral("nbFirst|nbLast|nbDelete"));
    nav.setProperty("ConfirmDelete", false);
    nav.setProperty("Flat", true);
    nav.setProperty("Hints", QStringLiteral("Първи запис|||Последен запис|nbRefresh=Опресни"));
    nav.LoadDesignProperties();
    EXPECT_EQ(nav.VisibleButtons(), NavButtons({nbFirst, nbLast, nbDelete}));
    EXPECT_FALSE(nav.ConfirmDelete);
    EXPECT_TRUE(nav.Flat());
    EXPECT_EQ(nav.ButtonHint(nbFirst), QStringLiteral("Първи запис"));
    EXPECT_EQ(nav.ButtonHint(nbLast), QStringLiteral("Последен запис"));
    EXPECT_EQ(nav.ButtonHint(nbRefresh), QStringLiteral("Опресни"));
    EXPECT_EQ(nav.ButtonHint(nbPrior), QStringLiteral("Prior record"));
    // The visible buttons share the width.
    EXPECT_TRUE(nav.Button(nbFirst)->isVisibleTo(&nav));
    EXPECT_FALSE(nav.Button(nbNext)->isVisibleTo(&nav));
    EXPECT_EQ(nav.Button(nbFirst)->x(), 0);
    EXPECT_EQ(nav.Button(nbFirst)->width() + nav.Button(nbLast)->width() + nav.Button(nbDelete)->width(), 100);
    EXPECT_EQ(nav.Button(nbDelete)->x() + nav.Button(nbDelete)->width(), 100);
}
