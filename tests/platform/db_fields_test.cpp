// Fields: names, texts of each type, blobs, and field objects across reopening.

#include "platform/db_support.h"
#include "platform/sysutils.h"

using namespace dbtest;

namespace {

std::vector<Def> FirmDefs()
{
    return {{QStringLiteral("Фактура №"), TFieldType::ftString, 10},
            {QStringLiteral("ДОСТАВЧИК"), TFieldType::ftString, 255},
            {QStringLiteral("АДРЕС"), TFieldType::ftString, 255},
            {QStringLiteral("ИН ПО ЗДДС"), TFieldType::ftString, 20},
            {QStringLiteral("Лого"), TFieldType::ftGraphic, 1}};
}

std::vector<Def> MixedDefs()
{
    return {{QStringLiteral("Статус"), TFieldType::ftBoolean, 0},
            {QStringLiteral("К-во"), TFieldType::ftFloat, 0},
            {QStringLiteral("Цена"), TFieldType::ftCurrency, 0},
            {QStringLiteral("Мярка"), TFieldType::ftString, 5},
            {QStringLiteral("Описание"), TFieldType::ftMemo, 1},
            {QStringLiteral("Лого"), TFieldType::ftGraphic, 1}};
}

}  // namespace

TEST(TableFields, NamesMatchWithoutLetterCase)
{
    QTemporaryDir dir;
    auto t = NewTable(dir.path(), QStringLiteral("Firm.db"), FirmDefs());
    TField* vat = t->FieldByName(QStringLiteral("ИН ПО ЗДДС"));
    EXPECT_EQ(t->FieldByName(QStringLiteral("ИН по ЗДДС")), vat);
    EXPECT_EQ(t->FieldByName(QStringLiteral("ин по зддс")), vat);
    EXPECT_EQ(t->FieldByName(QStringLiteral("Адрес")), t->Fields(2));
    EXPECT_EQ(t->FindField(QStringLiteral("Доставчик")), t->Fields(1));
    EXPECT_EQ(vat->Index(), 3);
    EXPECT_EQ(vat->DataSet(), t.get());
    EXPECT_EQ(t->FindField(QStringLiteral("ИН по ЗДДС ")), nullptr);
    try {
        t->FieldByName(QStringLiteral("Лице"));
        FAIL() << "no exception";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, QStringLiteral("Полето „Лице“ липсва в таблица „Firm.db“.\nИзберете папката, в която са "
                                            "данните на програмата."));
    }
    EXPECT_THROW(t->Fields(5), EListError);
    EXPECT_THROW(t->Fields(-1), EListError);
}

TEST(TableFields, TextsOfEachTypeInTheLocale)
{
    LocaleGuard locale;
    QTemporaryDir dir;
    auto t = NewTable(dir.path(), QStringLiteral("stock.db"), MixedDefs());
    TField* flag = t->FieldByName(QStringLiteral("Статус"));
    TField* qty = t->FieldByName(QStringLiteral("К-во"));
    TField* price = t->FieldByName(QStringLiteral("Цена"));
    TField* unit = t->FieldByName(QStringLiteral("Мярка"));

    t->Append();
    // An empty record: every text is empty, the boolean too (StrToBool must fail on it).
    for (TField* f : {flag, qty, price, unit}) {
        EXPECT_EQ(f->Text(), QString()) << f->FieldName().toStdString();
        EXPECT_TRUE(f->IsNull());
    }
    EXPECT_EQ(qty->AsFloat(), 0.0);

    flag->SetText(QStringLiteral("true"));
    qty->SetText(QStringLiteral(" 2,5 "));
    price->SetText(QStringLiteral("1234,5"));
    unit->SetText(QStringLiteral("килограм"));  // string(5): cut as the class library does
    EXPECT_EQ(unit->Text(), QStringLiteral("килог"));
    t->Post();
    t->Close();
    t->Open();
    EXPECT_EQ(flag->Text(), QStringLiteral("True"));
    EXPECT_EQ(qty->Text(), QStringLiteral("2,5"));
    EXPECT_EQ(qty->AsFloat(), 2.5);
    EXPECT_EQ(price->Text(), QStringLiteral("1234,5"));  // a plain number, no currency sign
    EXPECT_EQ(price->DisplayText(), QStringLiteral("1234,50"));
    EXPECT_EQ(qty->DisplayText(), QStringLiteral("2,5"));
    EXPECT_EQ(unit->Text(), QStringLiteral("килог"));

    t->Edit();
    // Bad texts are refused at once and leave the value and the edit state.
    EXPECT_THROW(qty->SetText(QStringLiteral("2.5")), EConvertError);
    EXPECT_THROW(qty->SetText(QStringLiteral("2,5,1")), EConvertError);
    EXPECT_THROW(price->SetText(QStringLiteral("12 лв.")), EConvertError);
    EXPECT_THROW(qty->SetText(QStringLiteral("inf")), EConvertError);
    EXPECT_THROW(flag->SetText(QStringLiteral("да")), EConvertError);
    try {
        qty->SetText(QStringLiteral("abc"));
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, InvalidNumberText(QStringLiteral("abc")));
    }
    EXPECT_EQ(qty->Text(), QStringLiteral("2,5"));
    EXPECT_EQ(t->State(), TDataSetState::dsEdit);

    flag->SetText(QStringLiteral("False"));
    EXPECT_EQ(flag->Text(), QStringLiteral("False"));
    qty->SetText(QStringLiteral("-1,5E20"));
    EXPECT_EQ(qty->Text(), QStringLiteral("-1,5E20"));
    qty->SetText(QStringLiteral("0,1"));
    EXPECT_EQ(qty->Text(), QStringLiteral("0,1"));
    price->SetText(QString());
    EXPECT_TRUE(price->IsNull());
    EXPECT_EQ(price->DisplayText(), QString());
    flag->SetText(QString());
    EXPECT_EQ(flag->Text(), QString());
    t->Post();
    EXPECT_EQ(flag->Text(), QString());
    EXPECT_EQ(qty->Text(), QStringLiteral("0,1"));

    // Another locale's separator applies at the next read and write.
    FormatSettings().DecimalSeparator = QLatin1Char('.');
    EXPECT_EQ(qty->Text(), QStringLiteral("0.1"));
    t->Edit();
    price->SetText(QStringLiteral("3.256"));
    t->Post();
    EXPECT_EQ(price->DisplayText(), QStringLiteral("3.26"));

    // Numbers read as FloatToStr writes them; money is rounded on those digits,
    // half away from zero, as the documents round it.
    FormatSettings().DecimalSeparator = QLatin1Char(',');
    const struct {
        const char* value;
        const char* text;
        const char* money;
    } cases[] = {{"0,00001", "0,00001", "0,00"}, {"2,675", "2,675", "2,68"}, {"1,005", "1,005", "1,01"},
                 {"-2,675", "-2,675", "-2,68"}, {"0,000001", "1E-6", "0,00"}, {"1234567,125", "1234567,125", "1234567,13"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        t->Edit();
        qty->SetText(QString::fromUtf8(c.value));
        price->SetText(QString::fromUtf8(c.value));
        t->Post();
        EXPECT_EQ(qty->Text(), QString::fromUtf8(c.text));
        EXPECT_EQ(qty->DisplayText(), QString::fromUtf8(c.text));
        EXPECT_EQ(price->Text(), QString::fromUtf8(c.text));
        EXPECT_EQ(price->DisplayText(), QString::fromUtf8(c.money));
        EXPECT_EQ(price->DisplayTextAt(t->RecNo()), QString::fromUtf8(c.money));
    }
}

TEST(TableFields, MemoAndGraphicHoldWholeValues)
{
    QTemporaryDir dir;
    auto t = NewTable(dir.path(), QStringLiteral("stock.db"), MixedDefs());
    TField* memo = t->FieldByName(QStringLiteral("Описание"));
    TField* logo = t->FieldByName(QStringLiteral("Лого"));
    t->Append();
    EXPECT_EQ(memo->Text(), QStringLiteral("(Memo)"));
    EXPECT_EQ(logo->Text(), QStringLiteral("(Graphic)"));
    const QString text = QStringLiteral("Услуга по поддръжка\r\nвтори ред \"с кавички\"\r\n") + QString(5000, QChar(0x0416));
    const QByteArray picture = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(70000, '\0') + QByteArray("\xFF\xD9", 2);
    memo->SetAsMemo(text);
    logo->SetAsBytes(picture);
    t->Post();
    t->Close();
    t->Open();
    EXPECT_EQ(memo->Text(), QStringLiteral("(MEMO)"));
    EXPECT_EQ(memo->AsMemo(), text);
    EXPECT_EQ(memo->AsString(), text);
    EXPECT_EQ(logo->Text(), QStringLiteral("(GRAPHIC)"));
    EXPECT_EQ(logo->AsBytes(), picture);

    // The description field's text comes from its handler, for display and for editing.
    QStringList calls;
    memo->OnGetText = [&](TField* sender, QString& out, bool display) {
        EXPECT_EQ(sender, memo);
        calls << (display ? QStringLiteral("display") : QStringLiteral("edit"));
        out = sender->AsMemo().left(7);
    };
    EXPECT_EQ(memo->Text(), QStringLiteral("Услуга "));
    EXPECT_EQ(memo->DisplayText(), QStringLiteral("Услуга "));
    EXPECT_EQ(calls, (QStringList{QStringLiteral("edit"), QStringLiteral("display")}));

    t->Edit();
    logo->Clear();
    memo->SetAsMemo(QString());
    t->Post();
    EXPECT_TRUE(logo->IsNull());
    EXPECT_EQ(logo->Text(), QStringLiteral("(Graphic)"));
    memo->OnGetText = nullptr;
    EXPECT_EQ(memo->Text(), QStringLiteral("(Memo)"));
}

TEST(TableFields, WritingNeedsEditOrInsertState)
{
    QTemporaryDir dir;
    auto t = NewTable(dir.path(), QStringLiteral("Firm.db"), FirmDefs());
    TField* name = t->FieldByName(QStringLiteral("ДОСТАВЧИК"));
    EXPECT_THROW(name->SetText(QStringLiteral("А")), EDatabaseError);  // empty table
    AddRecord(*t, {{QStringLiteral("ДОСТАВЧИК"), QStringLiteral("Първа ЕООД")}});
    try {
        name->SetText(QStringLiteral("Друга"));
        FAIL() << "no exception";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, QStringLiteral("Вътрешна грешка: записът в таблица „Firm.db“ не се редактира.\nОпитайте "
                                            "отново."));
    }
    EXPECT_THROW(t->FieldByName(QStringLiteral("Фактура №"))->SetText(QStringLiteral("x")), EDatabaseError);
    EXPECT_EQ(name->Text(), QStringLiteral("Първа ЕООД"));
    EXPECT_FALSE(t->Modified());
}

TEST(TableFields, FieldObjectsAndTheirHandlersSurviveReopening)
{
    QTemporaryDir dir;
    CreateFile(dir.path(), QStringLiteral("stock.db"), StockDefs());
    {
        auto t = OpenTable(dir.path(), QStringLiteral("stock.db"));
        t->Append();
        t->FieldByName(QStringLiteral("Описание на стока/услуга"))->SetAsMemo(QStringLiteral("Болт М8"));
        t->Post();
    }
    TTable stock;
    stock.SetDatabaseName(dir.path());
    stock.SetTableName(QStringLiteral("stock.db"));
    // Bound before the first open, as the data module binds its persistent fields.
    TField* description = stock.DeclareField(QStringLiteral("Описание на стока/услуга"), TFieldType::ftMemo, 1);
    TField* number = stock.DeclareField(QStringLiteral("Пор. №"), TFieldType::ftFloat);
    number->SetVisible(false);
    description->OnGetText = [](TField* f, QString& text, bool) { text = QStringLiteral("<") + f->AsMemo() + QStringLiteral(">"); };
    EXPECT_EQ(stock.FieldCount(), 2);
    EXPECT_THROW(description->Text(), EDatabaseError);

    stock.Open();
    EXPECT_EQ(stock.FieldCount(), 6);
    EXPECT_EQ(stock.Fields(1), description);
    EXPECT_EQ(stock.Fields(0), number);
    EXPECT_EQ(description->Text(), QStringLiteral("<Болт М8>"));
    TField* unit = stock.FieldByName(QStringLiteral("Мярка"));
    unit->SetVisible(false);
    stock.Close();
    stock.Open();
    EXPECT_EQ(stock.FieldByName(QStringLiteral("Мярка")), unit);
    EXPECT_FALSE(unit->Visible());
    EXPECT_FALSE(number->Visible());
    EXPECT_TRUE(stock.FieldByName(QStringLiteral("К-во"))->Visible());
    EXPECT_EQ(description->Text(), QStringLiteral("<Болт М8>"));

    // Declared after the table was open once: the declared object is the one bound.
    stock.Close();
    TField* quantity = stock.DeclareField(QStringLiteral("К-во"), TFieldType::ftFloat);
    stock.Open();
    EXPECT_EQ(stock.FieldByName(QStringLiteral("к-во")), quantity);
    EXPECT_EQ(quantity->Index(), 3);
    stock.Close();

    // A file whose fields do not match the declared ones is refused.
    TTable wrong;
    wrong.SetDatabaseName(dir.path());
    wrong.SetTableName(QStringLiteral("stock.db"));
    wrong.DeclareField(QStringLiteral("Мярка"), TFieldType::ftFloat);
    EXPECT_THROW(wrong.Open(), EDatabaseError);
    EXPECT_FALSE(wrong.Active());
    TTable missing;
    missing.SetDatabaseName(dir.path());
    missing.SetTableName(QStringLiteral("stock.db"));
    missing.DeclareField(QStringLiteral("Баркод"), TFieldType::ftString, 20);
    EXPECT_THROW(missing.Open(), EDatabaseError);
}

TEST(TableFields, TextAtReadsOtherRecordsWithoutMoving)
{
    QTemporaryDir dir;
    auto t = NewTable(dir.path(), QStringLiteral("Firm.db"), FirmDefs());
    for (const char* name : {"Алфа", "Бета", "Гама"})
        AddRecord(*t, {{QStringLiteral("ДОСТАВЧИК"), QString::fromUtf8(name)}});
    TDataSource source;
    source.SetDataSet(t.get());
    ProbeLink link(QStringLiteral("ДОСТАВЧИК"));
    link.SetDataSource(&source);
    const int before = link.records;
    t->SetRecNo(2);
    TField* name = t->FieldByName(QStringLiteral("доставчик"));
    EXPECT_EQ(name->TextAt(1), QStringLiteral("Алфа"));
    EXPECT_EQ(name->TextAt(3), QStringLiteral("Гама"));
    EXPECT_EQ(name->TextAt(4), QString());
    EXPECT_EQ(name->TextAt(0), QString());
    t->Edit();
    name->SetText(QStringLiteral("Бета 2"));
    EXPECT_EQ(name->TextAt(2), QStringLiteral("Бета 2"));  // the pending change of the current record
    t->Cancel();
    t->Append();
    name->SetText(QStringLiteral("Делта"));
    EXPECT_EQ(name->TextAt(4), QStringLiteral("Делта"));
    EXPECT_EQ(t->RecNo(), 4);
    EXPECT_EQ(t->RecordCount(), 3);
    t->Post();
    EXPECT_EQ(Column(*t, QStringLiteral("ДОСТАВЧИК")),
              (QStringList{QStringLiteral("Алфа"), QStringLiteral("Бета"), QStringLiteral("Гама"), QStringLiteral("Делта")}));
    EXPECT_EQ(t->RecNo(), 4);
    EXPECT_GT(link.records, before);
}
