#include "editor_fixture.h"

#include <QFontInfo>

namespace {

// Every page label that the switch writes, each once, with the footer last.
std::vector<TLabel*> SwitchedLabels()
{
    TDoc* d = Doc;
    return {d->Label8,  d->Label24, d->Label28, d->Label31, d->Label25, d->Label66, d->Label45,
            d->Label48, d->Label50, d->Label64, d->Label69, d->Label12, d->Label36, d->Label6,
            d->Label4,  d->Label58, d->Label27, d->Label44, d->Label43, d->Label42, d->Label41,
            d->Label32, d->Label51, d->Label62, d->Label13, d->Label9};
}

QStringList Captions()
{
    QStringList c;
    for (TLabel* l : SwitchedLabels())
        c << l->Caption();
    return c;
}

QStringList Kinds()
{
    QStringList k;
    TComboItems* items = OrderForm->ComboBox2->Items();
    for (int i = 0; i < items->Count(); ++i)
        k << items->Strings(i);
    return k;
}

QString DrawnFamily(TControl* c) { return QFontInfo(c->Widget()->font()).family(); }

void SwitchTo(TRadioButton* button) { OrderForm->RadioButton1Click(button); }

// What a switch decides, to compare two switches with each other.
struct Layout {
    QStringList captions, kinds;
    QString kind, taxCaption, chooser;
    bool notice, currencyGrid, currencyButtons;
    int language;
    bool operator==(const Layout&) const = default;
};

Layout Now()
{
    TOrderForm* f = OrderForm;
    return {Captions(),           Kinds(),          f->ComboBox2->Text(),     Doc->Label2->Caption(),
            PrtD->Caption(),      f->Panel4->Visible(), f->DBGrid1->Visible(), f->DBNavigator->Visible(),
            Doc->Language};
}

}  // namespace

TEST_F(EditorTest, EnglishAndBackRestoresEveryBulgarianCaptionAndTheFooter)
{
    NewDocument();
    const QStringList design = Captions();
    ASSERT_EQ(Main->BgCaptions->Count(), 27);

    OrderForm->RadioButton2->SetChecked(true);  // as the user's click does
    EXPECT_EQ(Doc->Language, 1);
    EXPECT_EQ(Doc->Label8->Caption(), QStringLiteral("Original"));
    EXPECT_EQ(Doc->Label25->Caption(), QStringLiteral("VAT"));
    EXPECT_EQ(Doc->Label66->Caption(), QStringLiteral("ID"));
    EXPECT_EQ(Doc->Label12->Caption(), QStringLiteral("Place of publishment"));
    EXPECT_EQ(Doc->Label13->Caption(), QStringLiteral("/name and signature/"));
    EXPECT_EQ(Doc->Label2->Caption(), QStringLiteral("VAT 20%\nTotal VAT"));
    EXPECT_TRUE(Doc->Label9->Caption().startsWith(QStringLiteral("Printed from DOVRENTA 2012,")));
    EXPECT_TRUE(Doc->Label9->Caption().endsWith(QLatin1Char(';')));
    EXPECT_EQ(Kinds().first(), QStringLiteral("INVOICE"));
    EXPECT_EQ(Kinds().last(), QStringLiteral("Debit note"));
    EXPECT_EQ(PrtD->Caption(), QStringLiteral("Print"));
    EXPECT_FALSE(OrderForm->Panel4->Visible());
    EXPECT_TRUE(OrderForm->DBGrid1->Visible());
    EXPECT_TRUE(OrderForm->DBNavigator->Visible());
    // The English page font is Arial, drawn with its metric twin.
    for (TControl* c : {static_cast<TControl*>(Doc->Label2), static_cast<TControl*>(Doc->Label9),
                        static_cast<TControl*>(Doc->Label25), static_cast<TControl*>(Doc->StringGrid1)})
        EXPECT_EQ(DrawnFamily(c), QStringLiteral("Liberation Sans")) << c->Name().toStdString();

    OrderForm->RadioButton1->SetChecked(true);
    EXPECT_EQ(Doc->Language, 0);
    EXPECT_EQ(Captions(), design);
    EXPECT_EQ(Doc->Label9->Caption(), BgFooterLine());
    // Left for the next page fill to write in Bulgarian.
    EXPECT_EQ(Doc->Label2->Caption(), QStringLiteral("VAT 20%\nTotal VAT"));
    EXPECT_EQ(Kinds().first(), QStringLiteral("ФАКТУРА"));
    EXPECT_EQ(Kinds().size(), 7);
    EXPECT_EQ(PrtD->Caption(), QStringLiteral("Отпечатай"));
    EXPECT_TRUE(OrderForm->Panel4->Visible());
    EXPECT_FALSE(OrderForm->DBGrid1->Visible());
    EXPECT_FALSE(OrderForm->DBNavigator->Visible());
    for (TLabel* l : SwitchedLabels())
        EXPECT_EQ(DrawnFamily(l), QStringLiteral("Liberation Serif")) << l->Name().toStdString();
    EXPECT_EQ(DrawnFamily(Doc->Label2), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(DrawnFamily(Doc->StringGrid1), QStringLiteral("Liberation Serif"));

    // The next fill writes the Bulgarian tax caption again.
    ASSERT_TRUE(OrderForm->BuildPrintView(false));
    EXPECT_EQ(Doc->Label2->Caption(), QStringLiteral("Данъчна ставка 20%\nразмер на данъка"));
}

TEST_F(EditorTest, SwitchingTwiceEqualsOnceAndBulgarianForgetsTheCurrencyEachTime)
{
    NewDocument();
    OrderForm->Edit9->SetText(QString());
    SwitchTo(OrderForm->RadioButton2);
    EXPECT_EQ(Doc->Label2->Caption(), QStringLiteral("VAT \nTotal VAT"));
    OrderForm->Edit9->SetText(QStringLiteral("20%"));
    SwitchTo(OrderForm->RadioButton2);
    const Layout english = Now();
    Doc->CurrencyPrefix = QStringLiteral("EUR");
    Doc->CurrencyRate = 1.95583;
    SwitchTo(OrderForm->RadioButton2);
    EXPECT_EQ(Now(), english);
    // English keeps the currency chosen so far.
    EXPECT_EQ(Doc->CurrencyPrefix, QStringLiteral("EUR"));
    EXPECT_EQ(Doc->CurrencyRate, 1.95583);

    SwitchTo(OrderForm->RadioButton1);
    const Layout bulgarian = Now();
    EXPECT_TRUE(Doc->CurrencyPrefix.isEmpty());
    EXPECT_EQ(Doc->CurrencyRate, 1.0);
    Doc->CurrencyPrefix = QStringLiteral("USD");
    Doc->CurrencyRate = 1.8;
    OrderForm->Save->SetEnabled(false);
    SwitchTo(OrderForm->RadioButton1);
    EXPECT_EQ(Now(), bulgarian);
    EXPECT_TRUE(Doc->CurrencyPrefix.isEmpty());
    EXPECT_EQ(Doc->CurrencyRate, 1.0);
    EXPECT_TRUE(OrderForm->Save->Enabled());
}

TEST_F(EditorTest, TheSenderDecidesTheLanguageWhateverIsChecked)
{
    CompanyRecord c;
    c.name = QStringLiteral("Кварц ООД");
    c.place = QStringLiteral("София");
    c.enName = QStringLiteral("Quartz Ltd");
    c.enPlace = QStringLiteral("Sofia");
    AddCompany(c);
    NewDocument();
    ASSERT_TRUE(OrderForm->RadioButton1->Checked());
    SwitchTo(OrderForm->RadioButton2);  // as a document load may call it
    EXPECT_EQ(Doc->Language, 1);
    EXPECT_EQ(OrderForm->ComboBox2->Text(), QStringLiteral("INVOICE"));
    EXPECT_TRUE(OrderForm->RadioButton1->Checked());

    // Checked buttons pick the company's texts of their language.
    OrderForm->RadioButton2->SetChecked(true);
    EXPECT_EQ(OrderForm->DBText1->Text(), QStringLiteral("Quartz Ltd"));
    EXPECT_EQ(OrderForm->DBText7->Text(), QStringLiteral("Sofia"));
    OrderForm->RadioButton1->SetChecked(true);
    EXPECT_EQ(OrderForm->DBText1->Text(), QStringLiteral("Кварц ООД"));
    EXPECT_EQ(Doc->Language, 0);
}

TEST_F(EditorTest, ASwitchShowsTheFirstKindWithoutRenumbering)
{
    NewDocument();
    OrderForm->ComboBox2->SetItemIndex(3);
    OrderForm->MaskEdit1->SetText(QStringLiteral("0000000042"));
    Doc->Label1->SetCaption(QStringLiteral("ПРОТОКОЛ чл.117"));
    OrderForm->ComboBox1->SetText(QStringLiteral("Дебитно известие"));
    OrderForm->StringGrid2->Show();

    OrderForm->RadioButton2->SetChecked(true);
    EXPECT_EQ(OrderForm->ComboBox2->ItemIndex(), 0);
    EXPECT_EQ(OrderForm->ComboBox2->Text(), QStringLiteral("INVOICE"));
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000042"));
    EXPECT_EQ(Doc->Label1->Caption(), QStringLiteral("ПРОТОКОЛ чл.117"));  // until the next fill
    EXPECT_TRUE(OrderForm->ComboBox1->Text().isEmpty());
    EXPECT_FALSE(OrderForm->StringGrid2->Visible());

    OrderForm->ComboBox2->SetItemIndex(4);
    OrderForm->RadioButton1->SetChecked(true);
    EXPECT_EQ(OrderForm->ComboBox2->ItemIndex(), 0);
    EXPECT_EQ(OrderForm->ComboBox2->Text(), QStringLiteral("ФАКТУРА"));
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000042"));
    EXPECT_EQ(Doc->Label1->Caption(), QStringLiteral("ПРОТОКОЛ чл.117"));
}
