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

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

    static CompanyRecord Company(const QString& name, const QString& enName = {})
    {
        CompanyRecord c;
        c.name = name;
        c.enName = enName;
        return c;
    }

    // The own company of record rec and its English twin, as the editor's navigator chooses them.
    static void ChooseCompany(int rec)
    {
        DataModule1->firm->SetRecNo(rec);
        DataModule1->Tableae->SetRecNo(rec);
    }

    // One own company with its English twin, chosen in the editor.
    static void AddSampleCompany()
    {
        CompanyRecord a = Company(QStringLiteral("Алфа ООД"), QStringLiteral("Alfa Ltd"));
        a.address = QStringLiteral("София, ул. Роза 1");
        a.person = QStringLiteral("Иван Иванов");
        a.place = QStringLiteral("София");
        a.id = QStringLiteral("123456786");
        a.vatId = QStringLiteral("BG123456786");
        a.enAddress = QStringLiteral("Sofia, 1 Roza St");
        AddCompany(a);
        ChooseCompany(1);
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

    // A table file of the data folder on a connection of its own, as another workplace opens it.
    std::unique_ptr<TTable> FileTable(const char* file) const
    {
        auto t = std::make_unique<TTable>();
        t->SetDatabaseName(Path("DB"));
        t->SetTableName(QString::fromUtf8(file));
        t->Open();
        return t;
    }
    // What the file holds, read past the program's own tables.
    QString InFile(const char* file, const char* field, int rec) const
    {
        return FileTable(file)->FieldByName(QString::fromUtf8(field))->TextAt(rec);
    }
    int CountInFile(const char* file) const { return FileTable(file)->RecordCount(); }

    static TTable* Store() { return DataModule1->store; }
    static QString Field(TTable* t, const char* name, int rec)
    {
        TField* f = t->FieldByName(QString::fromUtf8(name));
        return f->DataType() == TFieldType::ftMemo ? f->AsStringAt(rec) : f->TextAt(rec);
    }
    static QString Field(const char* name, int rec) { return Field(Store(), name, rec); }
    static QStringList Record(int rec)
    {
        QStringList values;
        for (int i = 0; i < Store()->FieldCount(); ++i)
            values << Field(Store()->Fields(i)->FieldName().toUtf8().constData(), rec);
        return values;
    }
    // A copy of register record rec at its end, changed before its post; the copy's record number.
    static int CopyOfRecord(int rec, const std::function<void()>& change = {})
    {
        const QStringList values = Record(rec);
        Store()->Append();
        for (int i = 0; i < Store()->FieldCount(); ++i) {
            TField* f = Store()->Fields(i);
            if (f->DataType() == TFieldType::ftMemo)
                f->SetAsMemo(values[i]);
            else
                f->SetText(values[i]);
        }
        if (change)
            change();
        Store()->Post();
        return Store()->RecordCount();
    }
    // Changes one stored record through the engine, as another program could have written it.
    static void Rewrite(int rec, const char* field, const QString& text)
    {
        Store()->SetRecNo(rec);
        Store()->Edit();
        TField* f = Store()->FieldByName(QString::fromUtf8(field));
        if (f->DataType() == TFieldType::ftMemo)
            f->SetAsMemo(text);
        else
            f->SetText(text);
        Store()->Post();
    }

    // One line of the editor's grid (1-based row), grown to hold it.
    static void Line(int row, const QString& text, const char* quantity = "1", const char* price = "10")
    {
        TStringGrid* g = OrderForm->StringGrid1;
        if (g->RowCount() <= row)
            g->SetRowCount(row + 1);
        g->SetCells(1, row, text);
        g->SetCells(2, row, QStringLiteral("бр."));
        g->SetCells(3, row, QString::fromUtf8(quantity));
        g->SetCells(4, row, QString::fromUtf8(price));
    }

    // The texts of the boxes shown since the dialogs were last reset.
    static QStringList Boxes()
    {
        QStringList texts;
        for (const RecordedBox& b : TestDialogs().boxes)
            texts << b.text;
        return texts;
    }

    // Characters as keys pressed on w, wherever its focus is.
    static void Keys(QWidget* w, const QString& text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &press);
        }
    }
    // What a user's keys put into an edit, over what it held: the table goes into edit state.
    static void Retype(QWidget* w, const QString& text)
    {
        w->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            edit->selectAll();
        Keys(w, text);
    }

    QTemporaryDir dir_;

private:
    TFormatSettings saved_;
};

// The editor open on a new document of the sample company, no box shown yet.
class DocumentTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        AddSampleCompany();
        NewDocument();
        ResetTestDialogs();
    }
};
