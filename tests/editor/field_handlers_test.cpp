#include "editor_fixture.h"
#include "support/keys.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>

#include <string_view>
#include <QFontMetrics>
#include <QLineEdit>

namespace {

class FieldHandlers : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        f = OrderForm;
    }

    // Rows as a file of another program may hold them: the table's own check is not run.
    static void AddCurrency(const QString& name, const QString& rate)
    {
        TTable* t = DataModule1->currency;
        const TNotifyEvent check = t->BeforePost;
        t->BeforePost = nullptr;
        t->Append();
        Set(t, "Валута", name);
        Set(t, "Курс", rate);
        t->Post();
        t->BeforePost = check;
    }

    // A click in the currency grid's first column on record recNo.
    void ChooseCurrency(int recNo)
    {
        DataModule1->currency->SetRecNo(recNo);
        f->DBGrid1CellClick(f->DBGrid1->Columns()->Items(0));
    }

    TOrderForm* f = nullptr;
};

}  // namespace

TEST_F(FieldHandlers, IdentificationNumberCheckDigit)
{
    EXPECT_TRUE(f->CheckEik(QStringLiteral("123456786")));
    EXPECT_TRUE(f->Label1->Visible());
    EXPECT_FALSE(f->CheckEik(QStringLiteral("123456785")));
    // The first weights give 10: the second weights decide.
    EXPECT_TRUE(f->CheckEik(QStringLiteral("000000047")));
    EXPECT_FALSE(f->CheckEik(QStringLiteral("000000048")));
    // Both weighted sums give 10: the last digit must be 0.
    EXPECT_TRUE(f->CheckEik(QStringLiteral("000002810")));
    EXPECT_FALSE(f->CheckEik(QStringLiteral("000002811")));
    EXPECT_FALSE(f->CheckEik(QStringLiteral("12345678")));
    EXPECT_FALSE(f->CheckEik(QStringLiteral("1234567860")));
    EXPECT_FALSE(f->CheckEik(QString()));
    // A letter is an invalid number, not an error.
    EXPECT_NO_THROW(EXPECT_FALSE(f->CheckEik(QStringLiteral("12345678A"))));
    EXPECT_FALSE(f->CheckEik(QStringLiteral("1234 5678")));

    // Typed into any customer edit, the label follows the identification number.
    NewDocument();
    f->Edit7->SetText(QStringLiteral("12345678A"));
    EXPECT_TRUE(f->Label1->Visible());
    EXPECT_EQ(f->Label1->Caption(), QStringLiteral("Невалиден"));
    EXPECT_EQ(f->Label1->Font()->Color(), clRed);
    f->Edit7->SetText(QStringLiteral("123456786"));
    f->Edit1->SetText(QStringLiteral("Клиент"));
    EXPECT_EQ(f->Label1->Caption(), QStringLiteral("Валиден"));
    EXPECT_EQ(f->Label1->Font()->Color(), clGreen);
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST_F(FieldHandlers, CurrencyRateIsCheckedBeforeTheDocumentCurrencyChanges)
{
    AddCurrency(QStringLiteral("EUR"), QStringLiteral("1,5"));
    AddCurrency(QStringLiteral("USD"), QStringLiteral("1.5"));
    AddCurrency(QStringLiteral("GBP"), QStringLiteral("1.234,5"));
    AddCurrency(QStringLiteral("ZER"), QStringLiteral("0"));
    AddCurrency(QStringLiteral("NEG"), QStringLiteral("-2"));
    AddCurrency(QStringLiteral("ABC"), QStringLiteral("abc"));
    AddCurrency(QStringLiteral("NON"), QString());
    NewDocument();

    for (const QChar separator : {QLatin1Char(','), QLatin1Char('.')}) {
        SCOPED_TRACE(std::string(1, char(separator.unicode())));
        FormatSettings().DecimalSeparator = separator;
        for (int rec : {1, 2}) {
            Doc->CurrencyPrefix.clear();
            Doc->CurrencyRate = 1.0;
            f->Save->SetEnabled(false);
            ResetTestDialogs();
            ChooseCurrency(rec);
            EXPECT_DOUBLE_EQ(Doc->CurrencyRate, 1.5);
            EXPECT_EQ(Doc->CurrencyPrefix, rec == 1 ? QStringLiteral("EUR") : QStringLiteral("USD"));
            ASSERT_EQ(TestDialogs().boxes.size(), 1u);
            EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("Избраната валута е въведена."));
            EXPECT_TRUE(f->Save->Enabled());
        }
        // Refused rates keep the currency chosen before.
        for (int rec : {3, 4, 5, 6}) {
            ResetTestDialogs();
            f->Save->SetEnabled(false);
            ChooseCurrency(rec);
            EXPECT_EQ(Doc->CurrencyPrefix, QStringLiteral("USD")) << rec;
            EXPECT_DOUBLE_EQ(Doc->CurrencyRate, 1.5) << rec;
            ASSERT_EQ(TestDialogs().boxes.size(), 1u);
            EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("например 1,95583")));
            EXPECT_FALSE(f->Save->Enabled());
        }
    }

    // Only the currency column chooses.
    DataModule1->currency->SetRecNo(1);
    ResetTestDialogs();
    f->DBGrid1CellClick(f->DBGrid1->Columns()->Items(1));
    EXPECT_EQ(Doc->CurrencyPrefix, QStringLiteral("USD"));
    EXPECT_TRUE(TestDialogs().boxes.empty());

    // No rate: back to leva, silently.
    ChooseCurrency(7);
    EXPECT_EQ(Doc->CurrencyPrefix, QString());
    EXPECT_DOUBLE_EQ(Doc->CurrencyRate, 1.0);
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST_F(FieldHandlers, DiscountColumnOnBothGridsAndBackToTheDesign)
{
    NewDocument();
    TStringGrid* g = f->StringGrid1;
    TStringGrid* page = Doc->StringGrid2;
    g->SetCells(1, 1, QStringLiteral("Стока"));
    g->SetCells(3, 1, QStringLiteral("2"));
    g->SetCells(4, 1, QStringLiteral("7,50"));
    f->RecalcByRate();
    ASSERT_EQ(g->Cells(5, 1), QStringLiteral("15,00"));

    f->CheckBox7->SetChecked(true);
    EXPECT_EQ(g->ColCount(), 7);
    EXPECT_EQ(page->ColCount(), 7);
    EXPECT_EQ(g->Cells(5, 0), QStringLiteral("Отстъпка %"));
    EXPECT_EQ(g->Cells(6, 0), QStringLiteral("Стойност"));
    EXPECT_EQ(g->ColWidths(1), 522 - 72);
    EXPECT_EQ(page->ColWidths(1), 558 - 72);
    EXPECT_EQ(f->StringGrid1Button->Left(), 494);
    EXPECT_EQ(g->Cells(5, 1), QString());
    EXPECT_EQ(g->Cells(6, 1), QStringLiteral("15,00"));  // refilled by the recalculation
    g->SetCells(5, 1, QStringLiteral("10"));
    f->RecalcByRate();
    EXPECT_EQ(g->Cells(6, 1), QStringLiteral("13,50"));

    for (bool on : {false, true, false}) {
        f->Save->SetEnabled(false);
        f->CheckBox7->SetChecked(on);
        EXPECT_TRUE(f->Save->Enabled());
    }
    EXPECT_EQ(g->ColCount(), 6);
    EXPECT_EQ(page->ColCount(), 6);
    EXPECT_EQ(g->Cells(5, 0), QStringLiteral("Стойност"));
    const int design[] = {49, 522, 44, 47, 72, 73};
    const int pageDesign[] = {49, 558, 44, 38, 63, 73};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(g->ColWidths(c), design[c]) << c;
        EXPECT_EQ(page->ColWidths(c), pageDesign[c]) << c;
    }
    EXPECT_EQ(f->StringGrid1Button->Left(), 566);
    // The typed discount is gone and the value is computed without it.
    EXPECT_EQ(g->Cells(5, 1), QStringLiteral("15,00"));
    EXPECT_EQ(f->Label7->Caption(), QStringLiteral("15,00"));
}

TEST_F(FieldHandlers, HeaderNoticeAndBasisAreMirroredOntoThePage)
{
    CompanyRecord c;
    c.name = QStringLiteral("Алфа ООД");
    c.invoice = QStringLiteral("0000000041");
    c.vop = QStringLiteral("0000000003");
    AddCompany(c);
    ChooseCompany(1);
    NewDocument();
    ASSERT_EQ(f->MaskEdit1->Text(), QStringLiteral("0000000042"));

    // A kind chosen from the list takes its series' next number at once.
    f->ComboBox2->SetText(QStringLiteral("ПРОТОКОЛ чл.117"));
    f->ComboBox2Change(f->ComboBox2);
    EXPECT_EQ(f->MaskEdit1->Text(), QStringLiteral("0000000004"));
    EXPECT_EQ(Doc->Label1->Caption(), QStringLiteral("ПРОТОКОЛ чл.117"));
    EXPECT_EQ(Form1->MemList->Strings(1), QStringLiteral("ПРОТОКОЛ чл.117"));
    // The number handler mirrored number and date.
    EXPECT_EQ(Doc->Label15->Caption(),
              QStringLiteral("№ 0000000004 / Дата: ") + DateToStr(f->EDate->Date()));

    f->EDate->SetDate(QDate(2026, 3, 5));
    EXPECT_EQ(Doc->Label15->Caption(), QStringLiteral("№ 0000000004 / Дата: 05.03.2026"));
    f->EDate2->SetDate(QDate(2026, 3, 6));
    EXPECT_EQ(Doc->Label57->Caption(), QStringLiteral("06.03.2026"));
    f->EDate3->SetDate(QDate(2026, 3, 7));
    EXPECT_EQ(Doc->Label40->Caption(), QStringLiteral("07.03.2026"));

    f->EDate4->SetDate(QDate(2026, 2, 1));
    f->MaskEdit2->SetText(QStringLiteral("0000000017"));
    EXPECT_EQ(Doc->Label22->Caption(), QStringLiteral("от дата: 01.02.2026, към фактура № 0000000017"));
    f->ComboBox1->SetText(QStringLiteral("Кредитно известие"));
    f->ComboBox1Change(f->ComboBox1);
    EXPECT_EQ(Doc->Label21->Caption(), QStringLiteral("Кредитно известие"));
    EXPECT_EQ(Form1->MemList->Strings(2), QStringLiteral("Кредитно известие"));

    f->ComboBox4->SetText(QStringLiteral("чл. 28"));
    f->ComboBox4Change(f->ComboBox4);
    EXPECT_EQ(Doc->Label19->Caption(), QStringLiteral("чл. 28"));
    Doc->Label19->SetLeft(48);
    Doc->Label20->SetLeft(0);
    f->ComboBox5->SetText(QStringLiteral("основание за нулева ставка"));
    f->ComboBox5Change(f->ComboBox5);
    EXPECT_EQ(Doc->Label20->Caption(), QStringLiteral("/основание за нулева ставка/"));
    EXPECT_EQ(Doc->Label20->Left(), 48);
    // An empty basis leaves no bare slashes.
    f->ComboBox5->SetText(QString());
    f->ComboBox5Change(f->ComboBox5);
    EXPECT_EQ(Doc->Label20->Caption(), QString());
    EXPECT_EQ(Form1->MemList->Strings(3), QStringLiteral("чл. 28"));
    EXPECT_EQ(Form1->MemList->Strings(4), QString());
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST_F(FieldHandlers, AShortDefaultsFileDoesNotBreakTheCombos)
{
    NewDocument();
    // As left by a mem.txt of two lines.
    Form1->MemList->Clear();
    Form1->MemList->Add(QStringLiteral("20%"));
    Form1->MemList->Add(QStringLiteral("ФАКТУРА"));
    f->ComboBox5->SetText(QStringLiteral("основание"));
    EXPECT_NO_THROW(f->ComboBox5Change(f->ComboBox5));
    EXPECT_EQ(Form1->MemList->Count(), 5);
    EXPECT_EQ(Form1->MemList->Strings(4), QStringLiteral("основание"));
}

TEST_F(FieldHandlers, CheckBoxesEnableTheirGroupsAndStyleTheLines)
{
    NewDocument();
    f->Save->SetEnabled(false);
    f->CheckBox4->SetChecked(true);
    EXPECT_TRUE(f->ComboBox1->Enabled());
    EXPECT_TRUE(f->EDate4->Enabled());
    EXPECT_TRUE(f->MaskEdit2->Enabled());
    f->CheckBox5->SetChecked(true);
    EXPECT_TRUE(f->ComboBox4->Enabled());
    EXPECT_TRUE(f->ComboBox5->Enabled());
    EXPECT_TRUE(f->SpeedButton2->Enabled());
    EXPECT_FALSE(f->Save->Enabled());  // these two do not count as a change
    f->CheckBox4->SetChecked(false);
    EXPECT_FALSE(f->ComboBox1->Enabled());
    EXPECT_FALSE(f->MaskEdit2->Enabled());

    f->CheckBox1->SetChecked(true);
    EXPECT_TRUE(f->EDate2->Enabled());
    EXPECT_TRUE(f->Save->Enabled());
    f->Save->SetEnabled(false);
    f->CheckBox2->SetChecked(true);
    EXPECT_TRUE(f->EDate3->Enabled());
    EXPECT_TRUE(f->Save->Enabled());
    f->CheckBox2->SetChecked(false);
    EXPECT_FALSE(f->EDate3->Enabled());

    f->StringGrid1->Font()->SetStyle(fsItalic);
    f->CheckBox8->SetChecked(true);
    EXPECT_EQ(f->StringGrid1->Font()->Style(), TFontStyles(fsItalic | fsBold));
    EXPECT_TRUE(Doc->StringGrid2->Font()->Style() & fsBold);
    f->CheckBox8->SetChecked(false);
    EXPECT_EQ(f->StringGrid1->Font()->Style(), TFontStyles(fsItalic));
    EXPECT_FALSE(Doc->StringGrid2->Font()->Style() & fsBold);
}

TEST_F(FieldHandlers, QuestionMarkShowsTheFourteenLegalTexts)
{
    NewDocument();
    Doc->Show();
    f->CheckBox5->SetChecked(true);
    f->SpeedButton2->Click();
    EXPECT_FALSE(Doc->Visible());
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    const QStringList lines = TestDialogs().boxes[0].text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines[0], QStringLiteral("чл. 28с(Е)(3) 77/388/ЕЕС-за доставки на стоки като посредник в тристранна операция"));
    EXPECT_EQ(lines[10], QStringLiteral("1. получател по доставката е лице, регистрирано за целите на ДДС в друга държава членка;"));
    EXPECT_EQ(lines[13], QStringLiteral("чл.116,ал.4 от ЗДДС - Издаване на ПРОТОКОЛ по чл.116, ал. 4 от ЗДДС."));
    EXPECT_TRUE(lines[7].contains(QStringLiteral("чл. 21, ал. 3 , чл. 22 и 23 , е мястото")));
}

TEST_F(FieldHandlers, EveryKindIsReadableWholeInTheKindBox)
{
    NewDocument();
    ASSERT_TRUE(f->isVisible());
    QLineEdit* box = f->ComboBox2->lineEdit();
    ASSERT_NE(box, nullptr);
    const auto inPanel = [this](QWidget* w) {
        return QRect(w->mapTo(f->Panel3, QPoint(0, 0)), w->size());
    };
    for (TRadioButton* language : {f->RadioButton2, f->RadioButton1}) {
        language->SetChecked(true);
        f->RadioButton1Click(language);
        ASSERT_EQ(f->ComboBox2->Items()->Count(), 7);
        for (int i = 0; i < 7; ++i) {
            const QString kind = f->ComboBox2->Items()->Strings(i);
            f->ComboBox2->SetItemIndex(i);
            // With the cursor after the last letter the text is not scrolled:
            // its first letter is still in view.
            box->setCursorPosition(int(kind.size()));
            box->repaint();
            const QRect cursor = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
            EXPECT_GE(cursor.center().x(), QFontMetrics(box->font()).horizontalAdvance(kind)) << kind.toStdString();
            EXPECT_LE(cursor.right(), box->width()) << kind.toStdString();
        }
    }
    // The widened box covers none of its neighbours.
    const QRect kindBox = inPanel(f->ComboBox2);
    for (QWidget* neighbour : std::initializer_list<QWidget*>{f->Panel2, f->CheckBox6, f->GroupBox1, f->Label84, f->DBImage1})
        EXPECT_FALSE(kindBox.intersects(inPanel(neighbour))) << neighbour->objectName().toStdString();
    EXPECT_FALSE(inPanel(f->GroupBox1).intersects(inPanel(f->DBImage1)));
}

TEST_F(FieldHandlers, TheVatBoxTakesOnlyARateAndARefusedOneIsNeverUsed)
{
    AddSampleCompany();
    NewDocument();
    QApplication::setActiveWindow(f);
    f->Edit1->SetText(QStringLiteral("Клиент ООД"));
    f->StringGrid1->SetCells(1, 1, QStringLiteral("Услуга"));
    f->StringGrid1->SetCells(3, 1, QStringLiteral("1"));
    f->StringGrid1->SetCells(4, 1, QStringLiteral("100"));
    f->RecalcByRate();
    ASSERT_EQ(f->Label4->Caption(), QStringLiteral("20,00"));

    // Ctrl+A selects the whole rate (the key carries its control character,
    // as the window system sends it), so "9%" replaces it.
    f->Edit9->SetFocus();
    f->Edit9->setCursorPosition(2);
    TypeKey(f->Edit9, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
    EXPECT_EQ(f->Edit9->selectedText(), QStringLiteral("20%"));
    TypeKey(f->Edit9, Qt::Key_9, QStringLiteral("9"));
    TypeKey(f->Edit9, Qt::Key_Percent, QStringLiteral("%"));
    EXPECT_EQ(f->Edit9->Text(), QStringLiteral("9%"));
    EXPECT_EQ(f->Label4->Caption(), QStringLiteral("9,00"));
    EXPECT_EQ(f->Label11->Caption(), QStringLiteral("109,00"));

    // Over 100, a doubled '%', an exponent, a sign: marked, nothing computed from them.
    for (const char* bad : {"209%%", "209%", "100,5", "1e2", "-5", "9%9"}) {
        f->Edit9->SetText(QString::fromUtf8(bad));
        EXPECT_EQ(f->Label4->Caption(), QStringLiteral("9,00")) << bad;
        EXPECT_EQ(f->Edit9->Color(), clRed) << bad;
    }
    EXPECT_TRUE(TestDialogs().boxes.empty());
    // Typed key by key, in the box that held "20%" and then "9%", "209%%"
    // passes through "20"; leaving the box says what to type, puts back the
    // rate in force before that typing and keeps the cursor there.
    f->Edit9->SetText(QStringLiteral("9%"));
    ASSERT_EQ(QApplication::focusWidget(), f->Edit9);
    TypeKey(f->Edit9, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
    for (const char c : std::string_view("209%%"))
        TypeKey(f->Edit9, Qt::Key_unknown, QString(QChar(c)));
    ASSERT_EQ(f->Edit9->Text(), QStringLiteral("209%%"));
    f->Edit1->SetFocus();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("„209%%“")));
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("от 0 до 100")));
    EXPECT_EQ(TestDialogs().boxes[0].caption, QStringLiteral("Quarnel"));
    EXPECT_EQ(f->Edit9->Text(), QStringLiteral("9%"));
    EXPECT_EQ(f->Label4->Caption(), QStringLiteral("9,00"));
    EXPECT_EQ(QApplication::focusWidget(), f->Edit9);
    // Blanks around and the other decimal mark are a rate.
    f->Edit9->SetText(QStringLiteral(" 9.5 % "));
    EXPECT_EQ(f->Label4->Caption(), QStringLiteral("9,50"));
    f->Edit9->SetText(QStringLiteral("9%"));

    // A save never stores a refused rate: nothing is written.
    ResetTestDialogs();
    f->Edit9->SetText(QStringLiteral("150%"));
    f->Save->Click();
    EXPECT_EQ(DataModule1->store->RecordCount(), 0);
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("от 0 до 100")));
    EXPECT_EQ(f->Edit9->Text(), QStringLiteral("9%"));
    ResetTestDialogs();
    f->Save->Click();
    ASSERT_EQ(DataModule1->store->RecordCount(), 1);
    EXPECT_EQ(DataModule1->store->FieldByName(QStringLiteral("Данъчна ставка"))->TextAt(1), QStringLiteral("9%"));
    EXPECT_EQ(DataModule1->store->FieldByName(QStringLiteral("Стойност /общо/"))->TextAt(1), QStringLiteral("109,00"));
}

namespace {

// The currency rows as another workplace reading currency.db sees them: "name=rate".
QStringList StoredCurrencies()
{
    TTable file;
    file.SetDatabaseName(DataModule1->Folder());
    file.SetTableName(QStringLiteral("currency.db"));
    file.Open();
    QStringList rows;
    for (int i = 1; i <= file.RecordCount(); ++i)
        rows << file.FieldByName(QStringLiteral("Валута"))->TextAt(i) + QLatin1Char('=') +
                    file.FieldByName(QStringLiteral("Курс"))->TextAt(i);
    return rows;
}

void TypeText(const QString& text)
{
    for (QChar c : text)
        TypeKey(QApplication::focusWidget(), Qt::Key_unknown, QString(c));
}

}  // namespace

TEST_F(FieldHandlers, ACurrencyTypedAndChosenIsStoredAtOnceAndARefusedRateNever)
{
    NewDocument();
    QApplication::setActiveWindow(f);
    f->RadioButton2->SetChecked(true);
    ASSERT_TRUE(f->DBGrid1->isVisible());
    f->Edit1->SetFocus();
    TTable* currency = DataModule1->currency;

    // "+" puts the cursor into the new row, on its currency name: typing lands there.
    f->DBNavigator->BtnClick(nbInsert);
    ASSERT_EQ(currency->State(), TDataSetState::dsInsert);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_TRUE(QApplication::focusWidget() == f->DBGrid1 || f->DBGrid1->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(f->DBGrid1->SelectedIndex(), 0);
    EXPECT_EQ(f->DBGrid1->CurrentRow(), f->DBGrid1->RowCount());
    TypeText(QStringLiteral("EUR"));
    EXPECT_EQ(f->Edit1->Text(), QString());
    TypeKey(QApplication::focusWidget(), Qt::Key_Tab, QStringLiteral("\t"));
    TypeText(QStringLiteral("1,95583"));

    // Chosen: stored now, before the editor closes.
    f->DBGrid1CellClick(f->DBGrid1->Columns()->Items(0));
    EXPECT_EQ(StoredCurrencies(), QStringList{QStringLiteral("EUR=1,95583")});
    EXPECT_EQ(Doc->CurrencyPrefix, QStringLiteral("EUR"));
    EXPECT_DOUBLE_EQ(Doc->CurrencyRate, 1.95583);

    // A rate no currency has is refused when chosen: not stored, the typing kept.
    for (const char* bad : {"1e-300", "0,00001", "100001", "0x1F"}) {
        ResetTestDialogs();
        currency->Cancel();
        f->DBNavigator->BtnClick(nbInsert);
        currency->FieldByName(QStringLiteral("Валута"))->SetText(QStringLiteral("USD"));
        currency->FieldByName(QStringLiteral("Курс"))->SetText(QString::fromUtf8(bad));
        f->DBGrid1CellClick(f->DBGrid1->Columns()->Items(0));
        ASSERT_EQ(TestDialogs().boxes.size(), 1u) << bad;
        EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("например 1,95583"))) << bad;
        EXPECT_EQ(StoredCurrencies(), QStringList{QStringLiteral("EUR=1,95583")}) << bad;
        EXPECT_EQ(currency->State(), TDataSetState::dsInsert) << bad;
        EXPECT_EQ(currency->FieldByName(QStringLiteral("Курс"))->Text(), QString::fromUtf8(bad));
        EXPECT_EQ(Doc->CurrencyPrefix, QStringLiteral("EUR")) << bad;
    }
    // Nor does closing the editor store it, the document dropped or not: the editor stays open.
    ResetTestDialogs();
    TestDialogs().answers = {mrNo};
    f->Close();
    EXPECT_TRUE(f->isVisible());
    ASSERT_EQ(TestDialogs().boxes.size(), 2u);
    EXPECT_TRUE(TestDialogs().boxes[1].text.contains(QStringLiteral("например 1,95583")));
    EXPECT_EQ(StoredCurrencies(), QStringList{QStringLiteral("EUR=1,95583")});
    currency->FieldByName(QStringLiteral("Курс"))->SetText(QStringLiteral("1.1"));
    TestDialogs().answers = {mrNo};
    f->Close();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(StoredCurrencies(), (QStringList{QStringLiteral("EUR=1,95583"), QStringLiteral("USD=1.1")}));

    // A document whose rate is no rate (as an older version stored it) is not put on the page.
    NewDocument();
    f->RadioButton2->SetChecked(true);
    Doc->CurrencyPrefix = QStringLiteral("USD");
    Doc->CurrencyRate = 1e-300;
    ResetTestDialogs();
    EXPECT_FALSE(f->BuildPrintView(false));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("например 1,95583")));
}
