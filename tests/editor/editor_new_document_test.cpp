#include "editor_fixture.h"

#include <QFile>

namespace {
const QStringList kHeader = {QStringLiteral("Пор. №"), QStringLiteral("Наименование на стоките или услугите"),
                             QStringLiteral("Мярка"), QStringLiteral("К-во"), QStringLiteral("Ед. цена"),
                             QStringLiteral("Стойност")};

QStringList Widths(TStringGrid* g)
{
    QStringList out;
    for (int c = 0; c < g->ColCount(); ++c)
        out << QString::number(g->ColWidths(c));
    return out;
}
}  // namespace

TEST_F(EditorTest, NewDocumentOnAnEmptyFolder)
{
    TOrderForm* f = OrderForm;
    NewDocument();

    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(f->Caption(), QStringLiteral("Нов Документ"));
    EXPECT_EQ(f->ComboBox2->Text(), QStringLiteral("ФАКТУРА"));
    EXPECT_EQ(f->MaskEdit1->Text(), QStringLiteral("0000000001"));
    for (TDateTimePicker* d : {f->EDate, f->EDate2, f->EDate3, f->EDate4})
        EXPECT_EQ(d->Date(), kToday) << d->Name().toStdString();
    EXPECT_EQ(f->EDate->Text(), FormatDateTime(QStringLiteral("dd.MM.yyyy 'г.'"), kToday));
    EXPECT_EQ(f->StringGrid1->Rows(0), kHeader);
    EXPECT_EQ(f->StringGrid1->RowCount(), 2);
    EXPECT_EQ(f->StringGrid1->Col(), 5);
    EXPECT_EQ(f->StringGrid1->Row(), 1);
    EXPECT_EQ(f->Edit9->Text(), QStringLiteral("20%"));
    EXPECT_EQ(f->Label11->Caption(), QStringLiteral("0"));
    EXPECT_TRUE(f->Save->Enabled());
    EXPECT_EQ(f->Panel2->Caption(), QStringLiteral("Неотпечатан"));
    EXPECT_EQ(f->Panel2->Font()->Color(), clRed);
    EXPECT_FALSE(f->StringGrid2->Visible());
    EXPECT_FALSE(f->ListBox1->Visible());
    // No company: every company edit is empty and there is no logo.
    for (TEdit* e : {f->DBText1, f->DBText2, f->DBText3, f->DBText4, f->DBText5, f->DBText6, f->DBText7,
                     f->DBText8, f->Edit11, f->Edit10, f->Bank, f->IBAN, f->SWIFT})
        EXPECT_EQ(e->Text(), QString()) << e->Name().toStdString();
    EXPECT_TRUE(f->DBImage1->Picture()->IsEmpty());
    for (TLabel* l : {Doc->Label5, Doc->Label7, Doc->Label3})
        EXPECT_EQ(l->Caption(), QStringLiteral("0"));
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST_F(EditorTest, NewDocumentAfterAnotherBlanksItButKeepsTheHeaderRow)
{
    TOrderForm* f = OrderForm;
    NewDocument();
    // A filled previous document.
    f->Edit1->SetText(QStringLiteral("Клиент АД"));
    f->Edit8->SetText(QStringLiteral("Получател"));
    f->StringGrid1->SetCells(1, 0, QStringLiteral("Описание"));
    f->StringGrid1->SetRowCount(4);
    for (int r = 1; r < 4; ++r)
        for (int c = 0; c < 6; ++c)
            f->StringGrid1->SetCells(c, r, QStringLiteral("x"));
    f->CheckBox6->SetChecked(true);
    f->SpeedButton2->SetEnabled(true);
    f->ComboBox4->SetText(QStringLiteral("чл. 28"));
    f->MaskEdit2->SetText(QStringLiteral("0000000123"));
    Doc->Label18->SetCaption(QStringLiteral("сто лева"));
    f->SetCaption(QStringLiteral("Зареден Документ"));
    f->Save->SetEnabled(false);

    NewDocument();

    QStringList header = kHeader;
    header[1] = QStringLiteral("Описание");
    EXPECT_EQ(f->StringGrid1->Rows(0), header);
    EXPECT_EQ(f->StringGrid1->RowCount(), 2);
    EXPECT_EQ(f->StringGrid1->Rows(1), QStringList(6, QString()));
    // A row regrown later must not bring old cells back.
    f->StringGrid1->SetRowCount(4);
    EXPECT_EQ(f->StringGrid1->Cells(2, 3), QString());
    EXPECT_EQ(f->Edit1->Text(), QString());
    EXPECT_EQ(f->Edit8->Text(), QString());
    EXPECT_FALSE(f->CheckBox6->Checked());
    EXPECT_FALSE(f->SpeedButton2->Enabled());
    EXPECT_EQ(f->ComboBox4->Text(), QString());
    EXPECT_EQ(f->MaskEdit2->Text(), QStringLiteral("0000000001"));
    EXPECT_EQ(Doc->Label18->Caption(), QString());
    EXPECT_EQ(f->Caption(), QStringLiteral("Нов Документ"));
    EXPECT_TRUE(f->Save->Enabled());

    // Only empty header cells take captions, each the next one of the list.
    f->StringGrid1->SetCells(3, 0, QString());
    f->Save->SetEnabled(false);  // as stored
    NewDocument();
    EXPECT_EQ(f->StringGrid1->Cells(3, 0), QStringLiteral("Пор. №"));
    EXPECT_EQ(f->StringGrid1->Cells(0, 0), QStringLiteral("Пор. №"));
}

TEST_F(EditorTest, NewDocumentAfterAnEnglishDocumentWithDiscountColumn)
{
    TOrderForm* f = OrderForm;
    NewDocument();
    // Until the discount switch has its own handler, stand in for it: it takes
    // both grids back to six columns when the box is cleared.
    QStringList calls;
    f->CheckBox7->OnClick = [&](TObject*) {
        calls << QStringLiteral("discount");
        const int cols = f->CheckBox7->Checked() ? 7 : 6;
        f->StringGrid1->SetColCount(cols);
        Doc->StringGrid2->SetColCount(cols);
    };
    f->RadioButton1->OnClick = [&](TObject*) { calls << QStringLiteral("bulgarian"); };
    f->CheckBox7->SetChecked(true);
    f->StringGrid1->SetColWidths(1, 450);
    Doc->StringGrid2->SetColWidths(1, 486);
    f->RadioButton2->SetChecked(true);
    Doc->Language = 1;
    Doc->CurrencyPrefix = QStringLiteral("EUR");
    Doc->CurrencyRate = 1.95583;
    f->Save->SetEnabled(false);  // a stored English document
    calls.clear();

    NewDocument();

    EXPECT_EQ(calls, QStringList({QStringLiteral("discount"), QStringLiteral("bulgarian")}));
    EXPECT_FALSE(f->CheckBox7->Checked());
    EXPECT_EQ(Widths(f->StringGrid1), QStringList({"49", "522", "44", "47", "72", "73"}));
    EXPECT_EQ(Widths(Doc->StringGrid2), QStringList({"49", "558", "44", "38", "63", "73"}));
    EXPECT_TRUE(f->RadioButton1->Checked());
    EXPECT_FALSE(f->RadioButton2->Checked());
    EXPECT_EQ(Doc->Language, 0);
    EXPECT_EQ(Doc->CurrencyPrefix, QString());
    EXPECT_EQ(Doc->CurrencyRate, 1.0);

    // Without the discount column the widths are left alone.
    f->StringGrid1->SetColWidths(1, 300);
    calls.clear();
    NewDocument();
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(f->StringGrid1->ColWidths(1), 300);
}

TEST_F(EditorTest, NewDocumentAfterACreditNoteEmptiesAndHidesTheAccountGrid)
{
    TOrderForm* f = OrderForm;
    NewDocument();
    f->CheckBox4->SetChecked(true);
    f->ComboBox1->SetText(QStringLiteral("Кредитно известие"));
    f->StringGrid2->Show();
    for (int r = 1; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            f->StringGrid2->SetCells(c, r, QStringLiteral("%1").arg(r * 10 + c));
    f->StringGrid2->SetCells(0, 0, QStringLiteral("№"));
    f->Save->SetEnabled(false);  // a stored credit note

    NewDocument();

    EXPECT_FALSE(f->StringGrid2->Visible());
    EXPECT_EQ(f->StringGrid2->RowCount(), 4);
    for (int r = 1; r < 4; ++r)
        EXPECT_EQ(f->StringGrid2->Rows(r), QStringList(3, QString())) << r;
    EXPECT_EQ(f->StringGrid2->Cells(0, 0), QStringLiteral("№"));
    EXPECT_FALSE(f->CheckBox4->Checked());
    EXPECT_EQ(f->ComboBox1->Text(), QString());
}

TEST_F(EditorTest, SupplierBlockFollowsTheLanguage)
{
    CompanyRecord c;
    c.name = QStringLiteral("Алфа ООД");
    c.address = QStringLiteral("София, ул. Първа 1");
    c.person = QStringLiteral("Иван Иванов");
    c.place = QStringLiteral("София");
    c.id = QStringLiteral("123456786");
    c.vatId = QStringLiteral("BG123456786");
    c.invoice = QStringLiteral("0000000009");
    c.proforma = QStringLiteral("0000000002");
    c.vop = QStringLiteral("0000000004");
    c.enName = QStringLiteral("Alfa Ltd");
    c.enAddress = QStringLiteral("1 First St, Sofia");
    c.enPerson = QStringLiteral("Ivan Ivanov");
    c.enPlace = QStringLiteral("Sofia");
    c.logo = Logo(Qt::red);
    AddCompany(c);
    TOrderForm* f = OrderForm;

    f->LoadSupplier();
    EXPECT_EQ(f->DBText1->Text(), c.name);
    EXPECT_EQ(f->DBText2->Text(), c.person);
    EXPECT_EQ(f->DBText7->Text(), c.place);
    EXPECT_EQ(f->DBText8->Text(), c.address);  // field АДРЕС, found whatever its letter case
    EXPECT_EQ(f->DBText3->Text(), c.invoice);
    EXPECT_EQ(f->DBText4->Text(), c.proforma);
    EXPECT_EQ(f->Edit11->Text(), c.vop);
    EXPECT_EQ(f->DBText5->Text(), c.id);
    EXPECT_EQ(f->DBText6->Text(), c.vatId);
    ASSERT_FALSE(f->DBImage1->Picture()->IsEmpty());
    EXPECT_EQ(f->DBImage1->Picture()->ToImage().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(f->Edit10->Text(), c.person);

    f->RadioButton2->SetChecked(true);
    f->LoadSupplier();
    EXPECT_EQ(f->DBText1->Text(), c.enName);
    EXPECT_EQ(f->DBText2->Text(), c.enPerson);
    EXPECT_EQ(f->DBText7->Text(), c.enPlace);
    EXPECT_EQ(f->DBText8->Text(), c.enAddress);
    // Counters and identification numbers stay firm's.
    EXPECT_EQ(f->DBText3->Text(), c.invoice);
    EXPECT_EQ(f->DBText5->Text(), c.id);
    EXPECT_EQ(f->DBText6->Text(), c.vatId);
    // The English record has no logo: the logo is cleared.
    EXPECT_TRUE(f->DBImage1->Picture()->IsEmpty());
    // The issuer was the Bulgarian person and follows to the English one.
    EXPECT_EQ(f->Edit10->Text(), c.enPerson);

    DataModule1->Tableae->Edit();
    DataModule1->Tableae->FieldByName(QStringLiteral("logo"))->SetAsBytes(Logo(Qt::blue));
    DataModule1->Tableae->Post();
    f->LoadSupplier();
    EXPECT_EQ(f->DBImage1->Picture()->ToImage().pixelColor(0, 0), QColor(Qt::blue));
}

TEST_F(EditorTest, BankNavigatorWalksAllAccountsAndMirrorsThemOnThePage)
{
    AddBankAccount(QStringLiteral("Първа банка"), QStringLiteral("BG11AAAA"), QStringLiteral("AAAABGSF"));
    AddBankAccount(QStringLiteral("Втора банка"), QStringLiteral("BG22BBBB"), QStringLiteral("BBBBBGSF"));
    DataModule1->details->SetRecNo(1);
    TOrderForm* f = OrderForm;
    NewDocument();
    EXPECT_EQ(f->Bank->Text(), QStringLiteral("Първа банка"));
    EXPECT_EQ(f->IBAN->Text(), QStringLiteral("BG11AAAA"));
    f->Save->SetEnabled(false);

    f->DBNavigator2->BtnClick(nbNext);
    EXPECT_EQ(f->Bank->Text(), QStringLiteral("Втора банка"));
    EXPECT_EQ(f->SWIFT->Text(), QStringLiteral("BBBBBGSF"));
    EXPECT_EQ(Doc->Label38->Caption(), QStringLiteral("Втора банка"));
    EXPECT_EQ(Doc->Label39->Caption(), QStringLiteral("BG22BBBB"));
    EXPECT_EQ(Doc->Label53->Caption(), QStringLiteral("BBBBBGSF"));
    EXPECT_TRUE(f->Save->Enabled());

    // The account stays for the next new document.
    NewDocument();
    EXPECT_EQ(f->Bank->Text(), QStringLiteral("Втора банка"));
}

TEST_F(EditorTest, DesignColumnWidthsAreRecordedAtStartAndRestored)
{
    EXPECT_EQ(OrderForm->ColumnWidths->List(),
              QStringList({"49", "522", "44", "47", "72", "73", "49", "558", "44", "38", "63", "73"}));
    EXPECT_EQ(Stocks->StringGrid1->Rows(0), QStringList({QStringLiteral("Кратко описание на стока/услуга"),
                                                         QStringLiteral("Мярка"), QStringLiteral("К-во"),
                                                         QStringLiteral("Цена")}));
    OrderForm->StringGrid1->SetColWidths(5, 1);
    Doc->StringGrid2->SetColWidths(0, 2);
    OrderForm->RestoreColumnWidths();
    EXPECT_EQ(Widths(OrderForm->StringGrid1), QStringList({"49", "522", "44", "47", "72", "73"}));
    EXPECT_EQ(Widths(Doc->StringGrid2), QStringList({"49", "558", "44", "38", "63", "73"}));
}

TEST_F(EditorTest, ClosingTheEditorSavesPaymentsPostsTheCurrencyAndClosesTheChooser)
{
    NewDocument();
    PrtD->Show();
    TTable* currency = DataModule1->currency;
    currency->Append();
    currency->FieldByName(QStringLiteral("Валута"))->SetText(QStringLiteral("EUR"));

    bool canClose = false;
    OrderForm->FormCloseQuery(OrderForm, canClose);
    EXPECT_FALSE(canClose);  // left as the window system passed it
    OrderForm->Close();

    EXPECT_FALSE(OrderForm->Visible());
    EXPECT_FALSE(PrtD->Visible());
    EXPECT_EQ(currency->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(currency->RecordCount(), 1);
    EXPECT_TRUE(QFile::exists(Path("payment.txt")));
    EXPECT_TRUE(TestDialogs().boxes.empty());
    // The contents stay until the next document.
    EXPECT_EQ(OrderForm->StringGrid1->Cells(0, 0), QStringLiteral("Пор. №"));
}

TEST_F(EditorTest, SideBarButtonsDriveTheMainWindow)
{
    TOrderForm* f = OrderForm;
    f->Show();
    f->OrderBtn->Click();
    EXPECT_EQ(f->MaskEdit1->Text(), QStringLiteral("0000000001"));
    EXPECT_EQ(f->StringGrid1->Rows(0), kHeader);

    f->SpeedButton7->Click();
    EXPECT_TRUE(CustForm->Visible());
    f->SpeedButton5->Click();
    EXPECT_TRUE(Stocks->Visible());

    f->Save->SetEnabled(false);
    f->DBText7->SetText(QStringLiteral("Пловдив"));
    EXPECT_TRUE(f->Save->Enabled());
    f->Save->SetEnabled(false);
    f->Edit8->SetText(QStringLiteral("Някой"));
    EXPECT_TRUE(f->Save->Enabled());
    f->Save->SetEnabled(false);
    f->CheckBox6->SetChecked(true);
    EXPECT_TRUE(f->Save->Enabled());

    f->ListBox1->Show();
    f->Click();  // a click on the form itself
    EXPECT_FALSE(f->ListBox1->Visible());

    // Printing recalculates first, then brings the chooser up anew.
    f->StringGrid1->SetCells(3, 1, QStringLiteral("3"));
    f->StringGrid1->SetCells(4, 1, QStringLiteral("10"));
    f->Save->SetEnabled(false);
    f->Print->Click();
    EXPECT_EQ(f->Label11->Caption(), QStringLiteral("36,00"));
    EXPECT_TRUE(f->Save->Enabled());
    EXPECT_TRUE(PrtD->Visible());

    TestDialogs().answers.push_back(mrNo);
    f->SpeedButton4->Click();
    EXPECT_FALSE(f->Visible());
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].buttons, TMsgButtons::YesNoCancel);
}
