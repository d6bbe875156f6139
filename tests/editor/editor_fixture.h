// The whole program's windows, created as at start-up over a temporary install
// folder whose data folder holds the shipped, empty tables. Torn down after
// each test so that every test starts from a fresh program.
#pragma once

#include "app/mainform.h"
#include "app/startup.h"
#include "data/datamodule.h"
#include "data/tables.h"
#include "editor/calc.h"
#include "editor/orderform.h"
#include "page/doc.h"
#include "page/prtd.h"
#include "platform/application.h"
#include "platform/locale.h"
#include "platform/sysutils.h"
#include "registers/custform.h"
#include "registers/editcust.h"
#include "registers/editstock.h"
#include "registers/emp.h"
#include "registers/fillfirm.h"
#include "registers/sort.h"
#include "registers/statform.h"
#include "registers/stocks.h"
#include "support/test_env.h"
#include "update/updatei.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

struct CompanyRecord {
    QString name, address, person, place, id, vatId;
    QString invoice, proforma, vop;
    QString enName, enAddress, enPerson, enPlace;
    QByteArray logo, enLogo;
};

class EditorTest : public ::testing::Test {
protected:
    // Not the clock: a run that crosses midnight must not change what is expected.
    static inline const TDate kToday = QDate(2026, 3, 31);

    void SetUp() override
    {
        saved_ = FormatSettings();
        SetBulgarianLocale();
        SetTodayForTests(kToday);
        ResetTestDialogs();
        ASSERT_TRUE(dir_.isValid());
        CreateShippedTables(dir_.path() + QStringLiteral("/DB"));
        Application->SetExeName(dir_.path() + QStringLiteral("/Orlendix"));
        CreateAllWindows();
        ASSERT_TRUE(DataModule1->firm->Active());
        // payment.txt is written when the editor closes: keep it out of the build folder.
        Form1->FilesDir = dir_.path();
    }

    void TearDown() override
    {
        DestroyAllWindows();
        Application->SetExeName(QString());
        FormatSettings() = saved_;
        SetTodayForTests(TDate());
    }

    // Appends an own company to firm and its English twin to Tableae.
    static void AddCompany(const CompanyRecord& c)
    {
        TTable* firm = DataModule1->firm;
        firm->Append();
        Set(firm, "ДОСТАВЧИК", c.name);
        Set(firm, "АДРЕС", c.address);
        Set(firm, "МОЛ", c.person);
        Set(firm, "Местоиздаване", c.place);
        Set(firm, "ИН", c.id);
        Set(firm, "ИН ПО ЗДДС", c.vatId);
        Set(firm, "Фактура №", c.invoice);
        Set(firm, "Проформа №", c.proforma);
        firm->FieldByName(QStringLiteral("Лого"))->SetAsBytes(c.logo);
        firm->Post();
        TTable* ae = DataModule1->Tableae;
        ae->Append();
        Set(ae, "VOP", c.vop);
        Set(ae, "Supplier", c.enName);
        Set(ae, "Address", c.enAddress);
        Set(ae, "Resp.Person", c.enPerson);
        Set(ae, "Place of publishment", c.enPlace);
        ae->FieldByName(QStringLiteral("logo"))->SetAsBytes(c.enLogo);
        ae->Post();
    }

    // One own company with its English twin, chosen in the editor.
    static void AddSampleCompany()
    {
        CompanyRecord a;
        a.name = QStringLiteral("Алфа ООД");
        a.address = QStringLiteral("София, ул. Роза 1");
        a.person = QStringLiteral("Иван Иванов");
        a.place = QStringLiteral("София");
        a.id = QStringLiteral("123456786");
        a.vatId = QStringLiteral("BG123456786");
        a.enName = QStringLiteral("Alfa Ltd");
        a.enAddress = QStringLiteral("Sofia, 1 Roza St");
        AddCompany(a);
        DataModule1->firm->SetRecNo(1);
        DataModule1->Tableae->SetRecNo(1);
    }

    static void AddGood(const QString& description, const char* unit = "бр.", const char* price = "10")
    {
        TTable* t = DataModule1->stock;
        t->Append();
        t->FieldByName(QStringLiteral("Описание на стока/услуга"))->SetAsMemo(description);
        Set(t, "Мярка", QString::fromUtf8(unit));
        Set(t, "Продажна цена", QString::fromUtf8(price));
        t->Post();
    }

    static void AddBankAccount(const QString& bank, const QString& iban, const QString& swift)
    {
        TTable* details = DataModule1->details;
        details->Append();
        Set(details, "Bank", bank);
        Set(details, "IBAN", iban);
        Set(details, "SWIFT", swift);
        details->Post();
    }

    static void Set(TTable* t, const char* field, const QString& value)
    {
        t->FieldByName(QString::fromUtf8(field))->SetText(value);
    }

    // A small PNG of one colour, as a logo field holds it.
    static QByteArray Logo(Qt::GlobalColor colour)
    {
        TPicture p;
        QImage img(12, 8, QImage::Format_RGB32);
        img.fill(colour);
        p.Bitmap()->Assign(img);
        return p.SaveToBytes();
    }

    static void NewDocument() { Main->OrderBtn->Click(); }

    QString Path(const char* name) const { return dir_.path() + QLatin1Char('/') + QLatin1String(name); }

    QTemporaryDir dir_;

private:
    TFormatSettings saved_;
};
